#include "render/gl_mesh.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "render/gl_test_context.h"
#include "render/model_check.h"
#include "support/expect_near.h"
#include "support/temp_folder.h"

namespace {

// A cube of half-size s, four vertices a face, and its .x mesh block. Faces are wound
// clockwise seen from outside in the left-handed world (reversed: counter-clockwise, as an
// outline hull is); each vertex has texture coordinates of its own, so any mix-up shows.
struct Cube {
    std::vector<MeshVertex> vertices;
    std::vector<int> indices;
    std::string block;
};

// A .x list: its count, then its items separated by commas and closed by a semicolon.
std::string x_list(const std::vector<std::string>& items) {
    std::string text = std::to_string(items.size()) + ";\n";
    for (size_t i = 0; i < items.size(); ++i)
        text += items[i] + (i + 1 < items.size() ? ",\n" : ";\n");
    return text;
}

std::string numbers(std::initializer_list<float> values) {
    std::string text;
    for (float value : values) text += std::to_string(value) + ";";
    return text;
}

Cube make_cube(float s, bool reversed, const std::string& name = "cube") {
    const Vec3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};  // TL TR BR BL
    const int order[2][6] = {{0, 1, 2, 0, 2, 3}, {0, 2, 1, 0, 3, 2}};
    Cube cube;
    std::vector<std::string> positions, normal_list, uvs, faces;
    for (int f = 0; f < 6; ++f) {
        const Vec3 n = normals[f];
        const Vec3 up = n.y != 0 ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        const Vec3 right = cross(up, scale(n, -1));  // seen from outside, looking along -n
        for (int k = 0; k < 4; ++k) {
            const Vec3 p =
                scale(add(n, add(scale(right, corners[k][0]), scale(up, corners[k][1]))), s);
            const Vec2 uv = {(f * 4 + k) / 32.0f, 1.0f - k / 8.0f};
            cube.vertices.push_back({p, n, uv});
            positions.push_back(numbers({p.x, p.y, p.z}));
            normal_list.push_back(numbers({n.x, n.y, n.z}));
            uvs.push_back(numbers({uv.x, uv.y}));
        }
        for (int i : order[reversed]) cube.indices.push_back(f * 4 + i);
    }
    for (size_t t = 0; t < cube.indices.size(); t += 3) {
        faces.push_back("3;" + std::to_string(cube.indices[t]) + "," +
                        std::to_string(cube.indices[t + 1]) + "," +
                        std::to_string(cube.indices[t + 2]) + ";");
    }
    cube.block = "Mesh " + name + " {\n" + x_list(positions) + x_list(faces) + "MeshNormals {\n" +
                 x_list(normal_list) + x_list(faces) + "}\nMeshTextureCoords {\n" + x_list(uvs) +
                 "}\n}\n";
    return cube;
}

// Triangle t of the mesh has the corners of the cube's triangle t in the same turning
// order (any starting corner): the same positions and texture coordinates, exactly.
bool same_triangle(const Mesh& mesh, const Cube& cube, size_t t) {
    for (int start = 0; start < 3; ++start) {
        int same = 0;
        for (int k = 0; k < 3; ++k) {
            const MeshVertex& a = mesh.vertices()[mesh.indices()[t * 3 + (start + k) % 3]];
            const MeshVertex& b = cube.vertices[cube.indices[t * 3 + k]];
            same += a.position.x == b.position.x && a.position.y == b.position.y &&
                    a.position.z == b.position.z && a.uv.x == b.uv.x && a.uv.y == b.uv.y &&
                    length(subtract(a.normal, b.normal)) < 1e-6f;
        }
        if (same == 3) return true;
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

    // Loads the .x file of the given mesh blocks.
    void load(Mesh& mesh, const std::string& blocks, const char* name = "cube.x") {
        ASSERT_TRUE(mesh.load(write_file(name, "xof 0303txt 0032\n" + blocks).c_str()));
    }

    // World identity; c1..c8 set as the character code does.
    void look_from(Vec3 eye) {
        device_.set_world(identity());
        device_.set_view(look_at_lh(eye, {0, 0, 0}, {0, 1, 0}));
        const Matrix world_view = multiply(device_.world(), device_.view());
        device_.set_matrix_constants(1, world_view);
        device_.set_matrix_constants(5, multiply(world_view, device_.projection()));
    }
};

TEST_F(MeshTest, LoadKeepsTheFilesVerticesAndWindingMergesSubMeshesAndRefusesBadFiles) {
    const Cube cube = make_cube(0.5f, false);
    Mesh mesh;
    load(mesh, cube.block);
    ASSERT_EQ(mesh.indices().size(), cube.indices.size());
    EXPECT_EQ(mesh.vertices().size(), cube.vertices.size());
    for (size_t t = 0; t < cube.indices.size() / 3; ++t) {
        EXPECT_TRUE(same_triangle(mesh, cube, t)) << "triangle " << t;
    }
    Mesh two, missing, damaged;
    load(two, cube.block + make_cube(2.0f, true, "big").block, "two.x");
    EXPECT_EQ(two.indices().size(), 2 * cube.indices.size());
    EXPECT_EQ(two.vertices().size(), 2 * cube.vertices.size());

    // Missing, damaged or hostile files load nothing and draw nothing.
    std::string frames = "xof 0303txt 0032\n";
    for (int i = 0; i < 50000; ++i) frames += "Frame f{";
    EXPECT_FALSE(damaged.load(write_file("deep.x", frames).c_str()));
    EXPECT_FALSE(missing.load((folder() + "/none.x").c_str()));
    EXPECT_FALSE(damaged.load(write_file("bad.x", "xof 0303txt 0032\nMesh { 12; garbage").c_str()));
    look_from({0, 0, -5});
    missing.draw_toon(device_, nullptr);
    damaged.draw_outline(device_);
    EXPECT_EQ(pixels_not(0), 0);
}

TEST_F(MeshTest, ToonShadingShowsTwoBandsLitFromOneSideTimesTheSkin) {
    Mesh mesh;
    load(mesh, make_cube(1.0f, false).block);
    look_from({-3, 2, -5});
    mesh.draw_toon(device_, nullptr);  // white skin
    // The light comes from +x, +y, -z: the -z face is in the bright band, -x in the dark.
    EXPECT_EQ(rgb_where(device_, {0, 0, -1}), 0xFFFFFFu);
    EXPECT_NEAR(rgb_where(device_, {-1, 0, 0}) >> 16, 128, 2);
    // The light is handed to the shader in view space.
    const Vec4 c10 = device_.constant(10);
    expect_near({c10.x, c10.y, c10.z}, transform_normal(normalize({-1, -1, 1}), device_.view()));

    const uint8_t green[] = {0, 200, 0, 255};
    const Texture skin = make_rgba_texture(1, 1, green, wrap_repeat);
    device_.clear(0xFF000000);
    mesh.draw_toon(device_, &skin);
    EXPECT_EQ(rgb_where(device_, {0, 0, -1}), 0x00C800u);
}

TEST_F(MeshTest, OutlineHullDrawsADarkRimButNotOverTheFront) {
    Mesh body, outline;
    load(body, make_cube(1.0f, false).block);
    load(outline, make_cube(1.2f, true).block, "cube_toon.x");
    device_.clear(0xFF0000FF);  // blue, to tell the background from the rim
    look_from({0, 0, -5});
    body.draw_toon(device_, nullptr);
    outline.draw_outline(device_);
    const auto image = pixels();
    const float cube_edge = screen_of(device_, {1, 0, -1}).x;
    const float hull_edge = screen_of(device_, {1.2f, 0, -1.2f}).x;
    ASSERT_LT(cube_edge + 2, hull_edge);
    EXPECT_EQ(red_at(image, 32, 32), 255) << "the hull covers the front";
    EXPECT_LT(rgba_at(image, static_cast<int>((cube_edge + hull_edge) / 2), 32) >> 8, 0x202020u)
        << "no rim";
    EXPECT_EQ(rgba_at(image, static_cast<int>(hull_edge) + 2, 32) >> 8, 0x0000FFu);
}

// The importer trusts what a file declares; the check before it does not.
TEST(ModelCheck, ShippedModelsPassAndHostileOnesAreRefusedWithTheirReason) {
    std::string frames = "xof 0303txt 0032";
    for (int i = 0; i < 40; ++i) frames += "Frame f{";
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(TORVI_SOURCE_DIR) + "/Data/models")) {
        const std::string text = read_text(entry.path());
        EXPECT_EQ(model_file_refusal(text.data(), text.size()), "") << entry.path();
    }
    const std::string head = "xof 0303txt 0032\nMesh m {\n3; 0;0;0;, 1;0;0;, 0;1;0;;\n";
    const char stray[] = "xof 0303txt $\0\0\0 {.1Of 03txt $\0\0\0;1.25";
    const std::pair<std::string, const char*> hostile[] = {
        {head + "1; 100000000;0,1,2;;\n}\n", "out of range"},
        {"xof 0303txt 0032\nMesh m { 2000000000; 0;0;0;;", "out of range"},
        {head + "1; 3;0,1,2;;\nMeshNormals { 1; 0;0;1;; 1; 3;0,5,70000;; }\n}\n", "outside"},
        {head + "1; 3;0,1,3;;\n}\n", "outside"},
        {head + "2; 3;0,1,2;, 3;0,2,1;;\nMeshNormals { 1; 0;0;1;; 1; 3;0,0,0;; }\n}\n",
         "one for one"},
        {head + "1; 3;0,1,2;;\nSkinWeights { \"bone\"; 1; 7; 1.0;; }\n}\n", "not read"},
        {head + "1; 3;0,1,2;", "ends"},
        // Read one way here and another by the importer, whose checks then abort.
        {head + "1; 3;0,1,2;; 00000;\n}\n", "unexpected"},
        {head + "1; 3;0,1,2;;\nMeshTextureCoords { 3; 0;0;, 0.0\xD0;1;, 1;1;; }\n}\n", "breaks"},
        {head + "1; 0;;\n}\n", "fewer than three"},
        {"xof 0303bin 0032" + std::string(20, '\0'), "not a text .x file"},
        {std::string(stray, sizeof stray - 1), "not closed"},  // zero bytes once hung the check
        {frames.substr(0, 16 + 40 * 8), "nested too deeply"},
    };
    for (const auto& [text, reason] : hostile) {
        EXPECT_NE(model_file_refusal(text.data(), text.size()).find(reason), std::string::npos)
            << reason << ": " << model_file_refusal(text.data(), text.size());
    }
}

}  // namespace
