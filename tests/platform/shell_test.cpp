// Launching: command-line splitting, what the real launcher would start, and one real start of
// a script made here, to show that names full of shell characters stay single arguments.
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/shell.h"
#include "support/testenv.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

class ShellTest : public testenv::EnvTest {};

using plat::CommandLine;

struct SplitCase {
    const char* line;
    const char* program;
    QStringList args;
};

TEST(SplitCommandLine, WindowsRules) {
    const SplitCase cases[] = {
        {"C:\\WINDOWS\\notepad.exe C:\\a b.txt", "C:\\WINDOWS\\notepad.exe", {"C:\\a", "b.txt"}},
        {"\"C:\\Program Files\\x.exe\" \"C:\\my docs\\a.txt\" /p",
         "C:\\Program Files\\x.exe",
         {"C:\\my docs\\a.txt", "/p"}},
        // Unquoted, the program ends at the first blank, as Windows reads it.
        {"C:\\Program Files\\x.exe", "C:\\Program", {"Files\\x.exe"}},
        {"   calc.exe   ", "calc.exe", {}},
        {"calc.exe\t-a\t\tb", "calc.exe", {"-a", "b"}},
        // Backslashes are plain characters, also before a quote.
        {"x.exe C:\\dir\\ \"C:\\dir\\\" \\\\server\\share",
         "x.exe",
         {"C:\\dir\\", "C:\\dir\\", "\\\\server\\share"}},
        {"x.exe \"a\"\"b\" \"\"", "x.exe", {"a\"b", ""}},
        {"x.exe a\"b c\"d e", "x.exe", {"ab cd", "e"}},
        {"\"C:\\unterminated quote", "C:\\unterminated quote", {}},
        {"\"C:\\p q\\r.exe\"x y", "C:\\p q\\r.exe", {"x", "y"}},
        {"", "", {}},
        {"x.exe $(rm -rf x) ; `y` 'z z'", "x.exe", {"$(rm", "-rf", "x)", ";", "`y`", "'z", "z'"}},
    };
    for (const SplitCase& c : cases) {
        const CommandLine cl = plat::splitCommandLine(QString::fromUtf8(c.line));
        EXPECT_EQ(cl.program, QString::fromUtf8(c.program)) << c.line;
        EXPECT_EQ(cl.args, c.args) << c.line;
    }
}

struct ExecCase {
    const char* exec;
    QStringList expected; // "@F" stands for the file, "@U" for its URI
};

TEST(ExpandDesktopExec, FieldCodes) {
    const QString file = QStringLiteral("/tmp/a b;$(x)/メモ帳.txt");
    const QString uri = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
    const ExecCase cases[] = {
        {"gedit %U", {"gedit", "@U"}},
        {"mousepad %F", {"mousepad", "@F"}},
        {"vlc --started-from-file %u", {"vlc", "--started-from-file", "@U"}},
        {"app %f --icon-less %i %c %k", {"app", "@F", "--icon-less"}},
        {"app --file=%f --pct=100%%", {"app", "--file=@F", "--pct=100%"}},
        {"\"/opt/my app/run\" -x %F", {"/opt/my app/run", "-x", "@F"}},
        {"sh -c \"echo \\\"$1\\\"\" %f", {"sh", "-c", "echo \"$1\"", "@F"}},
        // No file code: the file goes last.
        {"gnome-calculator", {"gnome-calculator", "@F"}},
    };
    for (const ExecCase& c : cases) {
        QStringList expected;
        for (QString w : c.expected)
            expected << w.replace("@F", file).replace("@U", uri);
        EXPECT_EQ(plat::expandDesktopExec(QString::fromUtf8(c.exec), file), expected) << c.exec;
    }
    EXPECT_EQ(plat::expandDesktopExec("app %U --new", QString()), QStringList({"app", "--new"}));
}

void makeExecutable(const QString& host, const QByteArray& content) {
    testenv::writeFile(host, content);
    QFile::setPermissions(host, QFile::permissions(host) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

TEST(IsRunnable, NeedsExecBitAndProgramImage) {
    QTemporaryDir dir;
    const QString script = dir.filePath("s.sh"), noExec = dir.filePath("t.sh"), data = dir.filePath("x.txt");
    makeExecutable(script, "#!/bin/sh\n");
    testenv::writeFile(noExec, "#!/bin/sh\n");
    makeExecutable(data, "just text with an exec bit\n");
    EXPECT_TRUE(plat::isRunnable(script));
    EXPECT_TRUE(plat::isRunnable("/bin/sh"));
    EXPECT_FALSE(plat::isRunnable(noExec));
    EXPECT_FALSE(plat::isRunnable(data));
    EXPECT_FALSE(plat::isRunnable(dir.path()));
    EXPECT_FALSE(plat::isRunnable(dir.filePath("missing")));
}

// ---- shell links ----

void put16(QByteArray& b, int v) {
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}
void put32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}

QByteArray linkHeader(quint32 flags) {
    QByteArray b;
    put32(b, 0x4C);
    b.append(QByteArray::fromHex("0114020000000000C000000000000046"));
    put32(b, flags);
    b.append(QByteArray(0x4C - b.size(), '\0'));
    return b;
}

// A link as Windows writes it: an item id list, LinkInfo with a local base path in the code
// page, and the arguments as a UTF-16 string.
QByteArray linkWithLocalPath(const QString& target, const QString& arguments) {
    QByteArray b = linkHeader(0x1 | 0x2 | 0x20 | 0x80);
    put16(b, 4);
    b.append("\x02\x00\x00\x00", 4); // an opaque id list
    const QByteArray base = plat::toAnsi(target) + '\0';
    const quint32 header = 0x1C, volumeAt = header, volumeSize = 0x11;
    const quint32 baseAt = volumeAt + volumeSize, suffixAt = baseAt + quint32(base.size());
    QByteArray li;
    put32(li, 0); // size, patched below
    put32(li, header);
    put32(li, 1); // volume id and local base path
    put32(li, volumeAt);
    put32(li, baseAt);
    put32(li, 0);
    put32(li, suffixAt);
    put32(li, volumeSize);
    put32(li, 3);
    put32(li, 0x1234);
    put32(li, 0x10);
    li.append('\0');
    li.append(base);
    li.append('\0'); // empty suffix
    const quint32 size = quint32(li.size());
    for (int i = 0; i < 4; ++i)
        li[i] = char((size >> (8 * i)) & 0xff);
    b.append(li);
    put16(b, int(arguments.size()));
    for (QChar c : arguments)
        put16(b, c.unicode());
    return b;
}

// A link with only a relative path, in the code page.
QByteArray linkWithRelativePath(const QString& relative) {
    QByteArray b = linkHeader(0x8);
    const QByteArray rel = plat::toAnsi(relative);
    put16(b, int(rel.size()));
    b.append(rel);
    return b;
}

TEST_F(ShellTest, ReadShortcutTakesLocalPathRelativePathOrNothing) {
    const QString dir = env->host("C:\\LINKS");
    QDir().mkpath(dir);
    testenv::writeFile(dir + "/full.lnk", linkWithLocalPath("C:\\DATA\\メモ 帳.txt", "/p \"x y\""));
    testenv::writeFile(dir + "/rel.lnk", linkWithRelativePath("..\\DATA\\表.txt"));
    testenv::writeFile(dir + "/junk.lnk", "this is no link at all, only a text that happens to end in lnk");
    testenv::writeFile(dir + "/short.lnk", linkHeader(0x2).left(0x50));
    QByteArray cut = linkWithLocalPath("C:\\DATA\\x.txt", "");
    cut.chop(30);
    testenv::writeFile(dir + "/cut.lnk", cut);

    plat::ShortcutTarget t = plat::readShortcut(dir + "/full.lnk");
    EXPECT_TRUE(t.ok);
    EXPECT_EQ(t.path, "C:\\DATA\\メモ 帳.txt");
    EXPECT_EQ(t.arguments, "/p \"x y\"");

    t = plat::readShortcut(dir + "/rel.lnk");
    EXPECT_TRUE(t.ok);
    EXPECT_EQ(t.path.toUpper(), QString("C:\\DATA\\表.txt").toUpper());

    for (const char* bad : {"junk.lnk", "short.lnk", "cut.lnk", "missing.lnk"}) {
        EXPECT_FALSE(plat::readShortcut(dir + "/" + bad).ok) << bad;
    }
}

// ---- what the real launcher starts ----

// Registers test-made handlers with the desktop (in the test program's own XDG folders) and
// takes them away again afterwards.
class LaunchPlanTest : public testenv::EnvTest {
  protected:
    QTemporaryDir tools;
    QString folderHandler, textHandler, mimeapps;
    QByteArray mimeappsBefore;

    void SetUp() override {
        folderHandler = tools.filePath("folder-handler");
        textHandler = tools.filePath("fortran-editor");
        makeExecutable(folderHandler, "#!/bin/sh\n");
        makeExecutable(textHandler, "#!/bin/sh\n");
        const QString apps = testenv::xdgRoot() + "/data/applications/";
        testenv::writeFile(apps + "zelnori-test-folders.desktop",
                           "[Desktop Entry]\nType=Application\nName=Folders\nExec=" + folderHandler.toUtf8() +
                               " --new-window %U\nMimeType=inode/directory;\n");
        testenv::writeFile(apps + "zelnori-test-fortran.desktop",
                           "[Desktop Entry]\nType=Application\nName=Fortran\nExec=" + textHandler.toUtf8() +
                               " %F\nMimeType=text/x-fortran;\n");
        mimeapps = testenv::xdgRoot() + "/config/mimeapps.list";
        mimeappsBefore = testenv::readFile(mimeapps);
        testenv::writeFile(mimeapps, mimeappsBefore + "\n[Default Applications]\n"
                                                      "inode/directory=zelnori-test-folders.desktop\n"
                                                      "text/x-fortran=zelnori-test-fortran.desktop\n");
        // The desktop notices new entries through file monitors on the event loop.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return plat::launchPlan("", "C:\\WINDOWS", "", "").program == folderHandler &&
                       plat::launchPlan("", fortranFile(), "", "").program == textHandler;
            },
            20000));
    }

    void TearDown() override {
        const QString apps = testenv::xdgRoot() + "/data/applications/";
        QFile::remove(apps + "zelnori-test-folders.desktop");
        QFile::remove(apps + "zelnori-test-fortran.desktop");
        testenv::writeFile(mimeapps, mimeappsBefore);
    }

    QString fortranFile() {
        const QString f = "C:\\SRC\\main prog.f90";
        if (!QFile::exists(env->host(f))) testenv::writeFile(env->host(f), "      PROGRAM MAIN\n      END\n");
        return f;
    }
};

TEST_F(LaunchPlanTest, FolderGoesToTheDesktopsFolderHandler) {
    const plat::LaunchPlan p = plat::launchPlan("", "C:\\WINDOWS", "", "");
    EXPECT_EQ(p.error, 0);
    EXPECT_EQ(p.program, folderHandler);
    EXPECT_EQ(p.args, QStringList({"--new-window", QUrl::fromLocalFile(env->windowsHost()).toString()}));
    EXPECT_EQ(p.workDir, env->windowsHost());
    EXPECT_EQ(plat::launchPlan("explore", "c:\\windows", "", "").program, folderHandler);
}

TEST_F(LaunchPlanTest, DocumentGoesToItsTypesApplicationAsOneArgument) {
    const QString doc = fortranFile();
    // The directory argument may name a file (the program's own path); the document's folder is used then.
    const plat::LaunchPlan p = plat::launchPlan("open", doc, "", "C:\\WINDOWS\\zns14.ini");
    EXPECT_EQ(p.error, 0);
    EXPECT_EQ(p.program, textHandler);
    EXPECT_EQ(p.args, QStringList({env->host(doc)}));
    EXPECT_EQ(p.workDir, env->host("C:\\SRC"));
    EXPECT_EQ(plat::launchPlan("", doc, "", "C:\\WINDOWS").workDir, env->windowsHost());
}

TEST_F(LaunchPlanTest, ProgramRunsItselfWithItsWordsAndShortcutsOpenTheirTarget) {
    const QString prog = env->host("C:\\TOOLS\\run me.exe");
    makeExecutable(prog, "#!/bin/sh\n");
    testenv::writeFile(env->host("C:\\DATA\\a b.txt"), "x");
    plat::LaunchPlan p = plat::launchPlan("", "C:\\TOOLS\\run me.exe", "-v \"C:\\DATA\\a b.txt\" $HOME", "");
    EXPECT_EQ(p.error, 0);
    EXPECT_EQ(p.program, prog);
    EXPECT_EQ(p.args, QStringList({"-v", env->host("C:\\DATA\\a b.txt"), "$HOME"}));

    testenv::writeFile(env->host("C:\\LINKS\\prog.lnk"), linkWithLocalPath("C:\\TOOLS\\run me.exe", "/x"));
    testenv::writeFile(env->host("C:\\LINKS\\src.lnk"), linkWithRelativePath("..\\SRC\\main prog.f90"));
    testenv::writeFile(env->host("C:\\LINKS\\dir.lnk"), linkWithLocalPath("C:\\WINDOWS", ""));
    testenv::writeFile(env->host("C:\\LINKS\\bad.lnk"), "garbage");
    fortranFile();
    p = plat::launchPlan("", "C:\\LINKS\\prog.lnk", "extra", "");
    EXPECT_EQ(p.program, prog);
    EXPECT_EQ(p.args, QStringList({"/x", "extra"}));
    p = plat::launchPlan("", "C:\\LINKS\\src.lnk", "", "");
    EXPECT_EQ(p.program, textHandler);
    EXPECT_EQ(p.args, QStringList({env->host("C:\\SRC\\main prog.f90")}));
    EXPECT_EQ(plat::launchPlan("", "C:\\LINKS\\dir.lnk", "", "").program, folderHandler);
    EXPECT_EQ(plat::launchPlan("", "C:\\LINKS\\bad.lnk", "", "").error, 11);
}

TEST_F(LaunchPlanTest, DesktopEntryStartsItsApplication) {
    testenv::writeFile(env->host("C:\\APPS\\folders.desktop"),
                       "[Desktop Entry]\nType=Application\nName=F\nExec=" + folderHandler.toUtf8() +
                           " --go %U\n");
    const plat::LaunchPlan p = plat::launchPlan("", "C:\\APPS\\folders.desktop", "", "");
    EXPECT_EQ(p.error, 0);
    EXPECT_EQ(p.program, folderHandler);
    EXPECT_EQ(p.args, QStringList({"--go"}));
}

TEST_F(LaunchPlanTest, FailuresGiveShellExecuteCodes) {
    testenv::writeFile(env->host("C:\\DATA\\thing.zelnoriunknown"), QByteArray("\x01\x02\x03\x00\xff", 5));
    testenv::writeFile(env->host("C:\\DATA\\a.txt"), "x");
    struct Case {
        const char* op;
        const char* file;
        int error;
    } cases[] = {
        {"", "C:\\DATA\\gone.txt", 2},
        {"", "C:\\NOWHERE\\gone.txt", 3},
        {"", "Q:\\x.txt", 3},
        {"", "", 3},
        {"", "C:\\DATA\\thing.zelnoriunknown", 31},
        {"print", "C:\\DATA\\a.txt", 31},
        {"explore", "C:\\DATA\\a.txt", 31},
    };
    for (const Case& c : cases) {
        const plat::LaunchPlan p = plat::launchPlan(c.op, QString::fromUtf8(c.file), "", "");
        EXPECT_EQ(p.error, c.error) << c.op << " " << c.file;
        EXPECT_TRUE(p.program.isEmpty()) << c.file;
    }
}

TEST_F(ShellTest, ShellPlanFindsTheProgramOrRaises) {
    const QString calc = env->host("C:\\WINDOWS\\calc.exe");
    makeExecutable(calc, "#!/bin/sh\n");
    testenv::writeFile(env->host("C:\\WINDOWS\\readme.txt"), "x");
    plat::ChDrive("C");
    plat::ChDir("C:\\WINDOWS");

    plat::LaunchPlan p = plat::shellPlan("C:\\WINDOWS\\CALC.exe C:\\WINDOWS\\zns14.ini /x");
    EXPECT_EQ(p.program, calc);
    EXPECT_EQ(p.args, QStringList({env->host("C:\\WINDOWS\\zns14.ini"), QStringLiteral("/x")}));
    EXPECT_EQ(p.workDir, env->windowsHost());
    EXPECT_EQ(plat::shellPlan("calc").program, calc); // bare name, current folder, .exe added

    struct Case {
        const char* line;
        int error;
    } cases[] = {
        {"C:\\WINDOWS\\nothere.exe", 53},
        {"C:\\NOFOLDER\\x.exe /a", 53},
        {"Q:\\x.exe", 53},
        {"C:\\WINDOWS", 53},
        {"C:\\WINDOWS\\readme.txt", 5},
        {"   ", 5},
    };
    for (const Case& c : cases) {
        try {
            plat::shellPlan(QString::fromUtf8(c.line));
            ADD_FAILURE() << "no error for " << c.line;
        } catch (const plat::RuntimeError& e) {
            EXPECT_EQ(e.number(), c.error) << c.line;
        }
    }
}

TEST_F(ShellTest, RealShellRaisesFileNotFoundForAMissingProgram) {
    plat::setLauncher(nullptr);
    try {
        plat::launcher().shell("C:\\WINDOWS\\NOSUCH.exe", 1);
        ADD_FAILURE() << "no error";
    } catch (const plat::RuntimeError& e) {
        EXPECT_EQ(e.number(), plat::ErrFileNotFound);
    }
    EXPECT_LE(plat::launcher().shellExecute("", "C:\\WINDOWS\\NOSUCH.txt", "", "", 1), 32);
    plat::setLauncher(&env->launcher);
}

// The one real start in these tests: a script made here that writes its arguments to a file.
// Names full of shell syntax must arrive as single arguments and nothing else may run.
TEST_F(ShellTest, NamesWithShellSyntaxReachTheProgramAsOneArgument) {
    QTemporaryDir outDir;
    const QString folder = "C:\\dir $(touch x1)";
    const QString script = folder + "\\run; touch x2 `touch x3` 'q'.sh";
    const QString doc = folder + "\\a b;$(touch x4)&x5|x6>x7.txt";
    const QString out = outDir.filePath("args.txt");
    makeExecutable(env->host(script), "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
                                          out.toUtf8() + ".part\nmv " + out.toUtf8() + ".part " +
                                          out.toUtf8() + "\n");
    testenv::writeFile(env->host(doc), "x");

    plat::setLauncher(nullptr);
    struct Run {
        const char* how;
        std::function<void()> start;
    } runs[] = {
        {"Shell",
         [&] { EXPECT_GT(plat::launcher().shell("\"" + script + "\" \"" + doc + "\" $(touch x8)", 1), 0); }},
        {"ShellExecute",
         [&] {
             EXPECT_GT(plat::launcher().shellExecute("", script, "\"" + doc + "\" $(touch x8)", "", 3), 32);
         }},
    };
    for (const Run& r : runs) {
        QFile::remove(out);
        r.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 30000)) << r.how;
        EXPECT_EQ(QString::fromUtf8(testenv::readFile(out)), env->host(doc) + "\n$(touch\nx8)\n") << r.how;
    }
    plat::setLauncher(&env->launcher);

    const QStringList places{env->host("C:\\"), env->host(folder), QDir::currentPath(), outDir.path()};
    for (const QString& place : places) {
        for (const char* name : {"x1", "x2", "x3", "x4", "x5", "x6", "x7", "x8"}) {
            EXPECT_FALSE(QFileInfo::exists(place + "/" + name)) << name << " in " << place.toStdString();
        }
    }
}

TEST(RecordingLauncher, RecordsAndAnswers) {
    plat::RecordingLauncher rec;
    rec.shellExecuteResult = 2;
    EXPECT_EQ(rec.shellExecute("", "C:\\a.txt", "", "Z:\\usr\\bin\\gedit", 3), 2);
    EXPECT_EQ(rec.shell("C:\\WINDOWS\\calc.exe", 2), 1);
    EXPECT_EQ(rec.shell("C:\\WINDOWS\\calc.exe", 1), 2);
    ASSERT_EQ(rec.executed.size(), 1u);
    EXPECT_EQ(rec.executed[0].file, "C:\\a.txt");
    EXPECT_EQ(rec.executed[0].directory, "Z:\\usr\\bin\\gedit");
    EXPECT_EQ(rec.executed[0].showCmd, 3);
    ASSERT_EQ(rec.shelled.size(), 2u);
    EXPECT_EQ(rec.shelled[0].windowStyle, 2);
}

} // namespace
