#include "effects/effect_list.h"

#include <gtest/gtest.h>

TEST(EffectList, SpawnsWithTheKindsScaleIgnoresUnknownKindsAndKeepsTheLastFifty) {
    EffectList list;
    init_effect_list(list);
    for (const Effect& e : list.entries) EXPECT_FALSE(effect_active(e));
    effect_spawn(list, effect_tap, {1.0f, 2.0f, 3.0f});
    const Effect& newest = list.entries[kEffectCount - 1];
    EXPECT_EQ(newest.kind, effect_tap);
    EXPECT_EQ(newest.age, 0);
    EXPECT_EQ(newest.position.z, 3.0f);
    EXPECT_EQ(newest.scale.x, 0.5f);
    effect_spawn(list, effect_boom, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(newest.scale.y, 1.0f);
    EXPECT_EQ(list.entries[kEffectCount - 2].kind, effect_tap);
    for (int32_t kind : {3, -1, INT32_MIN}) effect_spawn(list, kind, {9.0f, 9.0f, 9.0f});
    EXPECT_EQ(newest.kind, effect_boom);
    EXPECT_FALSE(effect_active(list.entries[kEffectCount - 3]));

    for (int i = 1; i <= 51; ++i) effect_spawn(list, effect_tap, {static_cast<float>(i), 0, 0});
    for (int i = 0; i < kEffectCount; ++i) EXPECT_EQ(list.entries[i].position.x, i + 2.0f);
}

TEST(EffectList, AnEffectLivesSixteenFramesAndRisesPointEight) {
    EffectList list;
    init_effect_list(list);
    effect_spawn(list, effect_klank, {0.0f, 1.0f, 0.0f});
    Effect& e = list.entries[kEffectCount - 1];
    for (int frame = 1; frame <= 15; ++frame) age_effects(list);
    EXPECT_TRUE(effect_active(e));
    age_effects(list);
    EXPECT_FALSE(effect_active(e));
    EXPECT_NEAR(e.position.y, 1.8f, 1e-5f);
    age_effects(list);
    EXPECT_NEAR(e.position.y, 1.8f, 1e-5f);
    EXPECT_EQ(list.entries[0].position.y, 0.0f);  // inactive entries do not rise
}
