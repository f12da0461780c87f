// Drawing the comic pop-ups: one sprite per active effect at its projected point.
#pragma once

#include "effects/effect_list.h"
#include "effects/effect_sprites.h"
#include "render/gl_renderer.h"
#include "render/gl_sprite.h"

constexpr int kEffectKinds = 3;

struct EffectDrawing {
    SpriteBatch batch;
    const Texture* textures[kEffectKinds] = {};  // by kind; null: not drawn
    EffectSprite sprites[kEffectCount];
};

// Creates the sprite batch on device and looks up "klank", "tap" and "boom" by kind.
// After the textures are loaded.
void effects_init(EffectDrawing& effects, Renderer& device);

// Draws every active effect of list in opaque white with the renderer's view and
// projection. Ageing them is the render tick's work.
void effects_draw(Renderer& device, EffectDrawing& effects, const EffectList& list);
