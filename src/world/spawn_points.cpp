#include "world/spawn_points.h"

#include "world/player_table.h"

namespace {

// On the ground, 1.5 or more apart and from the host's start at the origin, away from the
// box at (3, -3), rows first along the edges the start sits on.
constexpr Vec3 kSpawnPoints[kPlayerSlots] = {
    {0.0f, 0.0f, 0.0f},  {1.5f, 0.0f, -1.0f}, {1.0f, 0.0f, -2.5f}, {3.0f, 0.0f, -1.0f},
    {1.0f, 0.0f, -4.0f}, {4.5f, 0.0f, -1.0f}, {1.0f, 0.0f, -5.5f}, {6.0f, 0.0f, -1.0f},
    {2.5f, 0.0f, -5.5f}, {6.0f, 0.0f, -3.0f}, {4.0f, 0.0f, -5.5f}, {5.5f, 0.0f, -5.0f},
};

}  // namespace

Vec3 spawn_point(int slot) {
    return slot >= 1 && slot < kPlayerSlots ? kSpawnPoints[slot] : kSpawnPoints[0];
}
