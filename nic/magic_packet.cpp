// magic_packet.cpp -- Wake-on-LAN: the magic packet as one UDP datagram to the echo port.
#include <cstring>

#include "platform/platform.h"
#include "zknet/nic.h"

namespace {

constexpr int kPacketBuffer = 256;
constexpr int kPacketLength = 102;  // 6 bytes of 0xFF, then the MAC address 16 times
constexpr int kMacLength = 6;
constexpr int kRepeats = 16;
constexpr int kEchoPort = 7;

void BuildMagicPacket(const uint8_t *mac, uint8_t (&packet)[kPacketBuffer]) {
    std::memset(packet, 0, sizeof(packet));
    std::memset(packet, 0xFF, kMacLength);
    for (int i = 0; i < kRepeats; ++i) std::memcpy(packet + kMacLength * (i + 1), mac, kMacLength);
}

}  // namespace

extern "C" {

// Without a MAC address there is nothing to wake; that is refused before any socket is made.
ZK_EXPORT int32_t ZK_API ZK_NicSendMagicPacket(const uint8_t *mac, const uint8_t *address4) {
    if (mac == nullptr) return 0;
    SocketHandle *handle = ZK_SocketOpenClientA(ZK_SOCK_DGRAM, nullptr, kEchoPort, ZK_AF_INET);
    if (handle == nullptr) return 0;
    uint8_t packet[kPacketBuffer];
    BuildMagicPacket(mac, packet);
    char destination[32];
    if (address4 != nullptr) {
        win::FormatA(destination, sizeof(destination), "%d.%d.%d.%d", address4[0], address4[1], address4[2], address4[3]);
    } else {
        win::FormatA(destination, sizeof(destination), "%s", "255.255.255.255");
    }
    int32_t sent = ZK_SocketSendBroadcastA(handle, destination, kEchoPort, packet, kPacketLength);
    ZK_SocketClose(handle);
    return sent == kPacketLength ? 1 : 0;
}

}  // extern "C"
