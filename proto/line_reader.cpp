// line_reader.cpp -- lines cut out of the connection's buffer, so that no byte past a line's end
// is taken.
#include "proto/line_reader.h"

#include <cstring>

namespace {

// What an overlong line may drop before the connection counts as broken.
constexpr int64_t kMostDropped = 16 * 1024 * 1024;

}  // namespace

int32_t ProtoReadLinePiece(ProtoTransport *connection, char *buffer, int32_t size, const ProtoDeadline &deadline,
                           bool *complete) {
    *complete = false;
    if (connection == nullptr || buffer == nullptr || size < 1) return -1;
    buffer[0] = '\0';
    int32_t stored = 0;
    // A CR that ended the bytes received so far: the end of the line if an LF follows, else data.
    bool held_cr = false;
    for (;;) {
        int32_t waiting = ProtoFill(connection, deadline, nullptr);
        if (waiting < 0) return -1;
        if (waiting == 0) {
            // The peer ended the stream: a piece already begun is a last line without its line end.
            if (stored == 0 && !held_cr) return -1;
            *complete = true;
            break;
        }
        const char *look = ProtoBuffered(connection, &waiting);
        if (held_cr) {
            held_cr = false;
            if (look[0] == '\n') {
                ProtoTake(connection, 1);
                *complete = true;
                break;
            }
            buffer[stored++] = '\r';
            if (stored == size - 1) break;
            continue;
        }
        int32_t room = size - 1 - stored;
        const char *lf = static_cast<const char *>(std::memchr(look, '\n', static_cast<size_t>(waiting)));
        if (lf != nullptr) {
            int32_t line_bytes = static_cast<int32_t>(lf - look);
            int32_t body = line_bytes > 0 && look[line_bytes - 1] == '\r' ? line_bytes - 1 : line_bytes;
            if (body <= room) {
                // The rest of the line fits: taken with its line end.
                std::memcpy(buffer + stored, look, static_cast<size_t>(body));
                stored += body;
                ProtoTake(connection, line_bytes + 1);
                *complete = true;
                break;
            }
            // Only part of the line fits; none of its line end is taken.
            std::memcpy(buffer + stored, look, static_cast<size_t>(room));
            stored += room;
            ProtoTake(connection, room);
            break;
        }
        int32_t take = waiting < room ? waiting : room;
        if (take == 0) break;  // the buffer is full: the line goes on in the next piece
        if (take == waiting && look[waiting - 1] == '\r') {
            // The CR may be the first half of the line end: taken, but kept apart.
            std::memcpy(buffer + stored, look, static_cast<size_t>(take - 1));
            stored += take - 1;
            ProtoTake(connection, take);
            held_cr = true;
            continue;
        }
        std::memcpy(buffer + stored, look, static_cast<size_t>(take));
        stored += take;
        ProtoTake(connection, take);
        if (stored == size - 1) break;
    }
    buffer[stored] = '\0';
    return stored;
}

int32_t ProtoReadLineBy(ProtoTransport *connection, char *buffer, int32_t size, const ProtoDeadline &deadline,
                        bool *overlong) {
    if (overlong != nullptr) *overlong = false;
    bool complete = false;
    int32_t stored = ProtoReadLinePiece(connection, buffer, size, deadline, &complete);
    if (stored < 0 || complete) return stored;
    char rest[1024];
    for (int64_t dropped = 0; dropped < kMostDropped;) {
        int32_t more = ProtoReadLinePiece(connection, rest, sizeof(rest), deadline, &complete);
        // A last line that filled the buffer exactly as the peer closed is whole.
        if (more < 0) return connection->ended ? stored : -1;
        if (more > 0 && overlong != nullptr) *overlong = true;
        if (complete) return stored;
        dropped += more > 0 ? more : 1;
    }
    return -1;
}

int32_t ProtoReadLine(ProtoTransport *connection, char *buffer, int32_t size, uint32_t timeout_ms, bool *overlong) {
    return ProtoReadLineBy(connection, buffer, size, ProtoDeadline::After(timeout_ms), overlong);
}
