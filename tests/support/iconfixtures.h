#pragma once
// Icon-bearing files built byte by byte: DIB and PNG icon images, .ico files, and PE and NE
// modules with icon resources. Shared by the icon tests and the icon benchmark.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstring>
#include <functional>
#include <vector>

namespace iconfix {

inline void put16(QByteArray& b, qsizetype at, quint32 v) {
    if (b.size() < at + 2) b.resize(at + 2, '\0');
    b[at] = char(v & 0xff);
    b[at + 1] = char((v >> 8) & 0xff);
}
inline void put32(QByteArray& b, qsizetype at, quint32 v) {
    put16(b, at, v & 0xffff);
    put16(b, at + 2, v >> 16);
}
inline void append16(QByteArray& b, quint32 v) {
    put16(b, b.size(), v);
}
inline void append32(QByteArray& b, quint32 v) {
    put32(b, b.size(), v);
}

// A 32-bit DIB icon image (no file header): a square of one colour inside a 2-pixel
// transparent border, with the matching AND mask.
inline QByteArray dibIcon(int side, QRgb color) {
    QByteArray b;
    append32(b, 40);
    append32(b, quint32(side));
    append32(b, quint32(2 * side)); // image and mask
    append16(b, 1);
    append16(b, 32);
    append32(b, 0);
    const int maskStride = ((side + 31) / 32) * 4;
    append32(b, quint32(side * side * 4 + side * maskStride));
    for (int i = 0; i < 4; ++i)
        append32(b, 0);
    auto inside = [side](int x, int y) { return x >= 2 && x < side - 2 && y >= 2 && y < side - 2; };
    for (int y = side - 1; y >= 0; --y) // bottom-up
        for (int x = 0; x < side; ++x) {
            const bool in = inside(x, y);
            b.append(char(in ? qBlue(color) : 0));
            b.append(char(in ? qGreen(color) : 0));
            b.append(char(in ? qRed(color) : 0));
            b.append(char(in ? 255 : 0));
        }
    for (int y = side - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < side; ++x)
            if (!inside(x, y)) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        b.append(row);
    }
    return b;
}

inline QByteArray pngIcon(int side, QRgb color) {
    QImage img(side, side, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 2; y < side - 2; ++y)
        for (int x = 2; x < side - 2; ++x)
            img.setPixel(x, y, color | 0xff000000u);
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return out;
}

struct Image {
    quint16 id; // resource id of the image (RT_ICON / NE icon)
    int side;
    QByteArray bytes;
};

// The 6-byte header shared by .ico files and group directories.
inline QByteArray iconDirHeader(size_t count) {
    QByteArray b;
    append16(b, 0);
    append16(b, 1);
    append16(b, quint32(count));
    return b;
}

// The first 12 bytes of a directory entry: size, colours, planes, bits, image length.
inline void appendIconEntry(QByteArray& b, const Image& im) {
    b.append(char(im.side >= 256 ? 0 : im.side));
    b.append(char(im.side >= 256 ? 0 : im.side));
    b.append(char(0));
    b.append(char(0));
    append16(b, 1);
    append16(b, 32);
    append32(b, quint32(im.bytes.size()));
}

// An .ico file of the given images.
inline QByteArray icoFile(const std::vector<Image>& images) {
    QByteArray b = iconDirHeader(images.size());
    quint32 offset = 6 + 16 * quint32(images.size());
    for (const Image& im : images) {
        appendIconEntry(b, im);
        append32(b, offset);
        offset += quint32(im.bytes.size());
    }
    for (const Image& im : images)
        b.append(im.bytes);
    return b;
}

// A group directory as resources hold it: 14-byte entries ending in the image's id.
inline QByteArray groupDir(const std::vector<Image>& images) {
    QByteArray b = iconDirHeader(images.size());
    for (const Image& im : images) {
        appendIconEntry(b, im);
        append16(b, im.id);
    }
    return b;
}

// A PE file with one .rsrc section holding RT_ICON images and RT_GROUP_ICON groups. The
// offsets of its parts are kept so that tests can damage them.
struct PeFile {
    QByteArray bytes;
    qsizetype peHeader = 0x40;
    qsizetype optionalHeader = 0;
    qsizetype sectionTable = 0;
    qsizetype rsrc = 0;           // file offset of the resource root
    qsizetype groupTypeEntry = 0; // root entry of RT_GROUP_ICON
    qsizetype groupLanguageDir = 0;
    qsizetype firstGroupDataEntry = 0;
    qsizetype firstGroupData = 0;
    qsizetype firstIconData = 0;
};

inline constexpr quint32 kRsrcRva = 0x1000;

inline PeFile buildPe(const std::vector<Image>& icons, const std::vector<std::vector<Image>>& groups,
                      bool pe64 = false) {
    PeFile pe;
    QByteArray& b = pe.bytes;
    b = QByteArray(0x40, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3c, 0x40);
    b.append("PE\0\0", 4);
    append16(b, pe64 ? 0x8664 : 0x14c);
    append16(b, 1); // sections
    append32(b, 0);
    append32(b, 0);
    append32(b, 0);
    const quint32 optSize = pe64 ? 240 : 224;
    append16(b, optSize);
    append16(b, 0x0102);
    pe.optionalHeader = b.size();
    b.append(QByteArray(optSize, '\0'));
    put16(b, pe.optionalHeader, pe64 ? 0x20b : 0x10b);
    const qsizetype dirs = pe.optionalHeader + (pe64 ? 112 : 96);
    put32(b, pe.optionalHeader + (pe64 ? 108 : 92), 16);
    pe.sectionTable = b.size();
    b.append(QByteArray(40, '\0'));
    memcpy(b.data() + pe.sectionTable, ".rsrc", 5);
    b.resize(0x200, '\0');
    pe.rsrc = 0x200;

    // Resource tree: root (2 types), type dirs, one language dir per resource, data entries,
    // then the data.
    const int nIcons = int(icons.size()), nGroups = int(groups.size());
    QByteArray r;
    auto dirHeader = [&](int ids) {
        r.append(QByteArray(12, '\0'));
        append16(r, 0);
        append16(r, quint32(ids));
    };
    const quint32 rootSize = 16 + 2 * 8;
    const quint32 iconTypeDir = rootSize;
    const quint32 groupTypeDir = iconTypeDir + 16 + 8 * nIcons;
    const quint32 langDirs = groupTypeDir + 16 + 8 * nGroups;
    const quint32 dataEntries = langDirs + 24 * (nIcons + nGroups);
    quint32 data = dataEntries + 16 * (nIcons + nGroups);
    dirHeader(2);
    append32(r, 3);
    append32(r, 0x80000000u | iconTypeDir);
    pe.groupTypeEntry = pe.rsrc + r.size();
    append32(r, 14);
    append32(r, 0x80000000u | groupTypeDir);
    dirHeader(nIcons);
    for (int i = 0; i < nIcons; ++i) {
        append32(r, icons[i].id);
        append32(r, 0x80000000u | (langDirs + 24 * i));
    }
    dirHeader(nGroups);
    for (int g = 0; g < nGroups; ++g) {
        append32(r, quint32(g + 1));
        append32(r, 0x80000000u | (langDirs + 24 * (nIcons + g)));
    }
    pe.groupLanguageDir = pe.rsrc + langDirs + 24 * nIcons;
    for (int i = 0; i < nIcons + nGroups; ++i) {
        dirHeader(1);
        append32(r, 0x409);
        append32(r, dataEntries + 16 * i);
    }
    std::vector<QByteArray> blobs;
    for (const Image& im : icons)
        blobs.push_back(im.bytes);
    for (const auto& g : groups)
        blobs.push_back(groupDir(g));
    pe.firstGroupDataEntry = pe.rsrc + dataEntries + 16 * nIcons;
    for (const QByteArray& blob : blobs) {
        append32(r, kRsrcRva + data);
        append32(r, quint32(blob.size()));
        append32(r, 0);
        append32(r, 0);
        data += quint32((blob.size() + 3) & ~3);
    }
    pe.firstIconData = pe.rsrc + r.size();
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        if (i == std::size_t(nIcons)) pe.firstGroupData = pe.rsrc + r.size();
        r.append(blobs[i]);
        r.append(QByteArray((4 - blobs[i].size() % 4) % 4, '\0'));
    }
    b.append(r);
    put32(b, dirs + 16, kRsrcRva);
    put32(b, dirs + 20, quint32(r.size()));
    put32(b, pe.sectionTable + 8, quint32(r.size()));  // virtual size
    put32(b, pe.sectionTable + 12, kRsrcRva);          // virtual address
    put32(b, pe.sectionTable + 16, quint32(r.size())); // raw size
    put32(b, pe.sectionTable + 20, quint32(pe.rsrc));  // raw pointer
    return pe;
}

// A 16-bit NE module with the same icons, resources in 16-byte units.
inline QByteArray buildNe(const std::vector<Image>& icons, const std::vector<std::vector<Image>>& groups) {
    QByteArray b(0x40, '\0');
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 0x3c, 0x40);
    QByteArray ne(0x40, '\0');
    ne[0] = 'N';
    ne[1] = 'E';
    const int nIcons = int(icons.size()), nGroups = int(groups.size());
    const quint32 tableSize = 2 + (8 + 12 * nIcons) + (8 + 12 * nGroups) + 2;
    put16(ne, 0x24, 0x40);             // resource table
    put16(ne, 0x26, 0x40 + tableSize); // resident names follow it
    QByteArray table;
    append16(table, 4);
    std::vector<QByteArray> blobs;
    for (const Image& im : icons)
        blobs.push_back(im.bytes);
    for (const auto& g : groups)
        blobs.push_back(groupDir(g));
    quint32 at = ((0x80 + tableSize + 15) / 16) * 16;
    std::vector<quint32> offsets;
    for (const QByteArray& blob : blobs) {
        offsets.push_back(at);
        at += ((quint32(blob.size()) + 15) / 16) * 16;
    }
    auto typeBlock = [&](quint32 type, int first, int count, std::function<quint16(int)> id) {
        append16(table, type);
        append16(table, quint32(count));
        append32(table, 0);
        for (int i = 0; i < count; ++i) {
            append16(table, offsets[first + i] / 16);
            append16(table, quint32((blobs[first + i].size() + 15) / 16));
            append16(table, 0x30);
            append16(table, 0x8000u | id(i));
            append32(table, 0);
        }
    };
    typeBlock(0x8003, 0, nIcons, [&](int i) { return icons[i].id; });
    typeBlock(0x800e, nIcons, nGroups, [](int g) { return quint16(g + 1); });
    append16(table, 0);
    b.append(ne);
    b.append(table);
    for (std::size_t i = 0; i < blobs.size(); ++i) {
        b.resize(offsets[i], '\0');
        b.append(blobs[i]);
    }
    return b;
}

} // namespace iconfix
