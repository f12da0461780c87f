// Triangle meshes built from simple solids, their outline hulls, and the text .x file.
//
// Space is left-handed with +Y up and front faces wound clockwise, so the outward normal
// of a triangle (a, b, c) is cross(b - a, c - a). Texture v is 0 at the image's top row.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "math/math3d.h"

struct MeshData {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> uvs;
    std::vector<std::array<int, 3>> faces;
};

// A point of a surface patch from its parameters (u, v), both in [0, 1].
using SurfaceFn = std::function<Vec3(float u, float v)>;

// A grid of (columns + 1) x (rows + 1) vertices over surface(u, v) with texture (u, v).
// Facing the surface's outside, u must run to the right and v downward. Normals are
// averaged over faces that share a position, so seams and poles stay smooth.
MeshData surface_grid(const SurfaceFn& surface, int columns, int rows);

// An ellipsoid whose texture u runs around it with u = 0.5 facing -Z, v = 0 at the top.
MeshData ellipsoid(Vec3 centre, Vec3 radii, int columns = 32, int rows = 16);

// A solid of revolution about the Y axis through centre: profile(v) gives (radius, y)
// from the top (v = 0) to the bottom (v = 1).
MeshData lathe(Vec3 centre, const std::function<Vec2(float v)>& profile, int columns, int rows);

// An axis-aligned box with flat faces, each face showing the whole texture.
MeshData box(Vec3 lo, Vec3 hi);

// A convex outline in the XZ plane (clockwise seen from above) extruded from y0 to y1,
// with flat caps and smooth sides.
MeshData prism(const std::vector<Vec2>& outline_xz, float y0, float y1);

// A flat outline in the XY plane (clockwise as seen from -Z) extruded toward +Z by depth,
// its front cap at z = z0. Texture u, v follow the outline's x, y within its bounds.
MeshData slab(const std::vector<Vec2>& outline_xy, float z0, float depth);

void append(MeshData& to, const MeshData& part);
// Moves every vertex by p' = p * m and turns the normals with it.
void transform(MeshData& mesh, const Matrix& m);
// Face normals averaged per vertex, or per position when weld is set.
void compute_normals(MeshData& mesh, bool weld);

// The outline hull: every vertex pushed out along the normal averaged over all vertices
// at its position (so hard edges open no gaps), with the winding reversed.
MeshData outline_hull(const MeshData& mesh, float push);

// Six times the enclosed volume; positive when the faces wind outward.
float signed_volume6(const MeshData& mesh);

// The text .x file of the mesh: "xof 0303txt 0032", one Mesh with MeshNormals and
// MeshTextureCoords.
std::string x_file_text(const MeshData& mesh, const char* name);
