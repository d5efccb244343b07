// ftp_connect.cpp -- connecting and logging in, plain or over TLS, and disconnecting.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "ftp/ftp_text.h"
#include "proto/command.h"
#include "platform/platform.h"
#include "socket/text_helpers.h"

namespace {

// What a connect was given, in the caller's form.
struct ConnectArgs {
    bool wide;
    const char *host_a, *user_a, *password_a;
    const zk_wchar_t *host_w, *user_w, *password_w;
    uint32_t passive;
    int32_t port;
    uint16_t family;
    uint32_t security;   // ZK_SECURE_* with its flags
    std::basic_string<zk_wchar_t> ca_file;
};

// The session record is made as soon as the control connection stands, so that the greeting and
// the login are read like every later reply; a failed login releases it again.
FtpSession *NewSession(SocketHandle *control, const ConnectArgs &args) {
    FtpSession *session = new (std::nothrow) FtpSession();
    ProtoTransport *link = session != nullptr ? ProtoOpenTransport(control) : nullptr;
    if (link == nullptr) {
        if (session == nullptr) ZK_SocketClose(control);
        delete session;
        FtpLastError = ZK_FTP_NO_CONNECTION;
        return nullptr;
    }
    session->control = control;
    session->link = link;
    ProtoTraceAs(link, "FTP", nullptr);
    session->passive = args.passive;
    session->controlPort = static_cast<uint32_t>(args.port);
    return session;
}

void Release(FtpSession *session) {
    ProtoCloseTransport(session->link);
    delete session;
}

// The host text in the ANSI code page, as the record keeps it (a text too long is cut).
std::string HostText(const ConnectArgs &args) {
    if (!args.wide) return args.host_a != nullptr ? args.host_a : "";
    int32_t units = WideLength(args.host_w);
    std::string narrow(static_cast<size_t>(units) * 2 + 1, '\0');
    if (units > 0) WideToAnsi(args.host_w, &narrow[0], static_cast<int32_t>(narrow.size()));
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

// Reads the greeting (its content is not judged: even 421 lets the login go ahead). False, with
// code 3, when no line came in time.
bool ReadGreeting(FtpSession *session) {
    char greeting[kFtpReplySize];
    if (FtpReadReplyA(session, greeting, kFtpReplySize, "", kFtpReplyTimeoutMs) == ZK_FTP_NO_REPLY) {
        FtpLastError = ZK_FTP_NO_REPLY;
        return false;
    }
    return true;
}

// A failure of the session's TLS: code 30 or 31, and words for the caller where no server reply is.
bool TlsFailed(uint32_t code, const std::string &why) {
    FtpLastError = code;
    FtpRecordResponse(("TLS: " + why).c_str());
    return false;
}

// The handshake on the control connection.
bool StartTls(FtpSession *session) {
    tls::Setup setup{session->host, session->caFile.empty() ? nullptr : session->caFile.c_str(), session->verify,
                     nullptr};
    ProtoTlsResult result = ProtoStartTls(session->link, setup, ProtoDeadline::After(kFtpReplyTimeoutMs), nullptr);
    if (result == ProtoTlsResult::kOk) return true;
    if (result == ProtoTlsResult::kFailed) session->outOfStep = true;
    return TlsFailed(result == ProtoTlsResult::kCertificate ? ZK_FTP_CERTIFICATE : ZK_FTP_TLS_FAILED, session->link->why);
}

// A command that a secure session cannot do without; a refusal is no TLS (30).
bool Required(FtpSession *session, const char *verb, const char *argument, const char *expected) {
    char reply[kFtpReplySize];
    if (FtpCommandA(session, verb, argument, expected, reply, kFtpReplySize)) return true;
    if (FtpLastError != ZK_FTP_REFUSED) return false;
    return TlsFailed(ZK_FTP_TLS_FAILED, std::string("the server refused ") + verb + " " + argument + ": " + reply);
}

bool LogIn(FtpSession *session, const ConnectArgs &args) {
    // A server that takes USER with 230 and asks for no password fails here: 331 is required.
    bool ok = args.wide ? FtpCommandW(session, ZK_WTEXT("USER"), args.user_w, ZK_WTEXT("331"), nullptr, 0) &&
                              FtpCommandW(session, ZK_WTEXT("PASS"), args.password_w, ZK_WTEXT("230"), nullptr, 0)
                        : FtpCommandA(session, "USER", args.user_a, "331", nullptr, 0) &&
                              FtpCommandA(session, "PASS", args.password_a, "230", nullptr, 0);
    if (!ok && FtpLastError == ZK_FTP_REFUSED) FtpLastError = ZK_FTP_LOGIN_REFUSED;
    return ok;
}

// Every reply of the login is bounded like any other: a server that greets and then never
// answers USER must not hold the caller for ever. A secure session speaks TLS before any word of
// the login goes out, and protects its data connections after it.
FtpSession *Connect(const ConnectArgs &args) {
    FtpLastError = ZK_FTP_OK;
    std::memset(FtpLastResponse, 0, sizeof(FtpLastResponse));
    uint32_t mode = args.security & 0xFF;
    if (mode > ZK_SECURE_IMPLICIT) {
        TlsFailed(ZK_FTP_TLS_FAILED, "unknown security choice");
        return nullptr;
    }
    SocketHandle *control = nullptr;
    if (args.wide ? args.host_w != nullptr : args.host_a != nullptr) {
        control = args.wide ? ZK_SocketOpenClientW(win::kSockStream, args.host_w, args.port, args.family)
                            : ZK_SocketOpenClientA(win::kSockStream, args.host_a, args.port, args.family);
    }
    if (control == nullptr) {
        FtpLastError = ZK_FTP_NO_CONNECTION;
        return nullptr;
    }
    FtpSession *session = NewSession(control, args);
    if (session == nullptr) return nullptr;
    CopyCutA(session->host, kFtpHostSize, HostText(args).c_str());
    session->verify = (args.security & ZK_SECURE_NO_VERIFY) == 0;
    session->caFile = args.ca_file;
    bool ok = (mode != ZK_SECURE_IMPLICIT || StartTls(session)) && ReadGreeting(session) &&
              (mode != ZK_SECURE_EXPLICIT || (Required(session, "AUTH", "TLS", "234") && StartTls(session))) &&
              LogIn(session, args) &&
              (mode == ZK_SECURE_NONE || (Required(session, "PBSZ", "0", "200") && Required(session, "PROT", "P", "200")));
    if (!ok) {
        Release(session);
        return nullptr;
    }
    session->secure = mode != ZK_SECURE_NONE;
    NewActivePort(session);
    return session;
}

std::basic_string<zk_wchar_t> WideOf(const char *text) {
    if (text == nullptr || text[0] == '\0') return {};
    size_t length = std::strlen(text);
    std::basic_string<zk_wchar_t> wide(length + 1, 0);
    if (AnsiToWide(text, &wide[0], static_cast<int32_t>(wide.size())) <= 0) return {};
    wide.resize(static_cast<size_t>(WideLength(wide.c_str())));
    return wide;
}

}  // namespace

void NewActivePort(FtpSession *session) {
    std::srand(static_cast<unsigned>(win::GetTickCount()));
    session->activePort = kFtpActivePortBase + static_cast<uint32_t>(std::rand()) % kFtpActivePortCount;
}

extern "C" {

ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectA(const char *host, const char *user, const char *password,
                                            uint32_t passive, int32_t port, uint16_t family) {
    return ZK_FtpConnectSecureA(host, user, password, passive, port, family, ZK_SECURE_NONE, nullptr);
}

ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectW(const zk_wchar_t *host, const zk_wchar_t *user,
                                            const zk_wchar_t *password, uint32_t passive, int32_t port,
                                            uint16_t family) {
    return ZK_FtpConnectSecureW(host, user, password, passive, port, family, ZK_SECURE_NONE, nullptr);
}

ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectSecureA(const char *host, const char *user, const char *password,
                                                  uint32_t passive, int32_t port, uint16_t family, uint32_t security,
                                                  const char *ca_file) {
    try {
        ConnectArgs args{false, host, user, password, nullptr, nullptr, nullptr, passive, port, family, security,
                         WideOf(ca_file)};
        return Connect(args);
    } catch (...) {
        FtpLastError = ZK_FTP_NO_CONNECTION;
        return nullptr;
    }
}

ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectSecureW(const zk_wchar_t *host, const zk_wchar_t *user,
                                                  const zk_wchar_t *password, uint32_t passive, int32_t port,
                                                  uint16_t family, uint32_t security, const zk_wchar_t *ca_file) {
    try {
        ConnectArgs args{true, nullptr, nullptr, nullptr, host, user, password, passive, port, family, security,
                         ca_file != nullptr ? std::basic_string<zk_wchar_t>(ca_file) : std::basic_string<zk_wchar_t>()};
        return Connect(args);
    } catch (...) {
        FtpLastError = ZK_FTP_NO_CONNECTION;
        return nullptr;
    }
}

ZK_EXPORT void ZK_API ZK_FtpDisconnect(FtpSession *session) {
    if (session == nullptr) {
        FtpLastError = ZK_FTP_BAD_SESSION;
        return;
    }
    // No operation returns while its worker runs, so none can be left here; should one be, it is
    // stopped before the record it uses goes away.
    uint32_t state = session->state.load(std::memory_order_acquire);
    if (state == kFtpWorkerReady) FtpAbandonWorker(session);
    static const char kQuit[] = "QUIT\r\n";
    ProtoSendCommand(session->link, kQuit, static_cast<int32_t>(sizeof(kQuit) - 1));
    // A session out of step would only read an old reply, or wait for one that never comes.
    if (!session->outOfStep) {
        char reply[kFtpReplySize];
        FtpReadReplyA(session, reply, kFtpReplySize, "", kFtpReplyTimeoutMs);
    }
    FtpCloseData(session);
    ZK_SocketDeleteString(session->listingText);
    ProtoEndTls(session->link, 1000);
    Release(session);
}

}  // extern "C"
