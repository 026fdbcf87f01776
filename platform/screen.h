#pragma once
// The screen: units, size, pointer position and the hourglass.
#include <QPoint>
#include <QSize>
#include <optional>

namespace plat {

constexpr int TwipsPerPixelX = 15;
constexpr int TwipsPerPixelY = 15;

inline int twipsToPx(double twips) {
    return int(twips / TwipsPerPixelX + 0.5);
}
inline int pxToTwips(int px) {
    return px * TwipsPerPixelX;
}

// Screen size in pixels (the primary screen).
QSize screenSizePx();
// Overrides the screen size (tests); nullopt restores the real one.
void setScreenSizeOverride(std::optional<QSize> size);

// GetCursorPos: pointer position on the screen in pixels.
QPoint GetCursorPos();
// Tests place the pointer here instead of moving the real one.
void setCursorPosOverride(std::optional<QPoint> pos);

// Screen.MousePointer = 11 (hourglass) / 0 (default).
void setBusyCursor(bool busy);
bool busyCursor();

} // namespace plat
