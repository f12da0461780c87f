#include "render/gl_sprite.h"

#include <gtest/gtest.h>

#include "gl_test_context.h"

namespace {

constexpr float kHalfPi = 1.5707964f;

class SpriteTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(batch_.init(device_));
        device_.clear(0xFF000000);
    }

    // 4 x 4 texels, each (16 * column, 16 * row, 200, 255).
    Texture gradient() {
        uint8_t texels[4 * 4 * 4];
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                uint8_t* t = &texels[(row * 4 + column) * 4];
                t[0] = static_cast<uint8_t>(16 * column);
                t[1] = static_cast<uint8_t>(16 * row);
                t[2] = 200;
                t[3] = 255;
            }
        }
        return make_rgba_texture(4, 4, texels, TextureWrap::repeat);
    }

    // How many pixels are not the black background.
    static int lit(const std::vector<uint8_t>& image) {
        int count = 0;
        for (size_t i = 0; i < image.size(); i += 4)
            count += (image[i] | image[i + 1] | image[i + 2]) != 0;
        return count;
    }

    SpriteBatch batch_;
};

TEST_F(SpriteTest, SourceRectangleCoversExactlyItsPixels) {
    const Texture texture = gradient();
    const SpriteRect source = {1, 1, 3, 3};
    batch_.begin();
    batch_.draw(&texture, &source, {1, 1}, {0, 0}, 0, {20, 10}, 0xFFFFFFFF);
    batch_.end();
    const auto image = pixels();
    EXPECT_EQ(rgba_at(image, 20, 10), 0x1010C8FFu);
    EXPECT_EQ(rgba_at(image, 21, 10), 0x2010C8FFu);
    EXPECT_EQ(rgba_at(image, 20, 11), 0x1020C8FFu);
    EXPECT_EQ(rgba_at(image, 21, 11), 0x2020C8FFu);
    EXPECT_EQ(lit(image), 4);
}

TEST_F(SpriteTest, ScalingStretchesFromTheCorner) {
    batch_.begin();
    batch_.draw(nullptr, nullptr, {10, 4}, {0, 0}, 0, {5, 6}, 0xFFFFFFFF);  // 1 x 1 white
    batch_.end();
    const auto image = pixels();
    EXPECT_EQ(lit(image), 40);
    EXPECT_EQ(rgba_at(image, 5, 6), 0xFFFFFFFFu);
    EXPECT_EQ(rgba_at(image, 14, 9), 0xFFFFFFFFu);
}

TEST_F(SpriteTest, RotationTurnsAboutTheCentreClockwiseOnScreen) {
    batch_.begin();
    // A 10 x 4 bar turned a quarter about its corner (0, 0), which sits at (30, 30): it
    // hangs down from there, to the left.
    batch_.draw(nullptr, nullptr, {10, 4}, {0, 0}, kHalfPi, {30, 30}, 0xFFFFFFFF);
    batch_.end();
    auto image = pixels();
    EXPECT_EQ(lit(image), 40);
    EXPECT_EQ(rgba_at(image, 28, 35), 0xFFFFFFFFu);
    EXPECT_EQ(rgba_at(image, 35, 31), 0x000000FFu);

    device_.clear(0xFF000000);
    batch_.begin();
    // Turned half about its own middle (5, 2): it covers the same pixels as unturned.
    batch_.draw(nullptr, nullptr, {10, 4}, {5, 2}, 2 * kHalfPi, {30, 30}, 0xFFFFFFFF);
    batch_.end();
    image = pixels();
    EXPECT_EQ(lit(image), 40);
    EXPECT_EQ(rgba_at(image, 30, 30), 0xFFFFFFFFu);
    EXPECT_EQ(rgba_at(image, 39, 33), 0xFFFFFFFFu);
}

TEST_F(SpriteTest, ColourTintsAndAlphaBlendsThenStatesComeBack) {
    batch_.begin();
    batch_.draw(nullptr, nullptr, {8, 8}, {0, 0}, 0, {0, 0}, 0x80FF0000);
    batch_.end();
    EXPECT_NEAR(red_at(pixels(), 4, 4), 128, 1);
    GLint depth = 0, blend = 1;
    glGetIntegerv(GL_DEPTH_TEST, &depth);
    glGetIntegerv(GL_BLEND, &blend);
    EXPECT_EQ(depth, GL_TRUE);
    EXPECT_EQ(blend, GL_FALSE);
}

TEST_F(SpriteTest, MoreSpritesThanTheBufferHoldsAllShow) {
    SpriteBatch small;
    ASSERT_TRUE(small.init(device_, 4));
    small.begin();
    for (int i = 0; i < 10; ++i) {
        small.draw(nullptr, nullptr, {1, 1}, {0, 0}, 0, {static_cast<float>(2 * i), 0}, 0xFFFFFFFF);
    }
    small.end();
    EXPECT_EQ(lit(pixels()), 10);
}

TEST_F(SpriteTest, BatchesOfOneDeviceDrawWithItsOneProgram) {
    SpriteBatch other;
    ASSERT_TRUE(other.init(device_));
    ASSERT_NE(device_.sprite_program(), 0u);
    for (SpriteBatch* batch : {&batch_, &other}) {
        glUseProgram(0);
        batch->begin();
        batch->draw(nullptr, nullptr, {1, 1}, {0, 0}, 0, {0, 0}, 0xFFFFFFFF);
        batch->end();
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        EXPECT_EQ(static_cast<GLuint>(current), device_.sprite_program());
    }
    EXPECT_EQ(lit(pixels()), 1);
}

}  // namespace
