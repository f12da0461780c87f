// The twelve player slots, the records in them, and which slot and role is this machine's.
#pragma once

#include <cstdint>

#include "math/math3d.h"
#include "world/player_action.h"

constexpr int kPlayerSlots = 12;
constexpr int kPlayerNameSize = 80;
constexpr int kNetNameSize = 32;
inline constexpr char kDefaultPlayerName[] = "pelundo";

enum SlotState : uint8_t {
    slot_free = 1,
    slot_reserved = 2,  // offered to a connecting player
    slot_in_game = 3,
};

struct PlayerRecord {
    char name[kPlayerNameSize];  // zero-terminated
    Vec3 position;               // the feet; x 0..39 east, z 0..-39, y 0 on the ground
    Vec3 velocity;               // one 10 ms tick moves by velocity / 400
    uint32_t health;
    Matrix facing;         // the way it last moved, kept by the movement step
    int32_t element;       // 0 zombie, 1 pirate, 2 ninja, 3 robot
    uint32_t action;       // a PlayerAction code
    int32_t action_phase;  // step within the action
    uint32_t net_id;       // the network layer's id of a remote player
    SlotState slot_state;
    char net_name[kNetNameSize];  // zero-terminated
    uint32_t knockouts;           // others this player knocked out, when the host counts them
    uint32_t down_ticks;          // sim ticks left lying knocked out; 0 standing
};

struct PlayerTable {
    uint32_t player_count;
    uint32_t max_players;
    PlayerRecord slots[kPlayerSlots];
};

// Which slot is this machine's player and in which role it plays.
struct SessionState {
    int32_t local_player_index;  // -1 until a game starts
    bool host;
    bool client;
    bool knockouts;  // the host's rule: a player at health 0 is knocked out
};

// The unit of player input: a kind and two floats a and b.
enum ActionKind : int32_t {
    kind_button_up = 0,
    kind_button_down = 1,
    kind_move = 2,  // a sideways (negative left), b forward/back (negative forward), -100..100
};

// The button of a ButtonUp or ButtonDown action, carried in a as a float.
enum ActionButton : int32_t {
    button_primary_attack = 0,
    button_secondary_attack = 1,
    button_jump = 2,
};

constexpr uint32_t kStartHealth = 100;

// Count and maximum 0, every slot Free and every other field zero: physics and hits run
// over all twelve slots, so unused ones must hold harmless values.
void init_player_table(PlayerTable& table);

// Local player index -1, no role.
void init_session_state(SessionState& session);

// Slot index (0..11) or nullptr for any other index.
PlayerRecord* player_slot(PlayerTable& table, int32_t index);

// The record at the local player index, or nullptr before a game starts.
PlayerRecord* local_record(PlayerTable& table, const SessionState& session);

// Host start: every slot Free, the local player in slot 0 at (0, 20, 0), host flag set.
void start_game_as_host(PlayerTable& table, SessionState& session);

// A host with no player of its own (a dedicated server): every slot Free, no local
// player, host flag set.
void start_game_as_dedicated_host(PlayerTable& table, SessionState& session);

// Client start: the local player in slot 0 on the ground at (0, 0, 0), client flag set.
void start_game_as_client(PlayerTable& table, SessionState& session);
