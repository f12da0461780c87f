// Drawing the characters: their six toon pieces with outlines, status labels, the
// attack trail, the local player's health ring, and the pose editor's bone figure.
#pragma once

#include "render/gl_font.h"
#include "render/gl_mesh.h"
#include "render/gl_renderer.h"
#include "render/gl_sprite.h"
#include "skeleton/bone_pose.h"
#include "skeleton/character_layout.h"
#include "skeleton/key_pose.h"
#include "world/player_table.h"

// The body-part meshes, element skins and the health ring's sprites.
struct CharacterAssets {
    Mesh meshes[kCharacterMeshCount];
    const Texture* skins[kElementCount][kSkinColumns] = {};
    const Texture* hud[2] = {};
    SpriteBatch sprites;
    bool sprites_ready = false;
};

// The pose figure's markers ("Data/models/bone_start.x", "bone_end.x", skin "blue").
struct BoneMarkerAssets {
    Mesh shaft;
    Mesh knob;
    const Texture* skin = nullptr;
};

// Loads the body-part meshes and element skins, looks up "balken" and "ring", and
// creates the sprite batch and the trail's vertex data. Once, after the textures.
void load_character_assets(CharacterAssets& assets, Renderer& device);

// Every InGame player of the table, in slot order, in its key pose of poses; labels as
// the mode says, in label_font (none when null).
void draw_characters(Renderer& device, const CharacterAssets& assets, const KeyPoses& poses,
                     Font* label_font, StatusLabelMode labels, const PlayerTable& table);

// One character in the given pose, with its status label and, while attacking, its trail.
void draw_character(Renderer& device, const CharacterAssets& assets, Font* label_font,
                    StatusLabelMode labels, const PlayerRecord& record, const BonePose& pose);

// The record's attack trail in pose, whatever its action.
void draw_attack_trail(Renderer& device, const PlayerRecord& record, const BonePose& pose);

// The health ring of the record on the screen (nothing unless 0 < health <= 100); the
// batch draws on the device it was made for at load.
void draw_health_ring(CharacterAssets& assets, const PlayerRecord& record);

void load_bone_markers(BoneMarkerAssets& markers, const TextureRegistry& textures);
void draw_pose_figure(Renderer& device, const BoneMarkerAssets& markers, const BonePose& pose);
