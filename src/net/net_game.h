// The game thread's side of a network session. At the start of every sim tick the game
// takes what the network thread brought: a host turns its peers' connections, hellos,
// actions, views and leaves into remote events (recorded, then applied), a client takes
// its welcome, the host's map and the newest world, and anyone the hosts discovery found.
// Later in the tick a host sends its world and a client its camera.
#pragma once

#include <cstdint>

#include "console/console.h"
#include "effects/effect_list.h"
#include "map/map_grid.h"
#include "net/host_list.h"
#include "net/network.h"
#include "net/remote_event.h"
#include "world/camera.h"
#include "world/player_table.h"

// The host sends its world every this many sim ticks, whatever the frame rate.
constexpr uint32_t kWorldEveryTicks = 3;
// A client sends its camera when it changed, and at least this often.
constexpr uint64_t kViewRefreshMs = 1000;
constexpr size_t kJoinTargetSize = 72;

struct NetGameState {
    Camera views[kPlayerSlots];  // host: the camera each slot's moves turn by
    char session_name[kSessionNameSize];
    uint32_t effects_sent;  // host: effects spawned when the world went out last
    uint32_t ticks_since_world;
    bool joining;                       // client: connecting, no welcome yet
    bool welcomed;                      // client: the host gave it a slot
    char join_target[kJoinTargetSize];  // client: "ADDRESS:PORT", for its lines
    Camera last_view;
    uint64_t last_view_ms;
    bool view_sent;
    HostList hosts;  // what discovery found, newest first
    // Scratch, so a tick neither allocates nor puts kilobytes on the stack.
    WorldUpdate incoming;
    Scores scores;
    WorldState outgoing;
    uint8_t world_bytes[kWorldMessageSize];
    NetEvent events[64];
};

// Every slot's view the default, nothing sent, no join, no hosts found.
void init_net_game_state(NetGameState& state);

// The parts of a game the session reads and writes.
struct NetGame {
    PlayerTable& table;
    SessionState& session;
    MapGrid& map;
    EffectList& effects;
    Console& console;
    NetGameState& state;
};

// Where a host's remote events go before they are applied: the game's record.
class RemoteEventSink {
  public:
    virtual ~RemoteEventSink() = default;
    virtual void remote_event(const RemoteEvent& event) = 0;
};

struct NetNews {
    bool ended;          // a client's session or join ended: reason says why
    uint32_t reason;     // a LeaveReason, or kLeaveNoAnswer
    bool hosts_changed;  // discovery found a new host
    bool welcomed;       // the host welcomed this joining player: its game starts
};

// A session starts: a host's name and map counters, or a client's target. A joining
// player stays out of any game until the host's welcome starts one (NetNews::welcomed).
void start_hosting_state(NetGame& game, const char* session_name);
void start_joining_state(NetGame& game, const char* host, uint16_t port);
// A join given up or ended: no welcome is waited for any more.
void stop_joining_state(NetGame& game);

// Takes and handles everything the network brought, in order. Remote events go to
// record (when given) before they are applied.
NetNews take_network(NetGame& game, Network& net, RemoteEventSink* record);

// A host, once per sim tick after movement: the world to every player in the game on
// every kWorldEveryTicks-th call, with the effects spawned since it last went out.
void send_world_when_due(NetGame& game, Network& net);

// A welcomed client, once per sim tick: its camera, when it changed or kViewRefreshMs of
// game time passed.
void send_view_when_due(NetGame& game, Network& net, const Camera& cam, uint64_t now_ms);

// What a client says when its session or its join ended ("the host ended the game",
// "no game answered at 127.0.0.1:4711").
void ended_text(const NetGameState& state, uint32_t reason, char* out, size_t size);
