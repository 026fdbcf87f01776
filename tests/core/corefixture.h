#pragma once
// A fresh data home with helpers to lay out the data files in C:\WINDOWS as bytes, and a main
// window that is started through its load handler (or not) per test.
#include "core/filezelnori.h"
#include "support/testenv.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace coretest {

// The bytes of a data file as the program writes it: Shift-JIS, every line ended by CR LF.
QByteArray sjis(const QStringList& lines);

// One button of a page file fixture.
struct Entry {
    QString path;
    QString caption;
    QString iconFile;
    QString iconIndex = QStringLiteral(" 0");
};

// Lines of a page file: highest index (or "999"), name, four lines per button.
QStringList pageLines(const QString& name, const std::vector<Entry>& entries);

class CoreTest : public testenv::EnvTest {
  protected:
    void TearDown() override;

    // Host path of a file in C:\WINDOWS.
    QString windowsFile(const QString& name) const;
    void writeWindowsFile(const QString& name, const QByteArray& bytes);
    QByteArray windowsFileBytes(const QString& name) const;

    void writeSettings(const QStringList& lines) { writeWindowsFile("zns14.ini", sjis(lines)); }
    void writePage(int n, const QString& name, const std::vector<Entry>& entries) {
        writeWindowsFile(QStringLiteral("znP%1.ini").arg(n), sjis(pageLines(name, entries)));
    }
    // Nine settings lines: pages, extraction folder, width, left, colour, pointer, style,
    // auto-hide, no tips.
    static QStringList settings(int pages, int width = 1000, int left = 0, long colour = 0x800000,
                                int pointer = 1, int runStyle = 1, int autoHide = 0, int noTips = 0,
                                int extractDir = 0);

    // Makes a file at a Windows path (folders made) and returns the path.
    QString makeTarget(const QString& win, const QByteArray& bytes = QByteArray("x\n"));
    // n existing targets C:\DATA\F<i>.TXT with captions "F<i>".
    std::vector<Entry> targets(int n);

    // Drops the window and the data home and starts over on a new one (for table-driven cases).
    void freshHome() {
        w.reset();
        env.reset();
        env = std::make_unique<testenv::Env>();
        ended = 0;
        popups.clear();
    }

    // Makes the main window (menus captured, end recorded) without starting it.
    core::FileZelnori& makeWindow();
    // Makes the main window and runs its load handler.
    bool start();

    std::unique_ptr<core::FileZelnori> w;
    int ended = 0;               // calls of the window's end
    std::vector<QString> popups; // objectName of each menu popped up
};

} // namespace coretest
