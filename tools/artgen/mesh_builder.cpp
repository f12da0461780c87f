#include "mesh_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

namespace {

constexpr float kPi = 3.14159265f;
// Positions closer than this count as one point when normals are welded.
constexpr float kWeldGrid = 1e-4f;

Vec3 face_normal(const MeshData& m, const std::array<int, 3>& f) {
    const Vec3 a = m.positions[f[0]], b = m.positions[f[1]], c = m.positions[f[2]];
    return cross(subtract(b, a), subtract(c, a));  // length is twice the area: a weight
}

using PositionKey = std::tuple<long, long, long>;

PositionKey key_of(Vec3 p) {
    return {std::lround(p.x / kWeldGrid), std::lround(p.y / kWeldGrid),
            std::lround(p.z / kWeldGrid)};
}

bool same_point(Vec3 a, Vec3 b) {
    return length(subtract(a, b)) < kWeldGrid;
}

void add_face(MeshData& m, int a, int b, int c) {
    // Triangles collapsed at a pole or a closed end add nothing but trouble.
    if (same_point(m.positions[a], m.positions[b]) || same_point(m.positions[b], m.positions[c]) ||
        same_point(m.positions[a], m.positions[c]))
        return;
    m.faces.push_back({a, b, c});
}

int add_vertex(MeshData& m, Vec3 p, Vec3 n, Vec2 uv) {
    m.positions.push_back(p);
    m.normals.push_back(n);
    m.uvs.push_back(uv);
    return int(m.positions.size()) - 1;
}

// Averages the given per-vertex vectors over all vertices at one position.
std::vector<Vec3> welded(const MeshData& m, const std::vector<Vec3>& per_vertex) {
    std::map<PositionKey, Vec3> sums;
    for (size_t i = 0; i < m.positions.size(); ++i) {
        Vec3& sum = sums.try_emplace(key_of(m.positions[i]), Vec3{0, 0, 0}).first->second;
        sum = add(sum, per_vertex[i]);
    }
    std::vector<Vec3> out(m.positions.size());
    for (size_t i = 0; i < m.positions.size(); ++i)
        out[i] = normalize(sums[key_of(m.positions[i])]);
    return out;
}

void write_vec3_list(std::string& out, const std::vector<Vec3>& list) {
    char line[96];
    for (size_t i = 0; i < list.size(); ++i) {
        std::snprintf(line, sizeof line, "  %.6f;%.6f;%.6f;%s\n", double(list[i].x),
                      double(list[i].y), double(list[i].z), i + 1 < list.size() ? "," : ";");
        out += line;
    }
}

void write_face_list(std::string& out, const MeshData& m) {
    char line[64];
    std::snprintf(line, sizeof line, "  %zu;\n", m.faces.size());
    out += line;
    for (size_t i = 0; i < m.faces.size(); ++i) {
        const auto& f = m.faces[i];
        std::snprintf(line, sizeof line, "  3;%d,%d,%d;%s\n", f[0], f[1], f[2],
                      i + 1 < m.faces.size() ? "," : ";");
        out += line;
    }
}

}  // namespace

MeshData surface_grid(const SurfaceFn& surface, int columns, int rows) {
    MeshData m;
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            const float u = float(i) / columns, v = float(j) / rows;
            add_vertex(m, surface(u, v), {0, 0, 0}, {u, v});
        }
    }
    const int stride = columns + 1;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const int a = j * stride + i, b = a + 1, c = a + stride, d = c + 1;
            add_face(m, a, b, d);
            add_face(m, a, d, c);
        }
    }
    compute_normals(m, true);
    return m;
}

MeshData ellipsoid(Vec3 centre, Vec3 radii, int columns, int rows) {
    return surface_grid(
        [=](float u, float v) {
            const float around = (u - 0.5f) * 2 * kPi, down = v * kPi;
            const float ring = std::sin(down);
            return Vec3{centre.x + radii.x * ring * std::sin(around),
                        centre.y + radii.y * std::cos(down),
                        centre.z - radii.z * ring * std::cos(around)};
        },
        columns, rows);
}

MeshData lathe(Vec3 centre, const std::function<Vec2(float v)>& profile, int columns, int rows) {
    return surface_grid(
        [=](float u, float v) {
            const float around = (u - 0.5f) * 2 * kPi;
            const Vec2 rv = profile(v);
            return Vec3{centre.x + rv.x * std::sin(around), centre.y + rv.y,
                        centre.z - rv.x * std::cos(around)};
        },
        columns, rows);
}

MeshData box(Vec3 lo, Vec3 hi) {
    MeshData m;
    // Each face as (origin corner, right edge, down edge) seen from outside.
    struct Face {
        Vec3 origin, right, down;
    };
    const Vec3 s = subtract(hi, lo);
    const Face faces[] = {
        {{lo.x, hi.y, lo.z}, {s.x, 0, 0}, {0, -s.y, 0}},   // front (-Z)
        {{hi.x, hi.y, hi.z}, {-s.x, 0, 0}, {0, -s.y, 0}},  // back (+Z)
        {{lo.x, hi.y, hi.z}, {0, 0, -s.z}, {0, -s.y, 0}},  // -X side
        {{hi.x, hi.y, lo.z}, {0, 0, s.z}, {0, -s.y, 0}},   // +X side
        {{lo.x, hi.y, hi.z}, {s.x, 0, 0}, {0, 0, -s.z}},   // top
        {{lo.x, lo.y, lo.z}, {s.x, 0, 0}, {0, 0, s.z}},    // bottom
    };
    for (const Face& f : faces) {
        const Vec3 n = normalize(cross(f.right, f.down));
        const int a = add_vertex(m, f.origin, n, {0, 0});
        const int b = add_vertex(m, add(f.origin, f.right), n, {1, 0});
        const int c = add_vertex(m, add(f.origin, f.down), n, {0, 1});
        const int d = add_vertex(m, add(add(f.origin, f.right), f.down), n, {1, 1});
        add_face(m, a, b, d);
        add_face(m, a, d, c);
    }
    return m;
}

MeshData prism(const std::vector<Vec2>& outline, float y0, float y1) {
    MeshData m;
    const int n = int(outline.size());
    Vec2 mid = {0, 0};
    for (const Vec2& p : outline) mid = {mid.x + p.x / n, mid.y + p.y / n};
    // Sides: one column of quads per outline edge, the seam closed by repeating point 0.
    MeshData sides = surface_grid(
        [&](float u, float v) {
            const float k = u * n;
            const int i = std::min(int(k), n - 1);
            const float t = k - i;
            const Vec2 a = outline[i], b = outline[(i + 1) % n];
            return Vec3{a.x + (b.x - a.x) * t, y1 + (y0 - y1) * v, a.y + (b.y - a.y) * t};
        },
        n, 1);
    append(m, sides);
    // Caps as fans about the middle.
    for (int cap = 0; cap < 2; ++cap) {
        const float y = cap == 0 ? y1 : y0;
        const Vec3 normal = {0, cap == 0 ? 1.0f : -1.0f, 0};
        const int centre = add_vertex(m, {mid.x, y, mid.y}, normal, {0.5f, 0.5f});
        const int first = int(m.positions.size());
        for (const Vec2& p : outline) add_vertex(m, {p.x, y, p.y}, normal, {0.5f, 0.5f});
        for (int i = 0; i < n; ++i) {
            const int a = first + i, b = first + (i + 1) % n;
            if (cap == 0)
                add_face(m, centre, b, a);
            else
                add_face(m, centre, a, b);
        }
    }
    return m;
}

MeshData slab(const std::vector<Vec2>& outline, float z0, float depth) {
    MeshData m;
    const int n = int(outline.size());
    Vec2 lo = outline[0], hi = outline[0];
    Vec2 mid = {0, 0};
    for (const Vec2& p : outline) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
        mid = {mid.x + p.x / n, mid.y + p.y / n};
    }
    auto uv_of = [&](Vec2 p) {
        return Vec2{(p.x - lo.x) / (hi.x - lo.x), (hi.y - p.y) / (hi.y - lo.y)};
    };
    for (int cap = 0; cap < 2; ++cap) {
        const float z = cap == 0 ? z0 : z0 + depth;
        const Vec3 normal = {0, 0, cap == 0 ? -1.0f : 1.0f};
        const int centre = add_vertex(m, {mid.x, mid.y, z}, normal, uv_of(mid));
        const int first = int(m.positions.size());
        for (const Vec2& p : outline) add_vertex(m, {p.x, p.y, z}, normal, uv_of(p));
        for (int i = 0; i < n; ++i) {
            const int a = first + i, b = first + (i + 1) % n;
            if (cap == 0)
                add_face(m, centre, a, b);
            else
                add_face(m, centre, b, a);
        }
    }
    MeshData sides = surface_grid(
        [&](float u, float v) {
            const float k = u * n;
            const int i = std::min(int(k), n - 1);
            const float t = k - i;
            const Vec2 a = outline[i], b = outline[(i + 1) % n];
            return Vec3{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, z0 + depth * v};
        },
        n, 1);
    // The grid runs along the outline and toward +Z; seen from outside that is mirrored.
    for (auto& f : sides.faces) std::swap(f[1], f[2]);
    compute_normals(sides, true);
    append(m, sides);
    return m;
}

void append(MeshData& to, const MeshData& part) {
    const int base = int(to.positions.size());
    to.positions.insert(to.positions.end(), part.positions.begin(), part.positions.end());
    to.normals.insert(to.normals.end(), part.normals.begin(), part.normals.end());
    to.uvs.insert(to.uvs.end(), part.uvs.begin(), part.uvs.end());
    for (const auto& f : part.faces) to.faces.push_back({f[0] + base, f[1] + base, f[2] + base});
}

void transform(MeshData& mesh, const Matrix& m) {
    for (Vec3& p : mesh.positions) p = transform_coord(p, m);
    for (Vec3& n : mesh.normals) n = normalize(transform_normal(n, m));
}

void compute_normals(MeshData& mesh, bool weld) {
    std::vector<Vec3> sums(mesh.positions.size(), Vec3{0, 0, 0});
    for (const auto& f : mesh.faces) {
        const Vec3 n = face_normal(mesh, f);
        for (int k : f) sums[k] = add(sums[k], n);
    }
    if (weld) {
        mesh.normals = welded(mesh, sums);
        return;
    }
    mesh.normals.resize(sums.size());
    for (size_t i = 0; i < sums.size(); ++i) mesh.normals[i] = normalize(sums[i]);
}

MeshData outline_hull(const MeshData& mesh, float push) {
    MeshData hull = mesh;
    const std::vector<Vec3> smooth = welded(mesh, mesh.normals);
    for (size_t i = 0; i < hull.positions.size(); ++i) {
        hull.positions[i] = add(hull.positions[i], scale(smooth[i], push));
        hull.normals[i] = smooth[i];
    }
    for (auto& f : hull.faces) std::swap(f[1], f[2]);
    return hull;
}

float signed_volume6(const MeshData& mesh) {
    float sum = 0.0f;
    for (const auto& f : mesh.faces) {
        sum += dot(mesh.positions[f[0]], cross(mesh.positions[f[1]], mesh.positions[f[2]]));
    }
    return sum;
}

std::string x_file_text(const MeshData& mesh, const char* name) {
    std::string out = "xof 0303txt 0032\n\nMesh ";
    out += name;
    out += " {\n";
    char line[96];
    std::snprintf(line, sizeof line, "  %zu;\n", mesh.positions.size());
    out += line;
    write_vec3_list(out, mesh.positions);
    write_face_list(out, mesh);
    out += "\n  MeshNormals {\n";
    std::snprintf(line, sizeof line, "  %zu;\n", mesh.normals.size());
    out += line;
    write_vec3_list(out, mesh.normals);
    write_face_list(out, mesh);
    out += "  }\n\n  MeshTextureCoords {\n";
    std::snprintf(line, sizeof line, "  %zu;\n", mesh.uvs.size());
    out += line;
    for (size_t i = 0; i < mesh.uvs.size(); ++i) {
        std::snprintf(line, sizeof line, "  %.6f;%.6f;%s\n", double(mesh.uvs[i].x),
                      double(mesh.uvs[i].y), i + 1 < mesh.uvs.size() ? "," : ";");
        out += line;
    }
    out += "  }\n}\n";
    return out;
}
