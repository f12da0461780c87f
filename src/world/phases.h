// The 125 ms action phases: walk and idle cycles, and attacks that end in a hit.
#pragma once

#include "effects/effect_list.h"
#include "world/player_table.h"

// One 125 ms step of the record's action. An attack in phase 2 hits every slot of the
// table within 1.0 of the point one unit along the velocity (the attacker's own slot
// too), spawns a "klank" and goes idle; a walk spawns a "tap" each time it wraps.
void phase_step(PlayerRecord& record, PlayerTable& table, EffectList& effects);
