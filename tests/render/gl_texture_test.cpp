#include "render/gl_texture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gl_test_context.h"
#include "render/gl_sprite.h"

namespace {

class TextureTest : public GlTest {
  protected:
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

    // Draws texture unscaled with its top left at (x, y).
    void draw(const Texture* texture, float x, float y) {
        SpriteBatch batch;
        ASSERT_TRUE(batch.init(device_));
        batch.begin();
        batch.draw(texture, nullptr, {1, 1}, {0, 0}, 0, {x, y}, 0xFFFFFFFF);
        batch.end();
    }

    std::string config(const std::string& text) { return write_file("textures.cfg", text); }
};

// Red, green / blue, white.
const uint8_t kFourTexels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};

TEST_F(TextureTest, PngRowsKeepTheirPlaceSoVZeroIsTheTopRow) {
    const Texture texture = load_texture(write_png("four.png", 2, 2, kFourTexels).c_str());
    EXPECT_FALSE(texture.fallback());
    EXPECT_EQ(texture.width(), 2);
    device_.clear(0xFF000000);
    draw(&texture, 10, 20);
    const auto image = pixels();
    EXPECT_EQ(rgba_at(image, 10, 20), 0xFF0000FFu);
    EXPECT_EQ(rgba_at(image, 11, 20), 0x00FF00FFu);
    EXPECT_EQ(rgba_at(image, 10, 21), 0x0000FFFFu);
    EXPECT_EQ(rgba_at(image, 11, 21), 0xFFFFFFFFu);
}

TEST_F(TextureTest, AnUnloadableImageGivesTheMagentaCheck) {
    const Texture missing = load_texture((folder() + "/missing.png").c_str());
    const Texture damaged = load_texture(write_file("bad.png", "not an image").c_str());
    EXPECT_TRUE(missing.fallback());
    EXPECT_TRUE(damaged.fallback());
    device_.clear(0xFF000000);
    draw(&missing, 4, 4);
    const auto image = pixels();
    EXPECT_EQ(rgba_at(image, 4, 4), 0xFF00FFFFu);
    EXPECT_EQ(rgba_at(image, 5, 4), 0x000000FFu);
    EXPECT_EQ(rgba_at(image, 5, 5), 0xFF00FFFFu);
}

TEST_F(TextureTest, ShadeRampSamplesTheTwoBands) {
    ASSERT_FALSE(device_.load_toon_vertex_shader((folder() + "/none.glsl").c_str()));
    const Texture& ramp = device_.shade_ramp();
    ASSERT_EQ(ramp.width(), kShadeRampWidth);
    SpriteBatch batch;
    ASSERT_TRUE(batch.init(device_));
    device_.clear(0xFF000000);
    batch.begin();
    batch.draw(&ramp, nullptr, {0.25f, 1}, {0, 0}, 0, {0, 0}, 0xFFFFFFFF);  // 64 pixels wide
    batch.end();
    const auto image = pixels();
    EXPECT_EQ(red_at(image, 16, 4), 128);  // u = 0.25
    EXPECT_EQ(red_at(image, 48, 4), 255);  // u = 0.75
}

TEST_F(TextureTest, RegistryFindsTheNewestExactNameAndNothingElse) {
    const uint8_t one[] = {255, 255, 255, 255};
    const std::string small = write_png("white1.png", 1, 1, one);
    const std::string big = write_png("white2.png", 2, 2, kFourTexels);
    TextureRegistry registry;
    read_texture_config(registry, config("[main]\ntexturecount=3\n"
                                         "[texture1]\nID=white\ntexturename=" +
                                         small +
                                         "\n"
                                         "[texture2]\nID=ring\ntexturename=" +
                                         small +
                                         "\n"
                                         "[texture3]\nID=white\ntexturename=" +
                                         big +
                                         "\n"
                                         "[texture4]\nID=boom\ntexturename=" +
                                         small + "\n")
                                      .c_str());
    const Texture* white = find_texture(registry, "white");
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(white->width(), 2);  // the later section wins
    EXPECT_NE(find_texture(registry, "ring"), nullptr);
    EXPECT_EQ(find_texture(registry, "boom"), nullptr);  // past texturecount
    EXPECT_EQ(find_texture(registry, "White"), nullptr);
    EXPECT_EQ(find_texture(registry, nullptr), nullptr);
    EXPECT_EQ(find_texture(registry, ""), nullptr);
    add_texture(registry, "ring", big.c_str());
    EXPECT_EQ(find_texture(registry, "ring")->width(), 2);
    EXPECT_EQ(find_texture(registry, "white"), white);  // references stay valid
}

TEST_F(TextureTest, MissingConfigurationLeavesTheRegistryEmpty) {
    TextureRegistry registry;
    read_texture_config(registry, (folder() + "/none.cfg").c_str());
    EXPECT_TRUE(registry.entries.empty());
    EXPECT_EQ(find_texture(registry, "error"), nullptr);
}

TEST_F(TextureTest, SectionsWithoutValuesRegisterErrorWithTheFallback) {
    TextureRegistry registry;
    read_texture_config(registry, config("[main]\ntexturecount=1\n").c_str());
    const Texture* error = find_texture(registry, "error");
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(error->fallback());
}

// Every level of the bound texture, level 0 first, read as format (GL_RGBA or GL_RED).
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
TEST_F(TextureTest, MipChainsAreTheDriversOwn) {
    const int sizes[][2] = {{16, 4}, {1, 8}, {8, 1}};
    uint32_t seed = 12345;
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        std::vector<uint8_t> texels(static_cast<size_t>(w) * h * 4);
        for (uint8_t& t : texels)
            t = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
        for (const GLenum format : {GL_RGBA, GL_RED}) {
            const Texture made =
                format == GL_RGBA
                    ? make_rgba_texture(w, h, texels.data(), TextureWrap::repeat)
                    : make_luminance_texture(w, h, texels.data(), TextureWrap::repeat);
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
