// Comic pop-ups drawn for real and read back.
#include "effects/gl_effects.h"

#include <gtest/gtest.h>

#include "../render/gl_test_context.h"
#include "render/gl_texture.h"

namespace {

constexpr uint32_t kClear = 0xFF000000;

class EffectsTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (!textures_read_) {
            work_in(TORVI_SOURCE_DIR);
            read_texture_config("Data/textures.cfg");
            textures_read_ = true;
        }
        Renderer& device = renderer();
        ASSERT_TRUE(device.init(kWidth, kHeight));
        device.set_view(look_at_lh({0, 0, -5}, {0, 0, 0}, {0, 1, 0}));
        effects_init(device);
    }

    // Pixels that differ from the clear colour after one drawn frame of the effects.
    int drawn_pixels(EffectList& list) {
        renderer().clear(kClear);
        effects_draw(renderer(), list);
        return pixels_not(0);
    }

    // The point that projects to the bottom-right corner, so the half-size picture's top
    // left lands on (0, 0) and it fills the back buffer.
    static Vec3 corner_point() {
        const Renderer& device = renderer();
        const Vec3 s =
            project({0, 0, 0}, device.viewport(), device.projection(), device.view(), identity());
        const float half = 5.0f * 0.41421356f;  // tan(pi / 8) at distance 5
        EXPECT_NEAR(s.x, kWidth / 2.0f, 0.01f);
        return {half, -half, 0};
    }

    inline static bool textures_read_ = false;
};

TEST_F(EffectsTest, AnEffectShowsForSixteenFramesThenIsGone) {
    for (const Effect& e : effect_list().entries) EXPECT_FALSE(effect_active(e));
    EXPECT_EQ(drawn_pixels(effect_list()), 0);
    for (int32_t kind : {effect_klank, effect_tap, effect_boom}) {
        SCOPED_TRACE(kind);
        EffectList list;
        init_effect_list(list);
        effect_spawn(list, kind, corner_point());
        const Vec3 start = list.entries[kEffectCount - 1].position;
        for (int frame = 0; frame < kEffectLifetime; ++frame) {
            ASSERT_GT(drawn_pixels(list), 200) << "frame " << frame;
            if (frame == 0) {  // each drawing ages it once and raises it
                EXPECT_EQ(list.entries[kEffectCount - 1].age, 1);
                EXPECT_FLOAT_EQ(list.entries[kEffectCount - 1].position.y, start.y + 0.05f);
            }
        }
        EXPECT_EQ(list.entries[kEffectCount - 1].age, kEffectLifetime);
        EXPECT_EQ(list.entries[0].age, kEffectLifetime);  // inactive entries do not age further
        EXPECT_EQ(drawn_pixels(list), 0);
    }
}

TEST_F(EffectsTest, TheSpriteIsCentredOnItsProjectedPoint) {
    // A "tap" picture is 256 pixels drawn at half size: 128 pixels centred on the point.
    // With the point 32 pixels below the screen, only its lower half can be lit.
    const float per_pixel = 5.0f * 0.41421356f / (kWidth / 2.0f);
    const Vec3 point = {0, -64 * per_pixel, 0};
    const Vec3 s = project(point, renderer().viewport(), renderer().projection(), renderer().view(),
                           identity());
    ASSERT_NEAR(s.x, 32.0f, 0.01f);
    ASSERT_NEAR(s.y, 96.0f, 0.01f);
    EffectList list;
    init_effect_list(list);
    effect_spawn(list, effect_tap, point);
    renderer().clear(kClear);
    effects_draw(renderer(), list);
    const std::vector<uint8_t> image = pixels();
    int inside = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool lit = rgba_at(image, x, y) >> 8 != 0;
            if (y < kHeight / 2 - 1) {
                ASSERT_FALSE(lit) << x << "," << y;
            }
            inside += lit;
        }
    }
    EXPECT_GT(inside, 20);
}

}  // namespace
