/* mail.h -- the ZK_Mail family: SMTP sending, POP3 receiving and message extraction. */
#ifndef ZKNET_MAIL_H
#define ZKNET_MAIL_H

#include "zkconf.h"
#include "progress.h"
#include "secure.h"

ZK_EXTERN_C_BEGIN

/* ---- Sessions, last error and last reply ---- */

/* A mail session, SMTP or POP3; made by ZK_MailConnectSmtpA/W or ZK_MailConnectPop3A/W, released
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
#define ZK_MAIL_TLS_FAILED       30 /* no TLS: STARTTLS or STLS not offered or refused, a failed handshake */
#define ZK_MAIL_CERTIFICATE      31 /* the server's certificate was refused */
#define ZK_MAIL_AUTH_FAILED      32 /* SMTP AUTH refused, impossible, or not allowed in plain text */
#define ZK_MAIL_CANCELLED        33 /* the progress callback cancelled a retrieval */

/* The module-wide last reply holds at most this many bytes with its terminator. */
#define ZK_MAIL_RESPONSE_SIZE 512

ZK_EXPORT uint32_t ZK_API ZK_MailQueryLastErrorCode(void);
/* The family's last error code (ZK_MAIL_...), shared by every session and thread. Only failures,
   the start of a connect and ZK_MailClearLastErrorCode change it. Sessions on several threads may
   replace the code and the last reply at any time; each is always read whole. */

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

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpSecureA(const char *host, int32_t port, uint16_t family,
                                                       uint32_t security, const char *ca_file, const char *helo,
                                                       const char *user, const char *password);
ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpSecureW(const zk_wchar_t *host, int32_t port, uint16_t family,
                                                       uint32_t security, const zk_wchar_t *ca_file,
                                                       const zk_wchar_t *helo, const zk_wchar_t *user,
                                                       const zk_wchar_t *password);
/* Connects to a submission server as `security` asks (secure.h). ZK_SECURE_NONE with a NULL user
   is ZK_MailConnectSmtpA/W. Otherwise, after the greeting: EHLO helo (NULL: this machine's name);
   with ZK_SECURE_EXPLICIT, STARTTLS, required (never a fall-back to plain text), and EHLO again;
   with ZK_SECURE_IMPLICIT TLS from the first byte (port 465). With a non-NULL user, AUTH with the
   best mechanism the server offers: OAUTHBEARER or XOAUTH2 with ZK_SECURE_XOAUTH2 (the password
   is then the access token), else PLAIN or LOGIN. Certificates are checked as for
   ZK_FtpConnectSecureA/W. Returns the session, or NULL with code 2, 3, 30 (no TLS), 31
   (certificate refused), or 32 (AUTH refused, no mechanism to use, or AUTH over plain text
   without ZK_SECURE_ALLOW_PLAIN_AUTH: nothing sent); 30 and 31 leave a last reply beginning
   "TLS: ". Every message of the session goes out as the authenticated user: ZK_MailSendA/W and
   ZK_MailSendFromFileA/W send no HELO of their own on a session greeted here. */

ZK_EXPORT void ZK_API ZK_MailDisconnectSmtp(MailHandle *handle);
/* Sends QUIT, reads the reply (any reply, or none within 8 s), closes the connection and releases
   the session. NULL or a POP3 session: code 1, nothing released. */

ZK_EXPORT int32_t ZK_API ZK_MailSendA(MailHandle *handle, const char *helo, const char *from, const char *to,
                                      const char *subject, const char *body, int32_t width);
ZK_EXPORT int32_t ZK_API ZK_MailSendW(MailHandle *handle, const zk_wchar_t *helo, const zk_wchar_t *from,
                                      const zk_wchar_t *to, const zk_wchar_t *subject, const zk_wchar_t *body,
                                      int32_t width);
/* Sends one message: HELO helo; MAIL FROM with the from text's address; one RCPT TO for each
   address of the to text (addresses separated by commas; "Name <address>" gives "<address>",
   a text without angle brackets goes as it stands); DATA; the header block (From, To, Subject,
   MIME-Version, Content-Type, Content-Transfer-Encoding, X-Mailer); the body folded to `width`
   columns a line (-1: not folded); the end of the data. From and To keep their display names,
   as encoded words where they hold more than ASCII. The text goes out in ISO-2022-JP (7bit), its
   half-width katakana as full-width ones; or in UTF-8 (the body in Base64) when the Content-Type
   names charset UTF-8, the W form then carrying every character. The A subject goes out as it
   stands (ISO-2022-JP) while its line fits 78 characters, the W subject and any longer one as
   encoded words on as many lines as they take: a subject is never cut. No empty line is put
   between header block and body in ISO-2022-JP: start the body with a line break. CR and LF in
   helo, from, to and subject become spaces; a text that would make its command line longer than
   1024 characters (or, in the W form, holds a character the ANSI code page lacks) is not sent and
   fails its step. Characters ISO-2022-JP lacks go as their NEC twins (the IBM extensions) or as
   the geta mark (the user-defined area). Every send gives up once the server has taken no byte
   for 8 s; the reply to the message is waited for up to 10 minutes. Returns 1 when the server
   accepted the message with 250, else 0 with code 1, 8 (HELO), 9 (MAIL FROM), 10 (an RCPT TO;
   nothing more is sent) or 11 (DATA, the message not sent whole, or no 250 after it); the
   server's reply is the last response. */

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
   values of more than 207 bytes together leave it as it was. CR and LF become spaces. A charset
   of "UTF-8" (any case) makes the session's messages go out in UTF-8; any other charset only
   describes, the text going out as 7bit ISO-2022-JP. */

ZK_EXPORT int32_t ZK_API ZK_MailJustifiedText(char *text, int32_t size, int32_t width);
/* Folds the ANSI text in `text` (a buffer of `size` bytes) in place so that no line holds more
   than `width` bytes, inserting CR LF; a double-byte character is never split and counts two, a
   TAB becomes one space, bytes that begin no character are dropped. Returns 1 when all of the
   text was folded, 0 when the buffer filled up first (the text folded so far stays, terminated)
   or there is no text. */

/* ---- POP3: mailbox listings and retrieved messages ---- */

/* One message of a mailbox listing made by ZK_MailBoxA. The layout is fixed: callers step
   through the entry array by sizeof(MailListEntryA), 2696 bytes. */
typedef struct MailListEntryA {
    int32_t number;       /* message number on the server */
    char from[640];       /* decoded From value (ANSI); empty unless headers were fetched */
    char subject[2048];   /* decoded Subject value (ANSI); empty unless headers were fetched */
    int32_t size;         /* message size in octets */
} MailListEntryA;

/* The same for ZK_MailBoxW, with UTF-16 texts: 5384 bytes. */
typedef struct MailListEntryW {
    int32_t number;
    zk_wchar_t from[640];
    zk_wchar_t subject[2048];
    int32_t size;
} MailListEntryW;

/* A mailbox listing. `entries` points to `count` MailListEntryA (ZK_MailBoxA) or MailListEntryW
   (ZK_MailBoxW) records, allocated by the library and released by ZK_MailListFreeA/W. */
typedef struct MailList {
    int32_t count;
    void *entries;
} MailList;

/* The Date field of a message as numbers (ZK_MailGetDate); the time zone is not kept. */
typedef struct MailDate {
    uint16_t year;   /* as written: a two-digit year stays two digits */
    uint16_t month;  /* 1 to 12 */
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
} MailDate;

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3A(const char *host, const char *user, const char *password,
                                                 int32_t port, uint16_t family);
ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3W(const zk_wchar_t *host, const zk_wchar_t *user,
                                                 const zk_wchar_t *password, int32_t port, uint16_t family);
/* Connects to a POP3 server (family 2 or 23), reads its greeting, which must hold "+OK" (in any
   case), and logs in with USER and PASS. Returns the session, or NULL with code 2 (no
   connection), 3 (no or another greeting; or no reply to USER), 4 (USER not sent) or 6 (USER
   refused, or PASS not accepted: a wrong password); the connection is closed again. */

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3SecureA(const char *host, const char *user, const char *password,
                                                       int32_t port, uint16_t family, uint32_t security,
                                                       const char *ca_file);
ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3SecureW(const zk_wchar_t *host, const zk_wchar_t *user,
                                                       const zk_wchar_t *password, int32_t port, uint16_t family,
                                                       uint32_t security, const zk_wchar_t *ca_file);
/* Connects as ZK_MailConnectPop3A/W over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT
   sends STLS after the greeting, required; ZK_SECURE_IMPLICIT speaks TLS from the first byte (port
   995). Then USER and PASS (a server that refuses USER is asked AUTH PLAIN), or with
   ZK_SECURE_XOAUTH2 AUTH OAUTHBEARER or XOAUTH2 with the password as the access token. Returns the
   session, or NULL with the plain connect's codes (6: the login refused), 30 or 31 (as for
   ZK_MailConnectSmtpSecureA/W), or 32 (a token over plain text without
   ZK_SECURE_ALLOW_PLAIN_AUTH: nothing sent). */

ZK_EXPORT void ZK_API ZK_MailDisconnectPop3(MailHandle *handle);
/* Sends QUIT, which makes the deletions of the session take effect, reads the reply (any reply,
   or none within 8 s), closes the connection and releases the session. NULL or an SMTP session:
   code 1, nothing released. */

ZK_EXPORT int32_t ZK_API ZK_MailBoxA(MailHandle *handle, MailList *list, int32_t fetch);
ZK_EXPORT int32_t ZK_API ZK_MailBoxW(MailHandle *handle, MailList *list, int32_t fetch);
/* Lists the mailbox with LIST into *list (overwritten, not released first): the number and size
   of each message, and with a nonzero `fetch` also its decoded From and Subject, for which every
   message is retrieved whole with RETR (a value that does not fit its field stays empty).
   Returns 1; 0 with code 1 for NULL or an SMTP session; 0 with the code unchanged for a NULL
   list, a status without "+OK", an empty or missing line in the listing, or one whose message
   number is no number or does not fit 32 bits (the entries read so far stay in the list; a number
   is never cut, so a deletion cannot name another message), an array that cannot grow (the list is
   then empty), or a retrieval of the header fetch that failed (the rest stay empty; code 33 when
   the progress callback cancelled it). Release the
   list with ZK_MailListFreeA/W in every case. */

ZK_EXPORT void ZK_API ZK_MailListFreeA(MailList *list);
ZK_EXPORT void ZK_API ZK_MailListFreeW(MailList *list);
/* Releases the entries of a listing and empties the list (count 0, entries NULL), so that a
   second release does nothing. NULL is ignored. */

ZK_EXPORT int32_t ZK_API ZK_MailDelete(MailHandle *handle, int32_t number);
/* Marks message `number` for deletion with DELE; the server deletes it when the session ends with
   ZK_MailDisconnectPop3. Returns 1 when the reply holds "+OK", else 0 (also for NULL or an SMTP
   session, nothing sent); the code is not changed, the reply is the last response. */

ZK_EXPORT char *ZK_API ZK_MailRecv(MailHandle *handle, int32_t number);
/* Retrieves message `number` with RETR: the message as it was sent (the server's dot-stuffing
   removed; a line that exceeds any length comes whole, a CR inside it too), each line ending in
   CR LF, a zero byte ending what is kept of its line. Returns the text, to be released with ZK_MailRecvFree; NULL
   for NULL or an SMTP session (nothing sent), a status without "+OK", a message without lines,
   one larger than 1 GiB or memory exhausted (the rest is read and dropped), or a connection that
   failed or stayed silent for 8 s before the end. The code is not changed, unless the progress
   callback cancelled the retrieval (33, ZK_MailSetProgressCallback). */

ZK_EXPORT void ZK_API ZK_MailRecvFree(char *message);
/* Releases a message text from ZK_MailRecv; the same entry as ZK_SocketDeleteString. */

ZK_EXPORT int32_t ZK_API ZK_MailRecvToFileA(MailHandle *handle, int32_t number, const char *folder,
                                           const char *name);
ZK_EXPORT int32_t ZK_API ZK_MailRecvToFileW(MailHandle *handle, int32_t number, const zk_wchar_t *folder,
                                           const zk_wchar_t *name);
/* Retrieves message `number` as ZK_MailRecv does and writes it byte for byte to FOLDER\NAME.eml
   (replaced if it exists; the separator is always added). The W form converts both texts to the
   ANSI code page. Returns 1 when the whole text was written; 0 for a NULL argument; 0 with code
   12 when the folder does not exist or is a file, or 13 when the path does not fit 260 bytes
   (nothing is retrieved in either case); 0 with the code unchanged when the retrieval failed;
   0 with code 13 when the file could not be created or written whole. The process's current
   directory is never changed. */

ZK_EXPORT int32_t ZK_API ZK_MailSetProgressCallback(MailHandle *handle, ZkProgressProc callback, void *user);
/* Has the POP3 session's retrievals (ZK_MailRecv, ZK_MailRecvToFileA/W, and each message that
   ZK_MailBoxA/W fetches) report to `callback` (progress.h) with `user`: bytes of the message so
   far, and its size as the server announced it ("+OK 1234 octets"; -1 otherwise). A nonzero
   return cancels: the rest of the message is read and dropped, so that the session stays usable,
   and the call fails with code 33 (ZK_MailRecvToFileA/W writes no file). NULL stops the reports.
   Returns 1, or 0 with code 1 for NULL or an SMTP session. */

/* ---- Sending a stored message ---- */

ZK_EXPORT int32_t ZK_API ZK_MailSendFromFileA(MailHandle *handle, const char *helo, const char *file);
ZK_EXPORT int32_t ZK_API ZK_MailSendFromFileW(MailHandle *handle, const zk_wchar_t *helo, const zk_wchar_t *file);
/* Sends the message stored in `file` (Internet message form, as ZK_MailRecvToFileA/W writes it;
   up to 512 MiB, up to its first zero byte; line ends CR LF, bare LF or bare CR) over an SMTP
   session: HELO helo, MAIL FROM and RCPT TO with the addresses between "<" and ">" of its From
   and To values, DATA; then the header lines From, To, Subject and Date (the last two empty when
   absent), and MIME-Version, Content-Type, Content-Transfer-Encoding, X-Priority,
   X-MSMail-Priority, Importance, X-Unsent and X-MimeOLE where present, each as stored (encoded
   words and folding kept; a From, To or Subject holding raw 8-bit text encoded again as
   ISO-2022-JP words); then the body as stored when the transfer encoding is 7bit (none
   otherwise), dot-stuffed, with CR LF line ends. Returns 1 when the server accepted it with 250;
   0 with the code unchanged when the file is missing, empty or unreadable or lacks From or To;
   0 with code 1 (no SMTP session) or 8 to 11 as ZK_MailSendA. */

/* ---- Message header ----
   These take apart a message text as ZK_MailRecv returns it (ANSI, CR LF lines, the header up to
   the first empty line, then the body); the text is ANSI in the W forms too. Output sizes are in
   bytes (A) or UTF-16 units (W), the terminator included. */

ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderA(const char *text, char *out, int32_t size);
/* Copies the header, with the CR LF of its last line, without the empty line (the whole text
   when there is none). Returns its length in bytes; -1 for a null or empty text, and -1 with
   an empty output when the header does not fit. */

ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderW(const char *text, zk_wchar_t *out, int32_t size);
/* The same as UTF-16. Returns the units written including the terminator; -1 for a null or
   empty text or an empty header, and -1 with an empty output when the header does not fit. */

ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderTagA(const char *text, const char *tag, char *out, int32_t size);
/* The value of the field named by `tag` (with its colon, as "Subject:"; any case), from the
   first character after the blanks that follow the colon (on a continuation line when the first
   line holds none): folded lines joined by removing the line break alone, repeated fields joined
   by CR LF, MIME encoded words (B and Q; ISO-2022-JP, Shift_JIS, CP932, windows-31j, EUC-JP,
   UTF-8) decoded to the ANSI code page, the white space between two encoded words dropped and
   all other kept. Returns the value's length in bytes; 0 when the field is absent or empty; -1
   when the raw value does not fit (or the tag is null or empty). The output is all zeros beyond
   the value, and wholly on 0 and -1. */

ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderTagW(const char *text, const zk_wchar_t *tag, zk_wchar_t *out,
                                              int32_t size);
/* The same with a UTF-16 tag and output; the raw value must fit in `size` bytes as the A form
   takes it. Returns the units written including the terminator; 0 or -1 as the A form, and then
   the output is left as the caller gave it. */

ZK_EXPORT int32_t ZK_API ZK_MailGetFromA(const char *text, char *out, int32_t size);
ZK_EXPORT int32_t ZK_API ZK_MailGetFromW(const char *text, zk_wchar_t *out, int32_t size);
/* ZK_MailGetHeaderTagA/W with the tag "From:". */

ZK_EXPORT int32_t ZK_API ZK_MailGetSubjectA(const char *text, char *out, int32_t size);
ZK_EXPORT int32_t ZK_API ZK_MailGetSubjectW(const char *text, zk_wchar_t *out, int32_t size);
/* ZK_MailGetHeaderTagA/W with the tag "Subject:". */

ZK_EXPORT int32_t ZK_API ZK_MailGetContentTypeA(const char *text, char *out, int32_t size);
ZK_EXPORT int32_t ZK_API ZK_MailGetContentTypeW(const char *text, zk_wchar_t *out, int32_t size);
/* ZK_MailGetHeaderTagA/W with the tag "Content-type:". */

ZK_EXPORT int32_t ZK_API ZK_MailGetTransferEncodeA(const char *text, char *out, int32_t size);
ZK_EXPORT int32_t ZK_API ZK_MailGetTransferEncodeW(const char *text, zk_wchar_t *out, int32_t size);
/* ZK_MailGetHeaderTagA/W with the tag "Content-transfer-encoding:". */

ZK_EXPORT int32_t ZK_API ZK_MailGetDate(const char *text, MailDate *date);
/* Reads the Date field, as "Tue, 15 Nov 1994 08:12:31 +0900" and the forms mailers write besides
   (no weekday, blanks, folds and comments anywhere between the parts, a one-digit day, no
   seconds, numeric or named zones), into *date (all zeros first). Returns the length of the Date
   value; 0 when there is none; -1 when it does not fit 1024 bytes, is no date (every field must
   lie in its range) or date is NULL, the fields then 0. */

/* ---- Message body ---- */

ZK_EXPORT int32_t ZK_API ZK_MailGetBodyA(const char *text, char *out, int32_t size);
/* The body of a message whose Content-Transfer-Encoding is 7bit or absent: from the CR LF of the
   empty line that ends the header to the end of the text, converted from the Content-Type charset
   (ISO-2022-JP with its half-width katakana, Shift_JIS, EUC-JP, UTF-8; none: as it stands) to
   ANSI text. A multipart body comes whole. Returns its length in bytes; 0 when the text has no
   empty line or the body does not convert; -2 for an empty text or any other transfer encoding
   (the output untouched); -1 with an empty output when the body, as it stands in the text, is
   not shorter than `size` bytes. */

ZK_EXPORT int32_t ZK_API ZK_MailGetBodyW(const char *text, zk_wchar_t *out, int32_t size);
/* The same as UTF-16 (`size` in units; the body must be shorter than `size` bytes as it stands
   in the text). Returns the units before the terminator; 0, -2 and -1 as the A form. */

ZK_EXTERN_C_END

#endif /* ZKNET_MAIL_H */
