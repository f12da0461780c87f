// The network session over ENet: hosting a game, joining one, and the messages between
// them (protocol.h). A network thread owns the servicing of the ENet host and handles
// what arrives under the game's network lock; every call here takes that lock too, so
// ENet is only ever used by one thread at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "console/console.h"
#include "effects/effect_list.h"
#include "map/map_grid.h"
#include "net/action_sender.h"
#include "net/protocol.h"
#include "world/camera.h"
#include "world/player_table.h"

typedef struct _ENetHost ENetHost;
typedef struct _ENetPeer ENetPeer;

// The parts of a game the session reads and writes.
struct NetWorld {
    PlayerTable& table;
    SessionState& session;
    MapGrid& map;
    EffectList& effects;
    Console& console;
    std::recursive_mutex& lock;
};

// Seconds a host may take to welcome a joining client before the client gives up.
constexpr uint32_t kJoinTimeoutMs = 5000;

class NetSession : public ActionSender {
  public:
    explicit NetSession(NetWorld world);
    ~NetSession() override;
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Hosts a session named name (empty: "torvi") on port (0: any free one) and starts
    // the host's game. False, with a console line, when the port cannot be opened.
    bool host_game(const char* name, uint16_t port);
    // Tells every client the game ends and stops hosting; the slots stay as they are.
    void stop_hosting();

    // Connects to a host and starts the client's game; the host's welcome gives it its
    // slot, the map and then the world. False, with a console line, for a bad address.
    bool join_game(const char* host, uint16_t port, const Hello& hello);
    // Leaves the host's game.
    void leave_client();

    // A joined client's action, to the host.
    void send_action(ActionKind kind, float a, float b) override;
    // A joined client's camera, when it changed or a second passed since the last.
    void send_view(const Camera& cam, uint64_t now_ms);
    // The host's world, to every client in the game.
    void send_world();

    // True once, with why, after a client's session ended (host stopped, refused, timed
    // out, or no answer within kJoinTimeoutMs of join_game at now_ms).
    bool take_end(uint64_t now_ms, char* why, size_t size);

    // The camera a host turns a client's moves by: the one the client last sent.
    const Camera& slot_camera(int slot) const;
    // The port hosted on; 0 while not hosting.
    uint16_t port() const;
    bool hosting() const { return hosting_; }
    bool joined() const { return joined_; }
    bool welcomed() const { return welcome_slot_ > 0; }

  private:
    void run();
    void service();
    void handle_host_receive(ENetPeer* peer, const uint8_t* data, size_t size);
    void handle_client_receive(const uint8_t* data, size_t size);
    void host_connect(ENetPeer* peer);
    void host_disconnect(ENetPeer* peer);
    void client_disconnect(uint32_t reason);
    void send(ENetPeer* peer, const uint8_t* data, size_t size, bool reliable);
    void close_host();
    void say(const char* format, ...) __attribute__((format(printf, 2, 3)));

    NetWorld world_;
    ENetHost* host_ = nullptr;
    ENetPeer* server_ = nullptr;  // a client's connection to its host
    bool hosting_ = false;
    bool joined_ = false;
    int welcome_slot_ = 0;
    uint64_t join_started_ms_ = 0;
    bool join_clock_set_ = false;
    uint32_t end_reason_ = leave_none;
    bool ended_ = false;
    char session_name_[kSessionNameSize] = {};
    char host_text_[64] = {};
    Hello hello_{};
    Camera last_view_{};
    uint64_t last_view_ms_ = 0;
    bool view_sent_ = false;
    uint32_t effects_sent_ = 0;
    Camera slot_cameras_[kPlayerSlots]{};
    WorldState incoming_{};  // decoded into without allocating
    uint8_t world_bytes_[kWorldMessageSize] = {};
    uint8_t map_bytes_[kMapMessageSize] = {};
    std::atomic<bool> running_{true};
    std::thread thread_;
};
