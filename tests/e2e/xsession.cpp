#include "xsession.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

void settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents();
        QThread::msleep(20);
    }
}

XSession::XSession() {
    int fds[2];
    if (pipe(fds) != 0) return;
    xvfb_.setProgram("Xvfb");
    // The write end is inherited by Xvfb, which writes the display number to it once it is ready.
    xvfb_.setArguments(
        {"-displayfd", QString::number(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    xvfb_.start();
    if (!xvfb_.waitForStarted(5000)) {
        close(fds[0]);
        close(fds[1]);
        return;
    }
    close(fds[1]);
    QByteArray number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!number.isEmpty()) display_ = ":" + QString::fromLatin1(number);
}

XSession::~XSession() {
    if (xvfb_.state() != QProcess::NotRunning) {
        xvfb_.terminate();
        xvfb_.waitForFinished(5000);
    }
}

QString XSession::run(const QString& program, const QStringList& args, int timeoutMs) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display_);
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

Program::Program(const XSession& x, const QString& dataHomeParent) : x_(x) {
    xdgData_ = dataHomeParent.isEmpty() ? dir_.path() + "/data" : dataHomeParent;
    QDir().mkpath(xdgData_);
    QDir().mkpath(dir_.path() + "/config");
}

Program::~Program() {
    if (proc_.state() != QProcess::NotRunning) {
        proc_.kill();
        proc_.waitForFinished(5000);
    }
}

QString Program::dataHome() const {
    return xdgData_ + "/zelnori";
}
QString Program::windowsDir() const {
    return dataHome() + "/drive_c/WINDOWS";
}

void Program::start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", x_.display());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_DATA_HOME", xdgData_);
    env.insert("XDG_CONFIG_HOME", dir_.path() + "/config");
    env.remove("DBUS_SESSION_BUS_ADDRESS");
    env.remove("SESSION_MANAGER");
    proc_.setProcessEnvironment(env);
    proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    proc_.start(QStringLiteral(ZELNORI_BINARY), {});
    proc_.waitForStarted(10000);
}

bool Program::waitForFile(const QString& hostPath, int timeoutMs) const {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (QFile::exists(hostPath)) return true;
        settle(100);
    }
    return false;
}

QString Program::mainWindowId(int timeoutMs) const {
    QElapsedTimer t;
    t.start();
    const QString pid = QString::number(proc_.processId());
    while (t.elapsed() < timeoutMs) {
        const QStringList ids =
            x_.run("xdotool", {"search", "--onlyvisible", "--pid", pid}).split('\n', Qt::SkipEmptyParts);
        QString best;
        int bestHeight = 0;
        for (const QString& id : ids) {
            const QString g = x_.run("xdotool", {"getwindowgeometry", "--shell", id});
            const auto m = QRegularExpression("HEIGHT=(\\d+)").match(g);
            if (m.hasMatch() && m.captured(1).toInt() > bestHeight) {
                bestHeight = m.captured(1).toInt();
                best = id;
            }
        }
        // The panel is the full-height window; the splash is much lower.
        if (bestHeight > 400) return best;
        settle(200);
    }
    return {};
}

std::optional<QRect> Program::mainWindowGeometry(int timeoutMs) const {
    const QString id = mainWindowId(timeoutMs);
    if (id.isEmpty()) return std::nullopt;
    const QString g = x_.run("xdotool", {"getwindowgeometry", "--shell", id});
    auto num = [&](const char* key) {
        return QRegularExpression(QString::fromLatin1(key) + "=(-?\\d+)").match(g).captured(1).toInt();
    };
    return QRect(num("X"), num("Y"), num("WIDTH"), num("HEIGHT"));
}

int Program::terminate(int signal, int timeoutMs) {
    ::kill(pid_t(proc_.processId()), signal);
    if (!proc_.waitForFinished(timeoutMs)) return -1;
    return proc_.exitStatus() == QProcess::NormalExit ? proc_.exitCode() : 128 + proc_.exitCode();
}

} // namespace e2e
