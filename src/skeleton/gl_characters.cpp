#include "skeleton/gl_characters.h"

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/parallel.h"
#include "render/gl_mesh.h"
#include "render/gl_sprite.h"
#include "render/gl_texture.h"
#include "skeleton/character_layout.h"
#include "skeleton/pose_figure_layout.h"

static_assert(sizeof(TrailVertex) == sizeof(ColouredVertex),
              "the trail is drawn straight from its table");

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;
constexpr Vec2 kUnscaled = {1.0f, 1.0f};

// Looks a name up once; a missing one is said once on stderr and leaves nothing to draw.
// A fresh mesh each time, so a file gone since an earlier load draws nothing.
void reload(Mesh& mesh, MeshData data) {
    mesh = Mesh();
    mesh.load(std::move(data));
}

// The files are parsed on every core; the meshes are made in file order on this thread,
// which holds the GL context, so failures are said in that order too.
void reload_all(Mesh* const* meshes, const char* const* paths, int count) {
    std::vector<MeshData> read(static_cast<size_t>(count));
    for_each_in_parallel(count, [&](int i) { read[i] = read_mesh_file(paths[i]); });
    for (int i = 0; i < count; ++i) reload(*meshes[i], std::move(read[i]));
}

const Texture* look_up(const TextureRegistry& textures, const char* name) {
    const Texture* texture = find_texture(textures, name);
    if (texture == nullptr) std::fprintf(stderr, "torvi: texture \"%s\" is not configured\n", name);
    return texture;
}

// True when an earlier cell of the skin table names the same texture (said already).
bool skin_named_before(int element, int column) {
    const char* name = kElementSkins[element][column];
    for (int e = 0; e <= element; ++e) {
        const int end = e < element ? kSkinColumns : column;
        for (int c = 0; c < end; ++c) {
            if (std::strcmp(kElementSkins[e][c], name) == 0) return true;
        }
    }
    return false;
}

void look_up_skins(CharacterAssets& assets, const TextureRegistry& textures) {
    for (int e = 0; e < kElementCount; ++e) {
        for (int c = 0; c < kSkinColumns; ++c) {
            const char* name = kElementSkins[e][c];
            assets.skins[e][c] =
                skin_named_before(e, c) ? find_texture(textures, name) : look_up(textures, name);
        }
    }
}

// The skin row of a record; a damaged element is drawn as the zombie, as its names are.
int skin_row(int32_t element) {
    return element >= 0 && element < kElementCount ? element : 0;
}

// World · View into c1..c4 and World · View · Projection into c5..c8.
void set_world_constants(Renderer& device, const Matrix& world) {
    device.set_world(world);
    const Matrix world_view = multiply(world, device.view());
    device.set_matrix_constants(1, world_view);
    device.set_matrix_constants(5, multiply(world_view, device.projection()));
}

void draw_piece(Renderer& device, const CharacterAssets& assets, const CharacterPiece& piece,
                int row, const PlayerRecord& record, const BonePose& pose) {
    set_world_constants(device, piece_world_matrix(pose, piece.piece, record));
    for (int k = 0; k < piece.toon_count; ++k) {
        const ToonMesh& toon = piece.toon[k];
        assets.meshes[toon.mesh].draw_toon(device, assets.skins[row][toon.skin]);
    }
    assets.meshes[piece.outline].draw_outline(device);
}

void draw_status_label(Renderer& device, Font* font, StatusLabelMode mode,
                       const PlayerRecord& record) {
    if (font == nullptr) return;
    char text[kStatusLabelSize];
    format_status_label(record, mode, text);
    const ScreenPixel at = status_label_position(record, device.projection(), device.view(),
                                                 device.width(), device.height());
    font->draw_text(static_cast<float>(at.x), static_cast<float>(at.y), kStatusLabelColour, text);
}

void draw_hud_sprite(SpriteBatch& batch, const CharacterAssets& assets, const HudSprite& sprite) {
    const SpriteRect source = {sprite.source.left, sprite.source.top, sprite.source.right,
                               sprite.source.bottom};
    const Texture* texture = assets.hud[sprite.texture];
    if (texture == nullptr) return;  // missing from the configuration: nothing to draw
    batch.draw(texture, sprite.whole_texture ? nullptr : &source, kUnscaled, sprite.centre,
               sprite.angle, sprite.corner, kOpaqueWhite);
}

}  // namespace

void load_character_assets(CharacterAssets& assets, Renderer& device) {
    Mesh* meshes[kCharacterMeshCount];
    for (int m = 0; m < kCharacterMeshCount; ++m) meshes[m] = &assets.meshes[m];
    reload_all(meshes, kCharacterMeshFiles, kCharacterMeshCount);
    look_up_skins(assets, device.textures());
    for (int h = 0; h < 2; ++h) assets.hud[h] = look_up(device.textures(), kHudTextureNames[h]);
    assets.sprites_ready = assets.sprites.init(device);
    if (!assets.sprites_ready)
        std::fprintf(stderr, "torvi: the health ring's sprite batch failed\n");
}

void draw_characters(Renderer& device, const CharacterAssets& assets, const KeyPoses& poses,
                     Font* label_font, StatusLabelMode labels, const PlayerTable& table) {
    BonePose pose;
    for (const PlayerRecord& record : table.slots) {
        if (record.slot_state != slot_in_game) continue;
        key_pose(poses, pose, record.action, record.action_phase);
        draw_character(device, assets, label_font, labels, record, pose);
    }
}

void draw_character(Renderer& device, const CharacterAssets& assets, Font* label_font,
                    StatusLabelMode labels, const PlayerRecord& record, const BonePose& pose) {
    const int row = skin_row(record.element);
    for (const CharacterPiece& piece : kCharacterPieces) {
        draw_piece(device, assets, piece, row, record, pose);
    }
    draw_status_label(device, label_font, labels, record);
    if (record.action == action_attack) draw_attack_trail(device, record, pose);
}

// The batch draws on the device it was made for at load.
void draw_health_ring(CharacterAssets& assets, const PlayerRecord& record) {
    HudSprite sprites[kHealthRingMaxSprites];
    const int count = health_ring_layout(record.health, sprites);
    if (count == 0 || !assets.sprites_ready) return;
    assets.sprites.begin();
    for (int k = 0; k < count; ++k) draw_hud_sprite(assets.sprites, assets, sprites[k]);
    assets.sprites.end();
}

void draw_attack_trail(Renderer& device, const PlayerRecord& record, const BonePose& pose) {
    const Matrix world = attack_trail_world_matrix(pose, record);
    device.set_world(world);
    device.draw_coloured_triangles(kAttackTrail, kAttackTrailVertices, world, blend_additive);
}

void load_bone_markers(BoneMarkerAssets& markers, const TextureRegistry& textures) {
    Mesh* const meshes[] = {&markers.shaft, &markers.knob};
    const char* const paths[] = {kBoneShaftFile, kBoneKnobFile};
    reload_all(meshes, paths, 2);
    markers.skin = look_up(textures, kPoseFigureSkin);
}

void draw_pose_figure(Renderer& device, const BoneMarkerAssets& markers, const BonePose& pose) {
    BoneMarkers layout[kBoneCount];
    pose_figure_layout(pose, layout);
    for (const BoneMarkers& bone : layout) {
        set_world_constants(device, bone.shaft);
        markers.shaft.draw_toon(device, markers.skin);
        set_world_constants(device, bone.knob);
        markers.knob.draw_toon(device, markers.skin);
    }
}
