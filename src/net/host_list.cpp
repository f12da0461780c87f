#include "net/host_list.h"

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
