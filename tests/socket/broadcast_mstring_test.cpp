// broadcast_mstring_test.cpp -- datagrams to broadcast addresses inside the private network, and
// the splitting of CR LF texts into line lists, awkward texts included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/net_peer.h"

namespace {
std::vector<std::string> Items(const MStringList &list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.count; ++i) out.emplace_back(static_cast<const char *>(list.items[i]));
    return out;
}

std::vector<std::string> Split(const char *text, int32_t expect_result = 1) {
    MStringList list{-1, nullptr};
    EXPECT_EQ(expect_result, ZK_SocketEditMStringA(text, &list));
    std::vector<std::string> items = Items(list);
    ZK_SocketDeleteMStringA(&list);
    return items;
}

using Lines = std::vector<std::string>;
}  // namespace

TEST(MString, SplitsCrLfLines) {
    MStringList list{-1, nullptr};
    ASSERT_EQ(1, ZK_SocketEditMStringA("a\r\nbc\r\n", &list));
    EXPECT_EQ(2, list.count);
    EXPECT_EQ((Lines{"a", "bc"}), Items(list));
    ZK_SocketDeleteMStringA(&list);
    EXPECT_EQ(0, list.count);  // released lists are emptied, so a second release is harmless
    EXPECT_EQ(nullptr, list.items);
    ZK_SocketDeleteMStringA(&list);
    ZK_SocketDeleteMStringA(nullptr);

    EXPECT_EQ((Lines{"a", "bc"}), Split("a\r\nbc"));
    EXPECT_EQ((Lines{"abc"}), Split("abc"));
}

TEST(MString, AwkwardTextsKeepEveryByteInOrderAndReadNothingBeyond) {
    EXPECT_EQ((Lines{"a", "b"}), Split("a\r\n\r\nb\r\n"));     // empty lines give no item
    EXPECT_EQ((Lines{"x"}), Split("\r\n\r\nx"));               // nor at the very start
    EXPECT_EQ((Lines{"a", "b"}), Split("a\rb"));               // a lone CR ends a line too
    EXPECT_EQ((Lines{"a", "Xb"}), Split("a\rXb"));             // and takes no byte after it
    EXPECT_EQ((Lines{"abc"}), Split("abc\r"));                 // a final lone CR
    EXPECT_EQ((Lines{"a\nb"}), Split("a\nb"));                 // LF alone is not a line end
    EXPECT_EQ((Lines{}), Split("\r\n"));
    EXPECT_EQ((Lines{}), Split("\r\r\r"));
    // A listing line with Japanese text in code page 932 keeps its bytes.
    EXPECT_EQ((Lines{"-rw 1 \x93\xfa\x96\x7b.txt", "end"}), Split("-rw 1 \x93\xfa\x96\x7b.txt\r\nend\r\n"));
}

TEST(MString, EmptyOrNullTextGivesZeroAndAnEmptyList) {
    MStringList list{5, reinterpret_cast<void **>(&list)};
    EXPECT_EQ(0, ZK_SocketEditMStringA("", &list));
    EXPECT_EQ(0, list.count);
    EXPECT_EQ(nullptr, list.items);
    EXPECT_EQ(0, ZK_SocketEditMStringA(nullptr, &list));
    EXPECT_EQ(0, ZK_SocketEditMStringW(nullptr, &list));
    EXPECT_EQ(0, ZK_SocketEditMStringA("x", nullptr));
}

TEST(MString, WideItemsAreUtf16) {
    MStringList list{};
    ASSERT_EQ(1, ZK_SocketEditMStringW("x\r\n\x93\xfa\x96\x7b\r\n", &list));
    ASSERT_EQ(2, list.count);
    EXPECT_EQ(std::u16string(u"x"), std::u16string(static_cast<const char16_t *>(list.items[0])));
    EXPECT_EQ(std::u16string(u"\u65e5\u672c"), std::u16string(static_cast<const char16_t *>(list.items[1])));
    ZK_SocketDeleteMStringW(&list);
}

class Broadcast : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "broadcasts are sent only inside the private test network";
        receiver_ = ZK_SocketOpenServer(ZK_SOCK_DGRAM, 0, ZK_AF_INET);
        ASSERT_NE(nullptr, receiver_);
        port_ = LocalPort(receiver_);
        sender_ = ZK_SocketOpenClientA(ZK_SOCK_DGRAM, nullptr, 0, ZK_AF_INET);
        ASSERT_NE(nullptr, sender_);
    }
    void TearDown() override {
        if (receiver_) ZK_SocketClose(receiver_);
        if (sender_) ZK_SocketClose(sender_);
    }
    std::string Received() {
        char buffer[512];
        int n = ZK_SocketRecv(receiver_, buffer, sizeof(buffer), 2000, nullptr, 1);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }
    SocketHandle *receiver_ = nullptr;
    SocketHandle *sender_ = nullptr;
    int port_ = 0;
};

TEST_F(Broadcast, LimitedAndDirectedBroadcastsArrive) {
    std::string payload(102, '\0');
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(0xF0 ^ i);
    EXPECT_EQ(102, ZK_SocketSendBroadcastA(sender_, "255.255.255.255", port_, payload.data(), 102));
    EXPECT_EQ(payload, Received());
    EXPECT_EQ(5, ZK_SocketSendBroadcastW(sender_, W(U16("192.0.2.255")), port_, "hello", 5));
    EXPECT_EQ("hello", Received());
    EXPECT_EQ(3, ZK_SocketSendBroadcastA(sender_, kTestHost, port_, "abc", 3));  // a name resolves too
    EXPECT_EQ("abc", Received());
}

TEST_F(Broadcast, RefusedCases) {
    SocketHandle *v6 = ZK_SocketOpenClientA(ZK_SOCK_DGRAM, nullptr, 0, ZK_AF_INET6);
    ASSERT_NE(nullptr, v6);
    EXPECT_EQ(-1, ZK_SocketSendBroadcastA(v6, "255.255.255.255", port_, "x", 1));  // IPv4 only
    ZK_SocketClose(v6);
    EXPECT_EQ(-1, ZK_SocketSendBroadcastA(nullptr, "255.255.255.255", port_, "x", 1));
    EXPECT_EQ(10022, ZK_SocketGetLastError());
    EXPECT_EQ(-1, ZK_SocketSendBroadcastW(nullptr, W(U16("255.255.255.255")), port_, "x", 1));
    EXPECT_EQ(-1, ZK_SocketSendBroadcastA(sender_, nullptr, port_, "x", 1));
    EXPECT_EQ(-1, ZK_SocketSendBroadcastA(sender_, "no-such-host.invalid", port_, "x", 1));
    EXPECT_EQ(-1, ZK_SocketSendBroadcastA(sender_, "255.255.255.255", 70000, "x", 1));
    std::u16string unconvertible(600, u'\u3042');  // does not fit the 520-byte conversion
    EXPECT_EQ(0, ZK_SocketSendBroadcastW(sender_, W(unconvertible), port_, "x", 1));
    EXPECT_EQ("", Received());  // none of the refused datagrams went out
}
