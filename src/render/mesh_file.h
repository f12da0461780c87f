// A .x model file read into plain vertex and index lists with Assimp, without GL, so any
// thread can read one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "math/math3d.h"

struct MeshVertex {
    Vec3 position;
    Vec3 normal;
    Vec2 uv;
};
static_assert(sizeof(MeshVertex) == 32, "the mesh vertex layout is 32 bytes");

// What Mesh::load takes from a .x file, read without GL so that any thread can read it.
struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<uint32_t> indices;
    std::string error;  // the line to say when the file gave no triangles; empty when it did
};

// Every sub-mesh of the file, merged into one list with the file's own coordinates,
// winding and texture coordinates; materials are ignored. The file is checked before the
// importer reads it (model_check.h), and the importer validates what it made.
MeshData read_mesh_file(const char* path);
// The same for a file's bytes read already; path only names it in the error.
MeshData read_mesh_bytes(const char* bytes, size_t size, const char* path);
