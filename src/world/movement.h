// How actions change a player record, and the 10 ms movement step: damping, a constant
// fall, one collision box and the map's bounds. Only the host moves records.
#pragma once

#include "world/camera.h"
#include "world/player_table.h"

// The one fixed obstacle: a box 1.2 x 1.3 x 1.2 centred on (3, 0.6, -3).
struct BoxCollider {
    Vec3 corners[8];
    int triangles[10][3];  // corner indices, tested in this order
};

// The box, built once.
const BoxCollider& box_collider();

// Applies one action to a record. Movement is relative to the camera's horizontal
// direction. Non-finite a or b count as 0; a and b are clamped to -100..100.
void apply_action(PlayerRecord& record, ActionKind kind, float a, float b, const Camera& cam);

// Switches the action: idle always, attack only from idle or walk, walk only from idle.
void set_action(PlayerRecord& record, PlayerAction action);

// Turn about +Y from the horizontal velocity: atan2(-vx, -vz), so the model's front (0, 0, -1)
// faces the way it moves. Standing still (vx = vz = 0) or a velocity that is not finite
// keeps the record's facing; a facing that is no turn about Y (a record that never moved
// holds zeros) gives the unturned one.
Matrix character_yaw(const PlayerRecord& record);

// One 10 ms step: move by velocity / 400 plus the fall, damp, collide, clamp to the map,
// bring slow velocity components to rest, and keep the facing of the new velocity.
void physics_step(PlayerRecord& record);

// The position after moving by step against the box, sliding along the faces it meets.
// A step shorter than 0.05 moves nothing.
Vec3 collide_and_slide(Vec3 position, Vec3 step);
