// mail_core_test.cpp -- the session core that SMTP and POP3 share: the last reply store and its
// queries, replies read and judged (also POP3's "+OK" lines), command lines guarded, the plain
// sends, and the address between delimiters.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/send/smtp.h"
#include "send_support.h"
#include "support/line_peer.h"

namespace {

using Lines = std::vector<std::string>;
const std::string kNichi = "\x93\xFA";  // 日

TEST(LastResponse, QueriesCutAtACharacterBoundary) {
    MailRecordResponse("");
    char a[16] = "junk";
    zk_wchar_t w[16] = {'j', 0};
    EXPECT_EQ(0, ZK_MailQueryLastResponseMessageA(a, sizeof(a)));
    EXPECT_STREQ("", a);
    EXPECT_EQ(0, ZK_MailQueryLastResponseMessageW(w, 16));
    EXPECT_EQ(0, w[0]);
    MailRecordResponse(("ab" + kNichi + "c").c_str());
    EXPECT_EQ(2, ZK_MailQueryLastResponseMessageA(a, 4));
    EXPECT_STREQ("ab", a);  // the double-byte character does not fit whole
    EXPECT_EQ(5, ZK_MailQueryLastResponseMessageA(a, sizeof(a)));
    EXPECT_EQ(4, ZK_MailQueryLastResponseMessageW(w, 16));
    EXPECT_EQ(u"ab\u65E5c", std::u16string(reinterpret_cast<char16_t *>(w)));
    EXPECT_EQ(2, ZK_MailQueryLastResponseMessageW(w, 3));
    EXPECT_EQ(0, ZK_MailQueryLastResponseMessageA(nullptr, 10));
    EXPECT_EQ(0, ZK_MailQueryLastResponseMessageW(w, 0));
    // The store keeps 511 bytes of a longer reply.
    MailRecordResponse(std::string(2000, 'r').c_str());
    EXPECT_EQ(511u, LastReply().size());
}

// Sessions on several threads store and read the family's last reply and code at once: every
// read gives one whole reply, never a torn or blanked one (and the TSan build finds no race).
TEST(LastResponse, ThreadsStoreAndReadWholeReplies) {
    std::vector<std::string> replies;
    for (int k = 0; k < 4; ++k) replies.push_back(std::to_string(250 + k) + " " + std::string(400, static_cast<char>('a' + k)));
    MailRecordResponse(replies[0].c_str());
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> readers, writers;
    for (int r = 0; r < 2; ++r) {
        readers.emplace_back([&, r] {
            while (!stop) {
                std::u16string wide = r == 0 ? std::u16string() : LastReplyW();
                std::string read = r == 0 ? LastReply() : std::string(wide.begin(), wide.end());
                if (std::find(replies.begin(), replies.end(), read) == replies.end()) ++torn;
                if (ZK_MailQueryLastErrorCode() > 3) ++torn;
            }
        });
    }
    for (int k = 0; k < 4; ++k) {
        writers.emplace_back([&, k] {
            for (int i = 0; i < 20000; ++i) {
                MailRecordResponse(replies[static_cast<size_t>(k)].c_str());
                MailLastError = static_cast<uint32_t>(k);
            }
        });
    }
    for (std::thread &t : writers) t.join();
    stop = true;
    for (std::thread &t : readers) t.join();
    EXPECT_EQ(0, torn.load());
}

TEST(ExtractBetween, Cases) {
    const struct {
        const char *text;
        int32_t size;
        int32_t result;
        std::string out;
    } cases[] = {
        {"Taro <taro@example.jp>", 640, 15, "taro@example.jp"},
        {"<a@b> <c@d>", 640, 3, "a@b"},
        {"no brackets", 640, 0, ""},
        {"open only <a@b", 640, 0, ""},
        {"at the end <", 640, 0, ""},
        {"<>", 640, 0, ""},
        {"<abcdef>", 9, 6, "abcdef"},
        {"<abcdef>", 8, 0, ""},  // the text is taken only as far as the output's size: nothing
        {"\x8E\x52\x93\x63 <yamada@example.jp>", 640, 17, "yamada@example.jp"},
    };
    for (const auto &c : cases) {
        std::vector<char> out(static_cast<size_t>(c.size) + 4, '#');
        EXPECT_EQ(c.result, ExtractBetween(c.text, out.data(), c.size, "<", ">")) << c.text;
        EXPECT_EQ(c.out, std::string(out.data())) << c.text;
        EXPECT_EQ('#', out[static_cast<size_t>(c.size)]);
    }
    // A double-byte address between the brackets: the length is its ANSI bytes.
    char out[32];
    EXPECT_EQ(4, ExtractBetween(("x<" + kNichi + kNichi + ">").c_str(), out, sizeof(out), "<", ">"));
    EXPECT_EQ(kNichi + kNichi, std::string(out));
    EXPECT_EQ(0, ExtractBetween(nullptr, out, sizeof(out), "<", ">"));
    EXPECT_EQ(0, ExtractBetween("<a>", nullptr, 10, "<", ">"));
    EXPECT_EQ(0, ExtractBetween("<a>", out, 0, "<", ">"));
    zk_wchar_t wide[8];
    EXPECT_EQ(2, ExtractBetweenW(Wz(u"[[ab]]"), wide, 8, Wz(u"[["), Wz(u"]]")));
}

class CoreExchange : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override {
        if (socket_ != nullptr) ProtoCloseTransport(socket_);
        FinishLinePeer(peer_);
    }
    ProtoTransport *Open(std::vector<LineStep> steps, const char *greeting, uint16_t family = ZK_AF_INET) {
        StartLinePeer(peer_, family, std::move(steps));
        socket_ = MailOpenTransportA(Loopback(family), peer_.listener.port, greeting, family);
        return socket_;
    }
    Lines Sent() {
        ProtoCloseTransport(socket_);
        socket_ = nullptr;
        FinishLinePeer(peer_);
        return peer_.link.commands;
    }
    LinePeer peer_;
    ProtoTransport *socket_ = nullptr;
};

// The POP3 dialogue on the same core: "+OK" and "-ERR" status lines, judged without case.
TEST_F(CoreExchange, Pop3StatusLines) {
    ASSERT_NE(nullptr, Open({{kNoLine, "+OK POP3 ready\r\n"}, {"USER zk", "+ok send PASS\r\n"},
                             {"PASS wrong", "-ERR invalid login\r\n"}, {"LIST", "+OK 1 messages\r\n1 120\r\n.\r\n"}},
                            "+OK"));
    ZK_MailClearLastErrorCode();
    EXPECT_EQ(1, MailCommandA(socket_, "USER", "zk", "+OK"));
    EXPECT_EQ(0, MailCommandW(socket_, Wz(u"PASS"), Wz(u"wrong"), Wz(u"+OK")));
    EXPECT_EQ(5u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ("-ERR invalid login", LastReply());
    // A status line is one line, whatever follows it.
    EXPECT_TRUE(MailSendLine(socket_, "LIST\r\n"));
    char status[64];
    EXPECT_EQ(0, MailReadReplyA(socket_, status, sizeof(status), "+ok", 8000));
    EXPECT_STREQ("+OK 1 messages", status);
    EXPECT_EQ(0, MailReadReplyA(socket_, status, sizeof(status), "", 8000));
    EXPECT_STREQ("1 120", status);
    EXPECT_EQ((Lines{"USER zk", "PASS wrong", "LIST"}), Sent());
}

TEST_F(CoreExchange, RepliesIntoSmallBuffers) {
    ASSERT_NE(nullptr, Open({{kNoLine, "220 hi\r\n"}, {kNoLine, "250 a fairly long reply line\r\n"},
                             {kNoLine, "250 \x93\xFA\x96\x7B reply\r\n"}},
                            "220"));
    char small[8];
    EXPECT_EQ(0, MailReadReplyA(socket_, small, sizeof(small), "250", 8000));
    EXPECT_STREQ("250 a f", small);
    EXPECT_EQ("250 a fairly long reply line", LastReply());
    zk_wchar_t wide[6];
    EXPECT_EQ(5, MailReadReplyW(socket_, wide, 6, Wz(u"25 "), 8000));
    EXPECT_EQ(u"250 \u65E5", std::u16string(reinterpret_cast<char16_t *>(wide)));
}

// Command lines that a CR, LF, the 1024-character limit or (W form) a character the ANSI code
// page lacks would spoil are not sent at all: code 4.
TEST_F(CoreExchange, UnsafeCommandLinesAreNotSent) {
    ASSERT_NE(nullptr, Open({{kNoLine, "220 hi\r\n"}, {"NOOP", "250 ok\r\n"}}, "220"));
    ZK_MailClearLastErrorCode();
    EXPECT_EQ(0, MailCommandA(socket_, "MAIL FROM:", "<a@b>\r\nRCPT TO: <c@d>", "250"));
    EXPECT_EQ(4u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(0, MailCommandA(socket_, "HELO", std::string(1100, 'h').c_str(), "250"));
    EXPECT_EQ(0, MailCommandW(socket_, Wz(u"HELO"), Wz(u"caf\u00E9"), Wz(u"250")));
    EXPECT_EQ(4u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(1, MailCommandA(socket_, "NOOP", nullptr, "250"));
    EXPECT_EQ(0, MailCommandA(nullptr, "NOOP", nullptr, "250"));
    EXPECT_EQ(4u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ((Lines{"NOOP"}), Sent());
}

TEST_F(CoreExchange, PlainSends) {
    ASSERT_NE(nullptr, Open({{kNoLine, "220 hi\r\n"}, {"QUIT", ""}, {"RETR *", ""}}, "220"));
    EXPECT_TRUE(MailSendLine(socket_, "QUIT\r\n"));
    EXPECT_TRUE(MailSendTextW(socket_, Wz(u"RETR \u65E5\r\n")));
    EXPECT_TRUE(MailSendTextW(socket_, Wz(u"")));
    EXPECT_FALSE(MailSendLine(nullptr, "x"));
    EXPECT_FALSE(MailSendTextW(socket_, nullptr));
    Sent();
    EXPECT_EQ("QUIT\r\nRETR \x93\xFA\r\n", peer_.link.bytes);
}

}  // namespace
