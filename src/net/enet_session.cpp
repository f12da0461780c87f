#include "net/enet_session.h"

#include <enet/enet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "net/slots.h"
#include "world/movement.h"

namespace {

constexpr size_t kChannels = 2;
constexpr uint8_t kReliableChannel = 0;  // actions, views, hello, welcome, map: in order
constexpr uint8_t kWorldChannel = 1;     // world state: the newest counts, losses are fine
constexpr uint32_t kTimeoutMinimumMs = 3000;
constexpr uint32_t kTimeoutMaximumMs = 5000;
constexpr uint32_t kServiceWaitMs = 2;
constexpr uint64_t kViewRefreshMs = 1000;
constexpr uint32_t kConsoleColour = 0xFFFFFFFF;
constexpr char kHandlerLine[] = "server_messagehandler";
// A client's moves turn by this camera until it sends its own: the play camera's.
const Camera kDefaultView = {{0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f}};

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

int slot_of(const ENetPeer* peer) {
    return static_cast<int>(reinterpret_cast<intptr_t>(peer->data));
}

void set_slot(ENetPeer* peer, int slot) {
    peer->data = reinterpret_cast<void*>(static_cast<intptr_t>(slot));
}

bool same_view(const Camera& a, const Camera& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The state a client shows of a slot: everything but the host's own network bookkeeping.
void take_slot(PlayerRecord& local, const PlayerRecord& remote) {
    std::memcpy(local.name, remote.name, sizeof local.name);
    local.position = remote.position;
    local.velocity = remote.velocity;
    local.health = remote.health;
    local.facing = remote.facing;
    local.element = remote.element;
    local.action = remote.action;
    local.action_phase = remote.action_phase;
    local.slot_state = remote.slot_state;
}

}  // namespace

NetSession::NetSession(NetWorld world) : world_(world) {
    enet_initialize();
    if (gethostname(machine_name_, sizeof machine_name_ - 1) != 0) machine_name_[0] = '\0';
    clean_text(machine_name_, sizeof machine_name_, machine_name_, sizeof machine_name_);
    for (Camera& cam : slot_cameras_) cam = kDefaultView;
    thread_ = std::thread([this] { run(); });
}

NetSession::~NetSession() {
    running_ = false;
    thread_.join();
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (hosting_) stop_hosting();
    if (joined_) leave_client();
    close_host();
    if (discovery_ != -1) enet_socket_destroy(discovery_);
}

uint32_t NetSession::now_ms() const {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - started_)
                                     .count());
}

void NetSession::say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("torvi: ", stdout);
    std::vprintf(format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}

// Services the host without holding the lock while waiting, so the game's ticks never
// wait for the network.
void NetSession::run() {
    while (running_) {
        ENetSocket socket = ENET_SOCKET_NULL;
        {
            std::lock_guard<std::recursive_mutex> hold(world_.lock);
            receive_answers();
            if (host_) {
                servicing = this;
                service();
                servicing = nullptr;
                if (host_) socket = host_->socket;
            }
        }
        if (socket == ENET_SOCKET_NULL) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kServiceWaitMs));
            continue;
        }
        enet_uint32 condition = ENET_SOCKET_WAIT_RECEIVE;
        enet_socket_wait(socket, &condition, kServiceWaitMs);
    }
}

void NetSession::service() {
    ENetEvent event;
    while (host_ && enet_host_service(host_, &event, 0) > 0) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (hosting_) {
                    host_connect(event.peer);
                } else if (event.peer == server_) {
                    uint8_t hello[kHelloMessageSize];
                    encode_hello(hello_, hello);
                    send(server_, hello, sizeof hello, true);
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (hosting_) {
                    handle_host_receive(event.peer, event.packet->data, event.packet->dataLength);
                } else {
                    handle_client_receive(event.packet->data, event.packet->dataLength);
                }
                enet_packet_destroy(event.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (hosting_) {
                    host_disconnect(event.peer);
                } else if (event.peer == server_) {
                    client_disconnect(event.data);
                    return;  // the client's ENet host is gone
                }
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
}

void NetSession::host_connect(ENetPeer* peer) {
    console_print(world_.console, kConsoleColour, "%s", kHandlerLine);
    enet_peer_timeout(peer, 0, kTimeoutMinimumMs, kTimeoutMaximumMs);
    const int slot = reserve_slot(world_.table);
    set_slot(peer, slot < 0 ? 0 : slot);
    if (slot < 0) {
        console_print(world_.console, kConsoleColour, "a player was refused: %s",
                      leave_reason_text(leave_full));
        enet_peer_disconnect(peer, leave_full);
        return;
    }
    slot_cameras_[slot] = kDefaultView;
}

void NetSession::host_disconnect(ENetPeer* peer) {
    console_print(world_.console, kConsoleColour, "%s", kHandlerLine);
    const int slot = slot_of(peer);
    set_slot(peer, 0);
    if (slot <= 0) return;
    if (world_.table.slots[slot].slot_state == slot_reserved) {
        abort_slot(world_.table, slot);
        return;
    }
    console_print(world_.console, kConsoleColour, "%s left", world_.table.slots[slot].name);
    free_slot(world_.table, slot);
    say("player %d left", slot);
}

void NetSession::handle_host_receive(ENetPeer* peer, const uint8_t* data, size_t size) {
    const int slot = slot_of(peer);
    if (slot <= 0) return;  // refused, or already gone
    PlayerRecord& record = world_.table.slots[slot];
    switch (message_type(data, size)) {
        case message_hello: {
            Hello hello;
            if (record.slot_state != slot_reserved || !decode_hello(data, size, hello)) return;
            fill_slot(world_.table, slot, peer->connectID, hello.name);
            record.element = hello.element;
            Welcome welcome{slot, {}};
            std::snprintf(welcome.session_name, sizeof welcome.session_name, "%s", session_name_);
            uint8_t bytes[kWelcomeMessageSize];
            encode_welcome(welcome, bytes);
            send(peer, bytes, sizeof bytes, true);
            encode_map(world_.map, map_bytes_);
            send(peer, map_bytes_, sizeof map_bytes_, true);
            console_print(world_.console, kConsoleColour, "%s joined", record.name);
            say("player %d joined: %s", slot, record.name);
            return;
        }
        case message_action: {
            ActionMessage action;
            if (record.slot_state != slot_in_game || !decode_action(data, size, action)) return;
            apply_action(record, action.kind, action.a, action.b, slot_cameras_[slot]);
            if (observer_) observer_->applied(slot, action);
            return;
        }
        case message_view: {
            Camera view;
            if (decode_view(data, size, view)) slot_cameras_[slot] = view;
            return;
        }
        default:
            return;  // nothing a game sends: dropped
    }
}

void NetSession::handle_client_receive(const uint8_t* data, size_t size) {
    switch (message_type(data, size)) {
        case message_welcome: {
            Welcome welcome;
            if (welcomed() || !decode_welcome(data, size, welcome)) return;
            welcome_slot_ = welcome.slot;
            world_.session.local_player_index = welcome.slot;
            console_print(world_.console, kConsoleColour, "joined \"%s\" as player %d",
                          welcome.session_name, welcome.slot);
            say("joined %s as player %d", host_text_, welcome.slot);
            return;
        }
        case message_map:
            decode_map(data, size, world_.map);
            return;
        case message_world: {
            if (!welcomed() || !decode_world(data, size, incoming_)) return;
            for (int i = 0; i < kPlayerSlots; ++i) {
                take_slot(world_.table.slots[i], incoming_.table.slots[i]);
            }
            for (int i = 0; i < incoming_.effect_count; ++i) {
                effect_spawn(world_.effects, incoming_.effects[i].kind,
                             incoming_.effects[i].position);
            }
            return;
        }
        default:
            return;
    }
}

void NetSession::client_disconnect(uint32_t reason) {
    console_print(world_.console, kConsoleColour, "%s", kHandlerLine);
    end_reason_ = reason;
    ended_ = true;
    joined_ = false;
    say("left the game: %s", leave_reason_text(end_reason_));
    close_host();
}

void NetSession::send(ENetPeer* peer, const uint8_t* data, size_t size, bool reliable) {
    ENetPacket* packet = enet_packet_create(data, size, reliable ? ENET_PACKET_FLAG_RELIABLE : 0);
    if (!packet) return;
    if (enet_peer_send(peer, reliable ? kReliableChannel : kWorldChannel, packet) != 0) {
        enet_packet_destroy(packet);
    }
}

void NetSession::close_host() {
    if (host_) enet_host_destroy(host_);
    host_ = nullptr;
    server_ = nullptr;
}

bool NetSession::host_game(const char* name, uint16_t port) {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (joined_) leave_client();
    if (hosting_) stop_hosting();
    ENetAddress address{ENET_HOST_ANY, port};
    // One peer more than the slots, so a player who finds the game full is told why.
    host_ = enet_host_create(&address, kClientLimit + 1, kChannels, 0, 0);
    if (!host_) {
        console_print(world_.console, kConsoleColour,
                      "cannot host on port %u: is another game using it?", port);
        return false;
    }
    clean_text(session_name_, sizeof session_name_, name ? name : "", kSessionNameSize);
    if (session_name_[0] == '\0')
        std::snprintf(session_name_, sizeof session_name_, "%s", kDefaultSessionName);
    host_->intercept = intercept;
    std::random_device random;
    for (uint8_t& byte : instance_) byte = static_cast<uint8_t>(random());
    hosting_ = true;
    effects_sent_ = world_.effects.spawned;
    for (Camera& cam : slot_cameras_) cam = kDefaultView;
    say("hosting \"%s\" on port %u", session_name_, this->port());
    return true;
}

void NetSession::stop_hosting() {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (!hosting_) return;
    for (size_t i = 0; i < host_->peerCount; ++i) {
        ENetPeer* peer = &host_->peers[i];
        if (peer->state == ENET_PEER_STATE_CONNECTED)
            enet_peer_disconnect(peer, leave_host_stopped);
    }
    enet_host_flush(host_);
    close_host();
    hosting_ = false;
    say("stopped hosting");
}

bool NetSession::join_game(const char* host, uint16_t port, const Hello& hello) {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (hosting_) stop_hosting();
    if (joined_) leave_client();
    ENetAddress address{0, port};
    if (host == nullptr || enet_address_set_host(&address, host) != 0) {
        console_print(world_.console, kConsoleColour, "no host \"%s\" to join", host ? host : "");
        return false;
    }
    host_ = enet_host_create(nullptr, 1, kChannels, 0, 0);
    server_ = host_ ? enet_host_connect(host_, &address, kChannels, 0) : nullptr;
    if (!server_) {
        close_host();
        console_print(world_.console, kConsoleColour, "cannot connect to %s", host);
        return false;
    }
    enet_peer_timeout(server_, 0, kTimeoutMinimumMs, kTimeoutMaximumMs);
    std::snprintf(host_text_, sizeof host_text_, "%s:%u", host, port);
    hello_ = hello;
    joined_ = true;
    ended_ = false;
    welcome_slot_ = 0;
    join_clock_set_ = false;
    view_sent_ = false;
    return true;
}

void NetSession::leave_client() {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (!joined_) return;
    if (server_) {
        enet_peer_disconnect(server_, leave_none);
        enet_host_flush(host_);
    }
    close_host();
    joined_ = false;
    welcome_slot_ = 0;
}

void NetSession::send_action(ActionKind kind, float a, float b) {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (!joined_ || !server_ || !welcomed()) return;
    uint8_t bytes[kActionMessageSize];
    encode_action(ActionMessage{0, kind, a, b}, bytes);  // a client's player field is 0
    send(server_, bytes, sizeof bytes, true);
    enet_host_flush(host_);
}

void NetSession::send_view(const Camera& cam, uint64_t now_ms) {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (!joined_ || !server_ || !welcomed()) return;
    if (view_sent_ && same_view(cam, last_view_) && now_ms - last_view_ms_ < kViewRefreshMs) {
        return;
    }
    uint8_t bytes[kViewMessageSize];
    encode_view(cam, bytes);
    send(server_, bytes, sizeof bytes, true);
    enet_host_flush(host_);
    last_view_ = cam;
    last_view_ms_ = now_ms;
    view_sent_ = true;
}

void NetSession::send_world() {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (!hosting_) return;
    WorldState& world = incoming_;  // scratch; a host receives no world
    world.table = world_.table;
    const uint32_t fresh = world_.effects.spawned - effects_sent_;
    world.effect_count = static_cast<int32_t>(fresh < kWorldEffects ? fresh : kWorldEffects);
    for (int i = 0; i < world.effect_count; ++i) {
        const Effect& e = world_.effects.entries[kEffectCount - world.effect_count + i];
        world.effects[i] = WorldEffect{e.kind, e.position};
    }
    effects_sent_ = world_.effects.spawned;
    encode_world(world, world_bytes_);
    for (size_t i = 0; i < host_->peerCount; ++i) {
        ENetPeer* peer = &host_->peers[i];
        const int slot = slot_of(peer);
        if (peer->state != ENET_PEER_STATE_CONNECTED || slot <= 0) continue;
        if (world_.table.slots[slot].slot_state != slot_in_game) continue;
        send(peer, world_bytes_, sizeof world_bytes_, false);
    }
    enet_host_flush(host_);
}

bool NetSession::take_end(uint64_t now_ms, char* why, size_t size) {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (joined_ && !welcomed()) {
        if (!join_clock_set_) {
            join_started_ms_ = now_ms;
            join_clock_set_ = true;
        } else if (now_ms - join_started_ms_ >= kJoinTimeoutMs) {
            leave_client();
            std::snprintf(why, size, "the host %s did not answer", host_text_);
            say("left the game: %s", why);
            return true;
        }
    }
    if (!ended_) return false;
    ended_ = false;
    std::snprintf(why, size, "%s", leave_reason_text(end_reason_));
    return true;
}

const Camera& NetSession::slot_camera(int slot) const {
    return slot_cameras_[slot >= 0 && slot < kPlayerSlots ? slot : 0];
}

uint16_t NetSession::port() const {
    if (!hosting_ || !host_) return 0;
    ENetAddress address{};
    if (enet_socket_get_address(host_->socket, &address) != 0) return 0;
    return address.port;
}

bool NetSession::answer_query(const void* from, const uint8_t* data, size_t size) {
    uint32_t stamp = 0;
    if (!hosting_ || !host_ || !decode_query(data, size, stamp)) return false;
    const ENetAddress& sender = *static_cast<const ENetAddress*>(from);
    if (!answers_.allow(sender.host, now_ms())) return true;  // dropped, not passed to ENet either
    DiscoveryAnswer answer{};
    answer.stamp = stamp;
    std::memcpy(answer.instance, instance_, sizeof instance_);
    answer.port = port();
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
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (discovery_ == -1) {
        discovery_ = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
        ENetAddress any{ENET_HOST_ANY, 0};
        if (discovery_ == -1 || enet_socket_bind(discovery_, &any) != 0) {
            console_print(world_.console, kConsoleColour, "cannot search for games: no socket");
            if (discovery_ != -1) enet_socket_destroy(discovery_);
            discovery_ = -1;
            return;
        }
        enet_socket_set_option(discovery_, ENET_SOCKOPT_NONBLOCK, 1);
        enet_socket_set_option(discovery_, ENET_SOCKOPT_BROADCAST, 1);
    }
    const std::string list = addresses ? addresses : "";
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
            console_print(world_.console, kConsoleColour, "[net] enumerate: \"%s\" is no address",
                          name.c_str());
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
}

void NetSession::receive_answers() {
    if (discovery_ == -1) return;
    uint8_t bytes[kDiscoverySize + 1];
    for (int n = 0; n < 64; ++n) {
        ENetAddress from{};
        ENetBuffer buffer{bytes, sizeof bytes};
        const int size = enet_socket_receive(discovery_, &from, &buffer, 1);
        if (size <= 0) return;
        DiscoveryAnswer answer;
        if (!decode_answer(bytes, static_cast<size_t>(size), answer)) continue;
        HostEntry entry{};
        std::memcpy(entry.instance, answer.instance, sizeof entry.instance);
        entry.address = from.host;
        entry.port = static_cast<uint16_t>(answer.port);
        std::snprintf(entry.session_name, sizeof entry.session_name, "%s", answer.session_name);
        std::snprintf(entry.host_name, sizeof entry.host_name, "%s", answer.host_name);
        entry.round_trip_ms = now_ms() - answer.stamp;
        if (add_host(hosts_, entry)) hosts_changed_ = true;
    }
}

bool NetSession::take_hosts_changed() {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    const bool changed = hosts_changed_;
    hosts_changed_ = false;
    return changed;
}

void NetSession::set_action_observer(ActionObserver* observer) {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    observer_ = observer;
}

NetTraffic NetSession::traffic() {
    std::lock_guard<std::recursive_mutex> hold(world_.lock);
    if (!host_) return NetTraffic{0, 0};
    return NetTraffic{host_->totalSentData, host_->totalReceivedData};
}
