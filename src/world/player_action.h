// What a player is doing; drives its phases and the key pose it shows.
#pragma once

#include <cstdint>

enum PlayerAction : uint32_t {
    action_idle = 0,
    action_attack = 1,
    action_walk = 0x100000,
};
