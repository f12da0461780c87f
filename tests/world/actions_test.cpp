#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "world_test_support.h"

namespace {

void press(PlayerRecord& r, float button) {
    apply_action(r, ActionKind::ButtonDown, button, 0.0f, kPlayCamera);
}

void move(PlayerRecord& r, float a, float b, const Camera& cam = kPlayCamera) {
    apply_action(r, ActionKind::Move, a, b, cam);
}

float horizontal_speed(const PlayerRecord& r) {
    return std::hypot(r.velocity.x, r.velocity.z);
}

}  // namespace

TEST(Buttons, PrimaryCyclesTheElementAndUnknownButtonsDoNothing) {
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f});
    for (int i = 0; i < 5; ++i) press(r, 0.0f);
    EXPECT_EQ(r.element, 1);
    for (float button : {3.0f, -1.0f, 1e30f}) press(r, button);
    apply_action(r, ActionKind::ButtonUp, 1.0f, 0.0f, kPlayCamera);
    apply_action(r, static_cast<ActionKind>(7), 1.0f, 0.0f, kPlayCamera);
    EXPECT_EQ(r.element, 1);
    EXPECT_EQ(r.action, action_idle);
    EXPECT_EQ(r.velocity.y, 0.0f);

    r.element = INT32_MIN;  // a corrupt element still lands in 0..3
    press(r, 0.0f);
    EXPECT_EQ(r.element, 1);
}

TEST(Move, FollowsTheCameraAndKeepsTheVerticalVelocity) {
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f}, {0.0f, 7.0f, 0.0f});
    move(r, 0.0f, -100.0f);  // forward, away from the play camera: -z
    EXPECT_NEAR(r.velocity.x, 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(r.velocity.z, -50.0f);
    EXPECT_EQ(r.velocity.y, 7.0f);

    const Camera looking_north = {{0.0f, 5.0f, -5.0f}, {0.0f, 0.0f, 0.0f}};  // forward +z
    move(r, -100.0f, 0.0f, looking_north);                                   // left
    EXPECT_NEAR(r.velocity.x, -50.0f, 1e-4f);
    EXPECT_NEAR(r.velocity.z, 0.0f, 1e-4f);

    move(r, 100.0f, -100.0f);
    EXPECT_NEAR(horizontal_speed(r), 70.71f, 0.01f);
}

TEST(Move, WalksFromIdleKeepsTheWalkPhaseAndNeverInterruptsAnAttack) {
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f});
    move(r, 0.0f, -100.0f);
    EXPECT_EQ(r.action, action_walk);
    r.action_phase = 2;
    move(r, 0.0f, -100.0f);
    EXPECT_EQ(r.action_phase, 2);

    press(r, 1.0f);
    move(r, 100.0f, 0.0f);
    EXPECT_NEAR(r.velocity.x, -50.0f, 1e-4f);
    move(r, 0.0f, 0.0f);
    EXPECT_EQ(r.action, action_attack);
    EXPECT_EQ(r.action_phase, 0);
}

TEST(Move, ReleasingIdlesAWalkerButLeavesItGliding) {
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f}, {12.0f, 0.0f, -3.0f});
    r.action = action_walk;
    r.action_phase = 3;
    move(r, 0.0f, 0.0f);
    EXPECT_EQ(r.action, action_idle);
    EXPECT_EQ(r.action_phase, 0);
    EXPECT_EQ(r.velocity.x, 12.0f);
}

TEST(Move, AbsurdAxesAndCamerasLeaveAFiniteBoundedVelocity) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f});
    move(r, 1e30f, -inf);  // a clamps to 100, b counts as 0
    EXPECT_NEAR(horizontal_speed(r), 50.0f, 1e-3f);
    move(r, nan, nan);  // counts as a release
    EXPECT_EQ(r.action, action_idle);

    const Camera straight_down = {{1.0f, 9.0f, -1.0f}, {1.0f, 0.0f, -1.0f}};
    const Camera broken = {{nan, 0.0f, inf}, {0.0f, 0.0f, 0.0f}};
    for (const Camera& cam : {straight_down, broken}) {
        move(r, 100.0f, -100.0f, cam);
        EXPECT_EQ(horizontal_speed(r), 0.0f);
    }
}
