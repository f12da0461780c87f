// The real loop's SDL side: the window as event source and display, the gamepad's events,
// and run_game's start-up; and the dedicated host's start-up, which touches no SDL at all.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/data_folder.h"
#include "app/game_loop.h"
#include "app/game_main.h"
#include "app/gl_game_setup.h"
#include "app/modes.h"
#include "input/sdl_gamepad.h"
#include "net/enet_session.h"
#include "platform/sdl_events.h"
#include "platform/sdl_message_box.h"
#include "platform/sdl_window.h"
#include "render/gl_screenshot.h"
#include "sound/sdl_sound.h"

namespace {

// Milliseconds since the loop started, from SDL's monotonic counter.
class WallClock : public Clock {
  public:
    WallClock() : start_(SDL_GetTicks64()) {}
    uint64_t now_ms() const override { return SDL_GetTicks64() - start_; }

  private:
    uint64_t start_;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The window's events and the gamepad's, as messages of the one stream.
class SdlEventSource : public EventSource {
  public:
    SdlEventSource(GameWindow& window, SdlGamepad& gamepad) : window_(window), gamepad_(gamepad) {}

    bool poll(Message& msg) override {
        if (gamepad_.take_choice(msg)) return true;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (translate(event, msg)) return true;
        }
        return false;
    }

    bool wait(Message& msg, uint32_t ms) override {
        SDL_Event event;
        return SDL_WaitEventTimeout(&event, static_cast<int>(ms)) && translate(event, msg);
    }

  private:
    bool translate(const SDL_Event& event, Message& msg) {
        return gamepad_.translate(event, msg) || translate_event(event, window_, msg);
    }

    GameWindow& window_;
    SdlGamepad& gamepad_;
};

class WindowDisplay : public LoopDisplay {
  public:
    WindowDisplay(GameWindow& window, Screen& screen) : window_(window), screen_(screen) {}
    void draw(const Game& game) override { render_frame(screen_, game); }
    void present() override { window_.swap(); }
    bool save_screenshot(const char* path) override {
        return shot_.save(path, window_.width(), window_.height());
    }

  private:
    GameWindow& window_;
    Screen& screen_;
    Screenshot shot_;
};

class SteadyClock : public Clock {
  public:
    uint64_t now_ms() const override {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - start_)
                                         .count());
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// A dedicated host's only events: SIGINT or SIGTERM, read from a signalfd as a close. The
// signals are blocked before any thread starts, so every thread leaves them to the fd and
// no handler ever runs beside the game.
class StopSignals : public EventSource {
  public:
    StopSignals() {
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGINT);
        sigaddset(&stops, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stops, &old_mask_);
        fd_ = signalfd(-1, &stops, SFD_CLOEXEC | SFD_NONBLOCK);
    }
    ~StopSignals() override {
        if (fd_ != -1) ::close(fd_);
        pthread_sigmask(SIG_SETMASK, &old_mask_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool ready() const { return fd_ != -1; }
    bool poll(Message& msg) override { return take(msg, 0); }
    bool wait(Message& msg, uint32_t ms) override { return take(msg, static_cast<int>(ms)); }

  private:
    bool take(Message& msg, int ms) {
        pollfd watched{fd_, POLLIN, 0};
        signalfd_siginfo info;
        if (::poll(&watched, 1, ms) <= 0 || ::read(fd_, &info, sizeof info) != sizeof info)
            return false;
        msg = close_message();
        return true;
    }

    int fd_ = -1;
    sigset_t old_mask_;
};

bool enter_data_folder(const char* dir) {
    std::error_code error;
    std::filesystem::current_path(dir, error);
    if (error) {
        std::fprintf(stderr, "torvi: cannot enter the data folder %s: %s\n", dir,
                     error.message().c_str());
        return false;
    }
    return true;
}

// A record cut short by a full disk is no replay of the session: say so and fail the run.
bool finish_record(std::FILE* file, const char* path) {
    if (!file) return true;
    if (std::fflush(file) == 0 && !std::ferror(file)) return true;
    std::fprintf(stderr, "torvi: the record %s could not be written whole: %s\n", path,
                 std::strerror(errno));
    return false;
}

// Opened without waiting: a FIFO nobody reads would otherwise hold the start for ever.
std::FILE* open_record(const char* path) {
    if (!path) return nullptr;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    std::FILE* file = nullptr;
    if (fd >= 0) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        file = ::fdopen(fd, "w");
        if (!file) ::close(fd);
    }
    if (!file) std::fprintf(stderr, "torvi: cannot write %s: %s\n", path, std::strerror(errno));
    return file;
}

// What the command line starts is the first event of the run, so a record holds it.
void add_command_line_start(const RunOptions& options, Script& script) {
    StartKind kind;
    if (options.dedicated) {
        kind = start_dedicated;
    } else if (options.play) {
        kind = start_play;
    } else if (options.host) {
        kind = start_host;
    } else if (options.join) {
        kind = start_join;
    } else {
        return;
    }
    ScriptEvent event{0, script_start, {}, static_cast<uint32_t>(script.texts.size()), kind};
    script.texts.emplace_back(options.join ? options.join : "");
    script.events.insert(script.events.begin(), event);
}

// A replay runs with the settings its game started with, and saves none of them.
void take_recorded_settings(const Script& script, Settings& settings) {
    for (const ScriptSetting& s : script.settings) {
        set_setting_in_memory(settings, s.section.c_str(), s.key.c_str(), s.value.c_str());
    }
    settings.memory_only = true;
}

// A fresh shell and input state for this run; the settings come from the files again.
void reset_run_state(Game& game) {
    game.shell.running = true;
    game.shell.dialog = dialog_none;
    init_key_state(game.keys);
    game.pad = GamepadState{};
    game.input.latch = InputLatch{};
}

// An installed game runs in its data folder, so the files a command line names are taken
// from where the player started it; --data keeps its old way of naming them from DIR.
std::string from_start_folder(const char* path, const GameFolders& folders,
                              const std::string& start) {
    if (!path || folders.mode != run_installed || path[0] == '/') return path ? path : "";
    return start + "/" + path;
}

const char* or_null(const std::string& path, const char* given) {
    return given ? path.c_str() : nullptr;
}

// The pictures and files a script names, likewise; the data folder is never written.
void script_files_from_start_folder(Script& script, const GameFolders& folders,
                                    const std::string& start) {
    for (const ScriptEvent& event : script.events) {
        if (event.action != script_screenshot && event.action != script_wait_file) continue;
        std::string& file = script.texts[event.text];
        file = from_start_folder(file.c_str(), folders, start);
    }
}

}  // namespace

int run_game(const RunOptions& given, Game& game, FrameWatcher* watcher) {
    if (!find_game_folders(given.data_dir, game.folders)) return kExitBadInput;
    RunOptions options = given;
    std::error_code error;
    const std::string start = std::filesystem::current_path(error).string();
    const std::string script_file = from_start_folder(given.script, game.folders, start);
    const std::string record_file = from_start_folder(given.record, game.folders, start);
    const std::string replay_file = from_start_folder(given.replay, game.folders, start);
    const std::string screenshot_file = from_start_folder(given.screenshot, game.folders, start);
    options.script = or_null(script_file, given.script);
    options.record = or_null(record_file, given.record);
    options.replay = or_null(replay_file, given.replay);
    options.screenshot = or_null(screenshot_file, given.screenshot);
    const bool moves = given.data_dir || game.folders.mode == run_installed;
    if (moves && !enter_data_folder(game.folders.data.c_str())) return kExitBadInput;
    // Without them the game still plays; each save that cannot be made says so.
    make_user_folders(game.folders);
    game.settings.shipped_path = game.folders.shipped_settings;
    load_settings(game.settings, game.folders.settings.c_str());
    game.editor.map_files = game.dialogs.map_files = game.folders.maps;
    game.editor.pose_files = game.folders.bones;
    if (options.dedicated) return run_dedicated(options, game);
    Script script;
    const char* script_path = options.replay ? options.replay : options.script;
    if (script_path && !load_script(script_path, script)) return kExitBadInput;
    script_files_from_start_folder(script, game.folders, start);
    add_command_line_start(options, script);
    if (options.replay) take_recorded_settings(script, game.settings);
    std::unique_ptr<std::FILE, FileCloser> record(open_record(options.record));
    if (options.record && !record) return kExitBadInput;
    if (!check_data_folder(game.settings, game.folders)) return kExitBadInput;
    remove_unfinished_saves(game.folders);

    SdlVideo video;
    if (!video.start()) return kExitNoDisplay;
    GameWindow window;
    // A replay's clicks and picks land where they did in a window of the recorded size.
    const bool recorded_size = options.replay && script.screen_width > 0;
    const bool opened = recorded_size ? window.open(true, script.screen_width, script.screen_height)
                                      : window.open(options.windowed);
    if (!opened) return kExitNoDisplay;
    const ErrorBoxes boxes{window.handle(), unattended(options)};
    window.load_cursor(kCursorPath);

    auto screen = std::make_unique<Screen>();
    SdlSound sound;
    if (sound.open()) sound.load();
    SdlGamepad gamepad;
    setup_game_device(*screen, game, boxes);
    setup_game_shaders(*screen, game.settings);
    gamepad.open_first();
    load_game(*screen, game, &gamepad);
    reset_run_state(game);

    WallClock wall_clock;
    FakeClock virtual_clock;
    const bool use_virtual = uses_virtual_clock(options) && !script.waits;
    LoopSetup setup{
        use_virtual ? static_cast<Clock&>(virtual_clock) : static_cast<Clock&>(wall_clock),
        nullptr,
        {},
        false,
        nullptr,
        0,
        nullptr};
    setup.virtual_clock = use_virtual ? &virtual_clock : nullptr;
    setup.script = std::move(script);
    setup.has_script = script_path != nullptr;
    setup.record = record.get();
    setup.frames = options.frames;
    setup.screenshot = options.screenshot;
    setup.replay = options.replay != nullptr;
    setup.frame_watcher = watcher;

    // A replay has no network: its remote players' events are in the record.
    std::unique_ptr<NetSession> net;
    if (!options.replay) net = std::make_unique<NetSession>();
    game.net = net.get();
    game.input.sender = net.get();
    game.speaker = sound.ready() ? &sound : nullptr;

    window.show();
    set_mode(game, mode_menu);
    SdlEventSource events(window, gamepad);
    WindowDisplay display(window, *screen);
    const LoopStats stats = run_loop(game, events, &display, setup);

    game.speaker = nullptr;
    game.input.sender = nullptr;
    game.net = nullptr;
    net.reset();
    // A picture a script or --screenshot asked for and did not get fails the run.
    const bool recorded = finish_record(record.get(), options.record);
    return stats.failed_shots == 0 && recorded ? kExitOk : kExitBadInput;
}

int run_dedicated(const RunOptions& options, Game& game) {
    Script script;
    if (options.script && !load_script(options.script, script)) return kExitBadInput;
    add_command_line_start(options, script);
    std::unique_ptr<std::FILE, FileCloser> record(open_record(options.record));
    if (options.record && !record) return kExitBadInput;
    if (!check_data_folder(game.settings, game.folders)) return kExitBadInput;
    remove_unfinished_saves(game.folders);

    StopSignals stops;  // before the network thread starts, which inherits the mask
    if (!stops.ready()) {
        std::fprintf(stderr, "torvi: cannot watch for SIGINT and SIGTERM: %s\n",
                     std::strerror(errno));
        return kExitBadInput;
    }
    initialise_world(game);
    console_lines_init(game.console, 8);
    game.sound.active = false;
    reset_run_state(game);

    SteadyClock clock;
    LoopSetup setup{clock};
    setup.script = std::move(script);
    setup.has_script = options.script != nullptr;
    setup.record = record.get();
    auto net = std::make_unique<NetSession>();
    game.net = net.get();
    set_mode(game, mode_menu);
    run_loop(game, stops, nullptr, setup);

    // Hosting when the loop ended means it ran until told to stop; otherwise the port
    // could not be opened.
    const bool hosted = game.session.host;
    if (hosted) end_game(game, nullptr);
    game.net = nullptr;
    net.reset();
    const bool recorded = finish_record(record.get(), options.record);
    if (!hosted) return kExitCannotHost;
    return recorded ? kExitOk : kExitBadInput;
}
