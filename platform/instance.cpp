#include "instance.h"
#include "drives.h"
#include <QDir>
#include <QLockFile>
#include <memory>

namespace plat {

namespace {
std::unique_ptr<QLockFile> g_lock;
}

bool acquireSingleInstance() {
    if (g_lock) return true; // this process is the running copy already
    QDir().mkpath(dataHome());
    auto lock = std::make_unique<QLockFile>(dataHome() + "/zelnori.lock");
    // A lock left by a copy that crashed names a process that is gone: Qt removes it.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return false;
    g_lock = std::move(lock);
    return true;
}

void releaseSingleInstance() {
    if (g_lock) g_lock->unlock();
    g_lock.reset();
}

} // namespace plat
