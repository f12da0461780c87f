#include "world/phases.h"

#include "world/movement.h"

namespace {

constexpr int32_t kIdlePhases = 3;
constexpr int32_t kWalkPhases = 4;
constexpr int32_t kAttackPhases = 3;
constexpr int32_t kHitPhase = 2;
constexpr float kReach = 1.0f;
constexpr uint32_t kDamage = 4;

// (phase + 1) modulo count, safe for any stored phase.
int32_t next_phase(int32_t phase, int32_t count) {
    int32_t p = phase % count;
    if (p < 0) p += count;
    return (p + 1) % count;
}

void take_damage(PlayerRecord& r) {
    r.health = r.health > kDamage ? r.health - kDamage : 0;
}

// The point one unit ahead along the velocity; a still attacker hits its own position.
Vec3 hit_point(const PlayerRecord& attacker) {
    return add(attacker.position, normalize(attacker.velocity));
}

// Every slot counts, whatever its state, the attacker's own included.
void hit(const PlayerRecord& attacker, PlayerTable& table, EffectList& effects) {
    const Vec3 point = hit_point(attacker);
    for (PlayerRecord& r : table.slots)
        if (length(subtract(r.position, point)) <= kReach) take_damage(r);
    effect_spawn(effects, effect_klank, attacker.position);
}

void attack_step(PlayerRecord& r, PlayerTable& table, EffectList& effects) {
    if (r.action_phase == kHitPhase) {
        hit(r, table, effects);
        set_action(r, action_idle);
    }
    r.action_phase = next_phase(r.action_phase, kAttackPhases);
}

void walk_step(PlayerRecord& r, EffectList& effects) {
    r.action_phase = next_phase(r.action_phase, kWalkPhases);
    if (r.action_phase == 0) effect_spawn(effects, effect_tap, r.position);
}

}  // namespace

void phase_step(PlayerRecord& record, PlayerTable& table, EffectList& effects) {
    switch (record.action) {
        case action_idle:
            record.action_phase = next_phase(record.action_phase, kIdlePhases);
            break;
        case action_walk:
            walk_step(record, effects);
            break;
        case action_attack:
            attack_step(record, table, effects);
            break;
        default:
            break;
    }
}
