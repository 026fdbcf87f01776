#pragma once
// The archive library: Unlha(hwnd, commandLine, output, size).
//
// Understands the command " x -a1 "<archive>" "<destination\>"": every member is unpacked with
// its folders into the destination. Nothing is written outside the destination; a failing
// archive leaves the destination as it was. Returns 0 on success, non-zero otherwise.
#include <QString>
#include <optional>

namespace plat {

int Unlha(const QString& commandLine);

// The error text of the last failing call (for the log and tests).
QString lastUnlhaError();

// Status values of Unlha and extractLzh.
enum UnlhaStatus {
    UnlhaOk = 0,
    UnlhaBadCommand = 1,    // command line not understood
    UnlhaNoArchive = 2,     // archive missing or unreadable
    UnlhaNoDestination = 3, // destination folder missing
    UnlhaDamaged = 4,       // not an LZH archive, truncated, CRC error
    UnlhaUnsupported = 5,   // a member packed with a method no decoder knows
    UnlhaRefused = 6,       // a member would land outside the destination, or clashes
    UnlhaWriteFailed = 7,   // the disk refused a write
};

// The two paths of an extraction command, as written (Windows paths).
struct UnlhaCommand {
    QString archive;
    QString destination; // ends with "\"
};

// Parses " x [-switch ...] "<archive>" "<destination\>"". Both paths must be quoted and the
// destination must end with "\". Returns nothing (and sets *error) when the text is malformed.
std::optional<UnlhaCommand> parseUnlhaCommand(const QString& commandLine, QString* error = nullptr);

// Unpacks the LZH archive at hostArchive into the existing folder hostDest (host paths).
// All members are unpacked into a hidden folder beside the destination first and moved in
// only when every one succeeded; on failure the destination is left exactly as it was.
int extractLzh(const QString& hostArchive, const QString& hostDest, QString* error = nullptr);

} // namespace plat
