// The character skins. Head and body meshes wrap the texture once around: a column is
// 1.4 degrees of turn and a row 0.7 degrees of height, so a round spot on the model is
// an ellipse half as wide as it is tall in the picture.
#include <cmath>

#include "textures.h"

namespace {

constexpr int kSkinSize = 256;
constexpr float kFront = 128.0f;  // the column that faces -Z

// An ellipse that looks round on the model: rx given in rows' units.
Shape spot(float x, float y, float r_across, float r_up) {
    return ellipse({x, y}, r_across / 2, r_up);
}

void big_eye(Canvas& c, float x, float y, float size, float look_x, Rgba iris) {
    c.fill_outlined(spot(x, y, size, size * 1.1f), kWhite, 2.5f);
    c.fill(spot(x + look_x, y + size * 0.15f, size * 0.55f, size * 0.55f), iris);
    c.fill(spot(x + look_x, y + size * 0.15f, size * 0.3f, size * 0.3f), kInk);
    c.fill(spot(x + look_x - 2, y - size * 0.15f, size * 0.16f, size * 0.16f), kWhite);
}

// Short cross stitches along a line, like a sewn cut.
void stitches(Canvas& c, Pt a, Pt b, int count, float size) {
    c.fill(segment(a, b, 1.6f), rgb(0x3A2A2A));
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len = std::sqrt(dx * dx + dy * dy);
    const float nx = -dy / len * size, ny = dx / len * size;
    for (int i = 0; i <= count; ++i) {
        const float t = float(i) / count;
        const Pt m = {a.x + dx * t, a.y + dy * t};
        c.fill(segment({m.x - nx * 0.5f, m.y - ny}, {m.x + nx * 0.5f, m.y + ny}, 1.3f),
               rgb(0x2A1E1E));
    }
}

Paint shaded(Rgba top, Rgba bottom) {
    return vertical_gradient(0, top, kSkinSize, bottom);
}

void wide_mouth(Canvas& c, float y, float half_width, float open, Rgba lips) {
    const Shape mouth = intersect_shape(ellipse({kFront, y - open * 0.3f}, half_width, open),
                                        rect(0, y - open * 0.3f, kSkinSize, kSkinSize));
    c.fill_outlined(mouth, rgb(0x5A1018), 2.5f, lips);
    c.fill(
        intersect_shape(mouth, ellipse({kFront, y + open * 0.9f}, half_width * 0.5f, open * 0.45f)),
        rgb(0xD04858));
}

}  // namespace

Canvas zombie_head() {
    Canvas c(kSkinSize, kSkinSize);
    c.fill(rect(0, 0, kSkinSize, kSkinSize), shaded(rgb(0x9DB08A), rgb(0x71866A)));
    // Bruises and rot.
    c.fill(spot(60, 150, 40, 22), rgb(0x7C8F6E));
    c.fill(spot(200, 90, 30, 18), rgb(0x839A72));
    c.fill(spot(kFront + 34, 150, 18, 10), rgb(0x7E6E8A));
    // Ragged dark hair on top.
    std::vector<Pt> hair = {{0, 0}, {256, 0}, {256, 44}};
    for (int i = 16; i >= 0; --i)
        hair.push_back({i * 16.0f, (i % 2 ? 58.0f : 40.0f) + (i % 3) * 4});
    c.fill(polygon(hair), rgb(0x2F3B26));
    // The stitched scar over the forehead.
    stitches(c, {kFront - 40, 66}, {kFront + 30, 88}, 6, 7);
    // Mismatched eyes: one wide open, one sunk in a dark ring.
    c.fill(spot(kFront - 24, 118, 34, 30), rgb(0x5E6E52));
    big_eye(c, kFront - 24, 118, 25, 2, rgb(0xB8C040));
    big_eye(c, kFront + 24, 120, 19, -2, rgb(0xC05030));
    // Nose holes.
    c.fill(spot(kFront - 4, 146, 5, 4), rgb(0x3A4A32));
    c.fill(spot(kFront + 4, 146, 5, 4), rgb(0x3A4A32));
    // A crooked stitched grin with a few teeth.
    wide_mouth(c, 168, 30, 16, rgb(0x2A2A22));
    c.fill(rect(kFront - 14, 163, kFront - 6, 171, 1), rgb(0xE8E0B0));
    c.fill(rect(kFront + 4, 163, kFront + 11, 170, 1), rgb(0xE8E0B0));
    stitches(c, {kFront - 32, 170}, {kFront + 32, 168}, 7, 8);
    return c;
}

Canvas zombie_body() {
    Canvas c(kSkinSize, kSkinSize);
    // Green skin under a torn, faded shirt.
    c.fill(rect(0, 0, kSkinSize, kSkinSize), rgb(0x8AA07A));
    std::vector<Pt> shirt = {{0, 0}, {256, 0}};
    for (int i = 16; i >= 0; --i)
        shirt.push_back({i * 16.0f, 196.0f + ((i * 7) % 5) * 6 - (i % 2) * 14});
    c.fill(polygon(shirt), shaded(rgb(0x7C8FA0), rgb(0x5A6878)));
    // Collar opening at the front showing skin.
    c.fill(polygon({{kFront - 26, 0}, {kFront + 26, 0}, {kFront, 48}}), rgb(0x8AA07A));
    // A patch and rips.
    c.fill_outlined(rect(kFront + 14, 96, kFront + 44, 126, 2), rgb(0xA08A5A), 1.5f, rgb(0x3A2A2A));
    stitches(c, {kFront + 14, 96}, {kFront + 44, 96}, 4, 5);
    stitches(c, {kFront + 14, 126}, {kFront + 44, 126}, 4, 5);
    c.fill(
        polygon({{kFront - 40, 120}, {kFront - 22, 128}, {kFront - 36, 150}, {kFront - 28, 136}}),
        rgb(0x8AA07A));
    c.fill(polygon({{60, 60}, {74, 66}, {62, 90}, {68, 72}}), rgb(0x8AA07A));
    // Buttons down the front, one missing.
    for (int y : {60, 84, 132}) c.fill_outlined(spot(kFront, float(y), 7, 5), rgb(0xD8D0B0), 1.2f);
    stitches(c, {kFront - 10, 160}, {kFront + 20, 176}, 4, 6);
    return c;
}

Canvas pirate_head() {
    Canvas c(kSkinSize, kSkinSize);
    c.fill(rect(0, 0, kSkinSize, kSkinSize), shaded(rgb(0xF2C69A), rgb(0xD8A070)));
    // Red bandana with white dots and its knot at the back.
    const Rgba bandana = rgb(0xD42A2A);
    c.fill(rect(0, 0, kSkinSize, 74), bandana);
    c.fill(rect(0, 70, kSkinSize, 78), rgb(0x9A1A1A));
    for (int i = 0; i < 12; ++i)
        c.fill(spot(10.0f + i * 21.3f, i % 2 ? 24.0f : 50.0f, 9, 5), kWhite);
    c.fill_outlined(spot(8, 70, 22, 14), bandana, 2);
    c.fill_outlined(spot(248, 70, 22, 14), bandana, 2);
    // Thick brows.
    c.fill(segment({kFront - 36, 96}, {kFront - 12, 92}, 4), rgb(0x3A2414));
    c.fill(segment({kFront + 12, 90}, {kFront + 36, 97}, 4), rgb(0x3A2414));
    // One big eye; the patch and its strap over the other.
    big_eye(c, kFront + 23, 120, 24, -2, rgb(0x3A70C0));
    c.fill(segment({kFront - 80, 70}, {kFront + 70, 132}, 3), kInk);
    c.fill_outlined(spot(kFront - 23, 120, 26, 24), rgb(0x1A1A1A), 2, kInk);
    // Nose, stubble and a grin with a gold tooth.
    c.fill(spot(kFront, 146, 12, 10), rgb(0xE0A080));
    for (int i = 0; i < 18; ++i)
        c.fill(circle({kFront - 34.0f + (i * 37) % 68, 182.0f + (i * 13) % 18}, 1.4f),
               rgb(0x6A4A3A));
    wide_mouth(c, 164, 30, 15, rgb(0x5A2A1A));
    c.fill(rect(kFront - 4, 160, kFront + 4, 167, 1), rgb(0xF0C030));
    c.fill(rect(kFront + 6, 160, kFront + 13, 166, 1), rgb(0xF8F4E0));
    return c;
}

Canvas pirate_body() {
    Canvas c(kSkinSize, kSkinSize);
    // Red and white stripes, a black belt with a gold buckle.
    for (int i = 0; i < 12; ++i) {
        c.fill(rect(0, i * 22.0f, kSkinSize, i * 22.0f + 22),
               i % 2 ? rgb(0xF4F0E8) : rgb(0xC82828));
    }
    c.fill(rect(0, 168, kSkinSize, 192), rgb(0x202020));
    c.fill_outlined(rect(kFront - 12, 164, kFront + 12, 196, 3), rgb(0xF0C030), 2);
    c.fill(rect(kFront - 6, 171, kFront + 6, 189, 2), rgb(0x202020));
    // Dark trousers below.
    c.fill(rect(0, 192, kSkinSize, kSkinSize), rgb(0x2A3050));
    // A blue sash at the neck.
    c.fill(rect(0, 0, kSkinSize, 14), rgb(0x2A3050));
    return c;
}

Canvas ninja_body() {
    Canvas c(kSkinSize, kSkinSize);
    c.fill(rect(0, 0, kSkinSize, kSkinSize), shaded(rgb(0x2A2A34), rgb(0x16161C)));
    // The wrap of the jacket crossing over the chest.
    c.fill(segment({kFront - 40, 0}, {kFront + 10, 150}, 3), rgb(0x44444F));
    c.fill(segment({kFront + 40, 0}, {kFront - 6, 130}, 3), rgb(0x44444F));
    // Folds at the sides.
    for (float x : {40.0f, 70.0f, 186.0f, 216.0f})
        c.fill(segment({x, 40}, {x + 8, 140}, 1.5f), rgb(0x3A3A44));
    // The belt with its knot and tails in front.
    c.fill(rect(0, 150, kSkinSize, 170), rgb(0xB02424));
    c.fill(rect(0, 150, kSkinSize, 153), rgb(0x701414));
    c.fill_outlined(spot(kFront, 160, 22, 12), rgb(0xC83030), 2, rgb(0x501010));
    c.fill_outlined(
        polygon({{kFront - 4, 166}, {kFront - 16, 206}, {kFront - 6, 208}, {kFront + 2, 170}}),
        rgb(0xC83030), 1.5f, rgb(0x501010));
    c.fill_outlined(
        polygon({{kFront + 2, 166}, {kFront + 18, 200}, {kFront + 26, 196}, {kFront + 8, 166}}),
        rgb(0xC83030), 1.5f, rgb(0x501010));
    return c;
}

Canvas robot_head() {
    Canvas c(kSkinSize, kSkinSize);
    c.fill(rect(0, 0, kSkinSize, kSkinSize), shaded(rgb(0xB4C2D6), rgb(0x6E7E96)));
    // Panel seams and rivets.
    const Rgba seam = rgb(0x4A5668);
    c.fill(rect(0, 58, kSkinSize, 61), seam);
    c.fill(rect(0, 196, kSkinSize, 199), seam);
    for (float x : {16.0f, 64.0f, 192.0f, 240.0f})
        c.fill(rect(x - 1.5f, 0, x + 1.5f, kSkinSize), seam);
    for (int i = 0; i < 16; ++i) {
        c.fill_outlined(spot(8.0f + i * 16, 50, 5, 3), rgb(0xD8E0EA), 1, seam);
        c.fill_outlined(spot(8.0f + i * 16, 206, 5, 3), rgb(0xD8E0EA), 1, seam);
    }
    // Ear bolts.
    for (float x : {64.0f, 192.0f}) {
        c.fill_outlined(spot(x, 128, 26, 24), rgb(0x8A96A8), 2, seam);
        c.fill(spot(x, 128, 10, 9), seam);
    }
    // A dark visor with two glowing eyes.
    c.fill_outlined(rect(kFront - 52, 96, kFront + 52, 144, 14), rgb(0x1A2230), 3, seam);
    for (float side : {-1.0f, 1.0f}) {
        const float x = kFront + side * 24;
        c.fill(rect(x - 16, 104, x + 16, 136, 9), with_alpha(rgb(0x40E8FF), 110), 4);
        c.fill(rect(x - 12, 108, x + 12, 132, 7), rgb(0x50F0FF));
        c.fill(rect(x - 6, 112, x + 4, 120, 3), rgb(0xE8FFFF));
    }
    // A speaker grille for a mouth.
    c.fill_outlined(rect(kFront - 26, 156, kFront + 26, 180, 5), rgb(0x2A3444), 2, seam);
    for (int i = 0; i < 6; ++i)
        c.fill(rect(kFront - 20 + i * 8.0f, 160, kFront - 16 + i * 8.0f, 176, 1), rgb(0x9AA8BA));
    return c;
}

Canvas robot_body() {
    Canvas c(kSkinSize, kSkinSize);
    c.fill(rect(0, 0, kSkinSize, kSkinSize), shaded(rgb(0xA8B6CC), rgb(0x66758E)));
    const Rgba seam = rgb(0x4A5668);
    for (float y : {40.0f, 150.0f, 200.0f}) c.fill(rect(0, y - 1.5f, kSkinSize, y + 1.5f), seam);
    for (float x : {0.0f, 64.0f, 192.0f}) c.fill(rect(x - 1.5f, 0, x + 1.5f, kSkinSize), seam);
    for (int i = 0; i < 16; ++i) {
        for (float y : {48.0f, 142.0f})
            c.fill_outlined(spot(8.0f + i * 16, y, 5, 3), rgb(0xD8E0EA), 1, seam);
    }
    // The chest panel: a glowing core and three lamps.
    c.fill_outlined(rect(kFront - 34, 58, kFront + 34, 134, 6), rgb(0x2A3444), 3, seam);
    c.fill(spot(kFront, 86, 40, 20), with_alpha(rgb(0x40E8FF), 90), 5);
    c.fill_outlined(spot(kFront, 86, 34, 17), rgb(0x60F0FF), 2, rgb(0x1A6070));
    c.fill(spot(kFront - 3, 82, 12, 6), rgb(0xE8FFFF));
    const Rgba lamps[] = {rgb(0xFF4040), rgb(0xFFD030), rgb(0x40FF60)};
    for (int i = 0; i < 3; ++i)
        c.fill_outlined(spot(kFront - 16 + i * 16.0f, 120, 10, 6), lamps[i], 1.5f);
    // Hazard stripes at the hips.
    for (int i = 0; i < 16; ++i) {
        const float x = i * 16.0f;
        c.fill(intersect_shape(polygon({{x, 200}, {x + 8, 200}, {x + 16, 224}, {x + 8, 224}}),
                               rect(0, 200, kSkinSize, 224)),
               rgb(0xE8C020));
    }
    return c;
}
