// Shared helpers of the world tests.
#pragma once

#include "world/movement.h"

// Looks toward -z from +z, as the camera does on entering play: forward -z, left +x.
inline const Camera kPlayCamera = {{0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f}};

inline PlayerRecord player_at(Vec3 position, Vec3 velocity = {0.0f, 0.0f, 0.0f}) {
    PlayerRecord r{};
    r.position = position;
    r.velocity = velocity;
    r.health = 100;
    r.action = action_idle;
    r.slot_state = SlotState::InGame;
    return r;
}

// Strictly inside the collision box (x 2.4..3.6, y -0.05..1.25, z -3.6..-2.4).
inline bool inside_box(Vec3 p) {
    return p.x > 2.4f && p.x < 3.6f && p.y > -0.05f && p.y < 1.25f && p.z > -3.6f && p.z < -2.4f;
}
