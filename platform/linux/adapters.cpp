// adapters.cpp -- the local interfaces with hardware addresses, read from the kernel's link list.
#include "platform/linux/adapters.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace win {

namespace {

constexpr int kMacLength = 6;

// The link-layer record of an interface list entry, or null for entries of other families.
const sockaddr_ll *LinkAddress(const ifaddrs *entry) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_PACKET) return nullptr;
    return reinterpret_cast<const sockaddr_ll *>(entry->ifa_addr);
}

bool IsHardwareAdapter(const ifaddrs *entry) {
    const sockaddr_ll *link = LinkAddress(entry);
    return link != nullptr && (entry->ifa_flags & IFF_LOOPBACK) == 0 && link->sll_halen == kMacLength;
}

}  // namespace

bool ListHardwareAdapters(std::vector<HardwareAdapter> *adapters) {
    adapters->clear();
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    for (const ifaddrs *entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (!IsHardwareAdapter(entry)) continue;
        const sockaddr_ll *link = LinkAddress(entry);
        HardwareAdapter adapter{};
        adapter.index = link->sll_ifindex;
        std::memcpy(adapter.mac, link->sll_addr, kMacLength);
        adapters->push_back(adapter);
    }
    freeifaddrs(list);
    std::sort(adapters->begin(), adapters->end(),
              [](const HardwareAdapter &a, const HardwareAdapter &b) { return a.index < b.index; });
    return true;
}

bool LocalAddressMac(uint32_t address, uint8_t *mac) {
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    const char *owner = nullptr;
    for (const ifaddrs *entry = list; entry != nullptr && owner == nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
        if (reinterpret_cast<const sockaddr_in *>(entry->ifa_addr)->sin_addr.s_addr == address) owner = entry->ifa_name;
    }
    bool found = owner != nullptr && mac == nullptr;
    for (const ifaddrs *entry = list; entry != nullptr && owner != nullptr && mac != nullptr; entry = entry->ifa_next) {
        if (std::strcmp(entry->ifa_name, owner) != 0 || !IsHardwareAdapter(entry)) continue;
        std::memcpy(mac, LinkAddress(entry)->sll_addr, kMacLength);
        found = true;
        break;
    }
    freeifaddrs(list);
    return found;
}

}  // namespace win
