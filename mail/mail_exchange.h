// mail_exchange.h -- the dialogue every SMTP and POP3 operation is built on: the connection with
// its greeting, one command line out and one reply in (read to its final line, judged by the
// code or status it begins with), and the plain sends of message pieces. Nothing waits but for a
// reply: every command already waits for its own, and the pieces of a message go out back to back.
#ifndef ZK_MAIL_MAIL_EXCHANGE_H
#define ZK_MAIL_MAIL_EXCHANGE_H

#include <cstdint>

#include "mail/mail_session.h"

// Opens a stream connection to host:port (family 2 or 23) and reads the greeting, which must
// begin with `greeting` ("220" for SMTP, "+OK" for POP3). The socket, or null with MailLastError 2
// (no connection) or 3 (no greeting, or one without the text; the socket is closed again).
ProtoTransport *MailOpenTransportA(const char *host, int32_t port, const char *greeting, uint16_t family);
ProtoTransport *MailOpenTransportW(const zk_wchar_t *host, int32_t port, const zk_wchar_t *greeting, uint16_t family);

// The dialogue's transport over a connected stream socket (which it owns from then on): replies
// and message pieces go out without waiting for acknowledgements; the trace names it `family`
// ("SMTP", "POP3"). Null, with MailLastError 2, for a null socket or when memory runs out.
ProtoTransport *MailTransportOver(SocketHandle *socket, const char *family);

// Reads one reply to its final line (an SMTP "ddd-" reply is read through its last line; a
// POP3 status line is one line) into `buffer` (cut to `size` at a character boundary; may be
// null) and MailLastResponse, which is left empty when nothing arrived. The whole reply must
// arrive within `timeout_ms`. Returns 0 (the line begins with `expected`, letters compared without case; an empty
// expected text accepts any line), 3 (nothing, or an empty line, arrived) or 5. MailLastError is
// not touched.
int MailReadReplyA(ProtoTransport *connection, char *buffer, int32_t size, const char *expected, uint32_t timeout_ms);
// The same with a UTF-16 buffer of `units` and a UTF-16 expected text; the buffer gets the reply
// only when one arrived.
int MailReadReplyW(ProtoTransport *connection, zk_wchar_t *buffer, int32_t units, const zk_wchar_t *expected,
                   uint32_t timeout_ms);

// Sends "command argument" (the command alone for a null or empty argument) with CR LF after
// dropping any late reply (the send bounded as MailSendLine's) and reads the reply (8000 ms). 1
// when it begins with `expected`; else 0 with MailLastError 3 (no reply), 4 (not sent: the
// connection failed or stopped taking bytes, or the line would hold a CR or LF or not fit 1024
// characters, or in the W form a character the ANSI code page lacks) or 5 (refused).
int MailCommandA(ProtoTransport *connection, const char *command, const char *argument, const char *expected);
int MailCommandW(ProtoTransport *connection, const zk_wchar_t *command, const zk_wchar_t *argument,
                 const zk_wchar_t *expected);

// Notes in the trace how many bytes of message data went out since the connection had sent
// `sent_before` bytes (the message itself never shows there).
void MailTraceData(ProtoTransport *connection, int64_t sent_before);

// Sends all of an ANSI text; true when every byte went out. Every send of the family gives up
// once the server has taken no byte for kMailReplyTimeoutMs.
bool MailSendLine(ProtoTransport *connection, const char *text);
// Converts a UTF-16 text to ANSI and sends all of it; true when every byte went out.
bool MailSendTextW(ProtoTransport *connection, const zk_wchar_t *text);

#endif  // ZK_MAIL_MAIL_EXCHANGE_H
