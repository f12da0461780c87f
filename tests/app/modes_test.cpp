#include "app/modes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// What the hooks saw; plain function hooks need a place outside the test object.
struct HookLog {
    std::map<uint32_t, bool> buttons;  // last visibility per command
    int saves = 0;
    int leaves = 0;
    int stops = 0;
    int menu_seen = 0;
    int dialog_seen[kDialogModeCount] = {};
    bool menu_consumes = false;
    bool dialog_consumes = false;
};
HookLog* log_ = nullptr;

class ModesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        log_ = &log;
        init_shell(shell);
        shell.hooks.show_menu_button = [](uint32_t id, bool v) { log_->buttons[id] = v; };
        shell.hooks.save_settings_at_quit = [] { ++log_->saves; };
        shell.hooks.leave_client = [] { ++log_->leaves; };
        shell.hooks.stop_hosting = [] { ++log_->stops; };
        shell.hooks.menu_message = [](const Message&) {
            ++log_->menu_seen;
            return log_->menu_consumes;
        };
        for (int d = 1; d < kDialogModeCount; ++d) {
            shell.hooks.dialog_message[d] = [](const Message&) {
                ++log_->dialog_seen[0];
                return log_->dialog_consumes;
            };
        }
        init_session_state(session);
        cam = Camera{};
    }
    void TearDown() override { log_ = nullptr; }

    int route(const Message& msg) { return window_procedure(shell, msg, cam, session); }
    void press(uint32_t command) { route(command_message(command)); }
    void escape() { route(key_message(true, vk_escape)); }
    bool visible(uint32_t command) { return log.buttons.at(command); }

    HookLog log;
    Shell shell;
    SessionState session;
    Camera cam;
};

TEST_F(ModesTest, EachModeShowsItsMenuButtonsAndPlaySetsTheCamera) {
    set_mode(shell, mode_menu, cam);
    for (uint32_t shown : {command_join_game, command_create_game, command_editor}) {
        EXPECT_TRUE(visible(shown)) << shown;
    }
    EXPECT_FALSE(visible(command_disconnect));
    EXPECT_FALSE(visible(command_resume_game));
    EXPECT_EQ(log.buttons.count(command_settings), 0u);  // never hidden, never touched
    EXPECT_EQ(log.buttons.count(command_quit), 0u);

    log.buttons.clear();
    set_mode(shell, mode_playing, cam);
    EXPECT_TRUE(log.buttons.empty());
    EXPECT_FLOAT_EQ(cam.eye.y, 5.0f);
    EXPECT_FLOAT_EQ(cam.eye.z, 5.0f);
    EXPECT_FLOAT_EQ(cam.target.x, 0.0f);
}

TEST_F(ModesTest, EscapePausesPlayOnlyResumeGoesBackAndNothingElseSwitches) {
    EXPECT_EQ(route(key_message(true, vk_escape)), 0);  // nothing in the menu
    toggle_menu(shell, cam);
    EXPECT_EQ(shell.mode, mode_menu);
    set_mode(shell, mode_playing, cam);
    route(key_message(false, vk_escape));  // releasing is no press
    route(key_message(true, 'P'));
    EXPECT_EQ(shell.mode, mode_playing);
    escape();
    EXPECT_EQ(shell.mode, mode_paused);
    for (uint32_t shown : {command_resume_game, command_disconnect, command_editor}) {
        EXPECT_TRUE(visible(shown)) << shown;
    }
    EXPECT_FALSE(visible(command_join_game));
    EXPECT_FALSE(visible(command_create_game));
    escape();  // a second Escape does not hide the menu
    EXPECT_EQ(shell.mode, mode_paused);
    press(command_resume_game);
    EXPECT_EQ(shell.mode, mode_playing);
}

TEST_F(ModesTest, DialogButtonsOpenCloseAndReplace) {
    press(command_settings);
    EXPECT_EQ(shell.dialog, dialog_settings);
    press(command_settings);
    EXPECT_EQ(shell.dialog, dialog_none);
    press(command_create_game);
    press(command_join_game);  // replaces the create dialog
    EXPECT_EQ(shell.dialog, dialog_join);
    press(command_editor);
    EXPECT_EQ(shell.dialog, dialog_editor);
    EXPECT_FLOAT_EQ(cam.eye.y, 10.0f);
    EXPECT_FLOAT_EQ(cam.eye.z, 10.0f);
}

TEST_F(ModesTest, DisconnectPicksClientFirstThenHostAndWithoutANetworkEndsTheLocalGame) {
    press(command_disconnect);
    EXPECT_EQ(log.leaves + log.stops, 0);
    EXPECT_EQ(shell.mode, mode_menu);
    session.host = true;
    press(command_disconnect);
    EXPECT_EQ(log.stops, 1);
    session.client = true;
    press(command_disconnect);
    EXPECT_EQ(log.leaves, 1);
    EXPECT_EQ(log.stops, 1);

    init_session_state(session);
    shell.hooks.stop_hosting = nullptr;
    session.host = true;
    session.local_player_index = 0;
    set_mode(shell, mode_paused, cam);
    press(command_disconnect);
    EXPECT_EQ(shell.mode, mode_menu);
    EXPECT_FALSE(session.host);
    EXPECT_EQ(session.local_player_index, -1);
}

TEST_F(ModesTest, QuitSavesOnceAndEndsTheLoopFromAnyMode) {
    set_mode(shell, mode_playing, cam);
    press(command_quit);
    EXPECT_FALSE(shell.running);
    route(close_message());
    EXPECT_EQ(log.saves, 1);
}

TEST_F(ModesTest, ClosingTheWindowQuitsEvenWhenAMenuWouldConsume) {
    log.menu_consumes = true;
    route(close_message());
    EXPECT_FALSE(shell.running);
    EXPECT_EQ(log.saves, 1);
}

TEST_F(ModesTest, MenuAndOpenDialogSeeMessagesOnlyWhileShownAndConsumingStopsRouting) {
    set_mode(shell, mode_playing, cam);
    route(key_message(true, 'W'));
    EXPECT_EQ(log.menu_seen, 0);
    set_mode(shell, mode_paused, cam);
    log.menu_consumes = true;
    EXPECT_EQ(route(command_message(command_resume_game)), 1);
    EXPECT_EQ(shell.mode, mode_paused);  // the menu took it

    log.menu_consumes = false;
    set_dialog_mode(shell, dialog_join);
    set_mode(shell, mode_playing, cam);
    log.dialog_consumes = true;
    EXPECT_EQ(route(key_message(true, vk_escape)), 1);  // an open dialog sees play's keys
    EXPECT_EQ(log.dialog_seen[0], 1);
    EXPECT_EQ(shell.mode, mode_playing);
    log.dialog_consumes = false;
    escape();
    EXPECT_EQ(shell.mode, mode_paused);
    EXPECT_EQ(shell.dialog, dialog_join);  // stays open under the menu
}

TEST_F(ModesTest, UnknownCommandsAndBadDialogValuesChangeNothing) {
    press(99);
    press(0xFFFFFFFF);
    EXPECT_EQ(shell.dialog, dialog_none);
    EXPECT_TRUE(shell.running);
    set_dialog_mode(shell, static_cast<DialogMode>(7));
    EXPECT_EQ(shell.dialog, dialog_none);
    set_dialog_mode(shell, static_cast<DialogMode>(-2));
    EXPECT_EQ(shell.dialog, dialog_none);
}

}  // namespace
