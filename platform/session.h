#pragma once
// The end of the program from outside: SIGTERM, SIGINT and SIGHUP, the end of the desktop
// session and a system shutdown started elsewhere all call one handler on the event loop.
#include <functional>

namespace plat {

// Installs the signal handlers, the session-manager hook and a logind delay inhibitor.
// The handler runs once, on the user-interface thread.
void onExternalEnd(std::function<void()> handler);

} // namespace plat
