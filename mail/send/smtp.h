// smtp.h -- the steps of the SMTP side: the envelope of a stored message, the address between
// delimiters, and the composition of a message once DATA was accepted.
#ifndef ZK_MAIL_SEND_SMTP_H
#define ZK_MAIL_SEND_SMTP_H

#include <cstdint>

#include "mail/mail_session.h"
#include "mail/send/header_words.h"

// HELO, MAIL FROM and RCPT TO with the addresses between the first "<" and the next ">" of the
// two header values (sent without the brackets; none found: the command goes out alone), DATA.
// 1 when DATA was accepted; else 0 with MailLastError 1 (no SMTP session), 8, 9, 10 or 11.
int SmtpEnvelope(MailHandle *handle, const char *helo, const char *from_value, const char *to_value);

// The start of a message on a session greeted at connect, which says no HELO (that would start
// the session over, and some servers forget the login with it): RSET, but only after a message
// that failed on the way, whose transaction may still be open. False (the step failed) when
// RSET was refused. SmtpMessageOpened / SmtpMessageDone keep track of the transaction.
bool SmtpResetIfOpen(MailHandle *handle);
inline void SmtpMessageOpened(MailHandle *handle) { handle->transactionOpen = true; }
inline void SmtpMessageDone(MailHandle *handle) { handle->transactionOpen = false; }

// Writes the text between the first `open` and the next `close` after it into `output` (size
// bytes) and returns its length in bytes; 0 with `output` empty when there is none or it does
// not fit. The text is taken as far as it fits `size` UTF-16 units.
int32_t ExtractBetween(const char *text, char *output, int32_t size, const char *open, const char *close);
// The same on UTF-16 text; `units` counts the output's units. Returns the units written.
int32_t ExtractBetweenW(const zk_wchar_t *text, zk_wchar_t *output, int32_t units, const zk_wchar_t *open,
                        const zk_wchar_t *close);

// Sends the header block and the body with the end of the data on the session's SMTP connection
// (after DATA was accepted), in the session's charset (MessageCharset): ISO-2022-JP, 7bit, or
// UTF-8 with the body in Base64. True when the last piece, the body with the end of the data,
// went out whole. A body that cannot be prepared (memory) sends nothing at all and gives false.
bool ComposeAndSendA(MailHandle *handle, const char *from, const char *to, const char *subject, const char *body,
                     int32_t width);
bool ComposeAndSendW(MailHandle *handle, const zk_wchar_t *from, const zk_wchar_t *to, const zk_wchar_t *subject,
                     const zk_wchar_t *body, int32_t width);

// A new SMTP session over an open connection, its header fields at their defaults; null (and the
// connection closed) for a null connection or when memory runs out.
MailHandle *SmtpHandleFor(ProtoTransport *connection);

// The defaults a new SMTP session's header fields start with.
void MailSetDefaultFields(MailHandle *handle);

// The charset a message of the session goes out in: UTF-8 when the Content-Type block names
// charset "UTF-8" (in any case), ISO-2022-JP otherwise.
MailCharset MessageCharset(const MailHandle *handle);

#endif  // ZK_MAIL_SEND_SMTP_H
