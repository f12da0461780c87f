// Screen placement of the comic pop-ups.
#include "effects/effect_sprites.h"

#include <gtest/gtest.h>

namespace {

constexpr float kPi = 3.1415927f;

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

TEST_F(EffectSprites, ActiveEntriesAreCentredOnTheirProjectedPoints) {
    effect_spawn(list, effect_tap, {0, 0, 0});
    effect_spawn(list, effect_boom, {5, 5, 5});  // halfway to the eye: 90 degrees, 1:1
    ASSERT_EQ(layout(800, 800), 2);
    EXPECT_STREQ(s[0].texture, "tap");
    EXPECT_NEAR(s[0].top_left.x, 400 - 64, 1e-3f);
    EXPECT_NEAR(s[0].top_left.y, 400 - 64, 1e-3f);
    EXPECT_EQ(s[0].scale.x, 0.5f);
    // (5, 5) at distance 5 with a 90-degree view is a top corner of the screen; looking
    // down -z in left-handed space, world +x is screen left.
    EXPECT_STREQ(s[1].texture, "boom");
    EXPECT_NEAR(s[1].top_left.x, 0 - 64, 1e-2f);
    EXPECT_NEAR(s[1].top_left.y, 0 - 64, 1e-2f);
    EXPECT_EQ(s[1].scale.y, 1.0f);
}

TEST_F(EffectSprites, InactiveAndUnknownEntriesAreLeftOut) {
    EXPECT_EQ(layout(800, 600), 0);
    effect_spawn(list, effect_klank, {1, 0, 0});
    list.entries[10] = Effect{99, {0, 0, 0}, {1, 1}, 0};  // damaged kind
    for (int frame = 0; frame < kEffectLifetime - 1; ++frame) age_effects(list);
    ASSERT_EQ(layout(800, 600), 1);
    EXPECT_STREQ(s[0].texture, "klank");
    age_effects(list);
    EXPECT_EQ(layout(800, 600), 0);
}

TEST_F(EffectSprites, FiftyActiveEntriesOldestFirstEvenOnAZeroSizedScreen) {
    for (int k = 0; k < kEffectCount; ++k) effect_spawn(list, effect_tap, {float(k), 0, 0});
    ASSERT_EQ(layout(0, -1), kEffectCount);
    for (int k = 0; k < kEffectCount; ++k) EXPECT_EQ(s[k].top_left.x, -64.0f);
}

}  // namespace
