#include "effects/gl_effects.h"

#include <cstdio>

#include "render/gl_texture.h"

namespace {

const Texture* texture_of(const EffectDrawing& effects, int32_t kind) {
    if (kind < 0 || kind >= kEffectKinds) return nullptr;
    return effects.textures[kind];
}

}  // namespace

void effects_init(EffectDrawing& effects, Renderer& device) {
    effects.batch.init(device);
    for (int kind = 0; kind < kEffectKinds; ++kind) {
        const char* name = effect_texture_name(kind);
        effects.textures[kind] = find_texture(device.textures(), name);
        if (effects.textures[kind] == nullptr) {
            std::fprintf(stderr, "torvi: no texture \"%s\"; those effects stay invisible\n", name);
        }
    }
}

void effects_draw(Renderer& device, EffectDrawing& effects, const EffectList& list) {
    const int count = layout_effect_sprites(list, device.view(), device.projection(),
                                            device.width(), device.height(), effects.sprites);
    effects.batch.begin();
    for (int s = 0; s < count; ++s) {
        const EffectSprite& sprite = effects.sprites[s];
        const Texture* texture = texture_of(effects, sprite.kind);
        if (texture == nullptr) continue;
        effects.batch.draw(texture, nullptr, sprite.scale, {0.0f, 0.0f}, 0.0f, sprite.top_left,
                           kEffectSpriteColour);
    }
    effects.batch.end();
}
