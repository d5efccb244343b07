/* mail.h -- the ZK_Mail family: SMTP sending, POP3 receiving and message extraction. */
#ifndef ZKNET_MAIL_H
#define ZKNET_MAIL_H

#include "zkconf.h"

ZK_EXTERN_C_BEGIN

/* ---- Sessions, last error and last reply ---- */

/* A mail session, SMTP or POP3; made by ZK_MailConnectSmtpA/W (or the POP3 connects), released
   by the matching disconnect. */
typedef struct MailHandle MailHandle;

/* Codes of ZK_MailQueryLastErrorCode. */
#define ZK_MAIL_OK               0
#define ZK_MAIL_NO_SESSION       1  /* null handle, or a handle of the other protocol */
#define ZK_MAIL_NO_CONNECTION    2
#define ZK_MAIL_NO_REPLY         3  /* no greeting or reply, or a greeting without the expected text */
#define ZK_MAIL_NOT_SENT         4  /* a command line was not sent (or could not be formed) */
#define ZK_MAIL_REFUSED          5  /* a reply lacked the expected text */
#define ZK_MAIL_LOGIN_REFUSED    6
#define ZK_MAIL_HELO_FAILED      8
#define ZK_MAIL_FROM_FAILED      9
#define ZK_MAIL_RCPT_FAILED      10
#define ZK_MAIL_DATA_FAILED      11 /* DATA refused, the message not sent whole, or not accepted */
#define ZK_MAIL_NO_FOLDER        12
#define ZK_MAIL_FILE_FAILED      13

/* The module-wide last reply holds at most this many bytes with its terminator. */
#define ZK_MAIL_RESPONSE_SIZE 512

ZK_EXPORT uint32_t ZK_API ZK_MailQueryLastErrorCode(void);
/* The family's last error code (ZK_MAIL_...), shared by every session and thread. Only failures,
   the start of a connect and ZK_MailClearLastErrorCode change it. */

ZK_EXPORT void ZK_API ZK_MailClearLastErrorCode(void);
/* Sets the last error code to 0. */

ZK_EXPORT int32_t ZK_API ZK_MailQueryLastResponseMessageA(char *buffer, int32_t size);
ZK_EXPORT int32_t ZK_API ZK_MailQueryLastResponseMessageW(zk_wchar_t *buffer, int32_t size);
/* Copies the last server reply line (the final line of a multi-line reply) into `buffer`, cut
   to its size (bytes / UTF-16 units, terminator included) at a character boundary. Returns the
   length copied without the terminator; 0 for an empty reply or no buffer. */

/* ---- SMTP ---- */

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpA(const char *host, int32_t port, uint16_t family);
ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpW(const zk_wchar_t *host, int32_t port, uint16_t family);
/* Connects to an SMTP server (family 2 or 23) and reads its greeting, which must hold "220".
   Returns the session, or NULL with code 2 (no connection) or 3 (no or another greeting). Sends
   no command: each ZK_MailSendA/W says HELO itself. */

ZK_EXPORT void ZK_API ZK_MailDisconnectSmtp(MailHandle *handle);
/* Sends QUIT, reads the reply (any reply, or none within 8 s), closes the connection and releases
   the session. NULL or a POP3 session: code 1, nothing released. */

ZK_EXPORT int32_t ZK_API ZK_MailSendA(MailHandle *handle, const char *helo, const char *from, const char *to,
                                      const char *subject, const char *body, int32_t width);
ZK_EXPORT int32_t ZK_API ZK_MailSendW(MailHandle *handle, const zk_wchar_t *helo, const zk_wchar_t *from,
                                      const zk_wchar_t *to, const zk_wchar_t *subject, const zk_wchar_t *body,
                                      int32_t width);
/* Sends one message: HELO helo, MAIL FROM: from, RCPT TO: to (one recipient, texts as given),
   DATA, the header block (From, To, Subject, MIME-Version, Content-Type, Content-Transfer-Encoding,
   X-Mailer), the body in ISO-2022-JP folded to `width` bytes a line (-1: not folded), the end of
   the data. The A subject goes out as ISO-2022-JP, the W subject as one encoded word. No empty
   line is put between header block and body: start the body with a line break. CR and LF in
   helo, from, to and subject become spaces; a text that would make its command line longer than
   1024 characters (or, in the W form, holds a character the ANSI code page lacks) is not sent and
   fails its step. Characters ISO-2022-JP lacks go as their NEC twins (the IBM extensions) or as
   the geta mark (the user-defined area). Returns 1 when the server accepted the message with
   250, else 0 with code 1, 8 (HELO), 9 (MAIL FROM), 10 (RCPT TO) or 11 (DATA, the message not
   sent whole, or no 250 after it); the server's reply is the last response. */

/* ---- Message composition ---- */

ZK_EXPORT void ZK_API ZK_MailSetXMailerA(MailHandle *handle, const char *text);
ZK_EXPORT void ZK_API ZK_MailSetXMailerW(MailHandle *handle, const zk_wchar_t *text);
/* Sets the session's X-Mailer header to "X-Mailer: " and the text (at most 248 bytes in the ANSI
   code page; a longer text is cut at a character boundary; CR and LF become spaces). NULL handle:
   nothing happens. */

ZK_EXPORT void ZK_API ZK_MailSetContentTypeA(MailHandle *handle, const char *type, const char *charset,
                                             const char *format, const char *reply_type);
ZK_EXPORT void ZK_API ZK_MailSetContentTypeW(MailHandle *handle, const zk_wchar_t *type, const zk_wchar_t *charset,
                                             const zk_wchar_t *format, const zk_wchar_t *reply_type);
/* Sets the session's Content-Type header to the type with its format, charset and reply-type
   parameters (NULL: "fixed", "iso-2022-jp", "original"). A null or empty type, a null handle, or
   values of more than 207 bytes together leave it as it was. CR and LF become spaces. The header
   only describes: the body is always sent as 7bit ISO-2022-JP. */

ZK_EXPORT int32_t ZK_API ZK_MailJustifiedText(char *text, int32_t size, int32_t width);
/* Folds the ANSI text in `text` (a buffer of `size` bytes) in place so that no line holds more
   than `width` bytes, inserting CR LF; a double-byte character is never split and counts two, a
   TAB becomes one space, bytes that begin no character are dropped. Returns 1 when all of the
   text was folded, 0 when the buffer filled up first (the text folded so far stays, terminated)
   or there is no text. */

/* ---- POP3 ---- */

ZK_EXPORT void ZK_API ZK_MailRecvFree(char *message);
/* Releases a message text from ZK_MailRecv; the same entry as ZK_SocketDeleteString. */

ZK_EXTERN_C_END

#endif /* ZKNET_MAIL_H */
