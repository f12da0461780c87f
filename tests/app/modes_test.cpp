// Modes and routing on a game whose dialogs are not built: what the window procedure
// does by itself. The dialogs' own routing is in dialogs_test.
#include "app/modes.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class ModesTest : public ::testing::Test {
  protected:
    int route(const Message& msg) { return window_procedure(game, msg); }
    void press(uint32_t command) { route(command_message(command)); }
    void escape() { route(key_message(true, vk_escape)); }

    std::unique_ptr<Game> owner = std::make_unique<Game>();
    Game& game = *owner;
};

TEST_F(ModesTest, EscapePausesPlayOnlyResumeReturnsAndTheMenuIgnoresIt) {
    set_mode(game, mode_playing);
    EXPECT_FLOAT_EQ(game.cam.eye.y, 5.0f);
    EXPECT_FLOAT_EQ(game.cam.eye.z, 5.0f);
    escape();
    EXPECT_EQ(game.shell.mode, mode_paused);
    escape();  // a second Escape does not hide the menu
    EXPECT_EQ(game.shell.mode, mode_paused);
    press(command_resume_game);
    EXPECT_EQ(game.shell.mode, mode_playing);
    route(key_message(false, vk_escape));  // releasing is no press
    route(key_message(true, 'P'));
    EXPECT_EQ(game.shell.mode, mode_playing);

    set_mode(game, mode_menu);
    EXPECT_EQ(route(key_message(true, vk_escape)), 0);
    toggle_menu(game);
    EXPECT_EQ(game.shell.mode, mode_menu);
}

TEST_F(ModesTest, DialogButtonsOpenCloseAndReplace) {
    press(command_settings);
    EXPECT_EQ(game.shell.dialog, dialog_settings);
    press(command_settings);
    EXPECT_EQ(game.shell.dialog, dialog_none);
    press(command_create_game);
    press(command_join_game);  // replaces the create dialog
    EXPECT_EQ(game.shell.dialog, dialog_join);
    press(command_editor);
    EXPECT_EQ(game.shell.dialog, dialog_editor);
    EXPECT_FLOAT_EQ(game.cam.eye.y, 10.0f);
    set_dialog_mode(game.shell, static_cast<DialogMode>(7));
    EXPECT_EQ(game.shell.dialog, dialog_none);
    press(99);  // an unknown command changes nothing
    EXPECT_EQ(game.shell.mode, mode_menu);
    EXPECT_TRUE(game.shell.running);
}

TEST_F(ModesTest, DisconnectEndsTheLocalGameAndDoesNothingWithoutOne) {
    press(command_disconnect);
    EXPECT_EQ(game.shell.mode, mode_menu);
    start_local_game(game, true);
    EXPECT_EQ(game.shell.mode, mode_playing);
    set_mode(game, mode_paused);
    press(command_disconnect);
    EXPECT_EQ(game.shell.mode, mode_menu);
    EXPECT_FALSE(game.session.host);
    EXPECT_EQ(game.session.local_player_index, -1);
}

TEST_F(ModesTest, QuitAndClosingTheWindowEndTheLoopFromAnyMode) {
    set_mode(game, mode_playing);
    route(close_message());
    EXPECT_FALSE(game.shell.running);
    Game other;
    window_procedure(other, command_message(command_quit));
    EXPECT_FALSE(other.shell.running);
}

}  // namespace
