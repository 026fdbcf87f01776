// FindExecutable against a desktop of our own: a fixture editor that opens text/plain, a type
// whose default program is not installed, and files of other kinds.
#include "platform/drives.h"
#include "platform/shell.h"
#include "support/testenv.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

class FindExecutableTest : public testenv::EnvTest {
  protected:
    // The desktop is set up once: GIO reads it once and afterwards only learns of changes
    // through its file monitors.
    static void SetUpTestSuite() {
        bin_ = new QTemporaryDir;
        editor_ = bin_->path() + "/zelfixedit";
        testenv::writeFile(editor_, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(editor_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString apps = testenv::xdgRoot() + "/data/applications/";
        testenv::writeFile(apps + "zelfixedit.desktop",
                           ("[Desktop Entry]\nType=Application\nName=Fixture editor\nExec=\"" + editor_ +
                            "\" %f\nMimeType=text/plain;\n")
                               .toUtf8());
        testenv::writeFile(apps + "zelghost.desktop",
                           "[Desktop Entry]\nType=Application\nName=Not installed\n"
                           "Exec=/nonexistent/zelghost %f\nMimeType=image/png;\n");
        testenv::writeFile(
            testenv::xdgRoot() + "/config/mimeapps.list",
            "[Default Applications]\ntext/plain=zelfixedit.desktop\nimage/png=zelghost.desktop\n");
    }
    static void TearDownTestSuite() {
        delete bin_;
        bin_ = nullptr;
    }

    void SetUp() override {
        // If GIO had read the desktop before this suite wrote it, its monitors bring the
        // change in shortly; wait for that rather than race it.
        const QString probe = put("C:\\PROBE\\probe.txt", "probe\n");
        QDeadlineTimer deadline(10000);
        while (plat::FindExecutable(probe).isEmpty() && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
    }

    QString put(const QString& winPath, const QByteArray& bytes) {
        testenv::writeFile(env->host(winPath), bytes);
        return winPath;
    }

    static QTemporaryDir* bin_;
    static QString editor_;
};

QTemporaryDir* FindExecutableTest::bin_ = nullptr;
QString FindExecutableTest::editor_;

TEST_F(FindExecutableTest, TextFileOpensWithTheDefaultEditor) {
    const QString expected = plat::windowsPath(editor_);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_TRUE(expected.startsWith("Z:\\")) << expected.toStdString();
    EXPECT_EQ(plat::FindExecutable(put("C:\\DOCS\\readme.txt", "hello\r\n")), expected);
    // The type is known by content too: a text file without an extension.
    EXPECT_EQ(plat::FindExecutable(put("C:\\DOCS\\NOTES", "plain words\nmore words\n")), expected);
    // A kind of text without a program of its own opens with the program for text.
    EXPECT_EQ(plat::FindExecutable(put("C:\\DOCS\\table.csv", "a,b\n1,2\n")), expected);
}

TEST_F(FindExecutableTest, NoProgramGivesEmpty) {
    put("C:\\DOCS\\blob.zzq", QByteArray("\x00\x01\x02\x03\xff\xfe\x00\x10", 8).repeated(64));
    put("C:\\DOCS\\photo.png", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, '\0'));
    QDir().mkpath(env->host("C:\\DOCS\\SUB"));
    const struct {
        const char* file;
        const char* why;
    } cases[] = {
        {"C:\\DOCS\\blob.zzq", "a type without an application"},
        {"C:\\DOCS\\photo.png", "a default program that is not installed"},
        {"C:\\DOCS\\SUB", "a folder"},
        {"C:\\DOCS", "a folder"},
        {"C:\\DOCS\\missing.txt", "a missing file"},
        {"Q:\\NODRIVE\\x.txt", "a missing drive"},
        {"", "no name"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plat::FindExecutable(c.file), QString()) << c.why << ": " << c.file;
}

TEST_F(FindExecutableTest, ProgramsOpenThemselves) {
    const QString exe = put("C:\\APPS\\TOOL.EXE", "MZ");
    EXPECT_EQ(plat::FindExecutable(exe), plat::windowsPath(env->host(exe)));
    EXPECT_EQ(plat::FindExecutable(plat::windowsPath(editor_)), plat::windowsPath(editor_));
}

} // namespace
