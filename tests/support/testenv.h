#pragma once
// Test environment: a temporary data home, the fakes for every service that reaches outside
// the program, a virtual clock, a fixed screen and pointer.
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace testenv {

// Folder of the hermetic XDG set-up made by the test main (data dirs, config, icon theme).
QString xdgRoot();

// Path of a fixture under ../shared/fixtures.
QString fixture(const QString& relative);

// The runtime error number f raises, 0 when it raises none.
int errorOf(const std::function<void()>& f);

// Writes bytes to a host file, making folders.
void writeFile(const QString& hostPath, const QByteArray& bytes);
QByteArray readFile(const QString& hostPath);

class Env {
  public:
    Env();
    ~Env();
    QString home() const { return dir_.path(); } // host path of the data home
    QString windowsHost() const;                 // host path of C:\WINDOWS
    QString host(const QString& winPath) const;  // host path of a Windows path
    plat::FakeDialogs dialogs;
    plat::RecordingLauncher launcher;
    plat::VirtualClock clock;

  private:
    QTemporaryDir dir_;
};

// gtest fixture that owns an Env.
class EnvTest : public ::testing::Test {
  protected:
    std::unique_ptr<Env> env = std::make_unique<Env>();
};

} // namespace testenv
