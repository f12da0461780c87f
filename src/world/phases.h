// The 125 ms action phases: walk and idle cycles, and attacks that end in a hit.
#pragma once

#include "effects/effect_list.h"
#include "world/player_table.h"

// One knock-out: who went down and who did it, by slot.
struct KnockOut {
    int victim, attacker;
};

// The host's rule for health 0, and what the hits of one step did under it.
struct Fight {
    bool knockouts;  // a player hit to health 0 is knocked out
    int count;
    KnockOut happened[kPlayerSlots];
};

// One 125 ms step of the record's action. An attack in phase 2 hits every other player in
// the game standing within 1.0 of the point one unit along the velocity, spawns a "klank"
// and goes idle; a walk spawns a "tap" each time it wraps. With knock-outs on, a player
// the hit takes to 0 goes down (knockout_step brings it back) and the attacker counts it.
void phase_step(PlayerRecord& record, PlayerTable& table, EffectList& effects, Fight& fight);

// Sim ticks a knocked-out player stays down: 3 s.
constexpr uint32_t kKnockedOutTicks = 300;

// One 10 ms tick of a knocked-out player in slot: counts down, then it starts again at
// the slot's spawn point with full health.
void knockout_step(PlayerRecord& record, int slot);
