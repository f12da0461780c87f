// Sprites and textures drawn for real and read back, and the texture list they come from.
#include "render/gl_sprite.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "render/gl_test_context.h"
#include "render/gl_texture.h"
#include "render/texture_config.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
// Red, green / blue, white.
const uint8_t kFourTexels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};

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
    // Checks the given pixels (x, y, RGBA) and says how many are lit.
    int lit_with(std::initializer_list<std::tuple<int, int, uint32_t>> spots) {
        const auto image = pixels();
        for (const auto& [x, y, rgba] : spots)
            EXPECT_EQ(rgba_at(image, x, y), rgba) << x << "," << y;
        return pixels_not(0);
    }
    // Writes a PNG of width x height RGBA texels, top row first.
    std::string write_png(const char* name, int width, int height, const uint8_t* rgba) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint8_t*>(rgba), width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
        const std::string path = folder() + "/" + name;
        EXPECT_EQ(IMG_SavePNG(surface, path.c_str()), 0);
        SDL_FreeSurface(surface);
        return path;
    }

    SpriteBatch batch_;
};

TEST_F(SpriteTest, SourceRectangleCoversExactlyItsPixelsAndScalingStretchesFromTheCorner) {
    // The right column of the four texels: green over white.
    const Texture four = make_rgba_texture(2, 2, kFourTexels, wrap_repeat);
    const SpriteRect source = {1, 0, 2, 2};
    draw(&four, {1, 1}, {20, 10}, 0, {0, 0}, &source);
    EXPECT_EQ(lit_with({{20, 10, 0x00FF00FF}, {20, 11, 0xFFFFFFFF}}), 2);
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
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    SpriteBatch small;
    ASSERT_TRUE(small.init(device_, 4));
    device_.clear(0xFF000000);
    small.begin();
    // 25 flushes run through the stream's room three times: each lands where it belongs.
    for (int i = 0; i < 100; ++i) {
        const Vec2 at = {static_cast<float>(2 * (i % 25)), static_cast<float>(2 * (i / 25))};
        small.draw(nullptr, nullptr, {1, 1}, {0, 0}, 0, at, 0xFFFFFFFF);
    }
    small.end();
    EXPECT_EQ(pixels_not(0), 100);
}

TEST_F(SpriteTest, PngRowsKeepTheirPlaceUnloadableImagesGiveTheMagentaCheck) {
    const Texture texture = load_texture(write_png("four.png", 2, 2, kFourTexels).c_str());
    EXPECT_FALSE(texture.fallback());
    draw(&texture, {1, 1}, {10, 20});  // v = 0 is the top row
    lit_with(
        {{10, 20, 0xFF0000FF}, {11, 20, 0x00FF00FF}, {10, 21, 0x0000FFFF}, {11, 21, 0xFFFFFFFF}});

    const Texture missing = load_texture((folder() + "/missing.png").c_str());
    const Texture damaged = load_texture(write_file("bad.png", "not an image").c_str());
    EXPECT_TRUE(missing.fallback());
    EXPECT_TRUE(damaged.fallback());
    // A header that claims a picture of a gigabyte is refused before decoding; a picture
    // the device refuses gives no texture rather than a silent blank one.
    const std::string png_header = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) +
                                   std::string("\0\0\x40\0\0\0\x40\0\x08\x06\0\0\0", 13);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(load_texture(write_file("huge.png", png_header).c_str()).fallback());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("16384 x 16384"), std::string::npos);
    const std::vector<uint8_t> row(20000 * 4, 255);
    EXPECT_EQ(make_rgba_texture(20000, 1, row.data(), wrap_clamp, mip_none).name(), 0u);
    draw(&missing, {1, 1}, {4, 4});
    lit_with({{4, 4, 0xFF00FFFF}, {5, 4, 0x000000FF}, {5, 5, 0xFF00FFFF}});
}

TEST_F(SpriteTest, RegistryFindsTheNewestExactNameAndKeepsReferencesValid) {
    const std::string small = write_png("one.png", 1, 1, kFourTexels);
    const std::string big = write_png("four.png", 2, 2, kFourTexels);
    TextureRegistry registry;
    read_texture_config(
        registry, write_file("textures.cfg",
                             "[main]\ntexturecount=2\n[texture1]\nID=white\ntexturename=" + small +
                                 "\n[texture2]\nID=white\ntexturename=" + big + "\n")
                      .c_str());
    const Texture* white = find_texture(registry, "white");
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(white->width(), 2);  // the later section wins
    for (const char* none : {"White", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(find_texture(registry, none), nullptr);
    }
    add_texture(registry, "ring", small.c_str());
    EXPECT_EQ(find_texture(registry, "ring")->width(), 1);
    EXPECT_EQ(find_texture(registry, "white"), white);  // references stay valid
}

TEST(TextureConfig, ReadsSectionsOneToTexturecountAndDamagedEntriesReadAsErrorOrAreCut) {
    const auto entries = parse_texture_config(
        "[main]\ntexturecount=3\n[texture01]\nID=wrong\n"  // no leading zeros
        "[texture1]\ntexturename=a.png\n[texture3]\nID=" +
        std::string(100, 'a') + "\ntexturename=" + std::string(300, 'p') +
        "\n[texture4]\nID=ring\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "error");
    EXPECT_EQ(entries[0].path, "a.png");
    EXPECT_EQ(entries[1].name, "error");
    EXPECT_EQ(entries[1].path, "error");
    EXPECT_EQ(entries[2].name, std::string(kTextureIdMaxLength, 'a'));
    EXPECT_EQ(entries[2].path, std::string(kTexturePathMaxLength, 'p'));

    // In one pass, as ini_find reads: a byte-order mark, names in any case, and the first
    // section and key of a name winning.
    const auto first = parse_texture_config(
        "\xEF\xBB\xBF[Main]\ntexturecount=1\n[TEXTURE1]\nid=a\nID=b\n[texture1]\ntexturename=c\n"
        "[main]\ntexturecount=5\n");
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].name, "a");
    EXPECT_EQ(first[0].path, "error");

    EXPECT_TRUE(parse_texture_config("[texture1]\nID=a\ntexturename=b\n").empty());
    EXPECT_TRUE(parse_texture_config("[main]\ntexturecount=-2\n").empty());
    EXPECT_TRUE(read_texture_config_entries("/nonexistent/torvi/textures.cfg").empty());
    EXPECT_EQ(parse_texture_config("[main]\ntexturecount=2000000000\n").size(),
              static_cast<size_t>(kTextureCountLimit));
}

TEST_F(SpriteTest, BatchesOfOneDeviceDrawWithItsOneProgram) {
    SpriteBatch other;
    ASSERT_TRUE(other.init(device_));
    ASSERT_NE(device_.sprite_program(), 0u);
    device_.clear(0xFF000000);
    for (SpriteBatch* batch : {&batch_, &other}) {
        glUseProgram(0);
        batch->begin();
        batch->draw(nullptr, nullptr, {1, 1}, {0, 0}, 0, {0, 0}, 0xFFFFFFFF);
        batch->end();
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(static_cast<GLuint>(current), device_.sprite_program());
    }
    EXPECT_EQ(pixels_not(0), 1);
}

// Every level of a texture, level 0 first, read as format (GL_RGBA or GL_RED).
std::vector<std::vector<uint8_t>> levels_of(GLuint name, int width, int height, GLenum format) {
    const int channels = format == GL_RED ? 1 : 4;
    std::vector<std::vector<uint8_t>> levels;
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int level = 0;; ++level) {
        levels.emplace_back(static_cast<size_t>(width) * height * channels);
        glGetTexImage(GL_TEXTURE_2D, level, format, GL_UNSIGNED_BYTE, levels.back().data());
        if (width == 1 && height == 1) return levels;
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
    }
}

// The chain the texture functions make is the one glGenerateMipmap makes, texel for texel,
// whoever builds it.
TEST_F(SpriteTest, MipChainsAreTheDriversOwn) {
    const int sizes[][2] = {{16, 4}, {1, 8}, {8, 1}};
    uint32_t seed = 12345;
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        std::vector<uint8_t> texels(static_cast<size_t>(w) * h * 4);
        for (uint8_t& t : texels)
            t = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
        for (const GLenum format : {GL_RGBA, GL_RED}) {
            const Texture made = format == GL_RGBA
                                     ? make_rgba_texture(w, h, texels.data(), wrap_repeat)
                                     : make_luminance_texture(w, h, texels.data(), wrap_repeat);
            GLuint driver = 0;
            glGenTextures(1, &driver);
            glBindTexture(GL_TEXTURE_2D, driver);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, format == GL_RGBA ? GL_RGBA8 : GL_R8, w, h, 0, format,
                         GL_UNSIGNED_BYTE, texels.data());
            glGenerateMipmap(GL_TEXTURE_2D);
            EXPECT_EQ(levels_of(made.name(), w, h, format), levels_of(driver, w, h, format))
                << w << " x " << h << (format == GL_RED ? " R8" : " RGBA8");
            glDeleteTextures(1, &driver);
        }
    }
}

}  // namespace
