// mail_session.h -- the record behind a mail session handle (SMTP or POP3), and the family's
// process-wide last error and last reply.
#ifndef ZK_MAIL_MAIL_SESSION_H
#define ZK_MAIL_MAIL_SESSION_H

#include <cstdint>

#include "zknet/mail.h"
#include "zknet/socket.h"

constexpr int32_t kMailReplySize = ZK_MAIL_RESPONSE_SIZE;
constexpr int32_t kMailFieldSize = 260;
// Every reply line waits at most this long.
constexpr uint32_t kMailReplyTimeoutMs = 8000;

struct MailHandle {
    SocketHandle *smtpSocket;  // the connection of an SMTP session; null in a POP3 session
    SocketHandle *pop3Socket;  // the connection of a POP3 session; null in an SMTP session
    char xMailer[kMailFieldSize];      // "X-Mailer: ...\n"
    char contentType[kMailFieldSize];  // "Content-Type: ...;\n\t...\n", lines ending in LF
};

// The family's error code and last reply line, one for the whole process.
extern uint32_t MailLastError;
extern char MailLastResponse[kMailReplySize];

// MailLastResponse = text, cut to fit at a character boundary.
void MailRecordResponse(const char *text);

// A zero-filled handle, or null when memory runs out; MailFreeHandle releases it (null ignored).
MailHandle *MailNewHandle();
void MailFreeHandle(MailHandle *handle);

#endif  // ZK_MAIL_MAIL_SESSION_H
