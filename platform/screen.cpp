#include "screen.h"
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace plat {

namespace {
std::optional<QSize> g_screenOverride;
std::optional<QPoint> g_cursorOverride;
bool g_busy = false;
} // namespace

QSize screenSizePx() {
    if (g_screenOverride) return *g_screenOverride;
    if (QScreen* s = QGuiApplication::primaryScreen()) return s->geometry().size();
    return QSize(1024, 768);
}

void setScreenSizeOverride(std::optional<QSize> size) {
    g_screenOverride = size;
}

QPoint GetCursorPos() {
    return g_cursorOverride ? *g_cursorOverride : QCursor::pos();
}

void setCursorPosOverride(std::optional<QPoint> pos) {
    g_cursorOverride = pos;
}

void setBusyCursor(bool busy) {
    if (busy == g_busy) return;
    g_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

bool busyCursor() {
    return g_busy;
}

} // namespace plat
