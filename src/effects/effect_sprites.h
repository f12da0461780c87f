// Where each active comic pop-up is drawn on the screen this frame.
//
// The frame draws the sprites laid out here and then calls age_effects once.
#pragma once

#include <cstdint>

#include "effects/effect_list.h"
#include "math/math3d.h"

// A pop-up's picture is 128 pixels square; it is drawn centred on its projected point.
constexpr float kEffectSpriteHalfSize = 64.0f;
constexpr uint32_t kEffectSpriteColour = 0xFFFFFFFF;

struct EffectSprite {
    int32_t kind;
    const char* texture;  // "klank", "tap" or "boom"
    Vec2 top_left;        // screen pixels
    Vec2 scale;
};

// One sprite for each active entry of list, oldest first: its position projected with
// view and projection, an identity world and the viewport (0, 0, width, height, 0, 1000),
// moved up and left by half a picture, at the entry's scale. An entry whose kind has no
// picture is left out. Returns the number of sprites written.
int layout_effect_sprites(const EffectList& list, const Matrix& view, const Matrix& projection,
                          int width, int height, EffectSprite out[kEffectCount]);
