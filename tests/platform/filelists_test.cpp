// Drive, folder and file list controls over the drive mapping.
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/filelists.h"
#include "platform/files.h"
#include "support/testenv.h"
#include <QDir>
#include <QSignalSpy>

namespace {

using testenv::errorOf;

// C:\DATA with two folders, a hidden one, and files of several kinds.
class FileListsTest : public testenv::EnvTest {
  protected:
    void SetUp() override {
        for (const char* d :
             {"C:\\DATA\\sub2", "C:\\DATA\\Sub1", "C:\\DATA\\.cache", "C:\\DATA\\Sub1\\Deep"}) {
            QDir().mkpath(env->host(d));
        }
        for (const char* f : {"C:\\DATA\\a.txt", "C:\\DATA\\B.TXT", "C:\\DATA\\c.ini", "C:\\DATA\\.dot.txt",
                              "C:\\DATA\\noext", "C:\\DATA\\Sub1\\inner.txt"}) {
            testenv::writeFile(env->host(f), "x");
        }
    }
};

TEST_F(FileListsTest, DirListHoldsAncestorsAndVisibleSubfolders) {
    plat::DirListBox dir;
    QSignalSpy change(&dir, &plat::DirListBox::Change);
    dir.setPath("C:\\DATA");
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(dir.path(), "C:\\DATA");
    EXPECT_EQ(dir.listIndex(), -1);
    ASSERT_EQ(dir.listCount(), 2); // the hidden .cache is left out
    EXPECT_EQ(dir.list(0), "C:\\DATA\\Sub1");
    EXPECT_EQ(dir.list(1), "C:\\DATA\\sub2");
    EXPECT_EQ(dir.list(-1), "C:\\DATA");
    EXPECT_EQ(dir.list(-2), "C:\\");
    EXPECT_EQ(dir.list(-3), "");
    EXPECT_EQ(dir.list(2), "");

    dir.setPath("C:\\DATA\\Sub1\\Deep\\");
    EXPECT_EQ(dir.path(), "C:\\DATA\\Sub1\\Deep");
    EXPECT_EQ(dir.listCount(), 0);
    EXPECT_EQ(dir.list(-3), "C:\\DATA");
    EXPECT_EQ(dir.list(-4), "C:\\");

    dir.setPath("C:\\");
    EXPECT_EQ(dir.path(), "C:\\");
    EXPECT_EQ(dir.list(-1), "C:\\");
    EXPECT_TRUE(dir.list(0).startsWith("C:\\"));
    EXPECT_EQ(change.count(), 3);
}

TEST_F(FileListsTest, DirListPathRules) {
    plat::ChDrive("C");
    plat::ChDir("C:\\DATA\\Sub1");
    plat::DirListBox dir;
    EXPECT_EQ(dir.path(), "C:\\DATA\\Sub1"); // starts in the current folder
    QSignalSpy change(&dir, &plat::DirListBox::Change);

    dir.setPath("c:\\data\\sub1"); // the same folder: no change
    EXPECT_EQ(change.count(), 0);

    EXPECT_EQ(errorOf([&] { dir.setPath("C:\\DATA\\nothere"); }), plat::ErrPathNotFound);
    EXPECT_EQ(errorOf([&] { dir.setPath("C:\\DATA\\a.txt"); }), plat::ErrPathNotFound);
    EXPECT_EQ(errorOf([&] { dir.setPath("Q:\\"); }), plat::ErrPathNotFound);
    EXPECT_EQ(dir.path().toUpper(), "C:\\DATA\\SUB1");
    EXPECT_EQ(change.count(), 0);

    dir.setPath("C:\\");
    dir.setPath("c:"); // a drive alone: its current folder
    EXPECT_EQ(dir.path().toUpper(), "C:\\DATA\\SUB1");
}

TEST_F(FileListsTest, DirListIndexClickAndOpen) {
    plat::DirListBox dir;
    dir.setPath("C:\\DATA");
    QSignalSpy click(&dir, &plat::DirListBox::Click);
    QSignalSpy change(&dir, &plat::DirListBox::Change);

    dir.setListIndex(1);
    EXPECT_EQ(dir.listIndex(), 1);
    EXPECT_EQ(dir.list(dir.listIndex()), "C:\\DATA\\sub2");
    dir.setListIndex(-2);
    EXPECT_EQ(dir.list(dir.listIndex()), "C:\\");
    EXPECT_EQ(click.count(), 2);
    EXPECT_EQ(dir.path(), "C:\\DATA"); // choosing does not open
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(errorOf([&] { dir.setListIndex(2); }), plat::ErrInvalidCall);
    EXPECT_EQ(errorOf([&] { dir.setListIndex(-3); }), plat::ErrInvalidCall);

    // A click picks an entry; a double click opens it (rows: C:\, DATA, then the sub-folders).
    emit dir.itemClicked(dir.item(2));
    EXPECT_EQ(dir.listIndex(), 0);
    EXPECT_EQ(dir.list(dir.listIndex()), "C:\\DATA\\Sub1");
    emit dir.itemDoubleClicked(dir.item(2));
    EXPECT_EQ(dir.path(), "C:\\DATA\\Sub1");
    EXPECT_EQ(dir.listIndex(), -1);
    EXPECT_EQ(change.count(), 1);
}

TEST_F(FileListsTest, DirListRefreshFollowsAFolderThatWent) {
    plat::DirListBox dir;
    dir.setPath("C:\\DATA\\Sub1\\Deep");
    QSignalSpy change(&dir, &plat::DirListBox::Change);
    QDir(env->host("C:\\DATA\\Sub1\\Deep")).removeRecursively();
    QDir().mkpath(env->host("C:\\DATA\\Sub1\\New"));
    dir.refresh();
    EXPECT_EQ(dir.path(), "C:\\DATA\\Sub1");
    EXPECT_EQ(dir.list(0), "C:\\DATA\\Sub1\\New");
    EXPECT_EQ(change.count(), 1);
}

TEST_F(FileListsTest, FileListPatternsAndFlags) {
    plat::FileListBox files;
    QSignalSpy pathChange(&files, &plat::FileListBox::PathChange);
    QSignalSpy patternChange(&files, &plat::FileListBox::PatternChange);
    files.setPath("C:\\DATA");
    EXPECT_EQ(pathChange.count(), 1);

    auto names = [&] {
        QStringList n;
        for (int i = 0; i < files.listCount(); ++i)
            n << files.list(i);
        return n;
    };
    struct Case {
        const char* pattern;
        QStringList expected;
    } cases[] = {
        {"*.*", {"a.txt", "B.TXT", "c.ini", "noext"}},
        {"*.txt", {"a.txt", "B.TXT"}},
        {"*.ini;*.TXT", {"a.txt", "B.TXT", "c.ini"}},
        {"?.*", {"a.txt", "B.TXT", "c.ini"}},
        {"nothing.*", {}},
    };
    for (const Case& c : cases) {
        files.setPattern(c.pattern);
        EXPECT_EQ(files.pattern(), c.pattern);
        EXPECT_EQ(names(), c.expected) << c.pattern;
    }
    EXPECT_EQ(patternChange.count(), 5);

    files.setPattern("*.txt");
    files.setHiddenFiles(true);
    EXPECT_TRUE(names().contains(".dot.txt"));
    files.setHiddenFiles(false);
    EXPECT_FALSE(names().contains(".dot.txt"));

    EXPECT_EQ(errorOf([&] { files.setPath("C:\\NOPE"); }), plat::ErrPathNotFound);
    EXPECT_EQ(files.path(), "C:\\DATA");
}

TEST_F(FileListsTest, FileListSystemFlag) {
    try {
        plat::SetAttr("C:\\DATA\\c.ini", plat::vbSystem);
    } catch (const plat::RuntimeError&) {
        GTEST_SKIP() << "no extended attributes on this file system";
    }
    plat::FileListBox files;
    files.setPath("C:\\DATA");
    files.setPattern("*.ini");
    EXPECT_EQ(files.listCount(), 0);
    files.setSystemFiles(true);
    ASSERT_EQ(files.listCount(), 1);
    EXPECT_EQ(files.list(0), "c.ini");
}

TEST_F(FileListsTest, FileListSelection) {
    plat::FileListBox files;
    files.setPath("C:\\DATA");
    QSignalSpy click(&files, &plat::FileListBox::Click);
    EXPECT_EQ(files.listIndex(), -1);
    EXPECT_EQ(files.fileName(), "");
    files.setListIndex(1);
    EXPECT_EQ(files.fileName(), "B.TXT");
    EXPECT_EQ(click.count(), 1);
    testenv::writeFile(env->host("C:\\DATA\\0first.txt"), "x");
    files.refresh(); // the chosen file stays chosen
    EXPECT_EQ(files.fileName(), "B.TXT");
    EXPECT_EQ(files.listIndex(), 2);
    EXPECT_EQ(errorOf([&] { files.setListIndex(files.listCount()); }), plat::ErrInvalidCall);
}

TEST_F(FileListsTest, DriveListNamesDrivesAndFiresOnChange) {
    plat::DriveListBox drives;
    EXPECT_EQ(drives.drive(), "c:");
    EXPECT_GE(drives.count(), 2); // c: and z:
    QSignalSpy change(&drives, &plat::DriveListBox::Change);
    drives.setDrive("Z:\\usr");
    EXPECT_EQ(drives.drive(), "z:");
    drives.setDrive("z");
    EXPECT_EQ(change.count(), 1);
    drives.setDrive("C:");
    EXPECT_EQ(drives.drive(), "c:");
    EXPECT_EQ(change.count(), 2);
    EXPECT_EQ(errorOf([&] { drives.setDrive("q:"); }), plat::ErrDeviceUnavailable);
    EXPECT_EQ(drives.drive(), "c:");
    drives.refresh();
    EXPECT_EQ(drives.drive(), "c:");
    EXPECT_EQ(change.count(), 2);
}

} // namespace
