// command.cpp -- formatting and sending command lines.
#include "proto/command.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "proto/deadline.h"
#include "socket/socket_handle.h"
#include "socket/text_helpers.h"

namespace {

// WC_NO_BEST_FIT_CHARS: an unmappable character is reported, not replaced by a look-alike.
constexpr DWORD kNoBestFitChars = 0x400;
// What one send is given at most (a send's length is a 32-bit count).
constexpr int64_t kMostPerSend = 1 << 30;

}  // namespace

bool HasLineBreakA(const char *text) {
    return text != nullptr && (std::strchr(text, '\r') != nullptr || std::strchr(text, '\n') != nullptr);
}

bool HasLineBreakW(const zk_wchar_t *text) {
    if (text == nullptr) return false;
    for (; *text != 0; ++text) {
        if (*text == u'\r' || *text == u'\n') return true;
    }
    return false;
}

int32_t ProtoFormatCommandA(char *line, const char *verb, const char *argument) {
    line[0] = '\0';
    if (verb == nullptr) verb = "";
    if (argument == nullptr) argument = "";
    size_t needed = std::strlen(verb) + (argument[0] != '\0' ? 1 + std::strlen(argument) : 0) + 2;
    if (HasLineBreakA(verb) || HasLineBreakA(argument) || needed > static_cast<size_t>(kProtoLineLimit - 1)) return -1;
    return argument[0] != '\0' ? win::FormatA(line, kProtoLineLimit, "%s %s\r\n", verb, argument)
                               : win::FormatA(line, kProtoLineLimit, "%s\r\n", verb);
}

int32_t ProtoFormatCommandW(char *line, const zk_wchar_t *verb, const zk_wchar_t *argument) {
    line[0] = '\0';
    static const zk_wchar_t kEmpty[1] = {0};
    if (verb == nullptr) verb = kEmpty;
    if (argument == nullptr) argument = kEmpty;
    int32_t verb_units = WideLength(verb);
    int32_t argument_units = WideLength(argument);
    int32_t units = verb_units + (argument_units > 0 ? 1 + argument_units : 0) + 2;
    if (HasLineBreakW(verb) || HasLineBreakW(argument) || units > kProtoLineLimit - 1) return -1;
    std::vector<zk_wchar_t> wide;
    wide.reserve(static_cast<size_t>(units) + 1);
    wide.insert(wide.end(), verb, verb + verb_units);
    if (argument_units > 0) {
        wide.push_back(u' ');
        wide.insert(wide.end(), argument, argument + argument_units);
    }
    wide.push_back(u'\r');
    wide.push_back(u'\n');
    wide.push_back(0);
    // The narrow line may take two bytes a character; it must still fit the limit.
    std::vector<char> narrow(static_cast<size_t>(units) * 2 + 1, '\0');
    BOOL lossy = 0;
    int n = win::WideCharToMultiByte(win::kCpAcp, kNoBestFitChars, reinterpret_cast<const WCHAR *>(wide.data()), -1,
                                     narrow.data(), static_cast<int>(narrow.size()), nullptr, &lossy);
    if (n <= 1 || lossy || n > kProtoLineBytes) return -1;
    std::memcpy(line, narrow.data(), static_cast<size_t>(n));
    return n - 1;
}

void ProtoDropLate(SocketHandle *connection) {
    if (connection == nullptr) return;
    char sink[4096];
    // Bounded: a server that keeps sending cannot hold the command back for long.
    for (int rounds = 0; rounds < 256; ++rounds) {
        unsigned long waiting = 0;
        if (win::ioctlsocket(connection->socket, win::kFionRead, &waiting) != 0 || waiting == 0) return;
        int ask = waiting < sizeof(sink) ? static_cast<int>(waiting) : static_cast<int>(sizeof(sink));
        if (win::recv(connection->socket, sink, ask, 0) <= 0) return;
    }
}

namespace {

// Sends with the connection in non-blocking mode, so that a send never waits inside the system:
// whatever the connection takes at once goes, and for the rest it waits for room, at most
// `silence_ms` since the last byte was taken.
bool SendWithin(SocketHandle *connection, const char *data, int64_t length, uint32_t silence_ms) {
    if (win::SetSocketBlocking(connection->socket, false) != 0) return false;
    ProtoDeadline deadline = ProtoDeadline::After(silence_ms);
    bool sent_all = true;
    while (length > 0) {
        int32_t piece = static_cast<int32_t>(length < kMostPerSend ? length : kMostPerSend);
        int32_t sent = ZK_SocketSend(connection, data, piece);
        if (sent > 0) {
            data += sent;
            length -= sent;
            deadline = ProtoDeadline::After(silence_ms);
            continue;
        }
        if (sent == 0 || win::WSAGetLastError() != win::kWsaeWouldBlock) {
            sent_all = false;
            break;
        }
        win::SocketWait wait{connection->socket, win::kWaitWritable, 0, true};
        DWORD left = deadline.Left();
        if (left == 0 || win::WaitSockets(&wait, 1, nullptr, left) != 1) {
            win::WSASetLastError(win::kWsaeTimedOut);
            sent_all = false;
            break;
        }
    }
    int code = win::WSAGetLastError();
    win::SetSocketBlocking(connection->socket, true);
    win::WSASetLastError(code);
    return sent_all;
}

}  // namespace

bool ProtoSendAll(SocketHandle *connection, const char *data, int64_t length, uint32_t silence_ms) {
    if (connection == nullptr || length < 0 || (data == nullptr && length > 0)) return false;
    if (silence_ms != 0) return SendWithin(connection, data, length, silence_ms);
    while (length > 0) {
        int32_t piece = static_cast<int32_t>(length < kMostPerSend ? length : kMostPerSend);
        int32_t sent = ZK_SocketSend(connection, data, piece);
        if (sent <= 0) return false;
        data += sent;
        length -= sent;
    }
    return true;
}

bool ProtoSendCommand(SocketHandle *connection, const char *line, int32_t length, uint32_t silence_ms) {
    if (connection == nullptr || length <= 0) return false;
    ProtoDropLate(connection);
    return ProtoSendAll(connection, line, length, silence_ms);
}
