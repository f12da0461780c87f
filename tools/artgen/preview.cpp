#include "preview.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "key_poses.h"
#include "models.h"
#include "skeleton/bone_pose.h"

namespace {

constexpr float kDeg = 0.017453292f;

const Canvas& texture(const std::vector<NamedTexture>& textures, const char* name) {
    for (const NamedTexture& t : textures)
        if (t.name == name) return t.image;
    return textures.front().image;
}

// Draws a source rectangle of a sprite turned about centre (relative to its corner).
void draw_turned(Canvas& out, const Canvas& src, int sx, int sy, Pt corner, Pt centre,
                 float degrees) {
    const float a = degrees * kDeg, c = std::cos(a), s = std::sin(a);
    const Pt pivot = {corner.x + centre.x, corner.y + centre.y};
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const float dx = x + 0.5f - pivot.x, dy = y + 0.5f - pivot.y;
            const int px = int(std::floor(dx * c + dy * s + centre.x));
            const int py = int(std::floor(-dx * s + dy * c + centre.y));
            if (px < 0 || py < 0 || px >= 32 || py >= 32) continue;
            const Rgba t = src.at(sx + px, sy + py);
            out.set(x, y, mix(out.at(x, y), with_alpha(t, 255), t.a / 255.0f));
        }
    }
}

void draw_ring(Canvas& out, const std::vector<NamedTexture>& textures, int health, Pt origin) {
    const Canvas& bar = texture(textures, "balken");
    const Canvas& ring = texture(textures, "ring");
    const Pt corner = {origin.x + 100, origin.y + 50};
    const Pt centre = {16, 100};
    const int n = health * 7 / 100;
    int angle = 120;
    draw_turned(out, bar, 0, 0, corner, centre, float(angle));
    angle -= 20;
    for (int i = 0; i + 1 < n; ++i, angle -= 20)
        draw_turned(out, bar, 32, 0, corner, centre, float(angle));
    draw_turned(out, bar, 128, 0, corner, centre, float(angle));
    for (int y = 0; y < ring.height(); ++y) {
        for (int x = 0; x < ring.width(); ++x) {
            const int tx = int(origin.x) - 10 + x, ty = int(origin.y) + 23 + y;
            if (tx < 0 || ty < 0 || tx >= out.width() || ty >= out.height()) continue;
            const Rgba t = ring.at(x, y);
            out.set(tx, ty, mix(out.at(tx, ty), with_alpha(t, 255), t.a / 255.0f));
        }
    }
}

// --- a small rasteriser for the character sheet ------------------------------------

struct View {
    Matrix world_to_view;
    float scale;
    Pt centre;
};

struct Target {
    Canvas& image;
    std::vector<float>& depth;
};

Vec3 to_screen(const View& v, Vec3 p) {
    const Vec3 q = transform_coord(p, v.world_to_view);
    return {v.centre.x + q.x * v.scale, v.centre.y - q.y * v.scale, q.z};
}

// Draws the mesh's front faces (clockwise on screen) with the skin, two-band shaded;
// a null skin draws flat ink, which is how outline hulls show.
void draw_mesh(Target& t, const View& v, const MeshData& m, const Matrix& world,
               const Canvas* skin) {
    const Vec3 light = normalize({-0.4f, 0.8f, -0.6f});
    const int w = t.image.width(), h = t.image.height();
    for (const auto& f : m.faces) {
        Vec3 s[3], n[3];
        for (int k = 0; k < 3; ++k) {
            s[k] = to_screen(v, transform_coord(m.positions[f[k]], world));
            n[k] = normalize(transform_normal(m.normals[f[k]], world));
        }
        // Screen y runs down, so a clockwise triangle has a positive area here.
        const float area =
            (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[2].x - s[0].x) * (s[1].y - s[0].y);
        if (area <= 0) continue;
        const int x0 = std::max(0, int(std::min({s[0].x, s[1].x, s[2].x})));
        const int x1 = std::min(w - 1, int(std::max({s[0].x, s[1].x, s[2].x})) + 1);
        const int y0 = std::max(0, int(std::min({s[0].y, s[1].y, s[2].y})));
        const int y1 = std::min(h - 1, int(std::max({s[0].y, s[1].y, s[2].y})) + 1);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                float b[3];
                for (int k = 0; k < 3; ++k) {
                    const Vec3 a = s[(k + 1) % 3], c = s[(k + 2) % 3];
                    b[k] = ((c.x - a.x) * (py - a.y) - (px - a.x) * (c.y - a.y)) / area;
                }
                if (b[0] < 0 || b[1] < 0 || b[2] < 0) continue;
                const float z = b[0] * s[0].z + b[1] * s[1].z + b[2] * s[2].z;
                float& d = t.depth[size_t(y) * w + x];
                if (z >= d) continue;
                d = z;
                if (!skin) {
                    t.image.set(x, y, kInk);
                    continue;
                }
                float u = 0, vv = 0;
                Vec3 normal = {0, 0, 0};
                for (int k = 0; k < 3; ++k) {
                    u += b[k] * m.uvs[f[k]].x;
                    vv += b[k] * m.uvs[f[k]].y;
                    normal = add(normal, scale(n[k], b[k]));
                }
                const int tx = std::clamp(int(u * skin->width()), 0, skin->width() - 1);
                const int ty = std::clamp(int(vv * skin->height()), 0, skin->height() - 1);
                const Rgba c = skin->at(tx, ty);
                const float lit = dot(normalize(normal), light) > 0.0f ? 1.0f : 0.5f;
                t.image.set(x, y,
                            {uint8_t(c.r * lit), uint8_t(c.g * lit), uint8_t(c.b * lit), 255});
            }
        }
    }
}

struct Skins {
    const char* body;
    const char* head;
    const char* hands;
    const char* foot1;
    const char* foot2;
};

constexpr Skins kElementSkins[4] = {
    {"zombie_body", "zombie_head", "white", "white", "grey"},
    {"pirate_body", "pirate_head", "white", "white", "red"},
    {"ninja_body", "black", "black", "white", "black"},
    {"robot_body", "robot_head", "white", "grey", "white"},
};

const MeshData& model(const std::vector<NamedMesh>& models, const char* file) {
    for (const NamedMesh& m : models)
        if (m.file == file) return m.mesh;
    return models.front().mesh;
}

void draw_character(Target& t, const View& v, const std::vector<NamedMesh>& models,
                    const std::vector<NamedTexture>& textures, const BonePose& pose, int element) {
    const Skins& s = kElementSkins[element];
    struct Piece {
        int piece;
        const char* meshes[2];
        const char* skins[2];
        const char* hull;
    };
    const Piece pieces[] = {
        {piece_head, {"head.x", nullptr}, {s.head, nullptr}, "head_toon.x"},
        {piece_body, {"body.x", nullptr}, {s.body, nullptr}, "body_toon.x"},
        {piece_left_hand, {"lefthand.x", nullptr}, {s.hands, nullptr}, "lefthand_toon.x"},
        {piece_right_hand, {"righthand.x", nullptr}, {s.hands, nullptr}, "righthand_toon.x"},
        {piece_right_foot, {"foot_part1.x", "foot_part2.x"}, {s.foot1, s.foot2}, "foot_toon.x"},
        {piece_left_foot, {"foot_part1.x", "foot_part2.x"}, {s.foot1, s.foot2}, "foot_toon.x"},
    };
    for (const Piece& p : pieces) {
        Matrix m;
        piece_matrix(m, pose, p.piece);
        m = multiply(m, translation(0, 0.55f, 0));
        for (int k = 0; k < 2; ++k) {
            if (p.meshes[k])
                draw_mesh(t, v, model(models, p.meshes[k]), m, &texture(textures, p.skins[k]));
        }
        draw_mesh(t, v, model(models, p.hull), m, nullptr);
    }
}

}  // namespace

Canvas health_ring_preview(const std::vector<NamedTexture>& textures) {
    Canvas out(560, 300, rgb(0x5A7A4A));
    draw_ring(out, textures, 100, {0, 0});
    draw_ring(out, textures, 40, {280, 0});
    return out;
}

Canvas character_preview(const std::vector<NamedTexture>& textures) {
    constexpr int cell = 240;
    const std::vector<NamedMesh> models = all_models();
    std::vector<BonePose> poses(1);
    default_pose(poses[0]);
    for (const NamedPose& p : all_key_poses()) poses.push_back(p.pose);
    Canvas out(cell * 4, cell * int(poses.size()), rgb(0xF4F4F0));
    std::vector<float> depth(size_t(out.width()) * out.height(), std::numeric_limits<float>::max());
    Target target = {out, depth};
    // The default pose half from the front, the key poses from the side, where strides
    // and swings show; all a little from above.
    const Matrix tilt = rotation_axis({1, 0, 0}, -0.25f);
    const Matrix front = multiply(rotation_y(-0.5f), tilt);
    const Matrix side = multiply(rotation_y(-1.3f), tilt);
    for (size_t row = 0; row < poses.size(); ++row) {
        for (int element = 0; element < 4; ++element) {
            const Matrix& turn = row == 0 ? front : side;
            const View v = {turn, 120.0f, {cell * (element + 0.5f), cell * (row + 0.88f)}};
            draw_character(target, v, models, textures, poses[row], element);
        }
    }
    return out;
}
