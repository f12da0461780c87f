// The game's own dialogs on the widget set: the main menu, the join and create dialogs and
// the settings dialog, what their controls do, and the positions kept in config.cfg.
#pragma once

#include <cstdint>

#include "config/settings.h"
#include "gui/scoreboard.h"
#include "gui/widgets.h"
#include "input/gamepad_input.h"
#include "input/keyboard_input.h"
#include "map/map_grid.h"
#include "net/host_list.h"
#include "platform/file_search.h"
#include "platform/key_state.h"

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

// Command ids of the dialogs' own controls. Labels share id 15 and never send commands.
enum DialogCommand : uint32_t {
    command_label = kLabelCommand,
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
    command_map_scroll = 83,  // the maps "load map" lists, to host one of them
    command_map_list = 84,
    command_knockouts = 85,  // the check box "knock-outs"
};

constexpr int kMaxGamepads = 16;

static_assert(kGamepadNameSize == kListItemTextSize, "a gamepad name fills one list row");

struct GameDialogs {
    Dialog menu;
    Dialog settings;
    Dialog join;
    Dialog create;
    Scoreboard scoreboard;                    // shown while Tab is held in a game
    Label* sound_label = nullptr;             // the check box's label: id 15 is shared
    Label* join_status = nullptr;             // the join dialog's line: connecting, or why not
    GamepadDevices* gamepad = nullptr;        // the controllers the settings dialog lists
    int32_t device_index[kMaxGamepads] = {};  // the data of the device list's items
    char device_names[kMaxGamepads][kListItemTextSize] = {};
    int32_t server_index[kMaxListedHosts] = {};  // the data of the server list's items
    bool built = false;                      // set by building the menu; nothing is saved before
    int sound_volume = kDefaultSoundVolume;  // [sound] volume, 0..100; kept as read
    // The back buffer the saved positions are kept inside; start-up sets it.
    int screen_width = 1024, screen_height = 768;
    FilePlaces map_files{kMapFolder, kMapFolder};  // the maps "create game" lists
};

// Built once at start-up, menu first, each dialog sending its commands to sink. Menu and
// settings take their corner from sections "menu_dialog" and "settings_dialog" of
// config.cfg, moved onto the screen where their title bar could not be reached; building
// the settings dialog loads the control table and the sound settings (section "sound":
// active, default 1; volume 0..100, default 80).
void build_menu_dialog(GameDialogs& dialogs, const Settings& settings, CommandSink* sink);
void build_settings_dialog(GameDialogs& dialogs, ControlTable& controls, const Settings& settings,
                           CommandSink* sink);
void build_join_create_dialogs(GameDialogs& dialogs, CommandSink* sink);
// All four in that order.
void build_game_dialogs(GameDialogs& dialogs, ControlTable& controls, const Settings& settings,
                        CommandSink* sink);

// What a dialog's own command asks of the program, which owns the game and the modes.
enum DialogRequest : int32_t {
    request_none = 0,
    request_close = 1,    // a cancel button: close the dialog
    request_host = 2,     // "create": start a game as host
    request_join = 3,     // "join!": join the game chosen in the server list
    request_refresh = 4,  // "refresh": ask the network for games
};

struct DialogOutcome {
    bool consumed;  // the dialog or one of its widgets took the message
    DialogRequest request;
};

// Each offers the message to its dialog first (consumed), then acts on its own command
// ids. The cursor is that of keys. In the settings dialog a key or gamepad button pressed
// with the cursor on a binding button binds it to that control at once (bind_pressed),
// and is consumed.
DialogOutcome join_dialog_handler(GameDialogs& dialogs, const KeyState& keys, const Message& msg);
DialogOutcome create_dialog_handler(GameDialogs& dialogs, const KeyState& keys, const Message& msg);
DialogOutcome settings_dialog_handler(GameDialogs& dialogs, ControlTable& controls,
                                      const KeyState& keys, const Message& msg);
// True when the menu dialog consumed the message.
bool menu_dialog_handler(GameDialogs& dialogs, const KeyState& keys, const Message& msg);

// The element chosen in the create (host) or join dialog's list; zombie (0) when nothing
// is selected.
int32_t chosen_element(const GameDialogs& dialogs, bool host);

// The join dialog's server list: one item per host found, named by its game and machine
// ("torvi (box)"), in the order they first answered.
void fill_server_list(GameDialogs& dialogs, const HostList& hosts);
// The join dialog's line under its lists: "connecting to ADDRESS:PORT ...", or why a join
// failed; empty shows nothing.
void set_join_status(GameDialogs& dialogs, const char* text);
// The host chosen in the server list, or null.
const HostEntry* chosen_host(const GameDialogs& dialogs, const HostList& hosts);
// The create dialog's server name field.
void server_name(const GameDialogs& dialogs, char* out, int size);
// The create dialog's map list: hidden until "load map" fills it with the maps of
// Data/maps; filled again, keeping the chosen name, whenever it shows and the dialog
// opens, so a map saved meanwhile is there.
void refresh_map_list(GameDialogs& dialogs);
// The name of the map chosen there; empty while the list is hidden or has no choice.
void chosen_map(const GameDialogs& dialogs, char* out, int size);

// Shows or hides the menu button that sends command; for set_mode.
void show_menu_button(GameDialogs& dialogs, uint32_t command, bool visible);

// Whether "Sound Effects Active" is checked.
bool sound_effects_on(const GameDialogs& dialogs);

// Whether the create dialog's "knock-outs" is checked: the rule of the next game hosted.
bool knockouts_chosen(const GameDialogs& dialogs);
// Checks "knock-outs" as [game] knockouts says (1 on; anything else off).
void load_game_rules(GameDialogs& dialogs, const Settings& settings);

// The seven binding labels (the movement ones read "axis xy" in gamepad type), and the
// warning colour on each binding button whose key or button another control uses too.
void refresh_bindings(GameDialogs& dialogs, const ControlTable& controls);

// Writes the menu, settings and editor dialogs' corners (truncated), the control table,
// the sound settings, then [game] knockouts when it changed. Nothing before the dialogs
// are built.
void save_game_settings(const GameDialogs& dialogs, const Dialog& editor,
                        const ControlTable& controls, Settings& settings);

// A dialog's built-in corner, size and title.
struct DialogFrame {
    float x, y, width, height;
    const char* title;
};
// init at the frame, its commands going to sink.
void init_dialog(Dialog& dialog, const DialogFrame& frame, CommandSink* sink);
Button* add_text_button(Dialog& dialog, uint32_t id, const char* text, float x, float y);
// A picture button cut from the "gamepad" texture by source.
Button* add_image_button(Dialog& dialog, uint32_t id, const IntRect& source, float x, float y);

// Moves dialog to the corner kept in section of config.cfg, brought on screen.
void restore_position(Dialog& dialog, const Settings& settings, const char* section,
                      int screen_width, int screen_height);
