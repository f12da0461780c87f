#include "models.h"

#include <cmath>

#include "skeleton/bone_pose.h"

namespace {

constexpr float kPi = 3.14159265f;
// The skeleton hangs this far above the ground at the hips.
constexpr float kHipHeight = 0.55f;

// Positions in the frame of a figure standing on the ground (y = 0).
Vec3 standing(float x, float y, float z) {
    return {x, y - kHipHeight, z};
}

// Carries a mesh modelled in the figure's frame into the frame of one body piece of
// the default pose, where the game draws it.
MeshData in_piece_frame(MeshData mesh, int piece) {
    BonePose pose;
    default_pose(pose);
    Matrix frame, to_piece;
    piece_matrix(frame, pose, piece);
    inverse(to_piece, frame);
    transform(mesh, to_piece);
    return mesh;
}

MeshData with_hull(std::vector<NamedMesh>& out, const char* name, const char* hull_name,
                   MeshData mesh) {
    out.push_back({std::string(name) + ".x", mesh});
    if (hull_name) out.push_back({std::string(hull_name) + ".x", outline_hull(mesh, kOutlinePush)});
    return mesh;
}

// --- character pieces (figure frame) ---------------------------------------------------

MeshData mitten(float side) {
    // A round fist with a thumb pointing forward and inward.
    MeshData m = ellipsoid(standing(0.35f * side, 0.6f, 0.0f), {0.1f, 0.115f, 0.105f}, 20, 12);
    append(m, ellipsoid(standing(0.3f * side, 0.64f, -0.085f), {0.045f, 0.055f, 0.05f}, 12, 8));
    return m;
}

// The sole's outline seen from above: a rounded shoe print, toes toward -Z.
std::vector<Vec2> sole_outline(float cx) {
    std::vector<Vec2> pts;
    const int steps = 24;
    for (int i = 0; i < steps; ++i) {
        // Clockwise from above in a left-handed frame: angle grows from -Z toward +X.
        const float a = 2 * kPi * i / steps;
        const float s = std::sin(a), c = std::cos(a);
        const float half_length = c > 0 ? 0.25f : 0.15f;  // longer toward the toes
        const float width = 0.105f;
        const float round = std::pow(std::fabs(c), 0.7f) * (c >= 0 ? 1 : -1);
        const float sx = std::pow(std::fabs(s), 0.7f) * (s >= 0 ? 1 : -1);
        pts.push_back({cx + width * sx, -0.04f - half_length * round});
    }
    return pts;
}

}  // namespace

MeshData head_model() {
    return ellipsoid(standing(0, 1.15f, 0), {0.31f, 0.29f, 0.285f}, 40, 20);
}

MeshData body_model() {
    // A pear: wider toward the bottom, flatter front to back.
    const Vec3 centre = standing(0, 0.76f, 0);
    return surface_grid(
        [=](float u, float v) {
            const float around = (u - 0.5f) * 2 * kPi, down = v * kPi;
            const float widen = 1.0f - 0.14f * std::cos(down);
            const float ring = std::sin(down) * widen;
            return Vec3{centre.x + 0.27f * ring * std::sin(around),
                        centre.y + 0.35f * std::cos(down),
                        centre.z - 0.23f * ring * std::cos(around)};
        },
        36, 18);
}

MeshData hand_model(bool left) {
    return mitten(left ? 1.0f : -1.0f);
}

MeshData foot_sole_model() {
    return prism(sole_outline(0.2f), 0.0f - kHipHeight, 0.055f - kHipHeight);
}

MeshData foot_upper_model() {
    // A dome over the front of the sole with a round toe cap.
    MeshData m = ellipsoid(standing(0.2f, 0.1f, -0.06f), {0.09f, 0.1f, 0.17f}, 20, 12);
    append(m, ellipsoid(standing(0.2f, 0.08f, -0.17f), {0.085f, 0.07f, 0.09f}, 16, 10));
    return m;
}

namespace {

MeshData bone_shaft() {
    // A bone that is thick at its joint (y = -1) and tapers toward its tip.
    return lathe(
        {0, 0, 0},
        [](float v) {
            const float r = 0.09f + 0.09f * v;
            const float cap = std::sin(std::min(std::min(v, 1 - v) * 14.0f, kPi / 2));
            return Vec2{r * cap, -v};
        },
        16, 14);
}

MeshData bone_knob() {
    return ellipsoid({0, 0, 0}, {0.3f, 0.3f, 0.3f}, 16, 10);
}

MeshData crate() {
    // Drawn on grid vertex (2.5, 0, -2.5) it fills the box that blocks movement.
    return box({-0.1f, -0.05f, -1.1f}, {1.1f, 1.25f, 0.1f});
}

// A heart outline in the XY plane, clockwise as seen from -Z, about 0.8 across.
std::vector<Vec2> heart_outline() {
    std::vector<Vec2> pts;
    const int steps = 48;
    for (int i = 0; i < steps; ++i) {
        const float t = 2 * kPi * i / steps;  // clockwise seen from the front
        const float x = 16 * std::pow(std::sin(t), 3.0f);
        const float y =
            13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t);
        pts.push_back({x * 0.026f, y * 0.026f + 0.07f});
    }
    return pts;
}

MeshData health_heart() {
    MeshData m = slab(heart_outline(), -0.12f, 0.24f);
    // The menu looks at it from (1, 1, 1): turn its face toward that side.
    transform(m, rotation_y(-0.75f * kPi));
    return m;
}

// A flat disc: top centre, top rim, bottom rim, bottom centre.
Vec2 plinth_profile(float v) {
    constexpr float radius = 0.27f, height = 0.1f;
    const float t = v * 3;
    if (t <= 1) return {radius * t, height};
    if (t <= 2) return {radius, height * (2 - t)};
    return {radius * (3 - t), 0.0f};
}

MeshData easter_bunny() {
    // A little stone bunny on a round plinth.
    MeshData m = lathe({0, 0, 0}, plinth_profile, 20, 6);
    append(m, ellipsoid({0, 0.32f, 0}, {0.2f, 0.24f, 0.18f}, 20, 12));
    append(m, ellipsoid({0, 0.63f, -0.02f}, {0.15f, 0.14f, 0.14f}, 20, 12));
    append(m, ellipsoid({-0.07f, 0.85f, 0.0f}, {0.04f, 0.14f, 0.03f}, 10, 8));
    append(m, ellipsoid({0.07f, 0.85f, 0.0f}, {0.04f, 0.14f, 0.03f}, 10, 8));
    append(m, ellipsoid({0, 0.25f, 0.18f}, {0.07f, 0.07f, 0.07f}, 10, 6));
    append(m, ellipsoid({-0.1f, 0.1f, -0.12f}, {0.06f, 0.05f, 0.1f}, 10, 6));
    append(m, ellipsoid({0.1f, 0.1f, -0.12f}, {0.06f, 0.05f, 0.1f}, 10, 6));
    return m;
}

// One blade: a tapering strip bent over, with a front and a back side.
MeshData grass_blade(float yaw, float height, float lean) {
    MeshData blade = surface_grid(
        [=](float u, float v) {
            const float h = 1 - v;
            const float half = 0.025f * (1 - h);
            return Vec3{(u - 0.5f) * 2 * half, height * h, -lean * h * h};
        },
        1, 4);
    MeshData back = blade;
    for (auto& f : back.faces) std::swap(f[1], f[2]);
    for (Vec3& n : back.normals) n = scale(n, -1);
    append(blade, back);
    transform(blade, rotation_y(yaw));
    return blade;
}

MeshData grass_tuft() {
    MeshData m;
    const float yaws[] = {0.0f, 1.3f, 2.4f, 3.5f, 4.4f, 5.4f, 0.7f};
    const float heights[] = {0.34f, 0.26f, 0.3f, 0.22f, 0.32f, 0.24f, 0.2f};
    for (int i = 0; i < 7; ++i)
        append(m, grass_blade(yaws[i], heights[i], 0.08f + 0.02f * (i % 3)));
    return m;
}

}  // namespace

std::vector<NamedMesh> all_models() {
    std::vector<NamedMesh> out;
    with_hull(out, "head", "head_toon", in_piece_frame(head_model(), piece_head));
    with_hull(out, "body", "body_toon", in_piece_frame(body_model(), piece_body));
    with_hull(out, "lefthand", "lefthand_toon", in_piece_frame(hand_model(true), piece_left_hand));
    with_hull(out, "righthand", "righthand_toon",
              in_piece_frame(hand_model(false), piece_right_hand));
    const MeshData sole = in_piece_frame(foot_sole_model(), piece_left_foot);
    const MeshData upper = in_piece_frame(foot_upper_model(), piece_left_foot);
    with_hull(out, "foot_part1", nullptr, sole);
    with_hull(out, "foot_part2", nullptr, upper);
    MeshData whole_foot = sole;
    append(whole_foot, upper);
    out.push_back({"foot_toon.x", outline_hull(whole_foot, kOutlinePush)});
    with_hull(out, "bone_start", nullptr, bone_shaft());
    with_hull(out, "bone_end", nullptr, bone_knob());
    with_hull(out, "health", "health_toon", health_heart());
    with_hull(out, "box", "box_toon", crate());
    with_hull(out, "oster", "oster_toon", easter_bunny());
    with_hull(out, "gras", nullptr, grass_tuft());
    return out;
}
