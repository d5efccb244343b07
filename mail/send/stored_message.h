// stored_message.h -- sending a message that lies in a file in Internet message form over an open
// SMTP session: the envelope from its own From and To, a chosen set of its header lines rebuilt,
// then its body, all as wire text (CR LF, dot-stuffed) with the server's final reply judged.
#ifndef ZK_MAIL_SEND_STORED_MESSAGE_H
#define ZK_MAIL_SEND_STORED_MESSAGE_H

#include <cstddef>
#include <string>

#include "mail/mail_session.h"

// The stored bytes as they are read and sent: up to the first zero byte, a last space that
// follows a line break dropped, every line end (CR LF, bare LF or bare CR) made CR LF, so that
// the header lookup sees the lines of a file written with bare LF too.
std::string StoredMessageText(const char *bytes, size_t length);

// The whole send of a text made by StoredMessageText: From and To looked up (none, or one that
// does not fit 640 bytes: 0 and nothing sent), the envelope (0 with codes 1, 8 to 11), the header
// lines, the body. 1 when the server accepted the message with 250.
int SendStoredMessage(MailHandle *handle, const char *helo, const char *text, size_t length);

// From, To, Subject and Date always (Subject and Date empty when absent), then MIME-Version,
// Content-Type, Content-Transfer-Encoding, X-Priority, X-MSMail-Priority, Importance, X-Unsent
// and X-MimeOLE where the message has them; each as the message holds it, whole, its encoded
// words and folding kept (several occurrences as one field). A From, To or Subject that holds
// 8-bit bytes is read as the header lookup reads it and encoded again as ISO-2022-JP words, so
// that no header line goes out with raw 8-bit text. All of them in one send. 0 (MailLastError 11)
// when they do not go out whole.
int SendStoredHeaders(MailHandle *handle, const char *text);

// The body of a 7bit message as it stands in the text (from the empty line that ends the header;
// no body for any other transfer encoding), dot-stuffed, with the end of the data, in one send;
// then the final reply (waited for up to kMailFinalReplyTimeoutMs). 1 when it begins with 250; 0
// with MailLastError 11 when the body did not go out whole or the reply is missing or refuses.
int SendStoredBody(MailHandle *handle, const char *text, size_t length);

#endif  // ZK_MAIL_SEND_STORED_MESSAGE_H
