// adapters.h -- the network interfaces the Linux NetBIOS and ARP stand-ins report on.
#ifndef ZK_PLATFORM_LINUX_ADAPTERS_H
#define ZK_PLATFORM_LINUX_ADAPTERS_H

#include <cstdint>
#include <vector>

namespace win {

struct HardwareAdapter {
    int index;       // the kernel's interface index
    uint8_t mac[6];
};

// The interfaces with a 6-byte hardware address, loopback excluded, in interface-index order so
// that adapter numbers stay put while the set of interfaces does. False if they cannot be read.
bool ListHardwareAdapters(std::vector<HardwareAdapter> *adapters);

// Whether the IPv4 address (network order) is configured on a local interface; when it is and
// `mac` is given, the hardware address of that interface goes there (false if it has none).
bool LocalAddressMac(uint32_t address, uint8_t *mac);

}  // namespace win

#endif  // ZK_PLATFORM_LINUX_ADAPTERS_H
