// postfix_test.cpp -- messages sent through Postfix (tests/mail/start.sh), which refuses bare LF
// in the data and delivers to the test user's Maildir: every refusal step with its code and the
// server's words, IPv4 and IPv6, and Japanese messages in both forms (NEC and IBM extension
// characters, folded lines with double-byte characters at the break, named senders and several
// recipients, half-width katakana, long subjects, UTF-8) whose decoded subject, From and body
// check_delivery.py compares with what ExpectDelivery recorded here, for every recipient.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "send_support.h"

namespace {

class PostfixTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
};

struct Refusal {
    const char *name;
    const char *helo;
    const char *from;
    const char *to;
    uint32_t code;
    const char *reply_start;
    const char *reply_words;
};

const Refusal kRefusals[] = {
    {"Helo", "refused.helo", "<a@zknet-test>", "<zkmail@zknet-test>", 8, "554 5.7.1",
     "the HELO name is refused here"},
    {"MailFrom", "zknet-test", "<refused@zknet-test>", "<zkmail@zknet-test>", 9, "554 5.7.1",
     "this sender is refused here"},
    {"RcptTo", "zknet-test", "<a@zknet-test>", "<nobody-here@zknet-test>", 10, "550 5.1.1",
     "User unknown in local recipient table"},
    {"Data", "zknet-test", "<nodata@zknet-test>", "<zkmail@zknet-test>", 11, "554 5.7.1", "no data from this sender"},
    {"FinalReply", "zknet-test", "<noend@zknet-test>", "<zkmail@zknet-test>", 11, "554 5.7.1",
     "the message of this sender is refused"},
};

TEST_F(PostfixTest, EveryRefusalStepHasItsCodeAndTheServersWords) {
    for (const Refusal &r : kRefusals) {
        for (uint16_t family : {ZK_AF_INET, ZK_AF_INET6}) {
            SCOPED_TRACE(std::string(r.name) + (family == ZK_AF_INET ? " IPv4" : " IPv6"));
            MailHandle *h = ZK_MailConnectSmtpA(family == ZK_AF_INET ? "127.0.0.1" : "::1", kPostfixPort, family);
            ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode();
            int result = family == ZK_AF_INET
                             ? ZK_MailSendA(h, r.helo, r.from, r.to, "refusal", "\nbody", -1)
                             : ZK_MailSendW(h, Wz(Utf16(r.helo)), Wz(Utf16(r.from)), Wz(Utf16(r.to)), Wz(u"refusal"),
                                            Wz(u"\nbody"), -1);
            EXPECT_EQ(0, result);
            EXPECT_EQ(r.code, ZK_MailQueryLastErrorCode());
            std::string reply = LastReply();
            EXPECT_EQ(0u, reply.find(r.reply_start)) << reply;
            EXPECT_NE(std::string::npos, reply.find(r.reply_words)) << reply;
            ZK_MailDisconnectSmtp(h);
        }
    }
}

struct Delivery {
    const char *tag;
    bool wide;
    const char *subject;  // UTF-8
    const char *body;     // UTF-8, as sent (after the leading line break that ends the header block)
    int32_t width;
    const char *reads;    // the body as it must read after delivery
    bool utf8 = false;            // sent as UTF-8 (the Content-Type names it)
    const char *name = nullptr;   // the sender's display name, UTF-8
    const char *to = nullptr;     // the to text, UTF-8 (by default zkmail's address)
    const char *subject_reads = nullptr;  // when the subject reads otherwise than sent
    const char *name_reads = nullptr;     // likewise the display name
};

const char kTwoRecipients[] = "\"Zkmail, Test\" <zkmail@zknet-test>, 受信者 <zkmail@localhost>";
const char kLongSubject[] =
    "長い件名の試験です。この件名は一つの符号化語には収まらず、何行にも折り返されますが、"
    "受け取った側では一字も欠けずに元の通りに読めなければなりません。途中に ASCII の words と"
    "数字 12345 も混ぜてあります。ここまでで百字を少し越えたでしょうか。まだ続きます。"
    "日本語の件名が二百五十六字を越えても空になったり切られたりしないことを確かめます。"
    "二百五十六字を越えるよう、もう少し書き足します。句読点も、括弧（このように）も、記号①も入れます。"
    "最後の一文です。以上、長い件名の試験でした。これで本当に終わりです。おしまい。";

const Delivery kDeliveries[] = {
    {"zk-a-japanese", false, "日本語の件名です", "本文です。\n二行目、カタカナ、ひらがな、漢字。", -1,
     "本文です。\n二行目、カタカナ、ひらがな、漢字。\n"},
    {"zk-w-japanese", true, "日本語の件名です", "本文です。\n二行目、カタカナ、ひらがな、漢字。", -1,
     "本文です。\n二行目、カタカナ、ひらがな、漢字。\n"},
    {"zk-a-folded", false, "折り返し", "あいうえおかきくけこさ\nabcdefgh日本", 10,
     "あいうえお\nかきくけこ\nさ\nabcdefgh日\n本\n"},
    {"zk-w-folded-odd", true, "奇数の幅", "abcdefgh日本語\n.先頭の点", 9, "abcdefgh\n日本語\n.先頭の点\n"},
    {"zk-w-extensions", true, "①ⅰⅠ髙纊∵", "NEC: ①②③ ㈱ №\nIBM: ⅰⅱ 髙﨑 纊\n", -1,
     "NEC: ①②③ ㈱ №\nIBM: ⅰⅱ 髙﨑 纊\n"},  // a body that ends its last line gets no empty line added
    {"zk-a-named", false, "名前付き", "本文", -1, "本文\n", false, "山田 太郎", kTwoRecipients},
    {"zk-w-named", true, "名前付き", "本文", -1, "本文\n", false, "\"佐藤, ﾃｽﾄ\"", kTwoRecipients, nullptr,
     "佐藤, テスト"},
    {"zk-a-katakana", false, "ｶﾞｷﾞﾊﾟ ﾃｽﾄの件名", "ﾊﾝｶｸｶﾀｶﾅﾉﾎﾝﾌﾞﾝﾃﾞｽ｡ｳﾞｧｲｵﾘﾝ", 12,
     "ハンカクカタ\nカナノホンブ\nンデス。ヴァ\nイオリン\n", false, "ﾔﾏﾀﾞ", nullptr, "ガギパ テストの件名", "ヤマダ"},
    {"zk-w-katakana", true, "ｶﾞｷﾞﾊﾟ ﾃｽﾄの件名", "ﾊﾝｶｸｶﾀｶﾅﾉﾎﾝﾌﾞﾝﾃﾞｽ｡", -1, "ハンカクカタカナノホンブンデス。\n",
     false, nullptr, nullptr, "ガギパ テストの件名"},
    {"zk-a-long-subject", false, kLongSubject, "本文", -1, "本文\n"},
    {"zk-w-long-subject", true, kLongSubject, "本文", -1, "本文\n"},
    {"zk-w-utf8", true, "é♥𠮷😀 件名ｶﾞ", "Hé ♥ 𠮷😀\nｶﾞｷﾞ 日本語と😀の\n混在", 10,
     "Hé ♥ 𠮷\n😀\nｶﾞｷﾞ 日本\n語と😀の\n混在", true, "Zoë ♥", kTwoRecipients},  // Base64 adds no line end
    {"zk-a-utf8", false, "件名ｶﾞ①髙", "本文ｶﾞ①髙\n", -1, "本文ｶﾞ①髙\n", true, "山田"},
};

TEST_F(PostfixTest, JapaneseMessagesAreDeliveredAsSent) {
    MailHandle *h = ZK_MailConnectSmtpW(Wz(u"zknet-test"), kPostfixPort, ZK_AF_INET);
    ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode();
    for (const Delivery &d : kDeliveries) {
        SCOPED_TRACE(d.tag);
        std::string address = std::string("<") + d.tag + "@zknet-test>";
        std::u16string from = Utf16(((d.name != nullptr ? std::string(d.name) + " " : "") + address).c_str());
        std::u16string to = Utf16(d.to != nullptr ? d.to : "<zkmail@zknet-test>");
        std::u16string subject = Utf16(d.subject), body = u"\n" + Utf16(d.body);
        ZK_MailSetContentTypeA(h, "text/plain", d.utf8 ? "UTF-8" : nullptr, nullptr, nullptr);
        int result = d.wide ? ZK_MailSendW(h, Wz(u"zknet-test"), Wz(from), Wz(to), Wz(subject), Wz(body), d.width)
                            : ZK_MailSendA(h, "zknet-test", AnsiOf(from).c_str(), AnsiOf(to).c_str(),
                                           AnsiOf(subject).c_str(), AnsiOf(body).c_str(), d.width);
        EXPECT_EQ(1, result) << ZK_MailQueryLastErrorCode() << " " << LastReply();
        EXPECT_EQ(0u, LastReply().find("250 2.0.0 Ok: queued as")) << LastReply();
        std::u16string name_reads = Utf16(d.name_reads != nullptr ? d.name_reads : d.name != nullptr ? d.name : "");
        std::vector<std::string> recipients;
        if (d.to != nullptr) recipients = {"zkmail@zknet-test", "zkmail@localhost"};
        ExpectDelivery(d.tag, d.subject_reads != nullptr ? Utf16(d.subject_reads) : subject, Utf16(d.reads),
                       name_reads.empty() ? u"" : name_reads + u" " + Utf16(address.c_str()), recipients);
    }
    ZK_MailDisconnectSmtp(h);
}

// The IBM extension characters as a Windows caller's ANSI text holds them (lead bytes 0xFA to
// 0xFC), which ISO-2022-JP has no code for, next to their NEC twins; and a user-defined
// character, which no character set holds, in the middle of a line that must not be lost.
TEST_F(PostfixTest, IbmExtensionBytesOfTheAnsiForm) {
    MailHandle *h = ZK_MailConnectSmtpA("::1", kPostfixPort, ZK_AF_INET6);
    ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode();
    const std::string ibm = "\xFA\x40\xFA\x4A\xFB\xFC\xFA\x58\xFA\x5B";  // ⅰ Ⅰ 髙 ㈱ ∵, IBM codes
    const std::string nec = "\xEE\xEF\x87\x54\xEE\xE0\x87\x8A\x81\xE6";  // the same, NEC and JIS X 0208 codes
    std::string body = "\nIBM " + ibm + "\nNEC " + nec + "\ngaiji \xF0\x40 after";
    EXPECT_EQ(1, ZK_MailSendA(h, "zknet-test", "<zk-a-ibm@zknet-test>", "<zkmail@zknet-test>", ibm.c_str(),
                              body.c_str(), -1))
        << ZK_MailQueryLastErrorCode() << " " << LastReply();
    ExpectDelivery("zk-a-ibm", Utf16("ⅰⅠ髙㈱∵"), Utf16("IBM ⅰⅠ髙㈱∵\nNEC ⅰⅠ髙㈱∵\ngaiji 〓 after\n"));
    ZK_MailDisconnectSmtp(h);
}

}  // namespace
