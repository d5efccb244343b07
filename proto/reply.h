// reply.h -- reading a server's reply to its end: FTP and SMTP continue a reply over several
// lines ("ddd-" up to the line that begins "ddd "), POP3 answers with one status line. What
// stays is the final line, which is what a client judges and keeps as the server's last words.
#ifndef ZK_PROTO_REPLY_H
#define ZK_PROTO_REPLY_H

#include <cstdint>

#include "zknet/socket.h"

// How a protocol frames its replies.
enum ProtoFraming : int {
    kProtoOneLine = 0,     // the first line is the whole reply
    kProtoCodedLines = 1,  // "ddd-" opens a reply that ends with the line beginning "ddd "
};

// Reads one reply and leaves its final line in `buffer` (cut to size-1 bytes at a character
// boundary; an overlong line is read to its end). Each line waits at most `timeout_ms` (0: no
// limit). Returns the final line's length, or -1 when no reply, or no complete reply, arrived.
int32_t ProtoReadReply(SocketHandle *connection, char *buffer, int32_t size, uint32_t timeout_ms,
                       ProtoFraming framing);

// Whether a line opens a multi-line reply ("ddd-"); `code` gets its three digits.
bool ProtoOpensContinuation(const char *line, char code[4]);

// Whether a line ends the reply that `code` opened ("ddd " or "ddd" alone).
bool ProtoEndsContinuation(const char *line, const char code[4]);

#endif  // ZK_PROTO_REPLY_H
