// The comic pop-ups: their list, their screen placement, and drawn for real.
#include <gtest/gtest.h>

#include "../render/gl_test_context.h"
#include "effects/effect_list.h"
#include "effects/effect_sprites.h"
#include "effects/gl_effects.h"
#include "render/gl_texture.h"

namespace {

constexpr float kPi = 3.1415927f;

TEST(EffectList, SpawnsNewestLastIgnoresUnknownKindsAndKeepsTheLastFifty) {
    EffectList list;
    init_effect_list(list);
    for (const Effect& e : list.entries) EXPECT_FALSE(effect_active(e));
    effect_spawn(list, effect_tap, {1.0f, 2.0f, 3.0f});
    for (int32_t kind : {3, -1, INT32_MIN}) effect_spawn(list, kind, {9.0f, 9.0f, 9.0f});
    const Effect& newest = list.entries[kEffectCount - 1];
    EXPECT_EQ(newest.kind, effect_tap);
    EXPECT_EQ(newest.age, 0);
    EXPECT_EQ(newest.position.z, 3.0f);
    EXPECT_FALSE(effect_active(list.entries[kEffectCount - 2]));
    for (int i = 1; i <= 51; ++i) effect_spawn(list, effect_tap, {static_cast<float>(i), 0, 0});
    for (int i = 0; i < kEffectCount; ++i) EXPECT_EQ(list.entries[i].position.x, i + 2.0f);
}

class EffectSprites : public ::testing::Test {
  protected:
    void SetUp() override { init_effect_list(list); }
    int layout(int width, int height) {
        return layout_effect_sprites(list, view, projection, width, height, s);
    }

    // Looking straight down -z from (0, 0, 10): the origin is the screen centre.
    const Matrix view = look_at_lh({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
    const Matrix projection = perspective_fov_lh(kPi / 2, 1.0f, 1, 1500);
    EffectList list;
    EffectSprite s[kEffectCount];
};

// Active entries are centred on their projected points; inactive and unknown ones are left
// out. How long an effect lasts is checked where it is drawn.
TEST_F(EffectSprites, ActiveEntriesAreCentredOnTheirProjectedPointsAndOthersLeftOut) {
    EXPECT_EQ(layout(800, 800), 0);
    effect_spawn(list, effect_tap, {0, 0, 0});
    effect_spawn(list, effect_boom, {5, 5, 5});           // halfway to the eye: 90 degrees, 1:1
    list.entries[10] = Effect{99, {0, 0, 0}, {1, 1}, 0};  // damaged kind
    ASSERT_EQ(layout(800, 800), 2);
    EXPECT_STREQ(s[0].texture, "tap");
    EXPECT_NEAR(s[0].top_left.x, 400 - 64, 1e-3f);
    EXPECT_NEAR(s[0].top_left.y, 400 - 64, 1e-3f);
    // (5, 5) at distance 5 with a 90-degree view is a top corner of the screen; looking
    // down -z in left-handed space, world +x is screen left.
    EXPECT_STREQ(s[1].texture, "boom");
    EXPECT_NEAR(s[1].top_left.x, 0 - 64, 1e-2f);
    EXPECT_NEAR(s[1].top_left.y, 0 - 64, 1e-2f);

    // A zero-sized screen is no failure.
    for (int k = 0; k < kEffectCount; ++k) effect_spawn(list, effect_tap, {float(k), 0, 0});
    ASSERT_EQ(layout(0, -1), kEffectCount);
    for (int k = 0; k < kEffectCount; ++k) EXPECT_EQ(s[k].top_left.x, -64.0f);
}

class EffectsDrawTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        work_in(TORVI_SOURCE_DIR);
        read_texture_config(device_.textures(), "Data/textures.cfg");
        device_.set_view(look_at_lh({0, 0, -5}, {0, 0, 0}, {0, 1, 0}));
        effects_init(drawing_, device_);
    }

    // Pixels lit after one drawn frame of the effects.
    int drawn_pixels(EffectList& list) {
        device_.clear(0xFF000000);
        effects_draw(device_, drawing_, list);
        return pixels_not(0);
    }

    EffectDrawing drawing_;
    // World units per pixel in the plane of the origin, tan(pi / 8) at distance 5.
    const float per_pixel = 5.0f * 0.41421356f / (kWidth / 2.0f);
};

TEST_F(EffectsDrawTest, AnEffectShowsForSixteenFramesThenIsGone) {
    for (int32_t kind : {effect_klank, effect_tap, effect_boom}) {
        SCOPED_TRACE(kind);
        EffectList list;
        init_effect_list(list);
        // At the bottom-right corner the half-size picture's top left lands on (0, 0).
        effect_spawn(list, kind, {32 * per_pixel, -32 * per_pixel, 0});
        const Vec3 start = list.entries[kEffectCount - 1].position;
        for (int frame = 0; frame < kEffectLifetime; ++frame) {
            ASSERT_GT(drawn_pixels(list), 200) << "frame " << frame;
            age_effects(list);
        }
        // Each frame ages it and raises it, by 0.8 in all; inactive entries stay put.
        EXPECT_EQ(list.entries[kEffectCount - 1].age, kEffectLifetime);
        EXPECT_EQ(drawn_pixels(list), 0);
        EXPECT_NEAR(list.entries[kEffectCount - 1].position.y, start.y + 0.8f, 1e-5f);
        EXPECT_EQ(list.entries[0].age, kEffectLifetime);
        EXPECT_EQ(list.entries[0].position.y, 0.0f);
    }
}

}  // namespace
