// ftp_exchange.h -- the control-channel engine every FTP operation is built on: one command line
// out, one reply in (read to its final line), judged by the code it begins with.
#ifndef ZK_FTP_FTP_EXCHANGE_H
#define ZK_FTP_FTP_EXCHANGE_H

#include <cstdint>

#include "ftp/ftp_session.h"

// Time-out for one reply, every line of it; the login's replies too.
constexpr uint32_t kFtpReplyTimeoutMs = 10000;

// Reads one reply to its final line into `buffer` (a buffer larger than kFtpReplySize gets that
// much of the line) and FtpLastResponse. Returns 0 (accepted), 3 (nothing arrived in time: the
// session is out of step from now on) or 5 (does not begin with the code `expected`; an empty
// `expected` takes any reply); FtpLastError is not touched.
int FtpReadReplyA(FtpSession *session, char *buffer, int32_t size, const char *expected, uint32_t timeout_ms);
int FtpReadReplyW(FtpSession *session, zk_wchar_t *buffer, int32_t size, const zk_wchar_t *expected,
                  uint32_t timeout_ms);

// Drops any late reply still waiting, sends "verb argument" (or the verb alone when the argument
// is empty) and reads the reply. Returns 1 when it begins with the code `expected`, else 0 with
// FtpLastError 3, 4 or 5. The reply text goes to `reply` (may be null) on failure as well. A line
// that would not fit the 1024-character command limit, or an argument holding CR or LF, is not
// sent at all (4). A session out of step sends nothing and fails with 3.
int FtpCommandA(FtpSession *session, const char *verb, const char *argument, const char *expected, char *reply,
                int32_t reply_size);
int FtpCommandW(FtpSession *session, const zk_wchar_t *verb, const zk_wchar_t *argument,
                const zk_wchar_t *expected, zk_wchar_t *reply, int32_t reply_units);

// TYPE I (binary nonzero) or TYPE A; a refusal is code 16.
int FtpSetType(FtpSession *session, uint32_t binary);

// The class of a reply: the first digit (1 preliminary, 2 completed, 3 more needed, 4 and 5
// refused) of a line that begins with a three-digit code; 0 for anything else.
int FtpReplyClassA(const char *reply);
int FtpReplyClassW(const zk_wchar_t *reply);

#endif  // ZK_FTP_FTP_EXCHANGE_H
