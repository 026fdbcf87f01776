// Text in the code page and the data files' text form, on real temporary folders.
#include "platform/codepage.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "support/testenv.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

using testenv::EnvTest;

using testenv::errorOf;

QByteArray enc(const QString& host) {
    return QFile::encodeName(host);
}

const QByteArray kBom("\xEF\xBB\xBF");

TEST(CodePage, TextThatFitsTravelsBothWays) {
    struct Case {
        const char* text;
        QByteArray bytes;
    } cases[] = {
        {"ページ１", "\x83y\x81[\x83W\x82P"},
        {"C:\\WINDOWS\\zns14.ini", "C:\\WINDOWS\\zns14.ini"},
        {"a,b \"c\" ~", "a,b \"c\" ~"},
        {"ﾊﾝｶｸ", "\xCA\xDD\xB6\xB8"},
        {"①", "\x87\x40"},
        {"ぬもメニュ", "\x82\xca\x82\xe0\x83\x81\x83j\x83\x85"},
        {"", ""},
    };
    for (const Case& k : cases) {
        const QString text = QString::fromUtf8(k.text);
        bool ok = false;
        EXPECT_EQ(plat::toAnsi(text, &ok), k.bytes) << k.text;
        EXPECT_TRUE(ok) << k.text;
        EXPECT_TRUE(plat::fitsAnsi(text)) << k.text;
        EXPECT_EQ(plat::fromAnsi(k.bytes), text) << k.text;
    }
}

TEST(CodePage, TextWithoutACodePageFormIsReportedNotBentToLookAlikes) {
    // "¥" and "〜" have best-fit forms ("\" and "～") that would change a path or a name.
    const char* texts[] = {"café", "😀.txt", "¥100", "波〜線", "ü", "Ä"};
    for (const char* t : texts) {
        const QString text = QString::fromUtf8(t);
        bool ok = true;
        const QByteArray bytes = plat::toAnsi(text, &ok);
        EXPECT_FALSE(ok) << t;
        EXPECT_FALSE(plat::fitsAnsi(text)) << t;
        EXPECT_TRUE(bytes.contains('?')) << t;
    }
    bool ok = true;
    EXPECT_EQ(plat::toAnsi(QString::fromUtf8("a😀b"), &ok), "a?b"); // one "?" for the pair
}

TEST(CodePage, InvalidBytesSurviveDecodeAndEncode) {
    const QByteArray samples[] = {
        "\x80",
        "\xA0",
        "\xFD\xFE\xFF",
        "end\x82", // lead byte without its trail
        "abc\x81\x20"
        "def",
        "\x82\xa0\x85",
        "\xEF\xBB",
    };
    for (const QByteArray& b : samples) {
        const QString text = plat::fromAnsi(b);
        bool ok = false;
        EXPECT_EQ(plat::toAnsi(text, &ok), b) << b.toHex().toStdString();
        EXPECT_TRUE(ok) << b.toHex().toStdString();
    }
    EXPECT_EQ(plat::fromAnsi("a\x80"), QString("a") + QChar(0xDC80));
    EXPECT_EQ(plat::fromAnsi("\x82"), QString(QChar(0xDC82)));
}

TEST(CodePage, LinesAreSplitByAnyCommonEnding) {
    using L = QStringList;
    struct Case {
        QByteArray content;
        L lines;
    } cases[] = {
        {"a\r\nb\r\n", L{"a", "b"}},
        {"a\nb\n", L{"a", "b"}},
        {"a\r\nb", L{"a", "b"}},
        {"a\nb\r\nc", L{"a", "b", "c"}},
        {"", L{}},
        {"\r\n", L{""}},
        {"a\r\n\r\n\r\nb", L{"a", "", "", "b"}},
        {"999\r\n\x83y\x81[\x83W\x82P\r\n", L{"999", "ページ１"}},
        {"a\rb\r\n", L{"a\rb"}},
        {kBom + "caf\xC3\xA9\r\n\xE3\x81\xAC", L{"café", "ぬ"}},
        {kBom, L{}},
    };
    for (const Case& k : cases)
        EXPECT_EQ(plat::decodeLines(k.content), k.lines) << k.content.toHex().toStdString();
}

TEST(CodePage, EncodingPicksTheCodePageAndFallsBackToUtf8PerFile) {
    EXPECT_EQ(plat::encodeLines({"999", "ページ１"}), QByteArray("999\r\n\x83y\x81[\x83W\x82P\r\n"));
    EXPECT_EQ(plat::encodeLines({}), QByteArray());
    EXPECT_EQ(plat::encodeLines({""}), QByteArray("\r\n"));

    const QStringList mixed = {" 0", "ページ", "/home/u/café.txt", "😀"};
    const QByteArray utf8 = plat::encodeLines(mixed);
    EXPECT_EQ(utf8, kBom + QString(" 0\r\nページ\r\n/home/u/café.txt\r\n😀\r\n").toUtf8());
    EXPECT_EQ(plat::decodeLines(utf8), mixed);

    // Bytes kept from a code page file stay bytes when the file turns UTF-8.
    const QString kept = plat::fromAnsi("x\x80y");
    const QStringList both = {kept, "é"};
    const QByteArray out = plat::encodeLines(both);
    EXPECT_EQ(out, kBom + QByteArray("x\x80y\r\n\xC3\xA9\r\n"));
    EXPECT_EQ(plat::decodeLines(out), both);
}

// A folder that this process may not write into, as root too (through the immutable flag).
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const QString& path) : path_(enc(path)) {
        ::chmod(path_.constData(), 0555);
        if (::geteuid() == 0) setImmutable(true);
        const QByteArray probe = path_ + "/.probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        effective_ = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.constData());
        }
    }
    ~ReadOnlyFolder() {
        if (immutable_) setImmutable(false);
        ::chmod(path_.constData(), 0755);
    }
    bool effective() const { return effective_; }

  private:
    void setImmutable(bool on) {
        const int fd = ::open(path_.constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) return;
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) immutable_ = on;
        }
        ::close(fd);
    }
    QByteArray path_;
    bool immutable_ = false;
    bool effective_ = false;
};

struct FailureAfter {
    explicit FailureAfter(qint64 n) { plat::setWriteFailureAfter(n); }
    ~FailureAfter() { plat::setWriteFailureAfter(-1); }
};

class TextFileTest : public EnvTest {
  protected:
    QString win(const QString& name) const { return env->windowsHost() + "/" + name; }
    QStringList folderEntries() const {
        return QDir(env->windowsHost()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(TextFileTest, WritesCodePageWithCrLfAndReadsItBack) {
    const QStringList page = {" 1",        "ページ１",       "C:\\Program Files\\a,b \"c\"\\x.exe",
                              "C:\\x.exe", "名前, \"引用\"", " 0",
                              "D:\\y",     "D:\\y",          "",
                              "-1"};
    plat::writeTextFile("C:\\WINDOWS\\znP1.ini", page);
    const QByteArray bytes = testenv::readFile(win("znP1.ini"));
    EXPECT_TRUE(bytes.startsWith(" 1\r\n\x83y\x81[\x83W\x82P\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n\r\n-1\r\n"));
    EXPECT_FALSE(bytes.startsWith(kBom));
    EXPECT_EQ(plat::readTextFile("c:\\windows\\ZNP1.INI"), page);
    EXPECT_EQ(folderEntries(), QStringList({"SYSTEM", "znP1.ini"})); // no temporary left
}

TEST_F(TextFileTest, RelativeNamesUseTheCurrentFolderAndExistingSpelling) {
    testenv::writeFile(win("ZNS14.INI"), "0\r\n");
    plat::ChDrive("C");
    plat::ChDir("C:\\WINDOWS");
    EXPECT_EQ(plat::readTextFile("zns14.ini"), QStringList({"0"}));
    plat::writeTextFile("zns14.ini", {" 1", " 0"});
    EXPECT_EQ(testenv::readFile(win("ZNS14.INI")), " 1\r\n 0\r\n");
    EXPECT_EQ(folderEntries(), QStringList({"SYSTEM", "ZNS14.INI"}));
}

TEST_F(TextFileTest, InvalidBytesAreWrittenBackByteForByte) {
    const QByteArray original = " 0\r\nname\x80\xFF\r\nC:\\a\x82\r\nlast\x81";
    testenv::writeFile(win("znP2.ini"), original);
    const QStringList lines = plat::readTextFile("C:\\WINDOWS\\znP2.ini");
    ASSERT_EQ(lines.size(), 4);
    plat::writeTextFile("C:\\WINDOWS\\znP2.ini", lines);
    EXPECT_EQ(testenv::readFile(win("znP2.ini")), original + "\r\n");
}

TEST_F(TextFileTest, TextBeyondTheCodePageMakesThatFileUtf8) {
    const QStringList page = {" 0",     "ページ", "Z:\\home\\u\\résumé.txt", "Z:\\home\\u\\résumé.txt",
                              "résumé", " 0"};
    plat::writeTextFile("C:\\WINDOWS\\znP3.ini", page);
    plat::writeTextFile("C:\\WINDOWS\\znP4.ini", {"999", "ページ４"});
    EXPECT_TRUE(testenv::readFile(win("znP3.ini")).startsWith(kBom + " 0\r\n"));
    EXPECT_FALSE(testenv::readFile(win("znP3.ini")).contains('?'));
    EXPECT_FALSE(testenv::readFile(win("znP4.ini")).startsWith(kBom));
    EXPECT_EQ(plat::readTextFile("C:\\WINDOWS\\znP3.ini"), page);
    // Once the odd text is gone, the file is code page text again.
    plat::writeTextFile("C:\\WINDOWS\\znP3.ini", {"999", "ページ"});
    EXPECT_EQ(testenv::readFile(win("znP3.ini")), "999\r\n\x83y\x81[\x83W\r\n");
}

TEST_F(TextFileTest, LfOnlyAndMissingLastLineEnd) {
    testenv::writeFile(win("lf.ini"), " 1\n\x83y\x81[\x83W\n0");
    EXPECT_EQ(plat::readTextFile("C:\\WINDOWS\\lf.ini"), QStringList({" 1", "ページ", "0"}));
}

TEST_F(TextFileTest, AnInterruptedWriteLeavesTheOldFile) {
    const QByteArray old = "999\r\nold\r\n";
    testenv::writeFile(win("znP1.ini"), old);
    {
        FailureAfter full(5);
        EXPECT_EQ(errorOf([] {
                      plat::writeTextFile("C:\\WINDOWS\\znP1.ini", {" 0", "new page", "a", "b", "c", " 0"});
                  }),
                  plat::ErrDiskFull);
        EXPECT_EQ(errorOf([] { plat::writeTextFile("C:\\WINDOWS\\new.ini", {"0123456789"}); }),
                  plat::ErrDiskFull);
    }
    EXPECT_EQ(testenv::readFile(win("znP1.ini")), old);
    EXPECT_EQ(folderEntries(), QStringList({"SYSTEM", "znP1.ini"}));
    plat::writeTextFile("C:\\WINDOWS\\znP1.ini", {"999", "new"});
    EXPECT_EQ(testenv::readFile(win("znP1.ini")), "999\r\nnew\r\n");
}

TEST_F(TextFileTest, ReadOnlyFileOrFolderIsRefusedAndKept) {
    const QByteArray old = "0\r\n";
    testenv::writeFile(win("zns14.ini"), old);
    ::chmod(enc(win("zns14.ini")).constData(), 0444);
    EXPECT_EQ(errorOf([] { plat::writeTextFile("C:\\WINDOWS\\zns14.ini", {" 2"}); }),
              plat::ErrPermissionDenied);
    EXPECT_EQ(testenv::readFile(win("zns14.ini")), old);
    ::chmod(enc(win("zns14.ini")).constData(), 0644);

    QDir().mkpath(win("locked"));
    testenv::writeFile(win("locked/znP1.ini"), old);
    ReadOnlyFolder locked(win("locked"));
    if (!locked.effective()) GTEST_SKIP() << "cannot make a folder unwritable for this user";
    const int number = errorOf([] { plat::writeTextFile("C:\\WINDOWS\\locked\\znP1.ini", {"999", "x"}); });
    EXPECT_TRUE(number == plat::ErrPermissionDenied || number == plat::ErrPathFileAccess) << number;
    EXPECT_EQ(testenv::readFile(win("locked/znP1.ini")), old);
}

TEST_F(TextFileTest, ReplacingKeepsModeAndStoredAttributes) {
    testenv::writeFile(win("keep.ini"), "x\r\n");
    ::chmod(enc(win("keep.ini")).constData(), 0640);
    const bool xattrs = ::setxattr(enc(win("keep.ini")).constData(), "user.DOSATTRIB", "0x22", 4, 0) == 0;
    plat::writeTextFile("C:\\WINDOWS\\keep.ini", {"y"});
    struct stat st {};
    ASSERT_EQ(::stat(enc(win("keep.ini")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (xattrs) {
        char buf[16];
        const ssize_t n = ::getxattr(enc(win("keep.ini")).constData(), "user.DOSATTRIB", buf, sizeof buf);
        EXPECT_EQ(QByteArray(buf, int(qMax<ssize_t>(n, 0))), "0x22");
    }
}

TEST_F(TextFileTest, MissingFilesFoldersAndDrives) {
    struct Case {
        const char* what;
        std::function<void()> call;
        int number;
    } cases[] = {
        {"read a missing file", [] { plat::readTextFile("C:\\WINDOWS\\none.ini"); }, plat::ErrFileNotFound},
        {"read in a missing folder", [] { plat::readTextFile("C:\\NOPE\\a.ini"); }, plat::ErrPathNotFound},
        {"read a folder", [] { plat::readTextFile("C:\\WINDOWS\\SYSTEM"); }, plat::ErrPathFileAccess},
        {"read on no drive", [] { plat::readTextFile("Q:\\a.ini"); }, plat::ErrDeviceUnavailable},
        {"write in a missing folder", [] { plat::writeTextFile("C:\\NOPE\\a.ini", {"x"}); },
         plat::ErrPathNotFound},
        {"write over a folder", [] { plat::writeTextFile("C:\\WINDOWS\\SYSTEM", {"x"}); },
         plat::ErrPathFileAccess},
        {"write on no drive", [] { plat::writeTextFile("Q:\\a.ini", {"x"}); }, plat::ErrDeviceUnavailable},
    };
    for (const Case& k : cases)
        EXPECT_EQ(errorOf(k.call), k.number) << k.what;
}

} // namespace
