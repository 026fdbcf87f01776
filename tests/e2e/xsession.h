#pragma once
// End-to-end support: a private Xvfb display and the real program started on it with a data
// home of its own.
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace e2e {

class XSession {
  public:
    XSession();
    ~XSession();
    bool ok() const { return !display_.isEmpty(); }
    QString display() const { return display_; }
    // Runs a command on the display and returns its standard output ("" on failure).
    QString run(const QString& program, const QStringList& args, int timeoutMs = 10000) const;

  private:
    QProcess xvfb_;
    QString display_;
};

class Program {
  public:
    // Starts build/zelnori on the display with XDG_DATA_HOME/XDG_CONFIG_HOME in a temporary folder.
    explicit Program(const XSession& x, const QString& dataHomeParent = QString());
    ~Program();
    QString dataHome() const;   // <xdg data>/zelnori
    QString windowsDir() const; // host path of C:\WINDOWS
    void start();
    bool waitForFile(const QString& hostPath, int timeoutMs = 20000) const;
    // The main window's geometry once it is mapped (the tallest window of the program).
    std::optional<QRect> mainWindowGeometry(int timeoutMs = 20000) const;
    QString mainWindowId(int timeoutMs = 20000) const;
    // Sends a signal and waits for the program to end; returns the exit code (-1 on timeout).
    int terminate(int signal, int timeoutMs = 20000);
    QProcess& process() { return proc_; }

  private:
    const XSession& x_;
    QTemporaryDir dir_;
    QString xdgData_;
    QProcess proc_;
};

// Settles the display: waits until the program has drawn its first frames.
void settle(int ms);

} // namespace e2e
