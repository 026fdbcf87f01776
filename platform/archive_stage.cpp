// Member names and the staging folder of the archive library.
#include "platform/archive_lzh.h"
#include <QFile>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat::lzh {

namespace {

QString errnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QString fold(const QString& s) {
    return s.toCaseFolded();
}

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

// Drops "C:" (with or without a separator after it) from the front of a name.
QString withoutDrive(const QString& name) {
    if (name.size() >= 2 && name[1] == u':' && name[0].isLetter() && name[0].unicode() < 0x80)
        return name.mid(2);
    return name;
}

} // namespace

std::optional<QStringList> memberComponents(const QString& name) {
    QString path = withoutDrive(name);
    path.replace(u'\\', u'/');
    QStringList result;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..") return std::nullopt;
        if (part == u".") continue;
        result << part;
    }
    return result;
}

std::optional<QString> safeLinkTarget(const QString& target, int depth) {
    if (target.isEmpty() || isSeparator(target[0]) || withoutDrive(target) != target) return std::nullopt;
    QString path = target;
    path.replace(u'\\', u'/');
    QStringList parts;
    int climbs = 0;
    for (const QString& part : path.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u".") continue;
        if (part == u"..") {
            // A ".." after a named component could undo a link and leave the folder.
            if (!parts.isEmpty()) return std::nullopt;
            ++climbs;
            continue;
        }
        parts << part;
    }
    if (climbs > depth) return std::nullopt;
    QStringList all(climbs, QStringLiteral(".."));
    all += parts;
    return all.isEmpty() ? QStringLiteral(".") : all.join(u'/');
}

QString decodeCp932(const QByteArray& bytes) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return QString::fromLatin1(bytes);
    QByteArray out;
    QByteArray in = bytes;
    char* src = in.data();
    size_t left = static_cast<size_t>(in.size());
    std::array<char, 256> buf;
    while (left > 0) {
        char* dst = buf.data();
        size_t room = buf.size();
        const size_t rc = iconv(cd, &src, &left, &dst, &room);
        out.append(buf.data(), static_cast<qsizetype>(buf.size() - room));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // Not CP932: keep the name usable and go on with the next byte.
            out.append('_');
            ++src;
            --left;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return QString::fromUtf8(out);
}

quint16 crc16(quint16 crc, const void* data, std::size_t size) {
    static const std::array<quint16, 256> table = [] {
        std::array<quint16, 256> t{};
        for (unsigned i = 0; i < 256; ++i) {
            unsigned c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
            t[i] = static_cast<quint16>(c);
        }
        return t;
    }();
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i)
        crc = static_cast<quint16>(table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8));
    return crc;
}

// --- Stage ---------------------------------------------------------------------------------

Stage::Stage(const QString& hostRoot) : root_(hostRoot) {}

Stage::~Stage() {
    if (fd_ >= 0) ::close(fd_);
}

QString Stage::host(const QString& relative) const {
    return relative.isEmpty() ? root_ : root_ + u'/' + relative;
}

// Makes (or finds) the first `count` components as folders; *relative receives their path
// as spelled on disk.
Result Stage::folders(const QStringList& components, int count, QString* relative) {
    QString rel;
    for (int i = 0; i < count; ++i) {
        const QString wanted = rel.isEmpty() ? components[i] : rel + u'/' + components[i];
        const auto it = entries_.constFind(fold(wanted));
        if (it != entries_.constEnd()) {
            if (it->kind != Kind::Directory)
                return Result::fail(UnlhaRefused, QStringLiteral("%1 is a file and a folder").arg(it->path));
            rel = it->path;
            continue;
        }
        if (::mkdir(QFile::encodeName(host(wanted)).constData(), 0777) != 0 && errno != EEXIST)
            return Result::fail(UnlhaWriteFailed, QStringLiteral("%1: %2").arg(wanted, errnoText(errno)));
        entries_.insert(fold(wanted), Entry{wanted, Kind::Directory});
        rel = wanted;
    }
    *relative = rel;
    return {};
}

// Takes the place `name` in folder `relative` for a new file or link: an earlier file or
// link of the same name (in any case) gives way, a folder does not.
Result Stage::claim(const QString& relative, const QString& name, Kind kind, QString* path) {
    const QString wanted = relative.isEmpty() ? name : relative + u'/' + name;
    const QString key = fold(wanted);
    const auto it = entries_.constFind(key);
    if (it != entries_.constEnd()) {
        if (it->kind == Kind::Directory)
            return Result::fail(UnlhaRefused, QStringLiteral("%1 is a folder and a file").arg(it->path));
        if (it->kind == Kind::File && ::unlink(QFile::encodeName(host(it->path)).constData()) != 0)
            return Result::fail(UnlhaWriteFailed, QStringLiteral("%1: %2").arg(it->path, errnoText(errno)));
        links_.removeIf([&](const PendingLink& l) { return l.key == key; });
    }
    entries_.insert(key, Entry{wanted, kind});
    *path = wanted;
    return {};
}

Result Stage::addDirectory(const QString& name) {
    const auto parts = memberComponents(name);
    if (!parts) return Result::fail(UnlhaRefused, QStringLiteral("%1: path leaves the folder").arg(name));
    QString rel;
    Result r = folders(*parts, static_cast<int>(parts->size()), &rel);
    if (r.ok()) ++members_;
    return r;
}

Result Stage::beginFile(const QString& name, qint64 mtime) {
    if (fd_ >= 0) return Result::fail(UnlhaDamaged, QStringLiteral("file still open"));
    const auto parts = memberComponents(name);
    if (!parts) return Result::fail(UnlhaRefused, QStringLiteral("%1: path leaves the folder").arg(name));
    if (parts->isEmpty()) return Result::fail(UnlhaDamaged, QStringLiteral("member without a name"));
    QString rel;
    Result r = folders(*parts, static_cast<int>(parts->size()) - 1, &rel);
    if (!r.ok()) return r;
    QString path;
    r = claim(rel, parts->last(), Kind::File, &path);
    if (!r.ok()) return r;
    fd_ = ::open(QFile::encodeName(host(path)).constData(),
                 O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0) return Result::fail(UnlhaWriteFailed, QStringLiteral("%1: %2").arg(path, errnoText(errno)));
    openPath_ = path;
    openMtime_ = mtime;
    return {};
}

Result Stage::write(const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Result::fail(UnlhaWriteFailed, QStringLiteral("%1: %2").arg(openPath_, errnoText(errno)));
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return {};
}

Result Stage::endFile() {
    if (fd_ < 0) return {};
    Result r;
    if (openMtime_ > 0) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(openMtime_), 0}};
        ::futimens(fd_, times); // a file without its date is still the file
    }
    if (::close(fd_) != 0)
        r = Result::fail(UnlhaWriteFailed, QStringLiteral("%1: %2").arg(openPath_, errnoText(errno)));
    fd_ = -1;
    if (r.ok()) ++members_;
    return r;
}

Result Stage::addSymlink(const QString& name, const QString& target) {
    const auto parts = memberComponents(name);
    if (!parts) return Result::fail(UnlhaRefused, QStringLiteral("%1: path leaves the folder").arg(name));
    if (parts->isEmpty()) return Result::fail(UnlhaDamaged, QStringLiteral("link without a name"));
    const int depth = static_cast<int>(parts->size()) - 1;
    const auto cleaned = safeLinkTarget(target, depth);
    if (!cleaned)
        return Result::fail(UnlhaRefused,
                            QStringLiteral("%1 -> %2: link leaves the folder").arg(name, target));
    QString rel;
    Result r = folders(*parts, depth, &rel);
    if (!r.ok()) return r;
    QString path;
    r = claim(rel, parts->last(), Kind::Link, &path);
    if (!r.ok()) return r;
    links_.append(PendingLink{fold(path), path, *cleaned});
    ++members_;
    return {};
}

Result Stage::finish() {
    for (const PendingLink& l : std::as_const(links_)) {
        if (::symlink(QFile::encodeName(l.target).constData(), QFile::encodeName(host(l.path)).constData()) !=
            0)
            return Result::fail(UnlhaWriteFailed, QStringLiteral("%1: %2").arg(l.path, errnoText(errno)));
    }
    links_.clear();
    return {};
}

} // namespace plat::lzh
