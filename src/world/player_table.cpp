#include "world/player_table.h"

#include <cstring>

namespace {

constexpr int32_t kLocalSlot = 0;
constexpr Vec3 kHostStart = {0.0f, 20.0f, 0.0f};
constexpr Vec3 kClientStart = {0.0f, 0.0f, 0.0f};

// Writes the game-start values of the local player; net_id and net_name stay.
void set_up_local_player(PlayerRecord& r, Vec3 position) {
    std::memset(r.name, 0, sizeof r.name);
    std::memcpy(r.name, kDefaultPlayerName, sizeof kDefaultPlayerName);
    r.position = position;
    r.velocity = {0.0f, 0.0f, 0.0f};
    r.health = kStartHealth;
    r.facing = rotation_y(0.0f);
    r.element = 0;
    r.action = action_walk;
    r.action_phase = 0;
    r.slot_state = slot_in_game;
    r.knockouts = 0;
    r.down_ticks = 0;
}

}  // namespace

void init_player_table(PlayerTable& table) {
    std::memset(&table, 0, sizeof table);
    for (PlayerRecord& r : table.slots) r.slot_state = slot_free;
}

void init_session_state(SessionState& session) {
    session = SessionState{-1, false, false, false};
}

PlayerRecord* player_slot(PlayerTable& table, int32_t index) {
    if (index < 0 || index >= kPlayerSlots) return nullptr;
    return &table.slots[index];
}

PlayerRecord* local_record(PlayerTable& table, const SessionState& session) {
    return player_slot(table, session.local_player_index);
}

void start_game_as_host(PlayerTable& table, SessionState& session) {
    session.host = true;
    for (PlayerRecord& r : table.slots) r.slot_state = slot_free;
    session.local_player_index = kLocalSlot;
    set_up_local_player(table.slots[kLocalSlot], kHostStart);
}

void start_game_as_dedicated_host(PlayerTable& table, SessionState& session) {
    session.host = true;
    session.local_player_index = -1;
    for (PlayerRecord& r : table.slots) r.slot_state = slot_free;
}

void start_game_as_client(PlayerTable& table, SessionState& session) {
    session.client = true;
    session.local_player_index = kLocalSlot;
    set_up_local_player(table.slots[kLocalSlot], kClientStart);
}
