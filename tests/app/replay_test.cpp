// A hosted game with a real client on 127.0.0.1, recorded, then replayed with no network:
// the replay's world after every tick is the live one's. The host runs the real loop on
// the wall clock; the client is a network side of its own on another thread, as another
// machine would be.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/game_loop.h"
#include "app/modes.h"
#include "net/enet_session.h"
#include "support/net_side.h"
#include "support/temp_folder.h"
#include "world/spawn_points.h"

namespace {

using Steady = std::chrono::steady_clock;

class SteadyClock : public Clock {
  public:
    uint64_t now_ms() const override {
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start_).count());
    }

  private:
    Steady::time_point start_ = Steady::now();
};

class QuietSource : public EventSource {
  public:
    bool poll(Message&) override { return false; }
    bool wait(Message&, uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return false;
    }
};

// What a tick left of the world: every record but the host's network ids, the effects,
// and the host's camera.
struct WorldAfterTick {
    TickId id;
    uint64_t due_ms;
    PlayerTable table;
    EffectList effects;
    Camera cam;
};

bool operator==(const WorldAfterTick& a, const WorldAfterTick& b) {
    return a.id == b.id && a.due_ms == b.due_ms &&
           std::memcmp(&a.table, &b.table, sizeof a.table) == 0 &&
           std::memcmp(&a.effects, &b.effects, sizeof a.effects) == 0 &&
           std::memcmp(&a.cam, &b.cam, sizeof a.cam) == 0;
}

struct WorldLog : TickWatcher {
    void tick_done(const Game& game, TickId id, uint64_t due_ms) override {
        WorldAfterTick world{id, due_ms, game.table, game.effects, game.cam};
        for (PlayerRecord& record : world.table.slots) record.net_id = 0;
        ticks.push_back(world);
    }
    std::vector<WorldAfterTick> ticks;
};

// A game as run_game makes it, without a window: the shipped settings and bindings.
std::unique_ptr<Game> make_game() {
    auto game = std::make_unique<Game>();
    load_control_table(game->input.controls, game->settings);
    console_lines_init(game->console, 8);
    return game;
}

// The other machine: joins, turns its camera, walks, jumps, attacks, leaves, and says so
// with the file done.
void play_client(const Network& host, bool& welcomed, const std::string& done) {
    while (host.port() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    NetSide client;
    client.join(host.port(), "bea", 3);
    const auto deadline = Steady::now() + std::chrono::seconds(60);  // a hang's end only
    while (!client.state.welcomed && Steady::now() < deadline) {
        client.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    welcomed = client.state.welcomed;
    NetGame game = client.game();
    // Looking along +x: the client's forward is +x, whatever the host's camera does.
    send_view_when_due(game, client.net, Camera{{-4, 5, 0}, {1, 0, 0}}, 0);
    for (int step = 0; step < 60; ++step) {
        client.net.send_action(kind_move, step < 30 ? 0.0f : 100.0f, -100.0f);
        if (step == 20) client.net.send_action(kind_button_down, button_jump, 0.0f);
        if (step == 25) client.net.send_action(kind_button_up, button_jump, 0.0f);
        if (step == 40) client.net.send_action(kind_button_down, button_primary_attack, 0.0f);
        client.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    client.net.leave_client();
    write_text(done, "");
}

TEST(Replay, AHostsRecordReplaysItsNetworkedGameTickForTick) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> record(std::tmpfile(), std::fclose);
    ASSERT_TRUE(record);
    const TempFolder folder("torvi-replay-");
    const std::string done = folder.file("done");
    const std::string wait = "1000 wait file " + done;
    WorldLog live;
    {
        auto host = make_game();
        set_setting_in_memory(host->settings, kSectionNet, kKeyPort, "0");  // any free port
        NetSession net;
        host->net = &net;
        SteadyClock clock;
        QuietSource source;
        LoopSetup setup{clock};
        for (const char* line : {"0 start host", "300 key down W", "700 key down L", "800 key up L",
                                 "900 key up W", "2200 quit"}) {
            ASSERT_TRUE(append_script_line(setup.script, line).ok) << line;
        }
        setup.has_script = true;
        setup.record = record.get();
        setup.tick_watcher = &live;
        bool welcomed = false;
        std::thread client([&] { play_client(net, welcomed, done); });
        run_loop(*host, source, nullptr, setup);
        client.join();
        host->net = nullptr;
        ASSERT_TRUE(welcomed);
    }
    std::fflush(record.get());
    std::rewind(record.get());
    Script script;
    char line[kScriptLineSize];
    std::string text;
    while (std::fgets(line, sizeof line, record.get())) {
        line[std::strcspn(line, "\n")] = '\0';
        text += line;
        text += '\n';
        ASSERT_TRUE(append_script_line(script, line).ok) << line;
    }
    for (const char* kind : {" connect 1", " join 1 3 bea", " view 1 -4 5 0 1 0 0",
                             " action 1 move", " action 1 down 2", " leave 1"}) {
        EXPECT_NE(text.find(kind), std::string::npos) << kind << " not in the record";
    }

    auto replayed = make_game();
    FakeClock clock;
    QuietSource source;
    WorldLog replay;
    LoopSetup setup{clock, &clock};
    setup.script = script;
    setup.has_script = true;
    setup.replay = true;
    setup.tick_watcher = &replay;
    run_loop(*replayed, source, nullptr, setup);

    ASSERT_EQ(replay.ticks.size(), live.ticks.size());
    for (size_t i = 0; i < live.ticks.size(); ++i) {
        ASSERT_TRUE(replay.ticks[i] == live.ticks[i])
            << "tick " << i << " (id " << live.ticks[i].id << " at " << live.ticks[i].due_ms
            << " ms) differs";
    }
    // The client really played: it walked forward by its own camera, and left.
    const PlayerTable& end = live.ticks.back().table;
    EXPECT_EQ(end.slots[1].slot_state, slot_free);
    bool moved = false;
    const Vec3 start = spawn_point(1);
    for (const WorldAfterTick& world : live.ticks) {
        const Vec3& at = world.table.slots[1].position;
        moved = moved || (at.x > start.x + 1.0f && std::fabs(at.z - start.z) < 0.5f);
    }
    EXPECT_TRUE(moved);
}

}  // namespace
