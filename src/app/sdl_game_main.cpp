// The real loop: SDL events, scripted events and the three ticks on one thread.
#include <epoxy/gl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/game_main.h"
#include "app/modes.h"
#include "app/script.h"
#include "app/ticks.h"
#include "render/gl_screenshot.h"
#include "platform/scheduler.h"
#include "platform/sdl_events.h"
#include "platform/sdl_message_box.h"
#include "platform/sdl_window.h"

namespace {

constexpr float kMenuBackdrop[3] = {1.0f, 1.0f, 1.0f};
constexpr float kPlayBackdrop[3] = {0x20 / 255.0f, 0x20 / 255.0f, 0x20 / 255.0f};
constexpr size_t kRecordLineSize = 128;

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

struct Loop {
    Loop(const RunOptions& run_options, GameWindow& game_window, Clock& loop_clock,
         FakeClock* jumping_clock)
        : options(run_options),
          window(game_window),
          game(process_game()),
          clock(loop_clock),
          virtual_clock(jumping_clock) {}

    const RunOptions& options;
    GameWindow& window;
    Game game;
    Clock& clock;
    FakeClock* virtual_clock;  // non-null when time jumps from deadline to deadline
    Scheduler scheduler{};
    std::vector<ScriptEvent> script;
    size_t next_event = 0;
    std::unique_ptr<std::FILE, FileCloser> record;
    Screenshot screenshot;
    char shot_path[kScriptPathSize] = {};  // saved at the next present when not empty
    int frames_done = 0;
};

Loop* active_loop = nullptr;  // for the present hook, which takes no arguments

// The frame until the renderer provides one: a plain backdrop.
void backdrop_frame() {
    const float* colour = shell().mode == mode_playing ? kPlayBackdrop : kMenuBackdrop;
    glClearColor(colour[0], colour[1], colour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void present_frame() {
    Loop& loop = *active_loop;
    if (loop.shot_path[0] != '\0') {
        loop.screenshot.save(loop.shot_path, loop.window.width(), loop.window.height());
        loop.shot_path[0] = '\0';
    }
    loop.window.swap();
}

void write_record(Loop& loop, const Message& msg) {
    if (!loop.record) return;
    char line[kRecordLineSize];
    if (msg.id == msg_close) {
        std::snprintf(line, sizeof line, "%llu quit",
                      static_cast<unsigned long long>(loop.clock.now_ms()));
    } else if (!format_script_line(loop.clock.now_ms(), msg, line, sizeof line)) {
        return;
    }
    std::fprintf(loop.record.get(), "%s\n", line);
}

// Every message, real or scripted, enters here: recorded, tracked, then routed.
void deliver(Loop& loop, const Message& msg) {
    write_record(loop, msg);
    track_message(key_state(), msg);
    window_procedure(loop.game.shell, msg, loop.game.cam, loop.game.session);
}

void handle_sdl_event(Loop& loop, const SDL_Event& event) {
    Message msg;
    if (translate_event(event, loop.window, msg)) deliver(loop, msg);
}

void pump_events(Loop& loop) {
    SDL_Event event;
    while (loop.game.shell.running && SDL_PollEvent(&event)) handle_sdl_event(loop, event);
}

void play_event(Loop& loop, const ScriptEvent& event) {
    switch (event.action) {
        case script_message:
            deliver(loop, script_message_at(event, mouse_buttons(key_state())));
            break;
        case script_screenshot:
            std::snprintf(loop.shot_path, sizeof loop.shot_path, "%s", event.path);
            break;
        case script_quit:
            deliver(loop, close_message());
            break;
    }
}

void play_due_events(Loop& loop) {
    const uint64_t now = loop.clock.now_ms();
    while (loop.game.shell.running && loop.next_event < loop.script.size() &&
           loop.script[loop.next_event].time_ms <= now) {
        play_event(loop, loop.script[loop.next_event++]);
    }
}

bool script_over(const Loop& loop) {
    return loop.options.script && loop.next_event >= loop.script.size();
}

uint32_t wait_for_script(const Loop& loop, uint32_t wait) {
    if (loop.next_event >= loop.script.size()) return wait;
    const uint64_t due = loop.script[loop.next_event].time_ms;
    const uint64_t now = loop.clock.now_ms();
    return due <= now ? 0 : static_cast<uint32_t>(std::min<uint64_t>(due - now, wait));
}

void run_due_tick(Loop& loop, TickId id) {
    const RunOptions& options = loop.options;
    const bool last_frame = id == render_tick && loop.frames_done + 1 == options.frames;
    if (last_frame && options.screenshot) {
        std::snprintf(loop.shot_path, sizeof loop.shot_path, "%s", options.screenshot);
    }
    run_tick(loop.game, id);
    tick_ran(loop.scheduler, id, loop.clock.now_ms());
    if (id == render_tick) ++loop.frames_done;
    if (last_frame) quit_program(loop.game.shell);
}

void run_loop(Loop& loop) {
    start_scheduler(loop.scheduler, loop.clock.now_ms());
    while (loop.game.shell.running) {
        pump_events(loop);
        play_due_events(loop);
        if (!loop.game.shell.running) break;
        // On its own clock a script without "quit" ends after its last event.
        if (loop.virtual_clock && script_over(loop) && loop.options.frames == 0) {
            quit_program(loop.game.shell);
            break;
        }
        const NextTick next = next_tick(loop.scheduler, loop.clock.now_ms());
        if (next.due) {
            run_due_tick(loop, next.id);
            continue;
        }
        const uint32_t wait = wait_for_script(loop, next.wait_ms);
        if (loop.virtual_clock) {
            loop.virtual_clock->advance(wait);
        } else if (wait > 0) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, static_cast<int>(wait))) handle_sdl_event(loop, event);
        }
    }
}

bool enter_data_folder(const char* dir) {
    if (!dir) return true;
    std::error_code error;
    std::filesystem::current_path(dir, error);
    if (error) {
        std::fprintf(stderr, "torvi: cannot enter the data folder %s: %s\n", dir,
                     error.message().c_str());
        return false;
    }
    return true;
}

std::FILE* open_record(const char* path) {
    if (!path) return nullptr;
    std::FILE* file = std::fopen(path, "w");
    if (!file) std::fprintf(stderr, "torvi: cannot write %s: %s\n", path, std::strerror(errno));
    return file;
}

void call(void (*hook)()) {
    if (hook) hook();
}

// The first steps of start-up after the window: device, shaders, gamepad.
void set_up_devices() {
    const StartupHooks& hooks = startup_hooks();
    call(hooks.setup_device);
    call(hooks.setup_shaders);
    call(hooks.setup_gamepad);
}

// A fresh shell state for this run; the hooks other parts installed stay.
void reset_run_state() {
    shell().running = true;
    shell().dialog = dialog_none;
    init_key_state(key_state());
    keyboard_input().latch = InputLatch{};
}

}  // namespace

int run_game(const RunOptions& options) {
    if (!enter_data_folder(options.data_dir)) return kExitBadInput;
    std::vector<ScriptEvent> script;
    if (options.script && !load_script(options.script, script)) return kExitBadInput;
    std::unique_ptr<std::FILE, FileCloser> record(open_record(options.record));
    if (options.record && !record) return kExitBadInput;

    SdlVideo video;
    if (!video.start()) return kExitNoDisplay;
    GameWindow window;
    if (!window.open(options.windowed)) return kExitNoDisplay;
    set_error_box_window(window.handle());
    window.load_cursor(kCursorPath);
    set_up_devices();
    initialise_game();
    reset_run_state();

    TickHooks& hooks = tick_hooks();
    const bool own_frame = hooks.frame == nullptr;
    if (own_frame) hooks.frame = backdrop_frame;
    hooks.present = present_frame;

    WallClock wall_clock;
    FakeClock virtual_clock;
    const bool use_virtual = uses_virtual_clock(options);
    Loop loop(options, window,
              use_virtual ? static_cast<Clock&>(virtual_clock) : static_cast<Clock&>(wall_clock),
              use_virtual ? &virtual_clock : nullptr);
    loop.script = std::move(script);
    loop.record = std::move(record);
    active_loop = &loop;

    window.show();
    set_mode(loop.game.shell, mode_menu, loop.game.cam);
    if (options.play) {
        std::lock_guard<std::recursive_mutex> hold(net_lock());
        start_game_as_host(loop.game.table, loop.game.session);
        set_mode(loop.game.shell, mode_playing, loop.game.cam);
    }
    run_loop(loop);

    active_loop = nullptr;
    hooks.present = nullptr;
    if (own_frame) hooks.frame = nullptr;
    set_error_box_window(nullptr);
    return kExitOk;
}
