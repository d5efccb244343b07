// ftp_data_phase.cpp -- the caller's side of a data phase, one path for listings and transfers:
// announcing the connection, starting the worker, the transfer command, the two waits, closing
// the data connection, the completion reply and going back to idle.
//
// The caller never sleeps: it waits on the worker's signal and on the control connection
// together, so a finished worker, a refusal and a dropped connection are each seen at once.
//
// The command's first reply decides: any preliminary reply (150, 125, 110...) starts the
// transfer, and only then does an upload send its data; a transfer counts as done only on its
// completion reply (226, 250). A transfer the server started and we gave up still has its
// completion reply read, or the session is out of step.
//
// The caller's progress callback is called from the second wait, which then wakes every
// kProgressIntervalMs; a transfer it cancels ends with ABOR and both replies read.
#include <string>
#include <system_error>
#include <thread>

#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "ftp/ftp_text.h"
#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "proto/command.h"
#include "proto/progress.h"
#include "socket/socket_handle.h"

namespace {

int Fail(uint32_t code) {
    FtpLastError = code;
    return 0;
}

// The data connection's TLS failed (30) or its certificate was refused (31): the words say why,
// with what the server replied, there being no reply of the server's own about it.
int DataTlsFailed(FtpSession *session) {
    std::string text = std::string("TLS: data connection: ") + session->dataTlsWhy;
    if (FtpLastResponse[0] != '\0') text += std::string(" (the server: ") + FtpLastResponse + ")";
    FtpRecordResponse(text.c_str());
    return Fail(session->dataTlsCode);
}

uint32_t State(FtpSession *session) { return session->state.load(std::memory_order_acquire); }

bool Finished(uint32_t state) { return state == kFtpWorkerDone || state == kFtpFailed; }
bool ReadyOrFinished(uint32_t state) { return state == kFtpWorkerReady || Finished(state); }

// What waits on the control connection while a worker runs.
enum class ControlNews { kNone, kPositive, kRefusal };

// A reply that begins with 4 or 5 ends the transfer (425, 426, 421...); a closed or broken
// connection ends it as surely. The reply stays in the connection's buffer for the completion read.
// The connection has just been seen readable: a TLS record may still take a moment to complete.
ControlNews LookAtControl(ProtoTransport *control) {
    if (ProtoFill(control, ProtoDeadline::After(kFtpReplyTimeoutMs), nullptr) <= 0) return ControlNews::kRefusal;
    int32_t waiting = 0;
    const char first = ProtoBuffered(control, &waiting)[0];
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
        // What the connection's buffer already holds shows no more on the socket.
        if (watch_control && ProtoReadableNow(session->link)) {
            *control_ready = true;
            return State(session);
        }
        win::SocketWait control{session->control->socket, win::kWaitReadable, 0, true};
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
    session->go = win::CreateWakeSignal();
    if (session->news == nullptr || session->cancel == nullptr || session->go == nullptr) return 0;
    try {
        session->worker = std::thread(FtpDataWorker, session, job, wide);
    } catch (const std::system_error &) {
        return 0;
    }
    bool control_ready = false;
    DWORD limit = session->passive == 1 ? kFtpConnectHeadStartMs : win::kWaitForever;
    return WaitForWorker(session, ReadyOrFinished, true, limit, &control_ready);
}

// How the second wait ended.
enum class Awaited { kFinished, kRefused, kCancelled };

int64_t Moved(FtpSession *session) { return session->moved.load(std::memory_order_relaxed); }

// The second wait: until the worker has finished. A refusal on the control connection, or its
// close, calls the worker off at once, and so does the progress callback's word to cancel.
Awaited AwaitWorker(FtpSession *session, const FtpPhase &phase, ProtoProgress *progress) {
    bool watch = true;
    for (;;) {
        bool control_ready = false;
        uint32_t state = WaitForWorker(session, Finished, watch, ProtoProgressWait(*progress), &control_ready);
        if (Finished(state)) break;
        if (control_ready) {
            if (LookAtControl(session->link) == ControlNews::kRefusal) {
                FtpAbandonWorker(session);
                return Awaited::kRefused;
            }
            // The completion reply came before the data ended (it often does); the worker's own
            // waits bound what is left.
            watch = false;
        }
        if (phase.job == FtpJob::kPut) progress->total = session->movedTotal.load(std::memory_order_relaxed);
        if (ProtoReportProgress(progress, Moved(session), false)) {
            FtpAbandonWorker(session);
            return Awaited::kCancelled;
        }
    }
    JoinWorker(session);
    return Awaited::kFinished;
}

// A transfer the caller cancelled: the worker has stopped. The server is told with ABOR and the
// data connection closed; then two replies are due, the transfer command's (226 when it had
// ended, else 426 or the like) and ABOR's (225 or 226), and both are read, so that the next
// command gets its own reply. Code 33, the session usable.
int Cancelled(FtpSession *session, bool active) {
    static const char kAbor[] = "ABOR\r\n";
    bool sent = ProtoSendCommandKeepingReplies(session->link, kAbor, sizeof(kAbor) - 1);
    FtpCloseData(session);
    if (active) NewActivePort(session);
    if (!sent) {
        session->outOfStep = true;
    } else {
        // A preliminary reply among them (a server that says it is aborting) answers neither.
        for (int finals = 0, replies = 0; finals < 2 && replies < 4; ++replies) {
            char reply[kFtpReplySize];
            if (FtpReadReplyA(session, reply, kFtpReplySize, "", kFtpReplyTimeoutMs) != ZK_FTP_OK) break;
            if (FtpReplyClassA(reply) != 1) ++finals;
        }
    }
    return Fail(ZK_FTP_CANCELLED);
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

// What the first reply to the transfer (or listing) command said.
enum class FirstReply {
    kFailed,       // none came, or the command did not go out: the exchange's code is set
    kStarted,      // a preliminary reply: the transfer runs, its completion reply follows
    kAlreadyDone,  // a completion reply with no preliminary one before it
    kRefused,      // anything else: no data connection will be used, no further reply comes
};

// Sends the command and reads its first reply, with any reply accepted so that every class of
// it can be told apart here.
FirstReply SendCommand(FtpSession *session, const FtpPhase &phase) {
    int kind;
    if (phase.wide) {
        zk_wchar_t reply[kFtpReplySize];
        if (!FtpCommandW(session, phase.verb_w, phase.argument_w, ZK_WTEXT(""), reply, kFtpReplySize)) {
            return FirstReply::kFailed;
        }
        kind = FtpReplyClassW(reply);
    } else {
        char reply[kFtpReplySize];
        if (!FtpCommandA(session, phase.verb_a, phase.argument_a, "", reply, kFtpReplySize)) return FirstReply::kFailed;
        kind = FtpReplyClassA(reply);
    }
    if (kind == 1) return FirstReply::kStarted;
    // A completion without a start can only end a transfer whose data the server has already
    // sent; an upload's data it has not even waited for.
    if (kind == 2 && phase.job != FtpJob::kPut) return FirstReply::kAlreadyDone;
    return FirstReply::kRefused;
}

// The completion reply: 0 when it arrived and says the transfer is complete (2xx), 3 when none
// came in time (the session is then out of step), 5 otherwise.
int ReadCompletion(FtpSession *session, bool wide) {
    int kind;
    if (wide) {
        zk_wchar_t reply[kFtpReplySize];
        if (FtpReadReplyW(session, reply, kFtpReplySize, ZK_WTEXT(""), kFtpReplyTimeoutMs) != ZK_FTP_OK) {
            return ZK_FTP_NO_REPLY;
        }
        kind = FtpReplyClassW(reply);
    } else {
        char reply[kFtpReplySize];
        if (FtpReadReplyA(session, reply, kFtpReplySize, "", kFtpReplyTimeoutMs) != ZK_FTP_OK) return ZK_FTP_NO_REPLY;
        kind = FtpReplyClassA(reply);
    }
    return kind == 2 ? ZK_FTP_OK : ZK_FTP_REFUSED;
}

}  // namespace

int FtpRunDataPhase(FtpSession *session, const FtpPhase &phase) {
    session->state.store(kFtpPreparing, std::memory_order_release);
    session->moved.store(0, std::memory_order_relaxed);
    session->movedTotal.store(-1, std::memory_order_relaxed);
    session->dataTlsCode = 0;
    session->dataTlsWhy[0] = '\0';
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
    FirstReply first = SendCommand(session, phase);
    if (first == FirstReply::kFailed) {
        FtpAbandonWorker(session);
        return 0;  // the exchange's code: 3 or 4
    }
    if (first == FirstReply::kRefused) {
        FtpAbandonWorker(session);
        FtpCloseData(session);
        if (active) NewActivePort(session);
        return Fail(phase.refusal_code);
    }
    // The upload's data goes out only now that the server has said it takes it.
    if (phase.job == FtpJob::kPut) win::RaiseWakeSignal(session->go);
    int64_t total = phase.job == FtpJob::kGet ? static_cast<int64_t>(session->expectedSize) : -1;
    ProtoProgress progress = ProtoStartProgress(session->progress, session->progressUser, total);
    Awaited awaited = AwaitWorker(session, phase, &progress);
    if (awaited == Awaited::kCancelled) return Cancelled(session, active);
    bool finished = awaited == Awaited::kFinished;
    bool whole = finished && session->fileResult == 1;
    int completion = ZK_FTP_OK;
    bool completion_due = first == FirstReply::kStarted;
    switch (phase.job) {
        case FtpJob::kGet:
            // A worker that stopped short leaves the server sending into a connection nobody
            // reads; closing it first ends the transfer at once, so the server's 426 is read here
            // and not taken later for the reply to the next command.
            if (!whole) FtpCloseData(session);
            if (completion_due) completion = ReadCompletion(session, phase.wide);
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
                if (completion_due) completion = ReadCompletion(session, phase.wide);
            } else {
                if (completion_due) completion = ReadCompletion(session, phase.wide);
                FtpCloseData(session);
            }
            break;
    }
    if (active) NewActivePort(session);
    // A listing stands without its completion line, but not with a different one; a transfer
    // needs its completion reply. Neither stands when the data did not come whole.
    bool completed = phase.job == FtpJob::kList ? completion != ZK_FTP_REFUSED : completion == ZK_FTP_OK;
    if (session->dataTlsCode != 0) return DataTlsFailed(session);
    if (!completed || !whole) return Fail(ZK_FTP_TRANSFER_FAILED);
    if (phase.job == FtpJob::kPut) progress.total = session->movedTotal.load(std::memory_order_relaxed);
    ProtoReportProgress(&progress, Moved(session), true);
    return 1;
}

void FtpAbandonWorker(FtpSession *session) {
    if (!session->worker.joinable()) return;
    if (session->cancel != nullptr) win::RaiseWakeSignal(session->cancel);
    // An upload worker may be waiting for the word to send; it wakes and finds the call-off.
    if (session->go != nullptr) win::RaiseWakeSignal(session->go);
    session->worker.join();
}

void FtpCloseData(FtpSession *session) {
    ProtoCloseTransport(session->dataLink.exchange(nullptr));
    SocketHandle *listener = session->dataSocket.exchange(nullptr);
    if (listener != nullptr) ZK_SocketClose(listener);
}

void FtpResetDataPhase(FtpSession *session) {
    FtpAbandonWorker(session);
    FtpCloseData(session);
    win::CloseWakeSignal(session->news);
    win::CloseWakeSignal(session->cancel);
    win::CloseWakeSignal(session->go);
    session->news = nullptr;
    session->cancel = nullptr;
    session->go = nullptr;
    ZK_SocketDeleteString(session->listingText);
    session->listingText = nullptr;
    session->fileResult = 0;
    session->expectedSize = 0;
    session->state.store(kFtpIdle, std::memory_order_release);
}
