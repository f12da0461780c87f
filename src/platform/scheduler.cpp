#include "platform/scheduler.h"

#include "platform/assertion.h"

void start_scheduler(Scheduler& scheduler, uint64_t now) {
    scheduler.timers[0] = {sim_tick, kSimPeriodMs, now + kSimPeriodMs};
    scheduler.timers[1] = {phase_tick, kPhasePeriodMs, now + kPhasePeriodMs};
    scheduler.timers[2] = {render_tick, kRenderPeriodMs, now + kRenderPeriodMs};
}

NextTick next_tick(const Scheduler& scheduler, uint64_t now) {
    const TickTimer* first = &scheduler.timers[0];
    for (const TickTimer& timer : scheduler.timers) {
        if (timer.due_ms < first->due_ms) first = &timer;
    }
    const bool due = first->due_ms <= now;
    return {first->id, due, due ? 0u : static_cast<uint32_t>(first->due_ms - now)};
}

uint64_t next_deadline(const Scheduler& scheduler) {
    uint64_t first = scheduler.timers[0].due_ms;
    for (const TickTimer& timer : scheduler.timers)
        first = timer.due_ms < first ? timer.due_ms : first;
    return first;
}

void tick_ran(Scheduler& scheduler, TickId id) {
    bool known = false;
    for (TickTimer& timer : scheduler.timers) {
        if (timer.id != id) continue;
        known = true;
        timer.due_ms += timer.period_ms;
    }
    TORVI_ASSERT(known, "only the three ticks run");
}
