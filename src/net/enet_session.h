// The network session over ENet: hosting a game, joining one, and the messages between
// them (protocol.h). A network thread owns the servicing of the ENet host and handles
// what arrives under the game's network lock; every call here takes that lock too, so
// ENet is only ever used by one thread at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

#include "console/console.h"
#include "effects/effect_list.h"
#include "map/map_grid.h"
#include "net/network.h"
#include "net/protocol.h"
#include "net/rate_limit.h"
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

// Told of every client action a host applied, on the network thread under the lock; the
// network benchmark times the way from send to apply with it.
class ActionObserver {
  public:
    virtual ~ActionObserver() = default;
    virtual void applied(int slot, const ActionMessage& action) = 0;
};

struct NetTraffic {
    uint64_t sent_bytes, received_bytes;
};

class NetSession : public Network {
  public:
    explicit NetSession(NetWorld world);
    ~NetSession() override;
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    // Network: a client that is not welcomed within kJoinTimeoutMs of the first take_end
    // after join_game gives up; the slots stay as they are when hosting stops.
    bool host_game(const char* name, uint16_t port) override;
    void stop_hosting() override;
    bool join_game(const char* host, uint16_t port, const Hello& hello) override;
    void leave_client() override;
    void send_action(ActionKind kind, float a, float b) override;
    void send_view(const Camera& cam, uint64_t now_ms) override;
    void send_world() override;
    bool take_end(uint64_t now_ms, char* why, size_t size) override;
    void refresh_hosts(const char* addresses, uint16_t port) override;
    bool take_hosts_changed() override;
    const HostList& hosts() const override { return hosts_; }

    // Answers a discovery query that reached the hosting socket; false for any other
    // datagram (ENet reads those). Called by ENet's intercept on the network thread.
    bool answer_query(const void* from, const uint8_t* data, size_t size);

    // The camera a host turns a client's moves by: the one the client last sent.
    const Camera& slot_camera(int slot) const;
    // The port hosted on; 0 while not hosting.
    uint16_t port() const;
    bool hosting() const { return hosting_; }
    bool joined() const { return joined_; }
    bool welcomed() const { return welcome_slot_ > 0; }
    void set_action_observer(ActionObserver* observer);
    // Bytes the current ENet host sent and received, ENet's own traffic included.
    NetTraffic traffic();

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
    void receive_answers();
    void query(uint32_t address, uint16_t port);
    uint32_t now_ms() const;

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
    // Discovery: the socket queries go out on and answers come back to, what was found,
    // this hosting's instance id, and how often each address was answered lately.
    int discovery_ = -1;
    HostList hosts_;
    bool hosts_changed_ = false;
    uint8_t instance_[kInstanceBytes] = {};
    char machine_name_[kMachineNameSize] = {};
    RateLimit answers_{8};  // to one address, a second
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    ActionObserver* observer_ = nullptr;
    std::atomic<bool> running_{true};
    std::thread thread_;
};
