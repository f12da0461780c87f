#include "skeleton/character_layout.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "world/movement.h"

const char* const kCharacterMeshFiles[kCharacterMeshCount] = {
    "Data/models/head.x",       "Data/models/head_toon.x",      "Data/models/body.x",
    "Data/models/body_toon.x",  "Data/models/lefthand.x",       "Data/models/lefthand_toon.x",
    "Data/models/righthand.x",  "Data/models/righthand_toon.x", "Data/models/foot_part1.x",
    "Data/models/foot_part2.x", "Data/models/foot_toon.x",
};

const char* const kElementSkins[kElementCount][kSkinColumns] = {
    {"zombie_body", "zombie_head", "white", "white", "grey"},
    {"pirate_body", "pirate_head", "white", "white", "red"},
    {"ninja_body", "black", "black", "white", "black"},
    {"robot_body", "robot_head", "white", "grey", "white"},
};

const CharacterPiece kCharacterPieces[kCharacterPieceCount] = {
    {piece_head, 1, {{mesh_head, skin_head}, {}}, mesh_head_outline},
    {piece_body, 1, {{mesh_body, skin_body}, {}}, mesh_body_outline},
    {piece_left_hand, 1, {{mesh_left_hand, skin_hands}, {}}, mesh_left_hand_outline},
    {piece_right_hand, 1, {{mesh_right_hand, skin_hands}, {}}, mesh_right_hand_outline},
    {piece_right_foot,
     2,
     {{mesh_foot_part1, skin_foot_part1}, {mesh_foot_part2, skin_foot_part2}},
     mesh_foot_outline},
    {piece_left_foot,
     2,
     {{mesh_foot_part1, skin_foot_part1}, {mesh_foot_part2, skin_foot_part2}},
     mesh_foot_outline},
};

const TrailVertex kAttackTrail[kAttackTrailVertices] = {
    {2.0621f, -21.8890f, -11.7480f, 0x00000000}, {1.8620f, -22.9890f, -3.1894f, 0x00000000},
    {2.1102f, -32.8920f, -3.4577f, 0x33333333},  {2.5131f, -34.2260f, -17.4310f, 0x33333333},
    {2.0621f, -21.8890f, -11.7480f, 0x00000000}, {2.1102f, -32.8920f, -3.4577f, 0x33333333},
    {2.5131f, -34.2260f, -17.4310f, 0x33333333}, {2.2450f, -36.4170f, -5.3056f, 0x33333333},
    {2.1102f, -32.8920f, -3.4577f, 0x33333333},  {2.6529f, -28.7830f, -27.7080f, 0x33333333},
    {2.0621f, -21.8890f, -11.7480f, 0x00000000}, {2.5131f, -34.2260f, -17.4310f, 0x33333333},
    {2.6529f, -28.7830f, -27.7080f, 0x33333333}, {2.1801f, -19.4360f, -18.4540f, 0x00000000},
    {2.0621f, -21.8890f, -11.7480f, 0x00000000}, {2.6529f, -28.7830f, -27.7080f, 0x33333333},
    {2.1801f, -19.4360f, -18.4540f, 0x00000000}, {2.6594f, -20.4940f, -35.5650f, 0x33333333},
    {2.6594f, -20.4940f, -35.5650f, 0x33333333}, {2.2251f, -14.1350f, -25.0230f, 0x00000000},
    {2.1801f, -19.4360f, -18.4540f, 0x00000000},
};

namespace {

constexpr float kModelUnit = 1.0f / 30.0f;  // trail coordinates are in model units
constexpr float kQuarterTurn = 1.5707963f;
constexpr float kLyingDrop = 0.4f;  // from standing hip height to lying
constexpr float kLabelDepthRange = 1000.0f;

// The health ring: all sprites hang from one corner and turn about one centre.
constexpr int kHealthFull = 100;
constexpr int kRingSegments = 7;
constexpr int kStartCapDegrees = 120;
constexpr int kSegmentStepDegrees = 20;
constexpr Vec2 kSegmentCorner = {100.0f, 50.0f};
constexpr Vec2 kSegmentCentre = {16.0f, 100.0f};
constexpr Vec2 kRingCorner = {-10.0f, 23.0f};
constexpr SourceRect kStartCap = {0, 0, 32, 32};
constexpr SourceRect kMiddleSegment = {32, 0, 64, 32};
constexpr SourceRect kEndCap = {128, 0, 160, 32};

// A knocked-out player lies on its back, its hips near the ground.
Matrix place_on_base(const Matrix& local, const PlayerRecord& record) {
    Vec3 base = character_base_point(record);
    Matrix placed = local;
    if (record.down_ticks > 0) {
        placed = multiply(placed, rotation_axis({1.0f, 0.0f, 0.0f}, -kQuarterTurn));
        base.y -= kLyingDrop;
    }
    return multiply(multiply(placed, character_yaw(record)), translation(base.x, base.y, base.z));
}

HudSprite balken(SourceRect source, int degrees) {
    return {hud_balken,     false,         source, static_cast<float>(degrees) * kDegToRad,
            kSegmentCorner, kSegmentCentre};
}

}  // namespace

const char* element_skin_name(int32_t element, int column) {
    if (column < 0 || column >= kSkinColumns) return nullptr;
    const int row = element >= 0 && element < kElementCount ? element : 0;
    return kElementSkins[row][column];
}

Vec3 character_base_point(const PlayerRecord& record) {
    const Vec3& p = record.position;
    return {p.x, p.y + kCharacterBaseHeight, p.z};
}

Matrix piece_world_matrix(const BonePose& pose, int piece, const PlayerRecord& record) {
    Matrix local = identity();
    piece_matrix(local, pose, piece);  // an unknown piece leaves the identity
    return place_on_base(local, record);
}

void format_status_label(const PlayerRecord& record, StatusLabelMode mode,
                         char out[kStatusLabelSize]) {
    // A name from the network may lack its terminator.
    char name[kPlayerNameSize];
    std::memcpy(name, record.name, sizeof name);
    name[sizeof name - 1] = '\0';
    if (mode == label_name) {
        std::snprintf(out, kStatusLabelSize, "%s", name);
        return;
    }
    const Vec3& p = record.position;
    const Vec3& v = record.velocity;
    std::snprintf(out, kStatusLabelSize,
                  "pos [%f][%f][%f]\nspeed [%f][%f][%f]\nname [%s]\nhealth "
                  "[%d]\naction[0x%.8x][0x%.8x]\nqar_pos[%f][%f]",
                  p.x, p.y, p.z, v.x, v.y, v.z, name, static_cast<int>(record.health),
                  record.action, static_cast<unsigned>(record.action_phase), std::floor(p.x),
                  std::floor(-p.z));
}

int truncate_to_pixel(float v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<float>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<float>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

ScreenPixel status_label_position(const PlayerRecord& record, const Matrix& projection,
                                  const Matrix& view, int width, int height) {
    const Viewport vp = {0,
                         0,
                         static_cast<uint32_t>(width > 0 ? width : 0),
                         static_cast<uint32_t>(height > 0 ? height : 0),
                         0.0f,
                         kLabelDepthRange};
    const Vec3 s = project(record.position, vp, projection, view, identity());
    return {truncate_to_pixel(s.x), truncate_to_pixel(s.y)};
}

Matrix attack_trail_world_matrix(const BonePose& pose, const PlayerRecord& record) {
    Matrix hand = identity();
    piece_matrix(hand, pose, piece_right_hand);
    return place_on_base(multiply(scaling(kModelUnit, kModelUnit, kModelUnit), hand), record);
}

int health_ring_layout(uint32_t health, HudSprite out[kHealthRingMaxSprites]) {
    if (health == 0 || health > kHealthFull) return 0;
    const int n = static_cast<int>(health) * kRingSegments / kHealthFull;
    int count = 0;
    int degrees = kStartCapDegrees;
    out[count++] = balken(kStartCap, degrees);
    degrees -= kSegmentStepDegrees;
    for (int k = 1; k < n; ++k) {
        out[count++] = balken(kMiddleSegment, degrees);
        degrees -= kSegmentStepDegrees;
    }
    out[count++] = balken(kEndCap, degrees);
    out[count++] = {hud_ring, true, {0, 0, 0, 0}, 0.0f, kRingCorner, {0.0f, 0.0f}};
    return count;
}

Vec2 hud_sprite_point(const HudSprite& sprite, Vec2 p) {
    const float c = std::cos(sprite.angle), s = std::sin(sprite.angle);
    const float x = p.x - sprite.centre.x, y = p.y - sprite.centre.y;
    return {x * c - y * s + sprite.centre.x + sprite.corner.x,
            x * s + y * c + sprite.centre.y + sprite.corner.y};
}
