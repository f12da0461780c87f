#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "world_test_support.h"

namespace {

// Holds a horizontal velocity like a held key and runs ticks; the player must never
// end a tick inside the box.
PlayerRecord walk(Vec3 from, float vx, float vz, int ticks) {
    PlayerRecord r = player_at(from);
    for (int tick = 0; tick < ticks; ++tick) {
        r.velocity.x = vx;
        r.velocity.z = vz;
        physics_step(r);
        EXPECT_FALSE(inside_box(r.position)) << "tick " << tick << " at " << r.position.x << ", "
                                             << r.position.y << ", " << r.position.z;
    }
    return r;
}

}  // namespace

TEST(Box, WalkingIntoEachSideStopsJustShortOfIt) {
    struct Case {
        const char* side;
        Vec3 from;
        float vx, vz;
        Vec3 stop;
    };
    const Case cases[] = {
        {"west", {1.0f, 0.0f, -3.0f}, 50.0f, 0.0f, {2.35f, 0.0f, -3.0f}},
        {"east", {5.0f, 0.0f, -3.0f}, -50.0f, 0.0f, {3.65f, 0.0f, -3.0f}},
        {"north", {3.0f, 0.0f, -1.0f}, 0.0f, -50.0f, {3.0f, 0.0f, -2.35f}},
        {"south", {3.0f, 0.0f, -5.0f}, 0.0f, 50.0f, {3.0f, 0.0f, -3.65f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        const PlayerRecord r = walk(c.from, c.vx, c.vz, 100);
        EXPECT_NEAR(r.position.x, c.stop.x, 1e-4f);
        EXPECT_EQ(r.position.y, 0.0f);
        EXPECT_NEAR(r.position.z, c.stop.z, 1e-4f);
    }
}

TEST(Box, ADiagonalWalkSlidesAlongTheFaceAndPassesTheBox) {
    PlayerRecord r = player_at({2.0f, 0.0f, -1.0f});
    bool slid = false;
    for (int tick = 0; tick < 200; ++tick) {
        r.velocity = {35.35f, 0.0f, -35.35f};
        const Vec3 before = r.position;
        physics_step(r);
        ASSERT_FALSE(inside_box(r.position)) << "tick " << tick;
        if (std::fabs(r.position.z + 2.35f) < 1e-4f && r.position.x > before.x &&
            r.position.x < 3.6f)
            slid = true;
    }
    EXPECT_TRUE(slid);
    EXPECT_GT(r.position.x, 3.6f);
    EXPECT_LT(r.position.z, -3.6f);
}

TEST(Box, APlayerFallingOntoItLandsOnTopAndStays) {
    PlayerRecord r = walk({3.0f, 5.0f, -3.0f}, 0.0f, 0.0f, 100);
    EXPECT_NEAR(r.position.y, 1.30f, 1e-4f);
}

TEST(CollideAndSlide, OnlyHitsWithinTheStepCount) {
    // A step shorter than 0.05 moves nothing, even with gravity's share counted.
    const Vec3 p = {2.0f, 0.0f, -3.0f};
    EXPECT_EQ(collide_and_slide(p, {0.04f, 0.0f, 0.0f}).x, 2.0f);
    EXPECT_NEAR(collide_and_slide(p, {0.04f, -0.2f, 0.0f}).x, 2.04f, 1e-6f);
    // The face lies beyond this step's end, and behind the next one.
    EXPECT_NEAR(collide_and_slide(p, {0.3f, 0.0f, 0.0f}).x, 2.3f, 1e-6f);
    EXPECT_NEAR(collide_and_slide({4.0f, 0.0f, -3.0f}, {0.3f, 0.0f, 0.0f}).x, 4.3f, 1e-6f);
}

TEST(CollideAndSlide, AStepAcrossAnEdgeStopsAtTheFaceItEnters) {
    // Up past the west face's top edge: it meets the top (an earlier triangle) on the way out.
    const Vec3 up = collide_and_slide({2.35f, 1.0f, -3.0f}, {0.125f, 0.3f, 0.0f});
    EXPECT_NEAR(up.x, 2.35f, 1e-4f);
    EXPECT_NEAR(up.y, 1.3f, 1e-4f);
    // Down onto the top by its east edge: it would leave through the east face.
    const Vec3 down = collide_and_slide({3.5f, 1.4f, -3.0f}, {0.15f, -0.3f, 0.0f});
    EXPECT_NEAR(down.x, 3.65f, 1e-4f);
    EXPECT_NEAR(down.y, 1.3f, 1e-4f);
}

TEST(CollideAndSlide, AbsurdStepsEndWithoutHanging) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Vec3 far = collide_and_slide({1.0f, 0.0f, -3.0f}, {1e30f, 0.0f, 0.0f});
    EXPECT_LT(far.x, 2.4f);
    collide_and_slide({1.0f, 0.0f, -3.0f}, {nan, nan, nan});
    collide_and_slide({nan, 0.0f, -3.0f}, {1.0f, 0.0f, 0.0f});
}
