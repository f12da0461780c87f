#include "world/phases.h"

#include "world/movement.h"
#include "world/spawn_points.h"

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

// The attacker's slot, or -1 for a record outside the table.
int slot_of(const PlayerRecord& record, const PlayerTable& table) {
    for (int slot = 0; slot < kPlayerSlots; ++slot)
        if (&table.slots[slot] == &record) return slot;
    return -1;
}

void knock_out(PlayerRecord& victim, int victim_slot, PlayerRecord& attacker,
               const PlayerTable& table, Fight& fight) {
    victim.down_ticks = kKnockedOutTicks;
    set_action(victim, action_idle);
    victim.velocity = {0.0f, victim.velocity.y, 0.0f};
    ++attacker.knockouts;
    if (fight.count < kPlayerSlots)
        fight.happened[fight.count++] = KnockOut{victim_slot, slot_of(attacker, table)};
}

// Others in the game only: an attack never hurts its attacker, nor a slot nobody plays,
// nor a player already down.
void hit(PlayerRecord& attacker, PlayerTable& table, EffectList& effects, Fight& fight) {
    const Vec3 point = hit_point(attacker);
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        PlayerRecord& r = table.slots[slot];
        if (&r == &attacker || r.slot_state != slot_in_game || r.down_ticks > 0) continue;
        if (length(subtract(r.position, point)) > kReach) continue;
        const bool standing = r.health > 0;
        take_damage(r);
        if (fight.knockouts && standing && r.health == 0)
            knock_out(r, slot, attacker, table, fight);
    }
    effect_spawn(effects, effect_klank, attacker.position);
}

void attack_step(PlayerRecord& r, PlayerTable& table, EffectList& effects, Fight& fight) {
    if (r.action_phase == kHitPhase) {
        hit(r, table, effects, fight);
        set_action(r, action_idle);
    }
    r.action_phase = next_phase(r.action_phase, kAttackPhases);
}

void walk_step(PlayerRecord& r, EffectList& effects) {
    r.action_phase = next_phase(r.action_phase, kWalkPhases);
    if (r.action_phase == 0) effect_spawn(effects, effect_tap, r.position);
}

}  // namespace

void phase_step(PlayerRecord& record, PlayerTable& table, EffectList& effects, Fight& fight) {
    switch (record.action) {
        case action_idle:
            record.action_phase = next_phase(record.action_phase, kIdlePhases);
            break;
        case action_walk:
            walk_step(record, effects);
            break;
        case action_attack:
            attack_step(record, table, effects, fight);
            break;
        default:
            break;
    }
}

void knockout_step(PlayerRecord& record, int slot) {
    if (record.down_ticks == 0 || --record.down_ticks > 0) return;
    record.position = spawn_point(slot);
    record.velocity = {0.0f, 0.0f, 0.0f};
    record.health = kStartHealth;
    set_action(record, action_idle);
}
