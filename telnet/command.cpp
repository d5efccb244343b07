// command.cpp -- sending a command line and receiving the host's next burst of output as lines.
#include <cstring>
#include <string>

#include "telnet/command_line.h"

#include "socket/text_helpers.h"
#include "socket/trace.h"
#include "telnet/echo.h"
#include "telnet/line_text.h"
#include "telnet/telnet_session.h"

namespace {

int32_t Fail(int32_t code) {
    TelnetLastError = code;
    return 0;
}

template <typename Build>
int32_t ReceiveLines(TelnetHandle *handle, TelnetLineList *list, Build build) {
    if (handle == nullptr) return Fail(ZK_TELNET_NO_SESSION);
    if (list != nullptr) {
        list->count = 0;
        list->items = nullptr;
    }
    int32_t length = 0;
    char *text = ZK_SocketRecvString(handle->connection, &length, 0);
    if (text == nullptr || length <= 0) {
        ZK_SocketDeleteString(text);
        return Fail(ZK_TELNET_NOTHING_RECEIVED);
    }
    const int32_t kept = StripNulBytes(text, length);
    if (TraceOn()) {
        for (int32_t start = 0, i = 0; i <= kept; ++i) {
            if (i == kept || text[i] == '\n') {
                if (i > start) TraceWrite("TELNET", handle->traceId, '<', text + start, static_cast<size_t>(i - start));
                start = i + 1;
            }
        }
    }
    const int32_t count = kept > 0 ? SplitLines(text, kept) : 0;
    SetTelnetLastResponse(text, count);
    const int32_t built = build(text, count, list);
    ZK_SocketDeleteString(text);
    return built;
}

}  // namespace

int32_t TelnetCommandLine(const char *command, char *line, int32_t size) {
    if (command == nullptr || line == nullptr || size < 3) return -1;  // not even CR LF would fit
    int32_t out = 0;
    for (const char *p = command; *p != '\0'; ++p) {
        if (*p == '\r' || *p == '\n') return -1;
        const int32_t bytes = static_cast<unsigned char>(*p) == kIacByte ? 2 : 1;
        if (out + bytes > size - 3 || out + bytes > kMaxCommandLength) return -1;
        line[out++] = *p;
        if (bytes == 2) line[out++] = *p;
    }
    line[out++] = '\r';
    line[out++] = '\n';
    line[out] = '\0';
    return out;
}

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_TelnetCommandSendA(TelnetHandle *handle, const char *command) {
    if (handle == nullptr) return Fail(ZK_TELNET_NO_SESSION);
    if (command == nullptr) return Fail(ZK_TELNET_NOT_SENT);
    char line[kMaxCommandLength + 3];
    const int32_t line_length = TelnetCommandLine(command, line, static_cast<int32_t>(sizeof(line)));
    if (line_length < 0) return Fail(ZK_TELNET_NOT_SENT);
    if (TraceOn()) {
        TraceWrite("TELNET", handle->traceId, '>', handle->traceSecret ? std::string("****") : std::string(command));
    }
    if (ZK_SocketSend(handle->connection, line, line_length) != line_length) return Fail(ZK_TELNET_NOT_SENT);
    // A host that echoes sends the line back as it went out, a doubled 0xFF included.
    if (!TakeBackEcho(handle->connection, line, line_length - 2)) return Fail(ZK_TELNET_NOTHING_RECEIVED);
    return 1;
}

// The ANSI form of a character takes up to three bytes, so the command is converted into room for
// that rather than one byte per character, which Japanese text would overflow.
ZK_EXPORT int32_t ZK_API ZK_TelnetCommandSendW(TelnetHandle *handle, const zk_wchar_t *command) {
    if (handle == nullptr) return Fail(ZK_TELNET_NO_SESSION);
    if (command == nullptr) return Fail(ZK_TELNET_NOT_SENT);
    const int32_t units = WideLength(command);
    if (units > kMaxCommandLength) return Fail(ZK_TELNET_NOT_SENT);
    char narrow[3 * kMaxCommandLength + 1];
    if (WideToAnsi(command, narrow, 3 * units + 1) == 0) return Fail(ZK_TELNET_NOT_SENT);
    return ZK_TelnetCommandSendA(handle, narrow);
}

ZK_EXPORT int32_t ZK_API ZK_TelnetCommandRecvA(TelnetHandle *handle, TelnetLineList *list) {
    return ReceiveLines(handle, list, BuildLineListA);
}

ZK_EXPORT int32_t ZK_API ZK_TelnetCommandRecvW(TelnetHandle *handle, TelnetLineList *list) {
    return ReceiveLines(handle, list, BuildLineListW);
}

}  // extern "C"
