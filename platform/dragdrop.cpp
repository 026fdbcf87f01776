#include "dragdrop.h"
#include <map>

namespace plat {

namespace {
std::map<HDROP, QStringList> g_drops;
HDROP g_next = 0x1000;
} // namespace

HDROP makeDrop(const QStringList& winPaths) {
    HDROP h = g_next++;
    g_drops[h] = winPaths;
    return h;
}

unsigned DragQueryFile(HDROP drop, unsigned index, QString* item) {
    auto it = g_drops.find(drop);
    if (it == g_drops.end()) return 0;
    if (index == 0xFFFFFFFFu) return unsigned(it->second.size());
    if (index >= unsigned(it->second.size())) return 0;
    const QString& s = it->second.at(int(index));
    if (item) *item = s;
    return unsigned(s.size());
}

void DragFinish(HDROP drop) {
    g_drops.erase(drop);
}

int liveDropCount() {
    return int(g_drops.size());
}

} // namespace plat
