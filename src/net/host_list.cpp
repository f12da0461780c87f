#include "net/host_list.h"

#include <cstdio>
#include <cstring>

bool add_host(HostList& list, const HostEntry& entry) {
    for (const HostEntry& known : list.entries) {
        if (std::memcmp(known.instance, entry.instance, kInstanceIdSize) == 0) return false;
    }
    if (list.entries.size() >= static_cast<size_t>(kMaxListedHosts)) return false;
    list.entries.insert(list.entries.begin(), entry);
    return true;
}

void clear_hosts(HostList& list) {
    list.entries.clear();
}

void ip_text(uint32_t address, char* out, size_t size) {
    uint8_t ip[4];
    std::memcpy(ip, &address, sizeof ip);  // network byte order: the first byte first
    std::snprintf(out, size, "%u.%u.%u.%u", ip[0], ip[1], ip[2], ip[3]);
}

void address_text(uint32_t address, uint16_t port, char* out, size_t size) {
    char ip[kAddressTextSize];
    ip_text(address, ip, sizeof ip);
    std::snprintf(out, size, "%s:%u", ip, port);
}

void host_title(const HostEntry& host, char* out, size_t size) {
    if (host.host_name[0] == '\0') {
        std::snprintf(out, size, "%.*s", kSessionTextSize, host.session_name);
        return;
    }
    std::snprintf(out, size, "%.*s (%.*s)", kSessionTextSize, host.session_name, kHostNameSize,
                  host.host_name);
}
