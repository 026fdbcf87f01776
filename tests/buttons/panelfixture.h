#pragma once
// A main window on a fresh data home, without the start sequence: the Windows and System
// directories are set, the shell icon library is in place and the page is empty (btn(0)
// hidden). Popup menus are not shown; the hook records them and may act while one is "open".
#include "core/filezelnori.h"
#include "support/testenv.h"
#include <QMenu>
#include <QString>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace btntest {

// The desktop entry the tests use as the program that opens text/plain files. It is installed
// once for the whole test program, before the desktop database is first read.
struct FixtureEditor {
    QString script;            // host path of the program
    QString scriptWin() const; // its Windows path (in the data home of the running test)
    QString desktopFile;       // host path of the desktop entry
};
const FixtureEditor& fixtureEditor();

// Shell icon library as the panel records it.
inline QString shellLibrary() {
    return QStringLiteral("C:\\WINDOWS\\system\\shell32.dll");
}

// A tiny .ico file (one 32 x 32 PNG image), so that a file carries an icon of its own.
QByteArray icoBytes();

class PanelTest : public testenv::EnvTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file at a Windows path (folders made) and returns the path.
    QString makeFile(const QString& win, const QByteArray& bytes = QByteArray("hello\n"));
    // Makes a folder at a Windows path and returns the path.
    QString makeFolder(const QString& win);
    // Copies an archive fixture to a Windows path and returns the path.
    QString copyArchive(const QString& fixtureRelative, const QString& win);
    // Whether a Windows path exists on the host.
    bool exists(const QString& win) const;

    // Puts a button on the page directly (no registration rules), control included.
    void putButton(const QString& path, const QString& caption = QString());

    // Messages shown so far.
    const std::vector<plat::FakeDialogs::MsgRecord>& messages() const { return env->dialogs.messages; }

    std::unique_ptr<core::FileZelnori> w;
    std::vector<QString> popups;         // objectName of every menu popped up
    std::function<void(QMenu*)> onPopup; // runs while a menu is "open"
};

} // namespace btntest
