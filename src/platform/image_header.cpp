#include "platform/image_header.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kPngHeaderSize = 24;      // signature, IHDR length and name, width, height
constexpr size_t kBmpFileHeaderSize = 14;  // 'BM', size, reserved, pixel offset
constexpr size_t kBmpCoreHeaderSize = 12;  // the old OS/2 header: 16-bit sides
constexpr size_t kIconDirSize = 6;
constexpr size_t kIconEntrySize = 16;
constexpr int kMaxIconEntries = 64;  // far beyond any real cursor file

// Bounds-checked little- and big-endian reads; false past the end.
struct Bytes {
    const unsigned char* data;
    size_t size;
    bool has(size_t at, size_t n) const { return at <= size && n <= size - at; }
    unsigned le16(size_t at) const { return data[at] | data[at + 1] << 8; }
    unsigned long le32(size_t at) const {
        return le16(at) | static_cast<unsigned long>(le16(at + 2)) << 16;
    }
    unsigned be16(size_t at) const { return data[at] << 8 | data[at + 1]; }
    unsigned long be32(size_t at) const {
        return static_cast<unsigned long>(be16(at)) << 16 | be16(at + 2);
    }
};

ImageHeader sized(ImageFormat format, long long width, long long height) {
    ImageHeader header;
    header.format = format;
    header.width = width;
    header.height = height;
    return header;
}

bool is_png(const Bytes& b, size_t at) {
    return b.has(at, sizeof kPngSignature) &&
           std::memcmp(b.data + at, kPngSignature, sizeof kPngSignature) == 0;
}

ImageHeader png_header(const Bytes& b, size_t at) {
    if (!b.has(at, kPngHeaderSize) || std::memcmp(b.data + at + 12, "IHDR", 4) != 0) {
        return sized(image_png, 0, 0);
    }
    return sized(image_png, b.be32(at + 16), b.be32(at + 20));
}

// The first frame's SOF marker holds the picture's height and width.
ImageHeader jpeg_header(const Bytes& b) {
    size_t at = 2;
    while (b.has(at, 4)) {
        if (b.data[at] != 0xFF) break;
        const unsigned marker = b.data[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (!b.has(at, 9)) break;
            return sized(image_jpeg, b.be16(at + 7), b.be16(at + 5));
        }
        at += 2 + b.be16(at + 2);
    }
    return sized(image_jpeg, 0, 0);
}

// A bitmap's info header at at: its sides; a negative height is a top-down picture.
// Inside an icon the height counts the image and its mask, twice the picture's.
ImageHeader bitmap_info(const Bytes& b, size_t at, ImageFormat format, bool icon) {
    if (!b.has(at, 4)) return sized(format, 0, 0);
    const unsigned long header_size = b.le32(at);
    if (header_size == kBmpCoreHeaderSize && b.has(at, kBmpCoreHeaderSize)) {
        return sized(format, b.le16(at + 4), b.le16(at + 6) / (icon ? 2 : 1));
    }
    if (header_size < 40 || !b.has(at, 12)) return sized(format, 0, 0);
    const long long width = static_cast<int32_t>(b.le32(at + 4));
    const long long height = static_cast<int32_t>(b.le32(at + 8));
    if (width <= 0 || height == 0) return sized(format, 0, 0);
    const long long rows = height < 0 ? -height : height;
    return sized(format, width, icon ? (rows + 1) / 2 : rows);
}

// Every image an icon or cursor directory lists: the decoder may choose any of them.
ImageHeader cursor_header(const Bytes& b) {
    const unsigned count = b.le16(4);
    if (count == 0 || count > kMaxIconEntries) return sized(image_cursor, 0, 0);
    ImageHeader largest = sized(image_cursor, 1, 1);
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = kIconDirSize + i * kIconEntrySize;
        if (!b.has(entry, kIconEntrySize)) return sized(image_cursor, 0, 0);
        const size_t image = b.le32(entry + 12);
        const ImageHeader one =
            is_png(b, image) ? png_header(b, image) : bitmap_info(b, image, image_cursor, true);
        if (one.width <= 0 || one.height <= 0) return sized(image_cursor, 0, 0);
        largest.width = std::max(largest.width, one.width);
        largest.height = std::max(largest.height, one.height);
    }
    return largest;
}

}  // namespace

ImageHeader read_image_header(const unsigned char* bytes, size_t size) {
    const Bytes b{bytes, size};
    if (is_png(b, 0)) return png_header(b, 0);
    if (b.has(0, 3) && b.data[0] == 0xFF && b.data[1] == 0xD8 && b.data[2] == 0xFF) {
        return jpeg_header(b);
    }
    if (b.has(0, kBmpFileHeaderSize) && b.data[0] == 'B' && b.data[1] == 'M') {
        return bitmap_info(b, kBmpFileHeaderSize, image_bmp, false);
    }
    if (b.has(0, kIconDirSize) && b.le16(0) == 0 && (b.le16(2) == 1 || b.le16(2) == 2)) {
        return cursor_header(b);
    }
    return ImageHeader{};
}

HotSpot cursor_hot_spot(const unsigned char* bytes, size_t size, int width, int height) {
    const Bytes b{bytes, size};
    HotSpot spot;
    if (!b.has(0, kCursorHeaderSize) || b.le16(0) != 0 || b.le16(2) != 2) return spot;
    spot.x = static_cast<int>(b.le16(10));
    spot.y = static_cast<int>(b.le16(12));
    if (spot.x >= width || spot.y >= height) spot = HotSpot{};
    return spot;
}

const char* image_refusal(const ImageHeader& header, int max_side) {
    if (header.format == image_unknown) return "not a PNG, JPEG, BMP or CUR image";
    if (header.width <= 0 || header.height <= 0) return "its header is damaged";
    if (header.width > max_side || header.height > max_side) return "it is too large";
    return nullptr;
}
