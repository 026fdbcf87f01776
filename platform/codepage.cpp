#include "codepage.h"
#include "drives.h"
#include "errors.h"
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace plat {

namespace {

// A byte that is no character travels as U+DC00 + byte (always U+DC80..U+DCFF: every byte
// below 0x80 is a character).
constexpr char16_t kEscapeBase = 0xDC00;
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

qint64 g_failAfter = -1;

// One conversion descriptor per direction, opened on first use and kept.
class Converter {
  public:
    Converter(const char* to, const char* from) : to_(to), from_(from) {}
    ~Converter() {
        if (cd_ != iconv_t(-1)) iconv_close(cd_);
    }
    iconv_t get() {
        if (cd_ == iconv_t(-1)) {
            cd_ = iconv_open(to_, from_);
            if (cd_ == iconv_t(-1)) throw makeError(ErrInvalidCall, QStringLiteral("iconv %1").arg(from_));
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

  private:
    const char* to_;
    const char* from_;
    iconv_t cd_ = iconv_t(-1);
};

Converter& ansiToUtf8() {
    static Converter c("UTF-8", "CP932");
    return c;
}
Converter& utf8ToAnsi() {
    static Converter c("CP932", "UTF-8");
    return c;
}
Converter& utf8Check() {
    static Converter c("UTF-8", "UTF-8");
    return c;
}

// Converts bytes to text through cd (which yields UTF-8); bytes it refuses, and an
// incomplete sequence at the end, become U+DC80 + byte.
QString decodeEscaped(Converter& conv, const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    iconv_t cd = conv.get();
    const char* in = bytes.constData();
    size_t inLeft = size_t(bytes.size());
    QByteArray buf(qMax<qsizetype>(64, bytes.size() * 4), Qt::Uninitialized);
    while (inLeft > 0) {
        char* outp = buf.data();
        size_t outLeft = size_t(buf.size());
        char* inp = const_cast<char*>(in);
        const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        const int err = errno;
        out += QString::fromUtf8(buf.constData(), outp - buf.constData());
        in = inp;
        if (r != size_t(-1)) break;
        if (err == E2BIG) continue;
        // EILSEQ or EINVAL: keep the byte, go on after it.
        out += QChar(char16_t(kEscapeBase + quint8(*in)));
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

bool isEscape(char16_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

// CP932 form of one character (a code point as UTF-8), empty when it has none that reads
// back as the same character.
QByteArray ansiOf(char32_t cp) {
    static QHash<char32_t, QByteArray> cache;
    const auto it = cache.constFind(cp);
    if (it != cache.constEnd()) return *it;
    const QByteArray utf8 = QString::fromUcs4(&cp, 1).toUtf8();
    QByteArray result;
    if (!QChar::isSurrogate(cp) && cp != 0xFFFD) {
        iconv_t cd = utf8ToAnsi().get();
        char outBuf[16];
        char* inp = const_cast<char*>(utf8.constData());
        size_t inLeft = size_t(utf8.size());
        char* outp = outBuf;
        size_t outLeft = sizeof outBuf;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) != size_t(-1) && inLeft == 0 && outp != outBuf) {
            const QByteArray bytes(outBuf, outp - outBuf);
            // Only mappings that read back as the same character count (no best fit).
            if (decodeEscaped(ansiToUtf8(), bytes) == QString::fromUcs4(&cp, 1)) result = bytes;
        }
    }
    cache.insert(cp, result);
    return result;
}

bool checkedWrite(int fd, const QByteArray& data, qint64& budget) {
    const char* p = data.constData();
    qint64 left = data.size();
    while (left > 0) {
        qint64 chunk = left;
        if (budget >= 0) {
            if (budget == 0) {
                errno = ENOSPC;
                return false;
            }
            chunk = qMin(chunk, budget);
        }
        const ssize_t n = ::write(fd, p, size_t(chunk));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
        if (budget >= 0) budget -= n;
    }
    return true;
}

QByteArray encodeUtf8Escaped(const QString& text) {
    QByteArray out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isEscape(text[i].unicode())) continue;
        out += QStringView(text).mid(start, i - start).toUtf8();
        out += char(text[i].unicode() - kEscapeBase);
        start = i + 1;
    }
    out += QStringView(text).mid(start).toUtf8();
    return out;
}

QStringList splitLines(const QByteArray& content, bool utf8) {
    QStringList lines;
    qsizetype pos = 0;
    const qsizetype n = content.size();
    while (pos < n) {
        qsizetype end = content.indexOf('\n', pos);
        const qsizetype next = end < 0 ? n : end + 1;
        if (end < 0) end = n;
        qsizetype stop = end;
        if (end < n && stop > pos && content[stop - 1] == '\r') --stop;
        const QByteArray line = content.mid(pos, stop - pos);
        lines << (utf8 ? decodeEscaped(utf8Check(), line) : fromAnsi(line));
        pos = next;
    }
    return lines;
}

} // namespace

QString fromAnsi(const QByteArray& bytes) {
    // Plain ASCII needs no conversion.
    bool ascii = true;
    for (char c : bytes)
        if (quint8(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return QString::fromLatin1(bytes);
    return decodeEscaped(ansiToUtf8(), bytes);
}

QByteArray toAnsi(const QString& text, bool* ok) {
    QByteArray out;
    out.reserve(text.size() * 2);
    bool fits = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out += char(u);
            continue;
        }
        if (isEscape(u)) {
            out += char(u - kEscapeBase);
            continue;
        }
        char32_t cp = u;
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(u, text[i + 1].unicode());
            ++i;
        }
        const QByteArray bytes = ansiOf(cp);
        if (bytes.isEmpty()) {
            fits = false;
            out += '?';
        } else {
            out += bytes;
        }
    }
    if (ok) *ok = fits;
    return out;
}

bool fitsAnsi(const QString& text) {
    bool ok = true;
    toAnsi(text, &ok);
    return ok;
}

QStringList decodeLines(const QByteArray& content) {
    if (content.startsWith(kUtf8Bom)) return splitLines(content.mid(kUtf8Bom.size()), true);
    return splitLines(content, false);
}

QByteArray encodeLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines) {
        bool ok = true;
        out += toAnsi(line, &ok);
        if (!ok) {
            // This text needs more than the code page holds: the whole file goes UTF-8.
            QByteArray utf8 = kUtf8Bom;
            for (const QString& l : lines)
                utf8 += encodeUtf8Escaped(l) + "\r\n";
            return utf8;
        }
        out += "\r\n";
    }
    return out;
}

QStringList readTextFile(const QString& winPath) {
    const QString host = hostPath(winPath);
    if (host.isEmpty()) throw makeError(ErrDeviceUnavailable, winPath);
    const QByteArray name = QFile::encodeName(host);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT && !QFileInfo(QFileInfo(host).absolutePath()).isDir())
            throw makeError(ErrPathNotFound, winPath);
        raiseFromErrno(err, winPath);
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw makeError(ErrPathFileAccess, winPath);
    }
    QByteArray content;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            raiseFromErrno(err, winPath);
        }
        if (n == 0) break;
        content.append(buf, n);
    }
    ::close(fd);
    return decodeLines(content);
}

void writeTextFile(const QString& winPath, const QStringList& lines) {
    QString host = hostPath(winPath);
    if (host.isEmpty()) throw makeError(ErrDeviceUnavailable, winPath);
    // A link is followed: the file it names is the one replaced.
    const QFileInfo info(host);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty()) host = info.canonicalFilePath();

    const QString folder = QFileInfo(host).absolutePath();
    if (!QFileInfo(folder).isDir()) throw makeError(ErrPathNotFound, winPath);
    const QByteArray target = QFile::encodeName(host);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) throw makeError(ErrPathFileAccess, winPath);
        if (!(old.st_mode & S_IWUSR)) throw makeError(ErrPermissionDenied, winPath);
    }

    const QByteArray content = encodeLines(lines);
    QByteArray tmpl = QFile::encodeName(folder + QStringLiteral("/.") + QFileInfo(host).fileName() +
                                        QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) throw makeError(ErrPathNotFound, winPath);
        raiseFromErrno(err, winPath);
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.constData());
        raiseFromErrno(err, winPath);
    };
    qint64 budget = g_failAfter;
    if (!checkedWrite(fd, content, budget)) fail(errno);
    if (::fsync(fd) != 0) fail(errno);
    if (exists) {
        ::fchmod(fd, old.st_mode & 07777);
        // The hidden, system and archive bits travel with the file.
        char attr[256];
        const ssize_t n = ::getxattr(target.constData(), "user.DOSATTRIB", attr, sizeof attr);
        if (n > 0) ::fsetxattr(fd, "user.DOSATTRIB", attr, size_t(n), 0);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        raiseFromErrno(err, winPath);
    }
    if (::rename(tmpl.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tmpl.constData());
        raiseFromErrno(err, winPath);
    }
    const int dirfd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd >= 0) {
        ::fsync(dirfd);
        ::close(dirfd);
    }
}

void setWriteFailureAfter(qint64 n) {
    g_failAfter = n;
}

} // namespace plat
