#pragma once
// Stand-ins for Windows' own tools. On the first start of a data home, C:\WINDOWS receives a small
// executable script for each tool whose Linux counterpart is installed (calc.exe starts a calculator,
// notepad.exe a text editor ...). The user may edit or delete them.
#include <QString>
#include <QStringList>

namespace plat {

// Installs the stand-ins that are missing and have an installed counterpart. Only on the first
// start: a marker file remembers that it ran, so deleted stand-ins stay deleted.
void installToolStandIns();
// The same with the folders searched for the counterparts given, PATH style ("/usr/bin:/bin").
void installToolStandIns(const QString& searchPath);
// The Windows file names of every tool the program knows.
QStringList knownTools();

} // namespace plat
