// The camera's orbit and follow, and the pick ray through the cursor.
#include "world/camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "support/expect_near.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

Vec3 offset(const Camera& cam) {
    return subtract(cam.eye, cam.target);
}

Camera at_offset(Vec3 o) {
    return {add({2.0f, 0.0f, -2.0f}, o), {2.0f, 0.0f, -2.0f}};
}

TEST(Camera, OrbitTurnsAboutTheTargetAndFollowKeepsTheOffset) {
    Camera cam = at_offset({0.0f, 5.0f, 5.0f});
    orbit(cam, kHalfPi, 0.0f);
    expect_near(offset(cam), {5.0f, 5.0f, 0.0f}, 1e-4f);
    follow(cam, {10.0f, 20.0f, -10.0f});
    expect_near(camera_eye(cam), {15.0f, 25.0f, -10.0f}, 1e-4f);
    expect_near(camera_target(cam), {10.0f, 20.0f, -10.0f}, 1e-4f);
    // The view puts the target straight ahead at its distance.
    expect_near(transform_coord(cam.target, view_matrix(cam)), {0, 0, std::sqrt(50.0f)}, 1e-4f);

    Camera raised = at_offset({0.0f, 5.0f, 5.0f});
    orbit(raised, 0.0f, 0.2f);
    EXPECT_GT(offset(raised).y, 5.0f);
    EXPECT_NEAR(length(offset(raised)), std::sqrt(50.0f), 1e-4f);
}

TEST(Camera, ThePoleGuardDropsOnlyThePitchTowardThePole) {
    Camera above = at_offset({0.1f, 5.0f, 0.0f});
    const Vec3 eye = above.eye;
    orbit(above, 0.0f, 0.3f);
    expect_near(above.eye, eye, 1e-4f);
    orbit(above, 0.0f, -0.3f);
    EXPECT_GT(offset(above).x, 1.0f);
    EXPECT_NEAR(length(offset(above)), std::sqrt(25.01f), 1e-4f);

    Camera below = at_offset({0.1f, -5.0f, 0.0f});
    orbit(below, kHalfPi, -0.3f);  // the yaw still turns
    expect_near(offset(below), {0.0f, -5.0f, -0.1f}, 1e-4f);
    orbit(below, 0.0f, 0.3f);
    EXPECT_GT(std::fabs(offset(below).z), 1.0f);
}

TEST(Camera, DegenerateOffsetsAndAnglesKeepTheEyeWhereItIs) {
    Camera same = at_offset({0.0f, 0.0f, 0.0f});
    orbit(same, 1.0f, 1.0f);
    expect_near(offset(same), {0.0f, 0.0f, 0.0f}, 1e-4f);
    // Straight above there is no axis to pitch about; the distance must not shrink.
    Camera pole = at_offset({0.0f, 5.0f, 0.0f});
    orbit(pole, 0.0f, -1.0f);
    EXPECT_NEAR(length(offset(pole)), 5.0f, 1e-5f);
    Camera cam = at_offset({0.0f, 5.0f, 5.0f});
    orbit(cam, std::numeric_limits<float>::quiet_NaN(), 0.1f);
    orbit(cam, 0.1f, std::numeric_limits<float>::infinity());
    expect_near(offset(cam), {0.0f, 5.0f, 5.0f}, 1e-4f);
}

}  // namespace
