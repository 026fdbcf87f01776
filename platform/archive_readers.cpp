// The two LZH decoders behind the archive library: libarchive for the common methods
// (-lh0-, -lh5-, -lh6-, -lh7-, -lz4-) and liblhasa for the older and rarer ones.
#include "platform/archive_lzh.h"
#include <QFile>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <lhasa.h>
#include <locale.h>
#include <memory>
#include <vector>

namespace plat::lzh {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// libarchive converts CP932 names into the character set of the current locale; in the C
// locale that fails. The reading thread therefore runs with a UTF-8 character type.
class Utf8Ctype {
  public:
    Utf8Ctype() {
        if (QByteArray(nl_langinfo(CODESET)) == "UTF-8") return;
        loc_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (loc_) old_ = uselocale(loc_);
    }
    ~Utf8Ctype() {
        if (!loc_) return;
        uselocale(old_);
        freelocale(loc_);
    }
    Utf8Ctype(const Utf8Ctype&) = delete;
    Utf8Ctype& operator=(const Utf8Ctype&) = delete;

  private:
    locale_t loc_ = static_cast<locale_t>(nullptr);
    locale_t old_ = static_cast<locale_t>(nullptr);
};

QString libarchiveText(struct archive* a) {
    const char* s = archive_error_string(a);
    return s ? QString::fromUtf8(s) : QStringLiteral("archive error");
}

// A name from libarchive: UTF-8 when the conversion worked, else the stored bytes.
QString entryName(const char* utf8, const char* raw) {
    if (utf8) return QString::fromUtf8(utf8);
    return raw ? decodeCp932(QByteArray(raw)) : QString();
}

// --- liblhasa over an archive held in memory -------------------------------------------------

struct Memory {
    const uchar* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};

int memoryRead(void* handle, void* buf, size_t len) {
    auto* m = static_cast<Memory*>(handle);
    const std::size_t n = std::min(len, m->size - m->pos);
    std::memcpy(buf, m->data + m->pos, n);
    m->pos += n;
    return static_cast<int>(n);
}

int memorySkip(void* handle, size_t bytes) {
    auto* m = static_cast<Memory*>(handle);
    if (bytes > m->size - m->pos) {
        m->pos = m->size;
        return 0;
    }
    m->pos += bytes;
    return 1;
}

void memoryClose(void*) {}

const LHAInputStreamType kMemoryStream = {memoryRead, memorySkip, memoryClose};

// The archive file mapped (or read) into memory, and a liblhasa reader over it.
class LhasaArchive {
  public:
    explicit LhasaArchive(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::ReadOnly)) return;
        const qint64 size = file_.size();
        if (size <= 0) return;
        const uchar* p = file_.map(0, size);
        if (!p) {
            copy_ = file_.readAll();
            p = reinterpret_cast<const uchar*>(copy_.constData());
        }
        memory_ = Memory{p, static_cast<std::size_t>(size), 0};
        stream_ = lha_input_stream_new(&kMemoryStream, &memory_);
        if (stream_) reader_ = lha_reader_new(stream_);
        if (reader_) lha_reader_set_dir_policy(reader_, LHA_READER_DIR_PLAIN);
    }
    ~LhasaArchive() {
        if (reader_) lha_reader_free(reader_);
        if (stream_) lha_input_stream_free(stream_);
    }
    LhasaArchive(const LhasaArchive&) = delete;
    LhasaArchive& operator=(const LhasaArchive&) = delete;

    bool opened() const { return file_.isOpen(); }
    LHAReader* reader() const { return reader_; }
    const uchar* data() const { return memory_.data; }
    std::size_t size() const { return memory_.size; }

  private:
    QFile file_;
    QByteArray copy_;
    Memory memory_;
    LHAInputStream* stream_ = nullptr;
    LHAReader* reader_ = nullptr;
};

quint32 le16(const uchar* p) {
    return p[0] | (p[1] << 8);
}
quint32 le32(const uchar* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<quint32>(p[3]) << 24);
}

// A name field in the system code page; 0xFF separates folders in extended headers (it is
// never part of a CP932 character).
QString codePageField(const uchar* p, std::size_t n) {
    QByteArray bytes(reinterpret_cast<const char*>(p), static_cast<qsizetype>(n));
    bytes.replace('\xFF', '/');
    return decodeCp932(bytes);
}

// A UTF-16LE name field; 0xFFFF separates folders.
QString utf16Field(const uchar* p, std::size_t n) {
    QString s;
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        const char16_t c = static_cast<char16_t>(le16(p + i));
        s += c == 0xFFFF ? QChar(u'/') : QChar(c);
    }
    return s;
}

// The member's name as stored in its header. liblhasa's own fields are not used: it
// lower-cases all-capital DOS names, folds ".." away and splits Shift-JIS characters whose
// second byte is 0x5C.
std::optional<QString> storedName(const LHAFileHeader* h) {
    const uchar* raw = h->raw_data;
    const std::size_t len = h->raw_data_len;
    QString file, folder, file16, folder16;
    std::size_t sizeField = 2;
    std::size_t ext = 0; // offset of the first "next header size" field; 0 = none
    switch (h->header_level) {
    case 0:
    case 1: {
        if (len < 22) return std::nullopt;
        const std::size_t n = raw[21];
        if (22 + n > len) return std::nullopt;
        file = codePageField(raw + 22, n);
        if (h->header_level == 1) ext = raw[0];
        break;
    }
    case 2:
        ext = 24;
        break;
    case 3:
        sizeField = 4;
        ext = 28;
        break;
    default:
        return std::nullopt;
    }
    if (ext) {
        std::size_t off = ext;
        for (;;) {
            if (off + sizeField > len) return std::nullopt;
            const std::size_t size = sizeField == 4 ? le32(raw + off) : le16(raw + off);
            if (size == 0) break;
            if (size < sizeField + 1 || off + size + sizeField > len) return std::nullopt;
            const uchar* body = raw + off + sizeField;
            const std::size_t n = size - sizeField - 1;
            switch (body[0]) {
            case 0x01:
                file = codePageField(body + 1, n);
                break;
            case 0x02:
                folder = codePageField(body + 1, n);
                break;
            case 0x44:
                file16 = utf16Field(body + 1, n);
                break;
            case 0x45:
                folder16 = utf16Field(body + 1, n);
                break;
            default:
                break;
            }
            off += size;
        }
    }
    if (!file16.isEmpty()) file = file16;
    if (!folder16.isEmpty()) folder = folder16;
    if (!folder.isEmpty() && !file.isEmpty() && !folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    return folder + file;
}

bool isDirectoryMethod(const LHAFileHeader* h) {
    return std::strcmp(h->compress_method, LHA_COMPRESS_TYPE_DIR) == 0;
}

} // namespace

bool needsLhasa(const QString& hostArchive) {
    static const char* const common[] = {"-lh0-", "-lh5-", "-lh6-", "-lh7-", "-lz4-", "-lhd-"};
    LhasaArchive arc(hostArchive);
    if (!arc.reader()) return false;
    while (const LHAFileHeader* h = lha_reader_next_file(arc.reader())) {
        const bool known = std::any_of(std::begin(common), std::end(common), [&](const char* m) {
            return std::strcmp(m, h->compress_method) == 0;
        });
        if (!known) return true;
    }
    return false;
}

Result readWithLibarchive(const QString& hostArchive, Stage& stage) {
    Utf8Ctype ctype;
    std::unique_ptr<struct archive, int (*)(struct archive*)> a(archive_read_new(), archive_read_free);
    archive_read_support_format_lha(a.get());
    archive_read_set_format_option(a.get(), "lha", "hdrcharset", "CP932");
    if (archive_read_open_filename(a.get(), QFile::encodeName(hostArchive).constData(), kChunk) != ARCHIVE_OK)
        return Result::fail(UnlhaDamaged, libarchiveText(a.get()));
    std::vector<char> buf(kChunk);
    for (;;) {
        struct archive_entry* e = nullptr;
        const int r = archive_read_next_header(a.get(), &e);
        if (r == ARCHIVE_EOF) break;
        if (r < ARCHIVE_WARN) return Result::fail(UnlhaDamaged, libarchiveText(a.get()));
        const QString name = entryName(archive_entry_pathname_utf8(e), archive_entry_pathname(e));
        Result step;
        switch (archive_entry_filetype(e)) {
        case AE_IFDIR:
            step = stage.addDirectory(name);
            break;
        case AE_IFLNK:
            step = stage.addSymlink(name, entryName(archive_entry_symlink_utf8(e), archive_entry_symlink(e)));
            break;
        case AE_IFREG: {
            step = stage.beginFile(name, archive_entry_mtime_is_set(e) ? archive_entry_mtime(e) : 0);
            for (la_ssize_t n; step.ok() && (n = archive_read_data(a.get(), buf.data(), buf.size())) != 0;) {
                if (n < 0) {
                    const QString text = libarchiveText(a.get());
                    step = Result::fail(text.contains(u"Unsupported") ? UnlhaUnsupported : UnlhaDamaged,
                                        QStringLiteral("%1: %2").arg(name, text));
                    break;
                }
                step = stage.write(buf.data(), static_cast<std::size_t>(n));
            }
            const Result closed = stage.endFile();
            if (step.ok()) step = closed;
            break;
        }
        default:
            break; // nothing else exists in LZH archives
        }
        if (!step.ok()) return step;
    }
    return {};
}

Result readWithLhasa(const QString& hostArchive, Stage& stage) {
    LhasaArchive arc(hostArchive);
    if (!arc.opened()) return Result::fail(UnlhaNoArchive, QStringLiteral("cannot read %1").arg(hostArchive));
    if (!arc.reader()) return Result::fail(UnlhaDamaged, QStringLiteral("not an LZH archive"));
    std::vector<char> buf(kChunk);
    std::size_t next = 0; // where the header after the current member must start
    bool first = true;
    while (const LHAFileHeader* h = lha_reader_next_file(arc.reader())) {
        // Headers follow each other without gaps; the first may sit behind a program stub.
        // (Only the fixed part is compared: liblhasa clears the header CRC in its copy.)
        const QByteArrayView fixed(h->raw_data,
                                   static_cast<qsizetype>(std::min<std::size_t>(h->raw_data_len, 22)));
        const QByteArrayView whole(arc.data(), static_cast<qsizetype>(arc.size()));
        const std::size_t start = first ? static_cast<std::size_t>(whole.indexOf(fixed)) : next;
        first = false;
        if (start > arc.size() || h->raw_data_len > arc.size() - start ||
            std::memcmp(arc.data() + start, fixed.data(), static_cast<std::size_t>(fixed.size())) != 0)
            return Result::fail(UnlhaDamaged, QStringLiteral("broken header"));
        next = start + h->raw_data_len + h->compressed_length;

        const auto stored = storedName(h);
        if (!stored) return Result::fail(UnlhaDamaged, QStringLiteral("broken header"));
        Result step;
        if (h->symlink_target) {
            const qsizetype bar = stored->indexOf(u'|');
            if (bar < 0) return Result::fail(UnlhaDamaged, QStringLiteral("broken link %1").arg(*stored));
            step = stage.addSymlink(stored->left(bar), stored->mid(bar + 1));
        } else if (isDirectoryMethod(h)) {
            step = stage.addDirectory(*stored);
        } else if (h->length > 0 && !lha_decoder_for_name(const_cast<char*>(h->compress_method))) {
            step = Result::fail(UnlhaUnsupported, QStringLiteral("%1: method %2 unknown")
                                                      .arg(*stored, QString::fromLatin1(h->compress_method)));
        } else {
            step = stage.beginFile(*stored, h->timestamp);
            std::size_t total = 0;
            quint16 crc = 0;
            for (std::size_t n;
                 step.ok() && (n = lha_reader_read(arc.reader(), buf.data(), buf.size())) > 0;) {
                total += n;
                crc = crc16(crc, buf.data(), n);
                step = stage.write(buf.data(), n);
            }
            const Result closed = stage.endFile();
            if (step.ok()) step = closed;
            if (step.ok() && (total != h->length || crc != h->crc))
                step =
                    Result::fail(UnlhaDamaged, QStringLiteral("%1: data damaged (CRC error)").arg(*stored));
        }
        if (!step.ok()) return step;
    }
    // liblhasa stops quietly at a header it cannot read: only the end of the file or the
    // end mark (a zero byte, possibly followed by padding) may follow the last member.
    if (first) return Result::fail(UnlhaDamaged, QStringLiteral("not an LZH archive"));
    if (next > arc.size() || (next < arc.size() && arc.data()[next] != 0))
        return Result::fail(UnlhaDamaged, QStringLiteral("truncated or damaged archive"));
    return {};
}

} // namespace plat::lzh
