// The game's view of its network session, so the logic above it runs without ENet (the
// session in enet_session.h is the real one). Called from the game thread only.
//
// A network thread does the sending and receiving. The control calls below wait for it to
// carry them out (a few milliseconds); everything else only copies records into or out of
// its mailbox, so a tick never waits for the network and allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "map/map_grid.h"
#include "net/net_events.h"
#include "net/net_mailbox.h"
#include "net/protocol.h"
#include "world/action_sender.h"

class Network : public ActionSender {
  public:
    // Hosts a session named name (empty: "torvi") on port (0: any free one); map is the
    // ground sent to every player who joins. False, with a console line, when the port
    // cannot be opened.
    virtual bool host_game(const char* name, uint16_t port, const MapGrid& map) = 0;
    // Tells every client the game ends and stops hosting.
    virtual void stop_hosting() = 0;
    // Connects to a host and says hello; its welcome (an event) gives the player its slot.
    // A host that does not welcome within kJoinTimeoutMs of wall-clock time, or that
    // never answers the connection, ends the join with kLeaveNoAnswer. False for an
    // address that cannot be used.
    virtual bool join_game(const char* host, uint16_t port, const Hello& hello) = 0;
    virtual void leave_client() = 0;
    // Asks for hosts at the given addresses (a comma-separated list; empty: the broadcast
    // address of each local network) on port; answers come as net_host_found events.
    virtual void refresh_hosts(const char* addresses, uint16_t port) = 0;
    // The port hosted on; 0 while not hosting.
    virtual uint16_t port() const = 0;

    // Queues bytes, a map or a disconnect for the network thread. False when its outbox
    // is full.
    virtual bool order(const NetOrder& order) = 0;
    // What arrived since the last call, in order of arrival.
    virtual size_t take_events(NetEvent* out, size_t max) = 0;
    // A client's newest world and every effect since the last take; false when none came.
    virtual bool take_world(WorldUpdate& out) = 0;
    // The map a client's host sent; false when none came since the last take.
    virtual bool take_map(MapGrid& out) = 0;
    // The newest knock-out counts a client's host sent; false when none came.
    virtual bool take_scores(Scores&) { return false; }

    // A joined client's action, to its host (dropped until the host has welcomed it).
    void send_action(ActionKind kind, float a, float b) final;
};

// Milliseconds a joining client waits for the host's welcome.
constexpr uint32_t kJoinTimeoutMs = 5000;
// Milliseconds a host gives a new connection to say hello before it drops it.
constexpr uint32_t kHelloDeadlineMs = 3000;

// Fills an order of kind order_send for one peer with the bytes given.
void make_send_order(NetOrder& order, uint32_t peer, NetChannel channel, const uint8_t* bytes,
                     size_t size);
// Queues one message to one peer, reliable and in order.
bool send_reliable(Network& net, uint32_t peer, const uint8_t* bytes, size_t size);
