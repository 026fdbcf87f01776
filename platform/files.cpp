#include "files.h"
#include "drives.h"
#include "errors.h"
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr const char* kDosAttrib = "user.DOSATTRIB";
constexpr int kStoredBits = vbHidden | vbSystem | vbArchive;

QByteArray local(const QString& host) {
    return QFile::encodeName(host);
}

// The stored hidden/system/archive bits, or -1 when nothing (usable) is stored.
int storedBits(const QString& host) {
    char buf[64];
    const ssize_t n = getxattr(local(host).constData(), kDosAttrib, buf, sizeof(buf) - 1);
    if (n <= 2) return -1;
    buf[n] = 0;
    if (buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X')) return -1;
    bool ok = false;
    const int v = QByteArray(buf + 2, int(n - 2)).trimmed().toInt(&ok, 16);
    return ok ? (v & kStoredBits) : -1;
}

int defaultBits(const QString& host, bool isDir) {
    const QString name = QFileInfo(host).fileName();
    int bits = isDir ? 0 : vbArchive;
    if (name.startsWith('.') && name != "." && name != "..") bits |= vbHidden;
    return bits;
}

int attributesOf(const QString& host, const struct stat& st) {
    const bool isDir = S_ISDIR(st.st_mode);
    int a = isDir ? vbDirectory : 0;
    if (!(st.st_mode & S_IWUSR)) a |= vbReadOnly;
    const int stored = storedBits(host);
    a |= stored >= 0 ? stored : defaultBits(host, isDir);
    return a;
}

bool statHost(const QString& host, struct stat* st) {
    if (host.isEmpty()) return false;
    if (stat(local(host).constData(), st) == 0) return true;
    return lstat(local(host).constData(), st) == 0; // a link whose target is gone reads as a file
}

QString existingHost(const QString& winPath) {
    const QString host = hostPath(winPath);
    struct stat st;
    if (!statHost(host, &st)) raise(ErrFileNotFound, winPath);
    return host;
}

// Windows wildcard matching without regard to case; '*' any run, '?' one character.
bool matchFrom(const QString& p, int pi, const QString& n, int ni) {
    while (pi < p.size()) {
        const QChar c = p[pi];
        if (c == '*') {
            while (pi < p.size() && p[pi] == '*')
                ++pi;
            if (pi == p.size()) return true;
            for (int k = ni; k <= n.size(); ++k)
                if (matchFrom(p, pi, n, k)) return true;
            return false;
        }
        if (ni >= n.size()) {
            // "name." matches "name" and trailing "?" may match nothing, as in DOS
            if (c == '.' && pi == p.size() - 1) return true;
            if (c == '?') {
                ++pi;
                continue;
            }
            return false;
        }
        if (c != '?' && c.toCaseFolded() != n[ni].toCaseFolded()) return false;
        ++pi;
        ++ni;
    }
    return ni == n.size();
}

} // namespace

bool wildcardMatch(const QString& pattern, const QString& name) {
    if (pattern == "*.*" || pattern == "*") return true;
    if (pattern.size() > 256 || pattern.count('*') > 16)
        return pattern.compare(name, Qt::CaseInsensitive) == 0;
    return matchFrom(pattern, 0, name, 0);
}

int GetAttr(const QString& winPath) {
    const QString host = hostPath(winPath);
    struct stat st;
    if (!statHost(host, &st)) raise(ErrFileNotFound, winPath);
    return attributesOf(host, st);
}

void SetAttr(const QString& winPath, int attributes) {
    const QString host = existingHost(winPath);
    struct stat st;
    statHost(host, &st);
    const bool isDir = S_ISDIR(st.st_mode);
    const int want = attributes & kStoredBits;
    const bool readOnly = attributes & vbReadOnly;
    auto storeBits = [&] {
        const int stored = storedBits(host);
        if (stored == want || (stored < 0 && want == defaultBits(host, isDir))) return;
        const QByteArray value = "0x" + QByteArray::number(want, 16);
        if (setxattr(local(host).constData(), kDosAttrib, value.constData(), size_t(value.size()), 0) != 0) {
            if (errno == ENOTSUP || errno == EOPNOTSUPP)
                throw RuntimeError(ErrPermissionDenied,
                                   QStringLiteral("このドライブには隠しファイル・システム・アーカイブの属性を"
                                                  "記録できません（%1）")
                                       .arg(winPath));
            raiseFromErrno(errno, winPath);
        }
    };
    auto setMode = [&] {
        mode_t mode = st.st_mode & 07777;
        mode = readOnly ? (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
        if (mode != (st.st_mode & 07777) && chmod(local(host).constData(), mode) != 0)
            raiseFromErrno(errno, winPath);
    };
    // The extended attribute can only be written while the file may be written.
    if (readOnly) {
        storeBits();
        setMode();
    } else {
        setMode();
        storeBits();
    }
}

QStringList Dir(const QString& pattern, int mask) {
    const QString full = fullPath(pattern);
    const int slash = full.lastIndexOf('\\');
    const QString folder = full.left(slash + 1);
    QString name = full.mid(slash + 1);
    if (name.isEmpty()) name = "*";
    const QString hostDir = hostPath(folder);
    if (hostDir.isEmpty() || !QFileInfo(hostDir).isDir()) return {};
    QStringList candidates;
    if (!name.contains('*') && !name.contains('?')) {
        const QString host = hostPath(full);
        if (!host.isEmpty() && (QFileInfo::exists(host) || QFileInfo(host).isSymLink()))
            candidates << QFileInfo(host).fileName();
    } else {
        for (const QString& e : QDir(hostDir).entryList(
                 QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
            if (wildcardMatch(name, e)) candidates << e;
    }
    QStringList out;
    for (const QString& e : candidates) {
        const QString host = hostDir.endsWith('/') ? hostDir + e : hostDir + "/" + e;
        struct stat st;
        if (!statHost(host, &st)) continue;
        const int a = attributesOf(host, st);
        if ((a & vbDirectory) && !(mask & vbDirectory)) continue;
        if ((a & vbHidden) && !(mask & vbHidden)) continue;
        if ((a & vbSystem) && !(mask & vbSystem)) continue;
        out << e;
    }
    return out;
}

bool DirExists(const QString& pattern, int mask) {
    return !Dir(pattern, mask).isEmpty();
}

qint64 FileLen(const QString& winPath) {
    const QString host = existingHost(winPath);
    return QFileInfo(host).size();
}

QDateTime FileDateTime(const QString& winPath) {
    const QString host = existingHost(winPath);
    return QFileInfo(host).lastModified();
}

void FileCopy(const QString& from, const QString& to) {
    const QString src = existingHost(from);
    const QString dst = hostPath(to);
    if (dst.isEmpty()) raise(ErrPathNotFound, to);
    if (QFileInfo(src).isDir()) raise(ErrPathFileAccess, from);
    struct stat st;
    if (statHost(dst, &st) && (S_ISDIR(st.st_mode) || !(st.st_mode & S_IWUSR))) raise(ErrPathFileAccess, to);
    std::error_code ec;
    std::filesystem::copy_file(local(src).toStdString(), local(dst).toStdString(),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) raiseFromErrno(ec.value(), to);
}

void Kill(const QString& winPath) {
    const QString host = existingHost(winPath);
    struct stat st;
    statHost(host, &st);
    if (S_ISDIR(st.st_mode)) raise(ErrFileNotFound, winPath);
    if (!(st.st_mode & S_IWUSR)) raise(ErrPathFileAccess, winPath);
    if (unlink(local(host).constData()) != 0) raiseFromErrno(errno, winPath);
}

void Name(const QString& from, const QString& to) {
    const QString src = existingHost(from);
    const QString dst = hostPath(to);
    if (dst.isEmpty()) raise(ErrPathNotFound, to);
    struct stat st;
    // Another spelling of the same name is a rename, not a clash.
    if (statHost(dst, &st) && QFileInfo(src).canonicalFilePath() != QFileInfo(dst).canonicalFilePath())
        raise(ErrFileAlreadyExists, to);
    if (!QFileInfo(QFileInfo(dst).absolutePath()).isDir()) raise(ErrPathNotFound, to);
    if (rename(local(src).constData(), local(dst).constData()) == 0) return;
    if (errno != EXDEV) raiseFromErrno(errno, to);
    std::error_code ec;
    std::filesystem::copy(local(src).toStdString(), local(dst).toStdString(),
                          std::filesystem::copy_options::recursive, ec);
    if (ec) raiseFromErrno(ec.value(), to);
    std::filesystem::remove_all(local(src).toStdString(), ec);
}

void MkDir(const QString& winPath) {
    QString p = fullPath(winPath);
    const QString host = hostPath(p);
    if (host.isEmpty()) raise(ErrDeviceUnavailable, winPath);
    if (p.size() <= 3) raise(ErrPathFileAccess, winPath); // a drive root
    if (QFileInfo::exists(host)) raise(ErrPathFileAccess, winPath);
    if (!QFileInfo(QFileInfo(host).absolutePath()).isDir()) raise(ErrPathNotFound, winPath);
    if (mkdir(local(host).constData(), 0777) != 0) raiseFromErrno(errno == EEXIST ? EEXIST : errno, winPath);
}

void RmDir(const QString& winPath) {
    const QString host = existingHost(winPath);
    if (!QFileInfo(host).isDir()) raise(ErrPathNotFound, winPath);
    if (rmdir(local(host).constData()) != 0) raiseFromErrno(errno, winPath);
}

} // namespace plat
