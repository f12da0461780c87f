// Vector checks shared by the tests.
#pragma once

#include <gtest/gtest.h>

#include "math/math3d.h"

// Each component of actual within tolerance of expected's.
inline void expect_near(Vec3 actual, Vec3 expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Where a matrix moves the origin to.
inline Vec3 origin_of(const Matrix& m) {
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
}
