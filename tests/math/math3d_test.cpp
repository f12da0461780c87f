#include "math/math3d.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

void expect_vec(Vec3 got, Vec3 want, float tol = 1e-5f) {
    EXPECT_NEAR(got.x, want.x, tol);
    EXPECT_NEAR(got.y, want.y, tol);
    EXPECT_NEAR(got.z, want.z, tol);
}

Vec3 apply(Vec3 p, const Matrix& m) {
    return transform_coord(p, m);
}

TEST(Math3d, RollQuaternionTurnsUpIntoPlusX) {
    const Quaternion q = quaternion_yaw_pitch_roll(0.0f, 0.0f, -kPi / 2.0f);
    EXPECT_NEAR(q.x, 0.0f, 1e-7f);
    EXPECT_NEAR(q.y, 0.0f, 1e-7f);
    EXPECT_NEAR(q.z, -0.70710677f, 1e-6f);
    EXPECT_NEAR(q.w, 0.70710677f, 1e-6f);
    expect_vec(transform_normal({0, 1, 0}, rotation_quaternion(q)), {1, 0, 0});
}

TEST(Math3d, YawPitchRollAppliesRollThenPitchThenYaw) {
    const float yaw = 0.3f, pitch = -0.7f, roll = 1.1f;
    const Quaternion q = quaternion_yaw_pitch_roll(yaw, pitch, roll);
    const Quaternion qr = quaternion_yaw_pitch_roll(0, 0, roll);
    const Quaternion qp = quaternion_yaw_pitch_roll(0, pitch, 0);
    const Quaternion qy = quaternion_yaw_pitch_roll(yaw, 0, 0);
    const Quaternion chained = quaternion_multiply(quaternion_multiply(qr, qp), qy);
    EXPECT_NEAR(q.x, chained.x, 1e-6f);
    EXPECT_NEAR(q.y, chained.y, 1e-6f);
    EXPECT_NEAR(q.z, chained.z, 1e-6f);
    EXPECT_NEAR(q.w, chained.w, 1e-6f);
    // Matrix of q1 followed by q2 equals the product of their matrices in that order.
    const Matrix m = multiply(rotation_quaternion(qr), rotation_quaternion(qp));
    const Matrix mq = rotation_quaternion(quaternion_multiply(qr, qp));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(m.m[i][j], mq.m[i][j], 1e-6f);
}

TEST(Math3d, RotationYTurnsForwardSideways) {
    expect_vec(transform_normal({0, 0, -1}, rotation_y(kPi / 2.0f)), {-1, 0, 0});
    expect_vec(transform_normal({0, 0, -1}, rotation_y(-kPi / 2.0f)), {1, 0, 0});
    // Agrees with the axis form about +Y.
    const Matrix a = rotation_axis({0, 2, 0}, 0.4f), b = rotation_y(0.4f);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-6f);
}

TEST(Math3d, MultiplyAppliesLeftMatrixFirst) {
    const Matrix up = translation(1, 1, 0), turn = rotation_y(kPi / 2.0f);
    // Up and east first, then turned: (1, 1, 0) turns to (0, 1, -1).
    expect_vec(apply({0, 0, 0}, multiply(up, turn)), {0, 1, -1});
    // Turned first, then moved: stays (1, 1, 0).
    expect_vec(apply({0, 0, 0}, multiply(turn, up)), {1, 1, 0});
}

TEST(Math3d, LookAtViewsTheTargetAlongPlusZ) {
    const Matrix v = look_at_lh({1, 1, 1}, {0, 0, 0}, {0, 1, 0});
    const Vec3 target = apply({0, 0, 0}, v);
    EXPECT_NEAR(target.x, 0.0f, 1e-5f);
    EXPECT_NEAR(target.y, 0.0f, 1e-5f);
    EXPECT_NEAR(target.z, std::sqrt(3.0f), 1e-5f);
    // World up stays up on screen.
    EXPECT_GT(apply({0, 1, 0}, v).y, 0.0f);
}

TEST(Math3d, InverseUndoesAMatrixAndRefusesASingularOne) {
    const Matrix m =
        multiply(multiply(rotation_axis({1, 2, 3}, 0.7f), scaling(2, 3, 4)), translation(5, -6, 7));
    Matrix inv;
    ASSERT_TRUE(inverse(inv, m));
    const Matrix id = multiply(m, inv);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(id.m[i][j], i == j ? 1.0f : 0.0f, 1e-5f);

    Matrix untouched = translation(9, 9, 9);
    EXPECT_FALSE(inverse(untouched, scaling(1, 0, 1)));
    EXPECT_EQ(untouched.m[3][0], 9.0f);
}

TEST(Math3d, NormalizeKeepsTheZeroVector) {
    expect_vec(normalize({0, 0, 0}), {0, 0, 0});
    expect_vec(normalize({0, 3, 4}), {0, 0.6f, 0.8f});
    expect_vec(cross({1, 0, 0}, {0, 1, 0}), {0, 0, 1});
}

TEST(Math3d, ProjectMapsClipSpaceToPixels) {
    const Viewport vp{0, 0, 800, 600, 0.0f, 1.0f};
    const Matrix proj = perspective_fov_lh(kPi / 4.0f, 800.0f / 600.0f, 1.0f, 100.0f);
    const Matrix view = look_at_lh({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    const Vec3 centre = project({0, 0, 0}, vp, proj, view, identity());
    EXPECT_NEAR(centre.x, 400.0f, 1e-3f);
    EXPECT_NEAR(centre.y, 300.0f, 1e-3f);
    EXPECT_GT(centre.z, 0.0f);
    EXPECT_LT(centre.z, 1.0f);
    // Up in the world is up on the screen (smaller y).
    EXPECT_LT(project({0, 1, 0}, vp, proj, view, identity()).y, 300.0f);
}

TEST(Math3d, IntersectTriangleCountsBothFacesAndOnlyAheadOfTheRay) {
    const Vec3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
    float u, v, t;
    ASSERT_TRUE(intersect_triangle(a, b, c, {0.25f, 0.5f, -2}, {0, 0, 1}, &u, &v, &t));
    EXPECT_NEAR(u, 0.25f, 1e-6f);
    EXPECT_NEAR(v, 0.5f, 1e-6f);
    EXPECT_NEAR(t, 2.0f, 1e-6f);
    // From the other side.
    ASSERT_TRUE(intersect_triangle(a, b, c, {0.25f, 0.5f, 4}, {0, 0, -2}, &u, &v, &t));
    EXPECT_NEAR(t, 2.0f, 1e-6f);
    // Behind the origin, outside the triangle, parallel, and with no direction at all.
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.25f, 0.5f, 2}, {0, 0, 1}, &u, &v, &t));
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.8f, 0.8f, -2}, {0, 0, 1}, &u, &v, &t));
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.2f, 0.2f, -2}, {1, 0, 0}, &u, &v, &t));
    EXPECT_FALSE(intersect_triangle(a, b, c, {0.2f, 0.2f, -2}, {0, 0, 0}, &u, &v, &t));
}

}  // namespace
