// resolve.cpp -- the MAC address of an IPv4 host on the local network, by ARP.
#include <cstring>

#include "platform/netbios.h"
#include "zknet/nic.h"

namespace {
constexpr int kMacLength = 6;
}  // namespace

extern "C" {

// The platform writes into a buffer of its own: the caller's 6 bytes receive a complete address
// or are left alone, and a reply without a 6-byte address does not count as resolved.
ZK_EXPORT int32_t ZK_API ZK_NicResolveAddress(const uint8_t *address4, uint8_t *mac) {
    if (address4 == nullptr || mac == nullptr) return 0;
    char dotted[32];
    win::FormatA(dotted, sizeof(dotted), "%d.%d.%d.%d", address4[0], address4[1], address4[2], address4[3]);
    win::IPAddr destination = static_cast<win::IPAddr>(win::inet_addr(dotted));
    win::ULONG reply[2] = {0, 0};  // 8 bytes, the size the platform's own examples hand it
    win::ULONG length = kMacLength;
    if (win::SendARP(destination, 0, reply, &length) != win::kNoError || length != kMacLength) return 0;
    std::memcpy(mac, reply, kMacLength);
    return 1;
}

}  // extern "C"
