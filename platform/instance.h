#pragma once
// One running copy per data home. A copy that crashed does not block the next start.
namespace plat {
// True when this process now holds the lock; false when another live copy holds it.
bool acquireSingleInstance();
void releaseSingleInstance();
} // namespace plat
