#include "drives.h"
#include "errors.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace plat {

namespace {

QString g_dataHomeOverride;

QChar g_curDrive = QLatin1Char('c');
// Current folder of each drive, as the part after "X:" ("\" or "\WINDOWS").
QHash<QChar, QString> g_curDirs;

// Drive table read from dosdevices/, read again whenever that folder changes.
struct DriveTable {
    QString dosdevices;
    qint64 stamp = -1;
    std::map<QChar, QString> roots; // letter -> canonical host root
};
DriveTable g_drives;

qint64 folderStamp(const QString& dir) {
    struct stat st {};
    if (::stat(QFile::encodeName(dir).constData(), &st) != 0) return -2;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

const std::map<QChar, QString>& drives() {
    const QString dosdevices = dataHome() + QStringLiteral("/dosdevices");
    const qint64 stamp = folderStamp(dosdevices);
    if (stamp >= 0 && stamp == g_drives.stamp && dosdevices == g_drives.dosdevices) return g_drives.roots;
    g_drives.dosdevices = dosdevices;
    g_drives.stamp = stamp;
    g_drives.roots.clear();
    const QDir dir(dosdevices);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        // "c:" is a drive; "c::" (a raw device) and anything else is not.
        if (e.size() != 2 || e[1] != QLatin1Char(':')) continue;
        const QChar letter = e[0].toLower();
        if (letter < QLatin1Char('a') || letter > QLatin1Char('z')) continue;
        const QString root = QFileInfo(dir.filePath(e)).canonicalFilePath();
        if (root.isEmpty() || !QFileInfo(root).isDir()) continue;
        g_drives.roots[letter] = root;
    }
    return g_drives.roots;
}

bool isLetter(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// Folds "." and ".." out of a list of components; ".." at the root stays at the root.
QStringList foldComponents(const QStringList& parts) {
    QStringList out;
    for (const QString& p : parts) {
        if (p.isEmpty() || p == QLatin1String(".")) continue;
        if (p == QLatin1String("..")) {
            if (!out.isEmpty()) out.removeLast();
            continue;
        }
        out << p;
    }
    return out;
}

QString joinHost(const QString& dir, const QString& name) {
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

// The entry of the host folder dir that is name without regard to case, or empty.
QString findCaseInsensitive(const QString& dir, const QString& name) {
    const QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
    return {};
}

// Canonical form of a host path whose tail may not exist: the longest existing head is
// made canonical and the rest is added as written.
QString canonicalLoose(const QString& hostPath) {
    const QString abs = QDir::cleanPath(QFileInfo(hostPath).absoluteFilePath());
    QStringList tail;
    QString head = abs;
    while (true) {
        const QString c = QFileInfo(head).canonicalFilePath();
        if (!c.isEmpty()) {
            QString out = c;
            for (auto it = tail.crbegin(); it != tail.crend(); ++it)
                out = joinHost(out, *it);
            return out;
        }
        const qsizetype slash = head.lastIndexOf(QLatin1Char('/'));
        if (slash < 0) return abs;
        tail << head.mid(slash + 1);
        head = slash == 0 ? QStringLiteral("/") : head.left(slash);
    }
}

QString currentDirOf(QChar letter) {
    const auto it = g_curDirs.constFind(letter);
    return it == g_curDirs.constEnd() ? QStringLiteral("\\") : *it;
}

// The drive letter a ChDrive or CurDir argument names ("C", "c:", "C:\WINDOWS"); 68 when
// no such drive is set up.
QChar namedDrive(const QString& drive) {
    const QString d = drive.trimmed();
    if (d.isEmpty() || !isLetter(d[0])) raise(ErrDeviceUnavailable, drive);
    const QChar letter = d[0].toLower();
    if (driveRoot(letter).isEmpty()) raise(ErrDeviceUnavailable, drive);
    return letter;
}

} // namespace

QString dataHome() {
    if (!g_dataHomeOverride.isEmpty()) return g_dataHomeOverride;
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/zelnori"));
}

void setDataHome(const QString& hostDir) {
    g_dataHomeOverride =
        hostDir.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(hostDir).absoluteFilePath());
    g_drives = DriveTable();
}

void ensureDataHome() {
    const QString home = dataHome();
    const QString dosdevices = home + QStringLiteral("/dosdevices");
    for (const QString& dir : {dosdevices, home + QStringLiteral("/drive_c/WINDOWS/SYSTEM")}) {
        errno = 0;
        if (!QDir().mkpath(dir)) raiseFromErrno(errno ? errno : EACCES, dir, ErrnoUse::Path);
    }
    const std::pair<const char*, const char*> links[] = {{"c:", "../drive_c"}, {"z:", "/"}};
    for (const auto& [name, target] : links) {
        const QByteArray link = QFile::encodeName(dosdevices + QLatin1Char('/') + QLatin1String(name));
        struct stat st {};
        if (::lstat(link.constData(), &st) == 0) continue; // the user's own choice stays
        if (::symlink(target, link.constData()) != 0 && errno != EEXIST)
            raiseFromErrno(errno, QFile::decodeName(link), ErrnoUse::Path);
    }
    g_drives.stamp = -1;
}

QString GetWindowsDirectory() {
    return QStringLiteral("C:\\WINDOWS");
}
QString GetSystemDirectory() {
    return QStringLiteral("C:\\WINDOWS\\SYSTEM");
}

QString AppPath() {
    if (!QCoreApplication::instance()) return windowsPath(QDir::currentPath());
    return windowsPath(QCoreApplication::applicationDirPath());
}

QStringList driveLetters() {
    QStringList out;
    for (const auto& [letter, root] : drives())
        out << QString(letter);
    return out;
}

QString driveRoot(QChar letter) {
    const auto& table = drives();
    const auto it = table.find(letter.toLower());
    return it == table.end() ? QString() : it->second;
}

QString fullPath(const QString& winPath) {
    QString p = winPath;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    QChar letter = g_curDrive;
    QString rest = p;
    if (p.size() >= 2 && p[1] == QLatin1Char(':') && isLetter(p[0])) {
        letter = p[0].toLower();
        rest = p.mid(2);
    }
    const QString base =
        rest.startsWith(QLatin1Char('\\')) ? rest : currentDirOf(letter) + QLatin1Char('\\') + rest;
    const QStringList parts = foldComponents(base.split(QLatin1Char('\\')));
    return QString(letter.toUpper()) + QStringLiteral(":\\") + parts.join(QLatin1Char('\\'));
}

QString hostPath(const QString& winPath) {
    const QString full = fullPath(winPath);
    QString cur = driveRoot(full[0]);
    if (cur.isEmpty()) return {};
    const QStringList parts = full.mid(3).split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    bool lookup = true;
    for (const QString& part : parts) {
        QString name = part;
        if (lookup) {
            const QString exact = joinHost(cur, part);
            if (!QFileInfo::exists(exact) && !QFileInfo(exact).isSymLink()) {
                const QString found = findCaseInsensitive(cur, part);
                if (found.isEmpty())
                    lookup = false; // nothing below a missing part can exist
                else
                    name = found;
            }
        }
        cur = joinHost(cur, name);
    }
    return cur;
}

QString windowsPath(const QString& hostPath) {
    const QString canon = canonicalLoose(hostPath);
    QChar best = QLatin1Char('z');
    QString bestRoot;
    for (const auto& [letter, root] : drives()) {
        const bool under =
            canon == root || root == QLatin1String("/") || canon.startsWith(joinHost(root, QString()));
        if (under && root.size() > bestRoot.size()) {
            best = letter;
            bestRoot = root;
        }
    }
    // Without any drive that holds it (not even Z:) it still reads as a Z: path.
    if (bestRoot.isEmpty()) bestRoot = QStringLiteral("/");
    QString rest = canon.mid(bestRoot.size());
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QString(best.toUpper()) + QStringLiteral(":\\") + rest;
}

void ChDrive(const QString& drive) {
    if (drive.trimmed().isEmpty()) return; // as the runtime: an empty name changes nothing
    g_curDrive = namedDrive(drive);
}

void ChDir(const QString& winPath) {
    if (winPath.isEmpty()) raise(ErrPathNotFound, winPath);
    const QString full = fullPath(winPath);
    const QChar letter = full[0].toLower();
    if (driveRoot(letter).isEmpty()) raise(ErrDeviceUnavailable, winPath);
    if (!QFileInfo(hostPath(full)).isDir()) raise(ErrPathNotFound, winPath);
    g_curDirs[letter] = full.mid(2);
}

QString CurDir(const QString& drive) {
    const QChar letter = drive.trimmed().isEmpty() ? g_curDrive : namedDrive(drive);
    return QString(letter.toUpper()) + QLatin1Char(':') + currentDirOf(letter);
}

void resetCurrentDirs() {
    g_curDrive = QLatin1Char('c');
    g_curDirs.clear();
}

} // namespace plat
