// ftp_session.h -- the record behind an FTP session handle, and the family's process-wide last
// error and last reply.
#ifndef ZK_FTP_FTP_SESSION_H
#define ZK_FTP_FTP_SESSION_H

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/tls.h"
#include "proto/transport.h"
#include "zknet/ftp.h"

constexpr int kFtpHostSize = 1025;
// Room for any numeric IPv6 address with a scope name; the passive data address is written here.
constexpr int kFtpPassiveHostSize = 64;
constexpr int kFtpPathUnits = 260;
constexpr int kFtpReplySize = 1024;

// Values of FtpSession::state: how the caller's thread and a data-phase worker find each other.
enum : uint32_t {
    kFtpIdle = 0,
    kFtpPreparing = 1,
    kFtpWorkerReady = 2,
    kFtpWorkerDone = 3,
    kFtpFailed = 4,
};

namespace win {
struct WakeSignal;
}

struct FtpSession {
    SocketHandle *control;  // the control connection's socket, for its addresses; owned by `link`
    ProtoTransport *link;   // the control connection as it is read and written (TLS once secured)
    uint32_t passive;      // 0 active, 1 passive; anything else fails every data phase
    uint32_t controlPort;
    uint32_t activePort;   // 40000..40099
    char host[kFtpHostSize];
    // Written by both threads; release on every store, acquire on every load, so that what the
    // worker stored before its final state is visible to the caller that sees it.
    std::atomic<uint32_t> state;
    uint32_t binary;
    uint32_t fileResult;
    char passiveHost[kFtpPassiveHostSize];
    char localPathA[kFtpPathUnits];
    zk_wchar_t localPathW[kFtpPathUnits];
    uint64_t expectedSize;  // sizes are 64-bit inside the library; files pass 4 GiB
    uint32_t passivePort;
    // The data phase's connections: the active mode's listener, and the data connection itself
    // (connected or accepted). The caller may close them while the worker still runs, hence atomic.
    std::atomic<SocketHandle *> dataSocket;
    std::atomic<ProtoTransport *> dataLink;
    char *listingText;
    // The data phase's worker thread: started by the caller and always joined before the
    // operation returns, so no library code runs on after a call (the DLL may be unloaded).
    std::thread worker;
    // Raised by the worker whenever it writes `state`; the caller waits on it together with the
    // control connection.
    win::WakeSignal *news;
    // Raised by the caller when it gives the data phase up; every wait of the worker ends on it.
    win::WakeSignal *cancel;
    // Raised by the caller once the server has answered an upload's command with a preliminary
    // reply (and on giving up): the upload worker sends nothing before it.
    win::WakeSignal *go;
    // Set once a reply did not come in time (or the connection broke mid-command): whatever the
    // server says later would be taken for the answer to another command, so nothing more is
    // sent on this session.
    bool outOfStep;
    // A secure session (PROT P): every data connection is TLS too, checked as the control
    // connection was and resuming its TLS session.
    bool secure;
    bool verify;
    std::basic_string<zk_wchar_t> caFile;  // empty: the system's trust
    // How and why the last data connection's TLS failed (30 or 31), for the caller; 0 and empty
    // when it did not. Written by the worker before its final state.
    uint32_t dataTlsCode;
    char dataTlsWhy[tls::kWhySize];
    // The caller's progress callback (null: none) and its value; called on the caller's thread only.
    ZkProgressProc progress;
    void *progressUser;
    // What the data phase has moved so far, and the upload's size (-1 unknown): written by the
    // worker, read by the caller for its reports.
    std::atomic<int64_t> moved;
    std::atomic<int64_t> movedTotal;
};

// The family's error code and last reply text, one for the whole process (the caller's thread
// of the most recent FTP operation writes them; workers never do).
extern uint32_t FtpLastError;
extern char FtpLastResponse[kFtpReplySize];

// FtpLastResponse = text, cut to fit.
void FtpRecordResponse(const char *text);

#endif  // ZK_FTP_FTP_SESSION_H
