// echo.cpp -- the echo of a command line, recognised by comparing what arrived with what was sent.
//
// Reading back as many bytes as were sent would eat the start of the next output whenever the host
// does not echo (a password line), so the bytes are only looked at until they prove to be the echo.
#include "telnet/echo.h"

#include <cstring>

#include "telnet/peek.h"

namespace {

// The echo of the line end: CR LF, CR NUL LF, or a CR or LF alone.
constexpr int32_t kBreakBytes = 3;

// An echo that has begun but is incomplete gets this long to go on before it is given up as not
// being an echo at all (it is then left for the receive, where it shows as a line).
constexpr DWORD kEchoPauseMs = 500;
constexpr DWORD kPollMs = 20;

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

// Whether more than `seen` bytes wait on the socket within the pause.
bool MoreArrives(SocketHandle *socket, int32_t seen) {
    for (DWORD waited = 0; waited < kEchoPauseMs; waited += kPollMs) {
        int32_t arrived = ArrivedCount(socket);
        if (arrived < 0) return false;
        if (arrived > seen) return true;
        win::Sleep(kPollMs);
    }
    return false;
}

// Takes `count` bytes that are known to wait on the socket.
bool Consume(SocketHandle *socket, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        char byte;
        if (ZK_SocketRecvOne(socket, &byte, 0) != 1) return false;
    }
    return true;
}

}  // namespace

bool TakeBackEcho(SocketHandle *socket, const char *command, int32_t length) {
    if (length < 0 || length > kMaxCommandLength) return false;
    char seen_bytes[kMaxCommandLength + kBreakBytes];
    const int32_t want = length + kBreakBytes;
    int32_t seen = PeekArrived(socket, seen_bytes, want);
    if (seen <= 0) return false;
    for (;;) {
        const int32_t compared = seen < length ? seen : length;
        if (std::memcmp(seen_bytes, command, static_cast<size_t>(compared)) != 0) return true;
        if (seen > length) break;
        if (!MoreArrives(socket, seen)) return true;
        int32_t again = PeekArrived(socket, seen_bytes, want);
        if (again <= seen) return true;
        seen = again;
    }
    if (!IsBreak(seen_bytes[length])) return true;  // the output merely starts like the command
    // Only one line end is the echo's; a blank line of output after it stays.
    int32_t end = length + 1;
    if (seen_bytes[length] == '\r') {
        if (end < seen && seen_bytes[end] == '\0') ++end;
        if (end < seen && seen_bytes[end] == '\n') ++end;
    }
    return Consume(socket, end);
}
