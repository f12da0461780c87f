#include "app/game_main.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "input/keyboard_input.h"

namespace {

constexpr uint32_t kSoftwareWarningColour = 0xFFFF8040;

bool is(const char* arg, const char* name) {
    return std::strcmp(arg, name) == 0;
}

bool takes_value(const char* arg) {
    for (const char* name :
         {"--data", "--screenshot", "--script", "--record", "--frames", "--join", "--replay"}) {
        if (is(arg, name)) return true;
    }
    return false;
}

bool parse_frames(const char* text, int& frames) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > kMaxFrames) return false;
    frames = static_cast<int>(value);
    return true;
}

// A failed save has said so itself.
void save_default_map(MapGrid& map, const GameFolders& folders) {
    fill_startup_map(map);
    save_startup_map(map, folders.maps.user.c_str());
}

}  // namespace

CommandLine parse_command_line(int argc, char** argv, RunOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (is(arg, "--help") || is(arg, "-h")) return command_line_help;
        if (is(arg, "--windowed")) {
            options.windowed = true;
        } else if (is(arg, "--play")) {
            options.play = true;
        } else if (is(arg, "--host")) {
            options.host = true;
        } else if (is(arg, "--join") && has_value) {
            options.join = argv[++i];
        } else if (is(arg, "--realtime")) {
            options.realtime = true;
        } else if (is(arg, "--data") && has_value) {
            options.data_dir = argv[++i];
        } else if (is(arg, "--screenshot") && has_value) {
            options.screenshot = argv[++i];
        } else if (is(arg, "--script") && has_value) {
            options.script = argv[++i];
        } else if (is(arg, "--record") && has_value) {
            options.record = argv[++i];
        } else if (is(arg, "--replay") && has_value) {
            options.replay = argv[++i];
        } else if (is(arg, "--version")) {
            options.version = true;
        } else if (is(arg, "--dedicated")) {
            options.dedicated = true;
        } else if (is(arg, "--fast")) {
            options.fast = true;
        } else if (is(arg, "--frames") && has_value) {
            if (!parse_frames(argv[++i], options.frames)) {
                std::fprintf(stderr, "torvi: --frames takes a number from 1 to %d, not \"%s\"\n",
                             kMaxFrames, argv[i]);
                return command_line_bad;
            }
        } else if (takes_value(arg) && !has_value) {
            std::fprintf(stderr, "torvi: %s needs a value (try --help)\n", arg);
            return command_line_bad;
        } else {
            std::fprintf(stderr, "torvi: unknown argument \"%s\" (try --help)\n", arg);
            return command_line_bad;
        }
    }
    if (options.version) return command_line_version;
    if (options.screenshot && options.frames == 0) options.frames = 1;
    const int starts = options.play + options.host + (options.join != nullptr);
    if (starts > 1 || (options.replay && (starts > 0 || options.script))) {
        std::fprintf(stderr,
                     "torvi: --play, --host, --join and --replay each start a game: give one "
                     "(a replay takes no --script)\n");
        return command_line_bad;
    }
    if (options.dedicated && (starts > 0 || options.replay)) {
        std::fprintf(stderr,
                     "torvi: --dedicated hosts a game itself: it takes no --play, --host, --join "
                     "or --replay\n");
        return command_line_bad;
    }
    return command_line_run;
}

void print_usage() {
    std::printf(
        "usage: torvi [--windowed] [--play | --host | --join ADDRESS[:PORT]] [--data DIR]\n"
        "             [--screenshot FILE --frames N] [--script FILE] [--record FILE] [--realtime]\n"
        "       torvi [--windowed] --replay FILE [--fast] [--data DIR]\n"
        "       torvi --version [--data DIR]\n"
        "       torvi --dedicated [--data DIR] [--record FILE]\n"
        "  --windowed         a 1024 x 768 window instead of the whole screen\n"
        "  --play             play a local game right away, on no network\n"
        "  --host             host a game on the network right away (UDP port 4711)\n"
        "  --join ADDRESS     join the game hosted at ADDRESS (a name or IPv4 address,\n"
        "                     :PORT when it is not 4711)\n"
        "  --data DIR         run in DIR, the folder holding config.cfg and Data/\n"
        "  --frames N         quit after N frames\n"
        "  --screenshot FILE  save the last frame as PNG (one frame unless --frames)\n"
        "  --script FILE      play the timed input events of FILE\n"
        "  --record FILE      write this session's events to FILE as a script; a host's\n"
        "                     record holds its remote players' too\n"
        "  --replay FILE      play a record back with no network: Tab follows the next\n"
        "                     player in the game\n"
        "  --realtime         run scripts and frame counts on the wall clock; otherwise\n"
        "                     they run as fast as the machine allows\n"
        "  --fast             play a replay as fast as the machine allows\n"
        "  --dedicated        host a game with no window, sound or player of its own\n"
        "                     ([net] port, [player] name names the game) until SIGINT\n"
        "                     or SIGTERM\n"
        "  --version          print the version and the folders in use, and quit\n"
        "With --data DIR, or started in a folder holding config.cfg and Data/, the game\n"
        "reads and writes only there. Else it reads its data from ../share/torvi beside\n"
        "the program and writes settings to $XDG_CONFIG_HOME/torvi/config.cfg, maps and\n"
        "poses to $XDG_DATA_HOME/torvi/maps and bones. Here that is:\n");
}

void print_version() {
    std::printf("torvi %s\n", TORVI_VERSION);
}

bool uses_virtual_clock(const RunOptions& options) {
    if (options.replay) return options.fast;
    return !options.realtime && (options.script || options.frames > 0);
}

bool unattended(const RunOptions& options) {
    return options.script || options.frames > 0 || options.screenshot || options.replay ||
           options.dedicated;
}

bool warn_software_rendering(Game& game, bool unattended) {
    console_print(game.console, kSoftwareWarningColour, "%s", kNoHalDeviceText);
    std::fprintf(stderr, "torvi: %s\n", kNoHalDeviceText);
    if (unattended ||
        read_setting_int_or(game.settings, kSectionShell, kKeyHalWarningShown, 0) == 1)
        return false;
    write_setting_int(game.settings, kSectionShell, kKeyHalWarningShown, 1);
    return true;
}

void initialise_world(Game& game) {
    save_default_map(game.map, game.folders);
    load_key_poses(game.poses, game.folders.bones);
    load_control_table(game.input.controls, game.settings);
    read_hud_settings(game.hud, game.settings);
    init_player_table(game.table);
    init_session_state(game.session);
}
