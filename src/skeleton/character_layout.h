// Where a character's pieces, label, attack trail and health ring go; what to draw them with.
//
// Pure data and math: the drawing code loads the meshes and textures named here, asks these
// functions for matrices and sprite placements, and draws. Nothing here allocates.
#pragma once

#include <cstddef>
#include <cstdint>

#include "math/math3d.h"
#include "skeleton/bone_pose.h"
#include "world/player_table.h"

// --- meshes and skins ------------------------------------------------------------------

enum CharacterMesh {
    mesh_head,
    mesh_head_outline,
    mesh_body,
    mesh_body_outline,
    mesh_left_hand,
    mesh_left_hand_outline,
    mesh_right_hand,
    mesh_right_hand_outline,
    mesh_foot_part1,
    mesh_foot_part2,
    mesh_foot_outline,
};
constexpr int kCharacterMeshCount = 11;

// Model file of each CharacterMesh, in enum order.
extern const char* const kCharacterMeshFiles[kCharacterMeshCount];

// The columns of an element's skins.
enum SkinColumn {
    skin_body,
    skin_head,
    skin_hands,
    skin_foot_part1,
    skin_foot_part2,
};
constexpr int kSkinColumns = 5;
constexpr int kElementCount = 4;  // 0 zombie, 1 pirate, 2 ninja, 3 robot

// Texture names of the skins, [element][column].
extern const char* const kElementSkins[kElementCount][kSkinColumns];

// The skin texture name of an element; an element outside 0..3 (a damaged record) is drawn
// as the zombie, element 0, so the player stays visible. A column outside the table gives
// nullptr.
const char* element_skin_name(int32_t element, int column);

// One toon-shaded mesh of a piece and the skin column it is drawn in.
struct ToonMesh {
    CharacterMesh mesh;
    SkinColumn skin;
};

struct CharacterPiece {
    BodyPiece piece;
    int toon_count;  // 1 or 2 (the feet have two parts)
    ToonMesh toon[2];
    CharacterMesh outline;
};

// The six pieces in drawing order: head, body, left hand, right hand, right foot, left foot.
constexpr int kCharacterPieceCount = 6;
extern const CharacterPiece kCharacterPieces[kCharacterPieceCount];

// --- placement -------------------------------------------------------------------------

// The skeleton hangs this far above the record's position (the feet).
constexpr float kCharacterBaseHeight = 0.55f;

// (x, y + 0.55, z) of the record's position.
Vec3 character_base_point(const PlayerRecord& record);

// piece_matrix(pose, piece) then character_yaw(record) (world/movement.h) then translation(base
// point); a knocked-out record is first laid on its back, 0.4 lower. A piece number that names no
// BodyPiece is placed as if its piece matrix were the identity.
Matrix piece_world_matrix(const BonePose& pose, int piece, const PlayerRecord& record);

// --- status label ----------------------------------------------------------------------

constexpr size_t kStatusLabelSize = 256;  // 255 characters and the terminating zero
constexpr uint32_t kStatusLabelColour = 0xFFFFFFFF;

// What the status labels show: everything the record holds, or only the player's name.
enum StatusLabelMode : uint8_t { label_full, label_name };

// The label text of a record in mode, cut at 255 characters.
void format_status_label(const PlayerRecord& record, StatusLabelMode mode,
                         char out[kStatusLabelSize]);

struct ScreenPixel {
    int x, y;
};

// The record's position projected with viewport (0, 0, width, height, 0, 1000) and an
// identity world, truncated toward zero. Values outside the int range (or not finite)
// are clamped (NaN gives 0).
ScreenPixel status_label_position(const PlayerRecord& record, const Matrix& projection,
                                  const Matrix& view, int width, int height);

// Float to pixel: toward zero, clamped to the int range, NaN as 0.
int truncate_to_pixel(float v);

// --- attack trail ----------------------------------------------------------------------

// Position and diffuse colour, 16 bytes, as the trail's vertex buffer holds them.
struct TrailVertex {
    float x, y, z;
    uint32_t colour;
};
static_assert(sizeof(TrailVertex) == 16, "a trail vertex is 16 bytes in the buffer");

constexpr int kAttackTrailVertices = 21;  // 7 triangles
extern const TrailVertex kAttackTrail[kAttackTrailVertices];
constexpr const char* kAttackTrailTexture = "white";

// scaling(1/30) then piece_matrix(pose, right hand) then character_yaw then translation(base).
Matrix attack_trail_world_matrix(const BonePose& pose, const PlayerRecord& record);

// --- health ring -----------------------------------------------------------------------

enum HudTexture { hud_balken, hud_ring };
constexpr const char* kHudTextureNames[2] = {"balken", "ring"};

struct SourceRect {
    int left, top, right, bottom;
};

// One sprite of the ring: a point p of the source goes to R(p - centre) + centre + corner
// on the screen, R turning by angle (radians; screen y grows downward).
struct HudSprite {
    HudTexture texture;
    bool whole_texture;  // true: source is unused
    SourceRect source;
    float angle;
    Vec2 corner;
    Vec2 centre;
};

// Start cap, up to 6 middle segments, end cap, ring.
constexpr int kHealthRingMaxSprites = 9;

// The sprites of the health ring, in drawing order; returns how many (0 unless
// 0 < health <= 100).
int health_ring_layout(uint32_t health, HudSprite out[kHealthRingMaxSprites]);

// Where a point of the sprite's source lands on the screen.
Vec2 hud_sprite_point(const HudSprite& sprite, Vec2 p);
