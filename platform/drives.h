#pragma once
// Drives and paths, as Wine lays them out.
//
// The data home ($XDG_DATA_HOME/zelnori, by default ~/.local/share/zelnori) holds
//   dosdevices/c:  -> ../drive_c
//   dosdevices/z:  -> /
//   drive_c/WINDOWS, drive_c/WINDOWS/SYSTEM
// Windows paths (C:\WINDOWS\zns14.ini) map to host paths through dosdevices/; a component
// missing with its exact case is found case-insensitively. Host paths map back by the
// longest matching drive. The current drive and each drive's current folder are kept here.
#include <QString>
#include <QStringList>

namespace plat {

// Host path of the data home. Honours a value set by setDataHome (tests), else the XDG rule.
QString dataHome();
void setDataHome(const QString& hostDir);
// Creates the data home layout if it is missing (idempotent). Throws RuntimeError on failure.
void ensureDataHome();

// "C:\WINDOWS" and "C:\WINDOWS\SYSTEM".
QString GetWindowsDirectory();
QString GetSystemDirectory();
// Folder of the running program, in Windows form (Z:\...\build).
QString AppPath();

// Letters with a dosdevices entry, lower case, sorted ("c", "z").
QStringList driveLetters();
// Host root of a drive letter ("c" -> /home/u/.local/share/zelnori/drive_c), empty if none.
QString driveRoot(QChar letter);

// Completes a Windows path against the current drive and folder (".", ".." folded,
// "/" accepted as "\"). "CALC.EXE" -> "C:\WINDOWS\CALC.EXE" when C:\WINDOWS is current.
QString fullPath(const QString& winPath);
// Host path for a Windows path (relative ones against the current folder). Existing
// components are matched case-insensitively; the rest is kept as written. Empty when the
// drive does not exist.
QString hostPath(const QString& winPath);
// Windows form of a host path (absolute or relative to the process's folder).
QString windowsPath(const QString& hostPath);

// The runtime's ChDrive, ChDir and CurDir. ChDrive takes "C", "c:" or a path; ChDir does
// not change the current drive. Both throw RuntimeError (68 / 76) for a missing drive or folder.
void ChDrive(const QString& drive);
void ChDir(const QString& winPath);
QString CurDir(const QString& drive = QString());

// Resets the current drive/folders to C:\ (tests).
void resetCurrentDirs();

} // namespace plat
