// Eleven clients each send 100 Move messages a second to a host on loopback for ten
// seconds. The host runs in a process of its own, so its CPU time is its own; it notes
// when it applied each message in memory both processes share. Prints messages applied
// and lost, the delay from send to apply, the host's CPU use and each client's traffic.
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

struct Timer : ActionObserver {
    explicit Timer(Shared& shared) : shared(shared) {}
    void applied(int slot, const ActionMessage& action) override {
        if (action.kind != kind_move) return;
        int& n = shared.applied[slot];
        if (n < kMoves) shared.applied_ns[slot][n] = now_ns();
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

// The host: serves until every client is done, sending the world at the render rate.
void run_host(Shared& shared) {
    NetSide host;
    Timer timer(shared);
    host.net.set_action_observer(&timer);
    if (!host.net.host_game("bench", 0)) std::_Exit(1);
    {
        std::lock_guard<std::recursive_mutex> hold(host.lock);
        start_game_as_host(host.table, host.session);
    }
    shared.port = host.net.port();
    const double cpu0 = cpu_seconds();
    const uint64_t wall0 = now_ns();
    while (shared.done.load() < kClients) {
        host.net.send_world();
        std::this_thread::sleep_for(std::chrono::milliseconds(37));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the last messages
    shared.host_cpu_s = cpu_seconds() - cpu0;
    shared.host_wall_s = (now_ns() - wall0) / 1e9;
    host.net.set_action_observer(nullptr);
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
        clients.back()->net.join_game("127.0.0.1", shared.port, Hello{0, "bench"});
    }
    for (auto& c : clients) {
        while (!c->net.welcomed()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        slots.push_back(c->locked([&] { return c->session.local_player_index; }));
    }
    const uint64_t start = now_ns();
    for (int m = 0; m < kMoves; ++m) {
        const uint64_t due = start + static_cast<uint64_t>(m) * 1000000000u / kMovesPerSecond;
        while (now_ns() < due) std::this_thread::sleep_for(std::chrono::microseconds(200));
        for (int i = 0; i < kClients; ++i) {
            shared.sent_ns[slots[i]][m] = now_ns();
            clients[i]->net.send_action(kind_move, 0.0f, m % 2 ? -100.0f : 100.0f);
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
    std::printf("  host CPU: %.2f s over %.2f s wall, %.1f%% of one core\n", shared.host_cpu_s,
                shared.host_wall_s, 100.0 * shared.host_cpu_s / shared.host_wall_s);
    std::printf("  per client: %.0f bytes/s to the host, %.0f bytes/s from it\n",
                up / kClients / seconds, down / kClients / seconds);
    return applied == kClients * kMoves ? 0 : 1;
}
