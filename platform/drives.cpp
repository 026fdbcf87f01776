#include "drives.h"
#include "errors.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <map>

namespace plat {

namespace {

QString g_dataHome;
QChar g_curDrive = 'c';
std::map<QChar, QString> g_curDirs; // drive letter -> folder below the root, "" or "WINDOWS\\SYSTEM"

QString dosdevices() { return dataHome() + QStringLiteral("/dosdevices"); }

// Splits "A\B\..\C" into components with "." and ".." folded.
QStringList foldComponents(const QString& path) {
    QStringList out;
    for (const QString& c : path.split('\\', Qt::SkipEmptyParts)) {
        if (c == ".") continue;
        if (c == "..") {
            if (!out.isEmpty()) out.removeLast();
            continue;
        }
        out << c;
    }
    return out;
}

// Looks a name up in a host folder: exact case first, then without regard to case.
QString findEntry(const QString& dir, const QString& name) {
    const QString exact = dir.endsWith('/') ? dir + name : dir + "/" + name;
    if (QFileInfo::exists(exact) || QFileInfo(exact).isSymLink()) return name;
    QDir d(dir);
    const QStringList entries = d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
    return QString();
}

} // namespace

QString dataHome() {
    if (!g_dataHome.isEmpty()) return g_dataHome;
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + "/.local/share";
    return base + "/zelnori";
}

void setDataHome(const QString& hostDir) { g_dataHome = hostDir; }

void ensureDataHome() {
    const QString home = dataHome();
    QDir d;
    if (!d.mkpath(dosdevices()) || !d.mkpath(home + "/drive_c/WINDOWS/SYSTEM"))
        raise(ErrPathFileAccess, home);
    const QString c = dosdevices() + "/c:";
    const QString z = dosdevices() + "/z:";
    if (!QFileInfo(c).isSymLink() && !QFileInfo::exists(c) && !QFile::link("../drive_c", c)) raise(ErrPathFileAccess, c);
    if (!QFileInfo(z).isSymLink() && !QFileInfo::exists(z) && !QFile::link("/", z)) raise(ErrPathFileAccess, z);
}

QString GetWindowsDirectory() { return QStringLiteral("C:\\WINDOWS"); }
QString GetSystemDirectory() { return QStringLiteral("C:\\WINDOWS\\SYSTEM"); }

QString AppPath() { return windowsPath(QCoreApplication::applicationDirPath()); }

QStringList driveLetters() {
    QStringList out;
    const QStringList entries = QDir(dosdevices()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries)
        if (e.size() == 2 && e[1] == ':' && e[0].isLetter() && e[0].unicode() < 128) out << e.left(1).toLower();
    out.removeDuplicates();
    out.sort();
    return out;
}

QString driveRoot(QChar letter) {
    const QString link = dosdevices() + "/" + letter.toLower() + ":";
    const QString target = QFileInfo(link).canonicalFilePath();
    if (target.isEmpty() || !QFileInfo(target).isDir()) return QString();
    return target;
}

QString fullPath(const QString& winPath) {
    QString p = winPath;
    p.replace('/', '\\');
    QChar drive = g_curDrive;
    QString rest = p;
    if (p.size() >= 2 && p[1] == ':' && p[0].isLetter()) {
        drive = p[0].toLower();
        rest = p.mid(2);
    }
    QStringList comps;
    if (rest.startsWith('\\')) {
        comps = foldComponents(rest);
    } else {
        const auto it = g_curDirs.find(drive);
        const QString cur = it == g_curDirs.end() ? QString() : it->second;
        comps = foldComponents(cur + "\\" + rest);
    }
    return QString(drive.toUpper()) + ":\\" + comps.join('\\');
}

QString hostPath(const QString& winPath) {
    const QString full = fullPath(winPath);
    QString host = driveRoot(full[0]);
    if (host.isEmpty()) return QString();
    const QStringList comps = full.mid(3).split('\\', Qt::SkipEmptyParts);
    bool lookingUp = true;
    for (const QString& c : comps) {
        QString name = c;
        if (lookingUp) {
            const QString found = findEntry(host, c);
            if (found.isEmpty())
                lookingUp = false;
            else
                name = found;
        }
        host = host.endsWith('/') ? host + name : host + "/" + name;
    }
    return host;
}

QString windowsPath(const QString& hostPathIn) {
    QString abs = QFileInfo(hostPathIn).absoluteFilePath();
    // Resolve links in the part that exists, keep the rest as written.
    QString canon = QFileInfo(abs).canonicalFilePath();
    if (canon.isEmpty()) {
        QString head = QDir::cleanPath(abs);
        QString tail;
        while (!head.isEmpty() && head != "/" && QFileInfo(head).canonicalFilePath().isEmpty()) {
            const int slash = head.lastIndexOf('/');
            tail = head.mid(slash) + tail;
            head = slash <= 0 ? QStringLiteral("/") : head.left(slash);
        }
        const QString headCanon = QFileInfo(head).canonicalFilePath();
        canon = (headCanon == "/" ? QString() : headCanon) + tail;
        if (canon.isEmpty()) canon = "/";
    }
    QString bestLetter;
    QString bestRoot;
    for (const QString& letter : driveLetters()) {
        const QString root = driveRoot(letter[0]);
        if (root.isEmpty()) continue;
        const bool inside = canon == root || root == "/" || canon.startsWith(root + "/");
        if (inside && root.size() > bestRoot.size()) {
            bestRoot = root;
            bestLetter = letter;
        }
    }
    if (bestLetter.isEmpty()) return hostPathIn;
    QString rel = canon.mid(bestRoot == "/" ? 1 : bestRoot.size() + 1);
    rel.replace('/', '\\');
    return bestLetter.toUpper() + ":\\" + rel;
}

void ChDrive(const QString& drive) {
    if (drive.isEmpty() || !drive[0].isLetter() || driveRoot(drive[0]).isEmpty()) raise(ErrDeviceUnavailable, drive);
    g_curDrive = drive[0].toLower();
}

void ChDir(const QString& winPath) {
    const QString full = fullPath(winPath);
    const QString host = hostPath(full);
    if (host.isEmpty()) raise(ErrDeviceUnavailable, winPath);
    if (!QFileInfo(host).isDir()) raise(ErrPathNotFound, winPath);
    g_curDirs[full[0].toLower()] = full.mid(3);
}

QString CurDir(const QString& drive) {
    const QChar letter = drive.isEmpty() ? g_curDrive : drive[0].toLower();
    const auto it = g_curDirs.find(letter);
    return QString(letter.toUpper()) + ":\\" + (it == g_curDirs.end() ? QString() : it->second);
}

void resetCurrentDirs() {
    g_curDrive = 'c';
    g_curDirs.clear();
}

} // namespace plat
