// One side of a networked game for tests and the network benchmark: what a NetSession
// reads and writes, and the session itself.
#pragma once

#include <mutex>

#include "net/enet_session.h"

struct NetSide {
    NetSide() {
        init_player_table(table);
        init_session_state(session);
        init_effect_list(effects);
        fill_startup_map(map);
    }
    template <typename F>
    auto locked(F f) {
        std::lock_guard<std::recursive_mutex> hold(lock);
        return f();
    }
    PlayerTable table;
    SessionState session;
    MapGrid map{};
    EffectList effects;
    Console console;
    std::recursive_mutex lock;
    NetSession net{NetWorld{table, session, map, effects, console, lock}};
};
