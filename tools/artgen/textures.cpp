#include "textures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lettering.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDeg = kPi / 180.0f;
constexpr int kPlainSize = 16;

Canvas plain(Rgba colour) {
    return Canvas(kPlainSize, kPlainSize, colour);
}

// --- items ---------------------------------------------------------------------------

Canvas crate_wood() {
    constexpr int size = 128;
    Canvas c(size, size, rgb(0xB9834A));
    // Planks with grain, a frame and a cross brace, nailed at the corners.
    for (int i = 0; i < 4; ++i) {
        const float y = i * 32.0f;
        c.fill(rect(0, y + 30, size, y + 32), rgb(0x6A4322));
        for (int k = 0; k < 3; ++k) {
            c.fill(segment({8.0f + k * 37, y + 9.0f + k * 5}, {40.0f + k * 37, y + 11.0f + k * 5},
                           0.8f),
                   rgb(0x9A6A38));
        }
    }
    const Rgba frame = rgb(0x8E5A2C);
    const Rgba dark = rgb(0x4A2C12);
    c.fill_outlined(subtract_shape(rect(0, 0, size, size), rect(16, 16, size - 16, size - 16)),
                    frame, 0, dark);
    c.fill(subtract_shape(rect(0, 0, size, size), rect(2, 2, size - 2, size - 2)), dark);
    c.fill(subtract_shape(rect(14, 14, size - 14, size - 14), rect(16, 16, size - 16, size - 16)),
           dark);
    c.fill_outlined(segment({20, size - 24.0f}, {size - 24.0f, 20}, 9), frame, 2, dark);
    for (float x : {8.0f, size - 8.0f}) {
        for (float y : {8.0f, size - 8.0f})
            c.fill_outlined(circle({x, y}, 3), rgb(0xC8C8C8), 1, dark);
    }
    return c;
}

Canvas grass_blades() {
    Canvas c(32, 64);
    c.fill(rect(0, 0, 32, 64), vertical_gradient(0, rgb(0xC8E860), 64, rgb(0x1E5A14)));
    return c;
}

Canvas heart_red() {
    Canvas c(64, 64);
    c.fill(rect(0, 0, 64, 64), vertical_gradient(0, rgb(0xFF5060), 64, rgb(0xB0101C)));
    c.fill(ellipse({20, 18}, 9, 6), with_alpha(kWhite, 200));
    return c;
}

// --- health ring -------------------------------------------------------------------

// Segments turn about this point of their 32 x 32 sprite, 100 pixels below its top.
constexpr Pt kSegmentPivot = {16, 100};
constexpr float kBarInner = 71, kBarOuter = 97;
constexpr Rgba kLife = rgb(0xE8303A);

// A piece of the bar between two angles off the sprite's own up direction.
void bar_piece(Canvas& c, float x_offset, float a0, float a1) {
    const Pt pivot = {kSegmentPivot.x + x_offset, kSegmentPivot.y};
    const Shape piece = ring_sector(pivot, kBarInner, kBarOuter, a0 * kDeg, a1 * kDeg);
    const Shape sprite = rect(x_offset, 0, x_offset + 32, 32);
    c.fill(intersect_shape(sprite, piece), kInk, 2);
    c.fill(intersect_shape(sprite, piece), vertical_gradient(4, rgb(0xFF8A80), 30, rgb(0xB01020)));
    // A shine along the outer half.
    c.fill(
        intersect_shape(sprite, ring_sector(pivot, 86, 92, a0 * kDeg + 0.02f, a1 * kDeg - 0.02f)),
        with_alpha(kWhite, 150));
}

// A rounded end of the bar, centred between the radii at the given angle.
void bar_end(Canvas& c, float x_offset, float angle) {
    const float r = (kBarInner + kBarOuter) / 2;
    const Pt at = {kSegmentPivot.x + x_offset + r * std::sin(angle * kDeg),
                   kSegmentPivot.y - r * std::cos(angle * kDeg)};
    const Shape cap = intersect_shape(circle(at, (kBarOuter - kBarInner) / 2),
                                      rect(x_offset, 0, x_offset + 32, 32));
    c.fill(cap, kInk, 2);
    c.fill(cap, vertical_gradient(4, rgb(0xFF8A80), 30, rgb(0xB01020)));
}

}  // namespace

Canvas health_bar_segments() {
    Canvas c(256, 32);
    // Start cap: joins the next segment on its left, ends round on its right.
    bar_piece(c, 0, -9, 0);
    bar_end(c, 0, 0);
    // Middle segment: 18 of the 20 degrees between neighbours, so the joints show.
    bar_piece(c, 32, -9, 9);
    // End cap: joins the segment before it on its right, ends round on its left.
    bar_piece(c, 128, 0, 9);
    bar_end(c, 128, 0);
    return c;
}

Canvas health_ring() {
    // Drawn at (-10, 23) on screen, so the segments' pivot (116, 150) is (126, 127) here.
    Canvas c(256, 256);
    const Pt centre = {126, 127};
    const float a0 = -32 * kDeg, a1 = 132 * kDeg;
    const Shape outer = ring_sector(centre, kBarOuter + 1, kBarOuter + 7, a0, a1);
    const Shape inner = ring_sector(centre, kBarInner - 7, kBarInner - 1, a0, a1);
    for (const Shape& s : {outer, inner}) c.fill_outlined(s, rgb(0xF0E8D0), 2);
    // Round ends joining the two rails.
    for (float a : {a0, a1}) {
        const float r = (kBarInner + kBarOuter) / 2;
        const Pt at = {centre.x + r * std::sin(a), centre.y - r * std::cos(a)};
        c.fill_outlined(subtract_shape(circle(at, 20), circle(at, 14)), rgb(0xF0E8D0), 2);
    }
    // A heart in the middle.
    const Shape heart = unite(
        unite(circle({centre.x - 13, centre.y - 6}, 15), circle({centre.x + 13, centre.y - 6}, 15)),
        polygon({{centre.x - 26, centre.y + 2},
                 {centre.x + 26, centre.y + 2},
                 {centre.x, centre.y + 32}}));
    c.fill_outlined(heart, kLife, 3);
    c.fill(ellipse({centre.x - 14, centre.y - 10}, 6, 4), with_alpha(kWhite, 200));
    return c;
}

Canvas comic_word(const char* word) {
    const std::string text = word;
    const bool big = text == "BOOM";
    // klank and tap are drawn at half size, boom at full size; all show about 128 pixels.
    const int size = big ? 128 : 256;
    const float k = size / 256.0f;
    Canvas c(size, size);
    const Pt centre = {size / 2.0f, size / 2.0f};
    const Rgba burst_colour = text == "TAP" ? rgb(0xFFF2A0) : big ? rgb(0xFFB020) : rgb(0xFFE040);
    const Rgba back_colour = text == "TAP" ? rgb(0x60C8FF) : rgb(0xF04020);
    const int spikes = text == "TAP" ? 10 : 14;
    c.fill_outlined(burst(centre, 88 * k, 126 * k, spikes, 0.1f), back_colour, 6 * k);
    c.fill_outlined(burst(centre, 70 * k, 104 * k, spikes, 0.32f), burst_colour, 5 * k);
    LetteringStyle style = {1, 0.13f, 0.18f, 0.1f, 0.06f};
    // As tall as the word can be while it stays inside the burst.
    style.height = std::min(96 * k, 216 * k / word_width(text, style));
    const Shape letters = word_shape(text, {centre.x - 4 * k, centre.y + 4 * k}, style);
    // A drop shadow, a thick outline, then the letters with a light top.
    const Shape shadow = [=](Pt p) { return letters({p.x - 6 * k, p.y - 6 * k}); };
    c.fill(shadow, kInk, 9 * k);
    c.fill(letters, kInk, 9 * k);
    const Rgba top = text == "TAP" ? rgb(0xFFFFFF) : rgb(0xFFF8A0);
    const Rgba bottom = text == "TAP" ? rgb(0x2080E0) : rgb(0xE02010);
    const float y0 = centre.y - style.height / 2, y1 = centre.y + style.height / 2;
    c.fill(letters, vertical_gradient(y0, top, y1, bottom));
    return c;
}

// --- GUI skin -------------------------------------------------------------------------

namespace {

constexpr Rgba kPanel = {40, 52, 78, 224};
constexpr Rgba kCellFill = {246, 246, 240, 255};
constexpr Rgba kGuiInk = {30, 36, 52, 255};
constexpr Rgba kAccent = {255, 196, 64, 255};

// A bevelled 16 x 16 button face; light and pressed change its look.
void button_face(Canvas& c, int x, int y, Rgba face, bool pressed) {
    const float x0 = float(x), y0 = float(y);
    c.fill(rect(x0 + 0.5f, y0 + 0.5f, x0 + 15.5f, y0 + 15.5f, 3), kGuiInk);
    const Rgba top = pressed ? mix(face, kGuiInk, 0.35f) : mix(face, kWhite, 0.35f);
    const Rgba bottom = pressed ? mix(face, kWhite, 0.1f) : mix(face, kGuiInk, 0.3f);
    c.fill(rect(x0 + 1.5f, y0 + 1.5f, x0 + 14.5f, y0 + 14.5f, 2),
           vertical_gradient(y0, top, y0 + 16, bottom));
}

void tick(Canvas& c, int x, int y) {
    const float x0 = float(x), y0 = float(y);
    c.fill(polygon({{x0 + 3, y0 + 8}, {x0 + 6, y0 + 12}, {x0 + 13, y0 + 3}}), kGuiInk, 1.6f);
}

// The frame pieces: a panel with round corners cut into nine; edges and fill are the
// middle piece stretched, so it must be one flat colour.
void frame_pieces(Canvas& c) {
    c.clear_rect(0, 48, 48, 95, kTransparent);
    c.fill(intersect_shape(rect(0, 48, 48, 95), unite(rect(15, 48, 32, 95), rect(0, 63, 48, 80))),
           kPanel);
    const Pt corners[] = {{15, 63}, {32, 63}, {15, 80}, {32, 80}};
    for (Pt p : corners) {
        const Shape quarter =
            intersect_shape(circle(p, 15), rect(p.x - 15, p.y - 15, p.x + 15, p.y + 15));
        c.fill(intersect_shape(quarter, subtract_shape(rect(0, 48, 48, 95), rect(15, 63, 32, 80))),
               kPanel);
    }
    // The title strip, one texel high, under the dialog's title.
    c.clear_rect(0, 95, 16, 96, kWhite);
}

}  // namespace

Canvas shell_skin() {
    Canvas c(128, 128);
    frame_pieces(c);
    const Rgba box_face = rgb(0xE8ECF4);
    for (int checked = 0; checked < 2; ++checked) {
        for (int state = 0; state < 3; ++state) {  // normal, pressed, hover
            const int x = (checked * 3 + state) * 16;
            const Rgba face = state == 2 ? mix(box_face, kAccent, 0.4f) : box_face;
            button_face(c, x, 32, face, state == 1);
            if (checked) tick(c, x + (state == 1 ? 1 : 0), 32 + (state == 1 ? 1 : 0));
        }
    }
    // Scroll arrow (up), track cell, thumb and selection bar.
    button_face(c, 48, 48, rgb(0xC8D0E0), false);
    c.fill(polygon({{52, 59}, {60, 59}, {56, 52}}), kGuiInk, 0.5f);
    c.clear_rect(64, 48, 80, 64, kCellFill);
    button_face(c, 80, 48, kAccent, false);
    for (int i = 0; i < 3; ++i)
        c.fill(rect(84, 52.5f + i * 3, 92, 53.5f + i * 3), mix(kAccent, kGuiInk, 0.5f));
    c.clear_rect(48, 64, 64, 80, kTransparent);
    c.fill(rect(48, 65, 64, 79), vertical_gradient(65, rgb(0xA8D0FF), 79, rgb(0x6AA0E8)));
    return c;
}

// --- gamepad icons -------------------------------------------------------------------

namespace {

constexpr Rgba kIcon = {250, 250, 250, 255};

// The arrow of a movement binding, pointing along angle (0 up, clockwise), in a 32 cell.
void arrow_icon(Canvas& c, int x, int y, float angle) {
    const Pt m = {x + 16.0f, y + 16.0f};
    const float s = std::sin(angle), co = std::cos(angle);
    auto at = [&](float ax, float ay) {
        return Pt{m.x + ax * co - ay * s, m.y + ax * s + ay * co};
    };
    c.fill_outlined(polygon({at(0, -13), at(11, -1), at(4, -1), at(4, 12), at(-4, 12), at(-4, -1),
                             at(-11, -1)}),
                    kIcon, 2, kGuiInk);
}

void gamepad_icon(Canvas& c) {
    const Shape pad = unite(rect(3, 9, 29, 22, 6), unite(circle({8, 21}, 5), circle({24, 21}, 5)));
    c.fill_outlined(pad, kIcon, 1.5f, kGuiInk);
    c.fill(rect(7, 14, 13, 16), kGuiInk);
    c.fill(rect(9, 12, 11, 18), kGuiInk);
    c.fill(circle({21, 13.5f}, 1.6f), rgb(0xE03030));
    c.fill(circle({24.5f, 16.5f}, 1.6f), rgb(0x30A0E0));
}

void keyboard_icon(Canvas& c) {
    // Drawn inside (9, 32)-(32, 64): the left nine columns of that cell are not shown.
    c.fill_outlined(rect(10, 40, 31, 56, 2), kIcon, 1.5f, kGuiInk);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col)
            c.fill(rect(12.0f + col * 5, 42.5f + row * 4, 15.0f + col * 5, 44.5f + row * 4),
                   kGuiInk);
    }
}

void cancel_icon(Canvas& c) {
    c.fill_outlined(circle({80, 16}, 13), rgb(0xE04040), 2, kGuiInk);
    c.fill(segment({74, 10}, {86, 22}, 2.2f), kIcon);
    c.fill(segment({86, 10}, {74, 22}, 2.2f), kIcon);
}

void ok_icon(Canvas& c) {
    c.fill_outlined(circle({48, 48}, 13), rgb(0x40B050), 2, kGuiInk);
    c.fill(segment({41, 48}, {46, 54}, 2.2f), kIcon);
    c.fill(segment({46, 54}, {56, 41}, 2.2f), kIcon);
}

void attack_icons(Canvas& c) {
    // Primary: a punch burst; secondary: a kick star; jump: an arrow over a bar.
    c.fill_outlined(burst({80, 48}, 6, 13, 8), rgb(0xFFC040), 1.5f, kGuiInk);
    c.fill(circle({80, 48}, 4), rgb(0xE04020));
    c.fill_outlined(burst({112, 48}, 5, 13, 5, 0.3f), rgb(0x60C8FF), 1.5f, kGuiInk);
    c.fill_outlined(rect(132, 56, 156, 60, 1), kIcon, 1.5f, kGuiInk);
    arrow_icon(c, 128, 29, 0);
}

}  // namespace

Canvas gamepad_icons() {
    Canvas c(256, 64);
    gamepad_icon(c);
    cancel_icon(c);
    arrow_icon(c, 96, 0, 0);          // forward (also shown for right)
    arrow_icon(c, 128, 0, kPi / 2);   // right
    arrow_icon(c, 160, 0, kPi);       // backward
    arrow_icon(c, 192, 0, -kPi / 2);  // left
    keyboard_icon(c);
    ok_icon(c);
    attack_icons(c);
    return c;
}

std::vector<NamedTexture> all_textures() {
    std::vector<NamedTexture> t;
    t.push_back({"zombie_body", zombie_body()});
    t.push_back({"zombie_head", zombie_head()});
    t.push_back({"pirate_body", pirate_body()});
    t.push_back({"pirate_head", pirate_head()});
    t.push_back({"ninja_body", ninja_body()});
    t.push_back({"robot_body", robot_body()});
    t.push_back({"robot_head", robot_head()});
    t.push_back({"white", plain(rgb(0xFFFFFF))});
    t.push_back({"grey", plain(rgb(0xA4A4AC))});
    t.push_back({"red", plain(rgb(0xD02A2A))});
    // Not quite black, so the toon bands still show the form of a ninja's head.
    t.push_back({"black", plain(rgb(0x26262E))});
    t.push_back({"blue", plain(rgb(0x3A78E0))});
    t.push_back({"health", heart_red()});
    t.push_back({"box", crate_wood()});
    t.push_back({"gras", grass_blades()});
    t.push_back({"balken", health_bar_segments()});
    t.push_back({"ring", health_ring()});
    t.push_back({"klank", comic_word("KLANK")});
    t.push_back({"tap", comic_word("TAP")});
    t.push_back({"boom", comic_word("BOOM")});
    t.push_back({"shell", shell_skin()});
    t.push_back({"gamepad", gamepad_icons()});
    return t;
}

std::string texture_config_text(const std::vector<NamedTexture>& textures) {
    std::string out = "[main]\ntexturecount=" + std::to_string(textures.size()) + "\n";
    for (size_t i = 0; i < textures.size(); ++i) {
        const std::string& name = textures[i].name;
        out += "\n[texture" + std::to_string(i + 1) + "]\nID=" + name +
               "\ntexturename=Data/textures/" + name +
               ".png\ncolorkeyR=0\ncolorkeyG=0\ncolorkeyB=0\ncolorkeyA=0\n";
    }
    return out;
}

Canvas texture_sheet(const std::vector<NamedTexture>& textures) {
    // 264-pixel cells on a checkerboard, so transparency shows.
    constexpr int cell = 264, columns = 6;
    const int rows = int(textures.size() + columns - 1) / columns;
    Canvas sheet(cell * columns, cell * rows, rgb(0x808080));
    for (int y = 0; y < sheet.height(); ++y) {
        for (int x = 0; x < sheet.width(); ++x) {
            if (((x / 8) + (y / 8)) % 2) sheet.set(x, y, rgb(0x9C9C9C));
        }
    }
    for (size_t i = 0; i < textures.size(); ++i) {
        const Canvas& img = textures[i].image;
        const int x = int(i % columns) * cell + 4, y = int(i / columns) * cell + 4;
        // Small pictures are blown up with square pixels so their details show.
        const int zoom = std::max(1, (cell - 8) / std::max(img.width(), img.height()));
        for (int py = 0; py < img.height() * zoom; ++py) {
            for (int px = 0; px < img.width() * zoom; ++px) {
                const Rgba under = sheet.at(x + px, y + py), top = img.at(px / zoom, py / zoom);
                sheet.set(x + px, y + py,
                          with_alpha(mix(under, with_alpha(top, 255), top.a / 255.0f), 255));
            }
        }
    }
    return sheet;
}
