#pragma once
// The program's own mouse pointers: the fish (2) and the cat (3), and the runtime's standard
// pointer values.
#include <QCursor>
#include <QPixmap>

namespace core {
QPixmap fishIcon();                  // 32 x 32 sixteen-colour fish
QPixmap catIcon();                   // 16 x 16 sixteen-colour cat
QCursor programCursor(int resource); // 2 fish, 3 cat
QCursor pointerShape(int value);     // the runtime's MousePointer values 1 to 15
} // namespace core
