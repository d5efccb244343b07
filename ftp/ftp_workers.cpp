// ftp_workers.cpp -- the data-phase worker threads: each opens its side of the data connection,
// moves the data and writes its final state, after which it touches the session no more.
#include <cstring>

#include "ftp/ftp_data.h"
#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

constexpr DWORD kAcceptLookMs = 200;

void Finish(FtpSession *session, uint32_t state) { session->state.store(state, std::memory_order_release); }

// Active mode: the caller listens before it announces the port. The accept waits in short looks
// so that the caller can call it off (the server refused, or never connects).
SocketHandle *AcceptData(FtpSession *session) {
    Finish(session, kFtpWorkerReady);
    SocketHandle *listener = session->dataSocket.load();
    if (listener == nullptr) return nullptr;
    for (;;) {
        if (session->cancel.load()) return nullptr;
        int ready = win::WaitReadable(listener->socket, kAcceptLookMs);
        if (ready < 0) return nullptr;
        if (ready == 0) continue;
        SocketHandle *connection = ZK_SocketAccept(listener);
        if (connection == nullptr) return nullptr;
        session->acceptedSocket.store(connection);
        // Stored before this look: a caller calling off now either sees the socket (and shuts
        // it down) or is seen here.
        return session->cancel.load() ? nullptr : connection;
    }
}

SocketHandle *ConnectData(FtpSession *session) {
    Finish(session, kFtpWorkerReady);
    if (session->cancel.load()) return nullptr;
    SocketHandle *connection = ZK_SocketOpenClientA(win::kSockStream, session->passiveHost,
                                                    static_cast<int32_t>(session->passivePort),
                                                    session->control->family);
    if (connection == nullptr) return nullptr;
    session->dataSocket.store(connection);
    return session->cancel.load() ? nullptr : connection;
}

// Opens the data connection in the session's mode; on failure the final state is already
// written (active 4, passive 3).
SocketHandle *OpenData(FtpSession *session, bool passive) {
    SocketHandle *connection = passive ? ConnectData(session) : AcceptData(session);
    if (connection == nullptr) Finish(session, passive ? kFtpWorkerDone : kFtpFailed);
    return connection;
}

void ListWorker(FtpSession *session, bool passive) {
    SocketHandle *connection = OpenData(session, passive);
    if (connection == nullptr) return;
    // Up to kFtpDataTimeoutMs for the first bytes, looked at in slices so that a call-off is
    // seen; then everything that keeps arriving.
    DWORD start = win::GetTickCount();
    char *text = nullptr;
    while (text == nullptr && !session->cancel.load()) {
        int32_t length = 0;
        win::WSASetLastError(0);
        text = ZK_SocketRecvString(connection, &length, kFtpReceiveSliceMs);
        if (text == nullptr && (win::WSAGetLastError() != win::kWsaeTimedOut ||
                                win::GetTickCount() - start >= kFtpDataTimeoutMs)) {
            break;
        }
    }
    session->listingText = text;
    Finish(session, kFtpWorkerDone);
}

void PutWorker(FtpSession *session, bool passive, bool wide) {
    SocketHandle *connection = OpenData(session, passive);
    if (connection == nullptr) return;
    // A server that stops reading must not hold the worker (and so the caller) for ever.
    DWORD limit = kFtpDataTimeoutMs;
    win::setsockopt(connection->socket, win::kSolSocket, win::kSoSndTimeo, reinterpret_cast<const char *>(&limit),
                    sizeof(limit));
    char path_a[kFtpPathUnits];
    zk_wchar_t path_w[kFtpPathUnits];
    std::memcpy(path_a, session->localPathA, sizeof(path_a));
    std::memcpy(path_w, session->localPathW, sizeof(path_w));
    session->fileResult = static_cast<uint32_t>(SendLocalFile(connection, path_a, path_w, wide, &session->cancel));
    Finish(session, kFtpWorkerDone);
}

void GetWorker(FtpSession *session, bool passive, bool wide) {
    SocketHandle *connection = OpenData(session, passive);
    if (connection == nullptr) return;
    char path_a[kFtpPathUnits];
    zk_wchar_t path_w[kFtpPathUnits];
    std::memcpy(path_a, session->localPathA, sizeof(path_a));
    std::memcpy(path_w, session->localPathW, sizeof(path_w));
    session->fileResult = static_cast<uint32_t>(
        ReceiveLocalFile(connection, path_a, path_w, wide, session->expectedSize, session->binary, &session->cancel));
    Finish(session, kFtpWorkerDone);
}

}  // namespace

void ActiveListWorker(FtpSession *session) { ListWorker(session, false); }
void PassiveListWorker(FtpSession *session) { ListWorker(session, true); }
void ActivePutWorkerA(FtpSession *session) { PutWorker(session, false, false); }
void ActivePutWorkerW(FtpSession *session) { PutWorker(session, false, true); }
void PassivePutWorkerA(FtpSession *session) { PutWorker(session, true, false); }
void PassivePutWorkerW(FtpSession *session) { PutWorker(session, true, true); }
void ActiveGetWorkerA(FtpSession *session) { GetWorker(session, false, false); }
void ActiveGetWorkerW(FtpSession *session) { GetWorker(session, false, true); }
void PassiveGetWorkerA(FtpSession *session) { GetWorker(session, true, false); }
void PassiveGetWorkerW(FtpSession *session) { GetWorker(session, true, true); }
