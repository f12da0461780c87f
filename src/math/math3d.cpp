#include "math/math3d.h"

#include <cmath>

Matrix identity() {
    Matrix r{};
    r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
    return r;
}

Matrix translation(float x, float y, float z) {
    Matrix r = identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix scaling(float sx, float sy, float sz) {
    Matrix r{};
    r.m[0][0] = sx;
    r.m[1][1] = sy;
    r.m[2][2] = sz;
    r.m[3][3] = 1.0f;
    return r;
}

Matrix rotation_y(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    Matrix r = identity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix rotation_axis(Vec3 n, float angle) {
    n = normalize(n);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    const float x = n.x, y = n.y, z = n.z;
    Matrix r = identity();
    r.m[0][0] = t * x * x + c;
    r.m[0][1] = t * x * y + s * z;
    r.m[0][2] = t * x * z - s * y;
    r.m[1][0] = t * x * y - s * z;
    r.m[1][1] = t * y * y + c;
    r.m[1][2] = t * y * z + s * x;
    r.m[2][0] = t * x * z + s * y;
    r.m[2][1] = t * y * z - s * x;
    r.m[2][2] = t * z * z + c;
    return r;
}

Matrix rotation_quaternion(const Quaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Matrix r = identity();
    r.m[0][0] = 1.0f - 2.0f * (y * y + z * z);
    r.m[0][1] = 2.0f * (x * y + z * w);
    r.m[0][2] = 2.0f * (x * z - y * w);
    r.m[1][0] = 2.0f * (x * y - z * w);
    r.m[1][1] = 1.0f - 2.0f * (x * x + z * z);
    r.m[1][2] = 2.0f * (y * z + x * w);
    r.m[2][0] = 2.0f * (x * z + y * w);
    r.m[2][1] = 2.0f * (y * z - x * w);
    r.m[2][2] = 1.0f - 2.0f * (x * x + y * y);
    return r;
}

Matrix look_at_lh(Vec3 eye, Vec3 at, Vec3 up) {
    const Vec3 z = normalize(subtract(at, eye));
    const Vec3 x = normalize(cross(up, z));
    const Vec3 y = cross(z, x);
    Matrix r = identity();
    r.m[0][0] = x.x, r.m[0][1] = y.x, r.m[0][2] = z.x;
    r.m[1][0] = x.y, r.m[1][1] = y.y, r.m[1][2] = z.y;
    r.m[2][0] = x.z, r.m[2][1] = y.z, r.m[2][2] = z.z;
    r.m[3][0] = -dot(x, eye);
    r.m[3][1] = -dot(y, eye);
    r.m[3][2] = -dot(z, eye);
    return r;
}

Matrix perspective_fov_lh(float fovy, float aspect, float zn, float zf) {
    const float h = std::cos(fovy / 2.0f) / std::sin(fovy / 2.0f);
    Matrix r{};
    r.m[0][0] = h / aspect;
    r.m[1][1] = h;
    r.m[2][2] = zf / (zf - zn);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zn * zf / (zf - zn);
    return r;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

Matrix transpose(const Matrix& m) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = m.m[j][i];
    return r;
}

bool inverse(Matrix& out, const Matrix& m) {
    // Gauss-Jordan elimination with partial pivoting on [m | I].
    float a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m.m[i][j];
            a[i][j + 4] = (i == j) ? 1.0f : 0.0f;
        }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        if (!(std::fabs(a[pivot][col]) > 1e-12f)) return false;
        if (pivot != col)
            for (int j = 0; j < 8; ++j) {
                const float t = a[col][j];
                a[col][j] = a[pivot][j];
                a[pivot][j] = t;
            }
        const float inv = 1.0f / a[col][col];
        for (int j = 0; j < 8; ++j) a[col][j] *= inv;
        for (int row = 0; row < 4; ++row) {
            if (row == col) continue;
            const float f = a[row][col];
            if (f == 0.0f) continue;
            for (int j = 0; j < 8; ++j) a[row][j] -= f * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) out.m[i][j] = a[i][j + 4];
    return true;
}

Quaternion quaternion_yaw_pitch_roll(float yaw, float pitch, float roll) {
    const float sy = std::sin(yaw / 2.0f), cy = std::cos(yaw / 2.0f);
    const float sp = std::sin(pitch / 2.0f), cp = std::cos(pitch / 2.0f);
    const float sr = std::sin(roll / 2.0f), cr = std::cos(roll / 2.0f);
    return {cy * sp * cr + sy * cp * sr, sy * cp * cr - cy * sp * sr, cy * cp * sr - sy * sp * cr,
            cy * cp * cr + sy * sp * sr};
}

Quaternion quaternion_multiply(const Quaternion& q1, const Quaternion& q2) {
    return {q2.w * q1.x + q2.x * q1.w + q2.y * q1.z - q2.z * q1.y,
            q2.w * q1.y - q2.x * q1.z + q2.y * q1.w + q2.z * q1.x,
            q2.w * q1.z + q2.x * q1.y - q2.y * q1.x + q2.z * q1.w,
            q2.w * q1.w - q2.x * q1.x - q2.y * q1.y - q2.z * q1.z};
}

float length(Vec3 v) {
    return std::sqrt(dot(v, v));
}

Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 normalize(Vec3 v) {
    const float len = length(v);
    if (!(len > 0.0f)) return {0.0f, 0.0f, 0.0f};
    return scale(v, 1.0f / len);
}

Vec3 transform_normal(Vec3 v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

static Vec4 transform_point4(Vec3 p, const Matrix& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2],
            p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3]};
}

Vec3 transform_coord(Vec3 p, const Matrix& m) {
    const Vec4 c = transform_point4(p, m);
    // A point on the camera plane has w = 0; keep it finite instead of dividing by zero.
    const float inv_w = (c.w != 0.0f) ? 1.0f / c.w : 0.0f;
    return {c.x * inv_w, c.y * inv_w, c.z * inv_w};
}

Vec3 project(Vec3 p, const Viewport& vp, const Matrix& projection, const Matrix& view,
             const Matrix& world) {
    const Matrix all = multiply(multiply(world, view), projection);
    const Vec3 d = transform_coord(p, all);
    return {static_cast<float>(vp.x) + (1.0f + d.x) * static_cast<float>(vp.width) / 2.0f,
            static_cast<float>(vp.y) + (1.0f - d.y) * static_cast<float>(vp.height) / 2.0f,
            vp.min_z + d.z * (vp.max_z - vp.min_z)};
}

bool intersect_triangle(Vec3 a, Vec3 b, Vec3 c, Vec3 origin, Vec3 dir, float* u, float* v,
                        float* dist) {
    // Moller-Trumbore without back-face rejection, so both faces count.
    const Vec3 e1 = subtract(b, a);
    const Vec3 e2 = subtract(c, a);
    const Vec3 p = cross(dir, e2);
    const float det = dot(e1, p);
    if (std::fabs(det) < 1e-12f) return false;  // ray parallel to the plane, or no ray
    const float inv_det = 1.0f / det;
    const Vec3 s = subtract(origin, a);
    const float bu = dot(s, p) * inv_det;
    if (bu < 0.0f || bu > 1.0f) return false;
    const Vec3 q = cross(s, e1);
    const float bv = dot(dir, q) * inv_det;
    if (bv < 0.0f || bu + bv > 1.0f) return false;
    const float t = dot(e2, q) * inv_det;
    if (t < 0.0f) return false;
    *u = bu;
    *v = bv;
    *dist = t;
    return true;
}
