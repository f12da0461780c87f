#include "render/gl_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "gl_test_context.h"
#include "render/gl_shader.h"

namespace {

constexpr float kQuarterPi = 0.78539816f;

TEST(SoftwareRenderer, NamesTheMesaSoftwareRasterisers) {
    EXPECT_TRUE(is_software_renderer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(is_software_renderer("Mesa softpipe"));
    EXPECT_TRUE(is_software_renderer("Software Rasterizer SWRAST"));
    EXPECT_FALSE(is_software_renderer("AMD Radeon RX 6600 (radeonsi)"));
    EXPECT_FALSE(is_software_renderer(nullptr));
}

// A quad of one colour in the plane z = depth, covering x, y in -size..size.
void quad(ColouredVertex* v, float size, float depth, uint32_t colour) {
    const ColouredVertex a = {-size, size, depth, colour}, b = {size, size, depth, colour},
                         c = {size, -size, depth, colour}, d = {-size, -size, depth, colour};
    v[0] = a;
    v[1] = b;
    v[2] = c;
    v[3] = a;
    v[4] = c;
    v[5] = d;
}

class RendererTest : public GlTest {};

TEST_F(RendererTest, HoldsTheFixedProjectionAndMatrixConstantsAsTransposedRows) {
    EXPECT_TRUE(device_.software_rasteriser()) << device_.renderer_name();
    const Matrix expected = perspective_fov_lh(kQuarterPi, 1.0f, 1.0f, 1500.0f);
    for (int k = 0; k < 16; ++k) {
        EXPECT_FLOAT_EQ(device_.projection().m[k / 4][k % 4], expected.m[k / 4][k % 4]);
    }
    EXPECT_EQ(device_.viewport().width, static_cast<uint32_t>(kWidth));
    EXPECT_FLOAT_EQ(device_.viewport().max_z, 1.0f);

    Matrix m{};
    for (int k = 0; k < 16; ++k) m.m[k / 4][k % 4] = static_cast<float>(10 * (k / 4) + k % 4);
    device_.set_matrix_constants(5, m);
    // Register 5 + i holds column i of m: a dot product with a row vector gives its x, y, z, w.
    for (int i = 0; i < 4; ++i) {
        const Vec4 reg = device_.constant(5 + i);
        EXPECT_FLOAT_EQ(reg.x, m.m[0][i]);
        EXPECT_FLOAT_EQ(reg.y, m.m[1][i]);
        EXPECT_FLOAT_EQ(reg.z, m.m[2][i]);
        EXPECT_FLOAT_EQ(reg.w, m.m[3][i]);
    }
    EXPECT_FLOAT_EQ(device_.constant(0).y, 0.5f);
    EXPECT_FLOAT_EQ(device_.constant(0).w, 2.0f);
    device_.set_matrix_constants(9, m);  // would run past c10: ignored
    EXPECT_FLOAT_EQ(device_.constant(9).x, 0.0f);
}

TEST_F(RendererTest, ClearAndColouredTrianglesShowTheirColourWhereTheyProject) {
    device_.clear(0x00202040);
    EXPECT_EQ(rgba_at(pixels(), kWidth - 1, kHeight - 1) & 0xFFFFFF00u, 0x20204000u);

    device_.clear(0xFF000000);
    device_.set_view(look_at_lh({0, 0, -5}, {0, 0, 0}, {0, 1, 0}));
    ColouredVertex v[6];
    quad(v, 0.5f, 0.0f, 0xFF3366CC);
    // Moved right and up by the world matrix: it must land right of and above the centre.
    device_.draw_coloured_triangles(v, 6, translation(1, 1, 0));
    const Vec3 centre =
        project({1, 1, 0}, device_.viewport(), device_.projection(), device_.view(), identity());
    const auto image = pixels();
    EXPECT_EQ(rgba_at(image, static_cast<int>(centre.x), static_cast<int>(centre.y)) >> 8,
              0x3366CCu);
    EXPECT_GT(centre.x, kWidth / 2 + 4);
    EXPECT_LT(centre.y, kHeight / 2 - 4);
    EXPECT_EQ(rgba_at(image, kWidth / 2, kHeight / 2) >> 8, 0u);
    EXPECT_EQ(rgba_at(image, 2, kHeight - 2) >> 8, 0u);
}

TEST_F(RendererTest, AdditiveColouredTrianglesAddUpAndCullNothing) {
    device_.clear(0xFF101010);
    device_.set_view(look_at_lh({0, 0, -5}, {0, 0, 0}, {0, 1, 0}));
    ColouredVertex v[6];
    quad(v, 10.0f, 0.0f, 0x00202020);
    std::swap(v[1], v[2]);  // the other winding: must still be drawn
    device_.draw_coloured_triangles(v, 6, identity(), Blend::additive);
    device_.draw_coloured_triangles(v, 6, translation(0, 0, -1), Blend::additive);
    EXPECT_EQ(rgba_at(pixels(), 32, 32) >> 8, 0x505050u);
}

// Depth after projection runs 0..1 like Direct3D's, with glClipControl or the remap.
class DepthRangeTest : public GlTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        use_clip_control_ = GetParam();
        GlTest::SetUp();
    }
};

TEST_P(DepthRangeTest, WindowDepthIsTheProjectedZ) {
    EXPECT_EQ(device_.native_depth_range(), GetParam());
    device_.clear(0xFF000000);
    device_.set_view(identity());
    ColouredVertex v[6];
    quad(v, 5.0f, 2.0f, 0xFFFFFFFF);
    device_.draw_coloured_triangles(v, 6, identity());
    float depth = -1.0f;
    glReadPixels(32, 32, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    const Vec3 projected = transform_coord({0, 0, 2}, device_.projection());
    EXPECT_NEAR(depth, projected.z, 1e-4f);  // 0.5003; a -1..1 range would give 0.75

    // Nearer geometry hides farther geometry, whichever is drawn first.
    quad(v, 5.0f, 1.5f, 0xFF00FF00);
    device_.draw_coloured_triangles(v, 6, identity());
    quad(v, 5.0f, 3.0f, 0xFFFF0000);
    device_.draw_coloured_triangles(v, 6, identity());
    EXPECT_EQ(rgba_at(pixels(), 32, 32), 0x00FF00FFu);
}

INSTANTIATE_TEST_SUITE_P(ClipControlAndRemap, DepthRangeTest, ::testing::Values(true, false));

TEST_F(RendererTest, CompileErrorsPrintTheDriversLogAndLeaveNoToonProgram) {
    const std::string bad =
        write_file("bad.glsl", "#version 330 core\nvoid main() { gl_Position = no_such_name; }\n");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(device_.load_toon_vertex_shader(bad.c_str()));
    const std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("no_such_name"), std::string::npos) << log;
    EXPECT_FALSE(device_.toon_ready());
    EXPECT_FALSE(device_.use_toon_program());
}

TEST_F(RendererTest, AMissingPixelProgramSaysSoInOneLine) {
    const std::string shaders = std::string(TORVI_SOURCE_DIR) + "/Data/shaders/";
    ASSERT_TRUE(device_.load_toon_vertex_shader((shaders + "toon_surface.glsl").c_str()));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(device_.load_toon_pixel_shader("error"));
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_FALSE(device_.toon_ready());
    // The shipped pair links, with the depth remap too.
    load_toon_shaders();
    ASSERT_TRUE(device_.init(kWidth, kHeight, false));
    load_toon_shaders();
    EXPECT_TRUE(device_.toon_ready());
}

TEST(ShaderSource, TheRemapDefineGoesAfterTheVersionLine) {
    EXPECT_EQ(shader_source_for("#version 330 core\nvoid main() {}\n", true),
              "#version 330 core\n#define TORVI_DEPTH_REMAP 1\nvoid main() {}\n");
    EXPECT_EQ(shader_source_for("#version 330 core\nx\n", false), "#version 330 core\nx\n");
}

}  // namespace
