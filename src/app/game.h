// The game: every piece of state one running game has, made once in main (or by a test)
// and passed down by reference. Two games live side by side in one process.
#pragma once
#include <cstdint>

#include "app/hud.h"
#include "config/settings.h"
#include "console/console.h"
#include "editor/editor.h"
#include "effects/effect_list.h"
#include "gui/game_dialogs.h"
#include "input/gamepad_input.h"
#include "input/keyboard_input.h"
#include "map/map_grid.h"
#include "net/net_game.h"
#include "net/network.h"
#include "platform/game_folders.h"
#include "platform/key_state.h"
#include "skeleton/key_pose.h"
#include "sound/sound_board.h"
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

struct Shell {
    TopLevelMode mode = mode_menu;
    DialogMode dialog = dialog_none;
    bool running = true;  // false once quit_program ran: the loop ends
};

struct Game;

// Delivers the widgets' commands to the game's window procedure.
class GameCommands : public CommandSink {
  public:
    explicit GameCommands(Game& game) : game_(game) {}
    void send_command(uint32_t command_id) override;

  private:
    Game& game_;
};

struct Game {
    Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    Shell shell;
    GameFolders folders;  // chosen by run_game before anything is read; portable until then
    Settings settings;    // config.cfg: run_game (or a test) loads it before anything reads it
    PlayerTable table;
    SessionState session;
    EffectList effects;
    Camera cam{};
    MapGrid map{};
    KeyPoses poses;  // read at start-up; the pose editor updates a key it saves
    Console console;
    KeyState keys;
    GamepadState pad{};
    KeyboardInput input;
    GameDialogs dialogs;
    Editor editor;
    GameCommands commands{*this};
    SoundBoard sound;
    Hud hud;
    NetGameState net_state;
    SoundPlayer* speaker = nullptr;  // the sound device while the loop runs; none in most tests
    Network* net = nullptr;          // the network session while the loop runs; none in most tests
    RemoteEventSink* recorder = nullptr;  // where a host's remote events are recorded
    uint64_t sim_ticks = 0;               // since the game was made: the clock of the view messages
    // A replay's viewer follows this slot's player instead of the local one (-1).
    int32_t view_slot = -1;
    // Something the menu shows changed since it was drawn last: a message came, the
    // server list grew.
    bool redraw = true;
};

// The game's network parts, for the session's logic.
NetGame net_game(Game& game);

// Every message of the event stream, real or scripted, updates the key and gamepad state
// it carries before it is routed.
void track_input(Game& game, const Message& msg);
