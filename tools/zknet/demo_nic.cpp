// demo_nic.cpp -- the ZK_Nic family: this computer's adapters and MAC addresses; inside the
// private test network also ARP of the peer that tests/nic/peers.sh makes and a magic packet to
// its link. Elsewhere packets go only to an address the user names.
//
//   zknet demo nic                         adapters (and, in the private network, the peer)
//   zknet demo nic arp A.B.C.D             the MAC address of a host on a local link
//   zknet demo nic wake MAC A.B.C.D        a magic packet for MAC (aa:bb:cc:dd:ee:ff) to A.B.C.D port 7
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "demo.h"
#include "zknet/zknet.h"

namespace {

const char *const kPeerAddress = "198.51.100.2";      // the ARP peer of tests/nic/peers.sh
const char *const kPeerMac = "02:5a:4b:00:00:02";
const char *const kPeerBroadcast = "198.51.100.255";  // its link, which ends in that namespace

bool InPrivateNetwork() {
    const char *flag = std::getenv("ZK_PRIVATE_NET");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

bool ParseIpv4(const char *text, uint8_t (&out)[4]) {
    unsigned a[4];
    char end;
    if (std::sscanf(text, "%u.%u.%u.%u%c", &a[0], &a[1], &a[2], &a[3], &end) != 4) return false;
    for (int i = 0; i < 4; ++i) {
        if (a[i] > 255) return false;
        out[i] = static_cast<uint8_t>(a[i]);
    }
    return true;
}

bool ParseMac(const char *text, uint8_t (&out)[6]) {
    unsigned b[6];
    char s[5], end;
    if (std::sscanf(text, "%2x%c%2x%c%2x%c%2x%c%2x%c%2x%c", &b[0], &s[0], &b[1], &s[1], &b[2], &s[2], &b[3], &s[3],
                    &b[4], &s[4], &b[5], &end) != 11) {
        return false;
    }
    for (int i = 0; i < 5; ++i) {
        if (s[i] != ':' && s[i] != '-') return false;
    }
    for (int i = 0; i < 6; ++i) out[i] = static_cast<uint8_t>(b[i]);
    return true;
}

void PrintMac(const uint8_t *mac) {
    std::printf("%02x:%02x:%02x:%02x:%02x:%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
}

bool ShowAdapters() {
    int32_t count = ZK_NicGetNicNumber();
    if (count < 0) {
        std::printf("  ZK_NicGetNicNumber: the adapters cannot be listed\n");
        return false;
    }
    std::printf("  ZK_NicGetNicNumber: %d adapter(s)\n", count);
    MacAddressList list;
    if (ZK_NicGetMacAddress(&list) != 1) {
        std::printf("  ZK_NicGetMacAddress failed after %u address(es)\n", list.count);
        return false;
    }
    std::printf("  ZK_NicGetMacAddress: %u address(es)%s\n", list.count, count > 16 ? " (the first 16)" : "");
    for (uint32_t i = 0; i < list.count; ++i) {
        std::printf("    adapter %2u  ", i);
        PrintMac(list.addresses[i]);
        std::printf("\n");
    }
    return true;
}

bool Resolve(const char *text) {
    uint8_t address[4], mac[6];
    if (!ParseIpv4(text, address)) {
        std::printf("  not an IPv4 address: %s\n", text);
        return false;
    }
    std::printf("  ZK_NicResolveAddress %s: ", text);
    std::fflush(stdout);
    if (ZK_NicResolveAddress(address, mac) != 1) {
        std::printf("no answer\n");
        return false;
    }
    PrintMac(mac);
    std::printf("\n");
    return true;
}

bool Wake(const char *mac_text, const char *address_text) {
    uint8_t mac[6], address[4];
    if (!ParseMac(mac_text, mac) || !ParseIpv4(address_text, address)) {
        std::printf("  usage: zknet demo nic wake aa:bb:cc:dd:ee:ff A.B.C.D\n");
        return false;
    }
    if (std::strcmp(address_text, "255.255.255.255") == 0 && !InPrivateNetwork()) {
        std::printf("  the limited broadcast is sent only inside the private test network (tools/demo.sh)\n");
        return false;
    }
    int32_t sent = ZK_NicSendMagicPacket(mac, address);
    std::printf("  ZK_NicSendMagicPacket for %s to %s port 7: %s\n", mac_text, address_text,
                sent == 1 ? "102 bytes sent" : "not sent");
    return sent == 1;
}

}  // namespace

int DemoNic(int argc, char **argv) {
    if (argc >= 1 && std::strcmp(argv[0], "arp") == 0) {
        if (argc < 2) {
            std::printf("  usage: zknet demo nic arp A.B.C.D\n");
            return 1;
        }
        return Resolve(argv[1]) ? 0 : 1;
    }
    if (argc >= 1 && std::strcmp(argv[0], "wake") == 0) {
        if (argc < 3) {
            std::printf("  usage: zknet demo nic wake aa:bb:cc:dd:ee:ff A.B.C.D\n");
            return 1;
        }
        return Wake(argv[1], argv[2]) ? 0 : 1;
    }
    if (argc >= 1) {
        std::printf("  usage: zknet demo nic [arp A.B.C.D | wake MAC A.B.C.D]\n");
        return 1;
    }
    bool ok = ShowAdapters();
    if (!InPrivateNetwork()) {
        std::printf("  (ARP and magic packets: zknet demo nic arp A.B.C.D, zknet demo nic wake MAC A.B.C.D)\n");
        return ok ? 0 : 1;
    }
    ok = Resolve(kPeerAddress) && ok;
    ok = Wake(kPeerMac, kPeerBroadcast) && ok;
    return ok ? 0 : 1;
}
