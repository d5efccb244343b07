// secure_test.cpp -- FTPS beyond the operations the real-server tests run on every server: a
// thousand data connections on one session, each resuming the control connection's TLS session
// (vsftpd refuses any that does not); certificates refused before a word of the login goes out;
// handshakes that stall or are garbage; a download cut inside a TLS record; a server without TLS.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ftp_files.h"
#include "ftp_peer.h"
#include "support/line_peer.h"
#include "support/net_peer.h"

namespace {

constexpr int kVsftpdTls = 2131;
constexpr int kVsftpdTls12 = 2132;
constexpr int kFtpsPeer = 2140;  // + the case's place in tests/ftp/ftps_peer.py

std::string Ca() { return PeerFile("certs/ca.pem"); }

// What the scripted FTPS peer's case was sent since it started, as its log has it.
std::string PeerLog(const char *name) {
    std::ifstream in(PeerFile(std::string("ftps-peer/") + name + ".log"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

FtpSession *ConnectSecure(const char *host, int port, uint16_t family, uint32_t security, const char *ca,
                          uint32_t passive = 1) {
    return ZK_FtpConnectSecureA(host, kFtpUser, kFtpPassword, passive, port, family, security, ca);
}

class Secure : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the ftp-peers fixture";
    }
};

// A thousand data connections on one session, under TLS 1.3 (its tickets arrive after each
// handshake and may each be good for one resumption) and under TLS 1.2: every one resumes, or
// vsftpd refuses it.
TEST_F(Secure, EveryDataConnectionOfALongSessionResumes) {
    if (UnderWine()) GTEST_SKIP() << kWineNoResumption;
    for (int port : {kVsftpdTls, kVsftpdTls12}) {
        FtpSession *session = ConnectSecure(kTestHost, port, ZK_AF_INET, ZK_SECURE_EXPLICIT, Ca().c_str());
        ASSERT_NE(nullptr, session) << port << ": " << ZK_FtpQueryLastErrorCode() << " " << LastReply();
        std::string folder = Unique("resume");
        ASSERT_EQ(1, ZK_FtpCreateDirectoryA(session, folder.c_str())) << LastReply();
        ASSERT_EQ(1, ZK_FtpSetDirectoryA(session, folder.c_str())) << LastReply();
        std::string local = Join(LocalDir(), folder + ".up");
        ASSERT_TRUE(WriteBytes(local, "resumed"));
        ASSERT_EQ(1, ZK_FtpPutFileA(session, local.c_str(), "f.txt", 1)) << LastReply();
        for (int i = 0; i < 1000; ++i) {
            MStringList list{0, nullptr};
            ASSERT_EQ(1, ZK_FtpListFileA(session, &list, "NLST")) << port << ", connection " << i << ": "
                                                                   << ZK_FtpQueryLastErrorCode() << " " << LastReply();
            ASSERT_EQ(1, list.count);
            ZK_SocketDeleteMStringA(&list);
        }
        std::string down = Join(LocalDir(), folder + ".down");
        ASSERT_EQ(1, ZK_FtpGetFileA(session, "f.txt", down.c_str(), 1)) << LastReply();
        EXPECT_EQ("resumed", ReadBytes(down));
        ZK_FtpDisconnect(session);
    }
}

// Certificates that must be refused (31, the reason as the last reply) before USER goes out, and
// the self-signed one taken only when the caller says so.
struct CertificateCase {
    const char *name;
    const char *host;
    int port;
    uint32_t security;
    const char *ca;      // "ca.pem", another file of certs/, "" for the system's trust
    uint32_t code;       // 0: the session stands
    const char *why;     // what the last reply must hold
    const char *peer;    // the scripted peer's case, whose log must show no USER; null for vsftpd
};

const CertificateCase kCertificates[] = {
    {"AnotherHostsCertificate", kTestHost, kFtpsPeer + 0, ZK_SECURE_EXPLICIT, "ca.pem", 31,
     "TLS: certificate is not for host zknet-test", "other"},
    {"ExpiredCertificate", kTestHost, kFtpsPeer + 1, ZK_SECURE_EXPLICIT, "ca.pem", 31, "TLS: certificate has expired",
     "expired"},
    {"SelfSignedCertificate", kTestHost, kFtpsPeer + 2, ZK_SECURE_EXPLICIT, "ca.pem", 31,
     "TLS: certificate is not trusted", "selfsigned"},
    {"SelfSignedTakenWithoutChecks", kTestHost, kFtpsPeer + 2, ZK_SECURE_EXPLICIT | ZK_SECURE_NO_VERIFY, "ca.pem", 0,
     "", nullptr},
    {"AnotherCaFileIsNotTrusted", kTestHost, kVsftpdTls, ZK_SECURE_EXPLICIT, "self-signed.pem", 31,
     "TLS: certificate is not trusted", nullptr},
    {"TheSystemDoesNotKnowTheTestCa", kTestHost, kVsftpdTls, ZK_SECURE_EXPLICIT, "", 31,
     "TLS: certificate is not trusted", nullptr},
    {"AnAddressMatchesItsIpEntry", "127.0.0.1", kVsftpdTls, ZK_SECURE_EXPLICIT, "ca.pem", 0, "", nullptr},
    {"ASixAddressMatchesItsIpEntry", "::1", kVsftpdTls, ZK_SECURE_EXPLICIT, "ca.pem", 0, "", nullptr},
    {"ANameTheCertificateLacks", "localhost", kVsftpdTls, ZK_SECURE_EXPLICIT, "ca.pem", 31,
     "TLS: certificate is not for host localhost", nullptr},
};

class Certificates : public Secure, public ::testing::WithParamInterface<CertificateCase> {};

TEST_P(Certificates, AreCheckedBeforeTheLogin) {
    const CertificateCase &c = GetParam();
    std::string ca = c.ca[0] != '\0' ? PeerFile(std::string("certs/") + c.ca) : "";
    uint16_t family = std::string(c.host) == "::1" ? ZK_AF_INET6 : ZK_AF_INET;
    std::string before = c.peer != nullptr ? PeerLog(c.peer) : "";
    FtpSession *session = ConnectSecure(c.host, c.port, family, c.security, c.ca[0] != '\0' ? ca.c_str() : nullptr);
    if (c.code == 0) {
        ASSERT_NE(nullptr, session) << ZK_FtpQueryLastErrorCode() << " " << LastReply();
        char name[256];
        EXPECT_EQ(1, ZK_FtpGetDirectoryA(session, name, sizeof(name), "PWD")) << LastReply();
        ZK_FtpDisconnect(session);
        return;
    }
    EXPECT_EQ(nullptr, session);
    EXPECT_EQ(c.code, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0u, LastReply().rfind(c.why, 0)) << LastReply();
    if (c.peer != nullptr) {
        std::string sent = PeerLog(c.peer).substr(before.size());
        EXPECT_NE(std::string::npos, sent.find("AUTH TLS")) << sent;
        EXPECT_EQ(std::string::npos, sent.find("USER")) << sent;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Certificates, ::testing::ValuesIn(kCertificates),
                         [](const ::testing::TestParamInfo<CertificateCase> &info) { return std::string(info.param.name); });

// A handshake that never comes is bounded by the reply time-out; garbage fails at once. Either is
// 30, and no USER goes out.
TEST_F(Secure, BrokenHandshakesFailWith30) {
    const struct {
        const char *peer;
        int port;
        uint32_t most_ms;
    } kCases[] = {{"stall", kFtpsPeer + 3, 16000}, {"garbage", kFtpsPeer + 4, 8000}};
    for (const auto &c : kCases) {
        std::string before = PeerLog(c.peer);
        uint32_t start = Now();
        EXPECT_EQ(nullptr, ConnectSecure(kTestHost, c.port, ZK_AF_INET6, ZK_SECURE_EXPLICIT, Ca().c_str()));
        EXPECT_EQ(30u, ZK_FtpQueryLastErrorCode()) << c.peer;
        EXPECT_EQ(0u, LastReply().rfind("TLS: ", 0)) << LastReply();
        EXPECT_LT(Since(start), c.most_ms) << c.peer;
        EXPECT_EQ(std::string::npos, PeerLog(c.peer).substr(before.size()).find("USER")) << c.peer;
    }
}

// A download whose data connection ends inside a TLS record is cut short, whatever the server
// says afterwards: never reported complete.
TEST_F(Secure, ADataConnectionCutInsideARecordIsNoDownload) {
    FtpSession *session = ConnectSecure(kTestHost, kFtpsPeer + 5, ZK_AF_INET, ZK_SECURE_EXPLICIT, Ca().c_str());
    ASSERT_NE(nullptr, session) << ZK_FtpQueryLastErrorCode() << " " << LastReply();
    std::string local = Join(LocalDir(), Unique("cut") + ".bin");
    EXPECT_EQ(0, ZK_FtpGetFileA(session, "data.bin", local.c_str(), 1));
    // Under Wine the cut shows only once the completion reply's wait has run out (3).
    EXPECT_EQ(UnderWine() ? 3u : 12u, ZK_FtpQueryLastErrorCode()) << LastReply();
    ZK_FtpDisconnect(session);
}

// A server without AUTH TLS: 30, and nothing but AUTH TLS went out (never a fall-back to plain).
TEST_F(Secure, AServerWithoutTlsGetsNoLogin) {
    LinePeer peer;
    StartLinePeer(peer, ZK_AF_INET, std::vector<LineStep>{{kNoLine, "220 plain only\r\n"},
                                                           {"AUTH TLS", "500 AUTH not understood.\r\n"}});
    EXPECT_EQ(nullptr, ZK_FtpConnectSecureA("127.0.0.1", "user", "secret", 1, peer.listener.port, ZK_AF_INET,
                                            ZK_SECURE_EXPLICIT, nullptr));
    EXPECT_EQ(30u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ("TLS: the server refused AUTH TLS: 500 AUTH not understood.", LastReply());
    FinishLinePeer(peer);
    EXPECT_EQ(std::vector<std::string>{"AUTH TLS"}, peer.link.commands);
    EXPECT_TRUE(peer.link.mismatches.empty());
}

}  // namespace
