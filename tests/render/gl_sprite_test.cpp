// Sprites and textures drawn for real and read back, and the texture list they come from.
#include "render/gl_sprite.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "render/gl_test_context.h"
#include "render/gl_texture.h"
#include "render/texture_config.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
// Red, green / blue, white.
const uint8_t kFourTexels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};

struct Spot {
    int x, y;
    uint32_t rgba;
};

class SpriteTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(batch_.init(device_));
    }

    // One sprite on black: the (source) rectangle scaled by size, turned by angle about
    // centre, that point placed at `at`.
    void draw(const Texture* texture, Vec2 size, Vec2 at, float angle = 0, Vec2 centre = {0, 0},
              const SpriteRect* source = nullptr, uint32_t colour = 0xFFFFFFFF) {
        device_.clear(0xFF000000);
        batch_.begin();
        batch_.draw(texture, source, size, centre, angle, at, colour);
        batch_.end();
    }
    // Checks the given pixels and says how many are lit.
    int lit_with(std::initializer_list<Spot> spots) {
        const auto image = pixels();
        for (const Spot& s : spots)
            EXPECT_EQ(rgba_at(image, s.x, s.y), s.rgba) << s.x << "," << s.y;
        return pixels_not(0);
    }
    // Writes a PNG of width x height RGBA texels, top row first.
    std::string write_png(const char* name, int width, int height, const uint8_t* rgba) {
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
        for (int row = 0; row < height; ++row) {
            std::memcpy(static_cast<uint8_t*>(surface->pixels) + row * surface->pitch,
                        rgba + row * width * 4, width * 4);
        }
        const std::string path = folder() + "/" + name;
        EXPECT_EQ(IMG_SavePNG(surface, path.c_str()), 0);
        SDL_FreeSurface(surface);
        return path;
    }

    SpriteBatch batch_;
};

TEST_F(SpriteTest, SourceRectangleCoversExactlyItsPixelsAndScalingStretchesFromTheCorner) {
    uint8_t texels[4 * 4 * 4];  // each (16 * column, 16 * row, 200, 255)
    for (int k = 0; k < 16; ++k) {
        const uint8_t texel[4] = {static_cast<uint8_t>(16 * (k % 4)),
                                  static_cast<uint8_t>(16 * (k / 4)), 200, 255};
        std::memcpy(&texels[4 * k], texel, 4);
    }
    const Texture gradient = make_rgba_texture(4, 4, texels, wrap_repeat);
    const SpriteRect source = {1, 1, 3, 3};
    draw(&gradient, {1, 1}, {20, 10}, 0, {0, 0}, &source);
    EXPECT_EQ(lit_with({{20, 10, 0x1010C8FF},
                        {21, 10, 0x2010C8FF},
                        {20, 11, 0x1020C8FF},
                        {21, 11, 0x2020C8FF}}),
              4);
    draw(nullptr, {10, 4}, {5, 6});  // 1 x 1 white
    EXPECT_EQ(lit_with({{5, 6, 0xFFFFFFFF}, {14, 9, 0xFFFFFFFF}}), 40);
}

TEST_F(SpriteTest, RotationTurnsAboutTheCentreClockwiseOnScreen) {
    // A 10 x 4 bar turned a quarter about its corner (0, 0), which sits at (30, 30): it
    // hangs down from there, to the left.
    draw(nullptr, {10, 4}, {30, 30}, kHalfPi);
    EXPECT_EQ(lit_with({{28, 35, 0xFFFFFFFF}, {35, 31, 0x000000FF}}), 40);
    // Turned half about its own middle (5, 2): it covers the same pixels as unturned.
    draw(nullptr, {10, 4}, {30, 30}, 2 * kHalfPi, {5, 2});
    EXPECT_EQ(lit_with({{30, 30, 0xFFFFFFFF}, {39, 33, 0xFFFFFFFF}}), 40);
}

TEST_F(SpriteTest, ColourTintsAndAlphaBlendsThenStatesComeBackAndABatchOverflowsSafely) {
    draw(nullptr, {8, 8}, {0, 0}, 0, {0, 0}, nullptr, 0x80FF0000);
    EXPECT_NEAR(red_at(pixels(), 4, 4), 128, 1);
    GLint depth = 0, blend = 1;
    glGetIntegerv(GL_DEPTH_TEST, &depth);
    glGetIntegerv(GL_BLEND, &blend);
    EXPECT_EQ(depth, GL_TRUE);
    EXPECT_EQ(blend, GL_FALSE);

    SpriteBatch small;
    ASSERT_TRUE(small.init(device_, 4));
    device_.clear(0xFF000000);
    small.begin();
    for (int i = 0; i < 10; ++i) {
        small.draw(nullptr, nullptr, {1, 1}, {0, 0}, 0, {static_cast<float>(2 * i), 0}, 0xFFFFFFFF);
    }
    small.end();
    EXPECT_EQ(pixels_not(0), 10);
}

TEST_F(SpriteTest, PngRowsKeepTheirPlaceUnloadableImagesGiveTheMagentaCheck) {
    const Texture texture = load_texture(write_png("four.png", 2, 2, kFourTexels).c_str());
    EXPECT_FALSE(texture.fallback());
    EXPECT_EQ(texture.width(), 2);
    draw(&texture, {1, 1}, {10, 20});  // v = 0 is the top row
    lit_with(
        {{10, 20, 0xFF0000FF}, {11, 20, 0x00FF00FF}, {10, 21, 0x0000FFFF}, {11, 21, 0xFFFFFFFF}});

    const Texture missing = load_texture((folder() + "/missing.png").c_str());
    const Texture damaged = load_texture(write_file("bad.png", "not an image").c_str());
    EXPECT_TRUE(missing.fallback());
    EXPECT_TRUE(damaged.fallback());
    draw(&missing, {1, 1}, {4, 4});
    lit_with({{4, 4, 0xFF00FFFF}, {5, 4, 0x000000FF}, {5, 5, 0xFF00FFFF}});
}

TEST_F(SpriteTest, RegistryFindsTheNewestExactNameAndNothingElse) {
    const std::string small = write_png("one.png", 1, 1, kFourTexels);
    const std::string big = write_png("four.png", 2, 2, kFourTexels);
    TextureRegistry registry;
    read_texture_config(registry,
                        write_file("textures.cfg",
                                   "[main]\ntexturecount=3\n"
                                   "[texture1]\nID=white\ntexturename=" +
                                       small + "\n[texture2]\nID=ring\ntexturename=" + small +
                                       "\n[texture3]\nID=white\ntexturename=" + big + "\n")
                            .c_str());
    const Texture* white = find_texture(registry, "white");
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(white->width(), 2);  // the later section wins
    for (const char* none : {"White", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(find_texture(registry, none), nullptr);
    }
    add_texture(registry, "ring", big.c_str());
    EXPECT_EQ(find_texture(registry, "ring")->width(), 2);
    EXPECT_EQ(find_texture(registry, "white"), white);  // references stay valid
}

TEST(TextureConfig, ReadsSectionsOneToTexturecountInOrderWithErrorForMissingValues) {
    const auto entries = parse_texture_config(
        "[main]\ntexturecount=4\n"
        "[texture01]\nID=wrong\n"  // no leading zeros
        "[texture1]\nID=white\ntexturename=Data/textures/white.png\n"
        "[texture2]\ntexturename=a.png\n"
        "[texture3]\nID=white\ntexturename=Data/textures/white2.png\n"
        "[texture5]\nID=ring\ntexturename=Data/textures/ring.png\n");
    ASSERT_EQ(entries.size(), 4u);
    const char* expected[4][2] = {{"white", "Data/textures/white.png"},
                                  {"error", "a.png"},
                                  {"white", "Data/textures/white2.png"},
                                  {"error", "error"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i].name, expected[i][0]) << i;
        EXPECT_EQ(entries[i].path, expected[i][1]) << i;
    }
}

TEST(TextureConfig, MissingOrBadCountsReadNothingAndHugeCountsAndValuesAreCut) {
    EXPECT_TRUE(parse_texture_config("[texture1]\nID=a\ntexturename=b\n").empty());
    EXPECT_TRUE(parse_texture_config("[main]\ntexturecount=-2\n").empty());
    EXPECT_TRUE(read_texture_config_entries("/nonexistent/torvi/textures.cfg").empty());
    EXPECT_EQ(parse_texture_config("[main]\ntexturecount=2000000000\n").size(),
              static_cast<size_t>(kTextureCountLimit));
    const auto entries =
        parse_texture_config("[main]\ntexturecount=1\n[texture1]\nID=" + std::string(100, 'a') +
                             "\ntexturename=" + std::string(300, 'p') + "\n");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, std::string(kTextureIdMaxLength, 'a'));
    EXPECT_EQ(entries[0].path, std::string(kTexturePathMaxLength, 'p'));
}

}  // namespace
