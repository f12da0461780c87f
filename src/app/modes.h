// The program's top-level mode, the open dialog, and the window procedure that decides who
// gets each message: the menu dialog, then the open dialog, then Escape and the menu's
// commands.
//
// The menu, the dialogs, the network session and the settings saved at quit arrive with
// later work; they plug in through ShellHooks. An empty hook does nothing.
#pragma once
#include <cstdint>

#include "platform/message.h"
#include "world/camera.h"
#include "world/player_table.h"

enum TopLevelMode : int32_t {
    mode_menu = 1,     // the main menu; no game runs
    mode_playing = 2,  // a game runs, the menu is hidden
    mode_paused = 3,   // the menu over a running game
};

enum DialogMode : int32_t {
    dialog_none = 0,
    dialog_settings = 1,
    dialog_editor = 2,
    dialog_join = 3,
    dialog_create = 4,
};
constexpr int kDialogModeCount = 5;

// The main menu's buttons, by the command id they send.
enum MenuCommand : uint32_t {
    command_join_game = 10,
    command_create_game = 11,
    command_editor = 12,
    command_quit = 13,
    command_disconnect = 17,
    command_resume_game = 18,
    command_settings = 26,
};

struct ShellHooks {
    // The menu dialog's message handler; true when it consumed the message.
    bool (*menu_message)(const Message& msg) = nullptr;
    // Shows or hides the menu button that sends command.
    void (*show_menu_button)(uint32_t command, bool visible) = nullptr;
    // The handlers of the dialogs, by DialogMode (index 0 unused).
    bool (*dialog_message[kDialogModeCount])(const Message& msg) = {};
    // Writes the dialog positions and control bindings to config.cfg.
    void (*save_settings_at_quit)() = nullptr;
    // Leave a joined game or stop hosting; both end in mode_menu.
    void (*leave_client)() = nullptr;
    void (*stop_hosting)() = nullptr;
};

struct Shell {
    TopLevelMode mode;
    DialogMode dialog;
    bool running;  // false once quit_program ran: the loop ends
    ShellHooks hooks;
};

// mode_menu, no dialog, running, empty hooks.
void init_shell(Shell& shell);
// The process-wide shell.
Shell& shell();

// Stores the mode and shows the menu buttons that belong to it; entering play puts the
// camera at eye (0, 5, 5) looking at the origin.
void set_mode(Shell& shell, TopLevelMode mode, Camera& cam);
// Playing and paused swap; any other mode becomes mode_menu.
void toggle_menu(Shell& shell, Camera& cam);
// Set by the dialogs' cancel buttons; a value outside 0..4 closes the dialog.
void set_dialog_mode(Shell& shell, DialogMode dialog);
// Saves the settings kept across runs and ends the loop.
void quit_program(Shell& shell);

// Routes one message; 1 when a dialog consumed it, else 0. Closing the window quits.
int window_procedure(Shell& shell, const Message& msg, Camera& cam, SessionState& session);
