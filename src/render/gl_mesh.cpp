#include "render/gl_mesh.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#include <cstddef>
#include <cstdio>
#include <utility>

#include "platform/atomic_file.h"
#include "render/draw_stats.h"
#include "render/model_check.h"

namespace {

// The importer turns .x files right-handed; these undo it, so the data stays the file's.
// The importer's own validation checks every index of what it made.
constexpr unsigned kImportFlags = aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                                  aiProcess_FlipUVs | aiProcess_Triangulate |
                                  aiProcess_JoinIdenticalVertices | aiProcess_ValidateDataStructure;

constexpr Vec3 kLightDirection = {-1.0f / 30.0f, -1.0f / 30.0f, 1.0f / 30.0f};
constexpr Vec4 kRegisterC9 = {0.3f, 0.3f, 0.3f, 0.0f};
constexpr int kRegisterLight = 10;
constexpr int kRegisterAmbient = 9;

Vec3 to_vec3(const aiVector3D& v) {
    return {v.x, v.y, v.z};
}

void append_mesh(const aiMesh& mesh, const aiMatrix4x4& transform,
                 std::vector<MeshVertex>& vertices, std::vector<uint32_t>& indices) {
    const auto base = static_cast<uint32_t>(vertices.size());
    const aiMatrix3x3 turn(transform);
    for (unsigned i = 0; i < mesh.mNumVertices; ++i) {
        MeshVertex vertex{};
        vertex.position = to_vec3(transform * mesh.mVertices[i]);
        if (mesh.HasNormals()) vertex.normal = to_vec3((turn * mesh.mNormals[i]).Normalize());
        if (mesh.HasTextureCoords(0)) {
            vertex.uv = {mesh.mTextureCoords[0][i].x, mesh.mTextureCoords[0][i].y};
        }
        vertices.push_back(vertex);
    }
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) continue;  // points and lines survive triangulation
        for (unsigned k = 0; k < 3; ++k) indices.push_back(base + face.mIndices[k]);
    }
}

void append_node(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent,
                 std::vector<MeshVertex>& vertices, std::vector<uint32_t>& indices) {
    const aiMatrix4x4 transform = parent * node.mTransformation;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        append_mesh(*scene.mMeshes[node.mMeshes[i]], transform, vertices, indices);
    }
    for (unsigned i = 0; i < node.mNumChildren; ++i) {
        append_node(scene, *node.mChildren[i], transform, vertices, indices);
    }
}

// Direct3D's "cull counter-clockwise": the faces the viewer sees wound counter-clockwise
// go. The vertex data and projection are Direct3D's and GL's window y points up like
// Direct3D's clip y, so what the viewer sees wound clockwise is GL's front face.
void cull_counter_clockwise() {
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
}

}  // namespace

MeshData read_mesh_file(const char* path) {
    MeshData data;
    std::string bytes;
    const FileRead read = read_whole_file(path, kModelFileSizeLimit, bytes);
    std::string refusal = read.status == read_ok ? model_file_refusal(bytes.data(), bytes.size())
                          : read.longer          ? "larger than 8 MiB"
                                                 : file_error_text(read.error);
    if (!refusal.empty()) {
        data.error = std::string("torvi: cannot load mesh \"") + path + "\": " + refusal + "\n";
        return data;
    }
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFileFromMemory(bytes.data(), bytes.size(), kImportFlags, "x");
    if (scene == nullptr || scene->mRootNode == nullptr) {
        data.error = std::string("torvi: cannot load mesh \"") + path +
                     "\": " + importer.GetErrorString() + "\n";
        return data;
    }
    append_node(*scene, *scene->mRootNode, aiMatrix4x4(), data.vertices, data.indices);
    if (data.indices.empty()) {
        data.error = std::string("torvi: mesh \"") + path + "\" has no triangles\n";
    }
    return data;
}

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
