// nic_env.h -- what the adapter tests know of their network: the ARP peer the fixture made and
// the namespace's interfaces as the kernel reports them.
#ifndef ZK_TESTS_NIC_NIC_ENV_H
#define ZK_TESTS_NIC_NIC_ENV_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "support/net_peer.h"  // UnderWine

typedef std::array<uint8_t, 6> Mac;
typedef std::array<uint8_t, 4> Ipv4;

// The veth pair tests/nic/peers.sh makes: zknic0 here, its far end alone in a second namespace.
const Ipv4 kLinkAddress = {198, 51, 100, 1};
const Mac kLinkMac = {0x02, 0x5a, 0x4b, 0x00, 0x00, 0x01};
const Ipv4 kPeerAddress = {198, 51, 100, 2};
const Mac kPeerMac = {0x02, 0x5a, 0x4b, 0x00, 0x00, 0x02};

// One line of `peers.sh list`.
struct Interface {
    int index = 0;
    std::string name;
    Mac mac{};
    int address_length = 0;
    unsigned flags = 0;
    int ipv4_addresses = 0;
};

// The namespace's interfaces: read afresh through peers.sh on Linux, from the list the fixture
// wrote elsewhere. False (with a reason in `why`) when neither can be had.
bool CurrentInterfaces(std::vector<Interface> *interfaces, std::string *why);

// The MAC addresses of the interfaces that count as adapters here: a 6-byte hardware address
// and not loopback, in interface-index order.
std::vector<Mac> HardwareAdapterMacs(const std::vector<Interface> &interfaces);

// Runs a shell command of the Linux host (not available to the Windows build); true if it exited 0.
bool Shell(const std::string &command);

std::string MacText(const Mac &mac);

#endif  // ZK_TESTS_NIC_NIC_ENV_H
