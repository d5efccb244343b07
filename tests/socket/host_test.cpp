// host_test.cpp -- host-name and address queries inside the private network, whose hosts file
// maps zknet-test to 127.0.0.1 and ::1 and names localhost first for both.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "socket/socket_handle.h"
#include "support/net_peer.h"

namespace {
std::string Narrow(const zk_wchar_t *w) {
    std::string out;
    for (; *w; ++w) out.push_back(*w < 0x80 ? static_cast<char>(*w) : '?');
    return out;
}

// Whether the address belongs to this computer: only then can a socket be bound to it. The local
// name may resolve to any of the namespace's own addresses, as Windows lists its adapters'.
bool IsLocalAddress(const std::string &text, uint16_t family) {
    SocketHandle *probe = ZK_SocketOpen(family, ZK_SOCK_DGRAM);
    if (probe == nullptr) return false;
    win::addrinfo hints{};
    hints.ai_family = family;
    hints.ai_flags = 4;  // numeric host only
    win::addrinfo *result = nullptr;
    bool ok = win::getaddrinfo(text.c_str(), "0", &hints, &result) == 0 && result != nullptr;
    if (ok) {
        ok = win::bind(probe->socket, result->ai_addr, static_cast<int>(result->ai_addrlen)) == 0;
        win::freeaddrinfo(result);
    }
    ZK_SocketClose(probe);
    return ok;
}

class Hosts : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs the private test network (tools/netns.sh)";
    }
};
}  // namespace

TEST_F(Hosts, ClassicLookUpByAddressAndByName) {
    char address[64], name[64], alias[64];
    ASSERT_EQ(1, ZK_SocketGetAddressInfoA("127.0.0.1", address, 64, name, 64, alias, 64));
    EXPECT_STREQ("127.0.0.1", address);
    EXPECT_STREQ("localhost", name);  // the reverse look-up's official name
    ASSERT_EQ(1, ZK_SocketGetAddressInfoA(kTestHost, address, 64, name, 64, nullptr, 0));
    EXPECT_TRUE(IsLocalAddress(address, ZK_AF_INET)) << address;
    EXPECT_STREQ(kTestHost, name);
    // All ones is not parsed as an address but goes through the name look-up, which yields it.
    ASSERT_EQ(1, ZK_SocketGetAddressInfoA("255.255.255.255", address, 64, name, 64, nullptr, 0));
    EXPECT_STREQ("255.255.255.255", address);
    EXPECT_EQ(0, ZK_SocketGetAddressInfoA("no-such-host.invalid", address, 64, name, 64, nullptr, 0));
    EXPECT_EQ(0, ZK_SocketGetAddressInfoA(nullptr, address, 64, name, 64, nullptr, 0));
}

TEST_F(Hosts, ClassicLookUpNeverOverrunsSmallBuffers) {
    char address[4] = {'x', 'x', 'x', 'x'};
    char name[64];
    // The address does not fit: it is left empty, but the name was found.
    EXPECT_EQ(1, ZK_SocketGetAddressInfoA("127.0.0.1", address, 4, name, 64, nullptr, 0));
    EXPECT_STREQ("", address);
    EXPECT_STREQ("localhost", name);
    char none[1] = {'x'};
    EXPECT_EQ(0, ZK_SocketGetAddressInfoA("127.0.0.1", none, 1, none, 1, nullptr, 0));
    EXPECT_EQ('\0', none[0]);
}

TEST_F(Hosts, ClassicLookUpWide) {
    zk_wchar_t address[64], name[64], alias[4];
    ASSERT_EQ(1, ZK_SocketGetAddressInfoW(W(U16("127.0.0.1")), address, 64, name, 64, alias, 4));
    EXPECT_EQ("127.0.0.1", Narrow(address));
    EXPECT_EQ("localhost", Narrow(name));
    zk_wchar_t tiny[5];
    EXPECT_EQ(1, ZK_SocketGetAddressInfoW(W(U16("127.0.0.1")), tiny, 5, name, 64, nullptr, 0));
    EXPECT_EQ(0, tiny[0]);  // the conversion could not fit it, so it does not count
}

TEST_F(Hosts, AddressInfoLookUpForBothFamilies) {
    char address[64], name[128], short_name[64];
    ASSERT_EQ(1, ZK_SocketGetAddressInfoExA(kTestHost, ZK_AF_INET6, address, 64, name, 128, short_name, 64));
    EXPECT_STREQ("::1", address);
    EXPECT_STREQ("localhost", name);
    ASSERT_EQ(1, ZK_SocketGetAddressInfoExA(kTestHost, ZK_AF_INET, address, 64, name, 128, nullptr, 0));
    EXPECT_STREQ("127.0.0.1", address);
    EXPECT_EQ(0, ZK_SocketGetAddressInfoExA("no-such-host.invalid", 0, address, 64, name, 128, nullptr, 0));
}

TEST_F(Hosts, AnAddressWithoutANameSucceedsOnlyInTheNarrowForm) {
    char address[64], name[128];
    EXPECT_EQ(1, ZK_SocketGetAddressInfoExA("192.0.2.77", ZK_AF_INET, address, 64, name, 128, nullptr, 0));
    EXPECT_STREQ("192.0.2.77", address);
    EXPECT_STREQ("", name);
    zk_wchar_t waddress[64], wname[128];
    EXPECT_EQ(0, ZK_SocketGetAddressInfoExW(W(U16("192.0.2.77")), ZK_AF_INET, waddress, 64, wname, 128, nullptr, 0));
    EXPECT_EQ("192.0.2.77", Narrow(waddress));
    EXPECT_EQ("", Narrow(wname));
    EXPECT_EQ(1, ZK_SocketGetAddressInfoExW(W(U16("::1")), ZK_AF_INET6, waddress, 64, wname, 128, nullptr, 0));
    EXPECT_EQ("::1", Narrow(waddress));
    EXPECT_EQ("localhost", Narrow(wname));
}

TEST_F(Hosts, LocalNameAndAddresses) {
    char name[260], address[64];
    ASSERT_EQ(1, ZK_SocketGetHostNameA(name, sizeof(name), address, sizeof(address)));
    EXPECT_STREQ(kTestHost, name);
    EXPECT_TRUE(IsLocalAddress(address, ZK_AF_INET)) << address;
    EXPECT_EQ(1, ZK_SocketGetHostNameA(nullptr, 0, nullptr, 0));
    char small[4];
    EXPECT_EQ(0, ZK_SocketGetHostNameA(small, sizeof(small), nullptr, 0));  // the name does not fit
    EXPECT_STREQ("", small);

    zk_wchar_t wname[260], waddress[64];
    ASSERT_EQ(1, ZK_SocketGetHostNameW(wname, 260, waddress, 64));
    EXPECT_EQ(kTestHost, Narrow(wname));
    EXPECT_EQ(std::string(address), Narrow(waddress));

    ASSERT_EQ(1, ZK_SocketGetHostNameExA(ZK_AF_INET6, name, sizeof(name), address, sizeof(address)));
    EXPECT_STREQ(kTestHost, name);
    EXPECT_TRUE(IsLocalAddress(address, ZK_AF_INET6)) << address;
    ASSERT_EQ(1, ZK_SocketGetHostNameExW(ZK_AF_INET, wname, 260, waddress, 64));
    EXPECT_EQ(kTestHost, Narrow(wname));
    EXPECT_TRUE(IsLocalAddress(Narrow(waddress), ZK_AF_INET)) << Narrow(waddress);
    std::memcpy(address, "kept", 5);
    EXPECT_EQ(1, ZK_SocketGetHostNameExA(ZK_AF_INET, name, sizeof(name), nullptr, 0));  // no look-up
    EXPECT_EQ(0, ZK_SocketGetHostNameExW(ZK_AF_INET, wname, 4, nullptr, 0));
}

TEST_F(Hosts, LocalIPv4AndIPv6AsBytesAndGroups) {
    uint8_t v4[4] = {};
    ASSERT_EQ(1, ZK_SocketGetIPAddress(v4));
    char dotted[32];
    std::snprintf(dotted, sizeof(dotted), "%d.%d.%d.%d", v4[0], v4[1], v4[2], v4[3]);
    EXPECT_TRUE(IsLocalAddress(dotted, ZK_AF_INET)) << dotted;
    uint16_t groups[8] = {};
    ASSERT_EQ(1, ZK_SocketGetIPAddressV6(groups));
    char text[64];
    std::snprintf(text, sizeof(text), "%x:%x:%x:%x:%x:%x:%x:%x", groups[0], groups[1], groups[2], groups[3], groups[4],
                  groups[5], groups[6], groups[7]);
    EXPECT_TRUE(IsLocalAddress(text, ZK_AF_INET6)) << text;
    EXPECT_EQ(0, ZK_SocketGetIPAddress(nullptr));
    EXPECT_EQ(0, ZK_SocketGetIPAddressV6(nullptr));
}
