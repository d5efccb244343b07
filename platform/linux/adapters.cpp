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

// Whether an address's label ("eth0" or an alias such as "eth0:1") names the interface.
bool LabelOf(const char *label, const char *interface) {
    size_t length = std::strcspn(label, ":");
    return std::strncmp(label, interface, length) == 0 && interface[length] == '\0';
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
    for (const ifaddrs *entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
        if (reinterpret_cast<const sockaddr_in *>(entry->ifa_addr)->sin_addr.s_addr != address) continue;
        owner = entry->ifa_name;
        break;
    }
    bool found = owner != nullptr;
    if (found && mac != nullptr) {
        found = false;  // the address is local, but its interface may have no hardware address
        for (const ifaddrs *entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (!LabelOf(owner, entry->ifa_name) || !IsHardwareAdapter(entry)) continue;
            std::memcpy(mac, LinkAddress(entry)->sll_addr, kMacLength);
            found = true;
            break;
        }
    }
    freeifaddrs(list);
    return found;
}

}  // namespace win
