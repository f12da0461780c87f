#include "world/phases.h"

#include <gtest/gtest.h>

#include "world_test_support.h"

namespace {

struct PhaseTest : ::testing::Test {
    PlayerTable table;
    EffectList effects;
    PlayerRecord& attacker = table.slots[0];

    void SetUp() override {
        init_player_table(table);
        init_effect_list(effects);
        attacker = player_at({10.0f, 0.0f, -10.0f});
    }
    void step() { phase_step(attacker, table, effects); }
    void attack() {
        apply_action(attacker, ActionKind::ButtonDown, 1.0f, 0.0f, kPlayCamera);
        for (int i = 0; i < 3; ++i) step();
    }
    int spawned(int32_t kind) const {
        int n = 0;
        for (const Effect& e : effects.entries) n += e.age == 0 && e.kind == kind;
        return n;
    }
};

}  // namespace

TEST_F(PhaseTest, IdleAndWalkCycleAndAWalkTapsOnEachWrap) {
    for (int expected : {1, 2, 0, 1}) {
        step();
        EXPECT_EQ(attacker.action_phase, expected);
    }
    attacker.action = action_walk;
    attacker.action_phase = 0;
    for (int expected : {1, 2, 3}) {
        step();
        EXPECT_EQ(attacker.action_phase, expected);
    }
    EXPECT_EQ(spawned(effect_tap), 0);
    step();
    EXPECT_EQ(attacker.action_phase, 0);
    EXPECT_EQ(spawned(effect_tap), 1);
    EXPECT_EQ(effects.entries[kEffectCount - 1].position.x, 10.0f);
}

TEST_F(PhaseTest, AStandingAttackerHitsItselfOnTheThirdStepOnce) {
    apply_action(attacker, ActionKind::ButtonDown, 1.0f, 0.0f, kPlayCamera);
    step();
    apply_action(attacker, ActionKind::ButtonDown, 1.0f, 0.0f, kPlayCamera);  // no restart
    step();
    EXPECT_EQ(attacker.health, 100u);
    step();
    EXPECT_EQ(attacker.health, 96u);
    EXPECT_EQ(attacker.action, action_idle);
    EXPECT_EQ(attacker.action_phase, 1);
    EXPECT_EQ(spawned(effect_klank), 1);
    EXPECT_EQ(effects.entries[kEffectCount - 1].position.x, 10.0f);
    for (int i = 0; i < 6; ++i) step();
    EXPECT_EQ(attacker.health, 96u);
}

TEST_F(PhaseTest, TheHitReachesEverySlotWithinOneOfThePointAhead) {
    attacker.velocity = {50.0f, 0.0f, 0.0f};  // hit point (11, 0, -10)
    table.slots[1] = player_at({11.0f, 0.5f, -10.0f});
    table.slots[2] = player_at({12.0f, 0.0f, -10.0f});  // exactly at reach
    table.slots[3] = player_at({12.01f, 0.0f, -10.0f});
    table.slots[4] = player_at({11.0f, 0.0f, -10.5f});
    table.slots[4].slot_state = SlotState::Free;
    attack();
    EXPECT_EQ(attacker.health, 96u);
    EXPECT_EQ(table.slots[1].health, 96u);
    EXPECT_EQ(table.slots[2].health, 96u);
    EXPECT_EQ(table.slots[3].health, 100u);
    EXPECT_EQ(table.slots[4].health, 96u);
    EXPECT_EQ(table.slots[5].health, 0u);  // far away at the origin, and stays at 0
}

TEST_F(PhaseTest, HealthFallsByFourToZeroAndStaysThereAndCorruptPhasesStayInTheirCycle) {
    attacker.health = 2;
    attack();
    EXPECT_EQ(attacker.health, 0u);
    attacker.health = 100;
    for (int hit = 1; hit <= 24; ++hit) attack();
    EXPECT_EQ(attacker.health, 4u);
    attack();
    attack();
    EXPECT_EQ(attacker.health, 0u);

    for (uint32_t action : {0u, 1u, 0x100000u}) {
        for (int32_t phase : {INT32_MAX, INT32_MIN, -1}) {
            attacker.action = action;
            attacker.action_phase = phase;
            step();
            EXPECT_GE(attacker.action_phase, 0);
            EXPECT_LT(attacker.action_phase, 4);
        }
    }
}
