// What the network thread hands the game thread and what the game thread asks it to send.
// Plain, fixed-size records: they pass through the mailbox (net_mailbox.h) by copy, so
// neither side ever sees the other's state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/host_list.h"
#include "net/protocol.h"
#include "world/camera.h"

// Why a session ended on this side without the host saying so. Not on the wire: the
// host's reasons are LeaveReason values.
constexpr uint32_t kLeaveNoAnswer = 100;  // no welcome within the join time-out

enum NetEventKind : uint8_t {
    // On a host, about the connection `peer`, which is a player from its hello on.
    net_peer_hello,   // hello
    net_peer_action,  // action
    net_peer_view,    // view
    net_peer_left,    // left: why, and from where
    // On a client.
    net_welcomed,  // welcome
    net_ended,     // reason: a LeaveReason, or kLeaveNoAnswer
    // Discovery, on any side.
    net_host_found,  // host
    // Something the player should read on the console: note.
    net_note,
};

constexpr size_t kNoteSize = 128;

struct PeerLeft {
    uint32_t reason;   // leave_none when it left of itself; else why the host dropped it
    uint32_t address;  // IPv4, network byte order
    uint16_t port;
};

struct NetEvent {
    NetEventKind kind;
    uint32_t peer;  // the connection's id on this host: never 0, never reused in a run
    union {
        Hello hello;
        ActionMessage action;
        Camera view;
        Welcome welcome;
        uint32_t reason;
        PeerLeft left;
        HostEntry host;
        char note[kNoteSize];
    };
};

// The channel messages travel on.
enum NetChannel : uint8_t {
    channel_reliable = 0,  // actions, views, hello, welcome, map: in order, never lost
    channel_world = 1,     // world state: the newest counts, losses are fine
};

constexpr int kMaxOrderPeers = kPlayerSlots;
constexpr size_t kMaxOrderBytes = kWorldMessageSize;

enum NetOrderKind : uint8_t {
    order_send,        // bytes to every peer listed (a client's peer 0 is its host)
    order_send_map,    // the hosted map to the peer listed
    order_disconnect,  // the peer listed, with reason
};

struct NetOrder {
    NetOrderKind kind;
    NetChannel channel;
    uint8_t peer_count;
    uint32_t peers[kMaxOrderPeers];
    uint32_t reason;
    uint16_t size;
    uint8_t bytes[kMaxOrderBytes];
};

// The peer id a client's orders name: its one connection, to the host.
constexpr uint32_t kHostPeer = 0;
