// netbios_standin_test.cpp -- the Linux NetBIOS and ARP stand-ins answer as Windows does to the
// requests they cannot serve, and never write past the buffers they are given.
#if !defined(_WIN32)

#include <gtest/gtest.h>

#include <cstring>

#include "nic/nic_env.h"
#include "platform/netbios.h"
#include "support/net_peer.h"

namespace {

win::NCB Command(uint8_t command, uint8_t lana) {
    win::NCB ncb;
    std::memset(&ncb, 0, sizeof(ncb));
    ncb.ncb_command = command;
    ncb.ncb_lana_num = lana;
    return ncb;
}

int AdapterCount() {
    win::LANA_ENUM lanas;
    win::NCB ncb = Command(win::kNcbEnum, 0);
    ncb.ncb_buffer = reinterpret_cast<uint8_t *>(&lanas);
    ncb.ncb_length = sizeof(lanas);
    return win::Netbios(&ncb) == win::kNrcGoodRet ? lanas.length : -1;
}

TEST(NetbiosStandIn, EnumerationNumbersTheAdaptersFromZero) {
    struct {
        win::LANA_ENUM lanas;
        uint8_t after[8];
    } g;
    std::memset(&g, 0xA5, sizeof(g));
    win::NCB ncb = Command(win::kNcbEnum, 0);
    ncb.ncb_buffer = reinterpret_cast<uint8_t *>(&g.lanas);
    ncb.ncb_length = sizeof(g.lanas);
    ASSERT_EQ(win::kNrcGoodRet, win::Netbios(&ncb));
    EXPECT_EQ(win::kNrcGoodRet, ncb.ncb_retcode);
    EXPECT_EQ(win::kNrcGoodRet, ncb.ncb_cmd_cplt);
    for (int i = 0; i < g.lanas.length; ++i) EXPECT_EQ(i, g.lanas.lana[i]);
    for (uint8_t b : g.after) EXPECT_EQ(0xA5, b);

    ncb = Command(win::kNcbEnum, 0);
    ncb.ncb_buffer = reinterpret_cast<uint8_t *>(&g.lanas);
    ncb.ncb_length = sizeof(g.lanas) - 1;  // a LANA_ENUM does not fit
    EXPECT_EQ(win::kNrcBufLen, win::Netbios(&ncb));
    ncb = Command(win::kNcbEnum, 0);
    ncb.ncb_length = sizeof(g.lanas);  // no buffer
    EXPECT_EQ(win::kNrcBufLen, win::Netbios(&ncb));
}

TEST(NetbiosStandIn, StatusOfTheLocalAdapterOnly) {
    int count = AdapterCount();
    if (count < 1) GTEST_SKIP() << "no adapter here";
    struct {
        win::ADAPTER_STATUS status;
        uint8_t after[8];
    } g;
    std::memset(&g, 0xA5, sizeof(g));
    win::NCB ncb = Command(win::kNcbAstat, 0);
    std::memcpy(ncb.ncb_callname, "*               ", 16);
    ncb.ncb_buffer = reinterpret_cast<uint8_t *>(&g.status);
    ncb.ncb_length = sizeof(g.status);
    ASSERT_EQ(win::kNrcGoodRet, win::Netbios(&ncb));
    EXPECT_EQ(sizeof(win::ADAPTER_STATUS), ncb.ncb_length);
    EXPECT_EQ(0, g.status.name_count);
    for (uint8_t b : g.after) EXPECT_EQ(0xA5, b);

    ncb.ncb_length = sizeof(g.status) - 1;
    EXPECT_EQ(win::kNrcBufLen, win::Netbios(&ncb));
    std::memcpy(ncb.ncb_callname, "SOMEHOST        ", 16);  // a remote adapter: never asked on the wire
    ncb.ncb_length = sizeof(g.status);
    EXPECT_EQ(win::kNrcCmdTmo, win::Netbios(&ncb));
    for (uint8_t b : g.after) EXPECT_EQ(0xA5, b);
}

TEST(NetbiosStandIn, UnknownAdaptersAndCommandsAreRefused) {
    int count = AdapterCount();
    ASSERT_GE(count, 0);
    win::NCB ncb = Command(win::kNcbReset, static_cast<uint8_t>(count));  // one past the last
    EXPECT_EQ(win::kNrcBridge, win::Netbios(&ncb));
    EXPECT_EQ(win::kNrcBridge, ncb.ncb_retcode);
    ncb = Command(win::kNcbAstat, static_cast<uint8_t>(count));
    std::memcpy(ncb.ncb_callname, "*", 1);
    EXPECT_EQ(win::kNrcBridge, win::Netbios(&ncb));
    ncb = Command(0x10, 0);  // NCBCALL: sessions are not offered
    EXPECT_EQ(win::kNrcIllCmd, win::Netbios(&ncb));
    ncb = Command(win::kNcbEnum | 0x80, 0);  // the asynchronous form
    EXPECT_EQ(win::kNrcIllCmd, win::Netbios(&ncb));
    EXPECT_EQ(win::kNrcInvAddress, win::Netbios(nullptr));
}

TEST(SendArpStandIn, ArgumentsAreCheckedBeforeAnythingIsSent) {
    uint8_t mac[8];
    std::memset(mac, 0xA5, sizeof(mac));
    win::ULONG length = 6;
    win::IPAddr peer = 0;
    std::memcpy(&peer, kPeerAddress.data(), 4);
    EXPECT_EQ(win::kErrorInvalidParameter, win::SendARP(peer, 0, nullptr, &length));
    EXPECT_EQ(win::kErrorInvalidParameter, win::SendARP(peer, 0, mac, nullptr));
    length = 5;
    EXPECT_EQ(win::kErrorBufferOverflow, win::SendARP(peer, 0, mac, &length));
    length = 6;
    win::IPAddr stranger = 0;
    std::memcpy(&stranger, Ipv4{203, 0, 113, 7}.data(), 4);
    EXPECT_EQ(win::kErrorNotFound, win::SendARP(peer, stranger, mac, &length));  // not a local source
    for (uint8_t b : mac) EXPECT_EQ(0xA5, b);
}

TEST(SendArpStandIn, LengthIsSixAfterSuccess) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "ARP only inside the private test network";
    uint8_t mac[8];
    std::memset(mac, 0xA5, sizeof(mac));
    win::ULONG length = 8;
    win::IPAddr own = 0, source = 0;
    std::memcpy(&own, kLinkAddress.data(), 4);
    std::memcpy(&source, kLinkAddress.data(), 4);
    ASSERT_EQ(win::kNoError, win::SendARP(own, source, mac, &length));  // a local address: its own MAC
    EXPECT_EQ(6u, length);
    EXPECT_EQ(0, std::memcmp(kLinkMac.data(), mac, 6));
    EXPECT_EQ(0xA5, mac[6]);
    EXPECT_EQ(0xA5, mac[7]);
}

}  // namespace

#endif  // !_WIN32
