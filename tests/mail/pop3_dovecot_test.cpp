// pop3_dovecot_test.cpp -- the POP3 client against dovecot (tests/mail/start.sh), whose Maildir for
// the user zkpop the tests fill: empty and full mailboxes listed with and without the header
// fetch, messages retrieved into memory and into .eml files exactly as they were stored (periods
// at a line's start, long lines, several megabytes), deletion that takes effect at QUIT and not
// before, a wrong password, IPv4 and IPv6, A and W forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pop3_support.h"
#include "send_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kPlain =
    "From: Alice <alice@zknet-test>\nTo: zkpop@zknet-test\nSubject: plain subject\n"
    "Date: Tue, 15 Nov 1994 08:12:31 +0900\nContent-Transfer-Encoding: 7bit\n\nhello\n"
    ".a line that begins with a period\n..two\n.\n";

const std::string kJapanese =
    "From: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@zknet-test>\nTo: zkpop@zknet-test\n"
    "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\n =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\n"
    "Content-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n"
    "\x1b$BF|K\\8l$NK\\J8$G$9!#\x1b(B\n\x1b$BFs9TL\\\x1b(B\n";

// Several megabytes: short lines, periods at their start, and lines of 20,000 bytes.
std::string Large() {
    std::string text = "From: big@zknet-test\nSubject: large\n\n";
    for (int i = 0; text.size() < 3 * 1024 * 1024; ++i) {
        if (i % 100 == 0) {
            text += std::string(20000, static_cast<char>('A' + i % 26)) + "\n";
        } else {
            text += (i % 7 == 0 ? "." : "") + std::string(60, static_cast<char>('a' + i % 26)) + "\n";
        }
    }
    return text;
}

const std::string &LargeMessage() {
    static const std::string text = Large();
    return text;
}

std::string Sizes(const std::vector<std::string> &messages) {
    std::string out;
    for (size_t i = 0; i < messages.size(); ++i) {
        out += (i > 0 ? " " : "") + std::to_string(i + 1) + "/" + std::to_string(CrLf(messages[i]).size());
    }
    return out;
}

std::string ReadPath(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DovecotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override {
        for (MailHandle *h : open_) ZK_MailDisconnectPop3(h);
    }
    MailHandle *Connect(uint16_t family = ZK_AF_INET, bool wide = false) {
        MailHandle *h = wide ? ZK_MailConnectPop3W(Wz(family == ZK_AF_INET ? u"127.0.0.1" : u"::1"), Wz(u"zkpop"),
                                                   Wz(u"zkpop-pass"), kPop3Port, family)
                             : ZK_MailConnectPop3A(family == ZK_AF_INET ? "127.0.0.1" : "::1", kPop3User,
                                                   kPop3Password, kPop3Port, family);
        EXPECT_NE(nullptr, h) << ZK_MailQueryLastErrorCode() << " " << LastReply();
        if (h != nullptr) open_.push_back(h);
        return h;
    }
    void Disconnect(MailHandle *h) {
        open_.erase(std::find(open_.begin(), open_.end(), h));
        ZK_MailDisconnectPop3(h);
    }
    std::vector<MailHandle *> open_;
};

TEST_F(DovecotTest, EmptyMailbox) {
    FillPop3Box({});
    for (bool wide : {false, true}) {
        MailHandle *h = Connect(wide ? ZK_AF_INET6 : ZK_AF_INET, wide);
        ASSERT_NE(nullptr, h);
        EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
        for (int32_t fetch : {0, 1}) {
            MailList list{7, reinterpret_cast<void *>(&list)};
            EXPECT_EQ(1, wide ? ZK_MailBoxW(h, &list, fetch) : ZK_MailBoxA(h, &list, fetch));
            EXPECT_EQ(0, list.count);
            EXPECT_EQ(nullptr, list.entries);
            ZK_MailListFreeA(&list);
        }
        EXPECT_EQ("(null)", TakeMessage(ZK_MailRecv(h, 1)));
        EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();
        Disconnect(h);
        EXPECT_EQ("+OK Logging out.", LastReply());
    }
}

TEST_F(DovecotTest, FullMailboxListedWithAndWithoutHeaders) {
    const std::vector<std::string> messages = {kPlain, kJapanese, LargeMessage()};
    FillPop3Box(messages);
    const std::string sizes = Sizes(messages);
    for (uint16_t family : {ZK_AF_INET, ZK_AF_INET6}) {
        SCOPED_TRACE(family);
        MailHandle *h = Connect(family, family == ZK_AF_INET6);
        ASSERT_NE(nullptr, h);
        MailList list{0, nullptr};
        EXPECT_EQ(1, ZK_MailBoxA(h, &list, 0));
        EXPECT_EQ(sizes, ListingA(list, false));
        EXPECT_STREQ("", static_cast<MailListEntryA *>(list.entries)[0].from);
        ZK_MailListFreeA(&list);
        EXPECT_EQ(1, ZK_MailBoxW(h, &list, 0));
        EXPECT_EQ(sizes, ListingW(list, false));
        ZK_MailListFreeW(&list);

        EXPECT_EQ(1, ZK_MailBoxA(h, &list, 1));
        ASSERT_EQ(3, list.count);
        const auto *a = static_cast<MailListEntryA *>(list.entries);
        EXPECT_STREQ("Alice <alice@zknet-test>", a[0].from);
        EXPECT_STREQ("plain subject", a[0].subject);
        // The blank after an encoded word goes with it, as the encoded-word decoding has it.
        // The blank after an encoded word goes with it, as the encoded-word decoding has it.
        EXPECT_EQ(AnsiOf(Utf16("山田太郎<taro@zknet-test>")), a[1].from);
        EXPECT_EQ(AnsiOf(Utf16("日本語日本語")), a[1].subject);  // two encoded words, the fold removed
        EXPECT_STREQ("big@zknet-test", a[2].from);
        ZK_MailListFreeA(&list);

        EXPECT_EQ(1, ZK_MailBoxW(h, &list, 1));
        EXPECT_EQ("1/" + std::to_string(CrLf(kPlain).size()) + " Alice <alice@zknet-test>|plain subject 2/" +
                      std::to_string(CrLf(kJapanese).size()) + " 山田太郎<taro@zknet-test>|日本語日本語 3/" +
                      std::to_string(CrLf(LargeMessage()).size()) + " big@zknet-test|large",
                  ListingW(list, true));
        ZK_MailListFreeW(&list);
        EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
    }
}

TEST_F(DovecotTest, MessagesRetrievedAsStored) {
    const std::vector<std::string> messages = {kPlain, kJapanese, LargeMessage()};
    FillPop3Box(messages);
    MailHandle *h = Connect(ZK_AF_INET6);
    ASSERT_NE(nullptr, h);
    for (size_t i = 0; i < messages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        std::string text = TakeMessage(ZK_MailRecv(h, static_cast<int32_t>(i + 1)));
        EXPECT_TRUE(text == CrLf(messages[i])) << text.substr(0, 200);
        EXPECT_EQ(0u, LastReply().find("+OK")) << LastReply();
    }
    // Taken apart as any retrieved text: the W extraction of the Japanese one.
    char *text = ZK_MailRecv(h, 2);
    ASSERT_NE(nullptr, text);
    zk_wchar_t wide[256];
    EXPECT_EQ(7, ZK_MailGetSubjectW(text, wide, 256));
    EXPECT_EQ(Utf16("日本語日本語"), std::u16string(reinterpret_cast<char16_t *>(wide)));
    EXPECT_EQ(18, ZK_MailGetBodyW(text, wide, 256));
    EXPECT_EQ(Utf16("\r\n日本語の本文です。\r\n二行目\r\n"), std::u16string(reinterpret_cast<char16_t *>(wide)));
    ZK_MailRecvFree(text);
    EXPECT_EQ("(null)", TakeMessage(ZK_MailRecv(h, 4)));
    EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();
}

TEST_F(DovecotTest, MessagesSavedAsEmlFiles) {
    const std::vector<std::string> messages = {kPlain, kJapanese, LargeMessage()};
    FillPop3Box(messages);
    fs::path folder = fs::path(MailWork("pop-files"));
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    MailHandle *h = Connect(ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    const std::string folder_a = folder.string();
    EXPECT_EQ(1, ZK_MailRecvToFileA(h, 1, folder_a.c_str(), "m1"));
    EXPECT_EQ(1, ZK_MailRecvToFileA(h, 3, (folder_a + (folder_a.find('\\') != std::string::npos ? "\\" : "/")).c_str(), "m3"));
    const std::u16string folder_w = folder.u16string();
    EXPECT_EQ(1, ZK_MailRecvToFileW(h, 2, Wz(folder_w), Wz(u"\u53D7\u4FE1")));  // 受信
    EXPECT_EQ(CrLf(kPlain), ReadPath(folder / "m1.eml"));
    EXPECT_TRUE(CrLf(LargeMessage()) == ReadPath(folder / "m3.eml"));
    EXPECT_EQ(CrLf(kJapanese), ReadPath(folder / fs::path(u"\u53D7\u4FE1.eml")));
    // An existing file is replaced; nothing was changed in the folder otherwise.
    EXPECT_EQ(1, ZK_MailRecvToFileA(h, 1, folder_a.c_str(), "m3"));
    EXPECT_EQ(CrLf(kPlain), ReadPath(folder / "m3.eml"));
    EXPECT_EQ(3u, FilesIn(folder.string()).size());
    EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
    // A message that is not there: no file, the code unchanged.
    EXPECT_EQ(0, ZK_MailRecvToFileA(h, 9, folder_a.c_str(), "m9"));
    EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
    EXPECT_FALSE(fs::exists(folder / "m9.eml"));
}

// DELE only marks: another session still sees the message until the first one says QUIT.
TEST_F(DovecotTest, DeletionTakesEffectAtQuit) {
    FillPop3Box({kPlain, kJapanese, "Subject: third\n\nthree\n"});
    MailHandle *first = Connect(ZK_AF_INET);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(1, ZK_MailDelete(first, 2));
    EXPECT_EQ(0u, LastReply().find("+OK")) << LastReply();
    EXPECT_EQ(0, ZK_MailDelete(first, 2));  // already marked
    EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();
    EXPECT_EQ(0, ZK_MailDelete(first, 7));
    EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();

    MailHandle *second = Connect(ZK_AF_INET6, true);
    ASSERT_NE(nullptr, second);
    MailList list{0, nullptr};
    EXPECT_EQ(1, ZK_MailBoxW(second, &list, 0));
    EXPECT_EQ(3, list.count);
    ZK_MailListFreeW(&list);
    Disconnect(second);

    Disconnect(first);
    MailHandle *third = Connect(ZK_AF_INET);
    ASSERT_NE(nullptr, third);
    EXPECT_EQ(1, ZK_MailBoxA(third, &list, 1));
    EXPECT_EQ("1/" + std::to_string(CrLf(kPlain).size()) + " Alice <alice@zknet-test>|plain subject 2/" +
                  std::to_string(CrLf("Subject: third\n\nthree\n").size()) + " |third",
              ListingA(list, true));
    ZK_MailListFreeA(&list);
}

TEST_F(DovecotTest, WrongPasswordIsCode6) {
    FillPop3Box({});
    EXPECT_EQ(nullptr, ZK_MailConnectPop3A("127.0.0.1", kPop3User, "not-the-password", kPop3Port, ZK_AF_INET));
    EXPECT_EQ(6u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();
    EXPECT_EQ(nullptr, ZK_MailConnectPop3W(Wz(u"::1"), Wz(u"nobody-here"), Wz(u"x"), kPop3Port, ZK_AF_INET6));
    EXPECT_EQ(6u, ZK_MailQueryLastErrorCode());
    // The right one after a wrong one: the code is cleared by the connect.
    MailHandle *h = Connect(ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
}

TEST_F(DovecotTest, NoServerIsCode2) {
    EXPECT_EQ(nullptr, ZK_MailConnectPop3A("127.0.0.1", kPop3User, kPop3Password, 2999, ZK_AF_INET));
    EXPECT_EQ(2u, ZK_MailQueryLastErrorCode());
}

}  // namespace
