#pragma once
// The archive library: Unlha(hwnd, commandLine, output, size).
//
// Understands the command " x -a1 "<archive>" "<destination\>"": every member is unpacked with
// its folders into the destination. Nothing is written outside the destination; a failing
// archive leaves the destination as it was. Returns 0 on success, non-zero otherwise.
#include <QString>

namespace plat {

int Unlha(const QString& commandLine);

// The error text of the last failing call (for the log and tests).
QString lastUnlhaError();

} // namespace plat
