// The world: the camera, and players' actions, phases, physics, the crate and the player
// table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "support/expect_near.h"
#include "world/camera.h"
#include "world/movement.h"
#include "world/phases.h"
#include "world/player_table.h"
#include "world/spawn_points.h"

namespace {

const float kNan = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// Looks toward -z from +z, as the camera does on entering play: forward -z, left +x.
const Camera kPlayCamera = {{0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f}};

PlayerRecord player_at(Vec3 position, Vec3 velocity = {0.0f, 0.0f, 0.0f}) {
    PlayerRecord r{};
    r.position = position;
    r.velocity = velocity;
    r.health = 100;
    r.action = action_idle;
    r.slot_state = slot_in_game;
    return r;
}

void press(PlayerRecord& r, float button) {
    apply_action(r, kind_button_down, button, 0.0f, kPlayCamera);
}

void move(PlayerRecord& r, float a, float b, const Camera& cam = kPlayCamera) {
    apply_action(r, kind_move, a, b, cam);
}

float horizontal_speed(const PlayerRecord& r) {
    return std::hypot(r.velocity.x, r.velocity.z);
}

// Strictly inside the crate's collision box (x 2.4..3.6, y -0.05..1.25, z -3.6..-2.4).
bool inside_box(Vec3 p) {
    return p.x > 2.4f && p.x < 3.6f && p.y > -0.05f && p.y < 1.25f && p.z > -3.6f && p.z < -2.4f;
}

TEST(Actions, PrimaryCyclesTheElementAndUnknownButtonsDoNothing) {
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f});
    for (int i = 0; i < 5; ++i) press(r, 0.0f);
    EXPECT_EQ(r.element, 1);
    for (float button : {3.0f, -1.0f, 1e30f}) press(r, button);
    apply_action(r, kind_button_up, 1.0f, 0.0f, kPlayCamera);
    apply_action(r, static_cast<ActionKind>(7), 1.0f, 0.0f, kPlayCamera);
    EXPECT_EQ(r.element, 1);
    EXPECT_EQ(r.action, action_idle);
    EXPECT_EQ(r.velocity.y, 0.0f);
    r.element = INT32_MIN;  // a corrupt element still lands in 0..3
    press(r, 0.0f);
    EXPECT_EQ(r.element, 1);
}

TEST(Actions, MoveFollowsTheCameraAndKeepsTheVerticalVelocity) {
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f}, {0.0f, 7.0f, 0.0f});
    move(r, 0.0f, -100.0f);  // forward, away from the play camera: -z
    expect_near(r.velocity, {0.0f, 7.0f, -50.0f}, 1e-5f);
    const Camera looking_north = {{0.0f, 5.0f, -5.0f}, {0.0f, 0.0f, 0.0f}};  // forward +z
    move(r, -100.0f, 0.0f, looking_north);                                   // left
    expect_near(r.velocity, {-50.0f, 7.0f, 0.0f}, 1e-4f);
    move(r, 100.0f, -100.0f);
    EXPECT_NEAR(horizontal_speed(r), 70.71f, 0.01f);

    // Absurd axes and cameras leave a finite, bounded velocity.
    move(r, 1e30f, -kInf);  // a clamps to 100, b counts as 0
    EXPECT_NEAR(horizontal_speed(r), 50.0f, 1e-3f);
    move(r, kNan, kNan);  // counts as a release
    EXPECT_EQ(r.action, action_idle);
    const Camera straight_down = {{1.0f, 9.0f, -1.0f}, {1.0f, 0.0f, -1.0f}};
    const Camera broken = {{kNan, 0.0f, kInf}, {0.0f, 0.0f, 0.0f}};
    for (const Camera& cam : {straight_down, broken}) {
        move(r, 100.0f, -100.0f, cam);
        EXPECT_EQ(horizontal_speed(r), 0.0f);
    }
}

TEST(Actions, MoveWalksKeepsTheWalkPhaseNeverInterruptsAnAttackAndReleasingGlides) {
    PlayerRecord r = player_at({5.0f, 0.0f, -5.0f});
    move(r, 0.0f, -100.0f);
    EXPECT_EQ(r.action, action_walk);
    r.action_phase = 2;
    move(r, 0.0f, -100.0f);
    EXPECT_EQ(r.action_phase, 2);
    move(r, 0.0f, 0.0f);  // releasing idles the walker but leaves it gliding
    EXPECT_EQ(r.action, action_idle);
    EXPECT_EQ(r.action_phase, 0);
    EXPECT_FLOAT_EQ(r.velocity.z, -50.0f);

    press(r, 1.0f);
    move(r, 100.0f, 0.0f);
    EXPECT_NEAR(r.velocity.x, -50.0f, 1e-4f);
    move(r, 0.0f, 0.0f);
    EXPECT_EQ(r.action, action_attack);
    EXPECT_EQ(r.action_phase, 0);
}

// Heights after each tick of a jump from the ground at tick 0; h[i] is after tick i + 1.
std::vector<float> jump_heights(int ticks) {
    PlayerRecord r = player_at({20.0f, 0.0f, -20.0f});
    std::vector<float> heights;
    for (int tick = 0; tick < ticks; ++tick) {
        if (tick == 0 || tick == 5) press(r, 2.0f);  // the second press, in the air, is nothing
        physics_step(r);
        heights.push_back(r.position.y);
    }
    return heights;
}

TEST(Physics, AJumpPeaksHangsAndLandsOnTheFortySixthTick) {
    const std::vector<float> h = jump_heights(60);
    EXPECT_EQ(std::adjacent_find(h.begin(), h.end(), std::greater_equal<>()) - h.begin(), 13);
    EXPECT_NEAR(h[13], 2.32f, 0.01f);
    EXPECT_EQ(h[23], h[13]);  // hangs at the top for ten ticks
    EXPECT_LT(h[24], h[23]);
    EXPECT_GT(h[44], 0.0f);
    EXPECT_EQ(h[45], 0.0f);
    EXPECT_EQ(h[59], 0.0f);
}

TEST(Physics, AGlideComesToRest) {
    PlayerRecord r = player_at({5.0f, 0.0f, -30.0f}, {50.0f, 0.0f, 0.0f});
    int ticks = 0;
    for (; r.velocity.x != 0.0f && ticks < 1000; ++ticks) physics_step(r);
    EXPECT_EQ(ticks, 108);
}

TEST(Physics, APlayerPushedPastTheMapStopsExactlyOnTheBound) {
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
        expect_near(r.position, c.expected, 0.0f);
    }
}

// Holds a horizontal velocity like a held key and runs ticks; the player must never end a
// tick inside the crate.
PlayerRecord walk(Vec3 from, float vx, float vz, int ticks) {
    PlayerRecord r = player_at(from);
    for (int tick = 0; tick < ticks; ++tick) {
        r.velocity.x = vx;
        r.velocity.z = vz;
        physics_step(r);
        EXPECT_FALSE(inside_box(r.position)) << "tick " << tick;
    }
    return r;
}

TEST(Crate, WalkingIntoEachSideStopsJustShortOfItAndFallingOntoItLandsOnTop) {
    struct Case {
        Vec3 from;
        float vx, vz;
        Vec3 stop;
    };
    const Case cases[] = {
        {{1.0f, 0.0f, -3.0f}, 50.0f, 0.0f, {2.35f, 0.0f, -3.0f}},   // west
        {{5.0f, 0.0f, -3.0f}, -50.0f, 0.0f, {3.65f, 0.0f, -3.0f}},  // east
        {{3.0f, 0.0f, -1.0f}, 0.0f, -50.0f, {3.0f, 0.0f, -2.35f}},  // north
        {{3.0f, 0.0f, -5.0f}, 0.0f, 50.0f, {3.0f, 0.0f, -3.65f}},   // south
        {{3.0f, 5.0f, -3.0f}, 0.0f, 0.0f, {3.0f, 1.30f, -3.0f}},    // from above
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from.x << "," << c.from.z);
        expect_near(walk(c.from, c.vx, c.vz, 100).position, c.stop, 1e-4f);
    }
}

TEST(Crate, ADiagonalWalkSlidesAlongTheFaceAndPassesTheCrate) {
    PlayerRecord r = player_at({2.0f, 0.0f, -1.0f});
    bool slid = false;
    for (int tick = 0; tick < 200; ++tick) {
        r.velocity = {35.35f, 0.0f, -35.35f};
        const Vec3 before = r.position;
        physics_step(r);
        ASSERT_FALSE(inside_box(r.position)) << "tick " << tick;
        slid = slid || (std::fabs(r.position.z + 2.35f) < 1e-4f && r.position.x > before.x &&
                        r.position.x < 3.6f);
    }
    EXPECT_TRUE(slid);
    EXPECT_GT(r.position.x, 3.6f);
    EXPECT_LT(r.position.z, -3.6f);
}

TEST(Crate, StepsHitOnlyWithinTheirLengthStopAtTheFaceTheyEnterAndAbsurdOnesEnd) {
    // A step shorter than 0.05 moves nothing, even with gravity's share counted.
    const Vec3 p = {2.0f, 0.0f, -3.0f};
    EXPECT_EQ(collide_and_slide(p, {0.04f, 0.0f, 0.0f}).x, 2.0f);
    EXPECT_NEAR(collide_and_slide(p, {0.04f, -0.2f, 0.0f}).x, 2.04f, 1e-6f);
    // The face lies beyond this step's end, and behind the next one.
    EXPECT_NEAR(collide_and_slide(p, {0.3f, 0.0f, 0.0f}).x, 2.3f, 1e-6f);
    EXPECT_NEAR(collide_and_slide({4.0f, 0.0f, -3.0f}, {0.3f, 0.0f, 0.0f}).x, 4.3f, 1e-6f);
    // Up past the west face's top edge: it meets the top (an earlier triangle) on the way out.
    const Vec3 up = collide_and_slide({2.35f, 1.0f, -3.0f}, {0.125f, 0.3f, 0.0f});
    EXPECT_NEAR(up.x, 2.35f, 1e-4f);
    EXPECT_NEAR(up.y, 1.3f, 1e-4f);
    // Down onto the top by its east edge: it would leave through the east face.
    const Vec3 down = collide_and_slide({3.5f, 1.4f, -3.0f}, {0.15f, -0.3f, 0.0f});
    EXPECT_NEAR(down.x, 3.65f, 1e-4f);
    EXPECT_NEAR(down.y, 1.3f, 1e-4f);
    EXPECT_LT(collide_and_slide({1.0f, 0.0f, -3.0f}, {1e30f, 0.0f, 0.0f}).x, 2.4f);
    collide_and_slide({1.0f, 0.0f, -3.0f}, {kNan, kNan, kNan});
    collide_and_slide({kNan, 0.0f, -3.0f}, {1.0f, 0.0f, 0.0f});
}

struct PhaseTest : ::testing::Test {
    void SetUp() override {
        init_player_table(table);
        init_effect_list(effects);
        attacker = player_at({10.0f, 0.0f, -10.0f});
    }
    void step() { phase_step(attacker, table, effects, fight); }
    int next_phase() {
        step();
        return attacker.action_phase;
    }
    void attack() {
        press(attacker, 1.0f);
        for (int i = 0; i < 3; ++i) step();
    }
    int spawned(int32_t kind) const {
        int n = 0;
        for (const Effect& e : effects.entries) n += e.age == 0 && e.kind == kind;
        return n;
    }

    PlayerTable table;
    EffectList effects;
    Fight fight{false, 0, {}};
    PlayerRecord& attacker = table.slots[0];
};

TEST_F(PhaseTest, IdleAndWalkCycleAWalkTapsOnEachWrapAndCorruptPhasesStayInTheirCycle) {
    for (int expected : {1, 2, 0, 1}) EXPECT_EQ(next_phase(), expected);
    attacker.action = action_walk;
    attacker.action_phase = 0;
    for (int expected : {1, 2, 3}) EXPECT_EQ(next_phase(), expected);
    EXPECT_EQ(spawned(effect_tap), 0);
    EXPECT_EQ(next_phase(), 0);
    EXPECT_EQ(spawned(effect_tap), 1);
    EXPECT_EQ(effects.entries[kEffectCount - 1].position.x, 10.0f);

    for (uint32_t action : {0u, 1u, 0x100000u}) {
        for (int32_t phase : {INT32_MAX, INT32_MIN, -1}) {
            attacker.action = action;
            attacker.action_phase = phase;
            EXPECT_TRUE(next_phase() >= 0 && attacker.action_phase < 4) << action << " " << phase;
        }
    }
}

TEST_F(PhaseTest, AnAttackHitsOthersInTheGameAheadAndNeverItsAttacker) {
    table.slots[1] = player_at({10.0f, 0.0f, -10.0f});  // on a still attacker's own spot
    press(attacker, 1.0f);
    step();
    press(attacker, 1.0f);  // no restart
    step();
    EXPECT_EQ(table.slots[1].health, 100u);
    step();
    EXPECT_EQ(table.slots[1].health, 96u);
    EXPECT_EQ(attacker.health, 100u);
    EXPECT_EQ(attacker.action, action_idle);
    EXPECT_EQ(attacker.action_phase, 1);
    EXPECT_EQ(spawned(effect_klank), 1);
    EXPECT_EQ(effects.entries[kEffectCount - 1].position.x, 10.0f);
    for (int i = 0; i < 6; ++i) step();
    EXPECT_EQ(table.slots[1].health, 96u);

    attacker.velocity = {50.0f, 0.0f, 0.0f};  // hit point (11, 0, -10), 1.0 from the attacker
    table.slots[1] = player_at({11.0f, 0.5f, -10.0f});
    table.slots[2] = player_at({12.0f, 0.0f, -10.0f});  // exactly at reach
    table.slots[3] = player_at({12.01f, 0.0f, -10.0f});
    table.slots[4] = player_at({11.0f, 0.0f, -10.5f});
    table.slots[4].slot_state = slot_reserved;  // nobody plays it yet
    attack();
    const uint32_t health[5] = {100, 96, 96, 100, 100};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(table.slots[k].health, health[k]) << "slot " << k;

    // Without knock-outs health stops at 0 and the player goes on.
    table.slots[1].health = 2;
    attack();
    attack();
    EXPECT_EQ(table.slots[1].health, 0u);
    EXPECT_EQ(table.slots[1].down_ticks, 0u);
    EXPECT_EQ(attacker.knockouts, 0u);
    move(table.slots[1], 100.0f, 0.0f);
    EXPECT_NE(table.slots[1].velocity.x, 0.0f);
}

// With knock-outs on, a player hit to 0 lies down for 3 s, taking no actions and no hits,
// then stands again at its spawn point with full health; its attacker counts it.
TEST_F(PhaseTest, AKnockedOutPlayerLiesDownThreeSecondsAndComesBackWhole) {
    fight.knockouts = true;
    attacker.velocity = {50.0f, 0.0f, 0.0f};
    table.slots[1] = player_at({11.0f, 0.0f, -10.0f});
    table.slots[1].health = 4;
    attack();
    PlayerRecord& down = table.slots[1];
    EXPECT_EQ(down.health, 0u);
    EXPECT_EQ(down.down_ticks, kKnockedOutTicks);
    EXPECT_EQ(attacker.knockouts, 1u);
    ASSERT_EQ(fight.count, 1);
    EXPECT_EQ(fight.happened[0].victim, 1);
    EXPECT_EQ(fight.happened[0].attacker, 0);
    move(down, 100.0f, 0.0f);
    press(down, 1.0f);
    EXPECT_EQ(down.velocity.x, 0.0f);
    EXPECT_EQ(down.action, action_idle);
    attack();  // no hits on a player who is down
    EXPECT_EQ(attacker.knockouts, 1u);

    for (uint32_t tick = 1; tick < kKnockedOutTicks; ++tick) knockout_step(down, 1);
    EXPECT_EQ(down.down_ticks, 1u);
    EXPECT_EQ(down.position.x, 11.0f);
    knockout_step(down, 1);
    EXPECT_EQ(down.down_ticks, 0u);
    EXPECT_EQ(down.health, 100u);
    EXPECT_EQ(down.position.x, spawn_point(1).x);
    EXPECT_EQ(down.position.z, spawn_point(1).z);
    knockout_step(down, 1);  // standing: nothing more
    EXPECT_EQ(down.health, 100u);
}

TEST(PlayerTable, AHostStartsHighInSlotZeroWithEveryOtherSlotFreeAClientOnTheGround) {
    PlayerTable table;
    std::memset(&table, 0x5a, sizeof table);
    init_player_table(table);
    EXPECT_EQ(player_slot(table, 12), nullptr);
    EXPECT_EQ(player_slot(table, -1), nullptr);
    SessionState session, joined;
    init_session_state(session);
    init_session_state(joined);
    EXPECT_EQ(local_record(table, session), nullptr);

    table.slots[5].slot_state = slot_in_game;
    table.slots[0].velocity = {3.0f, 4.0f, 5.0f};
    start_game_as_host(table, session);
    const PlayerRecord* r = local_record(table, session);
    ASSERT_EQ(r, &table.slots[0]);
    EXPECT_TRUE(r->position.y == 20.0f && r->velocity.y == 0.0f && r->slot_state == slot_in_game);
    EXPECT_EQ(table.slots[5].slot_state, slot_free);
    start_game_as_client(table, joined);
    EXPECT_EQ(local_record(table, joined)->position.y, 0.0f);
}

bool same(const Matrix& a, const Matrix& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Joined players start apart from each other and the host, on the map, clear of the box:
// standing there, nothing moves them.
TEST(SpawnPoints, EachClientSlotStartsApartOnTheMapAndClearOfTheBox) {
    const BoxCollider& box = box_collider();
    for (int slot = 1; slot < kPlayerSlots; ++slot) {
        const Vec3 at = spawn_point(slot);
        for (int other = 0; other < slot; ++other) {
            const Vec3 d = subtract(at, spawn_point(other));
            EXPECT_GE(std::sqrt(d.x * d.x + d.z * d.z), 1.5f) << slot << " and " << other;
        }
        const bool over_box = at.x > box.corners[0].x - 0.5f && at.x < box.corners[2].x + 0.5f &&
                              at.z > box.corners[0].z - 0.5f && at.z < box.corners[2].z + 0.5f;
        EXPECT_FALSE(over_box) << slot;
        PlayerRecord standing{};
        standing.position = at;
        standing.slot_state = slot_in_game;
        for (int tick = 0; tick < 100; ++tick) physics_step(standing);
        EXPECT_NEAR(standing.position.x, at.x, 1e-4f) << slot;
        EXPECT_NEAR(standing.position.z, at.z, 1e-4f) << slot;
    }
}

TEST(CharacterYaw, FacesTheHorizontalDirectionOfMovement) {
    for (Vec3 velocity : {Vec3{3, 0, 0}, {-3, 0, 0}, {0, 0, -3}, {0, 0, 3}, {2, 7, -2}}) {
        PlayerRecord r = player_at({0, 0, 0}, velocity);
        const Matrix m = character_yaw(r);
        // The model's front (0, 0, -1) turns onto the horizontal direction of movement.
        expect_near(transform_normal({0, 0, -1}, m), normalize({velocity.x, 0, velocity.z}));
        physics_step(r);  // the movement step keeps the facing of its new velocity
        EXPECT_TRUE(same(m, r.facing));
    }
}

TEST(CharacterYaw, StandingOrJumpingKeepsTheLastFacingAndDamageGivesAPlainTurn) {
    PlayerRecord r = player_at({0, 0, 0}, {5, 0, 0});
    r.facing = character_yaw(r);
    const Matrix walking = r.facing;
    r.velocity = {0, 0, 0};
    EXPECT_TRUE(same(walking, character_yaw(r)));
    r.velocity = {0, 200, 0};
    EXPECT_TRUE(same(walking, character_yaw(r)));

    std::memset(&r.facing, 0, sizeof r.facing);  // a slot never drawn
    const Matrix unset = character_yaw(r);
    EXPECT_EQ(unset.m[0][0], 1.0f);
    EXPECT_EQ(unset.m[1][1], 1.0f);
    r.velocity = {NAN, 0, 1};
    const Matrix nan_speed = character_yaw(r);
    EXPECT_EQ(nan_speed.m[0][0], 1.0f);
    EXPECT_FALSE(std::isnan(nan_speed.m[2][2]));
}

constexpr float kHalfPi = 1.5707964f;

Vec3 offset(const Camera& cam) {
    return subtract(cam.eye, cam.target);
}

Camera at_offset(Vec3 o) {
    return {add({2.0f, 0.0f, -2.0f}, o), {2.0f, 0.0f, -2.0f}};
}

TEST(Camera, OrbitTurnsAboutTheTargetAndFollowKeepsTheOffset) {
    Camera cam = at_offset({0.0f, 5.0f, 5.0f});
    orbit(cam, kHalfPi, 0.0f);
    expect_near(offset(cam), {5.0f, 5.0f, 0.0f}, 1e-4f);
    follow(cam, {10.0f, 20.0f, -10.0f});
    expect_near(camera_eye(cam), {15.0f, 25.0f, -10.0f}, 1e-4f);
    expect_near(camera_target(cam), {10.0f, 20.0f, -10.0f}, 1e-4f);
    // The view puts the target straight ahead at its distance.
    expect_near(transform_coord(cam.target, view_matrix(cam)), {0, 0, std::sqrt(50.0f)}, 1e-4f);
}

// Near the poles only the pitch toward the pole is dropped; with no offset, no axis to
// pitch about, or broken angles the eye stays where it is.
TEST(Camera, ThePoleGuardAndDegenerateCasesKeepTheEyeSane) {
    Camera above = at_offset({0.1f, 5.0f, 0.0f});
    const Vec3 eye = above.eye;
    orbit(above, 0.0f, 0.3f);
    expect_near(above.eye, eye, 1e-4f);
    orbit(above, 0.0f, -0.3f);
    EXPECT_GT(offset(above).x, 1.0f);
    EXPECT_NEAR(length(offset(above)), std::sqrt(25.01f), 1e-4f);

    Camera below = at_offset({0.1f, -5.0f, 0.0f});
    orbit(below, kHalfPi, -0.3f);  // the yaw still turns
    expect_near(offset(below), {0.0f, -5.0f, -0.1f}, 1e-4f);
    orbit(below, 0.0f, 0.3f);
    EXPECT_GT(std::fabs(offset(below).z), 1.0f);

    Camera none = at_offset({0.0f, 0.0f, 0.0f});
    orbit(none, 1.0f, 1.0f);
    expect_near(offset(none), {0.0f, 0.0f, 0.0f}, 1e-4f);
    // Straight above there is no axis to pitch about; the distance must not shrink.
    Camera pole = at_offset({0.0f, 5.0f, 0.0f});
    orbit(pole, 0.0f, -1.0f);
    EXPECT_NEAR(length(offset(pole)), 5.0f, 1e-5f);
    Camera cam = at_offset({0.0f, 5.0f, 5.0f});
    orbit(cam, kNan, 0.1f);
    orbit(cam, 0.1f, kInf);
    expect_near(offset(cam), {0.0f, 5.0f, 5.0f}, 1e-4f);
}

}  // namespace
