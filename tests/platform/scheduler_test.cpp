#include "platform/scheduler.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct Fired {
    TickId id;
    uint64_t at;
};

// Runs the loop's decisions on a fake clock: run a due tick, else jump to the next deadline.
std::vector<Fired> run_until(FakeClock& clock, Scheduler& scheduler, uint64_t end) {
    std::vector<Fired> fired;
    while (clock.now_ms() <= end) {
        const NextTick next = next_tick(scheduler, clock.now_ms());
        if (next.due) {
            fired.push_back({next.id, clock.now_ms()});
            tick_ran(scheduler, next.id, clock.now_ms());
        } else {
            clock.advance(next.wait_ms);
        }
    }
    return fired;
}

std::map<TickId, int> counts(const std::vector<Fired>& fired) {
    std::map<TickId, int> result;
    for (const Fired& f : fired) ++result[f.id];
    return result;
}

TEST(Scheduler, OneSecondGivesEachTimerItsPeriod) {
    FakeClock clock;
    Scheduler scheduler;
    start_scheduler(scheduler, clock.now_ms());
    const auto fired = run_until(clock, scheduler, 1000);
    auto n = counts(fired);
    EXPECT_EQ(n[sim_tick], 100);
    EXPECT_EQ(n[phase_tick], 8);
    EXPECT_EQ(n[render_tick], 27);
    for (const Fired& f : fired) {
        const uint64_t period = f.id == sim_tick ? 10 : f.id == phase_tick ? 125 : 37;
        EXPECT_EQ(f.at % period, 0u) << "tick " << f.id << " at " << f.at;
    }
}

TEST(Scheduler, WaitIsTheTimeToTheEarliestDeadlineOnAFixedGridAndTiesRunInOrder) {
    Scheduler scheduler;
    start_scheduler(scheduler, 1000);
    NextTick next = next_tick(scheduler, 1003);
    EXPECT_FALSE(next.due);
    EXPECT_EQ(next.id, sim_tick);
    EXPECT_EQ(next.wait_ms, 7u);
    tick_ran(scheduler, sim_tick, 1010);
    tick_ran(scheduler, sim_tick, 1020);
    tick_ran(scheduler, sim_tick, 1033);  // ran 3 ms late
    next = next_tick(scheduler, 1033);
    EXPECT_EQ(next.id, render_tick);  // due at 1037, before sim at 1040
    EXPECT_EQ(next.wait_ms, 4u);
    tick_ran(scheduler, render_tick, 1037);
    EXPECT_EQ(next_tick(scheduler, 1037).wait_ms, 3u);  // the late tick did not shift the grid

    for (TickTimer& t : scheduler.timers) t.due_ms = 2000;
    std::vector<TickId> order;
    for (int i = 0; i < 3; ++i) {
        next = next_tick(scheduler, 2000);
        ASSERT_TRUE(next.due);
        order.push_back(next.id);
        tick_ran(scheduler, next.id, 2000);
    }
    EXPECT_EQ(order, (std::vector<TickId>{sim_tick, phase_tick, render_tick}));
}

TEST(Scheduler, AStallRunsEachTimerOnceThenResumesItsBeat) {
    FakeClock clock;
    Scheduler scheduler;
    start_scheduler(scheduler, 0);
    clock.set(5000);  // the process was stopped for five seconds
    std::map<TickId, int> after_stall;
    for (;;) {
        const NextTick next = next_tick(scheduler, clock.now_ms());
        if (!next.due) break;
        ++after_stall[next.id];
        tick_ran(scheduler, next.id, clock.now_ms());
    }
    EXPECT_EQ(after_stall[sim_tick], 1);
    EXPECT_EQ(after_stall[phase_tick], 1);
    EXPECT_EQ(after_stall[render_tick], 1);
    // The timers keep their own beat: sim next at 5010, phase at 5125.
    const auto fired = run_until(clock, scheduler, 5125);
    ASSERT_FALSE(fired.empty());
    EXPECT_EQ(fired.front().id, sim_tick);
    EXPECT_EQ(fired.front().at, 5010u);
    EXPECT_EQ(counts(fired)[phase_tick], 1);
}

}  // namespace
