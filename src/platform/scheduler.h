// The three periodic ticks that drive all work, served one at a time on the main thread.
//
// Each timer has a deadline on the game's clock; the loop asks which tick is due next and
// how long it may wait for events until then. No tick is ever dropped: every deadline
// runs, in order, so the same clock gives the same ticks (the loop bounds how far its
// clock may run ahead).
#pragma once
#include <cstdint>

enum TickId : uint32_t {
    render_tick = 275,
    sim_tick = 32771,
    phase_tick = 32772,
};

// Where time comes from; tests drive a fake one.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual uint64_t now_ms() const = 0;
};

// A clock that moves only when told to.
class FakeClock : public Clock {
  public:
    uint64_t now_ms() const override { return now_; }
    void advance(uint64_t ms) { now_ += ms; }
    void set(uint64_t ms) { now_ = ms; }

  private:
    uint64_t now_ = 0;
};

struct TickTimer {
    TickId id;
    uint32_t period_ms;
    uint64_t due_ms;
};

constexpr int kTickTimerCount = 3;
constexpr uint32_t kRenderPeriodMs = 37;
constexpr uint32_t kSimPeriodMs = 10;
constexpr uint32_t kPhasePeriodMs = 125;

// Timers in the order ties are broken: input and movement first, then phases, then the
// frame, so a frame shows the state of the ticks due at the same moment.
struct Scheduler {
    TickTimer timers[kTickTimerCount];
};

struct NextTick {
    TickId id;
    bool due;          // the deadline has passed: run it now
    uint32_t wait_ms;  // otherwise how long until it is due
};

// Every timer first fires one period after now.
void start_scheduler(Scheduler& scheduler, uint64_t now);
// The timer with the earliest deadline; of timers due together, the first in order.
NextTick next_tick(const Scheduler& scheduler, uint64_t now);
// The earliest deadline of any timer.
uint64_t next_deadline(const Scheduler& scheduler);
// Moves the timer's deadline on by one period.
void tick_ran(Scheduler& scheduler, TickId id);
