#include "render/projection.h"

namespace {

constexpr float kFieldOfView = 0.78539816f;  // pi / 4
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 1500.0f;

}  // namespace

Matrix game_projection(int width, int height) {
    return perspective_fov_lh(kFieldOfView, static_cast<float>(width) / height, kNearPlane,
                              kFarPlane);
}
