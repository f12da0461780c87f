// Vectors, quaternions and matrices of the game's 3D space.
//
// Left-handed, +Y up, row vectors: a point p is transformed as p * M, and
// multiply(A, B) applies A first, then B. Quaternions are stored x, y, z, w.
// Every formula is evaluated in 32-bit floats.
#pragma once

#include <cstdint>

// Degrees to radians, as a 32-bit float.
constexpr float kDegToRad = 0.017453292f;

struct Vec2 {
    float x, y;
};

struct Vec3 {
    float x, y, z;
};

struct Vec4 {
    float x, y, z, w;
};

struct Quaternion {
    float x, y, z, w;
};

// Row-major: m[row][col]; the translation of an affine matrix sits in row 3.
struct Matrix {
    float m[4][4];
};

struct Viewport {
    uint32_t x, y, width, height;
    float min_z, max_z;
};

// --- matrix constructors ---------------------------------------------------
Matrix identity();
Matrix translation(float x, float y, float z);
Matrix scaling(float sx, float sy, float sz);
Matrix rotation_y(float angle);
// Rotation by angle about axis n (normalised first).
Matrix rotation_axis(Vec3 n, float angle);
Matrix rotation_quaternion(const Quaternion& q);
Matrix look_at_lh(Vec3 eye, Vec3 at, Vec3 up);
Matrix perspective_fov_lh(float fovy, float aspect, float zn, float zf);

// --- matrix operations -----------------------------------------------------
// A then B: R[i][j] = sum_k A[i][k] * B[k][j].
Matrix multiply(const Matrix& a, const Matrix& b);
Matrix transpose(const Matrix& m);
// General 4x4 inverse. Returns false (and leaves out untouched) when m is singular.
bool inverse(Matrix& out, const Matrix& m);

// --- quaternions -----------------------------------------------------------
// Roll about Z acts first, then pitch about X, then yaw about Y.
Quaternion quaternion_yaw_pitch_roll(float yaw, float pitch, float roll);
// The rotation q1 followed by the rotation q2.
Quaternion quaternion_multiply(const Quaternion& q1, const Quaternion& q2);

// --- vectors ---------------------------------------------------------------
inline Vec3 add(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 subtract(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 scale(Vec3 v, float s) {
    return {v.x * s, v.y * s, v.z * s};
}
inline float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float length(Vec3 v);
Vec3 cross(Vec3 a, Vec3 b);
// v / length(v); the zero vector stays the zero vector.
Vec3 normalize(Vec3 v);
// (v, 0) * M: a direction, no translation.
Vec3 transform_normal(Vec3 v, const Matrix& m);
// (p, 1) * M divided by w.
Vec3 transform_coord(Vec3 p, const Matrix& m);
// World point to screen pixels and viewport depth.
Vec3 project(Vec3 p, const Viewport& vp, const Matrix& projection, const Matrix& view,
             const Matrix& world);

// Ray against triangle (a, b, c); both faces count. On a hit, u weighs b and v weighs c
// (hit = a + u (b - a) + v (c - a)) and dist is the ray parameter t >= 0 in units of dir,
// so origin + t * dir is the hit point.
bool intersect_triangle(Vec3 a, Vec3 b, Vec3 c, Vec3 origin, Vec3 dir, float* u, float* v,
                        float* dist);
