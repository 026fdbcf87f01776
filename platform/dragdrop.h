#pragma once
// Dropped files in the shell's terms: a drop handle with the item count and the items in
// Windows form, released with DragFinish.
#include <QString>
#include <QStringList>
#include <cstdint>

namespace plat {

using HDROP = std::uintptr_t;

HDROP makeDrop(const QStringList& winPaths);
// index 0xFFFFFFFF gives the count through the return value; otherwise the item (out) and its length.
unsigned DragQueryFile(HDROP drop, unsigned index, QString* item);
void DragFinish(HDROP drop);
// Drops not yet released (tests check that every way out releases its handle).
int liveDropCount();

} // namespace plat
