// ftp_data_phase.cpp -- the caller's side of a data phase, one path for listings and transfers:
// announcing the connection, starting the worker, the transfer command, the two waits, closing
// the data connection, the completion reply and going back to idle.
//
// The caller never sleeps: it waits on the worker's signal and on the control connection
// together, so a finished worker, a refusal and a dropped connection are each seen at once.
#include <system_error>
#include <thread>

#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "ftp/ftp_text.h"
#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

int Fail(uint32_t code) {
    FtpLastError = code;
    return 0;
}

uint32_t State(FtpSession *session) { return session->state.load(std::memory_order_acquire); }

bool Finished(uint32_t state) { return state == kFtpWorkerDone || state == kFtpFailed; }
bool ReadyOrFinished(uint32_t state) { return state == kFtpWorkerReady || Finished(state); }

// What waits on the control connection while a worker runs.
enum class ControlNews { kNone, kPositive, kRefusal };

// A reply that begins with 4 or 5 refuses the transfer (425, 426, 421...); a closed or broken
// connection ends it as surely. The reply stays on the connection for the completion read.
ControlNews LookAtControl(SocketHandle *control) {
    char first = 0;
    int n = win::recv(control->socket, &first, 1, win::kMsgPeek);
    if (n <= 0) return ControlNews::kRefusal;
    return first == '4' || first == '5' ? ControlNews::kRefusal : ControlNews::kPositive;
}

// Waits until `done` holds for the worker's state; with `watch_control`, also until the control
// connection has something to read (`*control_ready` is then set). `limit_ms` bounds the wait.
uint32_t WaitForWorker(FtpSession *session, bool (*done)(uint32_t), bool watch_control, DWORD limit_ms,
                       bool *control_ready) {
    *control_ready = false;
    DWORD start = win::GetTickCount();
    for (;;) {
        // Cleared before the look: a state written after it raises the signal again.
        win::ClearWakeSignal(session->news);
        uint32_t state = State(session);
        if (done(state)) return state;
        DWORD left = limit_ms;
        if (limit_ms != win::kWaitForever) {
            DWORD spent = win::GetTickCount() - start;
            if (spent >= limit_ms) return state;
            left = limit_ms - spent;
        }
        win::SocketWait control{session->control->socket, win::kWaitReadable, 0, false};
        int n = win::WaitSockets(&control, watch_control ? 1 : 0, session->news, left);
        if (n < 0 && watch_control) {
            *control_ready = true;  // the control connection is unusable: found out by the look
            return State(session);
        }
        if (watch_control && control.ready != 0) {
            *control_ready = true;
            return State(session);
        }
    }
}

void JoinWorker(FtpSession *session) {
    if (session->worker.joinable()) session->worker.join();
}

// Starts the worker and waits for it to be ready (the data connection open), finished, or the
// control connection to speak. A passive connect that takes long does not hold the command back
// for more than kFtpConnectHeadStartMs. Returns the state seen, 0 when no worker could start.
uint32_t StartWorker(FtpSession *session, FtpJob job, bool wide) {
    session->news = win::CreateWakeSignal();
    session->cancel = win::CreateWakeSignal();
    if (session->news == nullptr || session->cancel == nullptr) return 0;
    try {
        session->worker = std::thread(FtpDataWorker, session, job, wide);
    } catch (const std::system_error &) {
        return 0;
    }
    bool control_ready = false;
    DWORD limit = session->passive == 1 ? kFtpConnectHeadStartMs : win::kWaitForever;
    return WaitForWorker(session, ReadyOrFinished, true, limit, &control_ready);
}

// The second wait: until the worker has finished. A refusal on the control connection, or its
// close, calls the worker off at once. True when the worker finished on its own.
bool AwaitWorker(FtpSession *session, bool refused) {
    if (refused) {
        FtpAbandonWorker(session);
        return false;
    }
    bool watch = true;
    for (;;) {
        bool control_ready = false;
        uint32_t state = WaitForWorker(session, Finished, watch, win::kWaitForever, &control_ready);
        if (Finished(state)) break;
        if (!control_ready) continue;
        if (LookAtControl(session->control) == ControlNews::kRefusal) {
            FtpAbandonWorker(session);
            return false;
        }
        // The completion reply came before the data ended (it often does); the worker's own
        // waits bound what is left.
        watch = false;
    }
    JoinWorker(session);
    return true;
}

// TYPE and PORT/EPRT (active) or TYPE and PASV/EPSV (passive).
bool Announce(FtpSession *session, uint32_t binary) {
    if (session->passive == 0) {
        if (FtpAnnounceActive(session, binary)) return true;
        session->state.store(kFtpFailed, std::memory_order_release);
        return false;
    }
    char host[kFtpPassiveHostSize];
    uint32_t port = 0;
    if (!FtpPreparePassive(session, binary, host, sizeof(host), &port)) return false;
    session->passivePort = port;
    CopyCutA(session->passiveHost, kFtpPassiveHostSize, host);
    return true;
}

// Sends the transfer (or listing) command. `refused` tells whether an accepted reply is
// nonetheless a refusal (where any reply is taken): the server will then neither connect nor
// send a completion reply.
int SendCommand(FtpSession *session, const FtpPhase &phase, bool *refused) {
    if (phase.wide) {
        zk_wchar_t reply[kFtpReplySize];
        int ok = FtpCommandW(session->control, phase.verb_w, phase.argument_w,
                             phase.expect150 ? ZK_WTEXT("150") : ZK_WTEXT(""), reply, kFtpReplySize, false);
        *refused = FtpIsNegativeReplyW(reply);
        return ok;
    }
    char reply[kFtpReplySize];
    int ok = FtpCommandA(session->control, phase.verb_a, phase.argument_a, phase.expect150 ? "150" : "", reply,
                         kFtpReplySize, false);
    *refused = FtpIsNegativeReplyA(reply);
    return ok;
}

// The completion reply: 0 when it arrived and holds "226", 3 when none came, 5 otherwise.
int ReadCompletion(FtpSession *session, bool wide) {
    if (wide) {
        zk_wchar_t reply[kFtpReplySize];
        return FtpReadReplyW(session->control, reply, kFtpReplySize, ZK_WTEXT("226"), kFtpReplyTimeoutMs, false);
    }
    char reply[kFtpReplySize];
    return FtpReadReplyA(session->control, reply, kFtpReplySize, "226", kFtpReplyTimeoutMs, false);
}

}  // namespace

int FtpRunDataPhase(FtpSession *session, const FtpPhase &phase) {
    session->state.store(kFtpPreparing, std::memory_order_release);
    if (!Announce(session, phase.binary)) return 0;
    bool active = session->passive == 0;
    uint32_t seen = StartWorker(session, phase.job, phase.wide);
    if (seen == 0) {
        FtpAbandonWorker(session);
        return Fail(ZK_FTP_TRANSFER_FAILED);
    }
    if (seen == kFtpFailed && phase.stop_on_failed_worker) {
        FtpAbandonWorker(session);
        return Fail(ZK_FTP_TRANSFER_FAILED);
    }
    bool refused = false;
    if (!SendCommand(session, phase, &refused)) {
        FtpAbandonWorker(session);
        return 0;  // the exchange's code: 5, 3 or 4
    }
    bool finished = AwaitWorker(session, refused);
    if (refused) {
        FtpCloseData(session);
        if (active) NewActivePort(session);
        return Fail(ZK_FTP_TRANSFER_FAILED);
    }
    bool whole = finished && session->fileResult == 1;
    int completion;
    switch (phase.job) {
        case FtpJob::kGet:
            // A worker that stopped short leaves the server sending into a connection nobody
            // reads; closing it first ends the transfer at once, so the server's 426 is read here
            // and not taken later for the reply to the next command.
            if (!whole) FtpCloseData(session);
            completion = ReadCompletion(session, phase.wide);
            FtpCloseData(session);
            break;
        case FtpJob::kPut:
            FtpCloseData(session);  // the server takes the close as the end of the file
            completion = ReadCompletion(session, phase.wide);
            break;
        case FtpJob::kList:
        default:
            if (active) {
                FtpCloseData(session);
                completion = ReadCompletion(session, phase.wide);
            } else {
                completion = ReadCompletion(session, phase.wide);
                FtpCloseData(session);
            }
            break;
    }
    if (active) NewActivePort(session);
    // A listing stands without its completion line, but not with a different one; a transfer
    // needs the 226. Neither stands when the data did not come whole.
    bool completed = phase.job == FtpJob::kList ? completion != 5 : completion == 0;
    if (!completed || !whole) return Fail(ZK_FTP_TRANSFER_FAILED);
    return 1;
}

void FtpAbandonWorker(FtpSession *session) {
    if (!session->worker.joinable()) return;
    if (session->cancel != nullptr) win::RaiseWakeSignal(session->cancel);
    session->worker.join();
}

void FtpCloseData(FtpSession *session) {
    SocketHandle *accepted = session->acceptedSocket.exchange(nullptr);
    if (accepted != nullptr) ZK_SocketClose(accepted);
    SocketHandle *data = session->dataSocket.exchange(nullptr);
    if (data != nullptr) ZK_SocketClose(data);
}

void FtpResetDataPhase(FtpSession *session) {
    FtpAbandonWorker(session);
    FtpCloseData(session);
    win::CloseWakeSignal(session->news);
    win::CloseWakeSignal(session->cancel);
    session->news = nullptr;
    session->cancel = nullptr;
    ZK_SocketDeleteString(session->listingText);
    session->listingText = nullptr;
    session->fileResult = 0;
    session->expectedSize = 0;
    session->state.store(kFtpIdle, std::memory_order_release);
}
