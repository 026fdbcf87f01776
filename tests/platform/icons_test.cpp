// Icons: handles from .ico files, PE and NE modules, the shell icon library, Linux programs and
// desktop entries; drawing and releasing them; damaged files.
#include "platform/drives.h"
#include "platform/icons.h"
#include "support/iconfixtures.h"
#include "support/testenv.h"
#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

using namespace iconfix;

const QRgb kRed = qRgb(220, 0, 0), kGreen = qRgb(0, 160, 0), kBlue = qRgb(0, 0, 255),
           kYellow = qRgb(255, 200, 0), kCyan = qRgb(0, 200, 200), kMagenta = qRgb(255, 0, 255);

// Two groups: a 16-pixel DIB (red), a 32-pixel DIB (green) and a 48-pixel PNG (blue); and a
// lone 32-pixel PNG (yellow).
std::vector<Image> sampleIcons() {
    return {{1, 16, dibIcon(16, kRed)},
            {2, 32, dibIcon(32, kGreen)},
            {3, 48, pngIcon(48, kBlue)},
            {4, 32, pngIcon(32, kYellow)}};
}
std::vector<std::vector<Image>> sampleGroups() {
    const auto icons = sampleIcons();
    return {{icons[0], icons[1], icons[2]}, {icons[3]}};
}

// ---- helpers ---------------------------------------------------------------------------------

// A handle that frees itself.
struct Icon {
    plat::HICON h;
    explicit Icon(plat::HICON handle) : h(handle) {}
    ~Icon() {
        if (h > 1) plat::DestroyIcon(h);
    }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
};

// The icon drawn on a cleared 36 x 36 face, as a button shows it.
QImage face(plat::HICON h, int x = 0, int y = 0) {
    QImage img(36, 36, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    plat::DrawIcon(p, x, y, h);
    p.end();
    return img;
}

QRgb centre(plat::HICON h) {
    return face(h).pixel(16, 16);
}

class IconsTest : public testenv::EnvTest {
  protected:
    QString put(const QString& winPath, const QByteArray& bytes) {
        testenv::writeFile(env->host(winPath), bytes);
        return winPath;
    }
};

// ---- PE and NE modules -----------------------------------------------------------------------

struct ModuleCase {
    const char* name;
    const char* file;
    std::function<QByteArray()> bytes;
};

class ModuleIcons : public IconsTest, public ::testing::WithParamInterface<ModuleCase> {};

TEST_P(ModuleIcons, GroupsCountAndFacesComeFromTheRightImages) {
    const QString file = put(GetParam().file, GetParam().bytes());
    EXPECT_EQ(plat::ExtractIcon(file, -1), 2);
    {
        Icon first(plat::ExtractIcon(file, 0));
        ASSERT_GT(first.h, 1);
        // The face is the 32-pixel image, not the 16 or 48 one scaled.
        EXPECT_EQ(centre(first.h), kGreen);
        std::vector<int> sides;
        for (const QImage& img : plat::iconImages(first.h))
            sides.push_back(img.width());
        EXPECT_EQ(sides, (std::vector<int>{16, 32, 48}));
        EXPECT_EQ(plat::iconImages(first.h).back().pixel(24, 24), kBlue);
    }
    {
        Icon second(plat::ExtractIcon(file, 1));
        ASSERT_GT(second.h, 1);
        EXPECT_EQ(centre(second.h), kYellow);
    }
    EXPECT_EQ(plat::ExtractIcon(file, 2), 0);
    EXPECT_EQ(plat::liveIconCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ModuleIcons,
    ::testing::Values(ModuleCase{"Pe32Exe", "C:\\APPS\\TOOL.EXE",
                                 [] { return buildPe(sampleIcons(), sampleGroups()).bytes; }},
                      ModuleCase{"Pe64Dll", "C:\\APPS\\lib64.dll",
                                 [] { return buildPe(sampleIcons(), sampleGroups(), true).bytes; }},
                      ModuleCase{"ControlPanel", "C:\\WINDOWS\\SYSTEM\\desk.cpl",
                                 [] { return buildPe(sampleIcons(), sampleGroups()).bytes; }},
                      ModuleCase{"PeUnderAnyName", "C:\\APPS\\program.bin",
                                 [] { return buildPe(sampleIcons(), sampleGroups()).bytes; }},
                      ModuleCase{"Ne16Bit", "C:\\WINDOWS\\PROGMAN.EXE",
                                 [] { return buildNe(sampleIcons(), sampleGroups()); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IconsTest, ModuleWithoutIconsHasNone) {
    const QString file = put("C:\\APPS\\PLAIN.EXE", buildPe({}, {}).bytes);
    EXPECT_EQ(plat::ExtractIcon(file, -1), 0);
    EXPECT_EQ(plat::ExtractIcon(file, 0), 0);
    // A DOS program: MZ without a Windows header.
    QByteArray dos(0x80, '\0');
    dos[0] = 'M';
    dos[1] = 'Z';
    const QString com = put("C:\\DOS\\EDIT.EXE", dos);
    EXPECT_EQ(plat::ExtractIcon(com, -1), 0);
    EXPECT_EQ(plat::ExtractIcon(com, 0), 0);
}

// ---- damaged files ---------------------------------------------------------------------------

struct DamageCase {
    const char* name;
    const char* file;
    std::function<QByteArray()> bytes;
    int count;                               // expected ExtractIcon(-1); -2 for "any value the damage leaves"
    enum First { None, Icon, Either } first; // what index 0 gives
};

class DamagedFiles : public IconsTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedFiles, GiveNoIconWithoutCrashing) {
    const DamageCase& c = GetParam();
    const QString file = put(c.file, c.bytes());
    const int count = int(plat::ExtractIcon(file, -1));
    if (c.count >= 0) {
        EXPECT_EQ(count, c.count);
    } else {
        EXPECT_TRUE(count >= 0 && count <= 0x20000) << count;
    }
    for (int index = 0; index < 3; ++index) {
        Icon icon(plat::ExtractIcon(file, index));
        if (index == 0 && c.first == DamageCase::Icon) {
            EXPECT_GT(icon.h, 1);
        }
        if (index == 0 && c.first == DamageCase::None) {
            EXPECT_EQ(icon.h, 0);
        }
        EXPECT_NE(icon.h, 1); // an icon-bearing kind of file is never "not an icon file"
        face(icon.h);
    }
    EXPECT_EQ(plat::liveIconCount(), 0);
}

QByteArray goodPe() {
    return buildPe(sampleIcons(), sampleGroups()).bytes;
}
PeFile goodLayout() {
    return buildPe(sampleIcons(), sampleGroups());
}
QByteArray patched32(qsizetype at, quint32 v) {
    PeFile pe = goodLayout();
    put32(pe.bytes, at, v);
    return pe.bytes;
}

const DamageCase kDamaged[] = {
    {"EmptyExe", "C:\\D\\empty.exe", [] { return QByteArray(); }, 0, DamageCase::None},
    {"MzOnly", "C:\\D\\mz.exe", [] { return QByteArray("MZ"); }, 0, DamageCase::None},
    {"TruncatedInHeaders", "C:\\D\\t1.exe", [] { return goodPe().left(0x90); }, 0, DamageCase::None},
    {"TruncatedBeforeResources", "C:\\D\\t2.exe", [] { return goodPe().left(0x1f0); }, 0, DamageCase::None},
    {"TruncatedInResourceTree", "C:\\D\\t3.exe", [] { return goodPe().left(0x230); }, 0, DamageCase::None},
    {"TruncatedInImages", "C:\\D\\t4.exe", [] { return goodPe().left(goodLayout().firstIconData + 40); }, -2,
     DamageCase::None},
    {"HeaderOffsetOutOfRange", "C:\\D\\lfanew.exe", [] { return patched32(0x3c, 0xfffffff0u); }, 0,
     DamageCase::None},
    {"UnknownOptionalHeader", "C:\\D\\magic.exe",
     [] {
         PeFile pe = goodLayout();
         put16(pe.bytes, pe.optionalHeader, 0x1234);
         return pe.bytes;
     },
     0, DamageCase::None},
    {"ResourceRvaOutsideSections", "C:\\D\\rva.exe",
     [] { return patched32(goodLayout().optionalHeader + 96 + 16, 0x7fff0000u); }, 0, DamageCase::None},
    {"RawPointerOutOfFile", "C:\\D\\raw.exe",
     [] { return patched32(goodLayout().sectionTable + 20, 0xffffff00u); }, 0, DamageCase::None},
    {"HugeSectionCount", "C:\\D\\sections.exe",
     [] {
         PeFile pe = goodLayout();
         put16(pe.bytes, pe.peHeader + 6, 0xffff);
         return pe.bytes;
     },
     2, DamageCase::Icon},
    {"HugeRootEntryCount", "C:\\D\\root.exe",
     [] {
         PeFile pe = goodLayout();
         put16(pe.bytes, pe.rsrc + 12, 0xffff);
         put16(pe.bytes, pe.rsrc + 14, 0xffff);
         return pe.bytes;
     },
     -2, DamageCase::Either},
    {"GroupTypeLoopsToRoot", "C:\\D\\loop1.exe",
     [] {
         PeFile pe = goodLayout();
         put32(pe.bytes, pe.groupTypeEntry + 4, 0x80000000u); // subdirectory = the root itself
         return pe.bytes;
     },
     2, DamageCase::None},
    {"LanguageLoopsToItself", "C:\\D\\loop2.exe",
     [] {
         PeFile pe = goodLayout();
         const quint32 self = quint32(pe.groupLanguageDir - pe.rsrc);
         put32(pe.bytes, pe.groupLanguageDir + 16 + 4, 0x80000000u | self);
         return pe.bytes;
     },
     2, DamageCase::None},
    {"DataEntryHugeSize", "C:\\D\\size.exe",
     [] { return patched32(goodLayout().firstGroupDataEntry + 4, 0xfffffff0u); }, 2, DamageCase::None},
    {"DataEntryRvaOutOfRange", "C:\\D\\datarva.exe",
     [] { return patched32(goodLayout().firstGroupDataEntry, 0xfffffff0u); }, 2, DamageCase::None},
    {"GroupClaimsHugeCount", "C:\\D\\grpcount.exe",
     [] {
         PeFile pe = goodLayout();
         put16(pe.bytes, pe.firstGroupData + 4, 0xffff);
         return pe.bytes;
     },
     2, DamageCase::Icon},
    {"GroupNamesMissingImage", "C:\\D\\noimage.exe",
     [] {
         const auto icons = sampleIcons();
         return buildPe({icons[3]}, {{{99, 32, icons[3].bytes}}}).bytes;
     },
     1, DamageCase::None},
    {"ImageIsGarbage", "C:\\D\\garbage.exe",
     [] {
         return buildPe({{1, 32, QByteArray(300, 'x')}}, {{{1, 32, QByteArray(300, 'x')}}}).bytes;
     },
     1, DamageCase::None},
    {"DibClaimsHugeSides", "C:\\D\\huge.exe",
     [] {
         QByteArray dib = dibIcon(32, kGreen);
         put32(dib, 4, 0x7fffffff);
         put32(dib, 8, 0x7ffffffe);
         return buildPe({{1, 32, dib}}, {{{1, 32, dib}}}).bytes;
     },
     1, DamageCase::None},
    {"NotAModuleButExeName", "C:\\D\\text.exe", [] { return QByteArray("just text\r\n"); }, 0,
     DamageCase::None},
    {"NeResourceTableOutOfRange", "C:\\D\\ne.exe",
     [] {
         QByteArray ne = buildNe(sampleIcons(), sampleGroups());
         put16(ne, 0x40 + 0x24, 0xfff0);
         return ne;
     },
     0, DamageCase::None},
    {"NeHugeShift", "C:\\D\\neshift.exe",
     [] {
         QByteArray ne = buildNe(sampleIcons(), sampleGroups());
         put16(ne, 0x80, 0xffff);
         return ne;
     },
     0, DamageCase::None},
    {"NeTruncated", "C:\\D\\netrunc.exe", [] { return buildNe(sampleIcons(), sampleGroups()).left(0xa0); },
     -2, DamageCase::None},
    {"IcoHeaderOnly", "C:\\D\\header.ico", [] { return icoFile({}).append(QByteArray("\1\0", 2)).left(6); },
     0, DamageCase::None},
    {"IcoOffsetOutOfRange", "C:\\D\\offset.ico",
     [] {
         QByteArray ico = icoFile({{1, 32, dibIcon(32, kGreen)}});
         put32(ico, 6 + 12, 0x7ffffff0u);
         return ico;
     },
     0, DamageCase::None},
    {"IcoImageTruncated", "C:\\D\\trunc.ico",
     [] {
         return icoFile({{1, 32, dibIcon(32, kGreen)}}).left(200);
     },
     0, DamageCase::None},
    {"IcoHugeCountOneImage", "C:\\D\\count.ico",
     [] {
         QByteArray ico = icoFile({{1, 32, dibIcon(32, kGreen)}});
         put16(ico, 4, 0xffff);
         return ico;
     },
     1, DamageCase::Icon},
    {"CursorWithIcoName", "C:\\D\\cursor.ico",
     [] {
         QByteArray ico = icoFile({{1, 32, dibIcon(32, kGreen)}});
         put16(ico, 2, 2);
         return ico;
     },
     0, DamageCase::None},
    {"EmptyIco", "C:\\D\\empty.ico", [] { return QByteArray(); }, 0, DamageCase::None},
};

INSTANTIATE_TEST_SUITE_P(Cases, DamagedFiles, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.name); });

// Bytes changed at random places (a fixed seed, so a failure can be repeated): every result
// is "no icon" or a handle, never a crash, a hang or a leak.
TEST_F(IconsTest, RandomlyDamagedModulesAndIconFiles) {
    const struct {
        const char* file;
        QByteArray bytes;
    } originals[] = {{"C:\\F\\pe.exe", goodPe()},
                     {"C:\\F\\pe64.dll", buildPe(sampleIcons(), sampleGroups(), true).bytes},
                     {"C:\\F\\ne.exe", buildNe(sampleIcons(), sampleGroups())},
                     {"C:\\F\\icons.ico", icoFile(sampleIcons())}};
    std::mt19937 random(20240611);
    for (const auto& original : originals) {
        for (int round = 0; round < 150; ++round) {
            QByteArray bytes = original.bytes;
            const int changes = 1 + int(random() % 8);
            for (int i = 0; i < changes; ++i) {
                // Mostly the headers and tables at the front, where damage matters most.
                const qsizetype at =
                    qsizetype(random() % (i % 2 ? bytes.size() : std::min<qsizetype>(bytes.size(), 0x300)));
                bytes[at] = char(random() % 3 == 0 ? 0xff : random());
            }
            if (random() % 4 == 0) bytes.truncate(qsizetype(random() % bytes.size()));
            const QString file = put(original.file, bytes);
            SCOPED_TRACE(std::string(original.file) + " round " + std::to_string(round));
            EXPECT_GE(plat::ExtractIcon(file, -1), 0);
            for (int index = 0; index < 2; ++index) {
                Icon icon(plat::ExtractIcon(file, index));
                EXPECT_NE(icon.h, 1);
                face(icon.h);
            }
        }
    }
    EXPECT_EQ(plat::liveIconCount(), 0);
}

// ---- .ico files and plain files ----------------------------------------------------------------

TEST_F(IconsTest, IcoFileHasOneIconOfAllItsSizes) {
    const QString file = put(
        "C:\\ICONS\\mixed.ico",
        icoFile({{1, 16, dibIcon(16, kRed)}, {2, 48, pngIcon(48, kBlue)}, {3, 32, pngIcon(32, kYellow)}}));
    EXPECT_EQ(plat::ExtractIcon(file, -1), 1);
    Icon icon(plat::ExtractIcon(file, 0));
    ASSERT_GT(icon.h, 1);
    EXPECT_EQ(centre(icon.h), kYellow);
    EXPECT_EQ(plat::iconImages(icon.h).size(), 3u);
    EXPECT_EQ(plat::ExtractIcon(file, 1), 0);
}

TEST_F(IconsTest, IcoWithoutThirtyTwoPixelsScalesTheNearest) {
    const QString file =
        put("C:\\ICONS\\small.ico", icoFile({{1, 16, dibIcon(16, kRed)}, {2, 48, dibIcon(48, kBlue)}}));
    Icon icon(plat::ExtractIcon(file, 0));
    ASSERT_GT(icon.h, 1);
    EXPECT_EQ(centre(icon.h), kBlue); // 48 is nearer to 32 than 16
    EXPECT_EQ(face(icon.h).pixel(33, 33), 0u);
}

TEST_F(IconsTest, FilesWithoutIconsAndMissingFiles) {
    struct Case {
        const char* file;
        QByteArray bytes; // null: do not create
        int count;
        plat::HICON first;
    };
    const Case cases[] = {
        {"C:\\DOCS\\readme.txt", "hello\r\n", 0, 1},
        {"C:\\DOCS\\picture.bmp", QByteArray("BM").append(QByteArray(60, '\0')), 0, 1},
        {"C:\\DOCS\\gone.exe", QByteArray(), 0, 0},
        {"C:\\DOCS\\gone.txt", QByteArray(), 0, 0},
        {"Q:\\NO\\DRIVE.EXE", QByteArray(), 0, 0},
        {"", QByteArray(), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (!c.bytes.isNull()) put(c.file, c.bytes);
        EXPECT_EQ(plat::ExtractIcon(c.file, -1), c.count);
        EXPECT_EQ(plat::ExtractIcon(c.file, 0), c.first);
    }
    EXPECT_EQ(plat::liveIconCount(), 0);
}

// ---- the shell icon library ------------------------------------------------------------------

TEST_F(IconsTest, ShellLibraryServesTheClassicIconsFromTheTheme) {
    plat::installShellIconLibrary();
    const QString lib = plat::GetSystemDirectory() + "\\shell32.dll";
    const int count = int(plat::ExtractIcon(lib, -1));
    EXPECT_GE(count, 30);
    const struct {
        int index;
        QRgb colour; // from the test theme
    } themed[] = {{0, kBlue}, {1, kBlue}, {2, kRed}, {3, kYellow}, {29, kCyan}};
    for (const auto& c : themed) {
        SCOPED_TRACE(c.index);
        Icon icon(plat::ExtractIcon(lib, c.index));
        ASSERT_GT(icon.h, 1);
        EXPECT_EQ(centre(icon.h), c.colour);
    }
    {
        // The test theme has no open folder: the built-in drawing stands in.
        Icon open(plat::ExtractIcon(lib, 4));
        ASSERT_GT(open.h, 1);
        const QImage img = face(open.h);
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                opaque += qAlpha(img.pixel(x, y)) == 255;
        EXPECT_GT(opaque, 100);
    }
    {
        Icon last(plat::ExtractIcon(lib, count - 1));
        EXPECT_GT(last.h, 1);
    }
    EXPECT_EQ(plat::ExtractIcon(lib, count), 0);
    EXPECT_EQ(plat::liveIconCount(), 0);
}

TEST_F(IconsTest, ShellLibraryIsNeverOverwrittenAndIsReadByItsContent) {
    const QString lib = plat::GetSystemDirectory() + "\\shell32.dll";
    const QByteArray own = "ZELNORI-SHELL-ICONS 1\nfolder\naccessories-text-editor\n";
    put(lib, own);
    plat::installShellIconLibrary();
    EXPECT_EQ(testenv::readFile(env->host(lib)), own);
    EXPECT_EQ(plat::ExtractIcon(lib, -1), 2);
    Icon editor(plat::ExtractIcon(lib, 1));
    ASSERT_GT(editor.h, 1);
    EXPECT_EQ(centre(editor.h), kGreen);
    // A copy under another name is still the library.
    const QString copy = put("C:\\ICONS\\MYICONS.ZNI", own);
    Icon folder(plat::ExtractIcon(copy, 0));
    ASSERT_GT(folder.h, 1);
    EXPECT_EQ(centre(folder.h), kYellow);
}

// ---- Linux programs and desktop entries -------------------------------------------------------

class LinuxIcons : public IconsTest {
  protected:
    QString program(const QString& name) {
        const QString path = bin_.path() + "/" + name;
        testenv::writeFile(path, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    void desktopEntry(const QString& id, const QString& exec, const QString& icon) {
        testenv::writeFile(
            testenv::xdgRoot() + "/data/applications/" + id + ".desktop",
            ("[Desktop Entry]\nType=Application\nName=" + id + "\nExec=" + exec + " %f\nIcon=" + icon + "\n")
                .toUtf8());
    }
    QTemporaryDir bin_;
};

TEST_F(LinuxIcons, ProgramWithDesktopEntryShowsItsThemeIcon) {
    const QString prog = program("zelicontest-editor");
    desktopEntry("zelicontest-editor", "\"" + prog + "\"", "accessories-text-editor");
    const QString win = plat::windowsPath(prog);
    EXPECT_EQ(plat::ExtractIcon(win, -1), 1);
    Icon icon(plat::ExtractIcon(win, 0));
    ASSERT_GT(icon.h, 1);
    EXPECT_EQ(centre(icon.h), kGreen);
    EXPECT_EQ(plat::ExtractIcon(win, 1), 0);
}

TEST_F(LinuxIcons, ProgramFoundThroughPathAndEnv) {
    const QString prog = program("zelicontest-viaenv");
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin_.path()) + ":" + oldPath);
    desktopEntry("zelicontest-viaenv", "env LANG=C zelicontest-viaenv", "folder");
    Icon icon(plat::ExtractIcon(plat::windowsPath(prog), 0));
    qputenv("PATH", oldPath);
    ASSERT_GT(icon.h, 1);
    EXPECT_EQ(centre(icon.h), kYellow);
}

TEST_F(LinuxIcons, ProgramWithoutDesktopEntryShowsTheGenericProgram) {
    const QString prog = program("zelicontest-lonely");
    Icon icon(plat::ExtractIcon(plat::windowsPath(prog), 0));
    ASSERT_GT(icon.h, 1);
    EXPECT_EQ(centre(icon.h), kRed);
}

TEST_F(LinuxIcons, DesktopFileShowsItsOwnIcon) {
    const QString withIcon = bin_.path() + "/launch.desktop";
    testenv::writeFile(withIcon,
                       "[Desktop Entry]\nType=Application\nName=x\nExec=true\nIcon=emblem-symbolic-link\n");
    const QString without = bin_.path() + "/bare.desktop";
    testenv::writeFile(without, "[Desktop Entry]\nType=Application\nName=x\nExec=true\n");
    EXPECT_EQ(plat::ExtractIcon(plat::windowsPath(withIcon), -1), 1);
    Icon icon(plat::ExtractIcon(plat::windowsPath(withIcon), 0));
    ASSERT_GT(icon.h, 1);
    EXPECT_EQ(centre(icon.h), kCyan);
    EXPECT_EQ(plat::ExtractIcon(plat::windowsPath(without), -1), 0);
    EXPECT_EQ(plat::ExtractIcon(plat::windowsPath(without), 0), 0);
}

TEST_F(LinuxIcons, DesktopIconByAbsolutePath) {
    const QString png = bin_.path() + "/own.png";
    testenv::writeFile(png, pngIcon(32, kMagenta));
    const QString entry = bin_.path() + "/own.desktop";
    testenv::writeFile(entry,
                       ("[Desktop Entry]\nType=Application\nName=x\nExec=true\nIcon=" + png + "\n").toUtf8());
    Icon icon(plat::ExtractIcon(plat::windowsPath(entry), 0));
    ASSERT_GT(icon.h, 1);
    EXPECT_EQ(centre(icon.h), kMagenta);
}

// ---- drawing and releasing ---------------------------------------------------------------------

TEST_F(IconsTest, DrawIconKeepsTheFaceAroundTransparent) {
    const QString file = put("C:\\ICONS\\one.ico", icoFile({{1, 32, dibIcon(32, kGreen)}}));
    Icon icon(plat::ExtractIcon(file, 0));
    ASSERT_GT(icon.h, 1);
    const QImage at0 = face(icon.h);
    EXPECT_EQ(at0.pixel(16, 16), kGreen);
    // The icon's own transparent border and the face beyond 32 pixels stay clear.
    for (const QPoint p :
         {QPoint(0, 0), QPoint(1, 16), QPoint(30, 30), QPoint(33, 33), QPoint(35, 0), QPoint(0, 35)})
        EXPECT_EQ(qAlpha(at0.pixel(p)), 0) << p.x() << "," << p.y();
    // Drawn at an offset, the icon moves with it.
    const QImage at3 = face(icon.h, 3, 2);
    EXPECT_EQ(qAlpha(at3.pixel(4, 3)), 0);
    EXPECT_EQ(at3.pixel(5, 4), kGreen);
    EXPECT_EQ(at3.pixel(32, 31), kGreen);
    EXPECT_EQ(qAlpha(at3.pixel(33, 32)), 0);
}

TEST_F(IconsTest, DestroyIconReleasesTheHandle) {
    const QString file = put("C:\\ICONS\\one.ico", icoFile({{1, 32, dibIcon(32, kGreen)}}));
    const int before = plat::liveIconCount();
    const plat::HICON a = plat::ExtractIcon(file, 0);
    const plat::HICON b = plat::ExtractIcon(file, 0);
    ASSERT_GT(a, 1);
    ASSERT_GT(b, 1);
    EXPECT_NE(a, b);
    EXPECT_EQ(plat::liveIconCount(), before + 2);
    plat::DestroyIcon(a);
    EXPECT_EQ(plat::liveIconCount(), before + 1);
    EXPECT_TRUE(plat::iconImages(a).empty());
    EXPECT_EQ(qAlpha(face(a).pixel(16, 16)), 0); // a released handle draws nothing
    plat::DestroyIcon(a);                        // twice is harmless
    plat::DestroyIcon(0);
    plat::DestroyIcon(1);
    EXPECT_EQ(plat::liveIconCount(), before + 1);
    plat::DestroyIcon(b);
    EXPECT_EQ(plat::liveIconCount(), before);
}

} // namespace
