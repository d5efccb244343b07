// smtp_sink_test.cpp -- messages sent to the aiosmtpd sink, which keeps the exact bytes of each
// connection and each message's envelope and content: the header block byte for byte in the A
// and W forms, CR LF everywhere, dot-stuffing, the end of the data, refusals, sessions on
// several threads, IPv4 and IPv6.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "send_support.h"

namespace {

const char kDefaultType[] =
    "Content-Type: text/plain;\r\n\tformat=fixed;\r\n\tcharset=\"iso-2022-jp\";\r\n\treply-type=original\r\n";
const char kDefaultMailer[] = "X-Mailer: ZK_Library Mail Function 1.0.0\r\n";

std::string Headers(const std::string &from, const std::string &to, const std::string &subject,
                    const std::string &type = kDefaultType, const std::string &mailer = kDefaultMailer) {
    return "From: " + from + "\r\nTo: " + to + "\r\nSubject: " + subject + "\r\nMIME-Version: 1.0\r\n" + type +
           "Content-Transfer-Encoding: 7bit\r\n" + mailer;
}

std::string Envelope(const std::string &from, const std::string &to) {
    return "HELO zknet-test\r\nMAIL FROM: " + from + "\r\nRCPT TO: " + to + "\r\nDATA\r\n";
}

// Shift_JIS (the ANSI text of the A calls) of a UTF-8 literal.
std::string Sjis(const char *utf8) { return AnsiOf(Utf16(utf8)); }

struct SinkCase {
    const char *name;
    std::function<int(MailHandle *)> send;
    std::string content;   // the message as the sink took it (unstuffed)
    std::string envelope = "";  // the commands before the data (empty: those of kFrom and kTo)
};

// Everything the client sends after the greeting: the envelope, the content with each line that
// begins with a period given a second one, the end of the data, QUIT.
std::string Wire(const SinkCase &c) {
    std::string wire = c.envelope;
    for (size_t start = 0; start < c.content.size();) {
        size_t end = c.content.find("\r\n", start);
        end = end == std::string::npos ? c.content.size() : end + 2;
        wire += (c.content[start] == '.' ? "." : "") + c.content.substr(start, end - start);
        start = end;
    }
    return wire + ".\r\nQUIT\r\n";
}

void PrintTo(const SinkCase &c, std::ostream *os) { *os << c.name; }

const std::string kFrom = "<sender@zknet-test>";
const std::string kTo = "<zkmail@zknet-test>";

int SendA(MailHandle *h, const std::string &subject, const std::string &body, int32_t width = -1) {
    return ZK_MailSendA(h, "zknet-test", kFrom.c_str(), kTo.c_str(), subject.c_str(), body.c_str(), width);
}
int SendW(MailHandle *h, const std::u16string &subject, const std::u16string &body, int32_t width = -1) {
    return ZK_MailSendW(h, Wz(u"zknet-test"), Wz(u"<sender@zknet-test>"), Wz(u"<zkmail@zknet-test>"), Wz(subject),
                        Wz(body), width);
}

// The header block of a UTF-8 message of the W sender, with its Base64 transfer encoding.
std::string Utf8Headers(const std::string &subject) {
    std::string block = Headers(kFrom, kTo, subject,
                                "Content-Type: text/plain;\r\n\tformat=fixed;\r\n\tcharset=\"UTF-8\";\r\n\treply-type=original\r\n");
    size_t at = block.find("Content-Transfer-Encoding: 7bit");
    return block.replace(at, 31, "Content-Transfer-Encoding: base64");
}

const std::string kJapaneseSubjectJis = "\x1B$BF|K\\8l$N7oL>\x1B(B";  // 日本語の件名
const std::string kJapaneseBodyJis = "\x1B$B$3$s$K$A$O!\"@$3&!#\x1B(B";  // こんにちは、世界。
const std::string kSecondLineJis = "\x1B$BBhFs9T\x1B(B";                // 第二行

const SinkCase kCases[] = {
    {"AsciiWithDotsAndEveryLineEnd",
     [](MailHandle *h) { return SendA(h, "Plain subject", "\nLine one\n.\n..two\rCR\r\nCRLF\n\nend"); },
     Headers(kFrom, kTo, "Plain subject") + "\r\nLine one\r\n.\r\n..two\r\nCR\r\nCRLF\r\n\r\nend\r\n"},
    {"JapaneseA",
     [](MailHandle *h) {
         return SendA(h, Sjis("日本語の件名"), Sjis("\nこんにちは、世界。\n.\n第二行\n"));
     },
     Headers(kFrom, kTo, kJapaneseSubjectJis) + "\r\n" + kJapaneseBodyJis + "\r\n.\r\n" + kSecondLineJis + "\r\n"},
    {"JapaneseW",
     [](MailHandle *h) {
         return SendW(h, Utf16("日本語の件名"), Utf16("\nこんにちは、世界。\n.\n第二行\n"));
     },
     Headers(kFrom, kTo, "=?ISO-2022-JP?B?GyRCRnxLXDhsJE43b0w+GyhC?=") + "\r\n" + kJapaneseBodyJis + "\r\n.\r\n" +
         kSecondLineJis + "\r\n"},
    {"EmptyBodyEndsAfterTheHeaderBlock", [](MailHandle *h) { return SendA(h, "", ""); }, Headers(kFrom, kTo, "")},
    // Nothing the caller puts in the header texts starts a line of its own.
    {"LineBreaksInHeaderTextsBecomeSpaces",
     [](MailHandle *h) {
         ZK_MailSetXMailerA(h, "M\r\n.\r\nQUIT");
         return ZK_MailSendA(h, "zknet-test\r\nRSET", kFrom.c_str(), kTo.c_str(), "a\r\n.\r\nRSET", "\nb", -1);
     },
     Headers(kFrom, kTo, "a  .  RSET", kDefaultType, "X-Mailer: M  .  QUIT\r\n") + "\r\nb\r\n",
     "HELO zknet-test  RSET\r\nMAIL FROM: " + kFrom + "\r\nRCPT TO: " + kTo + "\r\nDATA\r\n"},
    // UTF-8 when the caller names it: every character of the W form, Base64 for the body.
    {"Utf8W",
     [](MailHandle *h) {
         ZK_MailSetContentTypeW(h, Wz(u"text/plain"), Wz(u"UTF-8"), nullptr, nullptr);
         return SendW(h, Utf16("é♥𠮷😀 件名"), Utf16("\nHé ♥ 𠮷😀\nｶﾞ\n"));
     },
     Utf8Headers("=?UTF-8?B?w6nimaXwoK638J+YgCDku7blkI0=?=") + "\r\nSMOpIOKZpSDwoK638J+YgA0K7722776eDQo=\r\n"},
};

class SinkTest : public ::testing::TestWithParam<SinkCase> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
};

TEST_P(SinkTest, ExactBytes) {
    const SinkCase &c = GetParam();
    for (uint16_t family : {ZK_AF_INET, ZK_AF_INET6}) {
        SCOPED_TRACE(family);
        int before = SinkMessageCount();
        MailHandle *h = ZK_MailConnectSmtpA(kTestHost, kSinkPort, family);
        ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode();
        EXPECT_EQ(1, c.send(h)) << ZK_MailQueryLastErrorCode() << " " << LastReply();
        EXPECT_EQ("250 Message accepted for delivery", LastReply());
        ZK_MailDisconnectSmtp(h);
        EXPECT_EQ("221 Bye", LastReply());
        ASSERT_EQ(before + 1, SinkMessageCount());
        SinkMessage m;
        ASSERT_TRUE(ReadSinkMessage(before + 1, &m));
        EXPECT_EQ(c.content, m.content);
        // The wire file is complete once the sink saw the client close.
        std::string wire;
        for (int i = 0; i < 50 && (wire = SinkWire(m.connection)).find("QUIT\r\n") == std::string::npos; ++i) {
            SleepMs(100);
        }
        SinkCase with_envelope = c;
        if (c.envelope.empty()) with_envelope.envelope = Envelope(kFrom, kTo);
        EXPECT_EQ(Wire(with_envelope), wire);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SinkTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SinkCase> &info) { return info.param.name; });

// Sessions on several threads at once, each with its own handle: every message goes, and the
// family's shared code and reply are never raced on (the TSan build checks).
TEST(Sink, SessionsOnSeveralThreads) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    std::atomic<int> sent{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&sent, t] {
            MailHandle *h = ZK_MailConnectSmtpA("127.0.0.1", kSinkPort, ZK_AF_INET);
            if (h == nullptr) return;
            for (int i = 0; i < 3; ++i) {
                sent += t % 2 ? SendW(h, Utf16("件名"), Utf16("\n本文")) : SendA(h, "s", "\nb");
                LastReply();
                LastReplyW();
            }
            ZK_MailDisconnectSmtp(h);
        });
    }
    for (std::thread &t : threads) t.join();
    EXPECT_EQ(12, sent.load());
}

TEST(Sink, RefusedSenderAndRefusedMessage) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    MailHandle *h = ZK_MailConnectSmtpA("127.0.0.1", kSinkPort, ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(0, ZK_MailSendA(h, "zknet-test", "refused@zknet-test", "<a@zknet-test>", "s", "b", -1));
    EXPECT_EQ(9u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ("550 this sender is refused here", LastReply());
    // The refusal after the data: the message was not taken, so it is not reported as sent.
    EXPECT_EQ(0, ZK_MailSendW(h, Wz(u"zknet-test"), Wz(u"noend@zknet-test"), Wz(u"<a@zknet-test>"), Wz(u"s"),
                              Wz(u"\nb"), -1));
    EXPECT_EQ(11u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(u"554 the message of this sender is refused", LastReplyW());
    // The session goes on.
    EXPECT_EQ(1, ZK_MailSendA(h, "zknet-test", "<ok@zknet-test>", "<a@zknet-test>", "s", "\nb", -1));
    EXPECT_EQ(11u, ZK_MailQueryLastErrorCode());  // a success does not clear the code
    ZK_MailDisconnectSmtp(h);
}

// A body line longer than the sink's 1001-byte line limit (sent unfolded): the sink refuses the
// message after its data, and the client reports that refusal instead of a success.
TEST(Sink, OverlongLineRefusedAfterTheData) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    MailHandle *h = ZK_MailConnectSmtpA("127.0.0.1", kSinkPort, ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    std::string body = "\n" + std::string(1500, 'b');
    EXPECT_EQ(0, ZK_MailSendA(h, "zknet-test", "<a@zknet-test>", "<a@zknet-test>", "s", body.c_str(), -1));
    EXPECT_EQ(11u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(0u, LastReply().find("500 Line too long")) << LastReply();
    ZK_MailDisconnectSmtp(h);
}

}  // namespace
