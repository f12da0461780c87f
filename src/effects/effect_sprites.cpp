#include "effects/effect_sprites.h"

namespace {

constexpr float kEffectDepthRange = 1000.0f;

uint32_t screen_extent(int pixels) {
    return pixels > 0 ? static_cast<uint32_t>(pixels) : 0u;
}

}  // namespace

int layout_effect_sprites(const EffectList& list, const Matrix& view, const Matrix& projection,
                          int width, int height, EffectSprite out[kEffectCount]) {
    const Viewport vp = {
        0, 0, screen_extent(width), screen_extent(height), 0.0f, kEffectDepthRange};
    const Matrix world = identity();
    int count = 0;
    for (const Effect& e : list.entries) {
        const char* texture = effect_texture_name(e.kind);
        if (!effect_active(e) || texture == nullptr) continue;
        const Vec3 screen = project(e.position, vp, projection, view, world);
        out[count++] = EffectSprite{
            e.kind,
            texture,
            {screen.x - kEffectSpriteHalfSize, screen.y - kEffectSpriteHalfSize},
            e.scale,
        };
    }
    return count;
}
