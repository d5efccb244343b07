// resolve_test.cpp -- ARP resolution of the peer in the second namespace, of an address nobody
// holds, and of addresses that are not hosts on a local link.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "nic/nic_env.h"
#include "platform/platform.h"
#include "support/net_peer.h"
#include "zknet/nic.h"

namespace {

// A 6-byte answer between guards.
struct GuardedMac {
    uint8_t before[4];
    uint8_t mac[6];
    uint8_t after[4];
};

GuardedMac Fresh() {
    GuardedMac g;
    std::memset(&g, 0xA5, sizeof(g));
    return g;
}

bool Untouched(const GuardedMac &g) {
    GuardedMac fresh = Fresh();
    return std::memcmp(&fresh, &g, sizeof(g)) == 0;
}

class Resolve : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "ARP requests go only to the private test network";
    }
    // Resolves and measures; the result and the milliseconds taken.
    int32_t Timed(const Ipv4 &address, GuardedMac *g, DWORD *elapsed_ms) {
        DWORD start = win::GetTickCount();
        int32_t result = ZK_NicResolveAddress(address.data(), g->mac);
        *elapsed_ms = win::GetTickCount() - start;
        return result;
    }
};

#if !defined(_WIN32)

bool GuardsIntact(const GuardedMac &g) {
    GuardedMac fresh = Fresh();
    return std::memcmp(fresh.before, g.before, 4) == 0 && std::memcmp(fresh.after, g.after, 4) == 0;
}

TEST_F(Resolve, PeerInSecondNamespaceAnswers) {
    ASSERT_TRUE(Shell("ip neigh flush dev zknic0"));  // the first call must ask on the link
    GuardedMac g = Fresh();
    DWORD ms = 0;
    ASSERT_EQ(1, Timed(kPeerAddress, &g, &ms));
    EXPECT_EQ(0, std::memcmp(kPeerMac.data(), g.mac, 6));
    EXPECT_TRUE(GuardsIntact(g));
    EXPECT_LT(ms, 2000u);
    g = Fresh();  // now from the neighbour table
    ASSERT_EQ(1, Timed(kPeerAddress, &g, &ms));
    EXPECT_EQ(0, std::memcmp(kPeerMac.data(), g.mac, 6));
}

TEST_F(Resolve, AddressNobodyHoldsFailsWithinBound) {
    GuardedMac g = Fresh();
    DWORD ms = 0;
    EXPECT_EQ(0, Timed(Ipv4{198, 51, 100, 77}, &g, &ms));
    EXPECT_TRUE(Untouched(g));
    EXPECT_LT(ms, 5000u) << "the kernel gives up after about three seconds";
    EXPECT_GE(ms, 500u) << "the link was asked before giving up";
    // Asked again, the failed entry is retried rather than taken as final, and fails again.
    EXPECT_EQ(0, Timed(Ipv4{198, 51, 100, 77}, &g, &ms));
    EXPECT_GE(ms, 500u);
    EXPECT_LT(ms, 5000u);
}

TEST_F(Resolve, OwnAddressGivesOwnMac) {
    GuardedMac g = Fresh();
    DWORD ms = 0;
    ASSERT_EQ(1, Timed(kLinkAddress, &g, &ms));
    EXPECT_EQ(0, std::memcmp(kLinkMac.data(), g.mac, 6));
}

// Another test network on the machine (a second run, another developer's) makes and removes an
// ARP peer of its own meanwhile; ours must still be there and answer.
TEST_F(Resolve, AnotherRunsPeerLeavesOursAlone) {
    char work[] = "/tmp/zknic-other.XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(work));
    const std::string peers = std::string("bash ") + ZK_TEST_SOURCE_DIR + "/tests/nic/peers.sh";
    const std::string other = "unshare --net --mount bash -c 'ip link set lo up && " + peers + " start " + work +
                              " >/dev/null && " + peers + " stop " + work + "'";
    EXPECT_TRUE(Shell(other));
    Shell(std::string("rm -rf ") + work);
    ASSERT_TRUE(Shell("ip neigh flush dev zknic0")) << "our side of the peer's link is gone";
    GuardedMac g = Fresh();
    DWORD ms = 0;
    ASSERT_EQ(1, Timed(kPeerAddress, &g, &ms));
    EXPECT_EQ(0, std::memcmp(kPeerMac.data(), g.mac, 6));
}

// Nothing is asked for addresses no ARP reply can come from: no route, a broadcast, loopback.
TEST_F(Resolve, NonHostsFailAtOnce) {
    for (const Ipv4 &address : {Ipv4{203, 0, 113, 5}, Ipv4{198, 51, 100, 255}, Ipv4{255, 255, 255, 255},
                                Ipv4{127, 0, 0, 1}, Ipv4{0, 0, 0, 0}}) {
        GuardedMac g = Fresh();
        DWORD ms = 0;
        EXPECT_EQ(0, Timed(address, &g, &ms)) << int(address[0]) << "." << int(address[3]);
        EXPECT_TRUE(Untouched(g));
        EXPECT_LT(ms, 500u);
    }
}

#else

// Wine's SendARP answers ERROR_NOT_SUPPORTED at once, so nothing resolves there; the call must
// still come back cleanly with the caller's buffer left alone.
TEST_F(Resolve, UnderWineNothingResolvesAndNothingIsWritten) {
    if (!UnderWine()) GTEST_SKIP() << "Windows itself: covered by the Linux checks";
    for (const Ipv4 &address : {kPeerAddress, Ipv4{198, 51, 100, 77}, kLinkAddress, Ipv4{203, 0, 113, 5}}) {
        GuardedMac g = Fresh();
        DWORD ms = 0;
        EXPECT_EQ(0, Timed(address, &g, &ms));
        EXPECT_TRUE(Untouched(g));
        EXPECT_LT(ms, 5000u);
    }
}

#endif

TEST(ResolveInput, NullArgumentsAreRefused) {
    uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(0, ZK_NicResolveAddress(nullptr, mac));
    EXPECT_EQ(0, ZK_NicResolveAddress(kPeerAddress.data(), nullptr));
    EXPECT_EQ(1, mac[0]);
}

}  // namespace
