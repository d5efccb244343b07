// pop3_server_test.cpp -- the POP3 client against two real servers (tests/mail/start.sh), dovecot
// and GNU mailutils pop3d, each with a Maildir the tests fill: empty and full mailboxes listed
// with and without the header fetch and compared with the server's own LIST, messages retrieved
// into memory and into .eml files exactly as they were stored (periods at a line's start, a CR
// inside a line, long lines, several megabytes), deletion that takes effect at QUIT and not
// before, a wrong password, IPv4 and IPv6, A and W forms. The same operations run against both.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/mail_session.h"
#include "pop3_support.h"
#include "proto/line_reader.h"
#include "send_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kPlain =
    "From: Alice <alice@zknet-test>\nTo: zkpop@zknet-test\nSubject: plain subject\n"
    "Date: Tue, 15 Nov 1994 08:12:31 +0900\nContent-Transfer-Encoding: 7bit\n\nhello\n"
    ".a line that begins with a period\n..two\n.\none\rtwo\n";

const std::string kJapanese =
    "From: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@zknet-test>\nTo: zkpop@zknet-test\n"
    "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\n =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\n"
    "Content-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n"
    "\x1b$BF|K\\8l$NK\\J8$G$9!#\x1b(B\n\x1b$BFs9TL\\\x1b(B\n";

const std::string kThird = "Subject: third\n\nthree\n";

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

struct Server {
    const char *name;
    int32_t port;
    const char *user;
    const char *password;
    const char *box;  // its Maildir, in the servers' work folder
};

void PrintTo(const Server &s, std::ostream *os) { *os << s.name; }

const Server kServers[] = {
    {"dovecot", kPop3Port, kPop3User, kPop3Password, "pop/zkpop"},
    {"mailutils", 2111, kMaildirUser, kMaildirPassword, "pop/mu"},
};

class RealPop3 : public ::testing::TestWithParam<Server> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override {
        for (MailHandle *h : open_) ZK_MailDisconnectPop3(h);
    }
    void Fill(const std::vector<std::string> &messages) { FillPop3Box(GetParam().box, messages); }
    MailHandle *Connect(uint16_t family = ZK_AF_INET, bool wide = false) {
        const Server &s = GetParam();
        MailHandle *h = wide ? ZK_MailConnectPop3W(Wz(family == ZK_AF_INET ? u"127.0.0.1" : u"::1"), Wz(Utf16(s.user)),
                                                   Wz(Utf16(s.password)), s.port, family)
                             : ZK_MailConnectPop3A(Loopback(family), s.user, s.password, s.port, family);
        EXPECT_NE(nullptr, h) << ZK_MailQueryLastErrorCode() << " " << LastReply();
        if (h != nullptr) open_.push_back(h);
        return h;
    }
    void Disconnect(MailHandle *h) {
        open_.erase(std::find(open_.begin(), open_.end(), h));
        ZK_MailDisconnectPop3(h);
    }
    // The server's own LIST, read on a session of its own: "number/size" of each message.
    std::string ServerList() {
        const Server &s = GetParam();
        ProtoTransport *c = MailOpenTransportA("127.0.0.1", s.port, "+OK", ZK_AF_INET);
        if (c == nullptr) return "(no connection)";
        std::string out;
        if (MailCommandA(c, "USER", s.user, "+OK") && MailCommandA(c, "PASS", s.password, "+OK") &&
            MailCommandA(c, "LIST", "", "+OK")) {
            char line[128];
            while (ProtoReadLine(c, line, sizeof(line), 8000, nullptr) > 0 && std::string(line) != ".") {
                std::string entry = line;
                out += (out.empty() ? "" : " ") + entry.replace(entry.find(' '), 1, "/");
            }
        }
        MailCommandA(c, "QUIT", "", "+OK");
        ProtoCloseTransport(c);
        return out;
    }
    std::vector<MailHandle *> open_;
};

TEST_P(RealPop3, EmptyMailbox) {
    Fill({});
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
        EXPECT_EQ(0u, LastReply().find("+OK")) << LastReply();
    }
}

TEST_P(RealPop3, FullMailboxListedWithAndWithoutHeaders) {
    const std::vector<std::string> messages = {kPlain, kJapanese, LargeMessage()};
    Fill(messages);
    const std::string sizes = Sizes(messages);
    EXPECT_EQ(sizes, ServerList());
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

        // Two encoded words across a fold make the second subject.
        const std::string headers = "1/" + std::to_string(CrLf(kPlain).size()) +
                                    " Alice <alice@zknet-test>|plain subject 2/" + std::to_string(CrLf(kJapanese).size()) +
                                    " 山田太郎 <taro@zknet-test>|日本語日本語 3/" +
                                    std::to_string(CrLf(LargeMessage()).size()) + " big@zknet-test|large";
        EXPECT_EQ(1, ZK_MailBoxA(h, &list, 1));
        EXPECT_EQ(AnsiOf(Utf16(headers.c_str())), ListingA(list, true));
        ZK_MailListFreeA(&list);
        EXPECT_EQ(1, ZK_MailBoxW(h, &list, 1));
        EXPECT_EQ(headers, ListingW(list, true));
        ZK_MailListFreeW(&list);
        EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
    }
}

TEST_P(RealPop3, MessagesRetrievedAsStored) {
    const std::vector<std::string> messages = {kPlain, kJapanese, LargeMessage()};
    Fill(messages);
    MailHandle *h = Connect(ZK_AF_INET6);
    ASSERT_NE(nullptr, h);
    for (size_t i = 0; i < messages.size(); ++i) {
        SCOPED_TRACE(i + 1);
        std::string text = TakeMessage(ZK_MailRecv(h, static_cast<int32_t>(i + 1)));
        EXPECT_TRUE(text == CrLf(messages[i])) << text.substr(0, 200);
        EXPECT_EQ(0u, LastReply().find("+OK")) << LastReply();
    }
    EXPECT_EQ("(null)", TakeMessage(ZK_MailRecv(h, 4)));
    EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();
}

TEST_P(RealPop3, MessagesSavedAsEmlFiles) {
    const std::vector<std::string> messages = {kPlain, kJapanese, LargeMessage()};
    Fill(messages);
    fs::path folder = fs::path(MailWork(std::string("pop-files-") + GetParam().name));
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

// DELE only marks: a session that ends without QUIT deletes nothing; one that says QUIT does.
TEST_P(RealPop3, DeletionTakesEffectAtQuit) {
    Fill({kPlain, kJapanese, kThird});
    const std::string all = Sizes({kPlain, kJapanese, kThird});
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit);
        MailHandle *h = Connect(ZK_AF_INET, quit);
        ASSERT_NE(nullptr, h);
        EXPECT_EQ(1, ZK_MailDelete(h, 2));
        EXPECT_EQ(0u, LastReply().find("+OK")) << LastReply();
        EXPECT_EQ(0, ZK_MailDelete(h, 7));
        EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();
        MailList list{0, nullptr};
        EXPECT_EQ(1, ZK_MailBoxW(h, &list, 0));
        EXPECT_EQ("1/" + std::to_string(CrLf(kPlain).size()) + " 3/" + std::to_string(CrLf(kThird).size()),
                  ListingW(list, false));  // a marked message is not listed
        ZK_MailListFreeW(&list);
        if (quit) {
            Disconnect(h);
        } else {
            // The connection closed without QUIT.
            open_.erase(std::find(open_.begin(), open_.end(), h));
            ProtoCloseTransport(h->pop3Socket);
            MailFreeHandle(h);
        }
        // The server ends its side of a closed session by itself; until then it may keep the
        // mailbox locked (mailutils refuses a second session meanwhile).
        std::string listed;
        for (int tries = 0; tries < 200 && listed != (quit ? Sizes({kPlain, kThird}) : all); ++tries) {
            if (tries > 0) SleepMs(100);
            listed = ServerList();
        }
        EXPECT_EQ(quit ? Sizes({kPlain, kThird}) : all, listed);
    }
    MailHandle *h = Connect(ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    MailList list{0, nullptr};
    EXPECT_EQ(1, ZK_MailBoxA(h, &list, 1));
    EXPECT_EQ("1/" + std::to_string(CrLf(kPlain).size()) + " Alice <alice@zknet-test>|plain subject 2/" +
                  std::to_string(CrLf(kThird).size()) + " |third",
              ListingA(list, true));
    ZK_MailListFreeA(&list);
}

TEST_P(RealPop3, WrongPasswordIsCode6) {
    Fill({});
    const Server &s = GetParam();
    EXPECT_EQ(nullptr, ZK_MailConnectPop3A("127.0.0.1", s.user, "not-the-password", s.port, ZK_AF_INET));
    EXPECT_EQ(6u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(0u, LastReply().find("-ERR")) << LastReply();
    EXPECT_EQ(nullptr, ZK_MailConnectPop3W(Wz(u"::1"), Wz(u"nobody-here"), Wz(u"x"), s.port, ZK_AF_INET6));
    EXPECT_EQ(6u, ZK_MailQueryLastErrorCode());
    // The right one after a wrong one: the code is cleared by the connect.
    MailHandle *h = Connect(ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
}

INSTANTIATE_TEST_SUITE_P(Servers, RealPop3, ::testing::ValuesIn(kServers),
                         [](const ::testing::TestParamInfo<Server> &info) { return info.param.name; });

}  // namespace
