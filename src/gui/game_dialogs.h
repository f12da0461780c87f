// The game's own dialogs on the widget set: the main menu, the join and create dialogs and
// the settings dialog, what their controls do, and the positions kept in config.cfg.
#pragma once

#include <cstdint>

#include "app/modes.h"
#include "gui/widgets.h"
#include "input/keyboard_input.h"
#include "world/camera.h"
#include "world/player_table.h"

// Command ids of the dialogs' own controls. Labels share id 15 and never send commands.
enum DialogCommand : uint32_t {
    command_label = 15,
    // settings
    command_gamepad_list_scroll = 19,
    command_gamepad_list = 20,
    command_type_gamepad = 21,   // shown in gamepad type; switches to the keyboard
    command_type_keyboard = 22,  // shown in keyboard type; switches to the gamepad
    command_bind_forward = 23,
    command_gamepad_refresh = 24,
    command_use_gamepad = 25,
    command_bind_primattack = 44,
    command_bind_secnattack = 45,
    command_bind_backward = 46,
    command_bind_left = 47,
    command_bind_right = 48,
    command_bind_jump = 49,
    command_label_left = 50,
    command_label_right = 51,
    command_label_jump = 52,
    command_label_backward = 53,
    command_label_forward = 54,
    command_label_primattack = 55,
    command_label_secnattack = 56,
    command_page_control = 68,
    command_page_other = 69,
    command_sound_effects = 76,
    // join
    command_server_scroll = 70,
    command_server_list = 71,
    command_join = 72,
    command_join_cancel = 73,
    command_join_elements = 75,
    command_refresh_servers = 82,
    // create
    command_load_map = 77,
    command_create = 78,
    command_create_cancel = 79,
    command_server_name = 80,
    command_create_elements = 81,
};

constexpr int kMaxGamepads = 16;

// The game-controller backend the settings dialog works on. list fills names (each a
// zero-terminated list text) and returns how many; use makes device index the gamepad.
struct GamepadOps {
    int (*list)(char (*names)[kListItemTextSize], int max) = nullptr;
    bool (*use)(int index) = nullptr;
};

struct GameDialogs {
    Dialog menu;
    Dialog settings;
    Dialog join;
    Dialog create;
    Label* sound_label = nullptr;  // the check box's label: id 15 is shared
    GamepadOps gamepad;
    int32_t device_index[kMaxGamepads] = {};  // the data of the device list's items
    char device_names[kMaxGamepads][kListItemTextSize] = {};
};

// The process-wide dialogs.
GameDialogs& game_dialogs();

// What the dialogs' commands work on.
struct DialogContext {
    Shell& shell;
    Camera& cam;
    PlayerTable& table;
    SessionState& session;
    ControlTable& controls;
};

// The process-wide objects.
DialogContext process_dialog_context();

// Built once at start-up, menu first. Menu and settings take their corner from sections
// "menu_dialog" and "settings_dialog" of config.cfg; building the settings dialog loads
// the control table.
void build_menu_dialog(GameDialogs& dialogs);
void build_settings_dialog(GameDialogs& dialogs, ControlTable& controls);
void build_join_create_dialogs(GameDialogs& dialogs);

// Each offers the message to its dialog first (true when consumed), then acts on its own
// command ids and returns false.
bool join_dialog_handler(GameDialogs& dialogs, DialogContext ctx, const Message& msg);
bool create_dialog_handler(GameDialogs& dialogs, DialogContext ctx, const Message& msg);
bool settings_dialog_handler(GameDialogs& dialogs, DialogContext ctx, const Message& msg);

// Shows or hides the menu button that sends command; for set_mode.
void show_menu_button(GameDialogs& dialogs, uint32_t command, bool visible);

// The seven binding labels: the movement ones read "axis xy" in gamepad type.
void refresh_binding_labels(GameDialogs& dialogs, const ControlTable& controls);

// Writes the menu and settings dialogs' corners (truncated), then the control table. The
// editor dialog's section is left as it is.
void save_game_settings(const GameDialogs& dialogs, const ControlTable& controls);

// Hooks the process-wide dialogs into the shell's routing and quit, and delivers widget
// commands to the window procedure.
void install_game_dialog_hooks();
