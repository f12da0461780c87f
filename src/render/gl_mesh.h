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
#include "render/mesh_file.h"

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
