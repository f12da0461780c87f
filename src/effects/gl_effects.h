// Drawing the comic pop-ups: one sprite per active effect at its projected point.
#pragma once

#include "effects/effect_list.h"
#include "render/gl_renderer.h"

// Creates the sprite batch on device, looks up "klank", "tap" and "boom" by kind and
// sets up the process-wide effect list. After the textures are loaded.
void effects_init(Renderer& device);

// Draws every active effect of list in opaque white with the renderer's view and
// projection, then ages the list by one frame. A kind without a texture still ages.
void effects_draw(Renderer& device, EffectList& list);
// The same for the process-wide list.
void effects_draw(Renderer& device);
