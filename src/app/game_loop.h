// The main loop: events from a source, scripted events, recording, and the three ticks on
// the game's clock, until the game quits. No SDL here: the window is one event source and
// display, and tests bring their own.
//
// The game's clock is the loop's clock less the time the game fell behind: ticks run at
// their deadlines on it, never dropped, and a game more than kMaxCatchUpMs behind slows
// down instead of running a longer burst. Every event is stamped with the game time at
// which it reached the game, between the ticks it came between, so a record played back
// on any clock meets the same ticks in the same order.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/game.h"
#include "app/script.h"
#include "app/ticks.h"
#include "platform/scheduler.h"

constexpr uint64_t kMaxCatchUpMs = 200;

// Where the loop's messages come from.
class EventSource {
  public:
    virtual ~EventSource() = default;
    // The next pending message; false when none is pending.
    virtual bool poll(Message& msg) = 0;
    // Waits up to ms for a message; false when none came.
    virtual bool wait(Message& msg, uint32_t ms) = 0;
};

// A display that can also save what it shows.
class LoopDisplay : public Display {
  public:
    // Saves the frame drawn last as a PNG file; false, with a line on stderr, when it
    // could not be written.
    virtual bool save_screenshot(const char* path) = 0;
};

// Lets a tool stage or measure the game around every frame drawn (benchmarks, the
// screenshots of the documentation).
class FrameWatcher {
  public:
    virtual ~FrameWatcher() = default;
    virtual void before_frame(Game& game) = 0;
    virtual void after_frame(Game& game) = 0;
};

// Told after every tick, with its deadline on the game's clock: tests compare worlds
// tick by tick with it.
class TickWatcher {
  public:
    virtual ~TickWatcher() = default;
    virtual void tick_done(const Game& game, TickId id, uint64_t due_ms) = 0;
};

struct LoopSetup {
    Clock& clock;
    FakeClock* virtual_clock = nullptr;  // non-null: time jumps from deadline to deadline
    Script script{};                     // timed events played through the routing
    bool has_script = false;             // a script was given (even an empty one)
    std::FILE* record = nullptr;         // where the session's events are written
    int frames = 0;                      // render ticks before quitting; 0: no limit
    const char* screenshot = nullptr;    // saved from the last of the frames
    // A replay: the source's messages only steer the viewer (Tab, closing the window).
    bool replay = false;
    FrameWatcher* frame_watcher = nullptr;
    TickWatcher* tick_watcher = nullptr;
};

struct LoopStats {
    int frames = 0;        // render ticks run
    int drawn = 0;         // frames drawn
    int failed_shots = 0;  // screenshots that could not be written
};

// Runs until the game quits: every message of the source and of the script is recorded,
// tracked and routed; due ticks run in deadline order.
LoopStats run_loop(Game& game, EventSource& events, LoopDisplay* display, LoopSetup& setup);

// Records, tracks and routes one message, as every message of the stream is.
void deliver(Game& game, const Message& msg, std::FILE* record, uint64_t now_ms);

// A replay's viewer: Tab follows the next player in the game, closing the window quits.
void viewer_message(Game& game, const Message& msg);
