// recv_test.cpp -- sending and receiving with time-outs: lines, fill and drain, pending counts,
// whole received texts, closes mid-line, and the failures of each operation.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "socket_pair.h"

namespace {
using Clock = std::chrono::steady_clock;

long long MillisSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}
}  // namespace

class Recv : public ::testing::TestWithParam<uint16_t> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs the private test network (tools/netns.sh)";
        pair_ = ConnectedPair(GetParam());
        ASSERT_NE(nullptr, pair_.client);
        ASSERT_NE(nullptr, pair_.server);
    }
    void TearDown() override { ClosePair(pair_); }
    void PeerSends(const std::string &bytes) { ASSERT_TRUE(SendAll(pair_.server, bytes)); }
    void PeerCloses() {
        ZK_SocketClose(pair_.server);
        pair_.server = nullptr;
    }
    SocketPair pair_;
};

TEST_P(Recv, LinesComeWithoutTheirCrAndLf) {
    PeerSends("220 ready\r\na\rb\nlast");
    char line[64];
    EXPECT_EQ(9, ZK_SocketRecvStringLine(pair_.client, line, sizeof(line), 2000));
    EXPECT_STREQ("220 ready", line);
    EXPECT_EQ(2, ZK_SocketRecvStringLine(pair_.client, line, sizeof(line), 2000));
    EXPECT_STREQ("ab", line);  // a lone CR is dropped wherever it stands
    PeerCloses();
    EXPECT_EQ(4, ZK_SocketRecvStringLine(pair_.client, line, sizeof(line), 2000));  // close ends the line
    EXPECT_STREQ("last", line);
    EXPECT_EQ(0, ZK_SocketRecvStringLine(pair_.client, line, sizeof(line), 2000));
}

TEST_P(Recv, LongLinesComeInPiecesAndNothingBeyondTheLineIsTaken) {
    PeerSends("abcdef\nrest");
    char line[4];
    EXPECT_EQ(3, ZK_SocketRecvStringLine(pair_.client, line, 4, 2000));
    EXPECT_STREQ("abc", line);
    EXPECT_EQ(3, ZK_SocketRecvStringLine(pair_.client, line, 4, 2000));
    EXPECT_STREQ("def", line);
    EXPECT_EQ(0, ZK_SocketRecvStringLine(pair_.client, line, 4, 2000));  // consumes the LF
    char one[1] = {'x'};
    EXPECT_EQ(0, ZK_SocketRecvStringLine(pair_.client, one, 1, 2000));  // room for nothing
    EXPECT_EQ('\0', one[0]);
    // The bytes after the line are still on the socket for other receiving operations.
    char rest[4];
    EXPECT_EQ(4, ZK_SocketRecv(pair_.client, rest, 4, 2000, nullptr, 0));
    EXPECT_EQ(std::string("rest"), std::string(rest, 4));
}

TEST_P(Recv, LineTimeOutKeepsWhatArrived) {
    PeerSends("ab");
    char line[16];
    auto start = Clock::now();
    EXPECT_EQ(-1, ZK_SocketRecvStringLine(pair_.client, line, sizeof(line), 300));
    EXPECT_EQ(10060, ZK_SocketGetLastError());
    EXPECT_GE(MillisSince(start), 250);
    EXPECT_STREQ("ab", line);
}

TEST_P(Recv, FillModeWaitsForAFullBuffer) {
    PeerSends("1234");
    char buffer[10];
    int32_t pending = 77;
    auto start = Clock::now();
    EXPECT_EQ(0, ZK_SocketRecv(pair_.client, buffer, 10, 300, &pending, 0));  // time-out before full
    EXPECT_GE(MillisSince(start), 250);
    EXPECT_EQ(std::string("1234"), std::string(buffer, 4));  // what came stays in the buffer
    EXPECT_EQ(0, pending);
}

TEST_P(Recv, DrainModeReturnsWhatHasArrived) {
    PeerSends("1234");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    char buffer[10];
    int32_t pending = 77;
    auto start = Clock::now();
    EXPECT_EQ(4, ZK_SocketRecv(pair_.client, buffer, 10, 5000, &pending, 1));
    EXPECT_LT(MillisSince(start), 2000);
    EXPECT_EQ(0, pending);
    EXPECT_EQ(std::string("1234"), std::string(buffer, 4));
    EXPECT_EQ('\0', buffer[4]);  // the rest of the buffer is zero-filled
}

TEST_P(Recv, FullBufferReportsTheBytesStillWaiting) {
    PeerSends("0123456789");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    char buffer[4];
    int32_t pending = -1;
    EXPECT_EQ(4, ZK_SocketRecv(pair_.client, buffer, 4, 2000, &pending, 0));
    EXPECT_EQ(6, pending);
    EXPECT_EQ(4, ZK_SocketRecv(pair_.client, buffer, 4, 2000, &pending, 1));
    EXPECT_EQ(2, pending);
    EXPECT_EQ(std::string("4567"), std::string(buffer, 4));
}

TEST_P(Recv, CloseBeforeTheBufferFillsGivesZero) {
    PeerSends("xy");
    PeerCloses();
    char buffer[8];
    EXPECT_EQ(0, ZK_SocketRecv(pair_.client, buffer, 8, 2000, nullptr, 0));
    EXPECT_EQ(std::string("xy"), std::string(buffer, 2));
}

TEST_P(Recv, RecvOneReportsByteCloseAndTimeOut) {
    char c = 0;
    EXPECT_EQ(-1, ZK_SocketRecvOne(pair_.client, &c, 200));
    EXPECT_EQ(10060, ZK_SocketGetLastError());
    PeerSends("z");
    EXPECT_EQ(1, ZK_SocketRecvOne(pair_.client, &c, 0));  // 0: no limit, and the byte is there
    EXPECT_EQ('z', c);
    PeerCloses();
    EXPECT_EQ(0, ZK_SocketRecvOne(pair_.client, &c, 2000));
}

TEST_P(Recv, RecvStringGathersPiecesThatFollowQuickly) {
    std::string expected;
    for (int i = 0; i < 3000; ++i) expected.push_back(static_cast<char>('a' + i % 26));
    std::thread peer([&] {
        // Three pieces with short pauses between them: one text for the receiver.
        SendAll(pair_.server, expected.substr(0, 1000));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        SendAll(pair_.server, expected.substr(1000, 1500));
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        SendAll(pair_.server, expected.substr(2500));
    });
    int32_t length = -7;
    char *text = ZK_SocketRecvString(pair_.client, &length, 3000);
    peer.join();
    ASSERT_NE(nullptr, text);
    ASSERT_EQ(3000, length);
    EXPECT_EQ(expected, std::string(text, static_cast<size_t>(length)));
    EXPECT_EQ('\0', text[length]);
    ZK_SocketDeleteString(text);
}

TEST_P(Recv, RecvStringOfALargeBurstAndOfZeroBytes) {
    std::string big(200000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    std::thread peer([&] { SendAll(pair_.server, big); });
    int32_t length = 0;
    char *text = ZK_SocketRecvString(pair_.client, &length, 3000);
    peer.join();
    ASSERT_NE(nullptr, text);
    ASSERT_EQ(static_cast<int32_t>(big.size()), length);  // zero bytes inside do not end the text
    EXPECT_EQ(big, std::string(text, static_cast<size_t>(length)));
    ZK_SocketDeleteString(text);
}

TEST_P(Recv, RecvStringEndsAtTimeOutOrClose) {
    int32_t length = -7;
    EXPECT_EQ(nullptr, ZK_SocketRecvString(pair_.client, &length, 200));
    EXPECT_EQ(0, length);
    PeerSends("bye");
    PeerCloses();
    char *text = ZK_SocketRecvString(pair_.client, &length, 2000);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(3, length);
    EXPECT_STREQ("bye", text);
    ZK_SocketDeleteString(text);
    EXPECT_EQ(nullptr, ZK_SocketRecvString(pair_.client, &length, 2000));  // closed and empty
    EXPECT_EQ(0, length);
}

INSTANTIATE_TEST_SUITE_P(Families, Recv, ::testing::Values(uint16_t{ZK_AF_INET}, uint16_t{ZK_AF_INET6}),
                         [](const ::testing::TestParamInfo<uint16_t> &info) {
                             return info.param == ZK_AF_INET ? std::string("IPv4") : std::string("IPv6");
                         });

TEST(RecvInput, NullHandlesAndBadBuffersFailWithInvalidArgument) {
    char buffer[8] = "keep";
    int32_t length = 55;
    EXPECT_EQ(-1, ZK_SocketSend(nullptr, "x", 1));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    EXPECT_EQ(-1, ZK_SocketSendOne(nullptr, 'x'));
    EXPECT_EQ(-1, ZK_SocketSendString(nullptr, "x"));
    EXPECT_EQ(-1, ZK_SocketRecv(nullptr, buffer, 8, 100, nullptr, 0));
    EXPECT_EQ(-1, ZK_SocketRecvOne(nullptr, buffer, 100));
    EXPECT_EQ(-1, ZK_SocketRecvStringLine(nullptr, buffer, 8, 100));
    EXPECT_EQ(nullptr, ZK_SocketRecvString(nullptr, &length, 100));
    EXPECT_EQ(55, length);  // not written for a null handle
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    EXPECT_STREQ("keep", buffer);
    ZK_SocketDeleteString(nullptr);
}

TEST(RecvInput, BadSizesOnARealHandleNeverWrite) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs the private test network (tools/netns.sh)";
    SocketPair pair = ConnectedPair(ZK_AF_INET);
    ASSERT_NE(nullptr, pair.client);
    char guard[4] = {'g', 'g', 'g', 'g'};
    EXPECT_EQ(-1, ZK_SocketRecvStringLine(pair.client, guard, 0, 100));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    EXPECT_EQ(-1, ZK_SocketRecvStringLine(pair.client, nullptr, 10, 100));
    EXPECT_EQ(-1, ZK_SocketRecv(pair.client, guard, -1, 100, nullptr, 0));
    EXPECT_EQ(-1, ZK_SocketRecv(pair.client, nullptr, 4, 100, nullptr, 0));
    EXPECT_EQ(0, ZK_SocketRecv(pair.client, guard, 0, 100, nullptr, 0));
    EXPECT_EQ(-1, ZK_SocketRecvOne(pair.client, nullptr, 100));
    EXPECT_EQ(-1, ZK_SocketSend(pair.client, nullptr, 4));
    EXPECT_EQ(-1, ZK_SocketSend(pair.client, "x", -1));
    EXPECT_EQ(std::string("gggg"), std::string(guard, 4));
    // An empty text is not sent and leaves the error code as it was.
    win::WSASetLastError(1234);
    EXPECT_EQ(-1, ZK_SocketSendString(pair.client, ""));
    EXPECT_EQ(1234, ZK_SocketGetLastError());
    EXPECT_EQ(-1, ZK_SocketSendString(pair.client, nullptr));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    EXPECT_EQ(3, ZK_SocketSendString(pair.client, "abc"));
    EXPECT_EQ(0, ZK_SocketSend(pair.client, nullptr, 0));
    ClosePair(pair);
}
