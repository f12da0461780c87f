// Drawing the characters: their six toon pieces with outlines, status labels, the
// attack trail, the local player's health ring, and the pose editor's bone figure.
#pragma once

#include "render/gl_renderer.h"
#include "skeleton/bone_pose.h"
#include "world/player_table.h"

// Loads the body-part meshes and element skins, looks up "balken" and "ring", and
// creates the sprite batch and the trail's vertex data. Once, after the textures.
void load_character_assets();
// The same for a given device (the health ring's sprite batch draws on it).
void load_character_assets(Renderer& device);

// Every InGame player of the table, in slot order, in its key pose.
void draw_characters(Renderer& device, PlayerTable& table);

// One character in the given pose, with its status label and, while attacking, its trail.
void draw_character(Renderer& device, PlayerRecord& record, const BonePose& pose);

// The health ring of the record on the screen (nothing unless 0 < health <= 100).
void draw_health_ring(Renderer& device, const PlayerRecord& record);

// The bone markers of the pose figure ("Data/models/bone_start.x", "bone_end.x", "blue").
void load_bone_markers();
void draw_pose_figure(Renderer& device, const BonePose& pose);
