// The program's start-up and its command line. run_game (sdl_game_main.cpp) opens the window
// and runs the loop; main only parses the command line, makes the game and calls it.
#pragma once
#include <cstdint>

#include "app/game.h"
#include "app/game_loop.h"

struct RunOptions {
    bool windowed = false;             // a 1024 x 768 window instead of the whole screen
    bool play = false;                 // a local game at once, on no network
    bool host = false;                 // host a game on the network at once
    const char* join = nullptr;        // ADDRESS[:PORT] of a game to join at once
    bool realtime = false;             // scripts and --frames on the wall clock
    const char* data_dir = nullptr;    // folder holding config.cfg and Data/
    const char* screenshot = nullptr;  // PNG written from the last of the frames
    int frames = 0;                    // render ticks before quitting; 0: no limit
    const char* script = nullptr;      // timed input events to play
    const char* record = nullptr;      // where to write the session's input events
    const char* replay = nullptr;      // a record to play back with no network
    bool fast = false;                 // a replay as fast as the machine allows
    bool version = false;              // print the version and the folders, and quit
    bool dedicated = false;            // host with no window, sound or player of its own
};

constexpr int kMaxFrames = 1000000;

enum CommandLine { command_line_run, command_line_help, command_line_version, command_line_bad };

// Fills options from argv; bad arguments print a line on stderr.
CommandLine parse_command_line(int argc, char** argv, RunOptions& options);
void print_usage();
// "torvi VERSION", from CMake's project version.
void print_version();

// Whether the loop runs on a clock of its own that jumps from one deadline to the next
// (scripts and frame counts, unless realtime; replays when fast): fast and the same on
// every run. A script that waits for files runs on the wall clock.
bool uses_virtual_clock(const RunOptions& options);

// Whether nobody may be there to click a box: scripts, frame counts, screenshots, replays
// and dedicated hosts.
bool unattended(const RunOptions& options);

inline constexpr char kNoHalDeviceText[] = "Kein HAL-Device - das wird langsam!";

// The graphics are drawn in software: says so on the console and stderr, and true when the
// player should also see it in a box, which happens once for a user ([shell]
// hal_warning_shown is written then) and never unattended.
bool warn_software_rendering(Game& game, bool unattended);

// Exit codes of run_game.
constexpr int kExitOk = 0;
constexpr int kExitNoDisplay = 1;   // no display, or the window or GL context failed
constexpr int kExitBadInput = 2;    // bad command line, script, data folder, record file or
                                    // a screenshot that could not be written
constexpr int kExitCannotHost = 3;  // a dedicated host could not open its port

// The game's start-up without graphics: fills and saves the start-up map (rewriting
// Data/maps/test123.map), loads the key poses, the control bindings and the labels' mode,
// and starts a fresh player table and session. Runs in the folder that holds config.cfg.
void initialise_world(Game& game);

// Opens the window, starts the game and runs the loop until quit; the exit code. Runs
// in-process on the given game (tests call it and then look at the game); it leaves the
// current folder at --data's folder.
int run_game(const RunOptions& options, Game& game, FrameWatcher* watcher = nullptr);

// --dedicated: hosts with no window, GL or sound until SIGINT or SIGTERM, which tells every
// client the host ended the game; the exit code (run_game calls it).
int run_dedicated(const RunOptions& options, Game& game);
