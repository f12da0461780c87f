#include "math/math3d.h"

#include <gtest/gtest.h>

#include "support/expect_near.h"

namespace {

constexpr float kPi = 3.14159265f;

// A bone's roll turns about z: a quarter turn back brings up to +x.
TEST(Math3d, RollTurnsUpToTheSide) {
    const Quaternion roll = quaternion_yaw_pitch_roll(0.0f, 0.0f, -kPi / 2.0f);
    expect_near(transform_normal({0, 1, 0}, rotation_quaternion(roll)), {1, 0, 0});
}

TEST(Math3d, IntersectTriangleCountsBothFacesAndOnlyAheadOfTheRay) {
    const Vec3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
    float u, v, t;
    ASSERT_TRUE(intersect_triangle(a, b, c, {0.25f, 0.5f, -2}, {0, 0, 1}, &u, &v, &t));
    expect_near({u, v, t}, {0.25f, 0.5f, 2.0f});
    ASSERT_TRUE(intersect_triangle(a, b, c, {0.25f, 0.5f, 4}, {0, 0, -2}, &u, &v, &t));
    EXPECT_NEAR(t, 2.0f, 1e-6f);
    // Behind the origin, outside the triangle, parallel, and with no direction at all.
    const Vec3 misses[4][2] = {{{0.25f, 0.5f, 2}, {0, 0, 1}},
                               {{0.8f, 0.8f, -2}, {0, 0, 1}},
                               {{0.2f, 0.2f, -2}, {1, 0, 0}},
                               {{0.2f, 0.2f, -2}, {0, 0, 0}}};
    for (const auto& ray : misses) {
        EXPECT_FALSE(intersect_triangle(a, b, c, ray[0], ray[1], &u, &v, &t)) << ray[0].x;
    }
}

}  // namespace
