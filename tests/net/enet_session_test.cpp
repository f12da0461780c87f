// A host and its clients in one process on 127.0.0.1, each with the parts of a game the
// session works on, talking through real ENet on a free port.
#include "net/enet_session.h"

#include <enet/enet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/slots.h"
#include "support/net_side.h"

namespace {

using Clock = std::chrono::steady_clock;
// How long a test waits for what it expects before it fails: far beyond what a loaded
// machine under a sanitizer takes.
constexpr auto kPatience = std::chrono::seconds(30);
// Silence this long after the last answer means no more are coming.
constexpr auto kQuiet = std::chrono::milliseconds(300);

class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host_.host());
        port_ = host_.net.port();
        ASSERT_NE(port_, 0);
    }
    // Runs sim ticks on every side, one a millisecond, until check holds; the limit only
    // ends a test that would otherwise hang.
    template <typename Check>
    bool eventually(Check check) {
        const auto end = Clock::now() + kPatience;
        while (Clock::now() < end) {
            pump_all();
            if (check()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return check();
    }
    void pump_all() {
        host_.pump();
        for (auto& c : clients_) c->pump();
    }
    // A client that joined, with its hello sent.
    NetSide& join(const char* name = "ann", int element = 2) {
        clients_.push_back(std::make_unique<NetSide>());
        NetSide& c = *clients_.back();
        EXPECT_TRUE(c.join(port_, name, element));
        return c;
    }
    bool welcomed(NetSide& c) {
        return eventually([&] { return c.state.welcomed; });
    }
    SlotState host_slot(int slot) { return host_.table.slots[slot].slot_state; }

    NetSide host_;
    std::vector<std::unique_ptr<NetSide>> clients_;
    uint16_t port_ = 0;
};

TEST_F(SessionTest, AClientGetsSlotOneTheMapAndTheWorldAndLeavingFreesItsSlot) {
    set_corner(host_.map, 3, 4, 2);
    ASSERT_TRUE(host_.host());  // again, with the painted map
    port_ = host_.net.port();
    NetSide& c = join("ann", 2);
    ASSERT_TRUE(welcomed(c));
    EXPECT_EQ(c.session.local_player_index, 1);
    EXPECT_EQ(host_slot(1), slot_in_game);
    EXPECT_STREQ(host_.table.slots[1].name, "ann");
    EXPECT_EQ(host_.table.slots[1].element, 2);
    EXPECT_EQ(host_.table.player_count, 1u);
    EXPECT_TRUE(eventually([&] { return std::memcmp(&c.map, &host_.map, sizeof c.map) == 0; }));

    // The world: the host's player where the host has it, and the host's effects.
    host_.table.slots[0].position = {7.0f, 0.0f, -3.0f};
    effect_spawn(host_.effects, effect_klank, {7.0f, 1.0f, -3.0f});
    EXPECT_TRUE(eventually([&] {
        return c.table.slots[0].position.x == 7.0f && c.table.slots[1].slot_state == slot_in_game &&
               c.effects.spawned == 1;
    }));

    c.net.leave_client();
    EXPECT_TRUE(eventually([&] { return host_slot(1) == slot_free; }));
    EXPECT_EQ(host_.table.player_count, 0u);
}

TEST_F(SessionTest, ElevenClientsFillTheTableATwelfthIsToldItIsFullAndStoppingEndsThemAll) {
    for (int i = 0; i < kPlayerSlots - 1; ++i) ASSERT_TRUE(welcomed(join()));
    for (int slot = 1; slot < kPlayerSlots; ++slot) EXPECT_EQ(host_slot(slot), slot_in_game);
    NetSide& extra = join("late");
    EXPECT_TRUE(eventually([&] { return extra.ended; }));
    EXPECT_STREQ(extra.why, "the game is full");
    EXPECT_EQ(host_.table.player_count, 11u);

    host_.net.stop_hosting();
    for (size_t i = 0; i + 1 < clients_.size(); ++i) {
        NetSide& c = *clients_[i];
        EXPECT_TRUE(eventually([&] { return c.ended; })) << i;
        EXPECT_STREQ(c.why, "the host ended the game");
    }
}

struct ActionCount : RemoteEventSink {
    void remote_event(const RemoteEvent& event) override {
        if (event.kind != remote_action) return;
        in_order = in_order && event.action.a == static_cast<float>(count % 200 - 100);
        ++count;
    }
    int count = 0;
    bool in_order = true;
};

// The inbox is bounded: a game that does not tick while thousands of actions arrive gets
// every one of them, in order, once it does.
TEST_F(SessionTest, AGameThatStopsTickingLosesNothingTheNetworkBrought) {
    NetSide& c = join();
    ASSERT_TRUE(welcomed(c));
    ActionCount actions;
    host_.record = &actions;
    constexpr int kActions = 3 * static_cast<int>(kInboxCapacity);
    for (int i = 0; i < kActions; ++i) {
        c.net.send_action(kind_move, static_cast<float>(i % 200 - 100), 0.0f);
        if (i % 64 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the host is busy
    EXPECT_TRUE(eventually([&] { return actions.count == kActions; })) << actions.count;
    EXPECT_TRUE(actions.in_order);
    EXPECT_FALSE(c.ended);
}

// A raw ENet peer: connects and goes without ever saying hello, or sends garbage.
struct RawPeer {
    explicit RawPeer(uint16_t port) {
        host = enet_host_create(nullptr, 1, 2, 0, 0);
        ENetAddress address{0, port};
        enet_address_set_host(&address, "127.0.0.1");
        peer = enet_host_connect(host, &address, 2, 0);
    }
    ~RawPeer() { enet_host_destroy(host); }
    template <typename Meanwhile>
    bool wait_for(ENetEventType type, Meanwhile meanwhile) {
        ENetEvent event;
        const auto end = Clock::now() + kPatience;
        while (Clock::now() < end) {
            meanwhile();
            if (enet_host_service(host, &event, 5) > 0) {
                if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
                if (event.type == ENET_EVENT_TYPE_DISCONNECT) disconnect_data = event.data;
                if (event.type == type) return true;
            }
        }
        return false;
    }
    bool wait_for(ENetEventType type) {
        return wait_for(type, [] {});
    }
    uint32_t disconnect_data = 0;
    void send(const std::vector<uint8_t>& bytes) {
        enet_peer_send(peer, 0,
                       enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
        enet_host_flush(host);
    }
    ENetHost* host;
    ENetPeer* peer;
};

// Connections that never say hello take no slot; one that sends what no game sends is
// dropped with the reason and a line naming it, and the table is as it was after it all.
TEST_F(SessionTest, ConnectionsThatNeverSayHelloTakeNoSlotAndBadPeersAreDropped) {
    NetSide& c = join();
    ASSERT_TRUE(welcomed(c));
    for (int cycle = 0; cycle < 200; ++cycle) {
        RawPeer raw(port_);
        ASSERT_TRUE(raw.wait_for(ENET_EVENT_TYPE_CONNECT)) << cycle;
        enet_host_flush(raw.host);  // the acknowledgement that completes the connection
        if (cycle % 2 == 0) {
            // Wrong sizes, a wrong type, an action before hello: dropped by the third.
            raw.send({});
            raw.send({1, 2, 3});
            raw.send(std::vector<uint8_t>(20, 0xFF));
            raw.send({0xEC, 3, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0x40, 0, 0, 0, 0});
            ASSERT_TRUE(raw.wait_for(ENET_EVENT_TYPE_DISCONNECT, [&] { host_.pump(); })) << cycle;
            EXPECT_EQ(raw.disconnect_data, leave_bad_data);
        } else {
            enet_peer_disconnect_now(raw.peer, 0);
            enet_host_flush(raw.host);
        }
        host_.pump();
        EXPECT_EQ(host_.table.player_count, 1u) << cycle;
    }
    EXPECT_EQ(host_slot(1), slot_in_game);
    for (int slot = 2; slot < kPlayerSlots; ++slot) EXPECT_EQ(host_slot(slot), slot_free);
    const int last = console_line_count(host_.console) - 1;
    EXPECT_EQ(std::string(console_line(host_.console, last)->text).rfind("dropped 127.0.0.1:", 0),
              0u)
        << console_line(host_.console, last)->text;
    EXPECT_FALSE(c.ended);
}

// Discovery on 127.0.0.1 only: a host answering twice is listed once, two hosts in the
// order of their first answers, and no answer is larger than its query.
TEST_F(SessionTest, DiscoveryListsEachHostOnceInTheOrderTheyAnswered) {
    NetSide second;
    ASSERT_TRUE(second.host("other"));
    NetSide seeker;
    auto found = [&](size_t n) {
        return eventually([&] {
            seeker.pump();
            return seeker.state.hosts.entries.size() == n;
        });
    };
    seeker.net.refresh_hosts("127.0.0.1, 127.0.0.1", port_);
    EXPECT_TRUE(found(1));
    seeker.net.refresh_hosts("127.0.0.1", second.net.port());
    EXPECT_TRUE(found(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a late duplicate answer
    seeker.pump();
    const std::vector<HostEntry>& hosts = seeker.state.hosts.entries;
    ASSERT_EQ(hosts.size(), 2u);
    EXPECT_EQ(hosts[1].port, port_);  // newest first
    EXPECT_STREQ(hosts[1].session_name, "torvi");
    EXPECT_STREQ(hosts[0].session_name, "other");
    EXPECT_LT(hosts[1].round_trip_ms, 60000u);  // measured, not wrapped round
}

// A host answers one address a few times a second at most, and only well-formed queries.
TEST_F(SessionTest, QueriesBeyondTheRateOrMalformedGetNoAnswer) {
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ENetAddress any{ENET_HOST_ANY, 0};
    ASSERT_EQ(enet_socket_bind(socket, &any), 0);
    ENetAddress host{0, port_};
    enet_address_set_host_ip(&host, "127.0.0.1");
    uint8_t query[kDiscoverySize];
    encode_query(1, query);
    for (int i = 0; i < 30; ++i) {
        ENetBuffer buffer{query, sizeof query};
        enet_socket_send(socket, &host, &buffer, 1);
    }
    ENetBuffer shorter{query, sizeof query - 1};  // no padding: no answer
    enet_socket_send(socket, &host, &shorter, 1);
    // The first answer may take a while on a loaded machine; the rest come right after it.
    int answers = 0;
    uint8_t bytes[512];
    enet_uint32 wait = ENET_SOCKET_WAIT_RECEIVE;
    uint32_t quiet_ms = static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(kPatience).count());
    while (enet_socket_wait(socket, &wait, quiet_ms) == 0 && wait == ENET_SOCKET_WAIT_RECEIVE) {
        ENetAddress from;
        ENetBuffer buffer{bytes, sizeof bytes};
        const int size = enet_socket_receive(socket, &from, &buffer, 1);
        if (size <= 0) break;
        EXPECT_LE(size, static_cast<int>(kDiscoverySize));
        ++answers;
        wait = ENET_SOCKET_WAIT_RECEIVE;
        quiet_ms = 200;
    }
    EXPECT_GE(answers, 1);
    EXPECT_LE(answers, 16);  // 8 a second: two seconds' worth if the host's reading spans two
    enet_socket_destroy(socket);
}

// Datagrams no game sends, straight at the host's port while a client plays: the client
// keeps playing and no slot changes.
TEST_F(SessionTest, MalformedDatagramsDisturbNoOne) {
    NetSide& c = join();
    ASSERT_TRUE(welcomed(c));
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ENetAddress host{0, port_};
    enet_address_set_host_ip(&host, "127.0.0.1");
    std::vector<std::vector<uint8_t>> datagrams = {{}, {0}, std::vector<uint8_t>(65000, 0xFF)};
    uint8_t jump[kActionMessageSize];
    encode_action(ActionMessage{0, kind_button_down, 2.0f, 0.0f}, jump);
    for (size_t cut = 1; cut <= sizeof jump; ++cut) datagrams.emplace_back(jump, jump + cut);
    uint8_t query[kDiscoverySize];
    encode_query(0, query);
    query[0] = 'X';  // a query of the wrong kind
    datagrams.emplace_back(query, query + sizeof query);
    std::vector<uint8_t> nan_floats(24, 0xFF);
    datagrams.push_back(nan_floats);
    uint32_t seed = 12345;
    for (int i = 0; i < 200; ++i) {
        std::vector<uint8_t> noise(1 + seed % 1400);
        for (uint8_t& byte : noise)
            byte = static_cast<uint8_t>((seed = seed * 1664525 + 1013904223) >> 24);
        datagrams.push_back(noise);
    }
    for (const auto& bytes : datagrams) {
        ENetBuffer buffer{const_cast<uint8_t*>(bytes.data()), bytes.size()};
        enet_socket_send(socket, &host, &buffer, 1);
    }
    enet_socket_destroy(socket);
    c.net.send_action(kind_move, 100.0f, 0.0f);
    EXPECT_TRUE(eventually([&] { return std::fabs(host_.table.slots[1].velocity.x) > 1.0f; }));
    EXPECT_FALSE(c.ended);
    EXPECT_EQ(host_.table.player_count, 1u);
    for (int slot = 2; slot < kPlayerSlots; ++slot) EXPECT_EQ(host_slot(slot), slot_free);
}

// The join's time-out runs on the wall clock, whether or not the game ticks meanwhile.
TEST(SessionJoin, AHostThatNeverAnswersEndsTheJoinWithAReason) {
    constexpr uint32_t kTimeoutMs = 300;
    NetSide c(kTimeoutMs);
    // A port nobody hosts on: a plain UDP socket bound to it stays silent.
    ENetAddress quiet{ENET_HOST_ANY, 0};
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ASSERT_EQ(enet_socket_bind(socket, &quiet), 0);
    enet_socket_get_address(socket, &quiet);
    const auto start = Clock::now();
    ASSERT_TRUE(c.join(quiet.port, "bob"));
    std::this_thread::sleep_for(std::chrono::milliseconds(kTimeoutMs));  // no tick meanwhile
    while (!c.ended && Clock::now() - start < std::chrono::seconds(10)) {
        c.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(c.ended);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(kTimeoutMs));
    EXPECT_NE(
        std::string(c.why).find("no game answered at 127.0.0.1:" + std::to_string(quiet.port)),
        std::string::npos)
        << c.why;
    enet_socket_destroy(socket);
}

// --- a host that strangers cannot lock

ENetAddress address_of(const char* ip, uint16_t port) {
    ENetAddress address{0, port};
    enet_address_set_host_ip(&address, ip);
    return address;
}

// A player speaking today's wire format from an address of its own: says hello once
// connected and takes its slot from the welcome.
struct Player {
    Player(const char* from, uint16_t port) {
        const ENetAddress self = address_of(from, 0);
        host = enet_host_create(&self, 1, 2, 0, 0);
        const ENetAddress to = address_of("127.0.0.1", port);
        if (host) enet_host_connect(host, &to, 2, 0);
    }
    ~Player() {
        if (host) enet_host_destroy(host);
    }
    void service() {
        ENetEvent event;
        while (host && enet_host_service(host, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                uint8_t hello[kHelloMessageSize];
                encode_hello(Hello{1, "pat"}, hello);
                enet_peer_send(event.peer, 0,
                               enet_packet_create(hello, sizeof hello, ENET_PACKET_FLAG_RELIABLE));
            } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                const uint8_t* data = event.packet->data;
                const size_t size = event.packet->dataLength;
                Welcome welcome;
                if (decode_welcome(data, size, welcome)) slot = welcome.slot;
                if (decode_world(data, size, world)) ++worlds;
                enet_packet_destroy(event.packet);
            } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                refused = true;
            }
        }
    }
    ENetHost* host;
    int slot = 0;
    bool refused = false;
    int worlds = 0;
    WorldState world;
};

// Connections from one address that connect and never say a word.
struct Strangers {
    Strangers(const char* from, uint16_t port, size_t count) {
        const ENetAddress self = address_of(from, 0);
        host = enet_host_create(&self, count, 2, 0, 0);
        const ENetAddress to = address_of("127.0.0.1", port);
        for (size_t i = 0; host && i < count; ++i) enet_host_connect(host, &to, 2, 0);
        if (host) enet_host_flush(host);
    }
    ~Strangers() {
        if (host) enet_host_destroy(host);
    }
    // Keeps the connections up; a stranger that never calls it never finishes connecting.
    void service() {
        ENetEvent event;
        while (host && enet_host_service(host, &event, 0) > 0) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) ++connected;
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) disconnect_data = event.data;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        }
    }
    ENetHost* host;
    int connected = 0;
    uint32_t disconnect_data = 0;
};

// A second game on a port in use is refused, so the player can be told.
TEST(HostGuard, HostingOnAPortInUseFails) {
    NetSide first, second;
    ASSERT_TRUE(first.host());
    EXPECT_FALSE(second.host("", first.net.port()));
    EXPECT_EQ(second.net.port(), 0);
}

// A connection that says no hello is dropped at the deadline, with the reason and a line.
TEST(HostGuard, ASilentConnectionIsDroppedAtTheHelloDeadline) {
    NetSide host(kJoinTimeoutMs, 300);
    ASSERT_TRUE(host.host());
    Strangers silent("127.0.0.1", host.net.port(), 1);
    const auto end = Clock::now() + kPatience;
    while (silent.disconnect_data == 0 && Clock::now() < end) {
        silent.service();
        host.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(silent.connected, 1);
    EXPECT_EQ(silent.disconnect_data, leave_no_hello);
    host.pump();
    const int last = console_line_count(host.console) - 1;
    const std::string line = console_line(host.console, last)->text;
    EXPECT_EQ(line.rfind("dropped 127.0.0.1:", 0), 0u) << line;
    EXPECT_NE(line.find("no hello"), std::string::npos) << line;
    EXPECT_EQ(host.table.player_count, 0u);
}

// Eleven silent connections and twenty half-open connects from one address press on the
// host while eleven players, each from an address of its own, join: they get slots 1..11.
TEST(HostGuard, StrangersFromOneAddressDoNotKeepElevenPlayersOut) {
    NetSide host(kJoinTimeoutMs, 60000);  // the strangers keep their places all along
    ASSERT_TRUE(host.host());
    const uint16_t port = host.net.port();
    Strangers silent("127.0.0.200", port, 11);
    auto until = [&](auto check, auto&&... sides) {
        const auto end = Clock::now() + kPatience;
        while (!check() && Clock::now() < end) {
            silent.service();
            (sides.service(), ...);
            host.pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return check();
    };
    ASSERT_TRUE(until([&] { return silent.connected == 11; }));
    Strangers half_open("127.0.0.200", port, 20);  // never serviced: never acknowledged
    std::vector<std::unique_ptr<Player>> players;
    for (int i = 0; i < kPlayerSlots - 1; ++i) {
        const std::string from = "127.0.0." + std::to_string(10 + i);
        players.push_back(std::make_unique<Player>(from.c_str(), port));
        Player& p = *players.back();
        EXPECT_TRUE(until([&] { return p.slot != 0 || p.refused; }, p)) << i;
        EXPECT_EQ(p.slot, i + 1);
        for (auto& other : players) other->service();
    }
    EXPECT_EQ(host.table.player_count, 11u);
    EXPECT_EQ(silent.disconnect_data, 0u) << "nobody was dropped";
}

// A thousand bit-flipped connect datagrams from one address leave room for a player.
TEST(HostGuard, BitFlippedConnectsDoNotKeepAPlayerOut) {
    NetSide host(kJoinTimeoutMs, 60000);  // the half-open ones stay all along
    ASSERT_TRUE(host.host());
    // A real connect datagram, caught by a plain socket posing as a host.
    ENetAddress catcher_at = address_of("127.0.0.1", 0);
    ENetSocket catcher = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ASSERT_EQ(enet_socket_bind(catcher, &catcher_at), 0);
    enet_socket_get_address(catcher, &catcher_at);
    Strangers one("127.0.0.1", catcher_at.port, 1);
    uint8_t connect[1500];
    ENetBuffer caught{connect, sizeof connect};
    ENetAddress from;
    enet_uint32 wait = ENET_SOCKET_WAIT_RECEIVE;
    ASSERT_EQ(enet_socket_wait(catcher, &wait, 30000), 0);
    const int size = enet_socket_receive(catcher, &from, &caught, 1);
    enet_socket_destroy(catcher);
    ASSERT_GT(size, 0);

    ENetAddress flooder_at = address_of("127.0.0.201", 0);
    ENetSocket flooder = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ASSERT_EQ(enet_socket_bind(flooder, &flooder_at), 0);
    const ENetAddress to = address_of("127.0.0.1", host.net.port());
    uint32_t seed = 99;
    for (int i = 0; i < 1000; ++i) {
        uint8_t flipped[1500];
        std::memcpy(flipped, connect, static_cast<size_t>(size));
        seed = seed * 1664525 + 1013904223;
        flipped[(seed >> 8) % static_cast<uint32_t>(size)] ^=
            static_cast<uint8_t>(1u << (seed >> 29));
        ENetBuffer buffer{flipped, static_cast<size_t>(size)};
        enet_socket_send(flooder, &to, &buffer, 1);
    }
    enet_socket_destroy(flooder);
    Player player("127.0.0.1", host.net.port());
    const auto end = Clock::now() + kPatience;
    while (player.slot == 0 && !player.refused && Clock::now() < end) {
        player.service();
        host.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(player.slot, 1);
}

// Knock-outs travel in a message of their own: a client of today's wire format plays on
// beside it, and a client of now sees who knocked out how many and who lies down.
TEST(Knockouts, AClientOfTodayPlaysOnAndAClientOfNowSeesTheCounts) {
    NetSide host;
    ASSERT_TRUE(host.host());
    host.session.knockouts = true;
    host.table.slots[0].knockouts = 2;
    Player today("127.0.0.1", host.net.port());
    NetSide now;
    ASSERT_TRUE(now.join(host.net.port()));
    const auto end = Clock::now() + kPatience;
    auto done = [&] {
        return today.worlds >= 20 && now.state.welcomed && now.table.slots[0].knockouts == 2 &&
               now.table.slots[1].down_ticks > 0;
    };
    while (!done() && !today.refused && Clock::now() < end) {
        today.service();
        host.pump();
        now.pump();
        if (host.table.slots[1].slot_state == slot_in_game) host.table.slots[1].down_ticks = 150;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(today.slot, 1);
    EXPECT_FALSE(today.refused);
    EXPECT_GE(today.worlds, 20);
    EXPECT_EQ(now.table.slots[0].knockouts, 2u);
    EXPECT_EQ(now.table.slots[1].down_ticks, 150u);
}

// Queries from forty addresses get a bounded number of answers a second in all.
TEST(HostGuard, ADiscoveryFloodFromManyAddressesIsAnsweredBoundedly) {
    NetSide host;
    ASSERT_TRUE(host.host());
    const ENetAddress to = address_of("127.0.0.1", host.net.port());
    std::vector<ENetSocket> sources;
    for (int i = 0; i < 40; ++i) {
        ENetAddress self = address_of(("127.0.0." + std::to_string(50 + i)).c_str(), 0);
        sources.push_back(enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM));
        ASSERT_EQ(enet_socket_bind(sources.back(), &self), 0);
        enet_socket_set_option(sources.back(), ENET_SOCKOPT_NONBLOCK, 1);
    }
    uint8_t query[kDiscoverySize];
    encode_query(1, query);
    const auto start = Clock::now();
    for (int round = 0; round < 20; ++round) {
        for (ENetSocket socket : sources) {
            ENetBuffer buffer{query, sizeof query};
            enet_socket_send(socket, &to, &buffer, 1);
        }
    }
    // Every answer there is comes soon after the first; quiet for 300 ms ends the count.
    int answers = 0;
    auto last = Clock::now();
    const auto end = start + kPatience;
    while (Clock::now() < end && (answers == 0 || Clock::now() - last < kQuiet)) {
        for (ENetSocket socket : sources) {
            uint8_t bytes[kDiscoverySize];
            ENetAddress from;
            ENetBuffer buffer{bytes, sizeof bytes};
            while (enet_socket_receive(socket, &from, &buffer, 1) > 0) {
                ++answers;
                last = Clock::now();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (ENetSocket socket : sources) enet_socket_destroy(socket);
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(last - start).count() + 1;
    EXPECT_GE(answers, 1);
    EXPECT_LE(answers, kAnswersInAll * (seconds + 1)) << seconds << " s";
}

// Thirty-two hosts answering one refresh are all listed.
TEST(HostGuard, ALanOfThirtyTwoHostsAnswersOneRefresh) {
    constexpr int kHosts = 32;
    std::vector<ENetSocket> hosts;
    uint16_t port = 0;
    std::string addresses;
    for (int i = 0; i < kHosts; ++i) {
        const std::string ip = "127.0.0." + std::to_string(100 + i);
        ENetAddress self = address_of(ip.c_str(), port);
        hosts.push_back(enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM));
        ASSERT_EQ(enet_socket_bind(hosts.back(), &self), 0);
        enet_socket_set_option(hosts.back(), ENET_SOCKOPT_NONBLOCK, 1);
        if (port == 0) {
            enet_socket_get_address(hosts.back(), &self);
            port = self.port;
        }
        addresses += (i ? "," : "") + ip;
    }
    NetSide seeker;
    seeker.net.refresh_hosts(addresses.c_str(), port);
    const auto end = Clock::now() + kPatience;
    while (seeker.state.hosts.entries.size() < kHosts && Clock::now() < end) {
        for (int i = 0; i < kHosts; ++i) {
            uint8_t bytes[kDiscoverySize];
            ENetAddress from;
            ENetBuffer buffer{bytes, sizeof bytes};
            uint32_t stamp = 0;
            if (enet_socket_receive(hosts[i], &from, &buffer, 1) != kDiscoverySize ||
                !decode_query(bytes, sizeof bytes, stamp)) {
                continue;
            }
            DiscoveryAnswer answer{};
            answer.stamp = stamp;
            answer.instance[0] = static_cast<uint8_t>(i + 1);
            answer.port = port;
            std::snprintf(answer.session_name, sizeof answer.session_name, "game %d", i);
            encode_answer(answer, bytes);
            ENetBuffer reply{bytes, sizeof bytes};
            enet_socket_send(hosts[i], &from, &reply, 1);
        }
        seeker.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (ENetSocket socket : hosts) enet_socket_destroy(socket);
    EXPECT_EQ(seeker.state.hosts.entries.size(), static_cast<size_t>(kHosts));
}

}  // namespace
