// magic_packet_test.cpp -- the Wake-on-LAN datagram as receivers on port 7 of the namespace see
// it: 6 bytes of 0xFF and the MAC address 16 times, 102 bytes, at the address it was meant for.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "nic/nic_env.h"
#include "platform/platform.h"
#include "socket/socket_handle.h"
#include "support/net_peer.h"
#include "zknet/nic.h"

namespace {

constexpr int kEchoPort = 7;

std::string Expected(const Mac &mac) {
    std::string packet(6, '\xFF');
    for (int i = 0; i < 16; ++i) packet.append(reinterpret_cast<const char *>(mac.data()), 6);
    return packet;
}

// A datagram socket bound to address:7. Other tests in the namespace may hold port 7 for a
// moment, so binding is retried for a bounded time; both sides allow the port to be shared.
SocketHandle *Receiver(const char *address) {
    SocketHandle *handle = ZK_SocketOpen(ZK_AF_INET, ZK_SOCK_DGRAM);
    if (handle == nullptr) return nullptr;
    DWORD on = 1;
    win::setsockopt(handle->socket, win::kSolSocket, win::kSoReuseAddr, reinterpret_cast<const char *>(&on), sizeof(on));
    win::sockaddr_in at;
    std::memset(&at, 0, sizeof(at));
    at.sin_family = win::kAfInet;
    at.sin_port = htons(kEchoPort);
    at.sin_addr.s_addr = static_cast<uint32_t>(win::inet_addr(address));
    DWORD start = win::GetTickCount();
    while (win::bind(handle->socket, reinterpret_cast<const win::sockaddr *>(&at), sizeof(at)) != 0) {
        if (win::GetTickCount() - start > 3000) {
            ZK_SocketClose(handle);
            return nullptr;
        }
        win::Sleep(50);
    }
    SetReceiveTimeout(handle, 200);
    return handle;
}

// The first datagram of the expected size that carries `mac`, or what else arrived (empty when
// nothing did) within `limit_ms`.
std::string ReceiveWake(SocketHandle *handle, const Mac &mac, DWORD limit_ms) {
    std::string expected = Expected(mac), last;
    DWORD start = win::GetTickCount();
    while (win::GetTickCount() - start < limit_ms) {
        char buffer[512];
        int n = win::recvfrom(handle->socket, buffer, sizeof(buffer), 0, nullptr, nullptr);
        if (n <= 0) continue;
        last.assign(buffer, static_cast<size_t>(n));
        if (last == expected) return last;
    }
    return last;
}

class MagicPacket : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "magic packets are sent only inside the private test network";
    }
    void TearDown() override {
        for (SocketHandle *h : open_) ZK_SocketClose(h);
    }
    SocketHandle *Open(const char *address) {
        SocketHandle *h = Receiver(address);
        if (h != nullptr) open_.push_back(h);
        return h;
    }
    std::vector<SocketHandle *> open_;
};

TEST_F(MagicPacket, WithoutDestinationGoesToLimitedBroadcast) {
    const Mac mac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    SocketHandle *broadcast = Open("255.255.255.255");
#if defined(_WIN32)
    if (broadcast == nullptr) broadcast = Open("0.0.0.0");  // Windows refuses broadcast binds; Wine allows them
#endif
    ASSERT_NE(nullptr, broadcast);
    ASSERT_EQ(1, ZK_NicSendMagicPacket(mac.data(), nullptr));
    std::string got = ReceiveWake(broadcast, mac, 3000);
    ASSERT_EQ(102u, got.size());
    EXPECT_EQ(std::string(6, '\xFF'), got.substr(0, 6));
    EXPECT_EQ(std::string("\x00\x11\x22\x33\x44\x55", 6), got.substr(6, 6));
    EXPECT_EQ(std::string("\x00\x11\x22\x33\x44\x55", 6), got.substr(96, 6));
    EXPECT_EQ(Expected(mac), got);
}

TEST_F(MagicPacket, GivenDestinationIsTheAddressUsed) {
    const Mac mac = {0x02, 0x5a, 0x4b, 0x77, 0x88, 0x99};
    SocketHandle *subnet = Open("192.0.2.255");
    SocketHandle *host = Open("198.51.100.1");
    ASSERT_NE(nullptr, host);
    if (subnet != nullptr) {  // a directed broadcast of the namespace's first adapter
        const Ipv4 directed = {192, 0, 2, 255};
        ASSERT_EQ(1, ZK_NicSendMagicPacket(mac.data(), directed.data()));
        EXPECT_EQ(Expected(mac), ReceiveWake(subnet, mac, 3000));
        EXPECT_EQ("", ReceiveWake(host, mac, 300)) << "not at the other address";
    } else {
#if !defined(_WIN32)
        ADD_FAILURE() << "binding to a broadcast address works on Linux";
#endif
    }
    ASSERT_EQ(1, ZK_NicSendMagicPacket(mac.data(), kLinkAddress.data()));
    EXPECT_EQ(Expected(mac), ReceiveWake(host, mac, 3000));
    if (subnet != nullptr) {
        EXPECT_EQ("", ReceiveWake(subnet, mac, 300)) << "not at the other address";
    }
}

TEST_F(MagicPacket, UnsentPacketsReportZero) {
    const Mac mac = {0x02, 0x00, 0x00, 0x00, 0x00, 0x01};
    const Ipv4 unrouted = {203, 0, 113, 9};  // the namespace has no route there
    EXPECT_EQ(0, ZK_NicSendMagicPacket(mac.data(), unrouted.data()));
    EXPECT_EQ(0, ZK_NicSendMagicPacket(nullptr, nullptr));
}

}  // namespace
