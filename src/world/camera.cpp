#include "world/camera.h"

#include <cmath>

namespace {

constexpr Vec3 kUp = {0.0f, 1.0f, 0.0f};
// Below this squared horizontal offset the eye counts as over (or under) the target.
constexpr float kPoleGuard = 0.4f;

// Drops a pitch that would carry the eye further toward the pole it is near.
float guard_pitch(Vec3 offset, float pitch) {
    const bool near_pole = offset.x * offset.x + offset.z * offset.z < kPoleGuard;
    if (!near_pole) return pitch;
    if (offset.y > 0.0f && pitch > 0.0f) return 0.0f;
    if (offset.y < 0.0f && pitch < 0.0f) return 0.0f;
    return pitch;
}

Vec3 turn_pitch(Vec3 offset, float pitch) {
    const Vec3 axis = cross(offset, kUp);
    // An offset straight up or down has no axis across it; a rotation about the zero
    // vector would shrink the offset instead of turning it.
    if (pitch == 0.0f || (axis.x == 0.0f && axis.z == 0.0f)) return offset;
    return transform_normal(offset, rotation_axis(axis, pitch));
}

}  // namespace

void set_camera(Camera& cam, Vec3 eye, Vec3 target) {
    cam.eye = eye;
    cam.target = target;
}

void follow(Camera& cam, Vec3 point) {
    cam.eye = add(subtract(cam.eye, cam.target), point);
    cam.target = point;
}

void orbit(Camera& cam, float yaw, float pitch) {
    if (!std::isfinite(yaw) || !std::isfinite(pitch)) return;
    Vec3 offset = subtract(cam.eye, cam.target);
    offset = turn_pitch(offset, guard_pitch(offset, pitch));
    offset = transform_normal(offset, rotation_y(yaw));
    cam.eye = add(cam.target, offset);
}

Vec3 camera_eye(const Camera& cam) {
    return cam.eye;
}
Vec3 camera_target(const Camera& cam) {
    return cam.target;
}

Matrix view_matrix(const Camera& cam) {
    return look_at_lh(cam.eye, cam.target, kUp);
}
