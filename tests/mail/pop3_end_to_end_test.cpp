// pop3_end_to_end_test.cpp -- a message on a round trip through production servers: sent with
// ZK_MailSendW through Postfix, delivered to the Maildir that dovecot serves, listed and retrieved
// over POP3 with its subject and body read back by the W extraction exactly as sent; then saved
// as an .eml file and sent again with ZK_MailSendFromFileA through the aiosmtpd sink, where it
// arrives with its header lines rebuilt and its body as stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "pop3_support.h"
#include "send_support.h"
#include "socket/text_helpers.h"

namespace fs = std::filesystem;

namespace {

const char kTag[] = "zk-pop3-round-trip";

std::u16string Wide(const zk_wchar_t *text) { return std::u16string(reinterpret_cast<const char16_t *>(text)); }

// The value of the first header line that begins with `name` ("Date: "), in a CR LF text.
std::string HeaderValue(const std::string &text, const std::string &name) {
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos || end == start) break;
        if (text.compare(start, name.size(), name) == 0) return text.substr(start + name.size(), end - start - name.size());
        start = end + 2;
    }
    return "";
}

// Waits (bounded) until Postfix has delivered a message from the tag's address.
bool Delivered(const std::string &tag) {
    for (int i = 0; i < 200; ++i) {
        for (const char *folder : {"mail/zkmail/new", "mail/zkmail/cur"}) {
            for (const std::string &path : FilesIn(MailWork(folder))) {
                if (ReadFileBytes(path).find(tag + "@zknet-test") != std::string::npos) return true;
            }
        }
        SleepMs(100);
    }
    return false;
}

TEST(EndToEnd, PostfixDovecotAndBackThroughTheSink) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    const std::u16string subject = Utf16("往復の件名、①と髙");
    const std::u16string body = Utf16("\n本文の一行目です。\n.で始まる行\n..二つの点\n最後の行\n");
    const std::u16string from = Utf16((std::string("<") + kTag + "@zknet-test>").c_str());

    MailHandle *smtp = ZK_MailConnectSmtpW(Wz(u"127.0.0.1"), kPostfixPort, ZK_AF_INET);
    ASSERT_NE(nullptr, smtp) << ZK_MailQueryLastErrorCode();
    ASSERT_EQ(1, ZK_MailSendW(smtp, Wz(u"zknet-test"), Wz(from), Wz(u"<zkmail@zknet-test>"), Wz(subject), Wz(body), -1))
        << ZK_MailQueryLastErrorCode() << " " << LastReply();
    ZK_MailDisconnectSmtp(smtp);
    ASSERT_TRUE(Delivered(kTag));

    MailHandle *pop3 = ZK_MailConnectPop3W(Wz(u"::1"), Wz(u"zkmail"), Wz(u"zkmail-pass"), kPop3Port, ZK_AF_INET6);
    ASSERT_NE(nullptr, pop3) << ZK_MailQueryLastErrorCode() << " " << LastReply();
    MailList list{0, nullptr};
    ASSERT_EQ(1, ZK_MailBoxW(pop3, &list, 1));
    int32_t number = 0;
    const auto *entries = static_cast<const MailListEntryW *>(list.entries);
    for (int32_t i = 0; i < list.count; ++i) {
        if (Wide(entries[i].from) == from) {
            number = entries[i].number;
            EXPECT_EQ(subject, Wide(entries[i].subject));
        }
    }
    ZK_MailListFreeW(&list);
    ASSERT_NE(0, number) << "the message is not in the listing";

    char *text = ZK_MailRecv(pop3, number);
    ASSERT_NE(nullptr, text);
    std::vector<zk_wchar_t> wide(4096);
    EXPECT_GT(ZK_MailGetSubjectW(text, wide.data(), 4096), 0);
    EXPECT_EQ(subject, Wide(wide.data()));
    std::u16string sent_body;  // as sent, with CR LF line ends
    for (char16_t c : body) sent_body += c == u'\n' ? u"\r\n" : std::u16string(1, c);
    EXPECT_EQ(static_cast<int32_t>(sent_body.size()), ZK_MailGetBodyW(text, wide.data(), 4096));
    EXPECT_EQ(sent_body, Wide(wide.data()));
    const std::string retrieved = text;
    ZK_MailRecvFree(text);

    fs::path folder = MailWork("round-trip");
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    ASSERT_EQ(1, ZK_MailRecvToFileW(pop3, number, Wz(folder.u16string()), Wz(u"round-trip")));
    ZK_MailDisconnectPop3(pop3);  // nothing deleted: the delivery check reads the Maildir afterwards
    const std::string path = (folder / "round-trip.eml").string();
    ASSERT_EQ(retrieved, ReadFileBytes(path));

    MailHandle *sink = ZK_MailConnectSmtpA("127.0.0.1", kSinkPort, ZK_AF_INET);
    ASSERT_NE(nullptr, sink);
    const int before = SinkMessageCount();
    EXPECT_EQ(1, ZK_MailSendFromFileA(sink, "zknet-test", path.c_str())) << ZK_MailQueryLastErrorCode();
    EXPECT_EQ("250 Message accepted for delivery", LastReply());
    ZK_MailDisconnectSmtp(sink);

    SinkMessage message;
    ASSERT_TRUE(ReadSinkMessage(before + 1, &message));
    EXPECT_EQ(std::string(kTag) + "@zknet-test", message.mail_from);
    EXPECT_EQ(std::vector<std::string>{"zkmail@zknet-test"}, message.rcpt_to);
    // The subject goes out in the stored field's own encoded words; the Content-Type with its lines.
    EXPECT_GT(ZK_MailGetSubjectW(message.content.c_str(), wide.data(), 4096), 0);
    EXPECT_EQ(subject, Wide(wide.data()));
    const size_t header_end = retrieved.find("\r\n\r\n") + 2;
    const std::string rebuilt =
        "From: " + AnsiOf(from) + "\r\nTo: <zkmail@zknet-test>\r\nSubject: " + HeaderValue(retrieved, "Subject: ") +
        "\r\nDate: " + HeaderValue(retrieved, "Date: ") +
        "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain;\r\n\tformat=fixed;\r\n\tcharset=\"iso-2022-jp\";\r\n"
        "\treply-type=original\r\nContent-Transfer-Encoding: 7bit\r\n";
    EXPECT_EQ(rebuilt + retrieved.substr(header_end), message.content);
    EXPECT_FALSE(HeaderValue(retrieved, "Date: ").empty());
}

}  // namespace
