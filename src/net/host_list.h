// The hosts that answered discovery, newest first, each listed once by its instance id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kInstanceIdSize = 16;
constexpr int kHostNameSize = 64;
constexpr int kSessionTextSize = 64;
constexpr int kMaxListedHosts = 32;      // the join dialog shows no more
constexpr size_t kAddressTextSize = 24;  // "255.255.255.255:65535"

struct HostEntry {
    uint8_t instance[kInstanceIdSize];  // tells hosts apart; new at each hosting
    uint32_t address;                   // IPv4, network byte order
    uint16_t port;
    char session_name[kSessionTextSize];
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

// "1.2.3.4" of an IPv4 address in network byte order, and "1.2.3.4:PORT".
void ip_text(uint32_t address, char* out, size_t size);
void address_text(uint32_t address, uint16_t port, char* out, size_t size);
// What the join dialog lists for a host: its game's name and its machine's, "torvi (box)".
void host_title(const HostEntry& host, char* out, size_t size);
