#include "cursor.h"

#include "canvas.h"

namespace {

constexpr int kSize = 32;
constexpr int kHeaderBytes = 40;     // BITMAPINFOHEADER
constexpr int kDirectoryBytes = 22;  // ICONDIR and one ICONDIRENTRY
constexpr int kMaskRowBytes = 4;     // 32 one-bit pixels

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

Canvas arrow_picture() {
    Canvas c(kSize, kSize);
    // The classic arrow: tip at the top-left corner, a tail to the lower right.
    const Shape arrow = polygon(
        {{0.5f, 0.5f}, {0.5f, 22}, {5.5f, 17}, {9.5f, 26}, {13, 24.5f}, {9.5f, 16}, {16.5f, 16}});
    c.fill(arrow, kInk, 1.2f);
    c.fill(arrow, vertical_gradient(0, rgb(0xFFFFFF), 26, rgb(0xD8E4FF)));
    return c;
}

}  // namespace

std::vector<uint8_t> arrow_cursor_file() {
    const Canvas picture = arrow_picture();
    const uint32_t image_bytes = kHeaderBytes + kSize * kSize * 4 + kSize * kMaskRowBytes;
    std::vector<uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 2);  // a cursor
    put16(out, 1);  // one image
    out.push_back(kSize);
    out.push_back(kSize);
    out.push_back(0);  // no palette
    out.push_back(0);
    put16(out, 0);  // hotspot x
    put16(out, 0);  // hotspot y
    put32(out, image_bytes);
    put32(out, kDirectoryBytes);
    // The bitmap header counts the colour and mask halves in its height.
    put32(out, kHeaderBytes);
    put32(out, kSize);
    put32(out, kSize * 2);
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, kSize * kSize * 4 + kSize * kMaskRowBytes);
    for (int i = 0; i < 4; ++i) put32(out, 0);
    // Rows bottom-up, BGRA.
    for (int y = kSize - 1; y >= 0; --y) {
        for (int x = 0; x < kSize; ++x) {
            const Rgba p = picture.at(x, y);
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
    }
    // The AND mask: a set bit lets the screen show through.
    for (int y = kSize - 1; y >= 0; --y) {
        uint32_t bits = 0;
        for (int x = 0; x < kSize; ++x) {
            if (picture.at(x, y).a < 128) bits |= 0x80000000u >> x;
        }
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(bits >> shift));
    }
    return out;
}
