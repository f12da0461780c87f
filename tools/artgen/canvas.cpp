#include "canvas.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPngCompression = 9;
constexpr float kPi = 3.14159265f;

float clamp01(float v) {
    return std::min(std::max(v, 0.0f), 1.0f);
}

// Porter-Duff "over" with straight (not premultiplied) alpha.
Rgba over(Rgba under, Rgba top, float coverage) {
    const float a = clamp01(coverage * top.a / 255.0f);
    if (a <= 0.0f) return under;
    const float below = under.a / 255.0f * (1.0f - a);
    const float out_a = a + below;
    auto channel = [&](uint8_t u, uint8_t t) {
        return uint8_t(std::lround((t * a + u * below) / out_a));
    };
    return {channel(under.r, top.r), channel(under.g, top.g), channel(under.b, top.b),
            uint8_t(std::lround(out_a * 255.0f))};
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put_u32(out, uint32_t(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uint32_t crc = uint32_t(crc32(0, out.data() + start, uInt(out.size() - start)));
    put_u32(out, crc);
}

float length2(float x, float y) {
    return std::sqrt(x * x + y * y);
}

}  // namespace

Rgba with_alpha(Rgba c, uint8_t a) {
    c.a = a;
    return c;
}

Rgba mix(Rgba a, Rgba b, float t) {
    t = clamp01(t);
    auto lerp = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b), lerp(a.a, b.a)};
}

Canvas::Canvas(int width, int height, Rgba background)
    : width_(width), height_(height), pixels_(size_t(width) * height, background) {}

void Canvas::fill(const Shape& shape, Rgba colour, float grow) {
    fill(shape, solid(colour), grow);
}

void Canvas::fill(const Shape& shape, const Paint& paint, float grow) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Pt p = {x + 0.5f, y + 0.5f};
            const float coverage = clamp01(0.5f - (shape(p) - grow));
            if (coverage <= 0.0f) continue;
            Rgba& pixel = pixels_[size_t(y) * width_ + x];
            pixel = over(pixel, paint(p), coverage);
        }
    }
}

void Canvas::fill_outlined(const Shape& shape, Rgba colour, float rim, Rgba rim_colour) {
    fill(shape, rim_colour, rim);
    fill(shape, colour);
}

void Canvas::clear_rect(int x0, int y0, int x1, int y1, Rgba c) {
    for (int y = std::max(y0, 0); y < std::min(y1, height_); ++y) {
        for (int x = std::max(x0, 0); x < std::min(x1, width_); ++x) set(x, y, c);
    }
}

void Canvas::paste(const Canvas& other, int x, int y) {
    for (int sy = 0; sy < other.height_; ++sy) {
        for (int sx = 0; sx < other.width_; ++sx) {
            const int tx = x + sx, ty = y + sy;
            if (tx >= 0 && ty >= 0 && tx < width_ && ty < height_) set(tx, ty, other.at(sx, sy));
        }
    }
}

std::vector<uint8_t> Canvas::png() const {
    // Every row gets filter type 0; the bytes depend only on the pixels and zlib's level.
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height_) * (1 + 4 * size_t(width_)));
    for (int y = 0; y < height_; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width_; ++x) {
            const Rgba c = at(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b, c.a});
        }
    }
    uLongf packed_size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packed_size);
    compress2(packed.data(), &packed_size, raw.data(), uLong(raw.size()), kPngCompression);
    packed.resize(packed_size);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    put_u32(header, uint32_t(width_));
    put_u32(header, uint32_t(height_));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8-bit RGBA, no interlace
    put_chunk(out, "IHDR", header);
    put_chunk(out, "IDAT", packed);
    put_chunk(out, "IEND", {});
    return out;
}

Shape circle(Pt c, float r) {
    return [=](Pt p) { return length2(p.x - c.x, p.y - c.y) - r; };
}

Shape ellipse(Pt c, float rx, float ry) {
    // Distance scaled by the smaller radius: close enough for edges a few pixels wide.
    return [=](Pt p) {
        const float dx = (p.x - c.x) / rx, dy = (p.y - c.y) / ry;
        return (length2(dx, dy) - 1.0f) * std::min(rx, ry);
    };
}

Shape rect(float x0, float y0, float x1, float y1, float corner) {
    const Pt c = {(x0 + x1) / 2, (y0 + y1) / 2};
    const float hx = (x1 - x0) / 2 - corner, hy = (y1 - y0) / 2 - corner;
    return [=](Pt p) {
        const float qx = std::fabs(p.x - c.x) - hx, qy = std::fabs(p.y - c.y) - hy;
        const float outside = length2(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - corner;
    };
}

Shape segment(Pt a, Pt b, float half_width) {
    return [=](Pt p) {
        const float bx = b.x - a.x, by = b.y - a.y;
        const float px = p.x - a.x, py = p.y - a.y;
        const float len2 = bx * bx + by * by;
        const float t = len2 > 0.0f ? clamp01((px * bx + py * by) / len2) : 0.0f;
        return length2(px - bx * t, py - by * t) - half_width;
    };
}

Shape polygon(std::vector<Pt> pts) {
    return [pts](Pt p) {
        float d = 1e9f;
        bool inside = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const Pt a = pts[j], b = pts[i];
            const float ex = b.x - a.x, ey = b.y - a.y;
            const float wx = p.x - a.x, wy = p.y - a.y;
            const float t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
            d = std::min(d, length2(wx - ex * t, wy - ey * t));
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside ? -d : d;
    };
}

Shape burst(Pt c, float inner, float outer, int spikes, float turn) {
    // A fixed wobble per spike keeps the star hand-drawn looking but reproducible.
    static const float kWobble[] = {1.0f, 0.86f, 0.97f, 0.8f, 0.93f, 1.04f, 0.84f, 0.99f};
    std::vector<Pt> pts;
    for (int i = 0; i < 2 * spikes; ++i) {
        const float a = turn + kPi * i / spikes;
        const float r = i % 2 == 0 ? outer * kWobble[(i / 2) % 8] : inner;
        pts.push_back({c.x + r * std::sin(a), c.y - r * std::cos(a)});
    }
    return polygon(pts);
}

Shape ring_sector(Pt c, float r0, float r1, float a0, float a1) {
    const float mid = (a0 + a1) / 2, half = (a1 - a0) / 2;
    return [=](Pt p) {
        const float dx = p.x - c.x, dy = p.y - c.y;
        const float r = length2(dx, dy);
        float a = std::atan2(dx, -dy) - mid;
        while (a > kPi) a -= 2 * kPi;
        while (a < -kPi) a += 2 * kPi;
        const float radial = std::max(r0 - r, r - r1);
        const float angular = (std::fabs(a) - half) * r;
        return std::max(radial, angular);
    };
}

Shape unite(Shape a, Shape b) {
    return [=](Pt p) { return std::min(a(p), b(p)); };
}

Shape subtract_shape(Shape a, Shape b) {
    return [=](Pt p) { return std::max(a(p), -b(p)); };
}

Shape intersect_shape(Shape a, Shape b) {
    return [=](Pt p) { return std::max(a(p), b(p)); };
}

Shape stretched(Shape s, Pt c, float sx, float sy) {
    const float k = std::min(sx, sy);
    return [=](Pt p) { return s({c.x + (p.x - c.x) / sx, c.y + (p.y - c.y) / sy}) * k; };
}

Paint solid(Rgba c) {
    return [c](Pt) { return c; };
}

Paint vertical_gradient(float y0, Rgba top, float y1, Rgba bottom) {
    return [=](Pt p) { return mix(top, bottom, (p.y - y0) / (y1 - y0)); };
}
