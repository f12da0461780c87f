#include "render/gl_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "render/gl_test_context.h"
#include "render/picking.h"
#include "support/expect_near.h"

namespace {

// A quad of one colour in the plane z = depth, covering x, y in -size..size.
void quad(ColouredVertex* v, float size, float depth, uint32_t colour) {
    const float xy[6][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (int k = 0; k < 6; ++k) v[k] = {xy[k][0] * size, xy[k][1] * size, depth, colour};
}

// Depth after projection runs 0..1 like Direct3D's, with glClipControl or the remap.
class RendererTest : public GlTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        use_clip_control_ = GetParam();
        GlTest::SetUp();
        device_.clear(0xFF000000);
        device_.set_view(look_at_lh({0, 0, -5}, {0, 0, 0}, {0, 1, 0}));
    }
    ColouredVertex v[6];
};

// The register layout itself is what the mesh tests draw with.
TEST_P(RendererTest, AMatrixRunningPastTheLastConstantRegisterIsAnError) {
    EXPECT_TRUE(device_.software_rasteriser()) << device_.renderer_name();
    EXPECT_DEATH(device_.set_matrix_constants(9, identity()), "four registers inside c0..c10");
}

TEST_P(RendererTest, ColouredTrianglesShowTheirColourWhereTheyProjectAndAddUpUnculled) {
    quad(v, 0.5f, 0.0f, 0xFF3366CC);
    // Moved right and up by the world matrix: it must land right of and above the centre.
    device_.draw_coloured_triangles(v, 6, translation(1, 1, 0));
    const Vec3 centre = screen_of(device_, {1, 1, 0});
    EXPECT_GT(centre.x, kWidth / 2 + 4);
    EXPECT_LT(centre.y, kHeight / 2 - 4);
    EXPECT_EQ(rgb_where(device_, {1, 1, 0}), 0x3366CCu);
    EXPECT_EQ(rgb_where(device_, {0, 0, 0}), 0u);
    EXPECT_EQ(rgba_at(pixels(), 2, kHeight - 2) >> 8, 0u);

    device_.clear(0xFF101010);
    quad(v, 10.0f, 0.0f, 0x00202020);
    std::swap(v[1], v[2]);  // the other winding: must still be drawn
    device_.draw_coloured_triangles(v, 6, identity(), blend_additive);
    device_.draw_coloured_triangles(v, 6, translation(0, 0, -1), blend_additive);
    EXPECT_EQ(pixels_not(0x505050), 0);
}

TEST_P(RendererTest, WindowDepthIsTheProjectedZAndNearerGeometryHidesFarther) {
    EXPECT_EQ(device_.native_depth_range(), GetParam());
    device_.set_view(identity());
    quad(v, 5.0f, 2.0f, 0xFFFFFFFF);
    device_.draw_coloured_triangles(v, 6, identity());
    float depth = -1.0f;
    glReadPixels(32, 32, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    const Vec3 projected = transform_coord({0, 0, 2}, device_.projection());
    EXPECT_NEAR(depth, projected.z, 1e-4f);  // 0.5003; a -1..1 range would give 0.75
    // Whichever is drawn first.
    quad(v, 5.0f, 1.5f, 0xFF00FF00);
    device_.draw_coloured_triangles(v, 6, identity());
    quad(v, 5.0f, 3.0f, 0xFFFF0000);
    device_.draw_coloured_triangles(v, 6, identity());
    EXPECT_EQ(rgba_at(pixels(), 32, 32), 0x00FF00FFu);
}

TEST_P(RendererTest, ShaderErrorsSaySoAndLeaveNoToonProgramWhileTheShippedPairLinks) {
    const std::string bad =
        write_file("bad.glsl", "#version 330 core\nvoid main() { gl_Position = no_such_name; }\n");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(device_.load_toon_vertex_shader(bad.c_str()));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("no_such_name"), std::string::npos);
    EXPECT_FALSE(device_.use_toon_program());

    load_toon_shaders();
    EXPECT_TRUE(device_.toon_ready());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(device_.load_toon_pixel_shader("error"));
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_FALSE(device_.toon_ready());
}

INSTANTIATE_TEST_SUITE_P(ClipControlAndRemap, RendererTest, ::testing::Values(true, false));

// The pick ray under a pixel.
const Vec3 kEye = {12, 9, 4}, kTarget = {20, 0, -15};
const Matrix kView = look_at_lh(kEye, kTarget, {0, 1, 0});
const Matrix kProjection = perspective_fov_lh(3.1415927f / 4, 1024.0f / 768.0f, 1, 1500);

// Every point of the ray projects back onto the pixel it was made for; the centre's ray
// looks from the eye at the target.
TEST(CursorRay, RayProjectsBackOntoItsPixelAndDegenerateInputGivesNone) {
    const Ray centre = cursor_ray(512, 384, 1024, 768, kProjection, kView);
    expect_near(centre.origin, kEye, 1e-4f);
    expect_near(normalize(centre.direction), normalize(subtract(kTarget, kEye)));
    const Viewport vp = {0, 0, 1024, 768, 0, 1};
    for (const auto& p : {std::pair{0.0f, 0.0f}, {1023.0f, 767.0f}, {100.0f, 600.0f}}) {
        const Ray ray = cursor_ray(p.first, p.second, 1024, 768, kProjection, kView);
        for (float t : {2.0f, 30.0f}) {
            const Vec3 point = add(ray.origin, scale(ray.direction, t));
            const Vec3 screen = project(point, vp, kProjection, kView, identity());
            EXPECT_NEAR(screen.x, p.first, 0.01f);
            EXPECT_NEAR(screen.y, p.second, 0.01f);
        }
    }
    // Degenerate input gives no direction.
    const Vec3 none = {0, 0, 0};
    for (const auto& size : {std::pair{0, 768}, {1024, 0}, {-5, -5}}) {
        expect_near(cursor_ray(10, 10, size.first, size.second, kProjection, kView).direction, none,
                    0.0f);
    }
    Matrix singular = kView;
    for (float& v : singular.m[2]) v = 0.0f;
    const Ray lost = cursor_ray(10, 10, 1024, 768, kProjection, singular);
    expect_near(lost.origin, none, 0.0f);
    expect_near(lost.direction, none, 0.0f);
}

}  // namespace
