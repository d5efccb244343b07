/* mail.h -- the ZK_Mail family: SMTP sending, POP3 receiving and message extraction. */
#ifndef ZKNET_MAIL_H
#define ZKNET_MAIL_H

#include "zkconf.h"

ZK_EXTERN_C_BEGIN

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
    uint16_t month;  /* 1 to 12; 65535 for a month name that is none of Jan to Dec */
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
} MailDate;

ZK_EXPORT void ZK_API ZK_MailRecvFree(char *message);
/* Releases a message text from ZK_MailRecv; the same entry as ZK_SocketDeleteString. */

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
/* The value of the field named by `tag` (with its colon, as "Subject:"; any case): folded lines
   joined without their line break and leading blanks, repeated fields joined by CR LF, MIME
   encoded words decoded to Shift_JIS. The character after the colon is passed over whatever it
   is. Returns the value's length in bytes; 0 when the field is absent or its first line is
   empty; -1 when the raw value does not fit (or the tag is null or empty). The output is all
   zeros beyond the value, and wholly on 0 and -1. */

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
/* Reads the Date field, expected as "Tue, 15 Nov 1994 08:12:31 +0900", by position into *date
   (all zeros first). Returns the length of the Date value; 0 when there is none and -1 when it
   does not fit 1024 bytes (or date is NULL), the fields then 0. */

/* ---- Message body ---- */

ZK_EXPORT int32_t ZK_API ZK_MailGetBodyA(const char *text, char *out, int32_t size);
/* The body of a message whose Content-Transfer-Encoding is 7bit: from the CR LF of the empty line
   that ends the header to the end of the text, converted from the Content-Type charset
   (ISO-2022-JP, Shift_JIS, EUC-JP, UTF-8; none: as it stands) to ANSI text. A multipart body
   comes whole. Returns its length in bytes; 0 when the text has no empty line or the body does
   not convert; -2 for any other transfer encoding or none (the output untouched); -1 with an
   empty output when the body, as it stands in the text, is not shorter than `size` bytes. */

ZK_EXPORT int32_t ZK_API ZK_MailGetBodyW(const char *text, zk_wchar_t *out, int32_t size);
/* The same as UTF-16 (`size` in units; the body must be shorter than `size` bytes as it stands
   in the text). Returns the units before the terminator; 0, -2 and -1 as the A form. */

ZK_EXTERN_C_END

#endif /* ZKNET_MAIL_H */
