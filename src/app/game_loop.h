// The main loop: events from a source, scripted events, recording, and the three ticks on
// the scheduler's clock, until the game quits. No SDL here: the window is one event source
// and display, and tests bring their own.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/game.h"
#include "app/script.h"
#include "app/ticks.h"
#include "platform/scheduler.h"

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
    // Saves the frame drawn last, before it is presented, as a PNG file; false, with a
    // line on stderr, when it could not be written.
    virtual bool save_screenshot(const char* path) = 0;
};

struct LoopSetup {
    Clock& clock;
    FakeClock* virtual_clock = nullptr;  // non-null: time jumps from deadline to deadline
    Script script;                       // timed events played through the routing
    bool has_script = false;             // a script was given (even an empty one)
    std::FILE* record = nullptr;         // where the session's messages are written
    int frames = 0;                      // render ticks before quitting; 0: no limit
    const char* screenshot = nullptr;    // saved from the last of the frames
};

struct LoopStats {
    int frames = 0;        // render ticks run
    int failed_shots = 0;  // screenshots that could not be written
};

// Runs until the game quits: every message of the source and of the script is recorded,
// tracked and routed; due ticks run in deadline order.
LoopStats run_loop(Game& game, EventSource& events, LoopDisplay* display, LoopSetup& setup);

// Records, tracks and routes one message, as every message of the stream is.
void deliver(Game& game, const Message& msg, std::FILE* record, uint64_t now_ms);
