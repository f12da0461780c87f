// The host's bookkeeping of connecting players in the player table. Slot 0 is the host's
// own player (empty on a dedicated host, and still no client's); a connecting client
// reserves the lowest free slot of 1..11, and the player count follows every change.
#pragma once

#include <cstdint>

#include "world/player_table.h"

// The lowest free slot of 1..11, or -1 when every slot is taken.
int free_client_slot(const PlayerTable& table);

// Reserves that slot for a connecting player; false, with nothing written, unless it is a
// free slot of 1..11.
bool reserve_slot_at(PlayerTable& table, int slot);

// The reserved slot's index, or -1 when every slot is taken (nothing is written then).
int reserve_slot(PlayerTable& table);

// A connection that ended before its player was made: the slot is free again.
void abort_slot(PlayerTable& table, int slot);

// The connected player's slot joins the game: in game, at the slot's spawn point, full
// health, walking in place, with its network id and name.
void fill_slot(PlayerTable& table, int slot, uint32_t net_id, const char* name);

// A player who left or timed out: the slot is free again and its record harmless.
void free_slot(PlayerTable& table, int slot);
