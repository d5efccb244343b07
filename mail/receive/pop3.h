// pop3.h -- the steps of the POP3 side: commands with their status lines, the login, the
// retrieval of one message, and the mailbox listing with its header fetch.
#ifndef ZK_MAIL_RECEIVE_POP3_H
#define ZK_MAIL_RECEIVE_POP3_H

#include <cstdint>

#include "mail/mail_session.h"
#include "proto/progress.h"

// The status line buffer every POP3 step reads into.
constexpr int32_t kPop3StatusSize = 512;

// The session's POP3 connection; null for a null handle or an SMTP session's handle.
ProtoTransport *Pop3Socket(MailHandle *handle);

// Sends a command line whole (after dropping anything late on the connection).
bool Pop3Send(ProtoTransport *connection, const char *line, int32_t length);
// Formats "VERB number\r\n" and sends it as Pop3Send does.
bool Pop3SendNumbered(ProtoTransport *connection, const char *verb, int32_t number);

// Reads one status line (8000 ms) into `status` (`size` bytes, cut at a character boundary; may
// be null) and MailLastResponse. True when it arrived, is not empty and holds "+OK" in any case.
bool Pop3ReadStatus(ProtoTransport *connection, char *status, int32_t size);

// USER and PASS. 1 when both were accepted; else 0 with MailLastError 3 or 4 (USER not sent or
// not answered) or 6 (USER refused, or PASS failed in any way); `user_refused` (W, may be null)
// is set when it was USER that the server refused.
int Pop3LoginA(ProtoTransport *connection, const char *user, const char *password);
int Pop3LoginW(ProtoTransport *connection, const zk_wchar_t *user, const zk_wchar_t *password,
               bool *user_refused = nullptr);

// Reads the answer to RETR: its status line into `status` (and MailLastResponse), then the
// message up to the lone period, each wait bounded by `timeout_ms`. The text (release with
// ZK_MailRecvFree), or null when the status was not positive, the message held no line, did not
// fit, or the connection failed or went quiet before its end. With a `progress` meter (its total
// is taken from a status "+OK n octets"), the callback is told how far the message has come; a
// cancel reads the rest and drops it (null, `progress->cancelled` set).
char *ReadPop3Message(ProtoTransport *connection, char *status, int32_t size, uint32_t timeout_ms,
                      ProtoProgress *progress = nullptr);

// A meter for one retrieval with the session's progress callback.
ProtoProgress Pop3Progress(MailHandle *handle);

// The session is handed out only after a successful login.
MailHandle *Pop3HandleFor(ProtoTransport *connection);

#endif  // ZK_MAIL_RECEIVE_POP3_H
