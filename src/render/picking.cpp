#include "render/picking.h"

#include <cmath>

namespace {

bool usable_scale(float s) {
    return s != 0.0f && std::isfinite(s);
}

}  // namespace

Ray cursor_ray(float px, float py, int width, int height, const Matrix& projection,
               const Matrix& view) {
    Ray ray = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
    Matrix m;
    if (!inverse(m, view)) return ray;
    ray.origin = {m.m[3][0], m.m[3][1], m.m[3][2]};
    const float p00 = projection.m[0][0], p11 = projection.m[1][1];
    if (width <= 0 || height <= 0 || !usable_scale(p00) || !usable_scale(p11)) return ray;

    // The cursor in view space on the plane z = 1.
    const Vec3 v = {((2.0f * px / static_cast<float>(width)) - 1.0f) / p00,
                    -((2.0f * py / static_cast<float>(height)) - 1.0f) / p11, 1.0f};
    ray.direction = {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
                     v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
                     v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
    return ray;
}
