// adapters_test.cpp -- the adapter count and MAC addresses against the namespace's own interfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "nic/nic_env.h"
#include "support/net_peer.h"
#include "zknet/nic.h"

#if !defined(_WIN32)
#  include <sched.h>
#  include <sys/wait.h>
#  include <unistd.h>
#endif

namespace {

std::vector<Mac> Slots(const MacAddressList &list) {
    std::vector<Mac> macs;
    for (uint32_t i = 0; i < list.count && i < 16; ++i) {
        Mac mac;
        std::memcpy(mac.data(), list.addresses[i], 6);
        macs.push_back(mac);
    }
    return macs;
}

std::string Describe(const std::vector<Mac> &macs) {
    std::string text;
    for (const Mac &m : macs) text += MacText(m) + " ";
    return text;
}

// The list sits between two guards that must come out untouched.
struct GuardedList {
    uint8_t before[16];
    MacAddressList list;
    uint8_t after[16];
};

class Adapters : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "the adapter checks need the private test network";
        std::string why;
        ASSERT_TRUE(CurrentInterfaces(&interfaces_, &why)) << why;
    }
    void TearDown() override {
        if (added_pairs_) Shell("for i in $(seq 0 7); do ip link del zknx$i 2>/dev/null; done; true");
    }
    // Eight more veth pairs, left down: sixteen more adapters that carry no traffic.
    void AddSixteenAdapters() {
        added_pairs_ = true;
        ASSERT_TRUE(Shell("for i in $(seq 0 7); do ip link add zknx$i type veth peer name zkny$i || exit 1; done"));
        std::string why;
        ASSERT_TRUE(CurrentInterfaces(&interfaces_, &why)) << why;
    }
    std::vector<Interface> interfaces_;
    bool added_pairs_ = false;
};

#if !defined(_WIN32)

TEST_F(Adapters, CountAndMacsAreTheInterfacesWithHardwareAddresses) {
    std::vector<Mac> expected = HardwareAdapterMacs(interfaces_);
    ASSERT_GE(expected.size(), 3u);  // zkbcast0, zkbcast1, zknic0; loopback is not one
    ASSERT_LE(expected.size(), 16u);
    EXPECT_EQ(static_cast<int32_t>(expected.size()), ZK_NicGetNicNumber());

    GuardedList g;
    std::memset(&g, 0xA5, sizeof(g));
    ASSERT_EQ(1, ZK_NicGetMacAddress(&g.list));
    EXPECT_EQ(expected.size(), g.list.count);
    EXPECT_EQ(Describe(expected), Describe(Slots(g.list)));
    const uint8_t zero[6] = {};
    for (uint32_t i = g.list.count; i < 16; ++i) {
        EXPECT_EQ(0, std::memcmp(zero, g.list.addresses[i], 6)) << "slot " << i << " is zero-filled";
    }
    std::set<Mac> distinct(expected.begin(), expected.end());
    EXPECT_TRUE(distinct.count(kLinkMac)) << "the fixture's adapter is listed";
    for (uint8_t b : g.before) EXPECT_EQ(0xA5, b);
    for (uint8_t b : g.after) EXPECT_EQ(0xA5, b);
}

TEST_F(Adapters, MoreThanSixteenAdaptersFillSixteenSlots) {
    size_t before = HardwareAdapterMacs(interfaces_).size();
    AddSixteenAdapters();
    std::vector<Mac> expected = HardwareAdapterMacs(interfaces_);
    ASSERT_EQ(before + 16, expected.size());
    EXPECT_EQ(static_cast<int32_t>(expected.size()), ZK_NicGetNicNumber());

    GuardedList g;
    std::memset(&g, 0xA5, sizeof(g));
    ASSERT_EQ(1, ZK_NicGetMacAddress(&g.list));
    EXPECT_EQ(16u, g.list.count);
    expected.resize(16);  // the first sixteen in interface order
    EXPECT_EQ(Describe(expected), Describe(Slots(g.list)));
    for (uint8_t b : g.before) EXPECT_EQ(0xA5, b);
    for (uint8_t b : g.after) EXPECT_EQ(0xA5, b);

    // The count follows the interfaces as they go again: nothing is remembered between calls.
    ASSERT_TRUE(Shell("for i in $(seq 0 7); do ip link del zknx$i || exit 1; done"));
    added_pairs_ = false;
    EXPECT_EQ(static_cast<int32_t>(before), ZK_NicGetNicNumber());
}

// A namespace of its own with only loopback: no adapter at all.
TEST(AdaptersAlone, NoAdapterGivesZeroAndAnEmptyList) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs the private test network's privileges";
    pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0) _exit(10);
        if (ZK_NicGetNicNumber() != 0) _exit(11);
        MacAddressList list;
        std::memset(&list, 0xA5, sizeof(list));
        if (ZK_NicGetMacAddress(&list) != 1) _exit(12);
        if (list.count != 0) _exit(13);
        for (size_t i = 0; i < sizeof(list.addresses); ++i) {
            if (list.addresses[i / 6][i % 6] != 0) _exit(14);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << "10: no namespace, 11: count, 12: result, 13: count, 14: slots";
}

#else

// Wine's NetBIOS has one adapter per interface with an IPv4 address (loopback excluded); real
// Windows has its own bindings, so only Wine is held to the namespace's list.
TEST_F(Adapters, WineListsTheInterfacesWithIpv4Addresses) {
    int32_t count = ZK_NicGetNicNumber();
    GuardedList g;
    std::memset(&g, 0xA5, sizeof(g));
    int32_t result = ZK_NicGetMacAddress(&g.list);
    for (uint8_t b : g.before) EXPECT_EQ(0xA5, b);
    for (uint8_t b : g.after) EXPECT_EQ(0xA5, b);
    if (!UnderWine()) GTEST_SKIP() << "not Wine: count " << count << ", result " << result;
    std::set<Mac> expected;
    for (const Interface &i : interfaces_) {
        if (i.address_length == 6 && (i.flags & 0x8) == 0 && i.ipv4_addresses > 0) expected.insert(i.mac);
    }
    ASSERT_EQ(1, result);
    EXPECT_EQ(static_cast<int32_t>(expected.size()), count);
    EXPECT_EQ(expected.size(), g.list.count);
    std::vector<Mac> slots = Slots(g.list);
    EXPECT_EQ(expected, std::set<Mac>(slots.begin(), slots.end())) << Describe(slots);
}

#endif

TEST(AdaptersInput, NullListIsRefused) { EXPECT_EQ(0, ZK_NicGetMacAddress(nullptr)); }

}  // namespace
