// mail_session.h -- the record behind a mail session handle (SMTP or POP3), and the family's
// process-wide last error and last reply.
#ifndef ZK_MAIL_MAIL_SESSION_H
#define ZK_MAIL_MAIL_SESSION_H

#include <atomic>
#include <cstdint>

#include "proto/transport.h"
#include "zknet/mail.h"

constexpr int32_t kMailReplySize = ZK_MAIL_RESPONSE_SIZE;
constexpr int32_t kMailFieldSize = 260;
// Every reply waits at most this long, and every send gives up once the server has taken no byte
// for this long.
constexpr uint32_t kMailReplyTimeoutMs = 8000;
// The reply to a message's data: a server may check a message at length before it answers, and
// a client that gives up too soon sends again what was taken (RFC 5321 advises 10 minutes).
constexpr uint32_t kMailFinalReplyTimeoutMs = 10 * 60 * 1000;

struct MailHandle {
    // The session's connection (its socket, and TLS once secured), under the field of its
    // protocol; the other is null.
    ProtoTransport *smtpSocket;  // an SMTP session's
    ProtoTransport *pop3Socket;  // a POP3 session's
    char xMailer[kMailFieldSize];      // "X-Mailer: ...\n"
    char contentType[kMailFieldSize];  // "Content-Type: ...;\n\t...\n", lines ending in LF
    // An SMTP session greeted with EHLO when it was opened (a secure connect): its messages send
    // no HELO of their own, which would start the session over, but RSET after a failed one.
    bool greeted;
    bool transactionOpen;  // a message of a greeted session failed after MAIL FROM may have been taken
    // A POP3 session's progress callback for retrievals (null: none) and its value.
    ZkProgressProc progress;
    void *progressUser;
};

// The family's error code, one for the whole process: any thread may set or read it.
extern std::atomic<uint32_t> MailLastError;

// The family's last reply line, one for the whole process (held in mail_last_error.cpp): stored
// and copied whole under a lock, so that a thread reading it while another stores never gets a
// torn or blanked text, only one reply or the other. Stored cut to fit at a character boundary.
void MailRecordResponse(const char *text);
// Copies the last reply into `dest` (`size` bytes), cut at a character boundary; its length.
int32_t MailCopyResponse(char *dest, int32_t size);

// A zero-filled handle, or null when memory runs out; MailFreeHandle releases it (null ignored).
MailHandle *MailNewHandle();
void MailFreeHandle(MailHandle *handle);

#endif  // ZK_MAIL_MAIL_SESSION_H
