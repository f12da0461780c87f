// The program's start-up and its command line. The loop itself is run_game
// (sdl_game_main.cpp); main only parses the command line and calls it.
#pragma once
#include <cstdint>

#include "map/map_grid.h"

struct RunOptions {
    bool windowed = false;             // a 1024 x 768 window instead of the whole screen
    bool play = false;                 // host a local game at once
    bool realtime = false;             // scripts and --frames on the wall clock
    const char* data_dir = nullptr;    // folder holding config.cfg and Data/
    const char* screenshot = nullptr;  // PNG written from the last of the frames
    int frames = 0;                    // render ticks before quitting; 0: no limit
    const char* script = nullptr;      // timed input events to play
    const char* record = nullptr;      // where to write the session's input events
};

constexpr int kMaxFrames = 1000000;

enum class CommandLine { run, help, bad };

// Fills options from argv; bad arguments print a line on stderr.
CommandLine parse_command_line(int argc, char** argv, RunOptions& options);
void print_usage();

// Whether the loop runs on a clock of its own that jumps from one deadline to the next
// (scripts and frame counts, unless realtime): fast and the same on every run.
bool uses_virtual_clock(const RunOptions& options);

// Exit codes of run_game.
constexpr int kExitOk = 0;
constexpr int kExitNoDisplay = 1;  // no display, or the window or GL context failed
constexpr int kExitBadInput = 2;   // bad command line, script, data folder or record file

// Start-up steps that later work fills in, called in this order between the window's
// creation and the first tick. An empty hook is skipped.
struct StartupHooks {
    void (*setup_device)() = nullptr;   // GL state, projection, console, GUI font
    void (*setup_shaders)() = nullptr;  // the toon ramp and the two shaders
    void (*setup_gamepad)() = nullptr;  // find and set up a gamepad
    void (*load_textures)(const char* texture_config_path) = nullptr;
    void (*load_characters)() = nullptr;  // body-part meshes
    void (*load_terrain)() = nullptr;     // terrain meshes and items for current_map()
    void (*build_dialogs)() = nullptr;    // menu, editor, settings, join, create
    void (*load_markers_and_effects)() = nullptr;
    void (*start_network)() = nullptr;
};

// The process-wide hooks.
StartupHooks& startup_hooks();

// The map of every game, filled and saved at start-up.
MapGrid& current_map();

// The game initialisation: textures, characters, terrain, the start-up map (rewriting
// Data/maps/test123.map), control bindings and dialogs, markers and effects, and a fresh
// player table and session. Runs in the folder that holds config.cfg.
void initialise_game();

// Opens the window, starts the game and runs the loop until quit; the exit code. Runs
// in-process (tests call it and then look at the player table); it leaves the current
// folder at --data's folder.
int run_game(const RunOptions& options);
