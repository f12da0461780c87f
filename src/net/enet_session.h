// The network session over ENet: hosting a game, joining one, discovery, and the messages
// between them (protocol.h). A network thread of its own owns every ENet object and only
// moves bytes: it decodes what arrives into the mailbox's inbox, sends what the game
// queued in its outbox, and carries out the control calls while the caller waits. It never
// touches game state.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "net/network.h"
#include "net/protocol.h"
#include "net/rate_limit.h"

typedef struct _ENetHost ENetHost;
typedef struct _ENetPeer ENetPeer;

struct NetTraffic {
    uint64_t sent_bytes, received_bytes;
};

// A host's ENet table holds more peers than there are slots, so connections that never
// become players cannot keep players out; one address holds at most a game's worth.
constexpr size_t kHostPeers = 64;
constexpr size_t kPeersPerAddress = kClientLimit;
// Messages no game sends that a host forgives a peer before it drops it.
constexpr int kBadMessagesForgiven = 2;
// Discovery answers a host gives one address, and all addresses together, each second.
constexpr int kAnswersPerAddress = 8;
constexpr int kAnswersInAll = 64;

class NetSession : public Network {
  public:
    // join_timeout_ms: how long a joining client waits for the host's welcome;
    // hello_deadline_ms: how long a host waits for a new connection's hello.
    explicit NetSession(uint32_t join_timeout_ms = kJoinTimeoutMs,
                        uint32_t hello_deadline_ms = kHelloDeadlineMs);
    // Tells the clients or the host that this side leaves, then ends the network thread.
    ~NetSession() override;
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    bool host_game(const char* name, uint16_t port, const MapGrid& map) override;
    void stop_hosting() override;
    bool join_game(const char* host, uint16_t port, const Hello& hello) override;
    void leave_client() override;
    void refresh_hosts(const char* addresses, uint16_t port) override;
    uint16_t port() const override { return port_; }
    bool order(const NetOrder& order) override;
    size_t take_events(NetEvent* out, size_t max) override;
    bool take_world(WorldUpdate& out) override;
    bool take_map(MapGrid& out) override;
    bool take_scores(Scores& out) override;

    // Bytes the current ENet host sent and received, ENet's own traffic included.
    NetTraffic traffic();

    // Answers a discovery query that reached the hosting socket; false for any other
    // datagram (ENet reads those). Called by ENet's intercept on the network thread.
    bool answer_query(const void* from, const uint8_t* data, size_t size);

  private:
    // Runs work on the network thread and returns once it has run there.
    void on_network_thread(const std::function<void()>& work);
    void wake();
    void run();
    void run_control();
    void wait_for_traffic();
    void send_orders();
    void send_order(const NetOrder& order);
    void service();
    bool post(const NetEvent& event);
    void note(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void host_connect(ENetPeer* peer);
    void host_receive(ENetPeer* peer, const uint8_t* data, size_t size);
    bool accept_from(ENetPeer* peer, uint32_t type);
    void count_bad_message(ENetPeer* peer);
    void drop_peer(ENetPeer* peer, uint32_t reason);
    void guard_peers();
    void client_receive(const uint8_t* data, size_t size);
    void end_join(uint32_t reason);
    void check_join_time_out();
    ENetPeer* find_peer(uint32_t id) const;
    void send(ENetPeer* peer, NetChannel channel, const uint8_t* data, size_t size);
    void close_host();
    void stop_hosting_now();
    void end_session();
    void leave_now();
    void receive_answers();
    void query(uint32_t address, uint16_t port);
    uint32_t now_ms() const;

    NetMailbox mailbox_;
    std::atomic<uint16_t> port_{0};

    // The control call waiting for the network thread.
    std::mutex control_lock_;
    std::condition_variable control_done_;
    const std::function<void()>* control_ = nullptr;
    int wake_fd_ = -1;  // written to wake the network thread for a control call or an order
    std::atomic<bool> running_{true};
    const uint32_t join_timeout_ms_;
    const uint32_t hello_deadline_ms_;

    // --- owned by the network thread from here on
    ENetHost* host_ = nullptr;
    ENetPeer* server_ = nullptr;  // a client's connection to its host
    bool hosting_ = false;
    bool joined_ = false;
    bool welcomed_ = false;
    std::chrono::steady_clock::time_point join_started_{};
    uint32_t next_peer_id_ = 1;
    // What a host knows of each of its ENet peers, by index in ENet's table.
    struct PeerGuard {
        bool watched;         // false: a free place in ENet's table
        uint32_t connect_id;  // ENet's id of the connection this guard is about
        uint32_t since_ms;    // when the host first saw it
        bool said_hello;
        int bad_messages;
    };
    PeerGuard guards_[kHostPeers] = {};
    PeerGuard& guard(const ENetPeer* peer);
    NetEvent held_{};  // an event the full inbox refused: posted before anything newer
    bool holding_ = false;
    Hello hello_{};
    char session_name_[kSessionNameSize] = {};
    std::unique_ptr<MapGrid> map_;       // the hosted ground, sent to each player who joins
    std::unique_ptr<WorldState> world_;  // decoded into without allocating
    Scores scores_{};
    std::unique_ptr<NetOrder[]> orders_;
    uint8_t map_bytes_[kMapMessageSize] = {};
    // Discovery: the socket queries go out on and answers come back to, this hosting's
    // instance id, and how often each address was answered lately.
    int discovery_ = -1;
    uint8_t instance_[kInstanceBytes] = {};
    char machine_name_[kMachineNameSize] = {};
    RateLimit answers_{kAnswersPerAddress, kAnswersInAll};
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::thread thread_;
};
