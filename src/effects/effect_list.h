// Comic pop-ups ("klank", "tap", "boom") that rise from a world point and vanish.
//
// The list is a fixed ring of 50 entries, index 0 the oldest and 49 the newest. This module
// keeps the list and ages it; the drawing of the sprites belongs to the renderer.
#pragma once

#include <cstdint>

#include "math/math3d.h"

enum EffectKind : int32_t {
    effect_klank = 0,  // an attack's hit
    effect_tap = 1,    // a footstep
    effect_boom = 2,   // available, spawned by nothing yet
};

constexpr int kEffectCount = 50;
// Frames an effect stays visible; an entry is active while its age is below this.
constexpr int32_t kEffectLifetime = 16;

struct Effect {
    int32_t kind;
    Vec3 position;
    Vec2 scale;
    int32_t age;  // frames drawn so far
};

struct EffectList {
    Effect entries[kEffectCount];
    uint32_t spawned;  // effects spawned so far: the host sends its clients the new ones
};

// Every entry inactive (age 16) at (0, 0, 0), kind 0.
void init_effect_list(EffectList& list);

// Drops the oldest entry and writes a new one at index 49. A kind outside 0..2 has no
// picture and is ignored.
void effect_spawn(EffectList& list, int32_t kind, Vec3 position);

bool effect_active(const Effect& effect);

// One frame: every active entry gets one frame older and rises 0.05. The render tick calls
// this once for each frame of play, drawn or not.
void age_effects(EffectList& list);

// Texture name of a kind ("klank", "tap", "boom"); nullptr for any other kind.
const char* effect_texture_name(int32_t kind);
