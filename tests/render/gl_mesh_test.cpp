#include "render/gl_mesh.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "gl_test_context.h"

namespace {

struct FileVertex {
    Vec3 position;
    Vec3 normal;
    Vec2 uv;
};

// A cube of half-size s, four vertices a face; faces wound clockwise as seen from outside
// in the left-handed world (reversed: counter-clockwise, as an outline hull is).
struct Cube {
    std::vector<FileVertex> vertices;
    std::vector<int> indices;
};

Cube make_cube(float s, bool reversed) {
    const Vec3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    Cube cube;
    for (int f = 0; f < 6; ++f) {
        const Vec3 n = normals[f];
        const Vec3 up = n.y != 0 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        const Vec3 right = cross(up, scale(n, -1));  // seen from outside, looking along -n
        const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};  // TL TR BR BL
        const int base = static_cast<int>(cube.vertices.size());
        for (int k = 0; k < 4; ++k) {
            const Vec3 p = add(n, add(scale(right, corners[k][0]), scale(up, corners[k][1])));
            // Distinct coordinates per vertex, so any mix-up shows.
            const Vec2 uv = {(f * 4 + k) / 32.0f, 1.0f - k / 8.0f};
            cube.vertices.push_back({scale(p, s), n, uv});
        }
        const int clockwise[6] = {0, 1, 2, 0, 2, 3};
        const int anticlockwise[6] = {0, 2, 1, 0, 3, 2};
        for (int i : reversed ? anticlockwise : clockwise) cube.indices.push_back(base + i);
    }
    return cube;
}

void write_vector_list(std::ostringstream& out, const std::vector<std::string>& items) {
    out << items.size() << ";\n";
    for (size_t i = 0; i < items.size(); ++i) {
        out << items[i] << (i + 1 < items.size() ? ",\n" : ";\n");
    }
}

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    return text;
}

std::string mesh_block(const Cube& cube, const char* name) {
    std::vector<std::string> positions, normals, uvs, faces;
    for (const FileVertex& v : cube.vertices) {
        positions.push_back(number(v.position.x) + ";" + number(v.position.y) + ";" +
                            number(v.position.z) + ";");
        normals.push_back(number(v.normal.x) + ";" + number(v.normal.y) + ";" + number(v.normal.z) +
                          ";");
        uvs.push_back(number(v.uv.x) + ";" + number(v.uv.y) + ";");
    }
    for (size_t i = 0; i < cube.indices.size(); i += 3) {
        faces.push_back("3;" + std::to_string(cube.indices[i]) + "," +
                        std::to_string(cube.indices[i + 1]) + "," +
                        std::to_string(cube.indices[i + 2]) + ";");
    }
    std::ostringstream out;
    out << "Mesh " << name << " {\n";
    write_vector_list(out, positions);
    write_vector_list(out, faces);
    out << "MeshNormals {\n";
    write_vector_list(out, normals);
    write_vector_list(out, faces);
    out << "}\nMeshTextureCoords {\n";
    write_vector_list(out, uvs);
    out << "}\n}\n";
    return out.str();
}

std::string x_file(const std::string& blocks) {
    return "xof 0303txt 0032\n" + blocks;
}

bool same_vertex(const MeshVertex& m, const FileVertex& f) {
    return m.position.x == f.position.x && m.position.y == f.position.y &&
           m.position.z == f.position.z && m.uv.x == f.uv.x && m.uv.y == f.uv.y &&
           std::abs(m.normal.x - f.normal.x) < 1e-6f && std::abs(m.normal.y - f.normal.y) < 1e-6f &&
           std::abs(m.normal.z - f.normal.z) < 1e-6f;
}

// Triangle t of the mesh has the corners of the file's triangle t in the same turning
// order (any starting corner).
bool same_triangle(const Mesh& mesh, const Cube& cube, size_t t) {
    for (int start = 0; start < 3; ++start) {
        bool all = true;
        for (int k = 0; k < 3; ++k) {
            const MeshVertex& m = mesh.vertices()[mesh.indices()[t * 3 + (start + k) % 3]];
            all = all && same_vertex(m, cube.vertices[cube.indices[t * 3 + k]]);
        }
        if (all) return true;
    }
    return false;
}

class MeshTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        load_toon_shaders();
        device_.clear(0xFF000000);
    }

    // Loads the cube written as a .x file.
    void load(Mesh& mesh, const Cube& cube, const char* name) {
        ASSERT_TRUE(mesh.load(write_file(name, x_file(mesh_block(cube, "cube"))).c_str()));
    }

    // World identity; c1..c8 set as the character code does.
    void look_from(Vec3 eye) {
        device_.set_world(identity());
        device_.set_view(look_at_lh(eye, {0, 0, 0}, {0, 1, 0}));
        const Matrix world_view = multiply(device_.world(), device_.view());
        device_.set_matrix_constants(1, world_view);
        device_.set_matrix_constants(5, multiply(world_view, device_.projection()));
    }

    // The RGBA of the pixel where p projects.
    uint32_t rgba_where(const std::vector<uint8_t>& image, Vec3 p) {
        const Vec3 s =
            project(p, device_.viewport(), device_.projection(), device_.view(), device_.world());
        return rgba_at(image, static_cast<int>(s.x), static_cast<int>(s.y));
    }
};

TEST_F(MeshTest, LoadKeepsTheFilesPositionsWindingAndTextureCoordinatesAndMergesSubMeshes) {
    const Cube cube = make_cube(0.5f, false);
    Mesh mesh;
    load(mesh, cube, "cube.x");
    ASSERT_EQ(mesh.indices().size(), cube.indices.size());
    EXPECT_EQ(mesh.vertices().size(), cube.vertices.size());
    for (size_t t = 0; t < cube.indices.size() / 3; ++t) {
        EXPECT_TRUE(same_triangle(mesh, cube, t)) << "triangle " << t;
    }

    const Cube big = make_cube(2.0f, true);
    Mesh two;
    ASSERT_TRUE(two.load(
        write_file("two.x", x_file(mesh_block(cube, "a") + mesh_block(big, "b"))).c_str()));
    EXPECT_EQ(two.indices().size(), cube.indices.size() + big.indices.size());
    EXPECT_EQ(two.vertices().size(), cube.vertices.size() + big.vertices.size());
}

TEST_F(MeshTest, MissingOrDamagedFilesLoadNothingAndDrawNothing) {
    Mesh missing;
    EXPECT_FALSE(missing.load((folder() + "/none.x").c_str()));
    Mesh damaged;
    EXPECT_FALSE(damaged.load(write_file("bad.x", "xof 0303txt 0032\nMesh { 12; garbage").c_str()));
    look_from({0, 0, -5});
    missing.draw_toon(device_, nullptr);
    damaged.draw_outline(device_);
    EXPECT_EQ(rgba_at(pixels(), 32, 32), 0x000000FFu);
}

TEST_F(MeshTest, ToonShadingShowsTwoBandsLitFromOneSideTimesTheSkin) {
    Mesh mesh;
    load(mesh, make_cube(1.0f, false), "cube.x");
    look_from({-3, 2, -5});
    mesh.draw_toon(device_, nullptr);  // white skin
    // The light comes from +x, +y, -z: the -z face is in the bright band, -x in the dark.
    auto image = pixels();
    EXPECT_EQ(rgba_where(image, {0, 0, -1}) >> 24, 255u);
    EXPECT_NEAR(rgba_where(image, {-1, 0, 0}) >> 24, 128, 2);
    EXPECT_EQ(rgba_at(image, 1, 1), 0x000000FFu);
    // The light is handed to the shader in view space, with the ambient level.
    const Vec4 c10 = device_.constant(10);
    const Vec3 light = transform_normal(normalize({-1, -1, 1}), device_.view());
    EXPECT_NEAR(c10.x, light.x, 1e-5f);
    EXPECT_NEAR(c10.y, light.y, 1e-5f);
    EXPECT_NEAR(c10.z, light.z, 1e-5f);
    EXPECT_EQ(c10.w, 0.0f);
    EXPECT_FLOAT_EQ(device_.constant(9).x, 0.3f);

    const uint8_t green[] = {0, 200, 0, 255};
    const Texture skin = make_rgba_texture(1, 1, green, TextureWrap::repeat);
    device_.clear(0xFF000000);
    mesh.draw_toon(device_, &skin);
    image = pixels();
    EXPECT_EQ(rgba_where(image, {0, 0, -1}) >> 8, 0x00C800u);
    EXPECT_NEAR(rgba_where(image, {-1, 0, 0}) >> 16 & 0xFF, 100, 2);
}

TEST_F(MeshTest, OutlineHullDrawsADarkRimButNotOverTheFront) {
    Mesh body, outline;
    load(body, make_cube(1.0f, false), "cube.x");
    load(outline, make_cube(1.2f, true), "cube_toon.x");
    device_.clear(0xFF0000FF);  // blue, to tell the background from the rim
    look_from({0, 0, -5});
    body.draw_toon(device_, nullptr);
    outline.draw_outline(device_);
    const auto image = pixels();
    const Vec3 cube_edge = project({1, 0, -1}, device_.viewport(), device_.projection(),
                                   device_.view(), device_.world());
    const Vec3 hull_edge = project({1.2f, 0, -1.2f}, device_.viewport(), device_.projection(),
                                   device_.view(), device_.world());
    ASSERT_LT(cube_edge.x + 2, hull_edge.x);
    EXPECT_EQ(red_at(image, 32, 32), 255) << "the hull covers the front";
    const int rim = static_cast<int>((cube_edge.x + hull_edge.x) / 2);
    EXPECT_LT(rgba_at(image, rim, 32) >> 8, 0x202020u) << "no rim";
    EXPECT_EQ(rgba_at(image, static_cast<int>(hull_edge.x) + 2, 32) >> 8, 0x0000FFu);
}

}  // namespace
