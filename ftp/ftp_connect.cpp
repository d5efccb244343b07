// ftp_connect.cpp -- connecting and logging in, and disconnecting.
#include <cstdlib>
#include <cstring>
#include <new>

#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "ftp/ftp_text.h"
#include "proto/command.h"
#include "platform/platform.h"
#include "socket/text_helpers.h"

namespace {

// The session record is made as soon as the control connection stands, so that the greeting and
// the login are read like every later reply; a failed login releases it again.
FtpSession *NewSession(SocketHandle *control, uint32_t passive, int32_t port) {
    FtpSession *session = new (std::nothrow) FtpSession();
    if (session == nullptr) {
        ZK_SocketClose(control);
        FtpLastError = ZK_FTP_NO_CONNECTION;
        return nullptr;
    }
    session->control = control;
    session->passive = passive;
    session->controlPort = static_cast<uint32_t>(port);
    return session;
}

void Release(FtpSession *session) {
    ZK_SocketClose(session->control);
    delete session;
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

// The login failed: a refusal becomes code 6; the connection is closed, the record released.
FtpSession *LoginFailed(FtpSession *session) {
    if (FtpLastError == ZK_FTP_REFUSED) FtpLastError = ZK_FTP_LOGIN_REFUSED;
    Release(session);
    return nullptr;
}

FtpSession *LoggedIn(FtpSession *session, const char *host) {
    CopyCutA(session->host, kFtpHostSize, host);
    NewActivePort(session);
    return session;
}

void StartConnect() {
    FtpLastError = ZK_FTP_OK;
    std::memset(FtpLastResponse, 0, sizeof(FtpLastResponse));
}

}  // namespace

void NewActivePort(FtpSession *session) {
    std::srand(static_cast<unsigned>(win::GetTickCount()));
    session->activePort = kFtpActivePortBase + static_cast<uint32_t>(std::rand()) % kFtpActivePortCount;
}

extern "C" {

// Every reply of the login is bounded like any other: a server that greets and then never
// answers USER must not hold the caller for ever.
ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectA(const char *host, const char *user, const char *password,
                                            uint32_t passive, int32_t port, uint16_t family) {
    StartConnect();
    SocketHandle *control = host != nullptr ? ZK_SocketOpenClientA(win::kSockStream, host, port, family) : nullptr;
    if (control == nullptr) {
        FtpLastError = ZK_FTP_NO_CONNECTION;
        return nullptr;
    }
    FtpSession *session = NewSession(control, passive, port);
    if (session == nullptr) return nullptr;
    // A server that takes USER with 230 and asks for no password fails here: 331 is required.
    if (!ReadGreeting(session) || !FtpCommandA(session, "USER", user, "331", nullptr, 0) ||
        !FtpCommandA(session, "PASS", password, "230", nullptr, 0)) {
        return LoginFailed(session);
    }
    return LoggedIn(session, host);
}

ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectW(const zk_wchar_t *host, const zk_wchar_t *user,
                                            const zk_wchar_t *password, uint32_t passive, int32_t port,
                                            uint16_t family) {
    StartConnect();
    SocketHandle *control = host != nullptr ? ZK_SocketOpenClientW(win::kSockStream, host, port, family) : nullptr;
    if (control == nullptr) {
        FtpLastError = ZK_FTP_NO_CONNECTION;
        return nullptr;
    }
    FtpSession *session = NewSession(control, passive, port);
    if (session == nullptr) return nullptr;
    if (!ReadGreeting(session) || !FtpCommandW(session, ZK_WTEXT("USER"), user, ZK_WTEXT("331"), nullptr, 0) ||
        !FtpCommandW(session, ZK_WTEXT("PASS"), password, ZK_WTEXT("230"), nullptr, 0)) {
        return LoginFailed(session);
    }
    // The host text is kept in the ANSI code page; a text too long for the record is cut.
    int32_t units = WideLength(host);
    char *narrow = static_cast<char *>(std::calloc(static_cast<size_t>(units) * 2 + 1, 1));
    if (narrow != nullptr) WideToAnsi(host, narrow, units * 2 + 1);
    LoggedIn(session, narrow != nullptr ? narrow : "");
    std::free(narrow);
    return session;
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
    ProtoSendCommand(session->control, kQuit, static_cast<int32_t>(sizeof(kQuit) - 1));
    // A session out of step would only read an old reply, or wait for one that never comes.
    if (!session->outOfStep) {
        char reply[kFtpReplySize];
        FtpReadReplyA(session, reply, kFtpReplySize, "", kFtpReplyTimeoutMs);
    }
    FtpCloseData(session);
    ZK_SocketDeleteString(session->listingText);
    Release(session);
}

}  // extern "C"
