// Tool stand-ins: made once per data home, only for counterparts found on the search path.
#include "platform/drives.h"
#include "platform/tools.h"
#include "support/testenv.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class ToolsTest : public testenv::EnvTest {};

// A folder of fake programs standing in for PATH.
class FakePath {
  public:
    void add(const QString& name, bool executable = true) {
        testenv::writeFile(dir.filePath(name), "#!/bin/sh\n");
        if (executable)
            QFile::setPermissions(dir.filePath(name),
                                  QFile::permissions(dir.filePath(name)) | QFileDevice::ExeOwner);
    }
    QString path() const { return dir.path(); }
    QString program(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

QStringList windowsEntries(const testenv::Env& env) {
    return QDir(env.windowsHost()).entryList(QDir::Files, QDir::Name);
}

TEST_F(ToolsTest, OnlyToolsWithACounterpartAppearAndOnlyOnce) {
    FakePath path;
    path.add("gnome-calculator");
    path.add("gedit", false); // not executable: no counterpart
    const QStringList before = windowsEntries(*env);

    plat::installToolStandIns(path.path());
    QStringList added = windowsEntries(*env);
    for (const QString& b : before)
        added.removeAll(b);
    EXPECT_EQ(added, QStringList({"calc.exe"}));

    const QString calc = env->windowsHost() + "/calc.exe";
    EXPECT_TRUE(QFileInfo(calc).isExecutable());
    const QString script = QString::fromUtf8(testenv::readFile(calc));
    EXPECT_TRUE(script.startsWith("#!/bin/sh\n"));
    EXPECT_TRUE(script.contains("exec " + path.program("gnome-calculator") + " \"$@\""))
        << script.toStdString();

    // Deleted by the user: stays deleted, even when more counterparts turn up.
    QFile::remove(calc);
    path.add("gedit");
    plat::installToolStandIns(path.path());
    EXPECT_FALSE(QFileInfo::exists(calc));
    EXPECT_FALSE(QFileInfo::exists(env->windowsHost() + "/notepad.exe"));
}

TEST_F(ToolsTest, ExistingFileOfAnyCaseIsKept) {
    FakePath path;
    path.add("mousepad");
    testenv::writeFile(env->windowsHost() + "/NOTEPAD.EXE", "mine");
    plat::installToolStandIns(path.path());
    EXPECT_EQ(testenv::readFile(env->windowsHost() + "/NOTEPAD.EXE"), "mine");
    EXPECT_FALSE(QFileInfo::exists(env->windowsHost() + "/notepad.exe"));
}

TEST(ToolStandIns, CounterpartsAndTheirWords) {
    struct Case {
        QStringList programs; // on the fake path
        const char* tool;
        const char* expectedLine; // "%D" stands for the fake path's folder
    } cases[] = {
        {{"kcalc", "xcalc"}, "calc.exe", "exec %D/kcalc \"$@\""},
        {{"libreoffice"}, "write.exe", "exec %D/libreoffice --writer \"$@\""},
        {{"mpv"}, "mplayer.exe", "exec %D/mpv --player-operation-mode=pseudo-gui \"$@\""},
        {{"pinta"}, "pbrush.exe", "exec %D/pinta \"$@\""},
        {{"lxtask"}, "taskman.exe", "exec %D/lxtask \"$@\""},
        {{"systemsettings"}, "control.exe", "exec %D/systemsettings \"$@\""},
        {{"thunar"}, "explorer.exe", "exec %D/thunar \"$@\""},
        {{"thunar"}, "winfile.exe", "exec %D/thunar \"$@\""},
        {{"xdg-open"}, "explorer.exe", "exec %D/xdg-open \"${1:-$HOME}\""},
        {{"rofi"}, "progman.exe", "exec %D/rofi -show drun \"$@\""},
    };
    for (const Case& c : cases) {
        testenv::Env env;
        FakePath path;
        for (const QString& p : c.programs)
            path.add(p);
        plat::installToolStandIns(path.path());
        const QString script = QString::fromUtf8(testenv::readFile(env.windowsHost() + "/" + c.tool));
        const QString line = QString::fromUtf8(c.expectedLine).replace("%D", path.path());
        EXPECT_EQ(script.toStdString(), ("#!/bin/sh\n" + line + "\n").toStdString()) << c.tool;
    }
}

TEST(ToolStandIns, FolderWithBlanksIsQuotedForTheScript) {
    testenv::Env env;
    QTemporaryDir root;
    const QString dir = root.filePath("my tools 'x'");
    testenv::writeFile(dir + "/galculator", "#!/bin/sh\n");
    QFile::setPermissions(dir + "/galculator",
                          QFile::permissions(dir + "/galculator") | QFileDevice::ExeOwner);
    plat::installToolStandIns(dir);
    const QString script = QString::fromUtf8(testenv::readFile(env.windowsHost() + "/calc.exe"));
    QString quoted = dir + "/galculator";
    quoted.replace("'", "'\\''");
    EXPECT_EQ(script, "#!/bin/sh\nexec '" + quoted + "' \"$@\"\n");
}

TEST(ToolStandIns, EveryMenuToolIsKnown) {
    const QStringList known = plat::knownTools();
    for (const char* t : {"calc.exe", "cdplayer.exe", "defrag.exe", "drvspace.exe", "notepad.exe",
                          "mplayer.exe", "scandskw.exe", "taskman.exe", "write.exe", "dialer.exe",
                          "pbrush.exe", "control.exe", "progman.exe", "winfile.exe", "explorer.exe"}) {
        EXPECT_TRUE(known.contains(QString::fromLatin1(t))) << t;
    }
}

} // namespace
