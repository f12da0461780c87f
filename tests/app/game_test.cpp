// The game object without a window: its modes and the routing the window procedure does by
// itself, on a game whose dialogs are not built (the dialogs' own routing is in
// dialogs_test), and its ticks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "app/game_loop.h"
#include "app/modes.h"
#include "app/ticks.h"

namespace {

class ModesTest : public ::testing::Test {
  protected:
    int route(const Message& msg) { return window_procedure(game, msg); }
    void press(uint32_t command) { route(command_message(command)); }
    void escape() { route(key_message(true, vk_escape)); }

    std::unique_ptr<Game> owner = std::make_unique<Game>();
    Game& game = *owner;
};

TEST_F(ModesTest, EscapePausesPlayResumeReturnsDisconnectEndsItAndTheMenuIgnoresEscape) {
    press(command_disconnect);  // without a game: nothing
    EXPECT_EQ(game.shell.mode, mode_menu);
    start_local_game(game, true);
    EXPECT_EQ(game.shell.mode, mode_playing);
    escape();
    EXPECT_EQ(game.shell.mode, mode_paused);
    escape();  // a second Escape does not hide the menu
    EXPECT_EQ(game.shell.mode, mode_paused);
    press(command_resume_game);
    EXPECT_EQ(game.shell.mode, mode_playing);
    route(key_message(false, vk_escape));  // releasing is no press
    route(key_message(true, 'P'));
    EXPECT_EQ(game.shell.mode, mode_playing);
    escape();
    press(command_disconnect);
    EXPECT_EQ(game.shell.mode, mode_menu);
    EXPECT_FALSE(game.session.host);
    EXPECT_EQ(game.session.local_player_index, -1);
    EXPECT_EQ(route(key_message(true, vk_escape)), 0);
    toggle_menu(game);
    EXPECT_EQ(game.shell.mode, mode_menu);
}

// F3 switches the labels in play only, once a press however long it is held.
TEST_F(ModesTest, F3SwitchesTheLabelsOnlyInPlayOnceAPress) {
    route(key_message(true, vk_f3));
    EXPECT_EQ(game.hud.labels, label_full);
    start_local_game(game, true);
    route(key_message(true, vk_f3));
    route(key_message(true, vk_f3, true));
    EXPECT_EQ(game.hud.labels, label_name);
}

// A replay's viewer: Tab follows the next player in the game, round the table, and
// changes nothing else; closing the window quits.
TEST_F(ModesTest, TheReplayViewersTabFollowsTheNextPlayerInTheGame) {
    start_local_game(game, true);
    game.table.slots[3].slot_state = slot_in_game;
    game.table.slots[7].slot_state = slot_reserved;
    game.table.slots[9].slot_state = slot_in_game;
    const PlayerTable before = game.table;
    const Message tab = key_message(true, vk_tab);
    int followed[4];
    for (int& slot : followed) {
        viewer_message(game, tab);
        slot = game.view_slot;
    }
    EXPECT_EQ(followed[0], 3);
    EXPECT_EQ(followed[1], 9);
    EXPECT_EQ(followed[2], 0);
    EXPECT_EQ(followed[3], 3);
    viewer_message(game, key_message(true, vk_tab, true));  // a held key repeats nothing
    viewer_message(game, key_message(true, 'W'));
    EXPECT_EQ(game.view_slot, 3);
    EXPECT_FALSE(key_down(game.keys, 'W'));
    EXPECT_EQ(std::memcmp(&before, &game.table, sizeof before), 0);
    viewer_message(game, close_message());
    EXPECT_FALSE(game.shell.running);
}

// Counts what the render tick asks of it and the screenshots the loop asks for; can run a
// probe while drawing.
class CountingDisplay : public LoopDisplay {
  public:
    void draw(const Game&) override { ++frames; }
    void present() override { ++presents; }
    bool save_screenshot(const char* path) override { return !(shots += path).empty(); }
    int frames = 0;
    int presents = 0;
    std::string shots;
};

// A window that never has a message: the script brings them.
class QuietSource : public EventSource {
  public:
    bool poll(Message&) override { return false; }
    bool wait(Message&, uint32_t) override { return false; }
};

// A game of its own: a hosted table with the local player standing in slot 0 and a
// second player falling in slot 5; a console of one line to watch fading.
class TicksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        input.controls.entries[control_type] = input_keyboard;
        input.controls.entries[control_forward] = 'W' - 'A';
        input.controls.entries[control_jump] = 'J' - 'A';
        console_lines_init(game.console, 1);
        start_game_as_host(table, session);
        table.slots[0].position = {5.0f, 0.0f, -5.0f};
        table.slots[5].position = {8.0f, 10.0f, -8.0f};
        set_mode(game, mode_playing);
    }

    void tick(TickId id) { run_tick(game, id, &display); }
    void hold(int vk) { track_input(game, key_message(true, vk)); }
    int fades() const { return console_line(game.console, 0)->age; }

    std::unique_ptr<Game> owner = std::make_unique<Game>();
    Game& game = *owner;
    PlayerTable& table = game.table;
    SessionState& session = game.session;
    KeyboardInput& input = game.input;
    CountingDisplay display;
};

// Play moves every record; pause holds them but phases advance; the menu reads no input.
// The console fades in every mode.
TEST_F(TicksTest, EachModeMovesReadsAndFadesWhatItShould) {
    hold('W');
    tick(sim_tick);
    EXPECT_LT(table.slots[0].position.z, -5.0f);  // walked forward
    EXPECT_LT(table.slots[5].position.y, 10.0f);  // a record nobody controls still falls
    ASSERT_EQ(table.slots[0].action, action_walk);
    set_mode(game, mode_paused);
    const PlayerRecord before = table.slots[0];
    const Vec3 faller = table.slots[5].position;
    for (int i = 0; i < 10; ++i) tick(sim_tick);
    EXPECT_EQ(std::memcmp(&before.position, &table.slots[0].position, sizeof(Vec3)), 0);
    EXPECT_FLOAT_EQ(table.slots[5].position.y, faller.y);
    tick(phase_tick);
    EXPECT_NE(table.slots[0].action_phase, before.action_phase);
    set_mode(game, mode_menu);
    hold('J');
    tick(sim_tick);
    EXPECT_EQ(input.latch.entries[latch_jump], 0);
    EXPECT_FLOAT_EQ(table.slots[0].velocity.y, 0.0f);
    EXPECT_EQ(fades(), 12);
}

// Without a game nothing changes; a client leaves phases and physics to the host.
TEST_F(TicksTest, NoGameOrAClientRunsNoPhasesOrPhysics) {
    init_session_state(session);
    const PlayerTable idle = table;
    tick(phase_tick);
    EXPECT_EQ(std::memcmp(&idle, &table, sizeof idle), 0);

    start_game_as_client(table, session);
    table.slots[0].position = {5.0f, 3.0f, -5.0f};
    table.slots[0].action = action_walk;
    const PlayerRecord before = table.slots[0];
    for (int i = 0; i < 20; ++i) tick(sim_tick);
    for (int i = 0; i < 5; ++i) tick(phase_tick);
    EXPECT_EQ(std::memcmp(&before, &table.slots[0], sizeof before), 0);
}

// The loop without a window: the script's messages are recorded, tracked and routed on the
// loop's own clock; a shot is taken before its frame shows, and the end of the script
// quits. A frame count quits after that many frames, shooting the last.
TEST_F(TicksTest, TheLoopPlaysItsScriptOnItsOwnClockRecordsItAndCountsFrames) {
    QuietSource source;
    FakeClock clock;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> record(std::tmpfile(), std::fclose);
    LoopSetup setup{clock, &clock, {}, true, record.get(), 0, nullptr};
    for (const char* line : {"0 key down W", "400 key up W", "500 screenshot s.png"}) {
        ASSERT_TRUE(append_script_line(setup.script, line).ok);
    }
    EXPECT_EQ(run_loop(game, source, &display, setup).frames, 13);  // 37 .. 481
    EXPECT_FALSE(game.shell.running);
    EXPECT_LT(table.slots[0].position.z, -5.0f);  // walked while W was held
    EXPECT_EQ(display.shots, "s.png");
    // After the header (the window's size, the settings), the events and the picture taken.
    std::string events;
    char line[256];
    std::rewind(record.get());
    while (std::fgets(line, sizeof line, record.get())) {
        if (std::strstr(line, " setting ") == nullptr) events += line;
    }
    EXPECT_EQ(events, "0 screen 1024 768\n0 key down W\n400 key up W\n500 screenshot s.png\n");

    game.shell.running = true;
    LoopSetup frames{clock, &clock, {}, false, nullptr, 3, "f.png"};
    EXPECT_EQ(run_loop(game, source, &display, frames).frames, 3);
    EXPECT_EQ(display.shots, "s.pngf.png");
}

// A machine that stalls 300 ms at a time: the game runs behind its clock, and still holds W
// from 50 to 150 ms for the ten sim ticks between, not for none.
class StallingSource : public EventSource {
  public:
    explicit StallingSource(FakeClock& clock) : clock_(clock) {}
    bool poll(Message&) override { return false; }
    bool wait(Message&, uint32_t) override {
        clock_.advance(300);
        return false;
    }

  private:
    FakeClock& clock_;
};

TEST_F(TicksTest, AGameBehindItsClockPlaysEachScriptEventAfterTheTicksBeforeIt) {
    FakeClock clock;
    StallingSource source(clock);
    LoopSetup setup{clock};
    for (const char* line : {"50 key down W", "150 key up W", "1000 quit"})
        ASSERT_TRUE(append_script_line(setup.script, line).ok);
    setup.has_script = true;
    const float start_z = table.slots[0].position.z;
    run_loop(game, source, nullptr, setup);
    EXPECT_LT(table.slots[0].position.z, start_z - 1.0f) << "W was held for ten ticks";
}

TEST_F(TicksTest, TwoGamesInOneProcessTickApart) {
    Game other;
    start_game_as_host(other.table, other.session);
    set_mode(other, mode_playing);
    hold('J');
    for (int i = 0; i < 5; ++i) tick(sim_tick);
    run_tick(other, sim_tick, nullptr);
    EXPECT_GT(table.slots[0].position.y, 0.0f);         // this one jumped
    EXPECT_LT(other.table.slots[0].position.y, 20.0f);  // the other only fell one step
    EXPECT_GT(other.table.slots[0].position.y, 19.0f);
    EXPECT_FALSE(key_down(other.keys, 'J'));
}

}  // namespace
