#include "net/slots.h"

#include <cstdio>

#include "world/spawn_points.h"

namespace {

bool client_slot(int slot) {
    return slot >= 1 && slot < kPlayerSlots;
}

// A free slot's record: nowhere, still, idle, so physics and hits pass over it.
void clear_record(PlayerRecord& r) {
    r = PlayerRecord{};
    r.slot_state = slot_free;
    r.facing = rotation_y(0.0f);
}

}  // namespace

int free_client_slot(const PlayerTable& table) {
    for (int slot = 1; slot < kPlayerSlots; ++slot) {
        if (table.slots[slot].slot_state == slot_free) return slot;
    }
    return -1;
}

bool reserve_slot_at(PlayerTable& table, int slot) {
    if (!client_slot(slot) || table.slots[slot].slot_state != slot_free) return false;
    PlayerRecord& r = table.slots[slot];
    clear_record(r);
    r.slot_state = slot_reserved;
    ++table.player_count;
    return true;
}

int reserve_slot(PlayerTable& table) {
    const int slot = free_client_slot(table);
    return slot >= 0 && reserve_slot_at(table, slot) ? slot : -1;
}

void abort_slot(PlayerTable& table, int slot) {
    if (!client_slot(slot) || table.slots[slot].slot_state != slot_reserved) return;
    clear_record(table.slots[slot]);
    if (table.player_count > 0) --table.player_count;
}

void fill_slot(PlayerTable& table, int slot, uint32_t net_id, const char* name) {
    if (!client_slot(slot) || table.slots[slot].slot_state != slot_reserved) return;
    PlayerRecord& r = table.slots[slot];
    r.slot_state = slot_in_game;
    r.net_id = net_id;
    r.position = spawn_point(slot);
    r.health = kStartHealth;
    r.action = action_walk;
    const char* shown = name ? name : "";
    std::snprintf(r.net_name, sizeof r.net_name, "%s", shown);
    std::snprintf(r.name, sizeof r.name, "%.*s", kNetNameSize - 1, shown);
}

void free_slot(PlayerTable& table, int slot) {
    if (!client_slot(slot) || table.slots[slot].slot_state == slot_free) return;
    clear_record(table.slots[slot]);
    if (table.player_count > 0) --table.player_count;
}
