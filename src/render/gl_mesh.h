// A model from a .x file: one indexed triangle list of position, normal and skin
// coordinate, drawn toon-shaded with a skin or as a dark outline hull.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "math/math3d.h"
#include "render/gl_handles.h"
#include "render/gl_renderer.h"
#include "render/gl_texture.h"

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
// winding and texture coordinates; materials are ignored.
MeshData read_mesh_file(const char* path);

class Mesh {
  public:
    // Loads the file as read_mesh_file reads it. False, with one line on stderr, when the
    // file cannot be read; the mesh then draws nothing.
    bool load(const char* path);
    // The same for a file read already: says its error or uploads its triangles.
    bool load(MeshData data);

    // Toon-shaded with skin on stage 1 (white when null); both faces drawn. The caller
    // has set c1..c8 for this mesh; this sets c9 and c10 from the renderer's view.
    void draw_toon(Renderer& device, const Texture* skin) const;
    // Position only, near-black, culling Direct3D's counter-clockwise faces, with the
    // renderer's world, view and projection.
    void draw_outline(Renderer& device) const;

    bool loaded() const { return static_cast<bool>(vertex_array_); }
    const std::vector<MeshVertex>& vertices() const { return vertices_; }
    const std::vector<uint32_t>& indices() const { return indices_; }

  private:
    void upload();
    void draw_triangles() const;

    std::vector<MeshVertex> vertices_;
    std::vector<uint32_t> indices_;
    GlVertexArray vertex_array_;
    GlBuffer vertex_buffer_;
    GlBuffer index_buffer_;
};
