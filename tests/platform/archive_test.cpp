// The archive library: every fixture archive against its expected listing, hand-made hostile
// archives, merging into a folder that has content, and the command line.
#include "platform/archive.h"
#include "platform/drives.h"
#include "support/testenv.h"
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <cctype>
#include <clocale>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

QString fileLine(const QString& path, const QByteArray& content) {
    return QStringLiteral("%1 %2 %3").arg(path).arg(content.size()).arg(QString::fromLatin1(sha256(content)));
}

// Everything under root, one line each: "a/b/" for folders, "a/l -> target" for links,
// "a/f <size> <sha256>" for files. Sorted.
QStringList listing(const QString& root) {
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        const QString rel = QDir(root).relativeFilePath(fi.filePath());
        if (fi.isSymLink()) {
            char target[4096];
            const ssize_t n = ::readlink(QFile::encodeName(fi.filePath()).constData(), target, sizeof target);
            lines << rel + QStringLiteral(" -> ") + QFile::decodeName(QByteArray(target, n < 0 ? 0 : int(n)));
        } else if (fi.isDir()) {
            lines << rel + u'/';
        } else {
            lines << fileLine(rel, testenv::readFile(fi.filePath()));
        }
    }
    lines.sort();
    return lines;
}

// Listings compare as text, one entry a line, so that a failure shows the difference.
std::string sorted(QStringList l) {
    l.sort();
    return l.join(u'\n').toStdString();
}
std::string text(const QStringList& l) {
    return l.join(u'\n').toStdString();
}

// A sandbox: dest/ (with a file that was there before) and, beside it, outside/ where an
// escaping member would land.
struct Sandbox {
    QTemporaryDir dir;
    QString root() const { return dir.path(); }
    QString dest() const { return dir.path() + QStringLiteral("/dest"); }
    Sandbox() {
        testenv::writeFile(dest() + QStringLiteral("/keep.txt"), "keep");
        testenv::writeFile(root() + QStringLiteral("/outside/secret.txt"), "secret");
    }
    // The listing before any extraction.
    static QStringList base() {
        return {QStringLiteral("dest/"), fileLine(QStringLiteral("dest/keep.txt"), "keep"),
                QStringLiteral("outside/"), fileLine(QStringLiteral("outside/secret.txt"), "secret")};
    }
};

// ---------------------------------------------------------------------------------------------
// The fixture archives, read from expected.tsv at run time.

struct FixtureArchive {
    std::string archive;  // relative to the lzh fixture folder
    QStringList expected; // listing lines relative to dest, or {"!error"}
};

std::vector<FixtureArchive> fixtureTable() {
    std::vector<FixtureArchive> table;
    QFile tsv(testenv::fixture(QStringLiteral("lzh/expected.tsv")));
    if (!tsv.open(QIODevice::ReadOnly)) return table;
    const QStringList rows = QString::fromUtf8(tsv.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString& row : rows.mid(1)) {
        const QStringList f = row.split(u'\t');
        if (f.size() != 4) continue;
        const std::string archive = f[0].toStdString();
        if (table.empty() || table.back().archive != archive) table.push_back({archive, {}});
        QString line;
        if (f[1] == u"!error")
            line = f[1];
        else if (f[3] == u"dir")
            line = f[1];
        else if (f[3].startsWith(u"symlink:"))
            line = f[1] + QStringLiteral(" -> ") + f[3].mid(8);
        else
            line = QStringLiteral("%1 %2 %3").arg(f[1], f[2], f[3]);
        table.back().expected << line;
    }
    return table;
}

void PrintTo(const FixtureArchive& f, std::ostream* os) {
    *os << f.archive;
}

class FixtureArchives : public ::testing::TestWithParam<FixtureArchive> {};

TEST_P(FixtureArchives, ExtractToTheExpectedTreeOrFailWithoutATrace) {
    const FixtureArchive& fx = GetParam();
    Sandbox box;
    QString error;
    const int status = plat::extractLzh(
        testenv::fixture(QStringLiteral("lzh/") + QString::fromStdString(fx.archive)), box.dest(), &error);

    QStringList want = Sandbox::base();
    if (fx.expected == QStringList{QStringLiteral("!error")}) {
        EXPECT_NE(status, plat::UnlhaOk);
        EXPECT_FALSE(error.isEmpty());
    } else {
        EXPECT_EQ(status, plat::UnlhaOk) << error.toStdString();
        for (const QString& line : fx.expected)
            want << QStringLiteral("dest/") + line;
    }
    // Nothing else anywhere in the sandbox: no stray work folder, nothing beside dest.
    EXPECT_EQ(text(listing(box.root())), sorted(want));
}

std::string fixtureName(const ::testing::TestParamInfo<FixtureArchive>& info) {
    std::string name;
    for (char c : info.param.archive.substr(info.param.archive.find('/') + 1))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Lzh, FixtureArchives, ::testing::ValuesIn(fixtureTable()), fixtureName);

TEST(FixtureArchiveTable, IsFound) {
    EXPECT_FALSE(fixtureTable().empty());
}

// ---------------------------------------------------------------------------------------------
// Hand-made archives.

quint16 crc16(const QByteArray& data) {
    quint16 crc = 0;
    for (char ch : data) {
        crc ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

QByteArray le16(unsigned v) {
    QByteArray b(2, '\0');
    qToLittleEndian<quint16>(static_cast<quint16>(v), b.data());
    return b;
}
QByteArray le32(quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(v, b.data());
    return b;
}

struct Member {
    QByteArray name = {}; // stored bytes (CP932, "\" separators)
    QByteArray data = {}; // file content
    QByteArray link = {}; // non-empty: a Unix symbolic link to this target
    bool badCrc = false;
};

// Level 0 header + stored data for a file; level 1 header with a Unix mode for a link.
QByteArray memberBytes(const Member& m, const QByteArray& method) {
    const quint32 dosTime = (20u << 25) | (1u << 21) | (1u << 16); // 2000-01-01 00:00
    QByteArray body;
    if (m.link.isEmpty()) {
        const quint16 crc = crc16(m.data) ^ (m.badCrc ? 0x5555 : 0);
        body = method + le32(m.data.size()) + le32(m.data.size()) + le32(dosTime) + char(0x20) + char(0) +
               char(m.name.size()) + m.name + le16(crc);
        return QByteArray(1, char(body.size())) + char(0) + body + m.data;
    }
    const QByteArray name = m.name + '|' + m.link;
    const QByteArray mode = char(0x50) + le16(0120777) + le16(0); // Unix mode header, then the end
    body = QByteArray("-lhd-") + le32(mode.size()) + le32(0) + le32(dosTime) + char(0x20) + char(1) +
           char(name.size()) + name + le16(0) + 'U' + le16(mode.size());
    return QByteArray(1, char(body.size())) + char(0) + body + mode;
}

// The header checksum (byte 1) is the sum of the header bytes after the first two.
QByteArray withChecksums(QByteArray bytes) {
    int pos = 0;
    while (pos < bytes.size() && bytes[pos] != 0) {
        const int size = static_cast<unsigned char>(bytes[pos]);
        unsigned sum = 0;
        for (int i = pos + 2; i < pos + 2 + size; ++i)
            sum += static_cast<unsigned char>(bytes[i]);
        bytes[pos + 1] = char(sum & 0xFF);
        // Level 1 counts its extended headers in the packed size: the next member follows.
        const quint32 packed = qFromLittleEndian<quint32>(bytes.constData() + pos + 7);
        pos += size + 2 + static_cast<int>(packed);
    }
    return bytes;
}

QByteArray lzh(const QList<Member>& members, const QByteArray& method) {
    QByteArray out;
    for (const Member& m : members)
        out += memberBytes(m, method);
    return withChecksums(out + '\0');
}

struct HandMade {
    const char* label;
    QList<Member> members;
    int status;
    QStringList created;  // listing lines under dest/ besides keep.txt (when ok)
    int cut = 0;          // bytes cut off the end of the archive
    QByteArray tail = {}; // bytes added at the end (after cutting)
};

const QByteArray kSjisHyo("\x95\x5c", 2); // 表: its second byte is "\"

std::vector<HandMade> handMadeTable() {
    return {
        {"drive letters and leading separators are dropped",
         {{"C:\\evil.txt", "1"}, {"c:evil2.txt", "2"}, {"\\abs\\x.txt", "3"}, {"/root.txt", "4"}},
         plat::UnlhaOk,
         {fileLine("evil.txt", "1"), fileLine("evil2.txt", "2"), "abs/", fileLine("abs/x.txt", "3"),
          fileLine("root.txt", "4")}},
        {"Shift-JIS names whose second byte is a backslash stay whole",
         {{"sub\\" + kSjisHyo + ".txt", "a"}, {kSjisHyo + "\\x.txt", "b"}},
         plat::UnlhaOk,
         {"sub/", fileLine("sub/表.txt", "a"), "表/", fileLine("表/x.txt", "b")}},
        {"upper-case DOS names keep their case",
         {{"README.TXT", "r"}},
         plat::UnlhaOk,
         {fileLine("README.TXT", "r")}},
        {"a later member replaces an earlier one that differs only in case",
         {{"a.txt", "one"}, {"A.TXT", "two"}},
         plat::UnlhaOk,
         {fileLine("A.TXT", "two")}},
        {"folders that differ only in case are one folder",
         {{"Docs\\a.txt", "a"}, {"DOCS\\b.txt", "b"}},
         plat::UnlhaOk,
         {"Docs/", fileLine("Docs/a.txt", "a"), fileLine("Docs/b.txt", "b")}},
        {"a link inside the folder is made",
         {{"f.txt", "f"}, {"d\\l", "", "../f.txt"}},
         plat::UnlhaOk,
         {fileLine("f.txt", "f"), "d/", "d/l -> ../f.txt"}},
        {"a parent-folder step refuses the archive",
         {{"ok.txt", "ok"}, {"..\\evil.txt", "x"}},
         plat::UnlhaRefused,
         {}},
        {"a parent-folder step inside a name refuses the archive",
         {{"a\\..\\..\\evil.txt", "x"}},
         plat::UnlhaRefused,
         {}},
        {"a link out of the folder refuses the archive",
         {{"ok.txt", "ok"}, {"evil", "", "../outside"}},
         plat::UnlhaRefused,
         {}},
        {"an absolute link refuses the archive",
         {{"ok.txt", "ok"}, {"evil", "", "/etc"}},
         plat::UnlhaRefused,
         {}},
        {"a link that climbs after a name refuses the archive",
         {{"ok.txt", "ok"}, {"d\\evil", "", "x/../../outside"}},
         plat::UnlhaRefused,
         {}},
        {"a file below a link refuses the archive",
         {{"l", "", "."}, {"l\\x.txt", "x"}},
         plat::UnlhaRefused,
         {}},
        {"a link in place of a folder refuses the archive",
         {{"l\\x.txt", "x"}, {"l", "", "."}},
         plat::UnlhaRefused,
         {}},
        {"a file and a folder of the same name refuse the archive",
         {{"x", "1"}, {"x\\y.txt", "2"}},
         plat::UnlhaRefused,
         {}},
        {"a CRC error refuses the archive",
         {{"good.txt", "good"}, {"bad.txt", "bad data", {}, true}},
         plat::UnlhaDamaged,
         {}},
        {"an archive cut inside the data fails",
         {{"a.txt", "first"}, {"b.txt", "second member"}},
         plat::UnlhaDamaged,
         {},
         6},
        {"an archive cut inside the second header fails",
         {{"a.txt", "first"}, {"b.txt", "abc"}},
         plat::UnlhaDamaged,
         {},
         20},
        {"junk instead of the end mark fails", {{"a.txt", "first"}}, plat::UnlhaDamaged, {}, 1, "JUNKJUNK"},
        {"junk after the end mark is ignored",
         {{"a.txt", "first"}},
         plat::UnlhaOk,
         {fileLine("a.txt", "first")},
         0,
         "JUNKJUNK"},
    };
}

// Each hand-made archive goes through both decoders: stored as -lh0- it is read by
// libarchive, as -pm0- (a method only liblhasa knows) by liblhasa.
struct HandMadeCase {
    HandMade archive;
    QByteArray method;
};

void PrintTo(const HandMadeCase& c, std::ostream* os) {
    *os << c.method.constData() << ' ' << c.archive.label;
}

class HandMadeArchives : public ::testing::TestWithParam<HandMadeCase> {};

TEST_P(HandMadeArchives, WriteOnlyInsideTheDestination) {
    const HandMade& hm = GetParam().archive;
    SCOPED_TRACE(hm.label);
    Sandbox box;
    QByteArray bytes = lzh(hm.members, GetParam().method);
    bytes.chop(hm.cut);
    bytes += hm.tail;
    const QString archive = box.root() + QStringLiteral("/outside/test.lzh");
    testenv::writeFile(archive, bytes);

    QString error;
    const int status = plat::extractLzh(archive, box.dest(), &error);
    QStringList want = Sandbox::base() << fileLine(QStringLiteral("outside/test.lzh"), bytes);
    EXPECT_EQ(status, hm.status) << error.toStdString();
    if (hm.status == plat::UnlhaOk)
        for (const QString& line : hm.created)
            want << QStringLiteral("dest/") + line;
    else
        EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(text(listing(box.root())), sorted(want));
}

std::vector<HandMadeCase> handMadeCases() {
    std::vector<HandMadeCase> cases;
    for (const QByteArray& method : {QByteArray("-lh0-"), QByteArray("-pm0-")})
        for (const HandMade& hm : handMadeTable())
            cases.push_back({hm, method});
    return cases;
}

std::string handMadeName(const ::testing::TestParamInfo<HandMadeCase>& info) {
    std::string name = info.param.method == "-lh0-" ? "libarchive_" : "lhasa_";
    for (const char* p = info.param.archive.label; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Lzh, HandMadeArchives, ::testing::ValuesIn(handMadeCases()), handMadeName);

// ---------------------------------------------------------------------------------------------
// Unpacking into a folder that already has content.

QString fixtureArchive(const char* name) {
    return testenv::fixture(QStringLiteral("lzh/archives/") + name);
}

const char* const kLha213 = "lhasa/lha213/lh5.lzh";                 // GPL-2
const char* const kX68kSubdir = "lhasa/lha_x68k_213/h0_subdir.lzh"; // subdir/subdir2/HELLO.TXT
const char* const kWithJunk = "libarchive/test_read_format_lha_withjunk.lzh";
const QByteArray kGplSha("8177f97513213526df2cf6184d8ff986c675afb514d4e68a404010521b880643");

TEST(ArchiveMerge, ReplacesFilesAndMeetsNamesThatDifferOnlyInCase) {
    Sandbox box;
    testenv::writeFile(box.dest() + "/gpl-2", "old text");
    testenv::writeFile(box.dest() + "/SUBDIR/other.txt", "other");
    ASSERT_EQ(plat::extractLzh(fixtureArchive(kLha213), box.dest()), plat::UnlhaOk);
    ASSERT_EQ(plat::extractLzh(fixtureArchive(kX68kSubdir), box.dest()), plat::UnlhaOk);

    const QStringList dest = listing(box.dest());
    EXPECT_TRUE(dest.contains(QStringLiteral("GPL-2 18092 ") + kGplSha)) << dest.join(u'\n').toStdString();
    EXPECT_FALSE(dest.contains(fileLine("gpl-2", "old text")));
    EXPECT_TRUE(dest.contains(fileLine("SUBDIR/other.txt", "other")));
    EXPECT_TRUE(dest.contains(fileLine("SUBDIR/subdir2/HELLO.TXT", "hello world\n")));
    EXPECT_FALSE(dest.contains(QStringLiteral("subdir/")));
}

// A member that meets a folder (or a folder that meets a file or a link) cannot be placed:
// the whole archive fails, whatever was already moved goes back.
TEST(ArchiveMerge, AClashLeavesTheDestinationAsItWas) {
    struct Clash {
        const char* label;
        const char* archive;
        std::function<void(const Sandbox&)> prepare;
    };
    const std::vector<Clash> clashes = {
        {"folder where a file goes", kLha213,
         [](const Sandbox& b) { testenv::writeFile(b.dest() + "/GPL-2/inside.txt", "in"); }},
        {"file where a folder goes", kX68kSubdir,
         [](const Sandbox& b) { testenv::writeFile(b.dest() + "/subdir", "f"); }},
        {"link to a folder outside where a folder goes", kX68kSubdir,
         [](const Sandbox& b) { QFile::link(b.root() + "/outside", b.dest() + "/subdir"); }},
        // Several members, one clash deep inside: the others are moved back out again.
        {"clash after other members were moved", kWithJunk,
         [](const Sandbox& b) {
             testenv::writeFile(b.dest() + "/file1", "old file1");
             testenv::writeFile(b.dest() + "/dir2/symlink2/x", "a folder");
         }},
    };
    for (const Clash& c : clashes) {
        SCOPED_TRACE(c.label);
        Sandbox box;
        c.prepare(box);
        const std::string before = text(listing(box.root()));
        QString error;
        EXPECT_EQ(plat::extractLzh(fixtureArchive(c.archive), box.dest(), &error), plat::UnlhaRefused);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(text(listing(box.root())), before);
    }
}

TEST(ArchiveDestination, MustBeAnExistingFolder) {
    Sandbox box;
    EXPECT_EQ(plat::extractLzh(fixtureArchive(kLha213), box.dest() + "/missing"), plat::UnlhaNoDestination);
    EXPECT_EQ(plat::extractLzh(fixtureArchive(kLha213), box.dest() + "/keep.txt"), plat::UnlhaNoDestination);
    EXPECT_EQ(plat::extractLzh(box.root() + "/none.lzh", box.dest()), plat::UnlhaNoArchive);
    EXPECT_EQ(plat::extractLzh(box.root() + "/outside", box.dest()), plat::UnlhaNoArchive);
    testenv::writeFile(box.root() + "/outside/empty.lzh", "");
    testenv::writeFile(box.root() + "/outside/text.lzh", "This is not an archive.\n");
    EXPECT_EQ(plat::extractLzh(box.root() + "/outside/empty.lzh", box.dest()), plat::UnlhaDamaged);
    EXPECT_EQ(plat::extractLzh(box.root() + "/outside/text.lzh", box.dest()), plat::UnlhaDamaged);
    EXPECT_EQ(text(listing(box.dest())), text({fileLine("keep.txt", "keep")}));
}

TEST(ArchiveDestination, ReachedThroughALinkGetsTheMembers) {
    Sandbox box;
    ASSERT_TRUE(QFile::link(box.dest(), box.root() + "/outside/to-dest"));
    ASSERT_EQ(plat::extractLzh(fixtureArchive(kLha213), box.root() + "/outside/to-dest"), plat::UnlhaOk);
    EXPECT_EQ(text(listing(box.root())),
              sorted(Sandbox::base() << "outside/to-dest -> " + box.dest()
                                     << QStringLiteral("dest/GPL-2 18092 ") + kGplSha));
}

// Shift-JIS names need a UTF-8 character type inside libarchive, even when the program
// runs in the C locale.
TEST(ArchiveNames, ShiftJisNamesDecodeInTheCLocale) {
    const std::string saved = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C");
    Sandbox box;
    const int status =
        plat::extractLzh(fixtureArchive("libarchive/test_read_format_lha_filename_cp932.lzh"), box.dest());
    std::setlocale(LC_CTYPE, saved.c_str());
    EXPECT_EQ(status, plat::UnlhaOk);
    const QStringList dest = listing(box.dest());
    EXPECT_TRUE(dest.filter(QStringLiteral("漢字.txt ")).size() == 1) << dest.join(u'\n').toStdString();
    EXPECT_TRUE(dest.filter(QStringLiteral("表.txt ")).size() == 1) << dest.join(u'\n').toStdString();
}

// ---------------------------------------------------------------------------------------------
// The command line.

TEST(UnlhaCommandLine, ParsesQuotedPaths) {
    struct Row {
        const char* line;
        const char* archive; // nullptr: malformed
        const char* destination;
    };
    const Row rows[] = {
        {" x -a1 \"C:\\DL\\TOOL.LZH\" \"C:\\DL\\TOOL\\\"", "C:\\DL\\TOOL.LZH", "C:\\DL\\TOOL\\"},
        {" x -a1 \"C:\\My Files\\A B.LZH\" \"C:\\My Files\\A B\\\"", "C:\\My Files\\A B.LZH",
         "C:\\My Files\\A B\\"},
        {"x \"Z:\\tmp\\x\\A.LZH\"\t\"Z:\\tmp\\x\\\"  ", "Z:\\tmp\\x\\A.LZH", "Z:\\tmp\\x\\"},
        {" X -a1 -c \"C:\\漢字.LZH\" \"C:\\\"", "C:\\漢字.LZH", "C:\\"},
        {" x -a1 C:\\DL\\TOOL.LZH \"C:\\DL\\TOOL\\\"", nullptr, nullptr},     // archive not quoted
        {" x -a1 \"C:\\DL\\TOOL.LZH\" C:\\DL\\TOOL\\", nullptr, nullptr},     // destination not quoted
        {" x -a1 \"C:\\DL\\TOOL.LZH \"C:\\DL\\TOOL\\\"", nullptr, nullptr},   // quotes out of step
        {" x -a1 \"C:\\DL\\TOOL.LZH\" \"C:\\DL\\TOOL\\", nullptr, nullptr},   // no closing quote
        {" x -a1 \"C:\\DL\\TOOL.LZH\" \"C:\\DL\\TOOL\"", nullptr, nullptr},   // no "\" at the end
        {" x -a1 \"C:\\DL\\TOOL.LZH\"", nullptr, nullptr},                    // no destination
        {" x -a1 \"\" \"C:\\DL\\\"", nullptr, nullptr},                       // empty archive
        {" x -a1 \"A.LZH\" \"C:\\\" \"C:\\X\\\"", nullptr, nullptr},          // one path too many
        {" a -a1 \"C:\\DL\\TOOL.LZH\" \"C:\\DL\\TOOL\\\"", nullptr, nullptr}, // not the extract command
        {"", nullptr, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        QString error;
        const auto command = plat::parseUnlhaCommand(QString::fromUtf8(row.line), &error);
        if (!row.archive) {
            EXPECT_FALSE(command.has_value());
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        ASSERT_TRUE(command.has_value()) << error.toStdString();
        EXPECT_EQ(command->archive, QString::fromUtf8(row.archive));
        EXPECT_EQ(command->destination, QString::fromUtf8(row.destination));
    }
}

class UnlhaTest : public testenv::EnvTest {};

TEST_F(UnlhaTest, UnpacksAWindowsPathIntoAWindowsFolder) {
    const QString dl = env->host(QStringLiteral("C:\\")) + QStringLiteral("/My Files");
    testenv::writeFile(dl + "/TOOL.LZH", testenv::readFile(fixtureArchive(kX68kSubdir)));
    QDir().mkpath(dl + "/TOOL");
    // Names are matched without regard to case, as on Windows.
    EXPECT_EQ(plat::Unlha(QStringLiteral(" x -a1 \"c:\\my files\\tool.lzh\" \"C:\\MY FILES\\Tool\\\"")),
              plat::UnlhaOk)
        << plat::lastUnlhaError().toStdString();
    EXPECT_TRUE(plat::lastUnlhaError().isEmpty());
    EXPECT_EQ(text(listing(dl + "/TOOL")),
              sorted({"subdir/", "subdir/subdir2/", fileLine("subdir/subdir2/HELLO.TXT", "hello world\n")}));
}

TEST_F(UnlhaTest, ReportsFailures) {
    const QString c = env->host(QStringLiteral("C:\\"));
    testenv::writeFile(c + "/DL/TRUNC.LZH",
                       testenv::readFile(fixtureArchive("lhasa/regression/truncated.lzh")));
    QDir().mkpath(c + "/DL/TRUNC");
    struct Row {
        const char* line;
        int status;
    };
    const Row rows[] = {
        {" x -a1 C:\\DL\\TRUNC.LZH \"C:\\DL\\TRUNC\\\"", plat::UnlhaBadCommand},
        {" x -a1 \"C:\\DL\\TRUNC.LZH\" \"C:\\DL\\TRUNC\\\"", plat::UnlhaDamaged},
        {" x -a1 \"C:\\DL\\NONE.LZH\" \"C:\\DL\\TRUNC\\\"", plat::UnlhaNoArchive},
        {" x -a1 \"C:\\DL\\TRUNC.LZH\" \"C:\\DL\\NEW\\\"", plat::UnlhaNoDestination},
        {" x -a1 \"Q:\\TRUNC.LZH\" \"C:\\DL\\TRUNC\\\"", plat::UnlhaNoArchive},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(plat::Unlha(QString::fromUtf8(row.line)), row.status);
        EXPECT_FALSE(plat::lastUnlhaError().isEmpty());
    }
    EXPECT_EQ(text(listing(c + "/DL")),
              sorted({"TRUNC/", fileLine("TRUNC.LZH", testenv::readFile(c + "/DL/TRUNC.LZH"))}));
}

} // namespace
