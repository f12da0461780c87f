// One side of a networked game for tests and the network benchmark: the parts of a game a
// session works on, the session, and what a sim tick does with it (pump).
#pragma once

#include <cstdio>

#include "net/enet_session.h"
#include "net/net_game.h"

struct NetSide {
    explicit NetSide(uint32_t join_timeout_ms = kJoinTimeoutMs,
                     uint32_t hello_deadline_ms = kHelloDeadlineMs)
        : net(join_timeout_ms, hello_deadline_ms) {
        init_player_table(table);
        init_session_state(session);
        init_effect_list(effects);
        fill_startup_map(map);
        init_net_game_state(state);
        console_lines_init(console, 4);
    }
    NetGame game() { return NetGame{table, session, map, effects, console, state}; }

    bool host(const char* name = "", uint16_t port = 0) {
        if (!net.host_game(name, port, map)) return false;
        start_game_as_host(table, session);
        NetGame g = game();
        start_hosting_state(g, name[0] ? name : kDefaultSessionName);
        return true;
    }
    bool join(uint16_t port, const char* name = "ann", int element = 2) {
        Hello hello{element, {}};
        std::snprintf(hello.name, sizeof hello.name, "%s", name);
        NetGame g = game();
        start_joining_state(g, "127.0.0.1", port);
        return net.join_game("127.0.0.1", port, hello);
    }
    // The network part of one sim tick: take what came, then a host's world goes out.
    void pump() {
        NetGame g = game();
        const NetNews news = take_network(g, net, record);
        if (news.ended) {
            ended = true;
            ended_text(state, news.reason, why, sizeof why);
        }
        if (session.host) send_world_when_due(g, net);
    }

    PlayerTable table;
    SessionState session;
    MapGrid map{};
    EffectList effects;
    Console console;
    NetGameState state;
    RemoteEventSink* record = nullptr;  // told of every remote event the host applies
    bool ended = false;
    char why[128] = {};
    NetSession net;
};
