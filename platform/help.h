#pragma once
// WinHelpA: HELP_CONTENTS opens the help file in the program's small help viewer.
#include <QString>

class QWidget;

namespace plat {

constexpr unsigned HELP_CONTENTS = 3;
constexpr unsigned HELP_QUIT = 2;

// file is a Windows path (relative ones against the current folder). A missing file is
// reported by the viewer itself. Returns nonzero.
int WinHelp(QWidget* owner, const QString& file, unsigned command, unsigned long data);

// The viewer window last opened (tests), or nullptr.
QWidget* helpViewer();

} // namespace plat
