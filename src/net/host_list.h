// The hosts that answered discovery, newest first, each listed once by its instance id.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kInstanceIdSize = 16;
constexpr int kHostNameSize = 64;
constexpr int kMaxListedHosts = 32;  // the join dialog shows no more

struct HostEntry {
    uint8_t instance[kInstanceIdSize];  // tells hosts apart; new at each hosting
    uint32_t address;                   // IPv4, host byte order
    uint16_t port;
    char session_name[64];
    char host_name[kHostNameSize];
    uint32_t round_trip_ms;
};

struct HostList {
    std::vector<HostEntry> entries;  // newest first; reserved once, never past the limit
};

// Adds an answer at the head unless its instance is listed already or the list is full.
// True when it was added (the join dialog's list is then rebuilt).
bool add_host(HostList& list, const HostEntry& entry);

void clear_hosts(HostList& list);
