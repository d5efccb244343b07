// ftp_exchange.cpp -- one command line out, one reply in: the control-channel engine of every FTP
// operation. Replies are judged by containment, as servers prefix their codes inconsistently.
#include "ftp/ftp_exchange.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "ftp/ftp_text.h"
#include "platform/platform.h"
#include "socket/socket_handle.h"
#include "socket/text_helpers.h"

namespace {

// wsprintf writes at most 1024 characters with the terminator; a longer line would lose its
// CR LF and run into the next command, so it is never sent.
constexpr int32_t kLineLimit = 1024;
// WC_NO_BEST_FIT_CHARS: an unmappable character is reported, not replaced by a look-alike.
constexpr DWORD kNoBestFitChars = 0x400;

// A reply line longer than the buffer must not stay half-read: its rest would be taken as the
// answer to the next command and put every later judgement one reply behind. The rest of the line
// is read and dropped (at most 64 KiB of it); a CR dropped just before the buffer filled may leave
// its LF behind, which is taken too.
void DropRestOfLine(SocketHandle *control, int32_t length, int32_t size, uint32_t timeout_ms) {
    if (length == size - 1) {
        char c = 0;
        for (int32_t dropped = 0; dropped < 65536; ++dropped) {
            if (ZK_SocketRecvOne(control, &c, timeout_ms) != 1 || c == '\n') return;
        }
    } else if (length == size - 2) {
        unsigned long waiting = 0;
        char c = 0;
        if (win::ioctlsocket(control->socket, win::kFionRead, &waiting) == 0 && waiting > 0 &&
            win::recv(control->socket, &c, 1, win::kMsgPeek) == 1 && c == '\n') {
            win::recv(control->socket, &c, 1, 0);
        }
    }
}

// Reads the reply text into `buffer` and the last-response store; the length read, below 1 when
// nothing arrived.
int32_t ReceiveReply(SocketHandle *control, char *buffer, int32_t size, uint32_t timeout_ms, bool whole) {
    std::memset(buffer, 0, static_cast<size_t>(size));
    int32_t length = -1;
    if (control != nullptr) {
        if (whole) {
            // The login replies: wait for the first bytes without a limit, then take everything
            // that keeps arriving (continuation lines included).
            int32_t received = 0;
            char *text = ZK_SocketRecvString(control, &received, 0);
            if (text != nullptr) {
                length = CopyCutA(buffer, size, text);
                ZK_SocketDeleteString(text);
            }
        } else {
            length = ZK_SocketRecvStringLine(control, buffer, size, timeout_ms);
            DropRestOfLine(control, length, size, timeout_ms);
        }
    }
    FtpRecordResponse(buffer);
    return length;
}

bool SendLine(SocketHandle *control, const char *line, int32_t length) {
    return control != nullptr && length > 0 && ZK_SocketSend(control, line, length) == length;
}

}  // namespace

int FtpReadReplyA(SocketHandle *control, char *buffer, int32_t size, const char *expected, uint32_t timeout_ms,
                  bool whole) {
    char fallback[kFtpReplySize];
    if (buffer == nullptr || size <= 0) {
        buffer = fallback;
        size = kFtpReplySize;
    }
    if (ReceiveReply(control, buffer, size, timeout_ms, whole) < 1) return 3;
    return ContainsNoCaseA(buffer, expected) ? 0 : 5;
}

int FtpReadReplyW(SocketHandle *control, zk_wchar_t *buffer, int32_t size, const zk_wchar_t *expected,
                  uint32_t timeout_ms, bool whole) {
    zk_wchar_t fallback[kFtpReplySize];
    if (buffer == nullptr || size <= 0) {
        buffer = fallback;
        size = kFtpReplySize;
    }
    buffer[0] = 0;
    std::vector<char> narrow(static_cast<size_t>(size) * 2, '\0');
    if (ReceiveReply(control, narrow.data(), static_cast<int32_t>(narrow.size()), timeout_ms, whole) < 1) return 3;
    // Judged on the whole converted reply; the caller's buffer gets as much of it as fits.
    std::vector<zk_wchar_t> wide(narrow.size() + 1, 0);
    AnsiToWideCut(narrow.data(), wide.data(), static_cast<int32_t>(wide.size()));
    CopyCutW(buffer, size, wide.data());
    return ContainsNoCaseW(wide.data(), expected) ? 0 : 5;
}

int FtpCommandA(SocketHandle *control, const char *verb, const char *argument, const char *expected, char *reply,
                int32_t reply_size, bool whole) {
    if (reply != nullptr && reply_size > 0) reply[0] = '\0';
    if (verb == nullptr) verb = "";
    if (argument == nullptr) argument = "";
    size_t needed = std::strlen(verb) + (argument[0] != '\0' ? 1 + std::strlen(argument) : 0) + 2;
    if (HasLineBreakA(verb) || HasLineBreakA(argument) || needed > static_cast<size_t>(kLineLimit - 1)) {
        FtpLastError = 4;
        return 0;
    }
    char line[kLineLimit + 1];
    int32_t length = argument[0] != '\0' ? win::FormatA(line, sizeof(line), "%s %s\r\n", verb, argument)
                                         : win::FormatA(line, sizeof(line), "%s\r\n", verb);
    if (!SendLine(control, line, length)) {
        FtpLastError = 4;
        return 0;
    }
    char work[kFtpReplySize];
    int rc = FtpReadReplyA(control, work, kFtpReplySize, expected, kFtpReplyTimeoutMs, whole);
    if (rc != 0) FtpLastError = static_cast<uint32_t>(rc);
    if (reply != nullptr) CopyCutA(reply, reply_size, work);
    return rc == 0 ? 1 : 0;
}

int FtpCommandW(SocketHandle *control, const zk_wchar_t *verb, const zk_wchar_t *argument,
                const zk_wchar_t *expected, zk_wchar_t *reply, int32_t reply_units, bool whole) {
    if (reply != nullptr && reply_units > 0) reply[0] = 0;
    static const zk_wchar_t kEmpty[1] = {0};
    if (verb == nullptr) verb = kEmpty;
    if (argument == nullptr) argument = kEmpty;
    int32_t verb_units = WideLength(verb);
    int32_t argument_units = WideLength(argument);
    int32_t units = verb_units + (argument_units > 0 ? 1 + argument_units : 0) + 2;
    if (HasLineBreakW(verb) || HasLineBreakW(argument) || units > kLineLimit - 1) {
        FtpLastError = 4;
        return 0;
    }
    std::vector<zk_wchar_t> line;
    line.reserve(static_cast<size_t>(units) + 1);
    line.insert(line.end(), verb, verb + verb_units);
    if (argument_units > 0) {
        line.push_back(u' ');
        line.insert(line.end(), argument, argument + argument_units);
    }
    line.push_back(u'\r');
    line.push_back(u'\n');
    line.push_back(0);
    // A character the ANSI code page cannot hold would go out as '?' and name another file (or
    // a pattern); such a line is not sent.
    std::vector<char> narrow(static_cast<size_t>(units) * 2 + 1, '\0');
    BOOL lossy = 0;
    int n = win::WideCharToMultiByte(win::kCpAcp, kNoBestFitChars, reinterpret_cast<const WCHAR *>(line.data()), -1, narrow.data(),
                                     static_cast<int>(narrow.size()), nullptr, &lossy);
    if (n <= 1 || lossy || !SendLine(control, narrow.data(), n - 1)) {
        FtpLastError = 4;
        return 0;
    }
    zk_wchar_t work[kFtpReplySize];
    int rc = FtpReadReplyW(control, work, kFtpReplySize, expected, kFtpReplyTimeoutMs, whole);
    if (rc != 0) FtpLastError = static_cast<uint32_t>(rc);
    if (reply != nullptr) CopyCutW(reply, reply_units, work);
    return rc == 0 ? 1 : 0;
}

int FtpSetType(FtpSession *session, uint32_t binary) {
    int ok = FtpCommandA(session->control, "TYPE", binary != 0 ? "I" : "A", "200", nullptr, 0, false);
    if (!ok && FtpLastError == 5) FtpLastError = 16;
    return ok;
}

namespace {
template <typename Unit>
bool IsNegative(const Unit *reply) {
    if (reply == nullptr) return false;
    for (int i = 0; i < 3; ++i) {
        if (reply[i] < '0' || reply[i] > '9') return false;
    }
    return reply[0] == '4' || reply[0] == '5';
}
}  // namespace

bool FtpIsNegativeReplyA(const char *reply) { return IsNegative(reply); }
bool FtpIsNegativeReplyW(const zk_wchar_t *reply) { return IsNegative(reply); }
