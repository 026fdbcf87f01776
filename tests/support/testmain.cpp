// Test main: a hermetic desktop (XDG folders of our own, set before GLib reads them), then a
// QApplication on the offscreen platform.
#include "platform/icons.h"
#include "testenv.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

namespace testenv {
static QString g_xdg;
QString xdgRoot() {
    return g_xdg;
}
} // namespace testenv

int main(int argc, char** argv) {
    static QTemporaryDir xdg;
    testenv::g_xdg = xdg.path();
    const QByteArray root = xdg.path().toUtf8();
    QDir().mkpath(xdg.path() + "/data/applications");
    QDir().mkpath(xdg.path() + "/config");
    QDir().mkpath(xdg.path() + "/sysdata");
    QFile::link("/usr/share/mime", xdg.path() + "/sysdata/mime");
    setenv("XDG_DATA_HOME", root + "/data", 1);
    setenv("XDG_CONFIG_HOME", root + "/config", 1);
    setenv("XDG_DATA_DIRS", root + "/sysdata", 1);
    setenv("XDG_CONFIG_DIRS", root + "/config", 1);
    unsetenv("XDG_CURRENT_DESKTOP");
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::setlocale(LC_ALL, "C.UTF-8");
    setenv("LC_ALL", "C.UTF-8", 1);

    QApplication app(argc, argv);
    plat::setupIconTheme(QStringLiteral(ZELNORI_SOURCE_DIR) + "/tests/support/icons");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
