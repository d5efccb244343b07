// ftp_data.h -- the data phase of listings and transfers: announcing the data connection, the
// worker threads that open it and move the data, and the caller's side that runs one phase.
#ifndef ZK_FTP_FTP_DATA_H
#define ZK_FTP_FTP_DATA_H

#include <atomic>
#include <cstdint>

#include "ftp/ftp_session.h"

// Active data connections listen on a port of this range.
constexpr uint32_t kFtpActivePortBase = 40000;
constexpr uint32_t kFtpActivePortCount = 100;
// Each wait for data (and for the data connection to open) gives up after this long.
constexpr uint32_t kFtpDataTimeoutMs = 20000;
// A passive data connect that has not finished after this long no longer holds the transfer
// command back: the command goes out while the connect goes on, so a server that refuses the
// transfer at once is heard at once.
constexpr uint32_t kFtpConnectHeadStartMs = 1000;
// Bulk transfers move this much per call: received into a block this large, and sent from local
// file blocks of half of it, which the connection's send buffer takes whole more often.
constexpr int32_t kFtpBlockSize = 256 * 1024;
constexpr int32_t kFtpSendBlockSize = 128 * 1024;

// Reseeds the pseudo-random generator with the tick count and picks activePort afresh.
void NewActivePort(FtpSession *session);

// TYPE, then the listening socket on activePort (or the next free port of the range) in
// dataSocket, then PORT or EPRT with the control connection's own address. 1, or 0 with
// FtpLastError set.
int FtpAnnounceActive(FtpSession *session, uint32_t binary);

// PASV or EPSV; the reply text after its first "(" into `out`. 1, or 0 (code 17 for a refusal).
int FtpRequestPassive(FtpSession *session, char *out, int32_t size);

// TYPE, PASV/EPSV and the reply's port; the host is the control connection's peer address.
// 1, or 0 (code 16, 17, 3 or 4).
int FtpPreparePassive(FtpSession *session, uint32_t binary, char *host, int32_t host_size, uint32_t *port);

// The port of a PASV reply's "h1,h2,h3,h4,p1,p2" (and, for the record, the host it names).
// 1, or 0 when the six numbers are not there.
int ParsePassiveV4(const char *reply, char *host, int32_t host_size, uint32_t *port);
// The port of an EPSV reply's "dddportd", the text after its "(": d is the same printable
// character (33 to 126) four times, "|" on most servers. 1, or 0 when there is none.
int ParsePassiveV6(const char *reply, uint32_t *port);

// An IPv6 address's standard text (lower-case hex, no leading zeros, the longest run of zero
// groups as "::"), as EPRT announces it. Room for any address: kIpv6TextSize. Returns its length.
constexpr int32_t kIpv6TextSize = 40;
int32_t FormatIpv6Text(const uint16_t groups[8], char *out, int32_t size);

// The numeric text of the control connection's peer (or own) address; false when unknown.
bool ControlAddressText(SocketHandle *control, bool peer, char *out, int32_t size);

// What a data phase moves.
enum class FtpJob { kList, kGet, kPut };

// One listing or transfer as the data phase runs it. The command goes out as verb and argument
// (the A or the W texts, by `wide`); a listing gives its whole command line as the verb.
struct FtpPhase {
    FtpJob job;
    bool wide;
    uint32_t binary;  // the TYPE of the data connection: I when nonzero, A when 0
    const char *verb_a;
    const char *argument_a;
    const zk_wchar_t *verb_w;
    const zk_wchar_t *argument_w;
    uint32_t refusal_code;       // the code when the command's first reply refuses the transfer
    bool stop_on_failed_worker;  // give up when the worker failed before the command
};

// Runs one data phase: the announcement (TYPE, PORT/EPRT or PASV/EPSV), the worker, the command,
// the waits, closing the data connection and the completion reply. The worker has ended when it
// returns. 1 when the command was answered by a preliminary reply, the data moved whole (to the
// server's close for listings and downloads) and the completion reply (2xx) came (a listing also
// stands without one); else 0 with FtpLastError set.
int FtpRunDataPhase(FtpSession *session, const FtpPhase &phase);

// The caller gives the data phase up: the worker is told to stop, which ends any wait of its at
// once, and is joined. Does nothing when no worker runs.
void FtpAbandonWorker(FtpSession *session);

// Closes the data connection, then the active mode's listener.
void FtpCloseData(FtpSession *session);

// Back to idle after a listing or transfer, whatever its outcome.
void FtpResetDataPhase(FtpSession *session);

// The worker thread's routine: opens the data connection in the session's mode and runs the job.
void FtpDataWorker(FtpSession *session, FtpJob job, bool wide);

// Whether the local file opens for reading now (another program may hold it exclusively).
bool LocalFileReadable(const char *path_a, const zk_wchar_t *path_w, bool wide);

// The worker's loops over the (non-blocking) data connection. Every wait for the connection also
// ends when `cancel` is raised, and gives up after kFtpDataTimeoutMs without progress. Each adds
// what it has moved to `moved` as it goes, for the caller's progress reports.
// SendLocalFile: the local file to its end; 1 when every byte went out. `size` gets the file's
// size once it is open.
int SendLocalFile(ProtoTransport *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                  win::WakeSignal *cancel, std::atomic<int64_t> *moved, std::atomic<int64_t> *size);
// ReceiveLocalFile: everything until the server closes the connection. The local file is made at
// the first bytes (or at the close, for an empty file). 1 when the close came and at least
// `expected` bytes arrived.
int ReceiveLocalFile(ProtoTransport *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                     uint64_t expected, win::WakeSignal *cancel, std::atomic<int64_t> *moved);
// ReceiveListing: everything until the server closes the connection, as an allocated text
// (ZK_SocketDeleteString; null when nothing came). 1 when the close came.
int ReceiveListing(ProtoTransport *connection, win::WakeSignal *cancel, char **text, std::atomic<int64_t> *moved);

#endif  // ZK_FTP_FTP_DATA_H
