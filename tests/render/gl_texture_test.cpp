#include "render/gl_texture.h"

#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>

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

    // Draws texture on black with its top left at (x, y), its width scaled by sx.
    void draw(const Texture* texture, float x, float y, float sx = 1) {
        device_.clear(0xFF000000);
        SpriteBatch batch;
        ASSERT_TRUE(batch.init(device_));
        batch.begin();
        batch.draw(texture, nullptr, {sx, 1}, {0, 0}, 0, {x, y}, 0xFFFFFFFF);
        batch.end();
    }
};

// Red, green / blue, white.
const uint8_t kFourTexels[] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};

TEST_F(TextureTest, PngRowsKeepTheirPlaceSoVZeroIsTheTopRow) {
    const Texture texture = load_texture(write_png("four.png", 2, 2, kFourTexels).c_str());
    EXPECT_FALSE(texture.fallback());
    EXPECT_EQ(texture.width(), 2);
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
    draw(&ramp, 0, 0, 0.25f);  // 64 pixels wide
    const auto image = pixels();
    EXPECT_EQ(red_at(image, 16, 4), 128);  // u = 0.25
    EXPECT_EQ(red_at(image, 48, 4), 255);  // u = 0.75
}

TEST_F(TextureTest, RegistryFindsTheNewestExactNameAndNothingElse) {
    const uint8_t one[] = {255, 255, 255, 255};
    const std::string small = write_png("white1.png", 1, 1, one);
    const std::string big = write_png("white2.png", 2, 2, kFourTexels);
    TextureRegistry registry;
    read_texture_config(registry,
                        write_file("textures.cfg",
                                   "[main]\ntexturecount=4\n"
                                   "[texture1]\nID=white\ntexturename=" +
                                       small + "\n[texture2]\nID=ring\ntexturename=" + small +
                                       "\n[texture3]\nID=white\ntexturename=" + big + "\n")
                            .c_str());
    const Texture* white = find_texture(registry, "white");
    ASSERT_NE(white, nullptr);
    EXPECT_EQ(white->width(), 2);  // the later section wins
    EXPECT_NE(find_texture(registry, "ring"), nullptr);
    EXPECT_EQ(find_texture(registry, "White"), nullptr);
    EXPECT_EQ(find_texture(registry, nullptr), nullptr);
    EXPECT_EQ(find_texture(registry, ""), nullptr);
    // The missing fourth section registers "error" with the fallback.
    ASSERT_NE(find_texture(registry, "error"), nullptr);
    EXPECT_TRUE(find_texture(registry, "error")->fallback());
    add_texture(registry, "ring", big.c_str());
    EXPECT_EQ(find_texture(registry, "ring")->width(), 2);
    EXPECT_EQ(find_texture(registry, "white"), white);  // references stay valid
}

}  // namespace
