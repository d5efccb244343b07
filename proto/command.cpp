// command.cpp -- formatting and sending command lines.
#include "proto/command.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "socket/text_helpers.h"
#include "socket/trace.h"

namespace {

// WC_NO_BEST_FIT_CHARS: an unmappable character is reported, not replaced by a look-alike.
constexpr DWORD kNoBestFitChars = 0x400;

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

bool ProtoSendCommand(ProtoTransport *connection, const char *line, int32_t length, uint32_t silence_ms) {
    if (connection == nullptr || length <= 0) return false;
    ProtoDropWaiting(connection);
    return ProtoSendCommandKeepingReplies(connection, line, length, silence_ms);
}

bool ProtoSendCommandKeepingReplies(ProtoTransport *connection, const char *line, int32_t length,
                                    uint32_t silence_ms) {
    if (connection == nullptr || length <= 0) return false;
    if (TraceOn()) {
        TraceWrite(connection->trace_family, connection->trace_id, '>',
                   connection->trace_secret ? std::string("****") : TraceMasked(line, static_cast<size_t>(length)));
    }
    return ProtoSend(connection, line, length, silence_ms, nullptr);
}
