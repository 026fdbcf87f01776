// Files and attributes in DOS terms, on real temporary folders.
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "support/testenv.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using testenv::EnvTest;

using testenv::errorOf;

QByteArray enc(const QString& host) {
    return QFile::encodeName(host);
}

void setRaw(const QString& host, const QByteArray& value) {
    ASSERT_EQ(::setxattr(enc(host).constData(), "user.DOSATTRIB", value.constData(), size_t(value.size()), 0),
              0)
        << host.toStdString();
}

// The stored value, or "-" when there is none.
QByteArray raw(const QString& host) {
    char buf[256];
    const ssize_t n = ::getxattr(enc(host).constData(), "user.DOSATTRIB", buf, sizeof buf);
    return n < 0 ? QByteArray("-") : QByteArray(buf, n);
}

class FilesTest : public EnvTest {
  protected:
    void SetUp() override {
        const QString probe = env->home() + "/xattr-probe";
        testenv::writeFile(probe, "");
        const bool ok = ::setxattr(enc(probe).constData(), "user.probe", "1", 1, 0) == 0;
        QFile::remove(probe);
        if (!ok) GTEST_SKIP() << "the temporary folder's file system keeps no user extended attributes";
    }
    // Host path below C:\T.
    QString t(const QString& rel = QString()) const {
        return env->home() + "/drive_c/T" + (rel.isEmpty() ? QString() : "/" + rel);
    }
    void file(const QString& rel, const QByteArray& bytes = "x") { testenv::writeFile(t(rel), bytes); }
    void folder(const QString& rel) { QDir().mkpath(t(rel)); }
};

TEST_F(FilesTest, AttributeWordFromModeAndStoredValue) {
    struct Case {
        const char* name;
        bool dir;
        mode_t mode;         // 0: left as made
        const char* stored;  // nullptr: nothing stored
        qsizetype storedLen; // for values with a NUL inside
        int expected;
    } cases[] = {
        {"plain.txt", false, 0, nullptr, 0, plat::vbArchive},
        {"Folder", true, 0, nullptr, 0, plat::vbDirectory},
        {".profile", false, 0, nullptr, 0, plat::vbHidden | plat::vbArchive},
        {".config", true, 0, nullptr, 0, plat::vbHidden | plat::vbDirectory},
        {"ro.txt", false, 0444, nullptr, 0, plat::vbReadOnly | plat::vbArchive},
        {"RoFolder", true, 0555, nullptr, 0, plat::vbReadOnly | plat::vbDirectory},
        {"group-writable-only.txt", false, 0464, nullptr, 0, plat::vbReadOnly | plat::vbArchive},
        {"cleared.txt", false, 0, "0x0", 3, 0},
        {".cleared-dot", false, 0, "0x0", 3, 0},
        {"hs.sys", false, 0, "0x6", 3, plat::vbHidden | plat::vbSystem},
        // Only hidden, system and archive come from the stored value.
        {"all.txt", false, 0, "0x3f", 4, plat::vbHidden | plat::vbSystem | plat::vbArchive},
        {"upper.txt", false, 0, "0X22", 4, plat::vbHidden | plat::vbArchive},
        {"StoredFolder", true, 0, "0x12", 4, plat::vbHidden | plat::vbDirectory},
        {"ArchFolder", true, 0, "0x30", 4, plat::vbArchive | plat::vbDirectory},
        // Samba's form: the text, a NUL, then binary data.
        {"samba.txt", false, 0, "0x2\0\x01\x02\x03", 7, plat::vbHidden},
        {"foreign.txt", false, 0, "hidden", 6, plat::vbArchive},
        {".foreign-dot", false, 0, "0xzz", 4, plat::vbHidden | plat::vbArchive},
    };
    for (const Case& k : cases) {
        const QString host = t(k.name);
        if (k.dir)
            folder(k.name);
        else
            file(k.name);
        if (k.stored) setRaw(host, QByteArray(k.stored, k.storedLen));
        if (k.mode) ::chmod(enc(host).constData(), k.mode);
        EXPECT_EQ(plat::GetAttr(QStringLiteral("C:\\T\\") + k.name), k.expected) << k.name;
        if (k.mode) ::chmod(enc(host).constData(), k.dir ? 0755 : 0644);
    }
}

TEST_F(FilesTest, GetAttrOfMissingPaths) {
    folder("");
    EXPECT_EQ(errorOf([] { plat::GetAttr("C:\\T\\none.txt"); }), plat::ErrFileNotFound);
    EXPECT_EQ(errorOf([] { plat::GetAttr("C:\\T\\nofolder\\none.txt"); }), plat::ErrPathNotFound);
    EXPECT_EQ(errorOf([] { plat::GetAttr("Q:\\x"); }), plat::ErrPathNotFound);
    EXPECT_EQ(plat::GetAttr("C:\\"), plat::vbDirectory);
    EXPECT_EQ(plat::GetAttr("c:\\t"), plat::vbDirectory);
}

TEST_F(FilesTest, SetAttrReadsBackAndLasts) {
    struct Case {
        bool dir;
        int set;
        int expected;
    } cases[] = {
        {false, 0, 0}, // archive cleared stays cleared
        {false, plat::vbReadOnly, plat::vbReadOnly},
        {false, plat::vbHidden, plat::vbHidden},
        {false, plat::vbSystem | plat::vbArchive, plat::vbSystem | plat::vbArchive},
        {false, 39, 39},
        {false, plat::vbReadOnly | plat::vbArchive, plat::vbReadOnly | plat::vbArchive},
        {false, plat::vbVolume | plat::vbDirectory | plat::vbArchive, plat::vbArchive}, // not settable
        {true, 0, plat::vbDirectory},
        {true, plat::vbHidden, plat::vbHidden | plat::vbDirectory},
        {true, plat::vbArchive | plat::vbDirectory, plat::vbArchive | plat::vbDirectory},
        {true, plat::vbReadOnly, plat::vbReadOnly | plat::vbDirectory},
    };
    int n = 0;
    for (const Case& k : cases) {
        const QString name = QString("item%1").arg(n++);
        if (k.dir)
            folder(name);
        else
            file(name);
        const QString win = "C:\\T\\" + name.toUpper(); // any case names it
        plat::SetAttr(win, k.set);
        EXPECT_EQ(plat::GetAttr(win), k.expected) << name.toStdString() << " set " << k.set;
        // Back to plain, which must undo read-only and the stored bits.
        const int plain = k.dir ? 0 : plat::vbArchive;
        plat::SetAttr(win, plain);
        EXPECT_EQ(plat::GetAttr(win), plain | (k.dir ? plat::vbDirectory : 0)) << name.toStdString();
    }
}

TEST_F(FilesTest, SetAttrStoresWinesFormAndOnlyWhenNeeded) {
    file("a.txt");
    file(".dot");
    // What a file reads without a stored value needs no stored value.
    plat::SetAttr("C:\\T\\a.txt", plat::vbArchive);
    EXPECT_EQ(raw(t("a.txt")), "-");
    plat::SetAttr("C:\\T\\a.txt", plat::vbReadOnly | plat::vbArchive);
    EXPECT_EQ(raw(t("a.txt")), "-");
    EXPECT_FALSE(QFileInfo(t("a.txt")).permissions() & QFile::WriteOwner);
    // Hidden on a read-only file: the value is written although the owner may not write.
    plat::SetAttr("C:\\T\\a.txt", plat::vbReadOnly | plat::vbHidden);
    EXPECT_EQ(raw(t("a.txt")), "0x2"); // no trailing NUL
    EXPECT_EQ(plat::GetAttr("C:\\T\\a.txt"), plat::vbReadOnly | plat::vbHidden);
    plat::SetAttr("C:\\T\\a.txt", 0);
    EXPECT_EQ(raw(t("a.txt")), "0x0");
    EXPECT_TRUE(QFileInfo(t("a.txt")).permissions() & QFile::WriteOwner);

    // A dot-file shown as not hidden keeps that.
    plat::SetAttr("C:\\T\\.dot", plat::vbArchive);
    EXPECT_EQ(raw(t(".dot")), "0x20");
    EXPECT_EQ(plat::GetAttr("C:\\T\\.dot"), plat::vbArchive);

    EXPECT_EQ(errorOf([] { plat::SetAttr("C:\\T\\none", 0); }), plat::ErrFileNotFound);
}

TEST_F(FilesTest, WildcardsMatchLikeWindows) {
    struct Case {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "noext", true},
        {"*.*", "a.b.c", true},
        {"*", ".profile", true},
        {"*.ini", "ZNP1.INI", true},
        {"znP?.ini", "znp1.ini", true},
        {"znP?.ini", "znP10.ini", false},
        {"znP?.ini", "znP.ini", false},
        {"*.txt", "a.txt.bak", false},
        {"*.txt", "a.txt", true},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXcYb", false},
        {"*a*a*a*a*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        {"*.", "noext", true},
        {"*.", "a.b", false},
        {"readme.", "README", true},
        {"abc.*", "abc", true},
        {"abc.*", "abc.def", true},
        {"abc.*", "abcd", false},
        {"ab?", "ab", true}, // DOS: a trailing "?" may match nothing
        {"ぬも*", "ぬもZel.hlp", true},
        {"*.HLP", "ぬもZel.hlp", true},
        {"ÉTÉ.TXT", "été.txt", true},
        {"?.txt", "😀.txt", true}, // one character, not one half of a pair
        {"", "x", false},
    };
    for (const Case& k : cases)
        EXPECT_EQ(plat::wildcardMatch(QString::fromUtf8(k.pattern), QString::fromUtf8(k.name)), k.match)
            << k.pattern << " vs " << k.name;
}

TEST_F(FilesTest, DirListsByMaskAndPattern) {
    file("a.txt");
    file("ro.txt");
    ::chmod(enc(t("ro.txt")).constData(), 0444);
    file("h.txt");
    setRaw(t("h.txt"), "0x22");
    file("s.sys");
    setRaw(t("s.sys"), "0x24");
    file(".dot");
    file("noext");
    file("Ｚ全角.TXT");
    folder("sub");
    folder("hsub");
    setRaw(t("hsub"), "0x2");
    file("sub/inner.txt");

    using L = QStringList;
    struct Case {
        const char* pattern;
        int mask;
        L expected;
    } cases[] = {
        {"C:\\T\\*.*", 0, L{"a.txt", "noext", "ro.txt", "Ｚ全角.TXT"}},
        {"C:\\T\\*.*", plat::vbHidden, L{".dot", "a.txt", "h.txt", "noext", "ro.txt", "Ｚ全角.TXT"}},
        {"C:\\T\\*.*", plat::vbSystem, L{"a.txt", "noext", "ro.txt", "s.sys", "Ｚ全角.TXT"}},
        {"C:\\T\\*.*", plat::vbHidden | plat::vbSystem,
         L{".dot", "a.txt", "h.txt", "noext", "ro.txt", "s.sys", "Ｚ全角.TXT"}},
        {"C:\\T\\*.*", plat::vbDirectory, L{"a.txt", "noext", "ro.txt", "sub", "Ｚ全角.TXT"}},
        {"C:\\T\\*.*", 62,
         L{".dot", "a.txt", "h.txt", "hsub", "noext", "ro.txt", "s.sys", "sub", "Ｚ全角.TXT"}},
        {"C:\\T\\*.*", plat::vbReadOnly | plat::vbArchive | plat::vbVolume,
         L{"a.txt", "noext", "ro.txt", "Ｚ全角.TXT"}},
        {"C:\\T\\*.TXT", 0, L{"a.txt", "ro.txt", "Ｚ全角.TXT"}},
        {"C:\\T\\?.txt", 62, L{"a.txt", "h.txt"}},
        {"C:\\T\\*.", 62, L{"hsub", "noext", "sub"}},
        {"c:/t/", 0, L{"a.txt", "noext", "ro.txt", "Ｚ全角.TXT"}},
        // A plain name is looked up without regard to case and comes back as stored.
        {"C:\\T\\A.TXT", 0, L{"a.txt"}},
        {"C:\\t\\SUB\\INNER.txt", 0, L{"inner.txt"}},
        {"C:\\T\\h.txt", 0, L{}},
        {"C:\\T\\h.txt", 62, L{"h.txt"}},
        {"C:\\T\\sub", 0, L{}},
        {"C:\\T\\sub", plat::vbDirectory, L{"sub"}},
        {"C:\\T\\none.txt", 62, L{}},
        {"C:\\nofolder\\*.*", 62, L{}},
        {"Q:\\*.*", 62, L{}},
        {"", 62, L{}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(plat::Dir(QString::fromUtf8(k.pattern), k.mask), k.expected)
            << k.pattern << " mask " << k.mask;

    plat::ChDir("C:\\T\\sub");
    EXPECT_EQ(plat::Dir("*.txt"), L{"inner.txt"});
    EXPECT_EQ(plat::Dir("..\\?.txt"), L{"a.txt"});
    EXPECT_TRUE(plat::DirExists("INNER.TXT"));
    EXPECT_FALSE(plat::DirExists("..\\h.txt"));
    ::chmod(enc(t("ro.txt")).constData(), 0644);
}

TEST_F(FilesTest, LengthAndDate) {
    file("five.bin", "12345");
    folder("f");
    const struct timeval times[2] = {{1000000000, 0}, {1000000000, 500000}};
    ::utimes(enc(t("five.bin")).constData(), times);
    EXPECT_EQ(plat::FileLen("C:\\T\\FIVE.BIN"), 5);
    EXPECT_EQ(plat::FileLen("C:\\T\\f"), 0);
    EXPECT_EQ(plat::FileDateTime("C:\\T\\five.bin"), QDateTime::fromSecsSinceEpoch(1000000000));
    EXPECT_EQ(errorOf([] { plat::FileLen("C:\\T\\none"); }), plat::ErrFileNotFound);
    EXPECT_EQ(errorOf([] { plat::FileDateTime("C:\\T\\none"); }), plat::ErrFileNotFound);
}

TEST_F(FilesTest, FileCopyKeepsDateAndAttributesAndReplaces) {
    file("src.txt", "new content");
    setRaw(t("src.txt"), "0x22");
    const struct timeval times[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(enc(t("src.txt")).constData(), times);
    file("dst.txt", "old");
    folder("to");

    plat::FileCopy("C:\\T\\SRC.TXT", "C:\\T\\Dst.txt");
    EXPECT_EQ(testenv::readFile(t("dst.txt")), "new content");
    // The existing target is replaced under its own name.
    EXPECT_EQ(QDir(t()).entryList(QDir::Files), QStringList({"dst.txt", "src.txt"}));
    EXPECT_EQ(plat::GetAttr("C:\\T\\dst.txt"), plat::vbHidden | plat::vbArchive);
    EXPECT_EQ(plat::FileDateTime("C:\\T\\dst.txt"), QDateTime::fromSecsSinceEpoch(1000000000));

    plat::FileCopy("C:\\T\\src.txt", "C:\\T\\to\\Copy.txt");
    EXPECT_EQ(testenv::readFile(t("to/Copy.txt")), "new content");
    EXPECT_EQ(testenv::readFile(t("src.txt")), "new content");

    ::chmod(enc(t("dst.txt")).constData(), 0444);
    file("other.txt", "other");
    struct Case {
        const char* from;
        const char* to;
        int number;
    } cases[] = {
        {"C:\\T\\other.txt", "C:\\T\\dst.txt", plat::ErrPathFileAccess}, // read-only target
        {"C:\\T\\none.txt", "C:\\T\\x.txt", plat::ErrFileNotFound},
        {"C:\\T\\other.txt", "C:\\T\\nofolder\\x.txt", plat::ErrPathNotFound},
        {"C:\\T\\other.txt", "C:\\T\\to", plat::ErrPathFileAccess},          // a folder
        {"C:\\T\\to", "C:\\T\\x.txt", plat::ErrPathFileAccess},              // from a folder
        {"C:\\T\\other.txt", "C:\\T\\OTHER.TXT", plat::ErrPermissionDenied}, // onto itself
        {"C:\\T\\other.txt", "Q:\\x.txt", plat::ErrDeviceUnavailable},
    };
    for (const Case& k : cases)
        EXPECT_EQ(errorOf([&] { plat::FileCopy(k.from, k.to); }), k.number) << k.from << " -> " << k.to;
    EXPECT_EQ(testenv::readFile(t("dst.txt")), "new content");
    EXPECT_EQ(testenv::readFile(t("other.txt")), "other");
    ::chmod(enc(t("dst.txt")).constData(), 0644);
}

TEST_F(FilesTest, KillRemovesOneFileAndRefusesTheRest) {
    file("a.txt");
    file("ro.txt");
    ::chmod(enc(t("ro.txt")).constData(), 0444);
    folder("sub");
    plat::Kill("C:\\T\\A.TXT");
    EXPECT_FALSE(QFileInfo::exists(t("a.txt")));
    EXPECT_EQ(errorOf([] { plat::Kill("C:\\T\\a.txt"); }), plat::ErrFileNotFound);
    EXPECT_EQ(errorOf([] { plat::Kill("C:\\T\\ro.txt"); }), plat::ErrPathFileAccess);
    EXPECT_EQ(errorOf([] { plat::Kill("C:\\T\\sub"); }), plat::ErrFileNotFound);
    EXPECT_TRUE(QFileInfo::exists(t("ro.txt")));
    EXPECT_TRUE(QFileInfo(t("sub")).isDir());
    ::chmod(enc(t("ro.txt")).constData(), 0644);
}

TEST_F(FilesTest, NameRenamesAndMoves) {
    file("a.txt", "A");
    file("b.txt", "B");
    folder("sub");
    folder("dir");
    file("dir/in.txt", "in");

    plat::Name("C:\\T\\a.txt", "C:\\T\\renamed.txt");
    EXPECT_EQ(testenv::readFile(t("renamed.txt")), "A");
    // Only the letter case changes: the new spelling is taken.
    plat::Name("C:\\T\\renamed.txt", "C:\\T\\ReNamed.TXT");
    EXPECT_TRUE(QDir(t()).entryList(QDir::Files).contains("ReNamed.TXT"));
    EXPECT_FALSE(QDir(t()).entryList(QDir::Files).contains("renamed.txt"));
    plat::Name("C:\\T\\renamed.txt", "C:\\T\\SUB\\moved.txt");
    EXPECT_EQ(testenv::readFile(t("sub/moved.txt")), "A");
    plat::Name("C:\\T\\DIR", "C:\\T\\sub\\Dir2");
    EXPECT_EQ(testenv::readFile(t("sub/Dir2/in.txt")), "in");

    struct Case {
        const char* from;
        const char* to;
        int number;
    } cases[] = {
        {"C:\\T\\b.txt", "C:\\T\\SUB\\MOVED.TXT", plat::ErrFileAlreadyExists},
        {"C:\\T\\b.txt", "C:\\T\\sub", plat::ErrFileAlreadyExists},
        {"C:\\T\\none.txt", "C:\\T\\x.txt", plat::ErrFileNotFound},
        {"C:\\T\\b.txt", "C:\\T\\nofolder\\x.txt", plat::ErrPathNotFound},
        {"C:\\T\\b.txt", "Q:\\x.txt", plat::ErrDeviceUnavailable},
    };
    for (const Case& k : cases)
        EXPECT_EQ(errorOf([&] { plat::Name(k.from, k.to); }), k.number) << k.from << " -> " << k.to;
    EXPECT_EQ(testenv::readFile(t("b.txt")), "B");
    EXPECT_EQ(testenv::readFile(t("sub/moved.txt")), "A");
}

TEST_F(FilesTest, NameMovesFilesToAnotherFileSystemButNotFolders) {
    QTemporaryDir shm(QStringLiteral("/dev/shm/zelnori-test-XXXXXX"));
    struct stat a {
    }, b{};
    if (!shm.isValid() || ::stat("/dev/shm", &a) != 0 || ::stat(enc(env->home()).constData(), &b) != 0 ||
        a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system (/dev/shm) to move to";
    ASSERT_TRUE(QFile::link(shm.path(), env->home() + "/dosdevices/r:"));
    file("far.txt", "far");
    setRaw(t("far.txt"), "0x22");
    folder("dir");
    plat::Name("C:\\T\\far.txt", "R:\\far.txt");
    EXPECT_FALSE(QFileInfo::exists(t("far.txt")));
    EXPECT_EQ(testenv::readFile(shm.path() + "/far.txt"), "far");
    EXPECT_EQ(plat::GetAttr("R:\\far.txt"), plat::vbHidden | plat::vbArchive);
    EXPECT_EQ(errorOf([] { plat::Name("C:\\T\\dir", "R:\\dir"); }), plat::ErrPathFileAccess);
    EXPECT_TRUE(QFileInfo(t("dir")).isDir());
}

TEST_F(FilesTest, MkDirAndRmDir) {
    folder("");
    plat::MkDir("C:\\T\\New");
    EXPECT_TRUE(QFileInfo(t("New")).isDir());
    plat::ChDir("C:\\T\\new");
    plat::MkDir("Inner");
    EXPECT_TRUE(QFileInfo(t("New/Inner")).isDir());
    file("New/Inner/x.txt");
    file("plain.txt");

    struct Case {
        const char* what;
        std::function<void()> call;
        int number;
    } cases[] = {
        {"MkDir of an existing folder", [] { plat::MkDir("C:\\T\\NEW"); }, plat::ErrPathFileAccess},
        {"MkDir over a file", [] { plat::MkDir("C:\\T\\plain.txt"); }, plat::ErrPathFileAccess},
        {"MkDir below a missing folder", [] { plat::MkDir("C:\\T\\a\\b"); }, plat::ErrPathNotFound},
        {"MkDir of a drive root", [] { plat::MkDir("C:\\"); }, plat::ErrPathFileAccess},
        {"MkDir on no drive", [] { plat::MkDir("Q:\\x"); }, plat::ErrDeviceUnavailable},
        {"RmDir of a full folder", [] { plat::RmDir("C:\\T\\New\\Inner"); }, plat::ErrPathFileAccess},
        {"RmDir of a missing folder", [] { plat::RmDir("C:\\T\\gone"); }, plat::ErrPathNotFound},
        {"RmDir of a file", [] { plat::RmDir("C:\\T\\plain.txt"); }, plat::ErrPathNotFound},
    };
    for (const Case& k : cases)
        EXPECT_EQ(errorOf(k.call), k.number) << k.what;

    QFile::remove(t("New/Inner/x.txt"));
    plat::RmDir("INNER");
    EXPECT_FALSE(QFileInfo::exists(t("New/Inner")));
}

} // namespace

namespace {

class NoXattrFilesTest : public testenv::EnvTest {};

TEST_F(NoXattrFilesTest, BitsThatCannotBeStoredGiveAClearError) {
    // The process file system keeps no user extended attributes.
    const QString comm = "Z:\\proc\\self\\comm";
    struct stat st {};
    if (::stat("/proc/self/comm", &st) != 0 || !(st.st_mode & S_IWUSR))
        GTEST_SKIP() << "no writable /proc/self/comm here";
    EXPECT_EQ(plat::GetAttr(comm), plat::vbArchive);
    EXPECT_NO_THROW(plat::SetAttr(comm, plat::vbArchive)); // nothing to store
    try {
        plat::SetAttr(comm, plat::vbHidden | plat::vbArchive);
        ADD_FAILURE() << "no error";
    } catch (const plat::RuntimeError& e) {
        EXPECT_EQ(e.number(), plat::ErrPermissionDenied);
        EXPECT_TRUE(e.text().contains("隠しファイル")) << e.text().toStdString();
    }
    EXPECT_EQ(plat::GetAttr(comm), plat::vbArchive);
}

} // namespace
