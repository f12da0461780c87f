#include "app/game_loop.h"

#include <algorithm>

#include "app/modes.h"

namespace {

constexpr size_t kRecordLineSize = 128;

struct Loop {
    Game& game;
    EventSource& events;
    LoopDisplay* display;
    LoopSetup& setup;
    Scheduler scheduler{};
    size_t next_event = 0;
    char shot_path[kScriptPathSize] = {};  // saved at the next present when not empty
    LoopStats stats;
};

// Saves a requested screenshot before the frame is shown.
class ShootingDisplay : public Display {
  public:
    explicit ShootingDisplay(Loop& loop) : loop_(loop) {}
    void draw(Game& game) override { loop_.display->draw(game); }
    void present() override {
        if (loop_.shot_path[0] != '\0') {
            if (!loop_.display->save_screenshot(loop_.shot_path)) ++loop_.stats.failed_shots;
            loop_.shot_path[0] = '\0';
        }
        loop_.display->present();
    }

  private:
    Loop& loop_;
};

uint64_t now(const Loop& loop) {
    return loop.setup.clock.now_ms();
}

void play_event(Loop& loop, const ScriptEvent& event) {
    switch (event.action) {
        case script_message:
            deliver(loop.game, script_message_at(event, mouse_buttons(loop.game.keys)),
                    loop.setup.record, now(loop));
            break;
        case script_screenshot:
            std::snprintf(loop.shot_path, sizeof loop.shot_path, "%s",
                          loop.setup.script.shot_paths[event.shot].c_str());
            break;
        case script_quit:
            deliver(loop.game, close_message(), loop.setup.record, now(loop));
            break;
    }
}

void pump_events(Loop& loop) {
    Message msg;
    while (loop.game.shell.running && loop.events.poll(msg)) {
        deliver(loop.game, msg, loop.setup.record, now(loop));
    }
}

void play_due_events(Loop& loop) {
    const std::vector<ScriptEvent>& script = loop.setup.script.events;
    while (loop.game.shell.running && loop.next_event < script.size() &&
           script[loop.next_event].time_ms <= now(loop)) {
        play_event(loop, script[loop.next_event++]);
    }
}

bool script_over(const Loop& loop) {
    return loop.setup.has_script && loop.next_event >= loop.setup.script.events.size();
}

uint32_t wait_for_script(const Loop& loop, uint32_t wait) {
    const std::vector<ScriptEvent>& script = loop.setup.script.events;
    if (loop.next_event >= script.size()) return wait;
    const uint64_t due = script[loop.next_event].time_ms;
    const uint64_t at = now(loop);
    return due <= at ? 0 : static_cast<uint32_t>(std::min<uint64_t>(due - at, wait));
}

void run_due_tick(Loop& loop, TickId id) {
    const LoopSetup& setup = loop.setup;
    const bool last_frame = id == render_tick && loop.stats.frames + 1 == setup.frames;
    if (last_frame && setup.screenshot) {
        std::snprintf(loop.shot_path, sizeof loop.shot_path, "%s", setup.screenshot);
    }
    ShootingDisplay display(loop);
    run_tick(loop.game, id, loop.display ? &display : nullptr);
    tick_ran(loop.scheduler, id, now(loop));
    if (id == render_tick) ++loop.stats.frames;
    if (last_frame) quit_program(loop.game);
}

void wait_for_next(Loop& loop, uint32_t wait) {
    if (loop.setup.virtual_clock) {
        loop.setup.virtual_clock->advance(wait);
        return;
    }
    Message msg;
    if (wait > 0 && loop.events.wait(msg, wait)) {
        deliver(loop.game, msg, loop.setup.record, now(loop));
    }
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
    track_input(game, msg);
    window_procedure(game, msg);
}

LoopStats run_loop(Game& game, EventSource& events, LoopDisplay* display, LoopSetup& setup) {
    Loop loop{game, events, display, setup, Scheduler{}, 0, {}, LoopStats{}};
    start_scheduler(loop.scheduler, now(loop));
    while (game.shell.running) {
        pump_events(loop);
        play_due_events(loop);
        if (!game.shell.running) break;
        // On its own clock a script without "quit" ends after its last event, once a
        // screenshot it asked for last has been taken.
        if (setup.virtual_clock && script_over(loop) && setup.frames == 0 &&
            loop.shot_path[0] == '\0') {
            quit_program(game);
            break;
        }
        const NextTick next = next_tick(loop.scheduler, now(loop));
        if (next.due) {
            run_due_tick(loop, next.id);
            continue;
        }
        wait_for_next(loop, wait_for_script(loop, next.wait_ms));
    }
    return loop.stats;
}
