#include "lettering.h"

#include <cmath>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

struct Glyph {
    char letter;
    float width;                         // in units of the letter height
    std::vector<std::vector<Pt>> lines;  // polylines, y down from the top
};

std::vector<Pt> oval(float cx, float cy, float rx, float ry) {
    std::vector<Pt> pts;
    for (int i = 0; i <= 20; ++i) {
        const float a = 2 * kPi * i / 20;
        pts.push_back({cx + rx * std::sin(a), cy - ry * std::cos(a)});
    }
    return pts;
}

const std::vector<Glyph>& glyphs() {
    static const std::vector<Glyph> table = {
        {'A', 0.8f, {{{0, 1}, {0.4f, 0}, {0.8f, 1}}, {{0.2f, 0.64f}, {0.6f, 0.64f}}}},
        {'B',
         0.72f,
         {{{0, 1}, {0, 0}, {0.42f, 0}, {0.64f, 0.1f}, {0.64f, 0.38f}, {0.42f, 0.48f}, {0, 0.48f}},
          {{0.42f, 0.48f}, {0.7f, 0.6f}, {0.7f, 0.88f}, {0.46f, 1}, {0, 1}}}},
        {'K', 0.74f, {{{0, 0}, {0, 1}}, {{0.72f, 0}, {0.04f, 0.58f}}, {{0.28f, 0.4f}, {0.74f, 1}}}},
        {'L', 0.62f, {{{0, 0}, {0, 1}, {0.62f, 1}}}},
        {'M', 0.92f, {{{0, 1}, {0, 0}, {0.46f, 0.62f}, {0.92f, 0}, {0.92f, 1}}}},
        {'N', 0.76f, {{{0, 1}, {0, 0}, {0.76f, 1}, {0.76f, 0}}}},
        {'O', 0.8f, {oval(0.4f, 0.5f, 0.4f, 0.5f)}},
        {'P',
         0.68f,
         {{{0, 1}, {0, 0}, {0.44f, 0}, {0.68f, 0.13f}, {0.68f, 0.4f}, {0.44f, 0.53f}, {0, 0.53f}}}},
        {'T', 0.8f, {{{0, 0}, {0.8f, 0}}, {{0.4f, 0}, {0.4f, 1}}}},
        {'!', 0.1f, {{{0.05f, 0}, {0.05f, 0.6f}}, {{0.05f, 0.96f}, {0.05f, 0.97f}}}},
    };
    return table;
}

const Glyph* find_glyph(char c) {
    for (const Glyph& g : glyphs())
        if (g.letter == c) return &g;
    return nullptr;
}

// One letter placed with its top-left corner at origin, height h, turned about its middle.
Shape letter_shape(const Glyph& g, Pt origin, float h, const LetteringStyle& style, float turn) {
    const float half_width = style.weight * h;
    const Pt mid = {origin.x + g.width * h / 2, origin.y + h / 2};
    const float c = std::cos(turn), s = std::sin(turn);
    auto place = [&](Pt q) {
        // Shear for the slant, then turn about the letter's middle.
        const Pt p = {origin.x + (q.x + style.slant * (1 - q.y)) * h, origin.y + q.y * h};
        const float dx = p.x - mid.x, dy = p.y - mid.y;
        return Pt{mid.x + dx * c - dy * s, mid.y + dx * s + dy * c};
    };
    Shape shape = [](Pt) { return 1e9f; };
    for (const auto& line : g.lines) {
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            shape = unite(shape, segment(place(line[i]), place(line[i + 1]), half_width));
        }
    }
    return shape;
}

}  // namespace

float word_width(const std::string& text, const LetteringStyle& style) {
    float w = 0;
    int letters = 0;
    for (char c : text) {
        const Glyph* g = find_glyph(c);
        if (!g) continue;
        w += g->width * style.height;
        ++letters;
    }
    if (letters > 1) w += (letters - 1) * style.spacing * style.height;
    return w + style.slant * style.height;
}

Shape word_shape(const std::string& text, Pt centre, const LetteringStyle& style) {
    const float h = style.height;
    float x = centre.x - word_width(text, style) / 2;
    const float top = centre.y - h / 2;
    Shape shape = [](Pt) { return 1e9f; };
    int index = 0;
    for (char c : text) {
        const Glyph* g = find_glyph(c);
        if (!g) continue;
        const float turn = (index % 2 == 0 ? -1.0f : 1.0f) * style.wobble;
        const float lift = (index % 2 == 0 ? 0.04f : -0.04f) * h;
        shape = unite(shape, letter_shape(*g, {x, top + lift}, h, style, turn));
        x += (g->width + style.spacing) * h;
        ++index;
    }
    return shape;
}
