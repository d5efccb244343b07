// ftp_data_phase.cpp -- the caller's side of a data phase: starting the worker, the two waits,
// calling the worker off, closing the data connection and going back to idle.
#include <system_error>
#include <thread>

#include "ftp/ftp_data.h"
#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

constexpr DWORD kPollMs = 200;
constexpr DWORD kAbandonPollMs = 20;

typedef void (*WorkerRoutine)(FtpSession *);

WorkerRoutine ChooseWorker(FtpJob job, bool passive, bool wide) {
    switch (job) {
        case FtpJob::kList: return passive ? PassiveListWorker : ActiveListWorker;
        case FtpJob::kPut:
            return passive ? (wide ? PassivePutWorkerW : PassivePutWorkerA) : (wide ? ActivePutWorkerW : ActivePutWorkerA);
        case FtpJob::kGet:
        default:
            return passive ? (wide ? PassiveGetWorkerW : PassiveGetWorkerA) : (wide ? ActiveGetWorkerW : ActiveGetWorkerA);
    }
}

uint32_t State(FtpSession *session) { return session->state.load(std::memory_order_acquire); }

bool Finished(uint32_t state) { return state == kFtpWorkerDone || state == kFtpFailed; }

void ShutDown(SocketHandle *handle) {
    if (handle != nullptr) win::shutdown(handle->socket, win::kSdBoth);
}

// The server has closed the control connection (or it broke): readable with nothing to read.
bool ControlDropped(SocketHandle *control) {
    int ready = win::WaitReadable(control->socket, 0);
    if (ready < 0) return true;
    if (ready == 0) return false;
    unsigned long waiting = 0;
    return win::ioctlsocket(control->socket, win::kFionRead, &waiting) != 0 || waiting == 0;
}

}  // namespace

uint32_t FtpStartWorker(FtpSession *session, FtpJob job, bool wide) {
    session->cancel.store(false);
    WorkerRoutine routine = ChooseWorker(job, session->passive == 1, wide);
    try {
        std::thread(routine, session).detach();
    } catch (const std::system_error &) {
        return 0;
    }
    // A passive worker whose connection fails at once may be finished (3) before the first look;
    // that ends the wait as well as 2 and 4 do.
    uint32_t state;
    while (!Finished(state = State(session)) && state != kFtpWorkerReady) win::Sleep(kPollMs);
    if (state == kFtpWorkerReady) win::Sleep(kPollMs);
    return state;
}

void FtpAbandonWorker(FtpSession *session) {
    session->cancel.store(true);
    while (!Finished(State(session))) {
        // Looked at again on every round: a socket the worker stores after our first look is
        // shut down as well. Shutting down wakes a receive or send; closing waits for the worker.
        ShutDown(session->acceptedSocket.load());
        if (session->passive == 1) ShutDown(session->dataSocket.load());
        win::Sleep(kAbandonPollMs);
    }
}

bool FtpAwaitWorker(FtpSession *session, bool refused) {
    if (refused) {
        FtpAbandonWorker(session);
        return false;
    }
    DWORD start = win::GetTickCount();
    while (!Finished(State(session))) {
        bool never_connected = session->passive != 1 && session->acceptedSocket.load() == nullptr &&
                               win::GetTickCount() - start >= kFtpDataTimeoutMs;
        if (never_connected || ControlDropped(session->control)) {
            FtpAbandonWorker(session);
            return false;
        }
        win::Sleep(kPollMs);
    }
    return true;
}

void FtpCloseData(FtpSession *session) {
    SocketHandle *accepted = session->acceptedSocket.exchange(nullptr);
    if (accepted != nullptr) ZK_SocketClose(accepted);
    SocketHandle *data = session->dataSocket.exchange(nullptr);
    if (data != nullptr) ZK_SocketClose(data);
}

void FtpResetDataPhase(FtpSession *session) {
    FtpCloseData(session);
    ZK_SocketDeleteString(session->listingText);
    session->listingText = nullptr;
    session->fileResult = 0;
    session->expectedSize = 0;
    session->cancel.store(false);
    session->state.store(kFtpIdle, std::memory_order_release);
}
