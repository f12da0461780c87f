#include "render/mesh_file.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>

#include "platform/atomic_file.h"
#include "render/model_check.h"

namespace {

// The importer turns .x files right-handed; these undo it, so the data stays the file's.
// The importer's own validation checks every index of what it made.
constexpr unsigned kImportFlags = aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder |
                                  aiProcess_FlipUVs | aiProcess_Triangulate |
                                  aiProcess_JoinIdenticalVertices | aiProcess_ValidateDataStructure;

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

}  // namespace

MeshData read_mesh_file(const char* path) {
    std::string bytes;
    const FileRead read = read_whole_file(path, kModelFileSizeLimit, bytes);
    if (read.status == read_ok) return read_mesh_bytes(bytes.data(), bytes.size(), path);
    MeshData data;
    data.error = std::string("torvi: cannot load mesh \"") + path +
                 "\": " + (read.longer ? "larger than 8 MiB" : file_error_text(read.error)) + "\n";
    return data;
}

MeshData read_mesh_bytes(const char* bytes, size_t size, const char* path) {
    MeshData data;
    const std::string refusal = model_file_refusal(bytes, size);
    if (!refusal.empty()) {
        data.error = std::string("torvi: cannot load mesh \"") + path + "\": " + refusal + "\n";
        return data;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFileFromMemory(bytes, size, kImportFlags, "x");
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
