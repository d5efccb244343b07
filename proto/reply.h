// reply.h -- reading a server's reply to its end: FTP and SMTP continue a reply over several
// lines ("ddd-" up to the line that begins "ddd "), POP3 answers with one status line. What
// stays is the final line, which is what a client judges and keeps as the server's last words.
#ifndef ZK_PROTO_REPLY_H
#define ZK_PROTO_REPLY_H

#include <cstdint>
#include <string>

#include "proto/transport.h"

// How a protocol frames its replies.
enum ProtoFraming : int {
    kProtoOneLine = 0,     // the first line is the whole reply
    kProtoCodedLines = 1,  // "ddd-" opens a reply that ends with the line beginning "ddd "
};

// Reads one reply and leaves its final line in `buffer` (cut to size-1 bytes at a character
// boundary; an overlong line is read to its end). The whole reply, every line of it, must arrive
// within `timeout_ms` of the first wait (0: no limit). Returns the final line's length, or -1
// when no reply, or no complete reply, arrived in time. `every_line` (may be null) gets each line
// of the reply (up to 64 KiB in all) followed by LF: an EHLO reply names one extension a line.
int32_t ProtoReadReply(ProtoTransport *connection, char *buffer, int32_t size, uint32_t timeout_ms,
                       ProtoFraming framing, std::string *every_line = nullptr);

// Whether a reply's final line answers as `expected` says: it begins with that text, letters
// compared without case, and a numeric code is not followed by a further digit ("250" accepts
// "250 ok" and "250", not "2500" nor "554 ... 250 ..."). An empty expected text accepts any
// line. Servers word the rest of a reply freely, often quoting numbers, so only the start counts.
bool ProtoReplyIsA(const char *line, const char *expected);
bool ProtoReplyIsW(const zk_wchar_t *line, const zk_wchar_t *expected);

// Whether a line opens a multi-line reply ("ddd-"); `code` gets its three digits.
bool ProtoOpensContinuation(const char *line, char code[4]);

// Whether a line ends the reply that `code` opened ("ddd " or "ddd" alone).
bool ProtoEndsContinuation(const char *line, const char code[4]);

#endif  // ZK_PROTO_REPLY_H
