#include "net/net_game.h"

#include <cstdio>
#include <cstring>

#include "net/say.h"
#include "net/slots.h"

namespace {

constexpr uint32_t kConsoleColour = 0xFFFFFFFF;

// The slot a connection holds, or -1.
int slot_of_peer(const PlayerTable& table, uint32_t peer) {
    for (int slot = 1; slot < kPlayerSlots; ++slot) {
        const PlayerRecord& r = table.slots[slot];
        if (r.slot_state != slot_free && r.net_id == peer) return slot;
    }
    return -1;
}

void emit(NetGame& game, RemoteEventSink* record, const RemoteEvent& event) {
    if (record) record->remote_event(event);
    RemoteWorld world{game.table, game.state.views, game.console};
    apply_remote_event(world, event);
}

RemoteEvent remote(RemoteKind kind, int slot) {
    RemoteEvent event{};
    event.kind = kind;
    event.slot = slot;
    return event;
}

void disconnect(Network& net, uint32_t peer, uint32_t reason) {
    NetOrder order;
    order.kind = order_disconnect;
    order.peer_count = 1;
    order.peers[0] = peer;
    order.reason = reason;
    order.size = 0;
    net.order(order);
}

void welcome(NetGame& game, Network& net, uint32_t peer, int slot) {
    Welcome welcome{slot, {}};
    std::snprintf(welcome.session_name, sizeof welcome.session_name, "%s", game.state.session_name);
    uint8_t bytes[kWelcomeMessageSize];
    encode_welcome(welcome, bytes);
    send_reliable(net, peer, bytes, sizeof bytes);
    NetOrder map;
    make_send_order(map, peer, channel_reliable, bytes, 0);
    map.kind = order_send_map;
    net.order(map);
}

// A connection becomes a player when it says hello: it takes the lowest free slot, or is
// told the game is full when every slot is in a game.
void peer_hello(NetGame& game, Network& net, RemoteEventSink* record, const NetEvent& event) {
    if (slot_of_peer(game.table, event.peer) >= 0) return;
    const int slot = free_client_slot(game.table);
    if (slot < 0) {
        disconnect(net, event.peer, leave_full);
        RemoteEvent refused = remote(remote_refused, 0);
        refused.reason = leave_full;
        return emit(game, record, refused);
    }
    emit(game, record, remote(remote_connect, slot));
    game.table.slots[slot].net_id = event.peer;  // the host's own bookkeeping: not replayed
    RemoteEvent join = remote(remote_join, slot);
    join.element = event.hello.element;
    std::memcpy(join.name, event.hello.name, sizeof join.name);
    emit(game, record, join);
    if (game.table.slots[slot].slot_state == slot_in_game) welcome(game, net, event.peer, slot);
}

// The host's line about a connection it dropped.
void say_dropped(NetGame& game, const PeerLeft& left) {
    const char* why = left.reason == leave_no_hello   ? "it said no hello in time"
                      : left.reason == leave_bad_data ? "it sent what no game sends"
                                                      : nullptr;
    if (!why) return;
    char address[kAddressTextSize];
    address_text(left.address, left.port, address, sizeof address);
    console_print(game.console, kConsoleColour, "dropped %s: %s", address, why);
    console_hold_newest(game.console, kNetLineHoldTicks);
    say("dropped %s: %s", address, why);
}

// A peer's event about its own slot: an action, a view, its leave.
void peer_slot_event(NetGame& game, RemoteEventSink* record, const NetEvent& event) {
    const int slot = slot_of_peer(game.table, event.peer);
    if (slot < 0) return;  // refused, or never took a slot
    switch (event.kind) {
        case net_peer_action: {
            if (game.table.slots[slot].slot_state != slot_in_game) return;
            RemoteEvent action = remote(remote_action, slot);
            action.action = event.action;
            return emit(game, record, action);
        }
        case net_peer_view: {
            RemoteEvent view = remote(remote_view, slot);
            view.view = event.view;
            return emit(game, record, view);
        }
        default:
            return emit(game, record, remote(remote_leave, slot));
    }
}

void peer_left(NetGame& game, RemoteEventSink* record, const NetEvent& event) {
    say_dropped(game, event.left);
    peer_slot_event(game, record, event);
}

// Only the welcome starts a joining player's game, in the slot the host gave it.
void welcomed(NetGame& game, const Welcome& welcome, NetNews& news) {
    if (!game.state.joining) return;
    game.state.joining = false;
    game.state.welcomed = true;
    news.welcomed = true;
    start_game_as_client(game.table, game.session);
    game.session.local_player_index = welcome.slot;
    console_print(game.console, kConsoleColour, "joined \"%s\" as player %d", welcome.session_name,
                  welcome.slot);
    say("joined %s as player %d", game.state.join_target, welcome.slot);
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

void take_world(NetGame& game, Network& net) {
    WorldUpdate& world = game.state.incoming;
    if (!net.take_world(world) || !game.state.welcomed) return;
    for (int i = 0; i < kPlayerSlots; ++i) take_slot(game.table.slots[i], world.table.slots[i]);
    for (int i = 0; i < world.effect_count; ++i) {
        effect_spawn(game.effects, world.effects[i].kind, world.effects[i].position);
    }
}

void take_scores(NetGame& game, Network& net) {
    Scores& scores = game.state.scores;
    if (!net.take_scores(scores) || !game.state.welcomed) return;
    for (int i = 0; i < kPlayerSlots; ++i) {
        game.table.slots[i].knockouts = scores.knockouts[i];
        game.table.slots[i].down_ticks = scores.down_ticks[i];
    }
}

void handle(NetGame& game, Network& net, RemoteEventSink* record, const NetEvent& event,
            NetNews& news) {
    const bool host = game.session.host;
    switch (event.kind) {
        case net_peer_hello:
            if (host) peer_hello(game, net, record, event);
            return;
        case net_peer_action:
        case net_peer_view:
            if (host) peer_slot_event(game, record, event);
            return;
        case net_peer_left:
            if (host) peer_left(game, record, event);
            return;
        case net_welcomed:
            return welcomed(game, event.welcome, news);
        case net_ended:
            if (!game.session.client && !game.state.joining) return;
            news.ended = true;
            news.reason = event.reason;
            return;
        case net_host_found:
            if (add_host(game.state.hosts, event.host)) news.hosts_changed = true;
            return;
        case net_note:
            console_print(game.console, kConsoleColour, "%.*s", static_cast<int>(kNoteSize),
                          event.note);
            return;
    }
}

}  // namespace

void init_net_game_state(NetGameState& state) {
    for (Camera& view : state.views) view = kDefaultRemoteView;
    std::snprintf(state.session_name, sizeof state.session_name, "%s", kDefaultSessionName);
    state.effects_sent = 0;
    state.ticks_since_world = 0;
    state.welcomed = false;
    state.joining = false;
    state.join_target[0] = '\0';
    state.last_view = Camera{};
    state.last_view_ms = 0;
    state.view_sent = false;
    clear_hosts(state.hosts);
    state.hosts.entries.reserve(kMaxListedHosts);  // a tick that finds a host allocates nothing
}

void start_hosting_state(NetGame& game, const char* session_name) {
    NetGameState& state = game.state;
    state.joining = false;  // hosting ended any join on the way
    state.welcomed = false;
    for (Camera& view : state.views) view = kDefaultRemoteView;
    std::snprintf(state.session_name, sizeof state.session_name, "%s", session_name);
    state.effects_sent = game.effects.spawned;
    state.ticks_since_world = 0;
}

void start_joining_state(NetGame& game, const char* host, uint16_t port) {
    NetGameState& state = game.state;
    state.welcomed = false;
    state.joining = true;
    state.view_sent = false;
    std::snprintf(state.join_target, sizeof state.join_target, "%s:%u", host, port);
}

void stop_joining_state(NetGame& game) {
    game.state.joining = false;
    game.state.welcomed = false;
}

NetNews take_network(NetGame& game, Network& net, RemoteEventSink* record) {
    NetNews news{false, 0, false, false};
    NetGameState& state = game.state;
    constexpr size_t kBatch = sizeof state.events / sizeof state.events[0];
    for (size_t taken = kBatch; taken == kBatch;) {
        taken = net.take_events(state.events, kBatch);
        for (size_t i = 0; i < taken; ++i) handle(game, net, record, state.events[i], news);
    }
    if (game.session.client) {
        net.take_map(game.map);
        take_world(game, net);
        take_scores(game, net);
    }
    return news;
}

void send_world_when_due(NetGame& game, Network& net) {
    NetGameState& state = game.state;
    if (++state.ticks_since_world < kWorldEveryTicks) return;
    state.ticks_since_world = 0;
    NetOrder order;
    order.kind = order_send;
    order.channel = channel_world;
    order.peer_count = 0;
    order.reason = 0;
    for (int slot = 1; slot < kPlayerSlots; ++slot) {
        const PlayerRecord& r = game.table.slots[slot];
        if (r.slot_state == slot_in_game) order.peers[order.peer_count++] = r.net_id;
    }
    const uint32_t fresh = game.effects.spawned - state.effects_sent;
    state.effects_sent = game.effects.spawned;
    if (order.peer_count == 0) return;
    WorldState& world = state.outgoing;
    world.table = game.table;
    world.effect_count = static_cast<int32_t>(fresh < kWorldEffects ? fresh : kWorldEffects);
    for (int i = 0; i < world.effect_count; ++i) {
        const Effect& e = game.effects.entries[kEffectCount - world.effect_count + i];
        world.effects[i] = WorldEffect{e.kind, e.position};
    }
    encode_world(world, order.bytes);
    order.size = static_cast<uint16_t>(kWorldMessageSize);
    net.order(order);
    // The knock-outs beside it, in a message of their own that older clients skip.
    encode_scores(game.table, order.bytes);
    order.size = static_cast<uint16_t>(kScoresMessageSize);
    net.order(order);
}

void send_view_when_due(NetGame& game, Network& net, const Camera& cam, uint64_t now_ms) {
    NetGameState& state = game.state;
    if (!state.welcomed) return;
    const bool same = std::memcmp(&cam, &state.last_view, sizeof cam) == 0;
    if (state.view_sent && same && now_ms - state.last_view_ms < kViewRefreshMs) return;
    uint8_t bytes[kViewMessageSize];
    encode_view(cam, bytes);
    send_reliable(net, kHostPeer, bytes, sizeof bytes);
    state.last_view = cam;
    state.last_view_ms = now_ms;
    state.view_sent = true;
}

void ended_text(const NetGameState& state, uint32_t reason, char* out, size_t size) {
    if (reason == kLeaveNoAnswer) {
        std::snprintf(out, size, "no game answered at %s", state.join_target);
        return;
    }
    std::snprintf(out, size, "%s", leave_reason_text(reason));
}
