#include "effects/gl_effects.h"

#include <cstdio>

#include "effects/effect_sprites.h"
#include "render/gl_sprite.h"
#include "render/gl_texture.h"

namespace {

constexpr int kEffectKinds = 3;

struct EffectDrawing {
    SpriteBatch batch;
    const Texture* textures[kEffectKinds] = {};  // by kind; null: not drawn
    EffectSprite sprites[kEffectCount];
};

EffectDrawing& drawing() {
    static EffectDrawing effects;
    return effects;
}

const Texture* texture_of(int32_t kind) {
    if (kind < 0 || kind >= kEffectKinds) return nullptr;
    return drawing().textures[kind];
}

}  // namespace

void effects_init(Renderer& device) {
    EffectDrawing& effects = drawing();
    effects.batch.init(device);
    for (int kind = 0; kind < kEffectKinds; ++kind) {
        const char* name = effect_texture_name(kind);
        effects.textures[kind] = find_texture(name);
        if (effects.textures[kind] == nullptr) {
            std::fprintf(stderr, "torvi: no texture \"%s\"; those effects stay invisible\n", name);
        }
    }
    init_effect_list(effect_list());
}

void effects_draw(Renderer& device, EffectList& list) {
    EffectDrawing& effects = drawing();
    const int count = layout_effect_sprites(list, device.view(), device.projection(),
                                            device.width(), device.height(), effects.sprites);
    effects.batch.begin();
    for (int s = 0; s < count; ++s) {
        const EffectSprite& sprite = effects.sprites[s];
        const Texture* texture = texture_of(sprite.kind);
        if (texture == nullptr) continue;
        effects.batch.draw(texture, nullptr, sprite.scale, {0.0f, 0.0f}, 0.0f, sprite.top_left,
                           kEffectSpriteColour);
    }
    effects.batch.end();
    age_effects(list);
}

void effects_draw(Renderer& device) {
    effects_draw(device, effect_list());
}
