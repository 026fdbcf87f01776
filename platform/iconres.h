#pragma once
// Icon resources inside files: the directory of an .ico file and the RT_GROUP_ICON / RT_ICON
// resources of executables and libraries (32-bit and 64-bit PE, 16-bit NE).
//
// Everything here reads untrusted bytes: every read is bounded by the buffer, every count is
// limited by the bytes that can hold it, and the resource tree is walked at its fixed depth
// (type, name, language), so damaged or hostile files end in "no icon", never in a crash.
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <span>
#include <vector>

namespace plat::iconres {

// One image of an icon group: the directory fields and the image bytes (a DIB without its
// file header, or a whole PNG file).
struct IconEntry {
    std::uint8_t width = 0; // 0 means 256
    std::uint8_t height = 0;
    std::uint8_t colorCount = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    QByteArray image;
};
using IconGroup = std::vector<IconEntry>;

using Bytes = std::span<const std::uint8_t>;

// An .ico file (reserved 0, type 1, at least one entry).
bool looksLikeIco(Bytes data);
// Entries of an .ico file whose image lies inside the file.
IconGroup readIco(Bytes data);

// A "MZ" file: an executable or library in any format.
bool looksLikeModule(Bytes data);
// Number of icon groups of a PE or NE module; -1 when the bytes are no such module.
int moduleGroupCount(Bytes data);
// The icon group at a position in the module's resource directory (empty when it is missing
// or damaged).
IconGroup moduleGroup(Bytes data, int index);

// An icon group written as an .ico file (6-byte header, 16-byte entries, the images unchanged).
QByteArray toIcoFile(const IconGroup& group);

// Decoded images of a group, one per size (the deepest colour of each size), smallest first.
std::vector<QImage> decodeGroup(const IconGroup& group);

} // namespace plat::iconres
