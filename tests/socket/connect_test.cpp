// connect_test.cpp -- handles and connections over IPv4 and IPv6, and the failures callers see.
#include <gtest/gtest.h>

#include <chrono>

#include "socket/socket_handle.h"
#include "socket_pair.h"

class Connect : public ::testing::TestWithParam<uint16_t> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs the private test network (tools/netns.sh)";
    }
};

TEST_P(Connect, ClientReachesServerAndBytesFlowBothWays) {
    uint16_t family = GetParam();
    SocketPair pair = ConnectedPair(family);
    ASSERT_NE(nullptr, pair.client);
    ASSERT_NE(nullptr, pair.server);
    EXPECT_EQ(family, pair.server->family);  // an accepted handle carries the listener's family
    EXPECT_EQ(ZK_SOCK_STREAM, pair.server->kind);
    EXPECT_EQ(5, ZK_SocketSend(pair.client, "hello", 5));
    char buffer[8];
    EXPECT_EQ(5, ZK_SocketRecv(pair.server, buffer, 5, 2000, nullptr, 0));
    EXPECT_EQ(std::string("hello"), std::string(buffer, 5));
    EXPECT_EQ(1, ZK_SocketSendOne(pair.server, 0x141));  // only the low 8 bits go out
    char one = 0;
    EXPECT_EQ(1, ZK_SocketRecvOne(pair.client, &one, 2000));
    EXPECT_EQ('A', one);
    ClosePair(pair);
}

TEST_P(Connect, ByHostNameAndWideHostName) {
    uint16_t family = GetParam();
    Listener listener = ListenAnyPort(family);
    ASSERT_NE(nullptr, listener.handle);
    SocketHandle *a = ZK_SocketOpenClientA(ZK_SOCK_STREAM, kTestHost, listener.port, family);
    ASSERT_NE(nullptr, a);
    SocketHandle *b = ZK_SocketOpenClientW(ZK_SOCK_STREAM, W(U16(kTestHost)), listener.port, family);
    ASSERT_NE(nullptr, b);
    SocketHandle *accepted1 = ZK_SocketAccept(listener.handle);
    SocketHandle *accepted2 = ZK_SocketAccept(listener.handle);
    EXPECT_NE(nullptr, accepted1);
    EXPECT_NE(nullptr, accepted2);
    for (SocketHandle *h : {a, b, accepted1, accepted2, listener.handle}) ZK_SocketClose(h);
}

TEST_P(Connect, ConnectClientOnAnOpenHandle) {
    uint16_t family = GetParam();
    Listener listener = ListenAnyPort(family);
    SocketHandle *handle = ZK_SocketOpen(family, ZK_SOCK_STREAM);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(1, ZK_SocketConnectClientW(handle, W(U16(Loopback(family))), listener.port));
    SocketHandle *accepted = ZK_SocketAccept(listener.handle);
    EXPECT_NE(nullptr, accepted);
    ZK_SocketClose(accepted);
    ZK_SocketClose(handle);
    // A refused connection leaves the caller's handle open for the caller to close.
    SocketHandle *again = ZK_SocketOpen(family, ZK_SOCK_STREAM);
    int port = listener.port;
    ZK_SocketClose(listener.handle);
    EXPECT_EQ(0, ZK_SocketConnectClientA(again, Loopback(family), port));
    EXPECT_EQ(10061, ZK_SocketGetLastError());
    ZK_SocketClose(again);
}

TEST_P(Connect, RefusedAndUnresolvableClientsReturnNull) {
    uint16_t family = GetParam();
    Listener listener = ListenAnyPort(family);
    int port = listener.port;
    ZK_SocketClose(listener.handle);  // nobody listens there any more
    EXPECT_EQ(nullptr, ZK_SocketOpenClientA(ZK_SOCK_STREAM, Loopback(family), port, family));
    EXPECT_EQ(10061, ZK_SocketGetLastError());
    EXPECT_EQ(nullptr, ZK_SocketOpenClientA(ZK_SOCK_STREAM, "no-such-host.invalid", port, family));
    EXPECT_NE(0, ZK_SocketGetLastError());
}

TEST_P(Connect, ServerPortInUseGivesNullAndLeavesNothingOpen) {
    uint16_t family = GetParam();
    Listener first = ListenAnyPort(family);
    ASSERT_NE(nullptr, first.handle);
    EXPECT_EQ(nullptr, ZK_SocketOpenServer(ZK_SOCK_STREAM, first.port, family));
    // WSAEADDRINUSE; the IPv6 path asks for address reuse first, which Wine refuses as WSAEACCES.
    int code = ZK_SocketGetLastError();
    if (family == ZK_AF_INET) EXPECT_EQ(10048, code);
    else EXPECT_TRUE(code == 10048 || code == 10013) << code;
    ZK_SocketClose(first.handle);
}

TEST_P(Connect, DatagramServerIsBoundAndDoesNotListen) {
    uint16_t family = GetParam();
    SocketHandle *server = ZK_SocketOpenServer(ZK_SOCK_DGRAM, 0, family);
    ASSERT_NE(nullptr, server);
    EXPECT_GT(LocalPort(server), 0);
    ZK_SocketClose(server);
}

INSTANTIATE_TEST_SUITE_P(Families, Connect, ::testing::Values(uint16_t{ZK_AF_INET}, uint16_t{ZK_AF_INET6}),
                         [](const ::testing::TestParamInfo<uint16_t> &info) {
                             return info.param == ZK_AF_INET ? std::string("IPv4") : std::string("IPv6");
                         });

TEST(ConnectInput, BadKindsHandlesFamiliesAndPorts) {
    ZK_SocketGetLastError();
    EXPECT_EQ(nullptr, ZK_SocketOpenClientA(3, "127.0.0.1", 7, ZK_AF_INET));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    EXPECT_EQ(nullptr, ZK_SocketOpenClientW(0, nullptr, 7, ZK_AF_INET));
    EXPECT_EQ(10022, ZK_SocketGetLastError());

    // A datagram client is returned unconnected; host and port are not used.
    SocketHandle *dgram = ZK_SocketOpenClientA(ZK_SOCK_DGRAM, nullptr, 7, ZK_AF_INET);
    ASSERT_NE(nullptr, dgram);
    EXPECT_EQ(ZK_SOCK_DGRAM, dgram->kind);
    ZK_SocketClose(dgram);

    EXPECT_EQ(0, ZK_SocketConnectClientA(nullptr, "127.0.0.1", 7));
    EXPECT_EQ(0, ZK_SocketConnectClientW(nullptr, W(U16("127.0.0.1")), 7));
    EXPECT_EQ(0, ZK_SocketConnectServer(nullptr, 7));
    win::WSASetLastError(0);
    EXPECT_EQ(nullptr, ZK_SocketAccept(nullptr));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    win::WSASetLastError(0);
    ZK_SocketClose(nullptr);
    EXPECT_EQ(10022, ZK_SocketGetLastError());

    // Ports outside 16 bits are refused rather than wrapped onto some other port.
    SocketHandle *handle = ZK_SocketOpen(ZK_AF_INET, ZK_SOCK_STREAM);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(0, ZK_SocketConnectClientA(handle, "127.0.0.1", 65536 + 21));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    EXPECT_EQ(0, ZK_SocketConnectClientA(handle, "127.0.0.1", -1));
    EXPECT_EQ(0, ZK_SocketConnectServer(handle, 70000));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    ZK_SocketClose(handle);
    EXPECT_EQ(nullptr, ZK_SocketOpenServer(ZK_SOCK_STREAM, -5, ZK_AF_INET));

    // A wide host that cannot fit the 520-byte conversion buffer fails without a connection.
    std::u16string huge(600, u'\u3042');
    EXPECT_EQ(nullptr, ZK_SocketOpenClientW(ZK_SOCK_STREAM, W(huge), 21, ZK_AF_INET));
}

TEST(ConnectInput, UnknownFamilyFailsAtOnce) {
    SocketHandle fake{};
    fake.family = 7;
    fake.kind = ZK_SOCK_STREAM;
    fake.socket = win::kInvalidSocket;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, ZK_SocketAccept(&fake));  // returns without waiting
    EXPECT_EQ(0, ZK_SocketConnectClientA(&fake, "127.0.0.1", 21));
    EXPECT_EQ(0, ZK_SocketConnectServer(&fake, 21));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(nullptr, ZK_SocketOpenServer(ZK_SOCK_STREAM, 0, 7));
    EXPECT_EQ(nullptr, ZK_SocketOpen(7, ZK_SOCK_STREAM));
}
