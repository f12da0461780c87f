// Where a joined client's input actions go: the network session sends them to the host.
#pragma once

#include "world/player_table.h"

class ActionSender {
  public:
    virtual ~ActionSender() = default;
    // One ActionMessage to the host, reliable and in order; dropped when not connected.
    virtual void send_action(ActionKind kind, float a, float b) = 0;
};
