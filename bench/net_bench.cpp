// Eleven clients each send 100 Move messages a second to a host on loopback for ten
// seconds. The host runs in a process of its own, so its CPU time is its own, and takes
// what arrived at every 10 ms sim tick as the game does; it notes when it applied each
// message in memory both processes share. Prints messages applied and lost, the delay
// from send to apply (the wait for the next tick included), the worlds a second each
// client received, the host's CPU use and each client's traffic.
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "net/enet_session.h"
#include "support/net_side.h"

namespace {

constexpr int kClients = kPlayerSlots - 1;
constexpr int kMovesPerSecond = 100;
constexpr int kSeconds = 10;
constexpr int kMoves = kMovesPerSecond * kSeconds;

uint64_t now_ns() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000000000u + static_cast<uint64_t>(t.tv_nsec);
}

// What host and clients share: the port, and when each message was sent and applied.
struct Shared {
    std::atomic<uint16_t> port;
    std::atomic<int> done;  // clients finished sending
    uint64_t sent_ns[kClients + 1][kMoves];
    uint64_t applied_ns[kClients + 1][kMoves];
    int applied[kClients + 1];
    double host_cpu_s, host_wall_s;
};

struct Timer : RemoteEventSink {
    explicit Timer(Shared& shared) : shared(shared) {}
    void remote_event(const RemoteEvent& event) override {
        if (event.kind != remote_action || event.action.kind != kind_move) return;
        int& n = shared.applied[event.slot];
        if (n < kMoves) shared.applied_ns[event.slot][n] = now_ns();
        ++n;
    }
    Shared& shared;
};

double cpu_seconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One sim tick's network work: take what came (timing each action), send the world.
void host_tick(NetSide& host, Timer& timer) {
    NetGame game = host.game();
    take_network(game, host.net, &timer);
    send_world_when_due(game, host.net);
}

// The host: ticks every 10 ms until every client is done.
void run_host(Shared& shared) {
    NetSide host;
    Timer timer(shared);
    if (!host.host("bench")) std::_Exit(1);
    shared.port = host.net.port();
    const double cpu0 = cpu_seconds();
    const uint64_t wall0 = now_ns();
    uint64_t next = wall0;
    auto tick_until = [&](auto done) {
        while (!done()) {
            next += 10000000u;
            while (now_ns() < next) std::this_thread::sleep_for(std::chrono::microseconds(200));
            host_tick(host, timer);
        }
    };
    tick_until([&] { return shared.done.load() >= kClients; });
    const uint64_t tail = now_ns() + 200000000u;  // the last messages
    tick_until([&] { return now_ns() >= tail; });
    shared.host_cpu_s = cpu_seconds() - cpu0;
    shared.host_wall_s = (now_ns() - wall0) / 1e9;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * (values.size() - 1))];
}

}  // namespace

int main() {
    void* memory =
        mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return 1;
    Shared& shared = *new (memory) Shared{};
    const pid_t host = fork();
    if (host == 0) {
        run_host(shared);
        std::_Exit(0);
    }
    while (shared.port.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));

    std::vector<std::unique_ptr<NetSide>> clients;
    std::vector<int> slots;
    for (int i = 0; i < kClients; ++i) {
        clients.push_back(std::make_unique<NetSide>());
        clients.back()->join(shared.port, "bench", 0);
    }
    for (auto& c : clients) {
        while (!c->state.welcomed) {
            c->pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        slots.push_back(c->session.local_player_index);
    }
    // The clients count the worlds they take at their own 10 ms ticks.
    std::vector<long> worlds(kClients, 0);
    const uint64_t start = now_ns();
    for (int m = 0; m < kMoves; ++m) {
        const uint64_t due = start + static_cast<uint64_t>(m) * 1000000000u / kMovesPerSecond;
        while (now_ns() < due) std::this_thread::sleep_for(std::chrono::microseconds(200));
        for (int i = 0; i < kClients; ++i) {
            shared.sent_ns[slots[i]][m] = now_ns();
            clients[i]->net.send_action(kind_move, 0.0f, m % 2 ? -100.0f : 100.0f);
            if (clients[i]->net.take_world(clients[i]->state.incoming)) ++worlds[i];
        }
    }
    std::vector<NetTraffic> traffic;
    for (auto& c : clients) traffic.push_back(c->net.traffic());
    shared.done = kClients;
    int status = 0;
    waitpid(host, &status, 0);

    long applied = 0;
    std::vector<double> delays;
    for (int slot : slots) {
        applied += std::min(shared.applied[slot], kMoves);
        for (int m = 0; m < std::min(shared.applied[slot], kMoves); ++m) {
            delays.push_back((shared.applied_ns[slot][m] - shared.sent_ns[slot][m]) / 1e6);
        }
    }
    const double seconds = (now_ns() - start) / 1e9;
    double up = 0, down = 0;
    for (const NetTraffic& t : traffic) {
        up += t.sent_bytes;
        down += t.received_bytes;
    }
    std::printf("net: %d clients x %d Move messages a second for %d s on loopback\n", kClients,
                kMovesPerSecond, kSeconds);
    std::printf("  messages applied %ld of %d, lost %ld\n", applied, kClients * kMoves,
                kClients * kMoves - applied);
    std::printf("  send to apply: median %.3f ms, 99th percentile %.3f ms, worst %.3f ms\n",
                percentile(delays, 0.5), percentile(delays, 0.99), percentile(delays, 1.0));
    long all_worlds = 0;
    for (long w : worlds) all_worlds += w;
    std::printf("  worlds taken per client: %.1f a second\n",
                static_cast<double>(all_worlds) / kClients / seconds);
    std::printf("  host CPU: %.2f s over %.2f s wall, %.1f%% of one core\n", shared.host_cpu_s,
                shared.host_wall_s, 100.0 * shared.host_cpu_s / shared.host_wall_s);
    std::printf("  per client: %.0f bytes/s to the host, %.0f bytes/s from it\n",
                up / kClients / seconds, down / kClients / seconds);
    return applied == kClients * kMoves ? 0 : 1;
}
