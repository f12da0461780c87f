#include "app/ticks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

int fades = 0;
int frames = 0;
int presents = 0;
bool other_thread_got_lock = true;

// A game of its own: a hosted table with the local player standing in slot 0 and a
// second player falling in slot 5.
class TicksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        init_shell(shell);
        init_player_table(table);
        init_session_state(session);
        init_effect_list(effects);
        init_key_state(keys);
        init_keyboard_input(input);
        input.controls.entries[control_type] = input_keyboard;
        input.controls.entries[control_forward] = 'W' - 'A';
        input.controls.entries[control_jump] = 'J' - 'A';
        hooks = TickHooks{};
        hooks.console_fade = [] { ++fades; };
        hooks.frame = [] { ++frames; };
        hooks.present = [] { ++presents; };
        fades = frames = presents = 0;
        start_game_as_host(table, session);
        table.slots[0].position = {5.0f, 0.0f, -5.0f};
        table.slots[5].position = {8.0f, 10.0f, -8.0f};
        set_mode(shell, mode_playing, cam);
    }

    Game game() { return Game{shell, table, session, effects, cam, keys, input, hooks}; }
    void tick(TickId id) {
        Game g = game();
        run_tick(g, id);
    }
    void hold(int vk) { track_message(keys, key_message(true, vk)); }

    Shell shell;
    PlayerTable table;
    SessionState session;
    EffectList effects;
    Camera cam{};
    KeyState keys;
    KeyboardInput input;
    TickHooks hooks;
};

TEST_F(TicksTest, SimTickWhilePlayingMovesEveryRecordThroughTheHostsPhysics) {
    hold('W');
    hold('J');
    tick(sim_tick);
    EXPECT_LT(table.slots[0].position.z, -5.0f);  // walked forward
    EXPECT_GT(table.slots[0].position.y, 0.0f);   // and jumped
    EXPECT_LT(table.slots[5].position.y, 10.0f);  // a record nobody controls still falls
    EXPECT_EQ(fades, 1);
}

TEST_F(TicksTest, PausedPlayersStayButPhasesAdvanceAndTheMenuReadsNoInput) {
    hold('W');
    tick(sim_tick);  // starts the walk
    ASSERT_EQ(table.slots[0].action, action_walk);
    set_mode(shell, mode_paused, cam);
    const PlayerRecord before = table.slots[0];
    const Vec3 faller = table.slots[5].position;
    for (int i = 0; i < 10; ++i) tick(sim_tick);
    EXPECT_EQ(std::memcmp(&before.position, &table.slots[0].position, sizeof(Vec3)), 0);
    EXPECT_FLOAT_EQ(table.slots[5].position.y, faller.y);
    EXPECT_EQ(fades, 11);  // the console fades in every mode
    tick(phase_tick);
    EXPECT_NE(table.slots[0].action_phase, before.action_phase);

    set_mode(shell, mode_menu, cam);
    hold('J');
    tick(sim_tick);
    EXPECT_EQ(input.latch.entries[latch_jump], 0);
    EXPECT_FLOAT_EQ(table.slots[0].velocity.y, 0.0f);
}

TEST_F(TicksTest, AClientOrAGameWithoutALocalPlayerNeverRunsPhasesOrPhysics) {
    init_session_state(session);
    PlayerTable unchanged = table;
    tick(phase_tick);
    EXPECT_EQ(std::memcmp(&unchanged, &table, sizeof table), 0);

    start_game_as_client(table, session);
    table.slots[0].position = {5.0f, 3.0f, -5.0f};
    table.slots[0].action = action_walk;
    unchanged = table;
    for (int i = 0; i < 20; ++i) tick(sim_tick);
    for (int i = 0; i < 5; ++i) tick(phase_tick);
    const PlayerRecord& before = unchanged.slots[0];
    const PlayerRecord& after = table.slots[0];
    EXPECT_EQ(std::memcmp(&before.position, &after.position, sizeof(Vec3)), 0);
    EXPECT_EQ(std::memcmp(&before.velocity, &after.velocity, sizeof(Vec3)), 0);
    EXPECT_EQ(before.action, after.action);
    EXPECT_EQ(before.action_phase, after.action_phase);
}

TEST_F(TicksTest, RenderTickDrawsThenPresentsUnderTheLockAndEmptyHooksAreSkipped) {
    hooks.frame = [] {
        ++frames;
        std::thread probe([] {
            other_thread_got_lock = net_lock().try_lock();
            if (other_thread_got_lock) net_lock().unlock();
        });
        probe.join();
    };
    tick(render_tick);
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(presents, 1);
    EXPECT_FALSE(other_thread_got_lock);
    EXPECT_TRUE(net_lock().try_lock());  // released afterwards
    net_lock().unlock();
    hooks = TickHooks{};
    tick(render_tick);
    tick(sim_tick);
    EXPECT_EQ(frames, 1);
}

}  // namespace
