// The one camera: an eye point looking at a target point, up always +Y.
//
// Pure state and math, no graphics device. The frame follows the local player with it,
// the input turns it, and movement reads its horizontal direction.
#pragma once

#include "math/math3d.h"

struct Camera {
    Vec3 eye;
    Vec3 target;
};

void set_camera(Camera& cam, Vec3 eye, Vec3 target);

// Moves the target to point and the eye by the same amount: the offset stays.
void follow(Camera& cam, Vec3 point);

// Turns the eye about the target by yaw (about +Y) and pitch (up and down), in radians,
// keeping its distance. A pitch that would carry the eye over the pole is dropped; a
// non-finite angle turns nothing.
void orbit(Camera& cam, float yaw, float pitch);

Vec3 camera_eye(const Camera& cam);
Vec3 camera_target(const Camera& cam);

// look_at_lh(eye, target, (0, 1, 0)).
Matrix view_matrix(const Camera& cam);
