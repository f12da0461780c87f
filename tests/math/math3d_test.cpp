#include "math/math3d.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/expect_near.h"

namespace {

constexpr float kPi = 3.14159265f;

void expect_matrix_near(const Matrix& a, const Matrix& b, float tolerance = 1e-6f) {
    for (int k = 0; k < 16; ++k) EXPECT_NEAR(a.m[k / 4][k % 4], b.m[k / 4][k % 4], tolerance) << k;
}

TEST(Math3d, QuaternionsApplyRollThenPitchThenYaw) {
    const Quaternion roll = quaternion_yaw_pitch_roll(0.0f, 0.0f, -kPi / 2.0f);
    EXPECT_NEAR(roll.x, 0.0f, 1e-7f);
    EXPECT_NEAR(roll.y, 0.0f, 1e-7f);
    EXPECT_NEAR(roll.z, -0.70710677f, 1e-6f);
    EXPECT_NEAR(roll.w, 0.70710677f, 1e-6f);
    expect_near(transform_normal({0, 1, 0}, rotation_quaternion(roll)), {1, 0, 0});

    const float yaw = 0.3f, pitch = -0.7f, r = 1.1f;
    const Quaternion q = quaternion_yaw_pitch_roll(yaw, pitch, r);
    const Quaternion qr = quaternion_yaw_pitch_roll(0, 0, r);
    const Quaternion qp = quaternion_yaw_pitch_roll(0, pitch, 0);
    const Quaternion qy = quaternion_yaw_pitch_roll(yaw, 0, 0);
    const Quaternion chained = quaternion_multiply(quaternion_multiply(qr, qp), qy);
    EXPECT_NEAR(q.x, chained.x, 1e-6f);
    EXPECT_NEAR(q.y, chained.y, 1e-6f);
    EXPECT_NEAR(q.z, chained.z, 1e-6f);
    EXPECT_NEAR(q.w, chained.w, 1e-6f);
    // Matrix of q1 followed by q2 equals the product of their matrices in that order.
    expect_matrix_near(multiply(rotation_quaternion(qr), rotation_quaternion(qp)),
                       rotation_quaternion(quaternion_multiply(qr, qp)));
}

TEST(Math3d, RotationYTurnsForwardSidewaysAndMultiplyAppliesTheLeftMatrixFirst) {
    expect_near(transform_normal({0, 0, -1}, rotation_y(kPi / 2.0f)), {-1, 0, 0});
    expect_near(transform_normal({0, 0, -1}, rotation_y(-kPi / 2.0f)), {1, 0, 0});
    expect_matrix_near(rotation_axis({0, 2, 0}, 0.4f), rotation_y(0.4f));

    const Matrix up = translation(1, 1, 0), turn = rotation_y(kPi / 2.0f);
    // Up and east first, then turned: (1, 1, 0) turns to (0, 1, -1).
    expect_near(transform_coord({0, 0, 0}, multiply(up, turn)), {0, 1, -1});
    // Turned first, then moved: stays (1, 1, 0).
    expect_near(transform_coord({0, 0, 0}, multiply(turn, up)), {1, 1, 0});
}

TEST(Math3d, LookAtAndProjectPutTheTargetAheadAndUpOnScreenUp) {
    const Matrix v = look_at_lh({1, 1, 1}, {0, 0, 0}, {0, 1, 0});
    expect_near(transform_coord({0, 0, 0}, v), {0, 0, std::sqrt(3.0f)});
    EXPECT_GT(transform_coord({0, 1, 0}, v).y, 0.0f);

    const Viewport vp{0, 0, 800, 600, 0.0f, 1.0f};
    const Matrix proj = perspective_fov_lh(kPi / 4.0f, 800.0f / 600.0f, 1.0f, 100.0f);
    const Matrix view = look_at_lh({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    const Vec3 centre = project({0, 0, 0}, vp, proj, view, identity());
    EXPECT_NEAR(centre.x, 400.0f, 1e-3f);
    EXPECT_NEAR(centre.y, 300.0f, 1e-3f);
    EXPECT_GT(centre.z, 0.0f);
    EXPECT_LT(centre.z, 1.0f);
    EXPECT_LT(project({0, 1, 0}, vp, proj, view, identity()).y, 300.0f);
}

TEST(Math3d, InverseUndoesAMatrixAndRefusesASingularOne) {
    const Matrix m =
        multiply(multiply(rotation_axis({1, 2, 3}, 0.7f), scaling(2, 3, 4)), translation(5, -6, 7));
    Matrix inv;
    ASSERT_TRUE(inverse(inv, m));
    expect_matrix_near(multiply(m, inv), identity(), 1e-5f);
    Matrix untouched = translation(9, 9, 9);
    EXPECT_FALSE(inverse(untouched, scaling(1, 0, 1)));
    EXPECT_EQ(untouched.m[3][0], 9.0f);

    expect_near(normalize({0, 0, 0}), {0, 0, 0});
    expect_near(normalize({0, 3, 4}), {0, 0.6f, 0.8f});
    expect_near(cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
}

TEST(Math3d, IntersectTriangleCountsBothFacesAndOnlyAheadOfTheRay) {
    const Vec3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
    float u, v, t;
    ASSERT_TRUE(intersect_triangle(a, b, c, {0.25f, 0.5f, -2}, {0, 0, 1}, &u, &v, &t));
    EXPECT_NEAR(u, 0.25f, 1e-6f);
    EXPECT_NEAR(v, 0.5f, 1e-6f);
    EXPECT_NEAR(t, 2.0f, 1e-6f);
    ASSERT_TRUE(intersect_triangle(a, b, c, {0.25f, 0.5f, 4}, {0, 0, -2}, &u, &v, &t));
    EXPECT_NEAR(t, 2.0f, 1e-6f);
    // Behind the origin, outside the triangle, parallel, and with no direction at all.
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.25f, 0.5f, 2}, {0, 0, 1}, &u, &v, &t));
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.8f, 0.8f, -2}, {0, 0, 1}, &u, &v, &t));
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.2f, 0.2f, -2}, {1, 0, 0}, &u, &v, &t));
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.2f, 0.2f, -2}, {0, 0, 0}, &u, &v, &t));
}

}  // namespace
