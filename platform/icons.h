#pragma once
// Icons in the shell's terms: ExtractIcon hands out handles, DrawIcon paints one, DestroyIcon
// releases it.
//
// Sources: .ico files; PE files (.exe, .dll, .cpl) with icon resources; Linux programs and
// .desktop files (the icon their desktop entry names, from the icon theme); and the shell icon
// library C:\WINDOWS\SYSTEM\shell32.dll, a file of our own format serving the classic icons
// (0 document, 3 closed folder, 29 shortcut, and more) from the icon theme.
#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

class QPainter;

namespace plat {

using HICON = std::intptr_t;

// ExtractIconA(0, file, index): index >= 0 gives a handle (> 1), or 1 when the file is not an
// executable, library or icon file, or 0 when it has no icon of that index (also for a missing
// file). Index -1 gives the number of icons.
HICON ExtractIcon(const QString& winFile, int index);
// Draws the icon at its natural size (32 x 32 for the button face) with its top-left at (x, y).
void DrawIcon(QPainter& painter, int x, int y, HICON icon);
void DestroyIcon(HICON icon);
// All sizes of the icon behind a handle, largest last (for sharp icons on dense screens).
std::vector<QImage> iconImages(HICON icon);
// Number of handles not yet destroyed (tests look for leaks).
int liveIconCount();

// Icon theme set-up: picks a theme that has the icons the program needs (Adwaita, then others,
// then built-in drawings) and sets Qt's search path. Tests may point it at a folder of their own.
void setupIconTheme(const QString& extraSearchPath = QString());

// Puts the shell icon library in place (WINDOWS\SYSTEM\shell32.dll) if it is missing.
void installShellIconLibrary();

} // namespace plat
