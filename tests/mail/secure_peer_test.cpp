// secure_peer_test.cpp -- the secure mail connects against a scripted peer (tests/mail/
// mail_tls_peer.py) that does what real servers won't: no STARTTLS, STARTTLS refused or stripped
// on the way, AUTH offered only before TLS, LOGIN challenges in odd case, OAuth tokens refused
// with an error challenge, a POP3 server that takes no USER. Each case states the exact lines the
// peer received; no credentials may ever follow a TLS failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "send_support.h"

namespace {

constexpr int kPeer = 2560;  // + the case's place in mail_tls_peer.py
using Lines = std::vector<std::string>;

// What the peer's case received since `before` was read (lines of its log, without "--").
Lines PeerLines(const char *name, size_t before) {
    std::string log = ReadFileBytes(MailWork(std::string("tls-peer/") + name + ".log"));
    Lines lines;
    size_t start = before < log.size() ? before : log.size();
    for (size_t lf; (lf = log.find('\n', start)) != std::string::npos; start = lf + 1) {
        std::string line = log.substr(start, lf - start);
        if (line != "--") lines.push_back(line);
    }
    return lines;
}
size_t PeerLogSize(const char *name) { return ReadFileBytes(MailWork(std::string("tls-peer/") + name + ".log")).size(); }

struct PeerCase {
    const char *name;
    const char *peer;
    int offset;
    bool pop3;
    uint32_t security;
    const char *host;
    const char *ca;           // a file of the certificates folder; null: the system's trust
    const char *user;
    const char *password;
    uint32_t code;            // 0: a session is expected
    const char *reply;        // the last reply begins so
    Lines sent;               // what the peer received, in order (a session: then QUIT)
};

constexpr uint32_t kExplicit = ZK_SECURE_EXPLICIT;
constexpr uint32_t kClearAuth = ZK_SECURE_NONE | ZK_SECURE_ALLOW_PLAIN_AUTH;
constexpr uint32_t kClearToken = kClearAuth | ZK_SECURE_XOAUTH2;
const char *const kEhlo = "EHLO client.zknet-test";
const char *const kGoodXoauth2 = "dXNlcj16a21haWxAemtuZXQtdGVzdAFhdXRoPUJlYXJlciBnb29kLXRva2VuAQE=";
const char *const kBadXoauth2 = "dXNlcj16a21haWxAemtuZXQtdGVzdAFhdXRoPUJlYXJlciBiYWQtdG9rZW4BAQ==";

const PeerCase kCases[] = {
    {"NoStarttlsOffered", "smtp-nostarttls", 0, false, kExplicit, kTestHost, "ca.pem", "zkmail", "zkmail-pass", 30,
     "TLS: the server does not offer STARTTLS", {kEhlo}},
    {"StarttlsRefused", "smtp-starttls454", 1, false, kExplicit, kTestHost, "ca.pem", "zkmail", "zkmail-pass", 30,
     "TLS: the server refused STARTTLS: 454 4.7.0 TLS not available", {kEhlo, "STARTTLS"}},
    {"StarttlsStripped", "smtp-stripped", 2, false, kExplicit, kTestHost, "ca.pem", "zkmail", "zkmail-pass", 30,
     "TLS: the server does not offer STARTTLS", {kEhlo}},
    {"AuthOnlyBeforeTls", "smtp-authbefore", 3, false, kExplicit, kTestHost, "ca.pem", "zkmail", "zkmail-pass", 32,
     "AUTH: the server offers no authentication here", {kEhlo, "STARTTLS", kEhlo}},
    {"LoginChallengesInOddCase", "smtp-login", 4, false, kClearAuth, kTestHost, nullptr, "zkmail", "zkmail-pass", 0,
     "235", {kEhlo, "AUTH LOGIN", "emttYWls", "emttYWlsLXBhc3M="}},
    {"LoginRefused", "smtp-login", 4, false, kClearAuth, kTestHost, nullptr, "zkmail", "wrong", 32, "535 5.7.8 bad",
     {kEhlo, "AUTH LOGIN", "emttYWls", "d3Jvbmc="}},
    {"NoAuthInClearText", "smtp-login", 4, false, ZK_SECURE_NONE, kTestHost, nullptr, "zkmail", "zkmail-pass", 32,
     "AUTH: credentials are not sent over a connection without TLS", {}},
    {"Xoauth2", "smtp-xoauth2", 5, false, kClearToken, kTestHost, nullptr, "zkmail@zknet-test", "good-token", 0,
     "235", {kEhlo, std::string("AUTH XOAUTH2 ") + kGoodXoauth2}},
    {"Xoauth2Refused", "smtp-xoauth2", 5, false, kClearToken, kTestHost, nullptr, "zkmail@zknet-test", "bad-token",
     32, "535 5.7.8 token refused", {kEhlo, std::string("AUTH XOAUTH2 ") + kBadXoauth2, ""}},
    {"OauthbearerPreferred", "smtp-oauthbearer", 6, false, kClearToken, kTestHost, nullptr, "zkmail@zknet-test",
     "good-token", 0, "235",
     {kEhlo, "AUTH OAUTHBEARER bixhPXprbWFpbEB6a25ldC10ZXN0LAFob3N0PXprbmV0LXRlc3QBcG9ydD0yNTY2AWF1dGg9QmVhcmVyIGdvb2Qt"
             "dG9rZW4BAQ=="}},
    {"OauthbearerRefused", "smtp-oauthbearer", 6, false, kClearToken, kTestHost, nullptr, "zkmail@zknet-test",
     "bad-token", 32, "535 5.7.8 token refused",
     {kEhlo,
      "AUTH OAUTHBEARER bixhPXprbWFpbEB6a25ldC10ZXN0LAFob3N0PXprbmV0LXRlc3QBcG9ydD0yNTY2AWF1dGg9QmVhcmVyIGJhZC10b2tlbgEB",
      "AQ=="}},
    {"WholeSecureSession", "smtp-ok-tls", 10, false, kExplicit, kTestHost, "ca.pem", "zkmail", "zkmail-pass", 0,
     "235", {kEhlo, "STARTTLS", kEhlo, "AUTH PLAIN AHprbWFpbAB6a21haWwtcGFzcw=="}},
    {"CertificateNotForHost", "smtp-ok-tls", 10, false, kExplicit, "localhost", "ca.pem", "zkmail", "zkmail-pass", 31,
     "TLS: certificate is not for host localhost", {"EHLO client.zknet-test", "STARTTLS"}},
    {"CertificateUntrusted", "smtp-ok-tls", 10, false, kExplicit, kTestHost, "self-signed.pem", "zkmail",
     "zkmail-pass", 31, "TLS: ", {kEhlo, "STARTTLS"}},
    {"StlsRefused", "pop3-stlserr", 7, true, kExplicit, kTestHost, "ca.pem", "zkmail", "zkmail-pass", 30,
     "TLS: the server refused STLS: -ERR not now", {"STLS"}},
    {"Pop3Xoauth2", "pop3-xoauth2", 8, true, kClearToken, kTestHost, nullptr, "zkmail@zknet-test", "good-token", 0,
     "+OK", {"CAPA", std::string("AUTH XOAUTH2 ") + kGoodXoauth2}},
    {"Pop3Xoauth2Refused", "pop3-xoauth2", 8, true, kClearToken, kTestHost, nullptr, "zkmail@zknet-test",
     "bad-token", 6, "-ERR token refused", {"CAPA", std::string("AUTH XOAUTH2 ") + kBadXoauth2, ""}},
    {"Pop3TokenNotInClearText", "pop3-xoauth2", 8, true, ZK_SECURE_XOAUTH2, kTestHost, nullptr, "zkmail@zknet-test",
     "good-token", 32, "AUTH: an access token is not sent over a connection without TLS", {}},
    {"Pop3UserRefusedAuthPlain", "pop3-nouser", 9, true, kExplicit, kTestHost, "ca.pem", "zkmail", "zkmail-pass", 0,
     "+OK", {"STLS", "USER zkmail", "AUTH PLAIN AHprbWFpbAB6a21haWwtcGFzcw=="}},
};

class SecurePeer : public ::testing::TestWithParam<PeerCase> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the mail-peers fixture";
    }
};

TEST_P(SecurePeer, Transcript) {
    const PeerCase &c = GetParam();
    size_t before = PeerLogSize(c.peer);
    std::string ca = c.ca != nullptr ? MailWork(std::string("certs/") + c.ca) : std::string();
    const char *ca_file = c.ca != nullptr ? ca.c_str() : nullptr;
    int port = kPeer + c.offset;
    MailHandle *h = c.pop3 ? ZK_MailConnectPop3SecureA(c.host, c.user, c.password, port, ZK_AF_INET, c.security, ca_file)
                           : ZK_MailConnectSmtpSecureA(c.host, port, ZK_AF_INET, c.security, ca_file,
                                                       "client.zknet-test", c.user, c.password);
    EXPECT_EQ(c.code, ZK_MailQueryLastErrorCode()) << LastReply();
    EXPECT_EQ(0u, LastReply().rfind(c.reply, 0)) << LastReply();
    Lines expected = c.sent;
    if (c.code == 0) {
        ASSERT_NE(nullptr, h);
        if (c.pop3) {
            ZK_MailDisconnectPop3(h);
        } else {
            ZK_MailDisconnectSmtp(h);
        }
        expected.push_back("QUIT");
    } else {
        EXPECT_EQ(nullptr, h);
    }
    // The peer logs a line once it has read it; the close may overtake the log by a moment.
    Lines got;
    for (int i = 0; i < 50 && (got = PeerLines(c.peer, before)).size() < expected.size(); ++i) SleepMs(100);
    EXPECT_EQ(expected, got);
}

INSTANTIATE_TEST_SUITE_P(Cases, SecurePeer, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PeerCase> &info) { return std::string(info.param.name); });

// A greeted session's messages say no HELO, which would start the session over: MAIL FROM
// follows the login directly, and a message that failed on the way is followed by RSET.
TEST(SecurePeerSession, MessagesSayNoHelo) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the mail-peers fixture";
    size_t before = PeerLogSize("smtp-login");
    MailHandle *h = ZK_MailConnectSmtpSecureW(W(U16(kTestHost)), kPeer + 4, ZK_AF_INET6, kClearAuth, nullptr,
                                              W(U16("client.zknet-test")), W(U16("zkmail")), W(U16("zkmail-pass")));
    ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode() << " " << LastReply();
    EXPECT_EQ(0, ZK_MailSendA(h, "ignored", "<a@zknet-test>", "<refused@zknet-test>", "s", "one", -1));
    EXPECT_EQ(10u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(1, ZK_MailSendA(h, "ignored", "<a@zknet-test>", "<zkmail@zknet-test>", "s", "two", -1)) << LastReply();
    ZK_MailDisconnectSmtp(h);
    Lines got = PeerLines("smtp-login", before);
    Lines commands;
    for (const std::string &line : got) {
        if (line.rfind("MAIL", 0) == 0 || line.rfind("RCPT", 0) == 0 || line.rfind("RSET", 0) == 0 ||
            line.rfind("HELO", 0) == 0 || line.rfind("EHLO", 0) == 0 || line == "DATA" || line == "QUIT") {
            commands.push_back(line);
        }
    }
    EXPECT_EQ((Lines{kEhlo, "MAIL FROM: <a@zknet-test>", "RCPT TO: <refused@zknet-test>", "RSET",
                     "MAIL FROM: <a@zknet-test>", "RCPT TO: <zkmail@zknet-test>", "DATA", "QUIT"}),
              commands);
}

}  // namespace
