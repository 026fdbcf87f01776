// Drives and paths: the dosdevices layout, Windows <-> host mapping, current drive and folders.
#include "platform/drives.h"
#include "platform/errors.h"
#include "support/testenv.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using testenv::EnvTest;

using testenv::errorOf;

class DrivesTest : public EnvTest {
  protected:
    QString driveC() const { return QFileInfo(env->home() + "/drive_c").canonicalFilePath(); }
    QString home() const { return QFileInfo(env->home()).canonicalFilePath(); }
};

TEST_F(DrivesTest, DataHomeLayoutIsCreatedOnceAndKept) {
    const QString dd = env->home() + "/dosdevices";
    EXPECT_EQ(QFileInfo(dd + "/c:").symLinkTarget(), driveC());
    EXPECT_EQ(QFile::symLinkTarget(dd + "/z:"), "/");
    EXPECT_TRUE(QFileInfo(env->home() + "/drive_c/WINDOWS/SYSTEM").isDir());
    EXPECT_EQ(plat::driveLetters(), QStringList({"c", "z"}));

    // A second run leaves a drive the user pointed elsewhere alone.
    QTemporaryDir other;
    QFile::remove(dd + "/z:");
    ASSERT_TRUE(QFile::link(other.path(), dd + "/z:"));
    EXPECT_NO_THROW(plat::ensureDataHome());
    EXPECT_EQ(plat::driveRoot('z'), QFileInfo(other.path()).canonicalFilePath());
}

TEST_F(DrivesTest, DrivesTheUserAddsAreSeenAndBrokenOnesAreNot) {
    QTemporaryDir d;
    const QString dd = env->home() + "/dosdevices";
    ASSERT_TRUE(QFile::link(d.path(), dd + "/d:"));
    ASSERT_TRUE(QFile::link(env->home() + "/gone", dd + "/e:"));
    ASSERT_TRUE(QFile::link("/dev/null", dd + "/c::")); // a raw device entry, not a drive
    EXPECT_EQ(plat::driveLetters(), QStringList({"c", "d", "z"}));
    EXPECT_EQ(plat::driveRoot('D'), QFileInfo(d.path()).canonicalFilePath());
    EXPECT_TRUE(plat::driveRoot('e').isEmpty());
    EXPECT_TRUE(plat::hostPath("E:\\x").isEmpty());
}

TEST_F(DrivesTest, WindowsPathsMapToHostPaths) {
    testenv::writeFile(env->home() + "/drive_c/WINDOWS/calc.exe", "MZ");
    testenv::writeFile(env->home() + "/drive_c/Program Files/Ab,c \"q\"/x.txt", "x");
    const QString c = driveC();
    struct Case {
        const char* win;
        QString host;
    } cases[] = {
        {"C:\\", c},
        {"C:\\WINDOWS", c + "/WINDOWS"},
        {"c:/windows/system", c + "/WINDOWS/SYSTEM"},
        {"C:\\WINDOWS\\CALC.exe", c + "/WINDOWS/calc.exe"},
        {"C:\\PROGRAM FILES\\ab,C \"Q\"\\X.TXT", c + "/Program Files/Ab,c \"q\"/x.txt"},
        // Missing parts are kept as written, even below a matched part.
        {"C:\\windows\\New Folder\\Sub\\a.TXT", c + "/WINDOWS/New Folder/Sub/a.TXT"},
        {"C:\\WINDOWS\\SYSTEM\\..\\.\\calc.EXE", c + "/WINDOWS/calc.exe"},
        {"Z:\\usr\\bin", "/usr/bin"},
        {"z:\\", "/"},
        {"Q:\\anything", ""},
    };
    for (const Case& k : cases)
        EXPECT_EQ(plat::hostPath(k.win), k.host) << k.win;
}

TEST_F(DrivesTest, HostPathsMapBackByTheLongestDrive) {
    const QString c = driveC();
    struct Case {
        QString host;
        const char* win;
    } cases[] = {
        {c + "/WINDOWS/zns14.ini", "C:\\WINDOWS\\zns14.ini"}, // need not exist
        {c + "/WINDOWS", "C:\\WINDOWS"},
        {c, "C:\\"},
        {c + "/WINDOWS/SYSTEM/../a b.txt", "C:\\WINDOWS\\a b.txt"},
        {"/usr/share", "Z:\\usr\\share"},
        {"/", "Z:\\"},
        // The data home itself is not on drive C.
        {home() + "/dosdevices", nullptr},
        // Through the drive link: the canonical path decides.
        {env->home() + "/dosdevices/c:/WINDOWS", "C:\\WINDOWS"},
    };
    for (const Case& k : cases) {
        if (k.win)
            EXPECT_EQ(plat::windowsPath(k.host), k.win) << k.host.toStdString();
        else
            EXPECT_EQ(plat::windowsPath(k.host), "Z:" + QString(home() + "/dosdevices").replace('/', '\\'));
    }

    // A drive nested inside another wins for what lies under it.
    ASSERT_TRUE(QFile::link("../drive_c/WINDOWS", env->home() + "/dosdevices/w:"));
    EXPECT_EQ(plat::windowsPath(c + "/WINDOWS/SYSTEM/x.dll"), "W:\\SYSTEM\\x.dll");
    EXPECT_EQ(plat::windowsPath(c + "/autoexec.bat"), "C:\\autoexec.bat");
    EXPECT_EQ(plat::hostPath("W:\\system"), c + "/WINDOWS/SYSTEM");
}

TEST_F(DrivesTest, SystemFoldersAndProgramFolder) {
    EXPECT_EQ(plat::GetWindowsDirectory(), "C:\\WINDOWS");
    EXPECT_EQ(plat::GetSystemDirectory(), "C:\\WINDOWS\\SYSTEM");
    EXPECT_TRUE(QFileInfo(plat::hostPath(plat::GetSystemDirectory())).isDir());
    const QString app = plat::AppPath();
    EXPECT_TRUE(app.startsWith("Z:\\")) << app.toStdString();
    EXPECT_EQ(QFileInfo(plat::hostPath(app)).canonicalFilePath(),
              QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath());
}

TEST_F(DrivesTest, RelativePathsFollowTheCurrentDriveAndFolder) {
    EXPECT_EQ(plat::CurDir(), "C:\\");
    plat::ChDir("c:\\windows");
    EXPECT_EQ(plat::CurDir(), "C:\\windows");
    struct Case {
        const char* in;
        const char* full;
    } onC[] = {
        {"zns14.ini", "C:\\windows\\zns14.ini"},
        {".", "C:\\windows"},
        {"..", "C:\\"},
        {"..\\..\\..", "C:\\"},
        {"SYSTEM\\..\\znP1.ini", "C:\\windows\\znP1.ini"},
        {"\\AUTOEXEC.BAT", "C:\\AUTOEXEC.BAT"},
        {"SYSTEM/", "C:\\windows\\SYSTEM"},
        {"C:zns14.ini", "C:\\windows\\zns14.ini"},
        {"z:bin", "Z:\\bin"},
        {"D:\\x\\..\\y", "D:\\y"},
    };
    for (const Case& k : onC)
        EXPECT_EQ(plat::fullPath(k.in), k.full) << k.in;
    EXPECT_EQ(plat::hostPath("zns14.ini"), driveC() + "/WINDOWS/zns14.ini");

    // ChDir on another drive keeps the current drive; ChDrive then picks up its folder.
    plat::ChDir("Z:\\usr");
    EXPECT_EQ(plat::CurDir(), "C:\\windows");
    EXPECT_EQ(plat::CurDir("z"), "Z:\\usr");
    EXPECT_EQ(plat::fullPath("z:bin"), "Z:\\usr\\bin");
    plat::ChDrive("Z:\\whatever");
    EXPECT_EQ(plat::CurDir(), "Z:\\usr");
    EXPECT_EQ(plat::fullPath("share"), "Z:\\usr\\share");
    EXPECT_EQ(plat::fullPath("\\etc"), "Z:\\etc");
    plat::ChDrive("c");
    EXPECT_EQ(plat::fullPath("x"), "C:\\windows\\x");
    plat::ChDrive("");
    EXPECT_EQ(plat::CurDir(), "C:\\windows");

    plat::resetCurrentDirs();
    EXPECT_EQ(plat::CurDir(), "C:\\");
    EXPECT_EQ(plat::CurDir("Z:"), "Z:\\");
}

TEST_F(DrivesTest, MissingDrivesAndFoldersRaiseTheRuntimeNumbers) {
    testenv::writeFile(env->home() + "/drive_c/file.txt", "x");
    struct Case {
        const char* what;
        std::function<void()> call;
        int number;
    } cases[] = {
        {"ChDrive to no drive", [] { plat::ChDrive("q"); }, plat::ErrDeviceUnavailable},
        {"ChDir on no drive", [] { plat::ChDir("Q:\\"); }, plat::ErrDeviceUnavailable},
        {"CurDir of no drive", [] { plat::CurDir("q"); }, plat::ErrDeviceUnavailable},
        {"ChDir to a missing folder", [] { plat::ChDir("C:\\nope"); }, plat::ErrPathNotFound},
        {"ChDir to a file", [] { plat::ChDir("C:\\file.txt"); }, plat::ErrPathNotFound},
    };
    for (const Case& k : cases)
        EXPECT_EQ(errorOf(k.call), k.number) << k.what;
    // Failures change nothing.
    EXPECT_EQ(plat::CurDir(), "C:\\");
}

TEST_F(DrivesTest, DataHomeFollowsXdgWhenNotSet) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/some/where");
    plat::setDataHome(QString());
    EXPECT_EQ(plat::dataHome(), "/some/where/zelnori");
    qputenv("XDG_DATA_HOME", "relative/is/ignored");
    EXPECT_EQ(plat::dataHome(), QDir::homePath() + "/.local/share/zelnori");
    qputenv("XDG_DATA_HOME", saved);
    plat::setDataHome(env->home());
    EXPECT_EQ(plat::hostPath("C:\\"), driveC());
}

} // namespace
