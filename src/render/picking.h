// The pick ray under the mouse cursor, in world space.
#pragma once

#include "math/math3d.h"

struct Ray {
    Vec3 origin;     // the eye
    Vec3 direction;  // not normalised; (0, 0, 0) when there is no ray
};

// The ray from the eye through pixel (px, py) of a width x height back buffer seen with
// projection and view. With no usable screen (width or height not positive), a projection
// whose m00 or m11 is zero or not finite, or a view that cannot be inverted, the direction
// is (0, 0, 0), which hits nothing; the origin is still the eye when the view inverts, else
// (0, 0, 0).
Ray cursor_ray(float px, float py, int width, int height, const Matrix& projection,
               const Matrix& view);
