// Everything the game puts on the wire: fixed-size little-endian messages, each starting
// with its 32-bit type. Encoders write exactly the message's size; decoders accept only a
// buffer of exactly that size and the right type, and clean or clamp every value, so what
// comes from the network never reaches the game unchecked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effects/effect_list.h"
#include "map/map_grid.h"
#include "world/camera.h"
#include "world/player_table.h"

constexpr uint16_t kGamePort = 4711;
constexpr int kClientLimit = 12;
constexpr char kDefaultSessionName[] = "torvi";
constexpr int kSessionNameSize = 64;

enum MessageType : uint32_t {
    message_action = 1004,   // client -> host: one input action (the design's 20 bytes)
    message_view = 1005,     // client -> host: the client's camera, which turns its moves
    message_hello = 1006,    // client -> host: the player's name, once on connect
    message_welcome = 1007,  // host -> client: its slot and the session's name
    message_map = 1008,      // host -> client: the .map image of the ground played on
    message_world = 1009,    // host -> client: every slot's state and the new effects
    message_scores = 1010,   // host -> client: knock-outs; a client that does not know it skips it
};

// Why a host ends a connection, carried as ENet's disconnect data.
enum LeaveReason : uint32_t {
    leave_none = 0,
    leave_full = 1,          // every slot is taken
    leave_host_stopped = 2,  // the host ended the session
    leave_bad_data = 3,      // the peer sent what no game sends
    leave_no_hello = 4,      // the connection said no hello in time
};
const char* leave_reason_text(uint32_t reason);

// Copies text (at most text_size bytes, stopping at its zero) into out as valid UTF-8 of
// at most size - 1 bytes, and ends it with a zero. Each control character (C0, DEL, C1)
// and each byte that starts no valid sequence becomes one '?'; a character that does not
// fit whole is left out with all after it. out may be text itself.
void clean_text(char* out, size_t size, const char* text, size_t text_size);

// --- action (20 bytes: type, player, kind, a, b)
constexpr size_t kActionMessageSize = 20;
struct ActionMessage {
    uint32_t player;
    ActionKind kind;
    float a, b;
};
void encode_action(const ActionMessage& action, uint8_t out[kActionMessageSize]);
// False for a wrong size or type, an unknown kind or button, or a non-finite value; move
// axes are clamped to -100..100.
bool decode_action(const uint8_t* data, size_t size, ActionMessage& out);

// --- view (28 bytes: type, eye xyz, target xyz)
constexpr size_t kViewMessageSize = 28;
void encode_view(const Camera& cam, uint8_t out[kViewMessageSize]);
// False for a wrong size or type or a non-finite coordinate.
bool decode_view(const uint8_t* data, size_t size, Camera& out);

// --- hello (40 bytes: type, element, name[32])
constexpr size_t kHelloMessageSize = 8 + kNetNameSize;
struct Hello {
    int32_t element;  // 0..3; another value reads as the zombie
    char name[kNetNameSize];
};
void encode_hello(const Hello& hello, uint8_t out[kHelloMessageSize]);
bool decode_hello(const uint8_t* data, size_t size, Hello& out);

// --- welcome (72 bytes: type, slot, session name[64])
constexpr size_t kWelcomeMessageSize = 8 + kSessionNameSize;
struct Welcome {
    int32_t slot;  // 1..11
    char session_name[kSessionNameSize];
};
void encode_welcome(const Welcome& welcome, uint8_t out[kWelcomeMessageSize]);
bool decode_welcome(const uint8_t* data, size_t size, Welcome& out);

// --- map (type, then the 8,080-byte .map image, checked as any loaded map is)
constexpr size_t kMapMessageSize = 4 + kMapFileSize;
void encode_map(const MapGrid& map, uint8_t out[kMapMessageSize]);
bool decode_map(const uint8_t* data, size_t size, MapGrid& out);

// --- world (type, 12 slot records of 80 bytes, effect count, 8 effects of 16 bytes)
constexpr int kWorldEffects = 8;
constexpr size_t kWorldSlotSize = 80;
constexpr size_t kWorldEffectSize = 16;
constexpr size_t kWorldMessageSize =
    4 + kPlayerSlots * kWorldSlotSize + 4 + kWorldEffects * kWorldEffectSize;
struct WorldEffect {
    int32_t kind;
    Vec3 position;
};
struct WorldState {
    PlayerTable table;  // the slots' game state; net ids are the host's own business
    int32_t effect_count;
    WorldEffect effects[kWorldEffects];
};
void encode_world(const WorldState& world, uint8_t out[kWorldMessageSize]);
// False for a wrong size or type or a non-finite number; slot states, actions, elements,
// health and effect kinds out of their ranges are refused, names cleaned.
bool decode_world(const uint8_t* data, size_t size, WorldState& out);

// --- scores (type, then per slot: knock-outs, ticks left down), beside each world
constexpr size_t kScoresMessageSize = 4 + kPlayerSlots * 8;
struct Scores {
    uint32_t knockouts[kPlayerSlots];
    uint32_t down_ticks[kPlayerSlots];
};
void encode_scores(const PlayerTable& table, uint8_t out[kScoresMessageSize]);
// False for a wrong size or type, or a player down longer than a knock-out lasts.
bool decode_scores(const uint8_t* data, size_t size, Scores& out);

// --- discovery: a query datagram to the game's port, and the host's answer, never larger
// than the query (the query carries padding), so a host cannot amplify traffic.
constexpr size_t kDiscoverySize = 128;
constexpr int kInstanceBytes = 16;
constexpr int kMachineNameSize = 32;
struct DiscoveryAnswer {
    uint32_t stamp;  // the query's, echoed: the round trip
    uint8_t instance[kInstanceBytes];
    uint32_t port;
    char session_name[kSessionNameSize];
    char host_name[kMachineNameSize];
};
void encode_query(uint32_t stamp, uint8_t out[kDiscoverySize]);
bool decode_query(const uint8_t* data, size_t size, uint32_t& stamp);
void encode_answer(const DiscoveryAnswer& answer, uint8_t out[kDiscoverySize]);
bool decode_answer(const uint8_t* data, size_t size, DiscoveryAnswer& out);

// The type of a message, or 0 when it is too short to have one.
uint32_t message_type(const uint8_t* data, size_t size);
