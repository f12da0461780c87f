#include "render/gl_mesh.h"

#include <cstddef>
#include <cstdio>
#include <utility>

#include "render/draw_stats.h"

namespace {

constexpr Vec3 kLightDirection = {-1.0f / 30.0f, -1.0f / 30.0f, 1.0f / 30.0f};
constexpr Vec4 kRegisterC9 = {0.3f, 0.3f, 0.3f, 0.0f};
constexpr int kRegisterLight = 10;
constexpr int kRegisterAmbient = 9;

// Direct3D's "cull counter-clockwise": the faces the viewer sees wound counter-clockwise
// go. The vertex data and projection are Direct3D's and GL's window y points up like
// Direct3D's clip y, so what the viewer sees wound clockwise is GL's front face.
void cull_counter_clockwise() {
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
}

}  // namespace

bool Mesh::load(const char* path) {
    return load(read_mesh_file(path));
}

bool Mesh::load(MeshData data) {
    if (!data.error.empty()) {
        std::fputs(data.error.c_str(), stderr);
        return false;
    }
    vertices_ = std::move(data.vertices);
    indices_ = std::move(data.indices);
    upload();
    return true;
}

void Mesh::upload() {
    vertex_array_ = make_vertex_array();
    vertex_buffer_ = make_buffer();
    index_buffer_ = make_buffer();
    glBindVertexArray(vertex_array_.get());
    glBindBuffer(GL_ARRAY_BUFFER, vertex_buffer_.get());
    glBufferData(GL_ARRAY_BUFFER, vertices_.size() * sizeof(MeshVertex), vertices_.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, index_buffer_.get());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices_.size() * sizeof(uint32_t), indices_.data(),
                 GL_STATIC_DRAW);
    const GLsizei stride = sizeof(MeshVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, position)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, normal)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(MeshVertex, uv)));
    glBindVertexArray(0);
}

void Mesh::draw_triangles() const {
    glBindVertexArray(vertex_array_.get());
    count_draw_call();
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}

void Mesh::draw_toon(Renderer& device, const Texture* skin) const {
    const Vec3 light = transform_normal(normalize(kLightDirection), device.view());
    device.set_constant(kRegisterLight, {light.x, light.y, light.z, 0.0f});
    device.set_constant(kRegisterAmbient, kRegisterC9);
    if (!loaded() || !device.use_toon_program()) return;
    bind_texture(kRampStage, &device.shade_ramp());
    bind_texture(kSkinStage, skin != nullptr ? skin : &device.white_texture());
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    draw_triangles();
}

void Mesh::draw_outline(Renderer& device) const {
    if (!loaded()) return;
    device.use_outline_program();
    glDisable(GL_BLEND);
    cull_counter_clockwise();
    bind_texture(kRampStage, nullptr);
    bind_texture(kSkinStage, nullptr);
    draw_triangles();
    glDisable(GL_CULL_FACE);
}
