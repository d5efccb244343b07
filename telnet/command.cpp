// command.cpp -- sending a command line and receiving the host's next burst of output as lines.
#include <cstring>

#include "socket/text_helpers.h"
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
    const int32_t count = kept > 0 ? SplitLines(text, kept) : 0;
    SetTelnetLastResponse(text, count);
    const int32_t built = build(text, count, list);
    ZK_SocketDeleteString(text);
    return built;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_TelnetCommandSendA(TelnetHandle *handle, const char *command) {
    if (handle == nullptr) return Fail(ZK_TELNET_NO_SESSION);
    if (command == nullptr) return Fail(ZK_TELNET_NOT_SENT);
    // A longer command would be cut by the formatting and go out without its line end.
    const size_t length = std::strlen(command);
    if (length > static_cast<size_t>(kMaxCommandLength)) return Fail(ZK_TELNET_NOT_SENT);
    char line[kMaxCommandLength + 3];
    const int32_t line_length = win::FormatA(line, sizeof(line), "%s\r\n", command);
    if (ZK_SocketSend(handle->connection, line, line_length) != line_length) return Fail(ZK_TELNET_NOT_SENT);
    if (!TakeBackEcho(handle->connection, command, static_cast<int32_t>(length))) {
        return Fail(ZK_TELNET_NOTHING_RECEIVED);
    }
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
