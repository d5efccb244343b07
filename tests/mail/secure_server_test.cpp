// secure_server_test.cpp -- the secure mail connects against real servers run as providers run
// them (tests/mail/start.sh): Postfix's submission port with STARTTLS and its implicit-TLS port,
// both taking mail only from clients dovecot's SASL authenticated; dovecot's POP3 over implicit
// TLS and over STLS. Messages in both text forms and stored ones, several per session; a wrong
// password; an unauthenticated relay refused, which shows the authenticated ones really were;
// retrieval byte for byte. The servers' logs show that TLS and SASL were really used.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "pop3_support.h"
#include "send_support.h"

namespace {

constexpr int32_t kSubmissionPort = 2587;
constexpr int32_t kSmtpsPort = 2465;
constexpr int32_t kPop3sPort = 2995;
constexpr int32_t kPop3StlsPort = 2112;

std::string Ca() { return MailWork("certs/ca.pem"); }

// How many lines of a server's log hold both texts.
size_t LogLines(const char *log, const std::string &one, const std::string &other = "") {
    std::string text = ReadFileBytes(MailWork(log));
    size_t count = 0, start = 0;
    for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1) {
        std::string line = text.substr(start, lf - start);
        if (line.find(one) != std::string::npos && line.find(other) != std::string::npos) ++count;
    }
    return count;
}

class SecureServers : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the mail-peers fixture";
    }
};

struct Submission {
    const char *tag;
    int32_t port;
    uint32_t security;
};
const Submission kSubmissions[] = {{"zk-submission", kSubmissionPort, ZK_SECURE_EXPLICIT},
                                   {"zk-smtps", kSmtpsPort, ZK_SECURE_IMPLICIT}};

TEST_F(SecureServers, SubmissionTakesMessagesOfTheAuthenticatedUser) {
    size_t logins = LogLines("postfix.log", "sasl_username=zkmail");
    for (const Submission &s : kSubmissions) {
        SCOPED_TRACE(s.tag);
        MailHandle *h = ZK_MailConnectSmtpSecureA(kTestHost, s.port, ZK_AF_INET, s.security, Ca().c_str(), "zknet-test",
                                                  "zkmail", "zkmail-pass");
        ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode() << " " << LastReply();
        EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
        std::string a = std::string(s.tag) + "-a", w = std::string(s.tag) + "-w";
        EXPECT_EQ(1, ZK_MailSendA(h, "ignored", ("<" + a + "@zknet-test>").c_str(), "<zkmail@zknet-test>",
                                  "A over TLS", "\nthe A form\n", -1))
            << ZK_MailQueryLastErrorCode() << " " << LastReply();
        ExpectDelivery(a, u"A over TLS", u"the A form\n");
        std::u16string from = Utf16(("<" + w + "@zknet-test>").c_str());
        EXPECT_EQ(1, ZK_MailSendW(h, Wz(u"ignored"), Wz(from), Wz(u"<zkmail@zknet-test>"), Wz(u"W 日本語"),
                                  Wz(u"\n本文です\n"), -1))
            << ZK_MailQueryLastErrorCode() << " " << LastReply();
        ExpectDelivery(w, u"W 日本語", u"本文です\n");
        // Postfix relays for an authenticated client only (the copy goes nowhere outside).
        EXPECT_EQ(1, ZK_MailSendA(h, "ignored", "<zk-relay@zknet-test>", "<someone@elsewhere.example>", "relayed",
                                  "\nout\n", -1))
            << ZK_MailQueryLastErrorCode() << " " << LastReply();
        std::string stored = MailWork(std::string("expected/") + s.tag + ".stored");
        std::ofstream(stored, std::ios::binary) << "From: <zk-stored@zknet-test>\r\nTo: <zkmail@zknet-test>\r\n"
                                                   "Subject: stored\r\n\r\nstored body\r\n";
        EXPECT_EQ(1, ZK_MailSendFromFileA(h, "ignored", stored.c_str())) << ZK_MailQueryLastErrorCode() << " "
                                                                         << LastReply();
        std::remove(stored.c_str());
        EXPECT_EQ(0u, LastReply().rfind("250 2.0.0 Ok: queued as", 0)) << LastReply();
        ZK_MailDisconnectSmtp(h);
    }
    // Postfix names the authenticated user for every message it takes: four in each session.
    EXPECT_EQ(logins + 8, LogLines("postfix.log", "sasl_username=zkmail"));
}

TEST_F(SecureServers, WrongPasswordIs32) {
    for (const Submission &s : kSubmissions) {
        SCOPED_TRACE(s.tag);
        EXPECT_EQ(nullptr, ZK_MailConnectSmtpSecureW(W(U16(kTestHost)), s.port, ZK_AF_INET6, s.security,
                                                     W(U16(Ca().c_str())), nullptr, W(U16("zkmail")),
                                                     W(U16("wrong"))));
        EXPECT_EQ(32u, ZK_MailQueryLastErrorCode());
        EXPECT_EQ(0u, LastReply().rfind("535 5.7.8", 0)) << LastReply();
    }
}

// Without a login the submission port takes nothing: the authenticated sends above were.
TEST_F(SecureServers, UnauthenticatedSendIsRefused) {
    MailHandle *h = ZK_MailConnectSmtpSecureA(kTestHost, kSubmissionPort, ZK_AF_INET, ZK_SECURE_EXPLICIT,
                                              Ca().c_str(), "zknet-test", nullptr, nullptr);
    ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode() << " " << LastReply();
    EXPECT_EQ(0, ZK_MailSendA(h, "zknet-test", "<a@zknet-test>", "<someone@elsewhere.example>", "s", "b", -1));
    EXPECT_EQ(10u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(0u, LastReply().rfind("554 5.7.1", 0)) << LastReply();
    ZK_MailDisconnectSmtp(h);
}

TEST_F(SecureServers, Pop3RetrievalIsByteExactOverBothForms) {
    std::string big = "Subject: big\n\n";
    // Many TLS records' worth, with lines that begin with a period here and there.
    for (int i = 0; i < 8000; ++i) {
        big += (i % 7 == 0 ? "." : "") + std::string(60, static_cast<char>('a' + i % 26)) + "\n";
    }
    const std::vector<std::string> messages = {"Subject: one\n\n.a stuffed line\nend\n", big};
    size_t tls_logins = LogLines("dovecot-tls.log", "Login: user=<zkpop>", "TLS");
    const struct {
        int32_t port;
        uint32_t security;
        bool wide;
    } kForms[] = {{kPop3sPort, ZK_SECURE_IMPLICIT, false}, {kPop3StlsPort, ZK_SECURE_EXPLICIT, true}};
    for (const auto &f : kForms) {
        SCOPED_TRACE(f.port);
        FillPop3Box("pop/zkpop", messages);
        MailHandle *h = f.wide ? ZK_MailConnectPop3SecureW(W(U16(kTestHost)), W(U16("zkpop")), W(U16("zkpop-pass")),
                                                           f.port, ZK_AF_INET6, f.security, W(U16(Ca().c_str())))
                               : ZK_MailConnectPop3SecureA(kTestHost, "zkpop", "zkpop-pass", f.port, ZK_AF_INET,
                                                           f.security, Ca().c_str());
        ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode() << " " << LastReply();
        MailList list{0, nullptr};
        EXPECT_EQ(1, ZK_MailBoxA(h, &list, 0));
        EXPECT_EQ(2, list.count);
        ZK_MailListFreeA(&list);
        EXPECT_EQ(CrLf(messages[0]), TakeMessage(ZK_MailRecv(h, 1)));
        EXPECT_EQ(CrLf(messages[1]), TakeMessage(ZK_MailRecv(h, 2)));
        ZK_MailDisconnectPop3(h);
    }
    EXPECT_EQ(tls_logins + 2, LogLines("dovecot-tls.log", "Login: user=<zkpop>", "TLS")) << "both logins went over TLS";
    EXPECT_EQ(nullptr, ZK_MailConnectPop3SecureA(kTestHost, "zkpop", "wrong", kPop3sPort, ZK_AF_INET,
                                                 ZK_SECURE_IMPLICIT, Ca().c_str()));
    EXPECT_EQ(6u, ZK_MailQueryLastErrorCode());
}

}  // namespace
