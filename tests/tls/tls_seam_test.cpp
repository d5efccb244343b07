// tls_seam_test.cpp -- the TLS seam driven through the transport, against tests/tls/tls_peer.py:
// versions, the certificate checks and their words, SNI, session resumption, stalled and broken
// handshakes, and how a stream may end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/tls.h"
#include "proto/transport.h"
#include "support/net_peer.h"

namespace {

// The peer's listeners (tests/tls/peers.cmake).
enum Port : int32_t { kMain = 4430, kTls12, kTls13, kOther, kExpired, kSelfSigned, kStall, kGarbage, kTls11 };

constexpr uint32_t kLimitMs = 15000;

// What Wine's Schannel (on GnuTLS) cannot show; Windows' Schannel and OpenSSL can.
const char *const kWineNoTls13 =
    "Wine 8's Schannel offers no TLS 1.3: a TLS 1.3-only server ends the handshake, the others settle on TLS 1.2";
const char *const kWineAddressSni =
    "Wine 8's Schannel sends an address given as target name as SNI; Windows' Schannel sends none for an address";
const char *const kWineRootStore =
    "Wine 8's default chain engine trusts the host's certificate bundle only: the test CA added to the user's or the "
    "machine's Root store still leaves the chain partial";
const char *const kWineNoCloseNotify =
    "Wine 8's DecryptMessage returns the peer's close_notify as an empty record (SEC_E_OK, no data), not "
    "SEC_I_CONTEXT_EXPIRED: the end shows only as the TCP close after it";

std::u16string CertFile(const char *name) {
#if defined(_WIN32)
    std::string path = std::string("Z:") + ZK_BINARY_DIR + "/tls-peers/certs/" + name;
#else
    std::string path = std::string(ZK_BINARY_DIR) + "/tls-peers/certs/" + name;
#endif
    return U16(path.c_str());
}

struct Options {
    const char *host = kTestHost;
    const char *ca = "ca.pem";  // a file of the certificate folder; null: the system's trust
    bool verify = true;
    tls::Session *resume = nullptr;
    uint32_t limit_ms = kLimitMs;
};

Options Resuming(tls::Session *session) {
    Options o;
    o.resume = session;
    return o;
}

// One connection to the peer with TLS started as asked; `hello` is the peer's first line.
struct Link {
    ProtoTransport *transport = nullptr;
    ProtoTlsResult result = ProtoTlsResult::kFailed;
    std::string hello;
    ~Link() { ProtoCloseTransport(transport); }
    tls::Session *tls() const { return transport->tls; }
    std::string why() const { return transport != nullptr ? transport->why : "no connection"; }
};

bool ReadLine(ProtoTransport *transport, std::string *line) {
    line->clear();
    const ProtoDeadline deadline = ProtoDeadline::After(kLimitMs);
    while (ProtoFill(transport, deadline, nullptr) > 0) {
        int32_t count = 0;
        const char *bytes = ProtoBuffered(transport, &count);
        const void *end = std::memchr(bytes, '\n', static_cast<size_t>(count));
        int32_t take = end != nullptr ? static_cast<int32_t>(static_cast<const char *>(end) - bytes) + 1 : count;
        line->append(bytes, static_cast<size_t>(end != nullptr ? take - 1 : take));
        ProtoTake(transport, take);
        if (end != nullptr) return true;
    }
    return false;
}

bool SendLine(ProtoTransport *transport, const std::string &text) {
    std::string line = text + "\n";
    return ProtoSend(transport, line.data(), static_cast<int64_t>(line.size()), kLimitMs, nullptr);
}

void Open(Link &link, int32_t port, const Options &o = Options()) {
    uint16_t family = std::strchr(o.host, ':') != nullptr ? ZK_AF_INET6 : ZK_AF_INET;
    link.transport = ProtoOpenTransport(ZK_SocketOpenClientA(ZK_SOCK_STREAM, o.host, port, family));
    ASSERT_NE(nullptr, link.transport) << "no connection to " << o.host << " port " << port;
    std::u16string ca = o.ca != nullptr ? CertFile(o.ca) : std::u16string();
    tls::Setup setup{o.host, o.ca != nullptr ? reinterpret_cast<const WCHAR *>(ca.c_str()) : nullptr, o.verify, o.resume};
    link.result = ProtoStartTls(link.transport, setup, ProtoDeadline::After(o.limit_ms), nullptr);
    if (link.result == ProtoTlsResult::kOk) {
        EXPECT_TRUE(ReadLine(link.transport, &link.hello)) << "no greeting";
    }
}

// A field of the peer's greeting ("hello sni=zknet-test version=TLSv1.3 resumed=0").
std::string Field(const std::string &hello, const std::string &name) {
    size_t at = hello.find(" " + name + "=");
    if (at == std::string::npos) return "?";
    at += name.size() + 2;
    return hello.substr(at, hello.find(' ', at) - at);
}

bool StartsWith(const std::string &text, const std::string &start) { return text.compare(0, start.size(), start) == 0; }

class Tls : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the tls-peers fixture";
    }
};

TEST_F(Tls, VersionsAtLeast12) {
    const struct {
        int32_t port;
        const char *version;  // null: no handshake
    } rows[] = {{kTls12, "TLSv1.2"}, {kTls11, nullptr}, {kTls13, "TLSv1.3"}, {kMain, "TLSv1.3"}};
    for (const auto &row : rows) {
        if (row.port == kTls13 && UnderWine()) GTEST_SKIP() << kWineNoTls13;
        SCOPED_TRACE(row.port);
        Link link;
        Open(link, row.port);
        if (row.version == nullptr) {
            EXPECT_EQ(ProtoTlsResult::kFailed, link.result);
            EXPECT_TRUE(StartsWith(link.why(), "handshake failed")) << link.why();
            continue;
        }
        ASSERT_EQ(ProtoTlsResult::kOk, link.result) << link.why();
        EXPECT_STREQ(row.version, tls::Version(link.tls()));
        EXPECT_EQ(row.version, Field(link.hello, "version"));
    }
}

TEST_F(Tls, CertificateOutcomesAndWords) {
    const char *const kUnreadable = "the CA file holds no certificate that can be read";
    const struct {
        int32_t port;
        const char *host;
        const char *ca;
        bool verify;
        ProtoTlsResult result;
        const char *why;  // what the explanation begins with
    } rows[] = {
        {kMain, "zknet-test", "ca.pem", true, ProtoTlsResult::kOk, ""},
        {kMain, "127.0.0.1", "ca.pem", true, ProtoTlsResult::kOk, ""},
        {kMain, "::1", "ca.pem", true, ProtoTlsResult::kOk, ""},
        {kMain, "localhost", "ca.pem", true, ProtoTlsResult::kCertificate, "certificate is not for host localhost"},
        {kOther, "zknet-test", "ca.pem", true, ProtoTlsResult::kCertificate, "certificate is not for host zknet-test"},
        {kOther, "127.0.0.1", "ca.pem", true, ProtoTlsResult::kCertificate, "certificate is not for host 127.0.0.1"},
        {kOther, "::1", "ca.pem", true, ProtoTlsResult::kCertificate, "certificate is not for host ::1"},
        {kExpired, "zknet-test", "ca.pem", true, ProtoTlsResult::kCertificate, "certificate has expired"},
        {kSelfSigned, "zknet-test", "ca.pem", true, ProtoTlsResult::kCertificate, "certificate is not trusted ("},
        // A CA file of another CA, and the system's trust, which knows nothing of the test CA.
        {kMain, "zknet-test", "self-signed.pem", true, ProtoTlsResult::kCertificate, "certificate is not trusted ("},
        {kMain, "zknet-test", nullptr, true, ProtoTlsResult::kCertificate, "certificate is not trusted ("},
        // A self-signed certificate is trusted when the CA file holds it.
        {kSelfSigned, "zknet-test", "self-signed.pem", true, ProtoTlsResult::kOk, ""},
        // Without checks anything goes.
        {kSelfSigned, "zknet-test", nullptr, false, ProtoTlsResult::kOk, ""},
        {kExpired, "zknet-test", "ca.pem", false, ProtoTlsResult::kOk, ""},
        {kOther, "127.0.0.1", nullptr, false, ProtoTlsResult::kOk, ""},
        // A CA file without a certificate, or none at all, is refused before any handshake.
        {kMain, "zknet-test", "server.key", true, ProtoTlsResult::kFailed, kUnreadable},
        {kMain, "zknet-test", "missing.pem", true, ProtoTlsResult::kFailed, kUnreadable},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.port) + " " + row.host + " " + (row.ca != nullptr ? row.ca : "(system)"));
        Options o;
        o.host = row.host;
        o.ca = row.ca;
        o.verify = row.verify;
        Link link;
        Open(link, row.port, o);
        EXPECT_EQ(row.result, link.result) << link.why();
        EXPECT_TRUE(StartsWith(link.why(), row.why)) << link.why();
        if (row.result == ProtoTlsResult::kOk) {
            EXPECT_TRUE(StartsWith(link.hello, "hello ")) << link.hello;
        }
    }
}

// The test CA trusted by the system while it lives, through SSL_CERT_FILE, which OpenSSL's default
// paths honour. (The tests leave the trusted roots of Windows alone.)
#if !defined(_WIN32)
class SystemTrustsTestCa {
  public:
    SystemTrustsTestCa() { setenv("SSL_CERT_FILE", (std::string(ZK_BINARY_DIR) + "/tls-peers/certs/ca.pem").c_str(), 1); }
    ~SystemTrustsTestCa() { unsetenv("SSL_CERT_FILE"); }
};
#endif

// With no CA file the system's trust decides; with one, only the file's CAs count, even when the
// system trusts the server's CA.
TEST_F(Tls, SystemTrustWithoutCaFileOnly) {
#if defined(_WIN32)
    GTEST_SKIP() << (UnderWine() ? kWineRootStore : "the tests leave the trusted roots of Windows alone");
#else
    SystemTrustsTestCa trusted;
#endif
    const struct {
        int32_t port;
        const char *ca;
        ProtoTlsResult result;
        const char *why;
    } rows[] = {
        {kMain, nullptr, ProtoTlsResult::kOk, ""},
        {kOther, nullptr, ProtoTlsResult::kCertificate, "certificate is not for host zknet-test"},
        {kExpired, nullptr, ProtoTlsResult::kCertificate, "certificate has expired"},
        {kMain, "self-signed.pem", ProtoTlsResult::kCertificate, "certificate is not trusted ("},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::to_string(row.port) + " " + (row.ca != nullptr ? row.ca : "(system)"));
        Options o;
        o.ca = row.ca;
        Link link;
        Open(link, row.port, o);
        EXPECT_EQ(row.result, link.result) << link.why();
        EXPECT_TRUE(StartsWith(link.why(), row.why)) << link.why();
    }
}

TEST_F(Tls, SniForNamesOnly) {
    const struct {
        const char *host;
        const char *sni;
    } rows[] = {{"zknet-test", "zknet-test"}, {"127.0.0.1", "-"}, {"::1", "-"}};
    for (const auto &row : rows) {
        if (row.sni[0] == '-' && UnderWine()) GTEST_SKIP() << kWineAddressSni;
        Options o;
        o.host = row.host;
        Link link;
        Open(link, kMain, o);
        ASSERT_EQ(ProtoTlsResult::kOk, link.result) << row.host << ": " << link.why();
        EXPECT_EQ(row.sni, Field(link.hello, "sni")) << row.host;
    }
}

// A control connection and many data connections after it, each resuming its session, as FTPS
// servers demand: one after another, then two at a time on threads of their own. (A TLS 1.3 ticket
// serves one connection; a full handshake brings two, a resumed one a fresh one for the one used.)
void ExpectResumption(int32_t port) {
    Link control;
    Open(control, port);
    ASSERT_EQ(ProtoTlsResult::kOk, control.result) << control.why();
    EXPECT_EQ("0", Field(control.hello, "resumed"));
    EXPECT_FALSE(tls::Resumed(control.tls()));
    for (int i = 0; i < 12; ++i) {
        Link data;
        Open(data, port, Resuming(control.tls()));
        ASSERT_EQ(ProtoTlsResult::kOk, data.result) << i << ": " << data.why();
        EXPECT_EQ("1", Field(data.hello, "resumed")) << "connection " << i;
        EXPECT_TRUE(tls::Resumed(data.tls())) << "connection " << i;
    }
    std::vector<std::string> results(12);
    std::vector<std::thread> workers;
    for (int w = 0; w < 2; ++w) {
        workers.emplace_back([&, w] {
            for (int i = w; i < 12; i += 2) {
                Link data;
                Open(data, port, Resuming(control.tls()));
                results[i] = data.result != ProtoTlsResult::kOk ? data.why()
                                                                 : Field(data.hello, "resumed") + (tls::Resumed(data.tls()) ? "+" : "-");
            }
        });
    }
    for (std::thread &w : workers) w.join();
    for (const std::string &r : results) EXPECT_EQ("1+", r);
    // The control connection still works after all that.
    ASSERT_TRUE(SendLine(control.transport, "echo still here"));
    std::string line;
    EXPECT_TRUE(ReadLine(control.transport, &line));
    EXPECT_EQ("still here", line);
}

TEST_F(Tls, ResumptionUnder12) {
    if (UnderWine()) GTEST_SKIP() << kWineNoResumption;
    ExpectResumption(kTls12);
}

TEST_F(Tls, ResumptionUnder13) {
    if (UnderWine()) GTEST_SKIP() << kWineNoTls13;
    ExpectResumption(kTls13);
}

TEST_F(Tls, StalledHandshakeEndsAtTheDeadline) {
    Options o;
    o.limit_ms = 1500;
    DWORD start = win::GetTickCount();
    Link link;
    Open(link, kStall, o);
    DWORD spent = win::GetTickCount() - start;
    EXPECT_EQ(ProtoTlsResult::kFailed, link.result);
    EXPECT_EQ("the handshake did not finish in time", link.why());
    EXPECT_GE(spent, 1400u);
    EXPECT_LT(spent, 20000u);  // bounded, with room for a busy machine
}

TEST_F(Tls, GarbageInsteadOfAHandshakeFails) {
    Link link;
    Open(link, kGarbage);
    EXPECT_EQ(ProtoTlsResult::kFailed, link.result);
    EXPECT_TRUE(StartsWith(link.why(), "handshake failed")) << link.why();
}

// How the peer ends the stream after a last line: close_notify, a bare TCP close between records,
// a TCP close inside a record.
TEST_F(Tls, CleanAndUncleanEndsToldApart) {
    const struct {
        const char *command;
        int32_t receive;  // what the receive after the last line gives
        bool clean;
    } rows[] = {{"bare", 0, false}, {"cut", -1, false}, {"clean", 0, true}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.command);
        Link link;
        Open(link, kMain);
        ASSERT_EQ(ProtoTlsResult::kOk, link.result) << link.why();
        ASSERT_TRUE(SendLine(link.transport, std::string(row.command) + " last words"));
        std::string line;
        EXPECT_TRUE(ReadLine(link.transport, &line));
        EXPECT_EQ("last words", line);
        char rest[64];
        EXPECT_EQ(row.receive, ProtoReceive(link.transport, rest, sizeof(rest), ProtoDeadline::After(kLimitMs), nullptr));
        if (row.clean && UnderWine()) GTEST_SKIP() << kWineNoCloseNotify;
        if (row.receive == 0) {
            EXPECT_EQ(row.clean, link.transport->clean_end);
        }
    }
}

// Our close_notify goes out: the peer, waiting for more lines, answers it with its own and closes.
TEST_F(Tls, OurCloseNotifyIsAnswered) {
    Link link;
    Open(link, kMain);
    ASSERT_EQ(ProtoTlsResult::kOk, link.result) << link.why();
    ASSERT_TRUE(ProtoEndTls(link.transport, kLimitMs));
    char rest[64];
    EXPECT_EQ(0, ProtoReceive(link.transport, rest, sizeof(rest), ProtoDeadline::After(kLimitMs), nullptr));
    if (UnderWine()) GTEST_SKIP() << kWineNoCloseNotify;
    EXPECT_TRUE(link.transport->clean_end);
}

TEST_F(Tls, RecordsSplitTogetherAndLarge) {
    Link link;
    Open(link, kMain);
    ASSERT_EQ(ProtoTlsResult::kOk, link.result) << link.why();
    std::string line;
    ASSERT_TRUE(SendLine(link.transport, "records 200"));
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(ReadLine(link.transport, &line));
        ASSERT_EQ("record " + std::to_string(i), line);
    }
    ASSERT_TRUE(SendLine(link.transport, "split"));
    ASSERT_TRUE(ReadLine(link.transport, &line));
    EXPECT_EQ("split-record", line);
    // A megabyte each way: a line sent in many records, echoed back.
    std::string big(1 << 20, 'z');
    ASSERT_TRUE(SendLine(link.transport, "echo " + big));
    ASSERT_TRUE(ReadLine(link.transport, &line));
    EXPECT_TRUE(line == big) << line.size();
    const int32_t kBulk = 3000000;
    ASSERT_TRUE(SendLine(link.transport, "bulk " + std::to_string(kBulk)));
    std::vector<char> block(50000);
    int32_t got = 0;
    int wrong = 0;
    while (got < kBulk) {
        int32_t n = ProtoReceive(link.transport, block.data(), static_cast<int32_t>(block.size()),
                                 ProtoDeadline::After(kLimitMs), nullptr);
        ASSERT_GT(n, 0) << "after " << got;
        for (int32_t i = 0; i < n; ++i) wrong += block[i] != static_cast<char>((got + i) % 16384 % 251);
        got += n;
    }
    EXPECT_EQ(kBulk, got);
    EXPECT_EQ(0, wrong);
}

// Bytes TLS has taken from the socket but not handed out yet must count as readable: a wait on
// the socket would not see them.
TEST_F(Tls, HeldBytesCountAsReadable) {
    Link link;
    Open(link, kMain);
    ASSERT_EQ(ProtoTlsResult::kOk, link.result) << link.why();
    ASSERT_TRUE(SendLine(link.transport, "records 3"));
    std::string text;
    char piece[4];
    while (text.size() < 3 * 9) {
        int32_t n = ProtoReceive(link.transport, piece, sizeof(piece), ProtoDeadline::After(kLimitMs), nullptr);
        ASSERT_GT(n, 0);
        text.append(piece, static_cast<size_t>(n));
        if (text.size() < 3 * 9) {
            ASSERT_TRUE(ProtoReadableNow(link.transport)) << "after " << text.size() << " bytes";
        }
    }
    EXPECT_EQ("record 0\nrecord 1\nrecord 2\n", text);
}

}  // namespace
