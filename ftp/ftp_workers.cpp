// ftp_workers.cpp -- the data-phase worker thread: opens its side of the data connection (accepts
// the server's connection in active mode, connects in passive mode), moves the data and writes
// its final state. Every wait of the worker also ends when the caller raises `cancel`.
#include <cstring>
#include <string>

#include "ftp/ftp_data.h"
#include "socket/trace.h"
#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

// Writes the state and tells the caller, who may be waiting on the signal.
void Report(FtpSession *session, uint32_t state) {
    session->state.store(state, std::memory_order_release);
    win::RaiseWakeSignal(session->news);
}

bool PeerAddress(SOCKET s, win::sockaddr_storage *address, int *length) {
    *length = static_cast<int>(sizeof(*address));
    std::memset(address, 0, sizeof(*address));
    return win::getpeername(s, reinterpret_cast<win::sockaddr *>(address), length) == 0;
}

// Whether two peers have the same address (their ports aside).
bool SameHost(const win::sockaddr_storage &a, const win::sockaddr_storage &b) {
    if (a.ss_family != b.ss_family) return false;
    if (a.ss_family == win::kAfInet) {
        return std::memcmp(&reinterpret_cast<const win::sockaddr_in *>(&a)->sin_addr,
                           &reinterpret_cast<const win::sockaddr_in *>(&b)->sin_addr, 4) == 0;
    }
    return std::memcmp(&reinterpret_cast<const win::sockaddr_in6 *>(&a)->sin6_addr,
                       &reinterpret_cast<const win::sockaddr_in6 *>(&b)->sin6_addr, 16) == 0;
}

// Active mode: the caller listens before it announces the port, so the worker is ready at once.
// Only a connection from the server's own address is taken: anyone else who finds the port is
// turned away, and the wait goes on within the same limit.
SocketHandle *AcceptData(FtpSession *session) {
    Report(session, kFtpWorkerReady);
    SocketHandle *listener = session->dataSocket.load();
    win::sockaddr_storage server;
    int length = 0;
    if (listener == nullptr || !PeerAddress(session->control->socket, &server, &length)) return nullptr;
    DWORD start = win::GetTickCount();
    for (;;) {
        DWORD spent = win::GetTickCount() - start;
        if (spent >= kFtpDataTimeoutMs) return nullptr;
        win::SocketWait wait{listener->socket, win::kWaitReadable, 0, false};
        if (win::WaitSockets(&wait, 1, session->cancel, kFtpDataTimeoutMs - spent) <= 0 || wait.ready == 0) {
            return nullptr;  // time-out, failure, or called off
        }
        SocketHandle *connection = ZK_SocketAccept(listener);
        if (connection == nullptr) return nullptr;
        win::sockaddr_storage peer;
        if (PeerAddress(connection->socket, &peer, &length) && SameHost(peer, server)) return connection;
        ZK_SocketClose(connection);
    }
}

// Passive mode: connects to the port the server named, at the control connection's peer. The
// connect is bounded by the data time-out and called off with the phase; the worker is ready only
// once it stands.
SocketHandle *ConnectData(FtpSession *session) {
    win::sockaddr_storage address;
    int length = 0;
    if (!PeerAddress(session->control->socket, &address, &length)) return nullptr;
    uint16_t port = htons(static_cast<uint16_t>(session->passivePort));
    if (address.ss_family == win::kAfInet) {
        reinterpret_cast<win::sockaddr_in *>(&address)->sin_port = port;
    } else {
        reinterpret_cast<win::sockaddr_in6 *>(&address)->sin6_port = port;
    }
    SocketHandle *connection = ZK_SocketOpen(session->control->family, win::kSockStream);
    if (connection == nullptr) return nullptr;
    if (win::ConnectWithin(connection->socket, reinterpret_cast<const win::sockaddr *>(&address), length,
                           session->cancel, kFtpDataTimeoutMs) != 0) {
        ZK_SocketClose(connection);
        return nullptr;
    }
    return connection;
}

// A secure session's data connection speaks TLS, as the client, resuming the control
// connection's TLS session (servers refuse a data connection that does not). A failure is kept
// for the caller, who reports it once the server's completion reply is read.
bool SecureData(FtpSession *session, ProtoTransport *link) {
    if (!session->secure) return true;
    tls::Setup setup{session->host, session->caFile.empty() ? nullptr : session->caFile.c_str(), session->verify,
                     session->link->tls};
    ProtoTlsResult result = ProtoStartTls(link, setup, ProtoDeadline::After(kFtpDataTimeoutMs), session->cancel);
    if (result == ProtoTlsResult::kOk) return true;
    std::memcpy(session->dataTlsWhy, link->why, sizeof(session->dataTlsWhy));
    session->dataTlsCode = result == ProtoTlsResult::kCertificate ? ZK_FTP_CERTIFICATE : ZK_FTP_TLS_FAILED;
    return false;
}

// Reads and drops what comes until the peer ends the stream, within the data time-out.
void DrainToEnd(ProtoTransport *connection, win::WakeSignal *cancel) {
    char sink[4096];
    while (ProtoReceive(connection, sink, sizeof(sink), ProtoDeadline::After(kFtpDataTimeoutMs), cancel) > 0) {
    }
}

// An upload sends nothing before the server has answered its command with a preliminary reply:
// a server that starts reading the data connection only then (as pyftpdlib does) would lose
// what came before, and one that refuses the command must get nothing. The caller raises `go`
// for it, or for calling the phase off, which the cancel signal then tells.
bool AwaitGo(FtpSession *session) {
    win::SocketWait none{0, 0, 0, false};
    win::WaitSockets(&none, 0, session->go, kFtpDataTimeoutMs);
    return win::WakeSignalRaised(session->go) && !win::WakeSignalRaised(session->cancel);
}

}  // namespace

void FtpDataWorker(FtpSession *session, FtpJob job, bool wide) {
    bool passive = session->passive == 1;
    SocketHandle *socket = passive ? ConnectData(session) : AcceptData(session);
    // Whenever a receive or send would block, the worker waits for the connection instead: the
    // transport keeps the socket non-blocking, so it need never block (nor time out, which
    // Windows says leaves a socket in an indeterminate state).
    ProtoTransport *connection = ProtoOpenTransport(socket);
    if (connection == nullptr) {
        // A passive worker that could not connect has finished without data; an active one failed.
        Report(session, passive ? kFtpWorkerDone : kFtpFailed);
        return;
    }
    session->dataLink.store(connection);
    ProtoTraceAs(connection, "FTP",
                 TraceOn() ? ("data connection of #" + std::to_string(session->link->trace_id) +
                              (passive ? ", passive" : ", active"))
                                 .c_str()
                           : "");
    if (passive) Report(session, kFtpWorkerReady);
    if (job == FtpJob::kPut) {
        // Blocks are sent as the buffer takes them, often in part; the small segment that ends a
        // part must not wait for the acknowledgement of the one before it.
        DWORD on = 1;
        win::setsockopt(socket->socket, win::kIpprotoTcp, win::kTcpNoDelay, reinterpret_cast<const char *>(&on),
                        sizeof(on));
    }
    if (!SecureData(session, connection)) {
        session->fileResult = 0;
        Report(session, kFtpWorkerDone);
        return;
    }
    char path_a[kFtpPathUnits];
    zk_wchar_t path_w[kFtpPathUnits];
    std::memcpy(path_a, session->localPathA, sizeof(path_a));
    std::memcpy(path_w, session->localPathW, sizeof(path_w));
    int result = 0;
    switch (job) {
        case FtpJob::kList: {
            char *text = nullptr;
            result = ReceiveListing(connection, session->cancel, &text, &session->moved);
            session->listingText = text;
            break;
        }
        case FtpJob::kPut:
            result = AwaitGo(session) ? SendLocalFile(connection, path_a, path_w, wide, session->cancel,
                                                      &session->moved, &session->movedTotal)
                                      : 0;
            break;
        case FtpJob::kGet:
        default:
            result = ReceiveLocalFile(connection, path_a, path_w, wide, session->expectedSize, session->cancel,
                                      &session->moved);
            break;
    }
    // Our end is finished at once: after the server's close this answers it without waiting for
    // a delayed acknowledgement (a server that lingers on its close, as vsftpd does, would
    // otherwise hold its completion reply for it); after a whole upload it is the end of the file,
    // told by close_notify first on a secure connection. An upload cut short is not ended this
    // way: its close comes later, from the caller.
    // A secure connection ends with close_notify both ways, the server's answered after a
    // download: a server ends a TLS session that closed otherwise as broken, and will not let the
    // next data connection resume it. So a secure download that stopped short of its end (the
    // local file could not be written) reads the rest and lets it go, to end as cleanly.
    if (job == FtpJob::kGet && result == 0 && connection->tls != nullptr && !connection->ended) {
        DrainToEnd(connection, session->cancel);
        if (connection->ended && connection->clean_end) ProtoEndTls(connection, kFtpDataTimeoutMs);
    }
    if (job != FtpJob::kPut || result == 1) {
        if (result == 1 && !ProtoEndTls(connection, kFtpDataTimeoutMs)) result = 0;
        win::shutdown(socket->socket, win::kSdSend);
        // A secure upload reads on to the server's end: a TLS 1.3 server takes back the ticket the
        // connection resumed and may send the next one only now, with its close.
        if (job == FtpJob::kPut && result == 1 && connection->tls != nullptr) DrainToEnd(connection, session->cancel);
    }
    session->fileResult = static_cast<uint32_t>(result);
    Report(session, kFtpWorkerDone);
}
