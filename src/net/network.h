// The game's view of its network session, so the logic above it runs without ENet (the
// session in enet_session.h is the real one). Every call takes the game's network lock.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/action_sender.h"
#include "net/host_list.h"
#include "net/protocol.h"
#include "world/camera.h"

class Network : public ActionSender {
  public:
    // Hosts a session named name (empty: "torvi") on port (0: any free one). False, with
    // a console line, when the port cannot be opened.
    virtual bool host_game(const char* name, uint16_t port) = 0;
    // Tells every client the game ends and stops hosting.
    virtual void stop_hosting() = 0;
    // Connects to a host; its welcome gives the player its slot, the map and the world.
    // False, with a console line, for an address that cannot be used.
    virtual bool join_game(const char* host, uint16_t port, const Hello& hello) = 0;
    virtual void leave_client() = 0;

    // A joined client's camera, when it changed or a second passed since the last.
    virtual void send_view(const Camera& cam, uint64_t now_ms) = 0;
    // The host's world, to every client in the game.
    virtual void send_world() = 0;
    // True once, with why, after a client's session ended.
    virtual bool take_end(uint64_t now_ms, char* why, size_t size) = 0;

    // Asks for hosts at the given addresses (a comma-separated list; empty: the broadcast
    // address of each local network) on the game's port; answers fill hosts().
    virtual void refresh_hosts(const char* addresses, uint16_t port) = 0;
    // True once after hosts() gained an entry.
    virtual bool take_hosts_changed() = 0;
    virtual const HostList& hosts() const = 0;
};
