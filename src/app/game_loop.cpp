#include "app/game_loop.h"

#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "app/modes.h"
#include "config/ini_text.h"

namespace {

constexpr size_t kRecordLineSize = 256;

struct Loop : RemoteEventSink {
    Loop(Game& game, EventSource& events, LoopDisplay* display, LoopSetup& setup)
        : game(game), events(events), display(display), setup(setup) {}

    // A remote event the sim tick running now took from the network: it happened at the
    // tick's deadline, before the tick's own work.
    void remote_event(const RemoteEvent& event) override;

    Game& game;
    EventSource& events;
    LoopDisplay* display;
    LoopSetup& setup;
    Scheduler scheduler{};
    size_t next_event = 0;
    uint64_t lag_ms = 0;         // the loop's clock less the game's
    int64_t last_group_ms = -1;  // deadline of the ticks run last; -1 before the first
    uint64_t group_ms = 0;       // deadline of the ticks running now
    uint64_t script_offset = 0;  // how long the script's waits held it
    uint64_t last_stamp_ms = 0;  // the latest time an event was stamped with
    bool waiting = false;        // the script waits for a file
    bool shot_pending = false;
    uint64_t shot_ms = 0;
    char shot_path[kScriptPathSize] = {};
    LoopStats stats;
};

uint64_t game_now(const Loop& loop) {
    const uint64_t now = loop.setup.clock.now_ms();
    return now > loop.lag_ms ? now - loop.lag_ms : 0;
}

// When an event that reaches the game now happened on the game's clock: after the ticks
// that ran, and no later than the next one due, which has not run yet.
uint64_t event_time(Loop& loop) {
    const uint64_t after_last = static_cast<uint64_t>(loop.last_group_ms + 1);
    const uint64_t stamp =
        std::clamp(game_now(loop), after_last, std::max(after_last, next_deadline(loop.scheduler)));
    loop.last_stamp_ms = std::max(loop.last_stamp_ms, stamp);
    return stamp;
}

void write_record_line(const Loop& loop, const char* line) {
    if (loop.setup.record) std::fprintf(loop.setup.record, "%s\n", line);
}

void record_remote(const Loop& loop, uint64_t time_ms, const RemoteEvent& event) {
    char line[kRecordLineSize];
    if (format_remote_line(time_ms, event, line, sizeof line)) write_record_line(loop, line);
}

void Loop::remote_event(const RemoteEvent& event) {
    last_stamp_ms = std::max(last_stamp_ms, group_ms);
    record_remote(*this, group_ms, event);
}

// --- the script

uint64_t due_time(const Loop& loop, const ScriptEvent& event) {
    return event.time_ms + loop.script_offset;
}

void start_from_script(Loop& loop, const ScriptEvent& event) {
    const char* address = loop.setup.script.texts[event.text].c_str();
    write_record_line(loop, format_start_line(event_time(loop), event.start, address).c_str());
    switch (event.start) {
        case start_play:
            return start_local_game(loop.game, true);
        case start_host:
            return start_hosting(loop.game);
        case start_join:
            return join_game_from_text(loop.game, address);
        case start_dedicated:
            return start_dedicated_host(loop.game);
    }
}

void play_remote(Loop& loop, const RemoteEvent& event) {
    record_remote(loop, event_time(loop), event);
    RemoteWorld world{loop.game.table, loop.game.net_state.views, loop.game.console};
    apply_remote_event(world, event);
    loop.game.redraw = true;
}

void take_screenshot(Loop& loop);

void ask_for_screenshot(Loop& loop, const ScriptEvent& event) {
    if (loop.shot_pending) take_screenshot(loop);
    loop.shot_pending = true;
    loop.shot_ms = due_time(loop, event);
    std::snprintf(loop.shot_path, sizeof loop.shot_path, "%s",
                  loop.setup.script.texts[event.text].c_str());
}

bool file_exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Plays one event; false when it holds the script (a wait whose file is not there yet).
bool play_event(Loop& loop, const ScriptEvent& event) {
    Game& game = loop.game;
    switch (event.action) {
        case script_message:
            deliver(game, script_message_at(event, mouse_buttons(game.keys)), loop.setup.record,
                    event_time(loop));
            return true;
        case script_screenshot:
            ask_for_screenshot(loop, event);
            return true;
        case script_quit:
            deliver(game, close_message(), loop.setup.record, event_time(loop));
            return true;
        case script_wait_file:
            if (!file_exists(loop.setup.script.texts[event.text])) return false;
            // The lines after it count from now.
            loop.script_offset = std::max(loop.script_offset, game_now(loop) - event.time_ms);
            return true;
        case script_start:
            start_from_script(loop, event);
            return true;
        case script_remote:
            play_remote(loop, loop.setup.script.remotes[event.text]);
            return true;
    }
    return true;
}

// The script's events that are due, each after the ticks due before it: a game running
// behind its clock still holds a key for as many ticks as the script says.
void play_due_events(Loop& loop) {
    const std::vector<ScriptEvent>& script = loop.setup.script.events;
    loop.waiting = false;
    auto due_now = [&loop](const ScriptEvent& event) {
        const uint64_t due = due_time(loop, event);
        return due <= game_now(loop) && due <= next_deadline(loop.scheduler);
    };
    while (loop.game.shell.running && loop.next_event < script.size() &&
           due_now(script[loop.next_event])) {
        if (!play_event(loop, script[loop.next_event])) {
            loop.waiting = true;  // looked at again after the next tick
            return;
        }
        ++loop.next_event;
    }
}

bool script_over(const Loop& loop) {
    return loop.setup.has_script && loop.next_event >= loop.setup.script.events.size();
}

uint32_t wait_for_script(const Loop& loop, uint32_t wait) {
    const std::vector<ScriptEvent>& script = loop.setup.script.events;
    if (loop.waiting || loop.next_event >= script.size()) return wait;
    const uint64_t due = due_time(loop, script[loop.next_event]);
    const uint64_t at = game_now(loop);
    return due <= at ? 0 : static_cast<uint32_t>(std::min<uint64_t>(due - at, wait));
}

// --- the source's messages

void take_message(Loop& loop, const Message& msg) {
    if (loop.setup.replay) return viewer_message(loop.game, msg);
    deliver(loop.game, msg, loop.setup.record, event_time(loop));
}

void pump_events(Loop& loop) {
    Message msg;
    while (loop.game.shell.running && loop.events.poll(msg)) take_message(loop, msg);
}

// --- the ticks

// A record keeps the picture with the game time it shows, so its replay takes it again
// (later only when an event of a machine that fell behind was stamped later already).
void take_screenshot(Loop& loop) {
    loop.shot_pending = false;
    loop.last_stamp_ms = std::max(loop.last_stamp_ms, loop.shot_ms);
    const std::string line =
        std::to_string(loop.last_stamp_ms) + " screenshot " + std::string(loop.shot_path);
    write_record_line(loop, line.c_str());
    if (!loop.display) return;
    loop.display->draw(loop.game);
    if (!loop.display->save_screenshot(loop.shot_path)) ++loop.stats.failed_shots;
    loop.game.redraw = true;  // the back buffer no longer holds the frame shown
}

void draw_frame(Loop& loop, bool last) {
    Game& game = loop.game;
    if (loop.setup.frame_watcher) loop.setup.frame_watcher->before_frame(game);
    loop.display->draw(game);
    game.redraw = false;
    if (loop.setup.frame_watcher) loop.setup.frame_watcher->after_frame(game);
    if (last && loop.setup.screenshot && !loop.display->save_screenshot(loop.setup.screenshot)) {
        ++loop.stats.failed_shots;
    }
    loop.display->present();
    ++loop.stats.drawn;
}

// The frame's own work runs at every render tick; the frame is drawn unless nothing on
// screen changed or the next frame is due already (the machine is behind).
void run_render_tick(Loop& loop, uint64_t due) {
    Game& game = loop.game;
    run_frame_step(game);
    ++loop.stats.frames;
    const bool last = loop.stats.frames == loop.setup.frames;
    const bool behind = game_now(loop) >= due + kRenderPeriodMs;
    if (loop.display && (last || (!behind && needs_redraw(game)))) draw_frame(loop, last);
    end_frame_step(game);
    if (last) quit_program(game);
}

void run_tick(Loop& loop, TickId id, uint64_t due) {
    switch (id) {
        case sim_tick:
            run_sim_tick(loop.game);
            break;
        case phase_tick:
            run_phase_tick(loop.game);
            break;
        case render_tick:
            run_render_tick(loop, due);
            break;
    }
    tick_ran(loop.scheduler, id);
    if (loop.setup.tick_watcher) loop.setup.tick_watcher->tick_done(loop.game, id, due);
}

// A game far behind its clock slows down: it owes at most kMaxCatchUpMs of ticks.
void bound_catch_up(Loop& loop, uint64_t due) {
    const uint64_t now = game_now(loop);
    if (loop.setup.virtual_clock || now <= due + kMaxCatchUpMs) return;
    loop.lag_ms += now - due - kMaxCatchUpMs;
}

// Every tick due at one deadline, in the scheduler's order, with no event between them.
void run_ticks_due_at(Loop& loop, uint64_t due) {
    bound_catch_up(loop, due);
    if (loop.shot_pending && loop.shot_ms < due) take_screenshot(loop);
    loop.group_ms = due;
    for (NextTick next = next_tick(loop.scheduler, due);
         next.due && next_deadline(loop.scheduler) == due && loop.game.shell.running;
         next = next_tick(loop.scheduler, due)) {
        run_tick(loop, next.id, due);
    }
    loop.last_group_ms = static_cast<int64_t>(due);
    if (loop.shot_pending && loop.shot_ms <= due) take_screenshot(loop);
}

void wait_for_next(Loop& loop, uint32_t wait) {
    if (loop.setup.virtual_clock) {
        loop.setup.virtual_clock->advance(wait);
        return;
    }
    Message msg;
    if (wait > 0 && loop.events.wait(msg, wait)) take_message(loop, msg);
}

}  // namespace

void deliver(Game& game, const Message& msg, std::FILE* record, uint64_t now_ms) {
    if (record) {
        char line[kRecordLineSize];
        if (msg.id == msg_close) {
            std::fprintf(record, "%llu quit\n", static_cast<unsigned long long>(now_ms));
        } else if (format_script_line(now_ms, msg, line, sizeof line)) {
            std::fprintf(record, "%s\n", line);
        }
    }
    game.redraw = true;
    track_input(game, msg);
    window_procedure(game, msg);
}

void viewer_message(Game& game, const Message& msg) {
    if (msg.id == msg_close) return quit_program(game);
    game.redraw = true;
    if (msg.id != msg_key_down || msg.wparam != vk_tab || (msg.lparam & kKeyRepeatBit)) return;
    const int first = game.view_slot >= 0 ? game.view_slot : game.session.local_player_index;
    for (int step = 1; step <= kPlayerSlots; ++step) {
        const int slot = ((first < 0 ? 0 : first) + step) % kPlayerSlots;
        if (game.table.slots[slot].slot_state == slot_in_game) {
            game.view_slot = slot;
            return;
        }
    }
}

// What a replay needs besides the events: the window's size and the settings.
void write_record_header(const Loop& loop) {
    if (!loop.setup.record) return;
    const Game& game = loop.game;
    write_record_line(
        loop, format_screen_line(game.dialogs.screen_width, game.dialogs.screen_height).c_str());
    ini_walk(game.settings.text, [&](const IniLine& line) {
        if (line.starts_section) return;
        const std::string section(line.section), key(line.key), value(line.value);
        // Only what a replay can read back: usable names, no zero bytes, a line that fits.
        const auto readable = [](const std::string& name) {
            return name.size() < kScriptPathSize && name.find('\0') == std::string::npos;
        };
        if (ini_name_problem(section.c_str(), ini_section) ||
            ini_name_problem(key.c_str(), ini_key) || !readable(section) || !readable(key) ||
            value.find('\0') != std::string::npos) {
            return;
        }
        const std::string text = format_setting_line(section.c_str(), key.c_str(), value.c_str());
        if (text.size() < kScriptLineSize) write_record_line(loop, text.c_str());
    });
}

LoopStats run_loop(Game& game, EventSource& events, LoopDisplay* display, LoopSetup& setup) {
    Loop loop(game, events, display, setup);
    loop.lag_ms = setup.clock.now_ms();  // the game's clock starts at 0
    start_scheduler(loop.scheduler, 0);
    write_record_header(loop);
    game.recorder = setup.record ? &loop : nullptr;
    while (game.shell.running) {
        pump_events(loop);
        play_due_events(loop);
        if (!game.shell.running) break;
        // On its own clock a script without "quit" ends after its last event, once a
        // screenshot it asked for last has been taken.
        if (setup.virtual_clock && script_over(loop) && setup.frames == 0 && !loop.shot_pending) {
            quit_program(game);
            break;
        }
        const NextTick next = next_tick(loop.scheduler, game_now(loop));
        if (next.due) {
            run_ticks_due_at(loop, next_deadline(loop.scheduler));
            continue;
        }
        wait_for_next(loop, wait_for_script(loop, next.wait_ms));
    }
    if (loop.shot_pending) take_screenshot(loop);
    game.recorder = nullptr;
    return loop.stats;
}
