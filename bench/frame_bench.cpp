// Frame benchmark on the software renderer: the whole game process from start to its
// first frame and exit against a bare program that only opens a window with a GL context
// and presents one cleared frame (medians of runs taken in turn, and their ratio), the
// time from process start to the first presented menu frame, and, with 12 characters on
// the start-up map, the main thread's CPU time per play frame, the wall time per frame
// with the rendering finished, the draw calls per frame and the heap allocations made
// inside a steady frame, in play and in the menu with its dialogs, and the CPU the menu
// takes while it idles.
//
//   SDL_VIDEODRIVER=offscreen build/frame_bench [DATA_DIR]
#include <epoxy/gl.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/game_main.h"
#include "app/modes.h"
#include "effects/effect_list.h"
#include "render/draw_stats.h"
#include "support/counting_allocator.h"
#include "world/player_table.h"

namespace {

double now_ms(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Milliseconds since the kernel started this process (10 ms resolution).
double ms_since_process_start() {
    std::FILE* f = std::fopen("/proc/self/stat", "r");
    if (!f) return -1;
    unsigned long long start_ticks = 0;
    // Field 22 is the start time in clock ticks after boot; the name field has no spaces.
    const int got = std::fscanf(f,
                                "%*d %*s %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u "
                                "%*d %*d %*d %*d %*d %*d %llu",
                                &start_ticks);
    std::fclose(f);
    if (got != 1) return -1;
    return now_ms(CLOCK_BOOTTIME) - 1e3 * start_ticks / sysconf(_SC_CLK_TCK);
}

// Reset in each measured child, where the game's own main() would begin.
double g_main_entry_ms = now_ms(CLOCK_MONOTONIC);

// --- start-up as a whole process, against the bare window ---

constexpr int kProcessRuns = 11;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct ProcessTime {
    double wall_ms;  // negative when the process could not run or failed
    double cpu_ms;   // user and system time of the process
};

// Wall and CPU milliseconds of argv[0] run with argv, from fork to its exit, its output
// thrown away.
ProcessTime run_process(const char* const* argv) {
    const double start = now_ms(CLOCK_MONOTONIC);
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
        }
        execv(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return {-1, 0};
    const double elapsed = now_ms(CLOCK_MONOTONIC) - start;
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return {ok ? elapsed : -1, ms(usage.ru_utime) + ms(usage.ru_stime)};
}

double time_process(const char* const* argv) {
    return run_process(argv).wall_ms;
}

// The menu left alone on the wall clock: what 80 more frames cost over a run of one, so
// start-up drops out.
int measure_idle_menu(const char* data_dir) {
    const char* const one[] = {TORVI_GAME, "--windowed", "--realtime", "--frames",
                               "1",        "--data",     data_dir,     nullptr};
    const char* const many[] = {TORVI_GAME, "--windowed", "--realtime", "--frames",
                                "81",       "--data",     data_dir,     nullptr};
    const ProcessTime short_run = run_process(one), long_run = run_process(many);
    if (short_run.wall_ms < 0 || long_run.wall_ms < 0) {
        std::fprintf(stderr, "frame_bench: the idle run failed\n");
        return 1;
    }
    const double cpu = long_run.cpu_ms - short_run.cpu_ms;
    const double wall = long_run.wall_ms - short_run.wall_ms;
    std::printf("idle in the menu: %.0f ms CPU over %.0f ms wall, %.1f%% of one core\n", cpu, wall,
                100.0 * cpu / wall);
    return 0;
}

// The game to its first menu frame and out, and the bare window, in turn (one warm-up
// run each first), so a machine that speeds up or slows down weighs on both alike.
int measure_process_startup(const char* data_dir) {
    const char* const game[] = {TORVI_GAME, "--windowed", "--frames", "1",
                                "--data",   data_dir,     nullptr};
    const char* const bare[] = {TORVI_BARE_WINDOW, nullptr};
    std::vector<double> game_ms, bare_ms, ratios;
    for (int run = 0; run <= kProcessRuns; ++run) {
        const double g = time_process(game);
        const double b = time_process(bare);
        if (g < 0 || b < 0) {
            std::fprintf(stderr, "frame_bench: %s failed\n",
                         g < 0 ? TORVI_GAME : TORVI_BARE_WINDOW);
            return 1;
        }
        if (run == 0) continue;
        game_ms.push_back(g);
        bare_ms.push_back(b);
        ratios.push_back(g / b);
    }
    const double game_median = median(game_ms), bare_median = median(bare_ms);
    std::printf(
        "start-up, whole process to the first frame and exit, median of %d runs each:\n"
        "  game %.1f ms, bare window %.1f ms, ratio %.2f (median of the %d pairs' ratios "
        "%.2f)\n",
        kProcessRuns, game_median, bare_median, game_median / bare_median, kProcessRuns,
        median(ratios));
    return 0;
}

// --- start-up: measured in a child so the play run starts from a fresh process state ---

int g_startup_frames = 0;
double g_first_present_since_main = 0, g_first_present_since_start = 0;

// The second frame begins right after the first one was presented.
struct StartupWatch : FrameWatcher {
    void before_frame(Game&) override {
        if (++g_startup_frames == 2) {
            g_first_present_since_main = now_ms(CLOCK_MONOTONIC) - g_main_entry_ms;
            g_first_present_since_start = ms_since_process_start();
        }
    }
    void after_frame(Game&) override {}
};

// --- play frames ---

constexpr int kWarmupFrames = 20;
constexpr int kMeasuredFrames = 300;

std::vector<double> g_cpu_ms, g_wall_ms;
std::vector<uint64_t> g_draws;
long g_frame_allocations = 0;
int g_play_frames = 0;

// Twelve characters of all four elements around the local player: walkers, attackers and
// idlers, and a few effects in the air.
void stage_twelve_players(Game& game) {
    PlayerTable& table = game.table;
    for (int i = 0; i < kPlayerSlots; ++i) {
        PlayerRecord& p = table.slots[i];
        if (i > 0) p = table.slots[0];
        const float angle = i * 0.5236f;
        p.position = {8.0f + 2.5f * std::cos(angle), 0.0f, -8.0f + 2.5f * std::sin(angle)};
        p.velocity = {i % 3 == 0 ? 20.0f : 0.0f, 0.0f, i % 3 == 1 ? -20.0f : 0.0f};
        p.element = i % 4;
        p.health = 100 - 5 * i;
        p.action = i % 4 == 3 ? action_attack : (i % 4 == 1 ? action_idle : action_walk);
        p.action_phase = i % 3;
        p.slot_state = slot_in_game;
    }
    table.slots[0].position = {8.0f, 0.0f, -8.0f};
    for (int i = 0; i < 10; ++i) effect_spawn(game.effects, i % 3, {7.0f + i * 0.3f, 0.5f, -8.0f});
}

struct PlayWatch : FrameWatcher {
    void before_frame(Game& game) override {
        ++g_play_frames;
        if (g_play_frames == 1) stage_twelve_players(game);
        measured = g_play_frames > kWarmupFrames;
        draws_before = draw_stats().draw_calls;
        cpu0 = now_ms(CLOCK_THREAD_CPUTIME_ID);
        wall0 = now_ms(CLOCK_MONOTONIC);
        if (measured) start_counting_allocations();
    }
    void after_frame(Game&) override {
        const long allocations = stop_counting_allocations();
        const double cpu1 = now_ms(CLOCK_THREAD_CPUTIME_ID);
        glFinish();  // the software rasteriser's threads finish the picture
        const double wall1 = now_ms(CLOCK_MONOTONIC);
        if (!measured) return;
        g_frame_allocations += allocations;
        g_cpu_ms.push_back(cpu1 - cpu0);
        g_wall_ms.push_back(wall1 - wall0);
        g_draws.push_back(draw_stats().draw_calls - draws_before);
    }
    bool measured = false;
    uint64_t draws_before = 0;
    double cpu0 = 0, wall0 = 0;
};

// --- menu frames with the settings dialog open: measured in a child as well ---

int g_menu_frames = 0;
long g_menu_allocations = 0;

struct MenuWatch : FrameWatcher {
    void before_frame(Game& game) override {
        if (++g_menu_frames == 1) game.shell.dialog = dialog_settings;
        measured = g_menu_frames > kWarmupFrames;
        if (measured) start_counting_allocations();
    }
    void after_frame(Game& game) override {
        const long allocations = stop_counting_allocations();
        if (measured) g_menu_allocations += allocations;
        game.redraw = true;  // a menu left alone is not drawn again: here every frame is
    }
    bool measured = false;
};

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

RunOptions options_for(const char* data_dir, int frames, bool play) {
    RunOptions o;
    o.windowed = true;
    o.play = play;
    o.frames = frames;
    o.data_dir = data_dir;
    return o;
}

// Runs the game in a child process watched by watcher for the given number of frames (a
// fresh process, so each measurement starts cold), and reads back
// the two figures the child's report function gives. False when the run failed.
template <typename T>
bool run_in_child(const char* data_dir, FrameWatcher& watcher, int frames, void (*report)(T out[2]),
                  T out[2]) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t child = fork();
    if (child == 0) {
        g_main_entry_ms = now_ms(CLOCK_MONOTONIC);
        close(fds[0]);
        const RunOptions o = options_for(data_dir, frames, false);
        auto game = std::make_unique<Game>();
        const int code = run_game(o, *game, &watcher);
        T result[2];
        report(result);
        if (write(fds[1], result, sizeof result) != sizeof result) _exit(1);
        _exit(code);
    }
    close(fds[1]);
    const bool got = read(fds[0], out, 2 * sizeof(T)) == static_cast<ssize_t>(2 * sizeof(T));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got;
}

int measure_startup(const char* data_dir) {
    double result[2];
    auto report = [](double out[2]) {
        out[0] = g_first_present_since_main;
        out[1] = g_first_present_since_start;
    };
    StartupWatch watch;
    if (!run_in_child<double>(data_dir, watch, 2, report, result)) {
        std::fprintf(stderr, "frame_bench: the start-up run failed\n");
        return 1;
    }
    std::printf(
        "start-up to first presented menu frame: %.1f ms after main(), "
        "%.0f ms after process start (10 ms resolution)\n",
        result[0], result[1]);
    return 0;
}

int measure_menu_allocations(const char* data_dir) {
    long result[2];
    auto report = [](long out[2]) {
        out[0] = g_menu_frames - kWarmupFrames;
        out[1] = g_menu_allocations;
    };
    MenuWatch watch;
    if (!run_in_child<long>(data_dir, watch, kWarmupFrames + 100, report, result)) {
        std::fprintf(stderr, "frame_bench: the menu run failed\n");
        return 1;
    }
    std::printf(
        "menu frame with the menu and settings dialogs: heap allocations in %ld steady "
        "frames: %ld\n",
        result[0], result[1]);
    return result[1] == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* data_dir = argc > 1 ? argv[1] : TORVI_SOURCE_DIR;
    if (measure_process_startup(data_dir) != 0) return 1;
    if (measure_startup(data_dir) != 0) return 1;
    if (measure_idle_menu(data_dir) != 0) return 1;
    const int menu_failed = measure_menu_allocations(data_dir);

    g_cpu_ms.reserve(kMeasuredFrames);
    g_wall_ms.reserve(kMeasuredFrames);
    g_draws.reserve(kMeasuredFrames);
    const RunOptions o = options_for(data_dir, kWarmupFrames + kMeasuredFrames, true);
    auto game = std::make_unique<Game>();
    PlayWatch watch;
    if (run_game(o, *game, &watch) != kExitOk || g_cpu_ms.empty()) {
        std::fprintf(stderr, "frame_bench: the play run failed\n");
        return 1;
    }
    std::printf("play frame, 12 characters, 1024 x 768, %zu frames after %d warm-up:\n",
                g_cpu_ms.size(), kWarmupFrames);
    std::printf("  main-thread CPU time: median %.2f ms, 99th percentile %.2f ms\n",
                percentile(g_cpu_ms, 0.5), percentile(g_cpu_ms, 0.99));
    std::printf("  wall time with rendering finished: median %.2f ms, 99th percentile %.2f ms\n",
                percentile(g_wall_ms, 0.5), percentile(g_wall_ms, 0.99));
    std::printf("  draw calls per frame: %llu\n", static_cast<unsigned long long>(g_draws[0]));
    std::printf("  heap allocations in %zu steady frames: %ld\n", g_cpu_ms.size(),
                g_frame_allocations);
    return g_frame_allocations == 0 && menu_failed == 0 ? 0 : 1;
}
