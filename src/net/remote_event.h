// What a host's remote players do to its game, as events of the game's own stream: a
// connection takes a slot, its player joins with a name and an element, acts, turns its
// camera and leaves. The host applies them at the start of a sim tick and records them, so
// its record replays a networked game with no network at all.
#pragma once

#include <cstdint>

#include "console/console.h"
#include "net/protocol.h"
#include "world/camera.h"
#include "world/player_table.h"

enum RemoteKind : uint8_t {
    remote_connect,  // a connection reserved the slot
    remote_join,     // the slot's player said hello: element, name
    remote_action,   // one input action: action
    remote_view,     // the camera its moves turn by: view
    remote_leave,    // the connection ended: the slot is free again
    remote_refused,  // a connection was turned away (reason); no slot changes
};

struct RemoteEvent {
    RemoteKind kind;
    int32_t slot;  // 1..11; remote_refused: unused
    int32_t element;
    char name[kNetNameSize];
    ActionMessage action;
    Camera view;
    uint32_t reason;
};

// The parts of a game remote events change.
struct RemoteWorld {
    PlayerTable& table;
    Camera (&views)[kPlayerSlots];  // the camera each slot's moves turn by
    Console& console;
};

// Lines about the network stay this many sim ticks before they fade, so a player who
// looks away for a moment still reads them.
constexpr int32_t kNetLineHoldTicks = 300;

// A client's moves turn by this camera until it sends its own: the play camera's.
extern const Camera kDefaultRemoteView;

// Applies one event; an event that does not fit the table as it stands (a slot out of
// range, a join of a slot that is not reserved, an action of a slot not in the game) is
// dropped. Prints what players see of it on the console and stdout.
void apply_remote_event(RemoteWorld& world, const RemoteEvent& event);
