#include "net/enet_session.h"

#include <enet/enet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr size_t kChannels = 2;
constexpr uint32_t kTimeoutMinimumMs = 3000;
constexpr uint32_t kTimeoutMaximumMs = 5000;
// ENet resends and pings from inside its service call: it is called at least this often.
constexpr int kServiceIntervalMs = 5;
constexpr size_t kOrderBatch = 32;
constexpr int kAnswersPerService = 64;
constexpr int kOutboxWaits = 50;
constexpr int kOutboxWaitMs = 100;

// The session whose host the network thread is servicing: ENet's intercept callback has
// no context of its own.
thread_local NetSession* servicing = nullptr;

int intercept(ENetHost* host, ENetEvent*) {
    if (!servicing) return 0;
    return servicing->answer_query(&host->receivedAddress, host->receivedData,
                                   host->receivedDataLength)
               ? 1
               : 0;
}

uint32_t peer_id(const ENetPeer* peer) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(peer->data));
}

void set_peer_id(ENetPeer* peer, uint32_t id) {
    peer->data = reinterpret_cast<void*>(static_cast<uintptr_t>(id));
}

NetEvent event_of(NetEventKind kind, uint32_t peer) {
    NetEvent event{};
    event.kind = kind;
    event.peer = peer;
    return event;
}

}  // namespace

NetSession::NetSession(uint32_t join_timeout_ms, uint32_t hello_deadline_ms)
    : join_timeout_ms_(join_timeout_ms),
      hello_deadline_ms_(hello_deadline_ms),
      map_(std::make_unique<MapGrid>()),
      world_(std::make_unique<WorldState>()),
      orders_(std::make_unique<NetOrder[]>(kOrderBatch)) {
    enet_initialize();
    if (gethostname(machine_name_, sizeof machine_name_ - 1) != 0) machine_name_[0] = '\0';
    clean_text(machine_name_, sizeof machine_name_, machine_name_, sizeof machine_name_);
    wake_fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    thread_ = std::thread([this] { run(); });
}

NetSession::~NetSession() {
    on_network_thread([this] {
        stop_hosting_now();
        leave_now();
        if (discovery_ != -1) enet_socket_destroy(discovery_);
        discovery_ = -1;
    });
    running_ = false;
    wake();
    thread_.join();
    if (wake_fd_ != -1) close(wake_fd_);
}

uint32_t NetSession::now_ms() const {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - started_)
                                     .count());
}

void NetSession::wake() {
    const uint64_t one = 1;
    if (wake_fd_ != -1 && write(wake_fd_, &one, sizeof one) < 0) {
        // The counter is full: the thread is awake already.
    }
}

void NetSession::on_network_thread(const std::function<void()>& work) {
    std::unique_lock<std::mutex> hold(control_lock_);
    control_done_.wait(hold, [this] { return control_ == nullptr; });
    control_ = &work;
    wake();
    control_done_.wait(hold, [this, &work] { return control_ != &work; });
}

void NetSession::run_control() {
    std::lock_guard<std::mutex> hold(control_lock_);
    if (!control_) return;
    (*control_)();
    control_ = nullptr;
    control_done_.notify_all();
}

// --- the network thread

void NetSession::run() {
    while (running_) {
        run_control();
        send_orders();
        receive_answers();
        if (host_) {
            servicing = this;
            service();
            servicing = nullptr;
        }
        if (hosting_) guard_peers();
        check_join_time_out();
        if (host_) enet_host_flush(host_);
        wait_for_traffic();
    }
    run_control();  // a control call that came with the end
}

// Sleeps until a datagram, an order or a control call arrives, or ENet is due a service.
void NetSession::wait_for_traffic() {
    pollfd fds[3];
    nfds_t count = 0;
    fds[count++] = {wake_fd_, POLLIN, 0};
    if (host_) fds[count++] = {host_->socket, POLLIN, 0};
    if (discovery_ != -1) fds[count++] = {discovery_, POLLIN, 0};
    // A full inbox: wait for the game to take some before reading on. Without a host
    // there is nothing to service until a call or an order comes.
    const int timeout = holding_ ? 1 : host_ ? kServiceIntervalMs : -1;
    if (poll(fds, count, timeout) > 0 && (fds[0].revents & POLLIN)) {
        uint64_t value = 0;
        if (read(wake_fd_, &value, sizeof value) < 0) {
            // Nothing to read: another wake-up took it.
        }
    }
}

bool NetSession::post(const NetEvent& event) {
    if (holding_ || !mailbox_.post(event)) {
        if (!holding_) {
            held_ = event;
            holding_ = true;
        }
        return false;
    }
    return true;
}

void NetSession::note(const char* format, ...) {
    NetEvent event = event_of(net_note, 0);
    va_list args;
    va_start(args, format);
    std::vsnprintf(event.note, sizeof event.note, format, args);
    va_end(args);
    post(event);
}

void NetSession::send_orders() {
    for (size_t taken = kOrderBatch; taken == kOrderBatch;) {
        taken = mailbox_.take_orders(orders_.get(), kOrderBatch);
        for (size_t i = 0; i < taken; ++i) send_order(orders_[i]);
    }
}

void NetSession::send_order(const NetOrder& order) {
    for (int i = 0; i < order.peer_count && i < kMaxOrderPeers; ++i) {
        ENetPeer* peer = find_peer(order.peers[i]);
        if (!peer) continue;
        switch (order.kind) {
            case order_send:
                send(peer, order.channel, order.bytes, order.size);
                break;
            case order_send_map:
                encode_map(*map_, map_bytes_);
                send(peer, channel_reliable, map_bytes_, sizeof map_bytes_);
                break;
            case order_disconnect:
                enet_peer_disconnect(peer, order.reason);
                break;
        }
    }
}

ENetPeer* NetSession::find_peer(uint32_t id) const {
    if (!host_) return nullptr;
    if (joined_) return id == kHostPeer && welcomed_ ? server_ : nullptr;
    if (!hosting_ || id == 0) return nullptr;
    for (size_t i = 0; i < host_->peerCount; ++i) {
        ENetPeer* peer = &host_->peers[i];
        if (peer->state == ENET_PEER_STATE_CONNECTED && peer_id(peer) == id) return peer;
    }
    return nullptr;
}

void NetSession::service() {
    if (holding_) {
        if (!mailbox_.post(held_)) return;  // still full: ENet keeps the rest for now
        holding_ = false;
    }
    ENetEvent event;
    while (host_ && !holding_ && enet_host_service(host_, &event, 0) > 0) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (hosting_) {
                    host_connect(event.peer);
                } else if (event.peer == server_) {
                    uint8_t hello[kHelloMessageSize];
                    encode_hello(hello_, hello);
                    send(server_, channel_reliable, hello, sizeof hello);
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (hosting_) {
                    host_receive(event.peer, event.packet->data, event.packet->dataLength);
                } else {
                    client_receive(event.packet->data, event.packet->dataLength);
                }
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (hosting_) {
                    const uint32_t id = peer_id(event.peer);
                    set_peer_id(event.peer, 0);
                    guard(event.peer) = PeerGuard{};
                    NetEvent left = event_of(net_peer_left, id);
                    left.left =
                        PeerLeft{leave_none, event.peer->address.host, event.peer->address.port};
                    if (id != 0) post(left);
                } else if (event.peer == server_) {
                    // No word from the host before its welcome: nobody answered.
                    const uint32_t reason =
                        welcomed_ || event.data != leave_none ? event.data : kLeaveNoAnswer;
                    return end_join(reason);  // the client's ENet host is gone
                }
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
}

NetSession::PeerGuard& NetSession::guard(const ENetPeer* peer) {
    return guards_[static_cast<size_t>(peer - host_->peers) % kHostPeers];
}

// The connection becomes a player only when it says hello: until then it holds no slot.
void NetSession::host_connect(ENetPeer* peer) {
    enet_peer_timeout(peer, 0, kTimeoutMinimumMs, kTimeoutMaximumMs);
    set_peer_id(peer, next_peer_id_++);
    PeerGuard& known = guard(peer);
    if (!known.watched || known.connect_id != peer->connectID)
        known = PeerGuard{true, peer->connectID, now_ms(), false, 0};
}

// Hello once and first; actions and views only after it.
bool NetSession::accept_from(ENetPeer* peer, uint32_t type) {
    PeerGuard& known = guard(peer);
    if (type == message_hello) return !known.said_hello;
    return known.said_hello && (type == message_action || type == message_view);
}

void NetSession::host_receive(ENetPeer* peer, const uint8_t* data, size_t size) {
    const uint32_t id = peer_id(peer);
    if (id == 0) return;
    const uint32_t type = message_type(data, size);
    NetEvent event = event_of(net_peer_hello, id);
    bool good = accept_from(peer, type);
    if (good && type == message_hello) {
        good = decode_hello(data, size, event.hello);
        guard(peer).said_hello = good;
    } else if (good && type == message_action) {
        event.kind = net_peer_action;
        good = decode_action(data, size, event.action);
    } else if (good) {
        event.kind = net_peer_view;
        good = decode_view(data, size, event.view);
    }
    if (good) {
        post(event);
    } else {
        count_bad_message(peer);
    }
}

void NetSession::count_bad_message(ENetPeer* peer) {
    if (++guard(peer).bad_messages > kBadMessagesForgiven) drop_peer(peer, leave_bad_data);
}

// Ends a connection at once, with the reason, and tells the game whose it was.
void NetSession::drop_peer(ENetPeer* peer, uint32_t reason) {
    NetEvent left = event_of(net_peer_left, peer_id(peer));
    left.left = PeerLeft{reason, peer->address.host, peer->address.port};
    set_peer_id(peer, 0);
    guard(peer) = PeerGuard{};
    enet_peer_disconnect_now(peer, reason);
    post(left);
}

// Connections that have not said hello by the deadline are dropped; one that never
// finished connecting goes without a word.
void NetSession::guard_peers() {
    const uint32_t now = now_ms();
    for (size_t i = 0; i < host_->peerCount && !holding_; ++i) {
        ENetPeer* peer = &host_->peers[i];
        PeerGuard& known = guards_[i];
        if (peer->state == ENET_PEER_STATE_DISCONNECTED) {
            known = PeerGuard{};
            continue;
        }
        if (!known.watched || known.connect_id != peer->connectID) {
            known = PeerGuard{true, peer->connectID, now, false, 0};
        }
        if (known.said_hello || now - known.since_ms < hello_deadline_ms_) continue;
        if (peer->state == ENET_PEER_STATE_CONNECTED) {
            drop_peer(peer, leave_no_hello);
        } else if (peer->state < ENET_PEER_STATE_CONNECTED) {
            enet_peer_reset(peer);
            known = PeerGuard{};
        }
    }
}

void NetSession::client_receive(const uint8_t* data, size_t size) {
    switch (message_type(data, size)) {
        case message_welcome: {
            NetEvent event = event_of(net_welcomed, kHostPeer);
            if (welcomed_ || !decode_welcome(data, size, event.welcome)) return;
            welcomed_ = true;
            post(event);
            return;
        }
        case message_map:
            if (decode_map(data, size, *map_)) mailbox_.post_map(*map_);
            return;
        case message_world:
            if (welcomed_ && decode_world(data, size, *world_)) mailbox_.post_world(*world_);
            return;
        case message_scores:
            if (welcomed_ && decode_scores(data, size, scores_)) mailbox_.post_scores(scores_);
            return;
        default:
            return;
    }
}

void NetSession::end_join(uint32_t reason) {
    NetEvent event = event_of(net_ended, kHostPeer);
    event.reason = reason;
    post(event);
    close_host();
    joined_ = false;
    welcomed_ = false;
}

void NetSession::check_join_time_out() {
    if (!joined_ || welcomed_) return;
    const auto waited = std::chrono::steady_clock::now() - join_started_;
    if (holding_ || waited < std::chrono::milliseconds(join_timeout_ms_)) return;
    if (server_) enet_peer_reset(server_);
    end_join(kLeaveNoAnswer);
}

void NetSession::send(ENetPeer* peer, NetChannel channel, const uint8_t* data, size_t size) {
    const bool reliable = channel == channel_reliable;
    ENetPacket* packet = enet_packet_create(data, size, reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (!packet) return;
    if (enet_peer_send(peer, channel, packet) != 0) enet_packet_destroy(packet);
}

void NetSession::close_host() {
    if (host_) enet_host_destroy(host_);
    host_ = nullptr;
    server_ = nullptr;
}

void NetSession::stop_hosting_now() {
    if (!hosting_) return;
    for (size_t i = 0; i < host_->peerCount; ++i) {
        ENetPeer* peer = &host_->peers[i];
        if (peer->state == ENET_PEER_STATE_CONNECTED)
            enet_peer_disconnect(peer, leave_host_stopped);
    }
    enet_host_flush(host_);
    close_host();
    hosting_ = false;
    port_ = 0;
}

void NetSession::leave_now() {
    if (!joined_) return;
    if (server_) {
        enet_peer_disconnect(server_, leave_none);
        enet_host_flush(host_);
    }
    close_host();
    joined_ = false;
    welcomed_ = false;
}

// Whatever this side was doing ends, and nothing of it is left for the game to take.
void NetSession::end_session() {
    stop_hosting_now();
    leave_now();
    mailbox_.clear();
    holding_ = false;
}

// --- the game thread's calls

bool NetSession::host_game(const char* name, uint16_t port, const MapGrid& map) {
    bool hosted = false;
    on_network_thread([&] {
        end_session();
        ENetAddress address{ENET_HOST_ANY, port};
        host_ = enet_host_create(&address, kHostPeers, kChannels, 0, 0);
        if (!host_) return;
        host_->duplicatePeers = kPeersPerAddress;
        host_->maximumPacketSize = kMapMessageSize;  // no game message is larger
        for (PeerGuard& known : guards_) known = PeerGuard{};
        clean_text(session_name_, sizeof session_name_, name ? name : "", kSessionNameSize);
        if (session_name_[0] == '\0')
            std::snprintf(session_name_, sizeof session_name_, "%s", kDefaultSessionName);
        host_->intercept = intercept;
        std::random_device random;
        for (uint8_t& byte : instance_) byte = static_cast<uint8_t>(random());
        *map_ = map;
        hosting_ = true;
        ENetAddress bound{};
        port_ = enet_socket_get_address(host_->socket, &bound) == 0 ? bound.port : port;
        hosted = true;
    });
    return hosted;
}

void NetSession::stop_hosting() {
    on_network_thread([this] { end_session(); });
}

bool NetSession::join_game(const char* host, uint16_t port, const Hello& hello) {
    bool connecting = false;
    on_network_thread([&] {
        end_session();
        ENetAddress address{0, port};
        if (host == nullptr || enet_address_set_host(&address, host) != 0) return;
        host_ = enet_host_create(nullptr, 1, kChannels, 0, 0);
        if (host_) host_->maximumPacketSize = kMapMessageSize;
        server_ = host_ ? enet_host_connect(host_, &address, kChannels, 0) : nullptr;
        if (!server_) return close_host();
        enet_peer_timeout(server_, 0, kTimeoutMinimumMs, kTimeoutMaximumMs);
        hello_ = hello;
        joined_ = true;
        welcomed_ = false;
        join_started_ = std::chrono::steady_clock::now();
        connecting = true;
    });
    return connecting;
}

void NetSession::leave_client() {
    on_network_thread([this] { end_session(); });
}

// A full outbox means the network thread fell behind: the game waits for it rather than
// lose a message that must arrive, and gives up only when it seems stuck.
bool NetSession::order(const NetOrder& order) {
    for (int tries = 0; tries < kOutboxWaits; ++tries) {
        const bool queued = mailbox_.order(order);
        wake();
        if (queued) return true;
        mailbox_.wait_for_room(std::chrono::milliseconds(kOutboxWaitMs));
    }
    std::fprintf(stderr, "torvi: the network thread takes nothing to send; a message was lost\n");
    return false;
}

size_t NetSession::take_events(NetEvent* out, size_t max) {
    return mailbox_.take_events(out, max);
}

bool NetSession::take_world(WorldUpdate& out) {
    return mailbox_.take_world(out);
}

bool NetSession::take_map(MapGrid& out) {
    return mailbox_.take_map(out);
}

bool NetSession::take_scores(Scores& out) {
    return mailbox_.take_scores(out);
}

NetTraffic NetSession::traffic() {
    NetTraffic traffic{0, 0};
    on_network_thread([&] {
        if (host_) traffic = NetTraffic{host_->totalSentData, host_->totalReceivedData};
    });
    return traffic;
}

// --- discovery

bool NetSession::answer_query(const void* from, const uint8_t* data, size_t size) {
    uint32_t stamp = 0;
    if (!hosting_ || !host_ || !decode_query(data, size, stamp)) return false;
    const ENetAddress& sender = *static_cast<const ENetAddress*>(from);
    if (!answers_.allow(sender.host, now_ms())) return true;  // dropped, not passed to ENet either
    DiscoveryAnswer answer{};
    answer.stamp = stamp;
    std::memcpy(answer.instance, instance_, sizeof instance_);
    answer.port = port_;
    std::snprintf(answer.session_name, sizeof answer.session_name, "%s", session_name_);
    std::snprintf(answer.host_name, sizeof answer.host_name, "%s", machine_name_);
    uint8_t bytes[kDiscoverySize];
    encode_answer(answer, bytes);
    ENetBuffer buffer{bytes, sizeof bytes};
    enet_socket_send(host_->socket, &sender, &buffer, 1);
    return true;
}

void NetSession::query(uint32_t address, uint16_t port) {
    uint8_t bytes[kDiscoverySize];
    encode_query(now_ms(), bytes);
    ENetAddress to{address, port};
    ENetBuffer buffer{bytes, sizeof bytes};
    enet_socket_send(discovery_, &to, &buffer, 1);
}

void NetSession::refresh_hosts(const char* addresses, uint16_t port) {
    const std::string list = addresses ? addresses : "";
    on_network_thread([&] {
        if (discovery_ == -1) {
            discovery_ = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
            ENetAddress any{ENET_HOST_ANY, 0};
            if (discovery_ == -1 || enet_socket_bind(discovery_, &any) != 0) {
                note("cannot search for games: no socket");
                if (discovery_ != -1) enet_socket_destroy(discovery_);
                discovery_ = -1;
                return;
            }
            enet_socket_set_option(discovery_, ENET_SOCKOPT_NONBLOCK, 1);
            enet_socket_set_option(discovery_, ENET_SOCKOPT_BROADCAST, 1);
        }
        size_t begin = 0;
        bool any = false;
        while (begin < list.size()) {
            size_t end = list.find(',', begin);
            if (end == std::string::npos) end = list.size();
            std::string name = list.substr(begin, end - begin);
            begin = end + 1;
            name.erase(0, name.find_first_not_of(" \t"));
            name.erase(name.find_last_not_of(" \t") + 1);
            ENetAddress address{0, port};
            if (name.empty()) continue;
            if (enet_address_set_host_ip(&address, name.c_str()) != 0) {
                note("[net] enumerate: \"%s\" is no address", name.c_str());
                continue;
            }
            query(address.host, port);
            any = true;
        }
        if (any || !list.empty()) return;
        // No addresses given: the broadcast address of every local network.
        ifaddrs* interfaces = nullptr;
        if (getifaddrs(&interfaces) != 0) return;
        for (ifaddrs* i = interfaces; i; i = i->ifa_next) {
            if (!i->ifa_broadaddr || !(i->ifa_flags & IFF_BROADCAST) || !i->ifa_addr ||
                i->ifa_addr->sa_family != AF_INET) {
                continue;
            }
            query(reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr)->sin_addr.s_addr, port);
        }
        freeifaddrs(interfaces);
    });
}

void NetSession::receive_answers() {
    if (discovery_ == -1) return;
    uint8_t bytes[kDiscoverySize + 1];
    for (int n = 0; n < kAnswersPerService && !holding_; ++n) {
        ENetAddress from{};
        ENetBuffer buffer{bytes, sizeof bytes};
        const int size = enet_socket_receive(discovery_, &from, &buffer, 1);
        if (size <= 0) return;
        DiscoveryAnswer answer;
        if (!decode_answer(bytes, static_cast<size_t>(size), answer)) continue;
        NetEvent event = event_of(net_host_found, 0);
        HostEntry& entry = event.host;
        std::memcpy(entry.instance, answer.instance, sizeof entry.instance);
        entry.address = from.host;
        entry.port = static_cast<uint16_t>(answer.port);
        std::snprintf(entry.session_name, sizeof entry.session_name, "%s", answer.session_name);
        std::snprintf(entry.host_name, sizeof entry.host_name, "%s", answer.host_name);
        entry.round_trip_ms = now_ms() - answer.stamp;
        post(event);
    }
}
