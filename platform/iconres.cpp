#include "platform/iconres.h"
#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>

namespace plat::iconres {

namespace {

// One image never exceeds this (a 256 x 256 icon at 32 bits is 256 KiB; PNG icons are smaller).
constexpr std::uint64_t kMaxImageBytes = 16u << 20;
// A group's images together never exceed this.
constexpr std::uint64_t kMaxGroupBytes = 64u << 20;
// Real icon groups hold a handful of images; a directory claiming more is damaged.
constexpr int kMaxGroupEntries = 256;
// Decoded icons above this size are refused before they reach the image reader.
constexpr std::int64_t kMaxIconSide = 1024;

constexpr std::uint16_t RT_ICON = 3;
constexpr std::uint16_t RT_GROUP_ICON = 14;

class Reader {
  public:
    explicit Reader(Bytes d) : d_(d) {}
    std::uint64_t size() const { return d_.size(); }
    bool has(std::uint64_t off, std::uint64_t len) const {
        return off <= d_.size() && len <= d_.size() - off;
    }
    // Callers check has() first; out-of-range reads give 0 all the same.
    std::uint8_t u8(std::uint64_t off) const { return has(off, 1) ? d_[off] : 0; }
    std::uint16_t u16(std::uint64_t off) const {
        return has(off, 2) ? std::uint16_t(d_[off] | (d_[off + 1] << 8)) : 0;
    }
    std::uint32_t u32(std::uint64_t off) const {
        return has(off, 4) ? std::uint32_t(d_[off]) | std::uint32_t(d_[off + 1]) << 8 |
                                 std::uint32_t(d_[off + 2]) << 16 | std::uint32_t(d_[off + 3]) << 24
                           : 0;
    }
    Bytes sub(std::uint64_t off, std::uint64_t len) const { return d_.subspan(off, len); }

  private:
    Bytes d_;
};

QByteArray toByteArray(Bytes b) {
    return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size()));
}

// The entries of a group directory (GRPICONDIR in a resource, 14-byte entries ending in the
// id of the RT_ICON resource that holds the image).
struct GroupItem {
    IconEntry fields;
    std::uint16_t id = 0;
};

std::vector<GroupItem> readGroupDir(Bytes data) {
    Reader r(data);
    std::vector<GroupItem> items;
    if (!r.has(0, 6) || r.u16(0) != 0 || r.u16(2) != 1) return items;
    const int count = std::min<int>(r.u16(4), kMaxGroupEntries);
    for (int i = 0; i < count; ++i) {
        const std::uint64_t p = 6 + 14 * std::uint64_t(i);
        if (!r.has(p, 14)) break;
        GroupItem it;
        it.fields.width = r.u8(p);
        it.fields.height = r.u8(p + 1);
        it.fields.colorCount = r.u8(p + 2);
        it.fields.planes = r.u16(p + 4);
        it.fields.bitCount = r.u16(p + 6);
        it.id = r.u16(p + 12);
        items.push_back(std::move(it));
    }
    return items;
}

// ---- PE ----------------------------------------------------------------------------------

struct Section {
    std::uint32_t va = 0, virtualSize = 0, rawSize = 0, rawPtr = 0;
};

struct ResEntry {
    bool named = false;
    std::uint32_t id = 0;
    bool isDir = false;
    std::uint32_t offset = 0; // from the start of the resource directory
};

class PeFile {
  public:
    static std::optional<PeFile> open(Bytes data, std::uint32_t peOffset) {
        Reader r(data);
        PeFile pe(data);
        if (!r.has(peOffset, 24)) return std::nullopt;
        const std::uint64_t coff = peOffset + 4;
        const unsigned sectionCount = r.u16(coff + 2);
        const std::uint64_t optSize = r.u16(coff + 16);
        const std::uint64_t opt = coff + 20;
        if (!r.has(opt, 2)) return std::nullopt;
        std::uint64_t rvaCountAt = 0, dirs = 0;
        switch (r.u16(opt)) {
        case 0x10b:
            rvaCountAt = opt + 92, dirs = opt + 96;
            break;
        case 0x20b:
            rvaCountAt = opt + 108, dirs = opt + 112;
            break;
        default:
            return std::nullopt;
        }
        if (!r.has(rvaCountAt, 4)) return std::nullopt;
        if (r.u32(rvaCountAt) > 2 && r.has(dirs + 16, 8)) {
            pe.rsrcRva_ = r.u32(dirs + 16);
            pe.rsrcSize_ = r.u32(dirs + 20);
        }
        // The loader accepts at most 96 sections; the table follows the optional header.
        const std::uint64_t table = opt + optSize;
        for (unsigned i = 0; i < std::min(sectionCount, 96u); ++i) {
            const std::uint64_t s = table + 40 * std::uint64_t(i);
            if (!r.has(s, 40)) break;
            pe.sections_.push_back({r.u32(s + 12), r.u32(s + 8), r.u32(s + 16), r.u32(s + 20)});
        }
        return pe;
    }

    bool hasResources() const { return rsrcRva_ != 0 && rsrcSize_ != 0; }

    // File offset of len bytes at a relative virtual address, inside one section's raw data.
    std::optional<std::uint64_t> offsetOf(std::uint64_t rva, std::uint64_t len) const {
        for (const Section& s : sections_) {
            if (rva < s.va) continue;
            const std::uint64_t rel = rva - s.va;
            if (rel >= s.rawSize || len > s.rawSize - rel) continue;
            const std::uint64_t off = std::uint64_t(s.rawPtr) + rel;
            if (!r_.has(off, len)) continue;
            return off;
        }
        return std::nullopt;
    }

    // The entries of the resource directory at an offset from the resource root. A count
    // larger than the bytes behind it ends at the last whole entry.
    std::vector<ResEntry> directory(std::uint32_t offset) const {
        std::vector<ResEntry> out;
        const std::uint64_t rva = std::uint64_t(rsrcRva_) + offset;
        const auto head = offsetOf(rva, 16);
        if (!head) return out;
        const unsigned named = r_.u16(*head + 12);
        const unsigned ids = r_.u16(*head + 14);
        const unsigned count = named + ids;
        for (unsigned i = 0; i < count; ++i) {
            const auto at = offsetOf(rva + 16 + 8 * std::uint64_t(i), 8);
            if (!at) break;
            const std::uint32_t name = r_.u32(*at);
            const std::uint32_t target = r_.u32(*at + 4);
            ResEntry e;
            e.named = (name & 0x80000000u) != 0;
            e.id = name & 0x7fffffffu;
            e.isDir = (target & 0x80000000u) != 0;
            e.offset = target & 0x7fffffffu;
            out.push_back(e);
        }
        return out;
    }

    // The bytes of a data entry (IMAGE_RESOURCE_DATA_ENTRY at an offset from the root).
    std::optional<Bytes> data(std::uint32_t offset) const {
        const auto entry = offsetOf(std::uint64_t(rsrcRva_) + offset, 16);
        if (!entry) return std::nullopt;
        const std::uint32_t rva = r_.u32(*entry);
        const std::uint32_t size = r_.u32(*entry + 4);
        if (size == 0 || size > kMaxImageBytes) return std::nullopt;
        const auto at = offsetOf(rva, size);
        if (!at) return std::nullopt;
        return r_.sub(*at, size);
    }

    // A named resource's bytes: the first language that holds data. The tree has a fixed
    // depth, so a subdirectory pointing back up is simply not data.
    std::optional<Bytes> firstLanguage(const ResEntry& name) const {
        if (!name.isDir) return data(name.offset);
        int tried = 0;
        for (const ResEntry& lang : directory(name.offset)) {
            if (++tried > 64) break;
            if (lang.isDir) continue;
            if (auto d = data(lang.offset)) return d;
        }
        return std::nullopt;
    }

    std::optional<ResEntry> typeEntry(std::uint16_t type) const {
        for (const ResEntry& e : directory(0))
            if (!e.named && e.id == type && e.isDir) return e;
        return std::nullopt;
    }

  private:
    explicit PeFile(Bytes d) : r_(d) {}
    Reader r_;
    std::uint32_t rsrcRva_ = 0, rsrcSize_ = 0;
    std::vector<Section> sections_;
};

int peGroupCount(const PeFile& pe) {
    if (!pe.hasResources()) return 0;
    const auto groups = pe.typeEntry(RT_GROUP_ICON);
    return groups ? int(pe.directory(groups->offset).size()) : 0;
}

IconGroup peGroup(const PeFile& pe, int index) {
    IconGroup out;
    if (!pe.hasResources() || index < 0) return out;
    const auto groupType = pe.typeEntry(RT_GROUP_ICON);
    const auto iconType = pe.typeEntry(RT_ICON);
    if (!groupType || !iconType) return out;
    const auto groups = pe.directory(groupType->offset);
    if (std::size_t(index) >= groups.size()) return out;
    const auto dir = pe.firstLanguage(groups[std::size_t(index)]);
    if (!dir) return out;
    std::vector<GroupItem> items = readGroupDir(*dir);
    if (items.empty()) return out;

    std::unordered_map<std::uint32_t, ResEntry> icons;
    for (const ResEntry& e : pe.directory(iconType->offset))
        if (!e.named) icons.emplace(e.id, e);
    std::uint64_t total = 0;
    for (GroupItem& it : items) {
        const auto found = icons.find(it.id);
        if (found == icons.end()) continue;
        const auto bytes = pe.firstLanguage(found->second);
        if (!bytes || total + bytes->size() > kMaxGroupBytes) continue;
        total += bytes->size();
        it.fields.image = toByteArray(*bytes);
        out.push_back(std::move(it.fields));
    }
    return out;
}

// ---- NE (16-bit Windows) -------------------------------------------------------------------

struct NeResource {
    std::uint16_t id = 0; // 0 for named resources
    std::uint64_t offset = 0, length = 0;
};

struct NeResources {
    std::vector<NeResource> groups, icons;
};

std::optional<NeResources> neResources(Bytes data, std::uint32_t ne) {
    Reader r(data);
    if (!r.has(ne, 0x40)) return std::nullopt;
    NeResources out;
    const std::uint16_t tableOffset = r.u16(ne + 0x24);
    if (tableOffset == 0 || tableOffset == r.u16(ne + 0x26)) return out; // no resource table
    std::uint64_t p = std::uint64_t(ne) + tableOffset;
    if (!r.has(p, 2)) return std::nullopt;
    const unsigned shift = r.u16(p);
    if (shift > 24) return std::nullopt;
    p += 2;
    // Each type block moves p forward by at least 8 bytes, so the walk ends with the file.
    while (r.has(p, 2)) {
        const std::uint16_t type = r.u16(p);
        if (type == 0) break;
        if (!r.has(p, 8)) break;
        const unsigned count = r.u16(p + 2);
        p += 8;
        for (unsigned i = 0; i < count; ++i) {
            const std::uint64_t e = p + 12 * std::uint64_t(i);
            if (!r.has(e, 12)) break;
            const std::uint16_t id = r.u16(e + 6);
            NeResource res{std::uint16_t((id & 0x8000) ? id & 0x7fff : 0), std::uint64_t(r.u16(e)) << shift,
                           std::uint64_t(r.u16(e + 2)) << shift};
            if (type == (0x8000 | RT_GROUP_ICON))
                out.groups.push_back(res);
            else if (type == (0x8000 | RT_ICON))
                out.icons.push_back(res);
        }
        p += 12 * std::uint64_t(count);
    }
    return out;
}

// Lengths are rounded up to the alignment unit, so the last resource may end with the file.
std::uint64_t clampedLength(const Reader& r, const NeResource& res) {
    if (res.offset >= r.size()) return 0;
    const std::uint64_t length = std::min(res.length, r.size() - res.offset);
    return length > kMaxImageBytes ? 0 : length;
}

IconGroup neGroup(Bytes data, const NeResources& res, int index) {
    IconGroup out;
    Reader r(data);
    if (index < 0 || std::size_t(index) >= res.groups.size()) return out;
    const NeResource& g = res.groups[std::size_t(index)];
    const std::uint64_t groupLength = clampedLength(r, g);
    if (groupLength == 0) return out;
    std::vector<GroupItem> items = readGroupDir(r.sub(g.offset, groupLength));
    std::uint64_t total = 0;
    for (GroupItem& it : items) {
        const auto found = std::find_if(res.icons.begin(), res.icons.end(),
                                        [&](const NeResource& ic) { return ic.id == it.id && ic.id != 0; });
        if (found == res.icons.end()) continue;
        const std::uint64_t length = clampedLength(r, *found);
        if (length == 0 || total + length > kMaxGroupBytes) continue;
        total += length;
        it.fields.image = toByteArray(r.sub(found->offset, length));
        out.push_back(std::move(it.fields));
    }
    return out;
}

// ---- module dispatch -----------------------------------------------------------------------

enum class ModuleKind { None, Pe, Ne };

ModuleKind moduleKind(Bytes data, std::uint32_t& header) {
    Reader r(data);
    if (!looksLikeModule(data) || !r.has(0x3c, 4)) return ModuleKind::None;
    header = r.u32(0x3c);
    if (r.has(header, 4) && std::memcmp(data.data() + header, "PE\0\0", 4) == 0) return ModuleKind::Pe;
    if (r.has(header, 2) && std::memcmp(data.data() + header, "NE", 2) == 0) return ModuleKind::Ne;
    return ModuleKind::None;
}

bool isPng(const QByteArray& b) {
    return b.startsWith("\x89PNG\r\n\x1a\n");
}

// A DIB image the reader can take: sane header, sides and colour depth.
bool plausibleDib(const QByteArray& b) {
    Reader r(Bytes(reinterpret_cast<const std::uint8_t*>(b.constData()), std::size_t(b.size())));
    if (!r.has(0, 40)) return false;
    const std::uint32_t headerSize = r.u32(0);
    if (headerSize < 40 || headerSize > std::uint64_t(b.size())) return false;
    const std::int64_t w = std::int32_t(r.u32(4));
    const std::int64_t h = std::int32_t(r.u32(8));
    const unsigned bits = r.u16(14);
    if (w <= 0 || w > kMaxIconSide || h <= 0 || h > 2 * kMaxIconSide) return false;
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

bool looksLikeIco(Bytes data) {
    Reader r(data);
    return r.has(0, 6) && r.u16(0) == 0 && r.u16(2) == 1 && r.u16(4) > 0;
}

IconGroup readIco(Bytes data) {
    IconGroup out;
    if (!looksLikeIco(data)) return out;
    Reader r(data);
    const int count = std::min<int>(r.u16(4), kMaxGroupEntries);
    for (int i = 0; i < count; ++i) {
        const std::uint64_t p = 6 + 16 * std::uint64_t(i);
        if (!r.has(p, 16)) break;
        const std::uint32_t size = r.u32(p + 8);
        const std::uint32_t offset = r.u32(p + 12);
        if (size == 0 || size > kMaxImageBytes || !r.has(offset, size)) continue;
        IconEntry e;
        e.width = r.u8(p);
        e.height = r.u8(p + 1);
        e.colorCount = r.u8(p + 2);
        e.planes = r.u16(p + 4);
        e.bitCount = r.u16(p + 6);
        e.image = toByteArray(r.sub(offset, size));
        out.push_back(std::move(e));
    }
    return out;
}

bool looksLikeModule(Bytes data) {
    return data.size() >= 2 && data[0] == 'M' && data[1] == 'Z';
}

int moduleGroupCount(Bytes data) {
    std::uint32_t header = 0;
    switch (moduleKind(data, header)) {
    case ModuleKind::Pe:
        if (const auto pe = PeFile::open(data, header)) return peGroupCount(*pe);
        return -1;
    case ModuleKind::Ne:
        if (const auto res = neResources(data, header)) return int(res->groups.size());
        return -1;
    case ModuleKind::None:
        break;
    }
    return -1;
}

IconGroup moduleGroup(Bytes data, int index) {
    std::uint32_t header = 0;
    switch (moduleKind(data, header)) {
    case ModuleKind::Pe:
        if (const auto pe = PeFile::open(data, header)) return peGroup(*pe, index);
        break;
    case ModuleKind::Ne:
        if (const auto res = neResources(data, header)) return neGroup(data, *res, index);
        break;
    case ModuleKind::None:
        break;
    }
    return {};
}

QByteArray toIcoFile(const IconGroup& group) {
    QByteArray out;
    auto put16 = [&](unsigned v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xffff);
        put16(v >> 16);
    };
    put16(0);
    put16(1);
    put16(unsigned(group.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(group.size());
    for (const IconEntry& e : group) {
        out.append(char(e.width));
        out.append(char(e.height));
        out.append(char(e.colorCount));
        out.append(char(0));
        put16(e.planes);
        put16(e.bitCount);
        put32(std::uint32_t(e.image.size()));
        put32(offset);
        offset += std::uint32_t(e.image.size());
    }
    for (const IconEntry& e : group)
        out.append(e.image);
    return out;
}

std::vector<QImage> decodeGroup(const IconGroup& group) {
    struct Decoded {
        QImage image;
        int depth;
    };
    std::vector<Decoded> all;
    for (const IconEntry& e : group) {
        QImage img;
        int depth = e.bitCount;
        if (isPng(e.image)) {
            QImageReader reader;
            QBuffer buffer;
            buffer.setData(e.image);
            reader.setDevice(&buffer);
            reader.setFormat("png");
            if (reader.size().isValid() &&
                (reader.size().width() > kMaxIconSide || reader.size().height() > kMaxIconSide))
                continue;
            img = reader.read();
            depth = 32;
        } else {
            if (!plausibleDib(e.image)) continue;
            img = QImage::fromData(toIcoFile({e}), "ICO");
            if (depth == 0) depth = img.depth();
        }
        if (img.isNull()) continue;
        all.push_back({img.convertToFormat(QImage::Format_ARGB32_Premultiplied), depth});
    }
    std::stable_sort(all.begin(), all.end(), [](const Decoded& a, const Decoded& b) {
        const qint64 sa = qint64(a.image.width()) * a.image.height();
        const qint64 sb = qint64(b.image.width()) * b.image.height();
        return sa != sb ? sa < sb : a.depth < b.depth;
    });
    std::vector<QImage> out;
    for (std::size_t i = 0; i < all.size(); ++i) {
        // Of several images of one size, the deepest (sorted last) wins.
        if (i + 1 < all.size() && all[i + 1].image.size() == all[i].image.size()) continue;
        out.push_back(all[i].image);
    }
    return out;
}

} // namespace plat::iconres
