// ftp_exchange.h -- the control-channel engine every FTP operation is built on: one command line
// out, one reply in (read to its final line), judged by the code it begins with.
#ifndef ZK_FTP_FTP_EXCHANGE_H
#define ZK_FTP_FTP_EXCHANGE_H

#include <cstdint>

#include "ftp/ftp_session.h"

// Time-out for one reply line.
constexpr uint32_t kFtpReplyTimeoutMs = 10000;

// Reads one reply to its final line into `buffer` and FtpLastResponse; `whole` (the login
// replies) waits without a limit. Returns 0 (accepted), 3 (nothing arrived) or 5 (does not begin
// with `expected`); FtpLastError is not touched.
int FtpReadReplyA(SocketHandle *control, char *buffer, int32_t size, const char *expected, uint32_t timeout_ms,
                  bool whole);
int FtpReadReplyW(SocketHandle *control, zk_wchar_t *buffer, int32_t size, const zk_wchar_t *expected,
                  uint32_t timeout_ms, bool whole);

// Drops any late reply still waiting, sends "verb argument" (or the verb alone when the argument
// is empty) and reads the reply. Returns 1 when it begins with the code `expected`, else 0 with FtpLastError
// 3, 4 or 5. The reply text goes to `reply` (may be null) on failure as well. A line that would
// not fit the 1024-character command limit, or an argument holding CR or LF, is not sent at all (4).
int FtpCommandA(SocketHandle *control, const char *verb, const char *argument, const char *expected, char *reply,
                int32_t reply_size, bool whole);
int FtpCommandW(SocketHandle *control, const zk_wchar_t *verb, const zk_wchar_t *argument,
                const zk_wchar_t *expected, zk_wchar_t *reply, int32_t reply_units, bool whole);

// TYPE I (binary nonzero) or TYPE A; a refusal is code 16.
int FtpSetType(FtpSession *session, uint32_t binary);

// Whether a reply line is a refusal (it begins with 4 or 5): the server will open no data
// connection and send no further reply for the command.
bool FtpIsNegativeReplyA(const char *reply);
bool FtpIsNegativeReplyW(const zk_wchar_t *reply);

#endif  // ZK_FTP_FTP_EXCHANGE_H
