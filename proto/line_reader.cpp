// line_reader.cpp -- lines read by peeking first, so that no byte past a line's end is taken.
#include "proto/line_reader.h"

#include <cstring>

#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

// A peek copies what it looks at; looking at much more than a typical line costs more than it saves.
constexpr int32_t kPeekBytes = 1024;
// What an overlong line may drop before the connection counts as broken.
constexpr int64_t kMostDropped = 16 * 1024 * 1024;

bool Take(SocketHandle *connection, char *into, int32_t count) {
    return win::recv(connection->socket, into, count, 0) == count;
}

}  // namespace

int32_t ProtoReadLinePiece(SocketHandle *connection, char *buffer, int32_t size, const ProtoDeadline &deadline,
                           bool *complete) {
    *complete = false;
    if (connection == nullptr || buffer == nullptr || size < 1) return -1;
    buffer[0] = '\0';
    int32_t stored = 0;
    bool failed = false;
    // A CR taken as the last byte waiting: the end of the line if an LF follows, else data.
    bool held_cr = false;
    for (;;) {
        DWORD left = deadline.Left();
        if (left == 0 || win::WaitReadable(connection->socket, left) != 1) {
            failed = true;
            break;
        }
        char look[kPeekBytes];
        int32_t room = size - 1 - stored;
        // Two bytes more than fit, so that a line ending right at the buffer's end is seen
        // complete with its CR LF.
        int32_t want = room + 2 < kPeekBytes ? room + 2 : kPeekBytes;
        int n = win::recv(connection->socket, look, want, win::kMsgPeek);
        if (n <= 0) {
            // The peer closed: a piece already begun is a last line without its line end.
            failed = n < 0 || (stored == 0 && !held_cr);
            *complete = !failed;
            break;
        }
        if (held_cr) {
            held_cr = false;
            if (look[0] == '\n') {
                failed = !Take(connection, look, 1);
                *complete = !failed;
                break;
            }
            buffer[stored++] = '\r';
            continue;
        }
        const char *lf = static_cast<const char *>(std::memchr(look, '\n', static_cast<size_t>(n)));
        if (lf != nullptr) {
            int32_t line_bytes = static_cast<int32_t>(lf - look);
            int32_t body = line_bytes > 0 && look[line_bytes - 1] == '\r' ? line_bytes - 1 : line_bytes;
            if (body <= room) {
                // The rest of the line fits: take it with its line end.
                failed = !Take(connection, look, line_bytes + 1);
                if (!failed) {
                    std::memcpy(buffer + stored, look, static_cast<size_t>(body));
                    stored += body;
                    *complete = true;
                }
                break;
            }
            // Only part of the line fits; none of its line end is taken.
            if (room > 0) {
                failed = !Take(connection, buffer + stored, room);
                if (!failed) stored += room;
            }
            break;
        }
        int32_t take = n < room ? n : room;
        if (take == 0) break;  // the buffer is full: the line goes on in the next piece
        if (take == n && look[n - 1] == '\r') {
            // The CR may be the first half of the line end: taken, but kept apart.
            if ((take > 1 && !Take(connection, buffer + stored, take - 1)) || !Take(connection, look, 1)) {
                failed = true;
                break;
            }
            stored += take - 1;
            held_cr = true;
            continue;
        }
        if (!Take(connection, buffer + stored, take)) {
            failed = true;
            break;
        }
        stored += take;
        if (stored == size - 1) break;
    }
    buffer[stored] = '\0';
    return failed ? -1 : stored;
}

int32_t ProtoReadLineBy(SocketHandle *connection, char *buffer, int32_t size, const ProtoDeadline &deadline,
                        bool *overlong) {
    if (overlong != nullptr) *overlong = false;
    bool complete = false;
    int32_t stored = ProtoReadLinePiece(connection, buffer, size, deadline, &complete);
    if (stored < 0 || complete) return stored;
    char rest[1024];
    for (int64_t dropped = 0; dropped < kMostDropped; dropped += sizeof(rest)) {
        if (overlong != nullptr) *overlong = true;
        if (ProtoReadLinePiece(connection, rest, sizeof(rest), deadline, &complete) < 0) return -1;
        if (complete) return stored;
    }
    return -1;
}

int32_t ProtoReadLine(SocketHandle *connection, char *buffer, int32_t size, uint32_t timeout_ms, bool *overlong) {
    return ProtoReadLineBy(connection, buffer, size, ProtoDeadline::After(timeout_ms), overlong);
}
