#include "net/remote_event.h"

#include "net/say.h"
#include "net/slots.h"
#include "world/movement.h"

namespace {

constexpr uint32_t kConsoleColour = 0xFFFFFFFF;
constexpr char kHandlerLine[] = "server_messagehandler";

bool in_state(const RemoteWorld& world, int slot, SlotState state) {
    return slot >= 1 && slot < kPlayerSlots && world.table.slots[slot].slot_state == state;
}

void connect(RemoteWorld& world, int slot) {
    console_print(world.console, kConsoleColour, "%s", kHandlerLine);
    if (reserve_slot_at(world.table, slot)) world.views[slot] = kDefaultRemoteView;
}

void join(RemoteWorld& world, const RemoteEvent& event) {
    if (!in_state(world, event.slot, slot_reserved)) return;
    PlayerRecord& record = world.table.slots[event.slot];
    fill_slot(world.table, event.slot, record.net_id, event.name);
    record.element = event.element;
    console_print(world.console, kConsoleColour, "%s joined", record.name);
    say("player %d joined: %s", event.slot, record.name);
}

void leave(RemoteWorld& world, int slot) {
    console_print(world.console, kConsoleColour, "%s", kHandlerLine);
    if (in_state(world, slot, slot_reserved)) return abort_slot(world.table, slot);
    if (!in_state(world, slot, slot_in_game)) return;
    console_print(world.console, kConsoleColour, "%s left the game", world.table.slots[slot].name);
    console_hold_newest(world.console, kNetLineHoldTicks);
    free_slot(world.table, slot);
    say("player %d left", slot);
}

}  // namespace

const Camera kDefaultRemoteView = {{0.0f, 5.0f, 5.0f}, {0.0f, 0.0f, 0.0f}};

void apply_remote_event(RemoteWorld& world, const RemoteEvent& event) {
    switch (event.kind) {
        case remote_connect:
            return connect(world, event.slot);
        case remote_join:
            return join(world, event);
        case remote_action:
            if (!in_state(world, event.slot, slot_in_game)) return;
            return apply_action(world.table.slots[event.slot], event.action.kind, event.action.a,
                                event.action.b, world.views[event.slot]);
        case remote_view:
            if (event.slot >= 1 && event.slot < kPlayerSlots) world.views[event.slot] = event.view;
            return;
        case remote_leave:
            return leave(world, event.slot);
        case remote_refused:
            console_print(world.console, kConsoleColour, "a player was refused: %s",
                          leave_reason_text(event.reason));
            console_hold_newest(world.console, kNetLineHoldTicks);
            return;
    }
}
