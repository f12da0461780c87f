// Times the host's two simulation ticks and checks that they allocate nothing.
//
// Prints the median and 99th percentile of one 10 ms tick (physics_step on all 12 slots)
// and of one 125 ms phase step that hits, and the heap allocations made inside them.
// Exits non-zero when either allocated.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>

#include "effects/effect_list.h"
#include "world/movement.h"
#include "world/phases.h"
#include "world/player_table.h"

namespace {

constexpr int kTicks = 200000;
constexpr int kPhaseSteps = 200000;

// Counted only while a measured region runs; the benchmark is single-threaded.
bool g_counting = false;
long g_allocations = 0;

void* counted_malloc(std::size_t size) {
    if (g_counting) ++g_allocations;
    return std::malloc(size ? size : 1);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = counted_malloc(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = counted_malloc(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return counted_malloc(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return counted_malloc(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    long median_ns;
    long p99_ns;
    long allocations;
};

Figures summarise(std::vector<long>& samples, long allocations) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 99 / 100], allocations};
}

// Runs one measured call and records its time; allocations inside it are counted.
template <typename Work>
void measure(std::vector<long>& samples, Work&& work) {
    g_counting = true;
    const Clock::time_point start = Clock::now();
    work();
    const Clock::time_point end = Clock::now();
    g_counting = false;
    samples.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count());
}

PlayerRecord player(Vec3 position, Vec3 velocity) {
    PlayerRecord r{};
    r.position = position;
    r.velocity = velocity;
    r.health = 100;
    r.slot_state = slot_in_game;
    return r;
}

// Slots 0..3 press diagonally against the four sides of the box and slide along them,
// 4..7 walk across the open map, 8..11 keep jumping and falling.
const Vec3 kStarts[kPlayerSlots] = {
    {1.8f, 0.0f, -2.6f},    {4.2f, 0.0f, -3.4f},   {3.4f, 0.0f, -1.8f},   {2.6f, 0.0f, -4.2f},
    {10.0f, 0.0f, -10.0f},  {20.0f, 0.0f, -5.0f},  {30.0f, 0.0f, -30.0f}, {5.0f, 0.0f, -35.0f},
    {15.0f, 20.0f, -15.0f}, {25.0f, 5.0f, -25.0f}, {35.0f, 0.0f, -20.0f}, {8.0f, 1.0f, -20.0f},
};
const Vec3 kHeld[kPlayerSlots] = {
    {50.0f, 0.0f, -20.0f}, {-50.0f, 0.0f, 20.0f}, {-20.0f, 0.0f, -50.0f}, {20.0f, 0.0f, 50.0f},
    {50.0f, 0.0f, 0.0f},   {0.0f, 0.0f, -50.0f},  {-35.0f, 0.0f, 35.0f},  {35.0f, 0.0f, 35.0f},
    {0.0f, 0.0f, 0.0f},    {10.0f, 0.0f, 0.0f},   {0.0f, 0.0f, 0.0f},     {-20.0f, 0.0f, 0.0f},
};
constexpr int kTicksPerRun = 120;  // then everyone goes back to the start

// What the input tick would do before the step: hold the movement, jump from the ground.
void hold_input(PlayerTable& table, int tick) {
    for (int i = 0; i < kPlayerSlots; ++i) {
        PlayerRecord& r = table.slots[i];
        if (tick % kTicksPerRun == 0) r = player(kStarts[i], {0.0f, 0.0f, 0.0f});
        r.velocity.x = kHeld[i].x;
        r.velocity.z = kHeld[i].z;
        if (i >= 8 && r.position.y == 0.0f) r.velocity.y = 200.0f;
    }
}

Figures bench_physics_tick() {
    PlayerTable table;
    init_player_table(table);
    std::vector<long> samples;
    samples.reserve(kTicks);
    const long before = g_allocations;
    for (int tick = 0; tick < kTicks; ++tick) {
        hold_input(table, tick);
        measure(samples, [&] {
            for (PlayerRecord& r : table.slots) physics_step(r);
        });
    }
    return summarise(samples, g_allocations - before);
}

// An attack about to hit, with most of the table standing within reach.
void arm_attack(PlayerTable& table) {
    for (int i = 0; i < kPlayerSlots; ++i)
        table.slots[i] =
            player({10.0f + 0.15f * static_cast<float>(i), 0.0f, -10.0f}, {0.0f, 0.0f, 0.0f});
    PlayerRecord& attacker = table.slots[0];
    attacker.velocity = {50.0f, 0.0f, 0.0f};
    attacker.action = action_attack;
    attacker.action_phase = 2;
}

Figures bench_phase_step() {
    PlayerTable table;
    init_player_table(table);
    EffectList effects;
    init_effect_list(effects);
    Fight fight{false, 0, {}};
    std::vector<long> samples;
    samples.reserve(kPhaseSteps);
    const long before = g_allocations;
    for (int step = 0; step < kPhaseSteps; ++step) {
        arm_attack(table);
        measure(samples, [&] { phase_step(table.slots[0], table, effects, fight); });
    }
    return summarise(samples, g_allocations - before);
}

void print(const char* what, int repetitions, const Figures& f) {
    std::printf("%s: median %ld ns, p99 %ld ns over %d repetitions\n", what, f.median_ns, f.p99_ns,
                repetitions);
    std::printf("%s: %ld heap allocations\n", what, f.allocations);
}

}  // namespace

int main() {
    const Figures tick = bench_physics_tick();
    const Figures phase = bench_phase_step();
    print("10 ms tick, physics_step on 12 players", kTicks, tick);
    print("125 ms phase_step with a hit", kPhaseSteps, phase);
    if (tick.allocations != 0 || phase.allocations != 0) {
        std::printf("FAIL: a tick allocated on the heap\n");
        return 1;
    }
    return 0;
}
