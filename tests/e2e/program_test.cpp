// The real program on a private X display: first start, the orderly end on SIGTERM and a file
// dropped from another X client.
#include "platform/codepage.h"
#include "support/testenv.h"
#include "xsession.h"
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <csignal>
#include <gtest/gtest.h>

namespace {

QByteArray sjis(const QStringList& lines) {
    QByteArray out;
    for (const QString& l : lines)
        out += plat::toAnsi(l) + "\r\n";
    return out;
}

bool haveTools() {
    return !QStandardPaths::findExecutable("Xvfb").isEmpty() &&
           !QStandardPaths::findExecutable("xdotool").isEmpty();
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!haveTools()) GTEST_SKIP() << "Xvfb or xdotool missing";
        x = std::make_unique<e2e::XSession>();
        ASSERT_TRUE(x->ok()) << "Xvfb did not start";
    }
    std::unique_ptr<e2e::XSession> x;
};

TEST_F(ProgramTest, FirstStartMakesTheFilesAndPinsTheWindowToTheLeftEdge) {
    e2e::Program prog(*x);
    prog.start();
    ASSERT_TRUE(prog.waitForFile(prog.windowsDir() + "/znP1.ini"));
    EXPECT_EQ(testenv::readFile(prog.windowsDir() + "/zns14.ini"), QByteArray("0\r\n"));
    EXPECT_EQ(testenv::readFile(prog.windowsDir() + "/znP1.ini"), sjis({"999", "ページ１"}));
    EXPECT_TRUE(QFileInfo(prog.dataHome() + "/dosdevices/c:").isSymLink());
    EXPECT_TRUE(QFileInfo(prog.dataHome() + "/dosdevices/z:").isSymLink());

    // After the splash the panel is 1000 twips wide, at the top left, at full screen height.
    std::optional<QRect> g;
    for (int i = 0; i < 100; ++i) {
        g = prog.mainWindowGeometry();
        if (g && g->width() == 67) break;
        e2e::settle(100);
    }
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->topLeft(), QPoint(0, 0));
    EXPECT_EQ(g->width(), 67);
    EXPECT_EQ(g->height(), 768);
    // The title is the name of the page on screen.
    EXPECT_EQ(x->run("xdotool", {"getwindowname", prog.mainWindowId()}).trimmed(), QStringLiteral("ページ１"));

    EXPECT_EQ(prog.terminate(SIGTERM), 0);
    EXPECT_EQ(testenv::readFile(prog.windowsDir() + "/zns14.ini"),
              sjis({" 1", " 0", " 1000", " 0", " 8388608", " 1", " 1", " 0", " 0"}));
    EXPECT_EQ(testenv::readFile(prog.windowsDir() + "/znP1.ini"), sjis({"999", "ページ１"}));
}

TEST_F(ProgramTest, SigtermWritesSettingsAndPageBack) {
    QTemporaryDir targets;
    testenv::writeFile(targets.path() + "/memo.txt", "memo");
    QDir().mkpath(targets.path() + "/書類");
    const QString t1 = "Z:" + QString(targets.path() + "/memo.txt").replace('/', '\\');
    const QString t2 = "Z:" + QString(targets.path() + "/書類").replace('/', '\\');

    e2e::Program prog(*x);
    const QStringList settings = {" 1", " 0", " 1200", " 300", " 32768", " 1", " 2", " 0", " 1"};
    const QStringList page = {" 1",
                              "仕事, \"その1\"",
                              t1,
                              "C:\\WINDOWS\\system\\shell32.dll",
                              "メモ, \"引用\"",
                              " 0",
                              t2,
                              "C:\\WINDOWS\\system\\shell32.dll",
                              t2,
                              " 3"};
    testenv::writeFile(prog.windowsDir() + "/zns14.ini", sjis(settings));
    testenv::writeFile(prog.windowsDir() + "/znP1.ini", sjis(page));
    prog.start();
    auto g = prog.mainWindowGeometry();
    ASSERT_TRUE(g.has_value());
    e2e::settle(2500); // the splash's second
    EXPECT_EQ(prog.terminate(SIGTERM), 0);

    // The panel was pinned to the left edge while it ran, so the left edge comes back as 0.
    QStringList expected = settings;
    expected[3] = " 0";
    EXPECT_EQ(testenv::readFile(prog.windowsDir() + "/zns14.ini"), sjis(expected));
    EXPECT_EQ(testenv::readFile(prog.windowsDir() + "/znP1.ini"), sjis(page));
}

TEST_F(ProgramTest, AFileDraggedFromAnotherClientBecomesAButton) {
    QTemporaryDir targets;
    const QString file = targets.path() + "/dropped.txt";
    testenv::writeFile(file, "drop me");

    e2e::Program prog(*x);
    prog.start();
    ASSERT_TRUE(prog.mainWindowGeometry().has_value());
    e2e::settle(2500);

    QProcess source;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", x->display());
    env.insert("QT_QPA_PLATFORM", "xcb");
    source.setProcessEnvironment(env);
    source.start(QStringLiteral(DRAGSOURCE_BINARY), {file});
    ASSERT_TRUE(source.waitForStarted());
    e2e::settle(1500);
    x->run("xdotool", {"mousemove", "700", "370"});
    e2e::settle(200);
    x->run("xdotool", {"mousedown", "1"});
    e2e::settle(300);
    for (int step = 0; step <= 10; ++step) {
        x->run("xdotool", {"mousemove", QString::number(700 - step * 67), QString::number(370 - step * 7)});
        e2e::settle(80);
    }
    x->run("xdotool", {"mousemove", "30", "300"});
    e2e::settle(300);
    x->run("xdotool", {"mouseup", "1"});
    source.waitForFinished(5000);
    e2e::settle(500);

    EXPECT_EQ(prog.terminate(SIGTERM), 0);
    const QStringList lines = plat::decodeLines(testenv::readFile(prog.windowsDir() + "/znP1.ini"));
    ASSERT_GE(lines.size(), 6) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], " 0");
    EXPECT_EQ(lines[2], "Z:" + QString(file).replace('/', '\\'));
    EXPECT_EQ(lines[4], "dropped.txt");
}

} // namespace
