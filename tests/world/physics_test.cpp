#include <gtest/gtest.h>

#include <vector>

#include "world_test_support.h"

namespace {

// Heights after each tick of a jump from the ground at tick 0; held_forward keeps a
// movement key down the whole time, as the input tick would.
std::vector<float> jump_heights(bool held_forward, int ticks) {
    PlayerRecord r = player_at({20.0f, 0.0f, -20.0f});
    std::vector<float> heights;
    for (int tick = 0; tick < ticks; ++tick) {
        if (held_forward) apply_action(r, ActionKind::Move, 0.0f, -100.0f, kPlayCamera);
        // The second press, in the air, must change nothing.
        if (tick == 0 || tick == 5)
            apply_action(r, ActionKind::ButtonDown, 2.0f, 0.0f, kPlayCamera);
        physics_step(r);
        heights.push_back(r.position.y);
    }
    return heights;
}

// Index i holds the height after tick i + 1.
int ticks_rising(const std::vector<float>& h) {
    int n = 1;
    while (n < static_cast<int>(h.size()) && h[n] > h[n - 1]) ++n;
    return n;
}

}  // namespace

TEST(Jump, StandingRisesHangsAndLandsAfterTheFortySixthTick) {
    const std::vector<float> h = jump_heights(false, 60);
    EXPECT_EQ(ticks_rising(h), 14);
    EXPECT_NEAR(h[13], 2.32f, 0.01f);
    for (int tick = 15; tick <= 24; ++tick) EXPECT_EQ(h[tick - 1], h[13]) << "tick " << tick;
    EXPECT_LT(h[24], h[23]);
    EXPECT_GT(h[44], 0.0f);
    for (int tick = 46; tick <= 60; ++tick) EXPECT_EQ(h[tick - 1], 0.0f) << "tick " << tick;
}

TEST(Jump, RunningRisesLongerAndLandsAfterTheFortySixthTick) {
    const std::vector<float> h = jump_heights(true, 50);
    EXPECT_EQ(ticks_rising(h), 18);
    EXPECT_NEAR(h[17], 2.43f, 0.01f);
    EXPECT_GT(h[44], 0.0f);
    EXPECT_EQ(h[45], 0.0f);
}

TEST(Fall, TheHostsPlayerLandsFromTwentyAndStays) {
    PlayerRecord r = player_at({0.0f, 20.0f, 0.0f});
    int ticks = 0;
    while (r.position.y > 0.0f && ticks < 200) {
        physics_step(r);
        ++ticks;
    }
    EXPECT_NEAR(ticks, 100, 1);
    for (int i = 0; i < 50; ++i) physics_step(r);
    EXPECT_EQ(r.position.y, 0.0f);
    EXPECT_EQ(r.position.x, 0.0f);
    EXPECT_EQ(r.position.z, 0.0f);
}

TEST(Glide, SpeedDecaysByDampingAndSnapsToRestOnTheHundredAndEighthTick) {
    PlayerRecord r = player_at({5.0f, 0.0f, -30.0f}, {50.0f, 0.0f, 0.0f});
    int ticks = 0;
    while (r.velocity.x != 0.0f && ticks < 1000) {
        const float before = r.velocity.x;
        physics_step(r);
        ++ticks;
        if (r.velocity.x != 0.0f)
            ASSERT_EQ(r.velocity.x, before * 0.95f);
        else
            EXPECT_LT(before * 0.95f, 0.2f);
    }
    EXPECT_EQ(ticks, 108);
}

TEST(Bounds, APlayerPushedPastTheMapStopsExactlyOnTheBound) {
    struct Case {
        Vec3 from, velocity, expected;
    };
    const Case cases[] = {
        {{38.9f, 0.0f, -10.0f}, {100.0f, 0.0f, 0.0f}, {39.0f, 0.0f, -10.0f}},
        {{10.0f, 0.0f, -38.9f}, {0.0f, 0.0f, -100.0f}, {10.0f, 0.0f, -39.0f}},
        {{0.1f, 0.0f, -10.0f}, {-100.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -10.0f}},
        {{10.0f, 0.0f, -0.1f}, {0.0f, 0.0f, 100.0f}, {10.0f, 0.0f, 0.0f}},
        {{10.0f, 0.1f, -10.0f}, {0.0f, -100.0f, 0.0f}, {10.0f, 0.0f, -10.0f}},
    };
    for (const Case& c : cases) {
        PlayerRecord r = player_at(c.from, c.velocity);
        physics_step(r);
        EXPECT_EQ(r.position.x, c.expected.x);
        EXPECT_EQ(r.position.y, c.expected.y);
        EXPECT_EQ(r.position.z, c.expected.z);
    }
}
