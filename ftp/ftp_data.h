// ftp_data.h -- the data phase of listings and transfers: announcing the data connection, the
// worker threads that open it and move the data, and the caller's side that waits for them.
#ifndef ZK_FTP_FTP_DATA_H
#define ZK_FTP_FTP_DATA_H

#include <cstdint>

#include "ftp/ftp_session.h"

// Active data connections listen on a port of this range.
constexpr uint32_t kFtpActivePortBase = 40000;
constexpr uint32_t kFtpActivePortCount = 100;
// Each wait for data (and for the server to connect in active mode) gives up after this long.
constexpr uint32_t kFtpDataTimeoutMs = 20000;

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
// The port of an EPSV reply's "|||port|"; 1, or 0 when there is none.
int ParsePassiveV6(const char *reply, uint32_t *port);

// The numeric text of the control connection's peer (or own) address; false when unknown.
bool ControlAddressText(SocketHandle *control, bool peer, char *out, int32_t size);

// The worker thread routines, one per job, mode and path form.
void ActiveListWorker(FtpSession *session);
void PassiveListWorker(FtpSession *session);
void ActivePutWorkerA(FtpSession *session);
void ActivePutWorkerW(FtpSession *session);
void PassivePutWorkerA(FtpSession *session);
void PassivePutWorkerW(FtpSession *session);
void ActiveGetWorkerA(FtpSession *session);
void ActiveGetWorkerW(FtpSession *session);
void PassiveGetWorkerA(FtpSession *session);
void PassiveGetWorkerW(FtpSession *session);

// What a data phase moves.
enum class FtpJob { kList, kGet, kPut };

// Starts the worker of the job in the session's mode (`wide`: it takes localPathW) and waits for
// it to be ready (2), finished (3) or failed (4). Returns the state seen, or 0 when no thread
// could be started.
uint32_t FtpStartWorker(FtpSession *session, FtpJob job, bool wide);

// The caller gives the data phase up: the worker is told to stop, its sockets are shut down so
// that no receive, send or accept goes on, and the caller waits until it has finished.
void FtpAbandonWorker(FtpSession *session);

// The second wait: until the worker has finished. It ends early (abandoning the worker) when
// the control connection drops, when the server never connects, or when `refused` says the
// server will send nothing. True when the worker finished on its own.
bool FtpAwaitWorker(FtpSession *session, bool refused);

// Closes the data connection: the accepted socket, then the listening or connected one.
void FtpCloseData(FtpSession *session);

// Back to idle after a listing or transfer, whatever its outcome.
void FtpResetDataPhase(FtpSession *session);

// Whether the local file opens for reading now (another program may hold it exclusively).
bool LocalFileReadable(const char *path_a, const zk_wchar_t *path_w, bool wide);

// The worker's file loops. `wide` chooses the path form; both return 1 only when every byte
// went through.
int SendLocalFile(SocketHandle *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                  const std::atomic<bool> *cancel);
int ReceiveLocalFile(SocketHandle *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                     uint32_t expected, uint32_t binary, const std::atomic<bool> *cancel);

// Waits for data in short slices, so that a worker told to stop is not held in a receive (a
// shut-down socket does not wake a blocked receive on every platform). The receive gives up after
// kFtpDataTimeoutMs without data, as one long wait would.
constexpr uint32_t kFtpReceiveSliceMs = 200;

#endif  // ZK_FTP_FTP_DATA_H
