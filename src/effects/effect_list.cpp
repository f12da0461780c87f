#include "effects/effect_list.h"

namespace {

constexpr float kRisePerFrame = 0.05f;

struct EffectKindInfo {
    const char* texture;
    float scale;
};

constexpr EffectKindInfo kKinds[] = {
    {"klank", 0.5f},
    {"tap", 0.5f},
    {"boom", 1.0f},
};
constexpr int32_t kKindCount = sizeof(kKinds) / sizeof(kKinds[0]);

bool known_kind(int32_t kind) {
    return kind >= 0 && kind < kKindCount;
}

}  // namespace

void init_effect_list(EffectList& list) {
    for (Effect& e : list.entries)
        e = Effect{effect_klank, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f}, kEffectLifetime};
    list.spawned = 0;
}

void effect_spawn(EffectList& list, int32_t kind, Vec3 position) {
    if (!known_kind(kind)) return;
    for (int i = 0; i + 1 < kEffectCount; ++i) list.entries[i] = list.entries[i + 1];
    const float s = kKinds[kind].scale;
    list.entries[kEffectCount - 1] = Effect{kind, position, {s, s}, 0};
    ++list.spawned;
}

bool effect_active(const Effect& effect) {
    return effect.age < kEffectLifetime;
}

void age_effects(EffectList& list) {
    for (Effect& e : list.entries) {
        if (!effect_active(e)) continue;
        e.age += 1;
        e.position.y += kRisePerFrame;
    }
}

const char* effect_texture_name(int32_t kind) {
    return known_kind(kind) ? kKinds[kind].texture : nullptr;
}
