#pragma once
// Files and attributes in DOS terms.
//
// Attribute bits: 1 read-only (owner may not write), 2 hidden, 4 system, 16 folder,
// 32 archive. Hidden, system and archive live in the extended attribute user.DOSATTRIB
// as "0x%x" (the form Wine writes and Samba reads). With nothing stored, a file reads 32,
// a folder 16, and a name beginning with "." also reads hidden.
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace plat {

enum FileAttribute {
    vbNormal = 0,
    vbReadOnly = 1,
    vbHidden = 2,
    vbSystem = 4,
    vbVolume = 8,
    vbDirectory = 16,
    vbArchive = 32,
};

// GetAttr: throws RuntimeError 53 when the path does not exist.
int GetAttr(const QString& winPath);
// GetAttr for callers that treat a missing or unreadable path alike: fallback instead of an error.
int GetAttrOr(const QString& winPath, int fallback);
// A folder of that name exists.
bool FolderExists(const QString& winPath);
// SetAttr: read-only through the permission bits, the rest through user.DOSATTRIB. A file
// system without user extended attributes gives a RuntimeError with a clear text.
void SetAttr(const QString& winPath, int attributes);

// The runtime's Dir: names (not paths) of the entries matching a Windows wildcard pattern
// ("C:\WINDOWS\*.ini", "znP1.ini"), in directory order sorted by name. Mask 0 lists normal
// files (read-only and archive included); hidden, system and folder entries appear only when
// their bit is in the mask. The volume bit is accepted and ignored. A missing drive or folder
// lists nothing; a pattern ending in "\" lists the folder's entries.
QStringList Dir(const QString& pattern, int mask = 0);
// Convenience: Dir(pattern, mask) is not empty.
bool DirExists(const QString& pattern, int mask = 0);

// Windows wildcard match of one name ("*.*" matches names without a dot, "?" one character),
// case-insensitive.
bool wildcardMatch(const QString& pattern, const QString& name);

qint64 FileLen(const QString& winPath);
QDateTime FileDateTime(const QString& winPath);
void FileCopy(const QString& from, const QString& to); // replaces an existing target
void Kill(const QString& winPath);                     // one file (no wildcards)
void Name(const QString& from, const QString& to);     // rename or move
void MkDir(const QString& winPath);                    // one level; 75 when it exists
void RmDir(const QString& winPath);

} // namespace plat
