#pragma once
// Runtime errors in the form the rest of the program expects: a number and a text,
// as the classic runtime raised them. Handlers decide per case whether to report them.
#include <QString>
#include <stdexcept>

namespace plat {

enum ErrorNumber {
    ErrBadFileNameOrNumber = 52,
    ErrFileNotFound = 53,
    ErrFileAlreadyExists = 58,
    ErrDiskFull = 61,
    ErrInputPastEnd = 62,
    ErrPermissionDenied = 70,
    ErrDeviceUnavailable = 68,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrBadFileName = 64,
    ErrInvalidCall = 5,
};

class RuntimeError : public std::runtime_error {
  public:
    RuntimeError(int number, const QString& text)
        : std::runtime_error(text.toStdString()), number_(number), text_(text) {}
    int number() const { return number_; }
    QString text() const { return text_; }

  private:
    int number_;
    QString text_;
};

// The runtime's text for an error number.
QString errorText(int number);
// Raises error number with its text; what (a file name, say) is added in brackets.
[[noreturn]] void raise(int number, const QString& what = QString());
// Raises the error that matches errno (ENOSPC -> 61, EACCES/EROFS -> 70, ENOENT -> 53 ...).
[[noreturn]] void raiseFromErrno(int err, const QString& what);

// How a failing call used its path: a file opened or copied (File: ENOENT -> 53, EACCES -> 70,
// EEXIST -> 58) or a folder or name made, removed or changed (Path: ENOENT -> 76, EACCES and
// EEXIST -> 75).
enum class ErrnoUse { File, Path };
int errorNumberFromErrno(int err, ErrnoUse use = ErrnoUse::File);
[[noreturn]] void raiseFromErrno(int err, const QString& what, ErrnoUse use);

// The error that raise throws, for callers that throw it themselves.
RuntimeError makeError(int number, const QString& what = QString());

} // namespace plat
