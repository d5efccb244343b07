// send_bad_input_test.cpp -- what callers get wrong: null handles, POP3 sessions given to SMTP
// operations, null and empty texts, texts of several megabytes, odd widths, texts too long for
// a command line. Each gives its result and code or a clear 0 with a code: never an overrun, a
// crash or a hang.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/mail_session.h"
#include "send_support.h"
#include "support/line_peer.h"

namespace {

using Lines = std::vector<std::string>;

TEST(BadInput, NoSmtpSession) {
    ZK_MailClearLastErrorCode();
    ZK_MailDisconnectSmtp(nullptr);
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    ZK_MailClearLastErrorCode();
    EXPECT_EQ(0, ZK_MailSendA(nullptr, "h", "f", "t", "s", "b", 10));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    ZK_MailClearLastErrorCode();
    EXPECT_EQ(0, ZK_MailSendW(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -1));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    // A POP3 session's handle has no SMTP socket: it counts as no session.
    MailHandle *pop3 = MailNewHandle();
    ASSERT_NE(nullptr, pop3);
    ProtoTransport *socket = ProtoOpenTransport(ZK_SocketOpen(ZK_AF_INET, ZK_SOCK_STREAM));
    pop3->pop3Socket = socket;
    ZK_MailClearLastErrorCode();
    EXPECT_EQ(0, ZK_MailSendA(pop3, "h", "f", "t", "s", "b", 10));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    ZK_MailClearLastErrorCode();
    EXPECT_EQ(0, ZK_MailSendW(pop3, Wz(u"h"), Wz(u"f"), Wz(u"t"), Wz(u"s"), Wz(u"b"), 10));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    ZK_MailClearLastErrorCode();
    ZK_MailDisconnectSmtp(pop3);  // nothing is freed
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(socket, pop3->pop3Socket);
    ZK_MailSetXMailerW(nullptr, Wz(u"x"));
    ZK_MailSetContentTypeW(nullptr, Wz(u"text/plain"), nullptr, nullptr, nullptr);
    ProtoCloseTransport(socket);
    MailFreeHandle(pop3);
}

class BadInputScripted : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override {
        if (handle_ != nullptr) ZK_MailDisconnectSmtp(handle_);
        FinishLinePeer(peer_);
    }
    void Start(std::vector<LineStep> steps) {
        steps.insert(steps.begin(), LineStep{kNoLine, "220 ready\r\n"});
        steps.push_back({"QUIT", "221 bye\r\n"});
        StartLinePeer(peer_, ZK_AF_INET, steps);
        handle_ = ZK_MailConnectSmtpA("127.0.0.1", peer_.listener.port, ZK_AF_INET);
        ASSERT_NE(nullptr, handle_);
    }
    void Finish() {
        ZK_MailDisconnectSmtp(handle_);
        handle_ = nullptr;
        FinishLinePeer(peer_);
        EXPECT_EQ(Lines(), peer_.link.mismatches);
        EXPECT_FALSE(peer_.link.bare_line_end);
    }
    LinePeer peer_;
    MailHandle *handle_ = nullptr;
};

const std::vector<LineStep> kAllAccepted = {{"HELO*", "250 hi\r\n"},    {"MAIL FROM:*", "250 ok\r\n"},
                                            {"RCPT TO:*", "250 ok\r\n"}, {"DATA", "354 go\r\n"},
                                            {kData, "250 queued\r\n"}};

// Null texts are empty ones: the commands go out alone and the header lines empty.
TEST_F(BadInputScripted, NullTexts) {
    std::vector<LineStep> steps = kAllAccepted;
    steps.insert(steps.end(), kAllAccepted.begin(), kAllAccepted.end());
    Start(steps);
    EXPECT_EQ(1, ZK_MailSendA(handle_, nullptr, nullptr, nullptr, nullptr, nullptr, 10));
    EXPECT_EQ(1, ZK_MailSendW(handle_, nullptr, nullptr, nullptr, nullptr, nullptr, -1));
    Finish();
    ASSERT_EQ(2u, peer_.link.messages.size());
    EXPECT_EQ(0u, peer_.link.messages[0].find("From: \r\nTo: \r\nSubject: \r\nMIME-Version: 1.0\r\n"));
    EXPECT_EQ(0u, peer_.link.messages[1].find("From: \r\nTo: \r\nSubject: =?ISO-2022-JP?B?" "?=\r\n"));
}

// Texts too long for a command line are not sent; the step fails with its code.
TEST_F(BadInputScripted, OverlongCommandTexts) {
    Start({{"HELO me", "250 hi\r\n"}, {"HELO me", "250 hi\r\n"}, {"MAIL FROM: <a@x>", "250 ok\r\n"}});
    std::string huge(3 * 1024 * 1024, 'h');
    EXPECT_EQ(0, ZK_MailSendA(handle_, huge.c_str(), "<a@x>", "<b@y>", "s", "b", -1));
    EXPECT_EQ(8u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(0, ZK_MailSendA(handle_, "me", huge.c_str(), "<b@y>", "s", "b", -1));
    EXPECT_EQ(9u, ZK_MailQueryLastErrorCode());
    // A character the ANSI code page lacks would go out as another one: not sent either.
    EXPECT_EQ(0, ZK_MailSendW(handle_, Wz(u"me"), Wz(u"<a@x>"), Wz(u"<b\u00E9@y>"), Wz(u"s"), Wz(u"b"), -1));
    EXPECT_EQ(10u, ZK_MailQueryLastErrorCode());
    Finish();
    EXPECT_EQ((Lines{"HELO me", "HELO me", "MAIL FROM: <a@x>", "QUIT"}), peer_.link.commands);
}

// Every width, with Japanese text: the message goes out, CR LF everywhere, no character split.
TEST_F(BadInputScripted, OddWidths) {
    const int32_t widths[] = {0, 1, -1, -5, 2, 3, INT32_MAX, INT32_MIN};
    std::vector<LineStep> steps;
    for (size_t i = 0; i < sizeof(widths) / sizeof(widths[0]); ++i) {
        steps.insert(steps.end(), kAllAccepted.begin(), kAllAccepted.end());
    }
    Start(steps);
    std::u16string body = Utf16("\n日本語と ASCII の混在した本文。\n.\n\tタブ");
    for (int32_t width : widths) {
        EXPECT_EQ(1, ZK_MailSendW(handle_, Wz(u"me"), Wz(u"<a@x>"), Wz(u"<b@y>"), Wz(u"w"), Wz(body), width)) << width;
    }
    Finish();
    ASSERT_EQ(sizeof(widths) / sizeof(widths[0]), peer_.link.messages.size());
    for (const std::string &m : peer_.link.messages) {
        EXPECT_EQ("\r\n", m.substr(m.size() - 2));
        EXPECT_EQ(std::string::npos, m.find("\r\n.\r\n"));  // the lone period went out doubled
    }
}

// Subjects and bodies of several megabytes go out whole: the subject as encoded words on as many
// continuation lines as it takes.
TEST(BadInputSink, MegabyteSubjectsAndBodies) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    MailHandle *h = ZK_MailConnectSmtpA(kTestHost, kSinkPort, ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    std::string subject(3 * 1024 * 1024, 's');
    std::string line = std::string(70, 'x') + "\n";
    std::string body = "\n";
    while (body.size() < 4 * 1024 * 1024) body += line;
    int before = SinkMessageCount();
    EXPECT_EQ(1, ZK_MailSendA(h, "zknet-test", "<a@zknet-test>", "<b@zknet-test>", subject.c_str(), body.c_str(), 72))
        << LastReply();
    std::u16string wide_subject(2 * 1024 * 1024, u'\u65E5');
    std::u16string wide_body(body.begin(), body.end());
    EXPECT_EQ(1, ZK_MailSendW(h, Wz(u"zknet-test"), Wz(u"<a@zknet-test>"), Wz(u"<b@zknet-test>"), Wz(wide_subject),
                              Wz(wide_body), -1))
        << LastReply();
    ZK_MailDisconnectSmtp(h);
    ASSERT_EQ(before + 2, SinkMessageCount());
    std::string crlf_body;
    for (char c : body) crlf_body += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (int n = 1; n <= 2; ++n) {
        SinkMessage m;
        ASSERT_TRUE(ReadSinkMessage(before + n, &m));
        const std::u16string expected = n == 1 ? U16(subject.c_str()) : wide_subject;
        std::vector<zk_wchar_t> read(m.content.size());
        EXPECT_EQ(static_cast<int32_t>(expected.size()) + 1,
                  ZK_MailGetSubjectW(m.content.c_str(), read.data(), static_cast<int32_t>(read.size())));
        EXPECT_TRUE(expected == reinterpret_cast<const char16_t *>(read.data())) << n;
        const std::string mailer = "X-Mailer: ZK_Library Mail Function 1.0.0\r\n";
        size_t start = m.content.find(mailer);
        ASSERT_NE(std::string::npos, start);
        EXPECT_TRUE(m.content.substr(start + mailer.size()) == crlf_body) << n;
    }
}

}  // namespace
