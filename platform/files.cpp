// GLib first: its headers use the word "signals", which Qt's headers turn into a keyword.
#include <gio/gio.h>

#include "drives.h"
#include "errors.h"
#include "files.h"
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
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

QString joinHost(const QString& dir, const QString& name) {
    return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

// The stored hidden/system/archive bits, or -1 when nothing usable is stored. The value is
// "0x" and hex digits; whatever follows the digits (Samba adds a NUL and more) is ignored.
int storedBits(const QString& host) {
    char buf[256];
    const ssize_t n = ::getxattr(local(host).constData(), kDosAttrib, buf, sizeof buf);
    if (n < 3) return -1;
    if (buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X')) return -1;
    int value = 0;
    ssize_t i = 2;
    for (; i < n && i < 10; ++i) {
        const int d = QChar::fromLatin1(buf[i]).isDigit() ? buf[i] - '0'
                      : (buf[i] >= 'a' && buf[i] <= 'f')  ? buf[i] - 'a' + 10
                      : (buf[i] >= 'A' && buf[i] <= 'F')  ? buf[i] - 'A' + 10
                                                          : -1;
        if (d < 0) break;
        value = value * 16 + d;
    }
    if (i == 2) return -1;
    return value & kStoredBits;
}

// What a file or folder reads as while nothing is stored for it.
int defaultBits(const QString& host, bool isDir) {
    const QString name = QFileInfo(host).fileName();
    int bits = isDir ? 0 : vbArchive;
    if (name.startsWith(QLatin1Char('.')) && name != QLatin1String(".") && name != QLatin1String(".."))
        bits |= vbHidden;
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
    if (::stat(local(host).constData(), st) == 0) return true;
    return ::lstat(local(host).constData(), st) == 0; // a link whose target is gone reads as a file
}

bool parentIsFolder(const QString& host) {
    return QFileInfo(QFileInfo(host).absolutePath()).isDir();
}

// Host path of an existing file or folder; 53 (76 when its folder is missing) otherwise.
QString existingHost(const QString& winPath, struct stat* st) {
    const QString host = hostPath(winPath);
    if (!statHost(host, st))
        raise(!host.isEmpty() && parentIsFolder(host) ? ErrFileNotFound : ErrPathNotFound, winPath);
    return host;
}

// The last component of a Windows path as the caller wrote it.
QString lastComponent(const QString& winPath) {
    const QString full = fullPath(winPath);
    return full.mid(full.lastIndexOf(QLatin1Char('\\')) + 1);
}

// Maps a GIO failure to the runtime's number.
[[noreturn]] void raiseFromGError(GError* error, const QString& what, bool sourceSide) {
    int number = ErrPathFileAccess;
    if (error && error->domain == G_IO_ERROR) {
        switch (error->code) {
        case G_IO_ERROR_NOT_FOUND:
            number = sourceSide ? ErrFileNotFound : ErrPathNotFound;
            break;
        case G_IO_ERROR_EXISTS:
            number = ErrFileAlreadyExists;
            break;
        case G_IO_ERROR_NO_SPACE:
            number = ErrDiskFull;
            break;
        case G_IO_ERROR_PERMISSION_DENIED:
        case G_IO_ERROR_READ_ONLY:
            number = ErrPermissionDenied;
            break;
        case G_IO_ERROR_INVALID_FILENAME:
        case G_IO_ERROR_FILENAME_TOO_LONG:
            number = ErrBadFileName;
            break;
        default:
            break;
        }
    }
    if (error) g_error_free(error);
    raise(number, what);
}

// Copies or moves one file with its times, mode and extended attributes.
void transfer(const QString& src, const QString& dst, bool move, const QString& what) {
    GFile* from = g_file_new_for_path(local(src).constData());
    GFile* to = g_file_new_for_path(local(dst).constData());
    GError* error = nullptr;
    const auto flags =
        GFileCopyFlags(G_FILE_COPY_OVERWRITE | G_FILE_COPY_ALL_METADATA | G_FILE_COPY_NOFOLLOW_SYMLINKS);
    const gboolean ok = move ? g_file_move(from, to, flags, nullptr, nullptr, nullptr, &error)
                             : g_file_copy(from, to, GFileCopyFlags(flags & ~G_FILE_COPY_NOFOLLOW_SYMLINKS),
                                           nullptr, nullptr, nullptr, &error);
    g_object_unref(from);
    g_object_unref(to);
    if (!ok) raiseFromGError(error, what, false);
}

// Matches pattern p against name n, both case-folded code points. '*' takes any run, '?'
// one character (or none at the end of the name, as DOS had it).
bool matchCodePoints(const QList<uint>& p, const QList<uint>& n) {
    qsizetype pi = 0, ni = 0, starP = -1, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = ++pi;
            starN = ni;
        } else if (starP >= 0) {
            pi = starP;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && (p[pi] == '*' || p[pi] == '?'))
        ++pi;
    return pi == p.size();
}

bool matchFolded(const QString& pattern, const QString& name) {
    return matchCodePoints(pattern.toCaseFolded().toUcs4(), name.toCaseFolded().toUcs4());
}

} // namespace

bool wildcardMatch(const QString& pattern, const QString& name) {
    if (pattern.isEmpty()) return false;
    if (matchFolded(pattern, name)) return true;
    // "name.*" also takes "name", and "*.*" so every name.
    if (pattern.endsWith(QLatin1String(".*")) && matchFolded(pattern.chopped(2), name)) return true;
    // A trailing dot asks for a name without an extension ("*." lists names without a dot).
    if (pattern.endsWith(QLatin1Char('.'))) {
        QString stem = pattern;
        while (stem.endsWith(QLatin1Char('.')))
            stem.chop(1);
        if (stem.isEmpty()) return false;
        if (!stem.contains(QLatin1Char('.')) && name.contains(QLatin1Char('.'))) return false;
        return matchFolded(stem, name);
    }
    return false;
}

int GetAttr(const QString& winPath) {
    struct stat st {};
    const QString host = existingHost(winPath, &st);
    return attributesOf(host, st);
}

int GetAttrOr(const QString& winPath, int fallback) {
    try {
        return GetAttr(winPath);
    } catch (const RuntimeError&) {
        return fallback;
    }
}

bool FolderExists(const QString& winPath) {
    return (GetAttrOr(winPath, 0) & vbDirectory) != 0;
}

void SetAttr(const QString& winPath, int attributes) {
    struct stat st {};
    const QString host = existingHost(winPath, &st);
    const QByteArray name = local(host);
    const bool isDir = S_ISDIR(st.st_mode);
    const mode_t oldMode = st.st_mode & 07777;
    const mode_t newMode =
        (attributes & vbReadOnly) ? (oldMode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (oldMode | S_IWUSR);
    const int want = attributes & kStoredBits;
    const int stored = storedBits(host);
    const bool store = !(stored == want || (stored < 0 && want == defaultBits(host, isDir)));

    if (store) {
        // The extended attribute can only be written while the owner may write.
        const bool lift = !(oldMode & S_IWUSR);
        if (lift && ::chmod(name.constData(), oldMode | S_IWUSR) != 0)
            raiseFromErrno(errno, winPath, ErrnoUse::Path);
        const QByteArray value = "0x" + QByteArray::number(want, 16);
        if (::setxattr(name.constData(), kDosAttrib, value.constData(), size_t(value.size()), 0) != 0) {
            const int err = errno;
            if (lift) ::chmod(name.constData(), oldMode);
            if (err == ENOTSUP || err == EOPNOTSUPP)
                throw RuntimeError(ErrPermissionDenied,
                                   QStringLiteral("このドライブには隠しファイル・システム・アーカイブの属性を"
                                                  "記録できません（%1）")
                                       .arg(winPath));
            raiseFromErrno(err, winPath, ErrnoUse::Path);
        }
        if (lift && newMode == (oldMode | S_IWUSR)) return;
    }
    if (newMode != oldMode || store) {
        if (::chmod(name.constData(), newMode) != 0) raiseFromErrno(errno, winPath, ErrnoUse::Path);
    }
}

QStringList Dir(const QString& pattern, int mask) {
    if (pattern.isEmpty()) return {};
    QString p = pattern;
    p.replace(QLatin1Char('/'), QLatin1Char('\\'));
    // "C:\WINDOWS\" and "C:" list the folder's entries.
    if (p.endsWith(QLatin1Char('\\')) || (p.size() == 2 && p[1] == QLatin1Char(':'))) p += QLatin1Char('*');
    const QString full = fullPath(p);
    const qsizetype slash = full.lastIndexOf(QLatin1Char('\\'));
    const QString folder = full.left(slash + 1);
    const QString name = full.mid(slash + 1);
    if (name.isEmpty()) return {}; // the drive root itself
    const QString hostDir = hostPath(folder);
    if (hostDir.isEmpty() || !QFileInfo(hostDir).isDir()) return {};

    QStringList candidates;
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        const QString host = hostPath(full);
        struct stat st {};
        if (statHost(host, &st)) candidates << QFileInfo(host).fileName();
    } else {
        const QStringList entries =
            QDir(hostDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                    QDir::Name | QDir::IgnoreCase);
        for (const QString& e : entries)
            if (wildcardMatch(name, e)) candidates << e;
    }
    QStringList out;
    for (const QString& e : candidates) {
        const QString host = joinHost(hostDir, e);
        struct stat st {};
        if (!statHost(host, &st)) continue;
        const int a = attributesOf(host, st);
        if (a & (vbDirectory | vbHidden | vbSystem) & ~mask) continue;
        out << e;
    }
    return out;
}

bool DirExists(const QString& pattern, int mask) {
    return !Dir(pattern, mask).isEmpty();
}

qint64 FileLen(const QString& winPath) {
    struct stat st {};
    existingHost(winPath, &st);
    return S_ISDIR(st.st_mode) ? 0 : qint64(st.st_size);
}

QDateTime FileDateTime(const QString& winPath) {
    struct stat st {};
    existingHost(winPath, &st);
    return QDateTime::fromSecsSinceEpoch(st.st_mtime);
}

void FileCopy(const QString& from, const QString& to) {
    struct stat sst {};
    const QString src = existingHost(from, &sst);
    if (S_ISDIR(sst.st_mode)) raise(ErrPathFileAccess, from);
    const QString dst = hostPath(to);
    if (dst.isEmpty()) raise(ErrDeviceUnavailable, to);
    if (!parentIsFolder(dst)) raise(ErrPathNotFound, to);
    struct stat dst_st {};
    if (statHost(dst, &dst_st)) {
        if (S_ISDIR(dst_st.st_mode) || !(dst_st.st_mode & S_IWUSR)) raise(ErrPathFileAccess, to);
        if (dst_st.st_dev == sst.st_dev && dst_st.st_ino == sst.st_ino) raise(ErrPermissionDenied, to);
    }
    transfer(src, dst, false, to);
}

void Kill(const QString& winPath) {
    struct stat st {};
    const QString host = existingHost(winPath, &st);
    if (S_ISDIR(st.st_mode)) raise(ErrFileNotFound, winPath);
    if (!(st.st_mode & S_IWUSR)) raise(ErrPathFileAccess, winPath);
    if (::unlink(local(host).constData()) != 0) raiseFromErrno(errno, winPath, ErrnoUse::Path);
}

void Name(const QString& from, const QString& to) {
    struct stat sst {};
    const QString src = existingHost(from, &sst);
    QString dst = hostPath(to);
    if (dst.isEmpty()) raise(ErrDeviceUnavailable, to);
    if (!parentIsFolder(dst)) raise(ErrPathNotFound, to);
    struct stat dst_st {};
    if (statHost(dst, &dst_st)) {
        if (dst_st.st_dev != sst.st_dev || dst_st.st_ino != sst.st_ino) raise(ErrFileAlreadyExists, to);
        // Another spelling of the same name: the new spelling is taken as written.
        dst = joinHost(QFileInfo(dst).absolutePath(), lastComponent(to));
        if (dst == src) return;
    }
    if (::rename(local(src).constData(), local(dst).constData()) == 0) return;
    const int err = errno;
    if (err != EXDEV) raiseFromErrno(err, to, ErrnoUse::Path);
    // Files move to another drive by copy and delete; folders stay on their drive.
    if (S_ISDIR(sst.st_mode)) raise(ErrPathFileAccess, to);
    transfer(src, dst, true, to);
}

void MkDir(const QString& winPath) {
    const QString full = fullPath(winPath);
    const QString host = hostPath(full);
    if (host.isEmpty()) raise(ErrDeviceUnavailable, winPath);
    if (full.size() <= 3) raise(ErrPathFileAccess, winPath); // a drive root
    struct stat st {};
    if (statHost(host, &st)) raise(ErrPathFileAccess, winPath);
    if (!parentIsFolder(host)) raise(ErrPathNotFound, winPath);
    if (::mkdir(local(host).constData(), 0777) != 0) raiseFromErrno(errno, winPath, ErrnoUse::Path);
}

void RmDir(const QString& winPath) {
    const QString host = hostPath(winPath);
    struct stat st {};
    if (!statHost(host, &st) || !S_ISDIR(st.st_mode)) raise(ErrPathNotFound, winPath);
    if (fullPath(winPath).size() <= 3) raise(ErrPathFileAccess, winPath);
    if (::rmdir(local(host).constData()) != 0) raiseFromErrno(errno, winPath, ErrnoUse::Path);
}

} // namespace plat
