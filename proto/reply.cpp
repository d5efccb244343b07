// reply.cpp -- a reply read to its final line.
#include "proto/reply.h"

#include <cstring>
#include <vector>

#include "proto/deadline.h"
#include "proto/line_reader.h"
#include "socket/cut_text.h"
#include "socket/trace.h"

namespace {

// A reply longer than this many lines is not a reply but a fault of the server's.
constexpr int kMostLines = 100000;
constexpr size_t kMostKept = 64 * 1024;
// Room for a line being read: the final line is cut to the caller's buffer afterwards, at a
// character boundary (a line reader's cut may fall inside a double-byte character).
constexpr int32_t kLineRoom = 2048;

template <typename Unit>
bool IsDigit(Unit c) { return c >= '0' && c <= '9'; }

template <typename Unit>
Unit Upper(Unit c) { return c >= 'a' && c <= 'z' ? static_cast<Unit>(c - 'a' + 'A') : c; }

template <typename Unit>
bool ReplyIs(const Unit *line, const Unit *expected) {
    if (expected == nullptr || expected[0] == 0) return true;
    if (line == nullptr) return false;
    size_t i = 0;
    for (; expected[i] != 0; ++i) {
        if (Upper(line[i]) != Upper(expected[i])) return false;  // a shorter line stops at its terminator
    }
    return !(IsDigit(expected[i - 1]) && IsDigit(line[i]));
}

}  // namespace

bool ProtoOpensContinuation(const char *line, char code[4]) {
    if (line == nullptr || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]) || line[3] != '-') return false;
    std::memcpy(code, line, 3);
    code[3] = '\0';
    return true;
}

bool ProtoEndsContinuation(const char *line, const char code[4]) {
    return line != nullptr && std::strncmp(line, code, 3) == 0 && (line[3] == ' ' || line[3] == '\0');
}

int32_t ProtoReadReply(ProtoTransport *connection, char *buffer, int32_t size, uint32_t timeout_ms,
                       ProtoFraming framing, std::string *every_line) {
    if (buffer == nullptr || size < 1) return -1;
    buffer[0] = '\0';
    // A caller that wants more of a long line (a deep directory's name) gets room for it.
    std::vector<char> room(static_cast<size_t>(size > kLineRoom ? size : kLineRoom));
    char *line = room.data();
    const int32_t line_room = static_cast<int32_t>(room.size());
    const ProtoDeadline deadline = ProtoDeadline::After(timeout_ms);
    const bool tracing = TraceOn();
    auto keep = [&] {
        if (tracing) TraceWrite(connection->trace_family, connection->trace_id, '<', line, std::strlen(line));
        // A server that pours out lines fills no more than this.
        if (every_line != nullptr && every_line->size() < kMostKept) every_line->append(line).push_back('\n');
    };
    if (ProtoReadLineBy(connection, line, line_room, deadline, nullptr) < 0) return -1;
    keep();
    char code[4];
    if (framing == kProtoCodedLines && ProtoOpensContinuation(line, code)) {
        for (int lines = 1;; ++lines) {
            if (lines >= kMostLines) return -1;
            if (ProtoReadLineBy(connection, line, line_room, deadline, nullptr) < 0) return -1;
            keep();
            if (ProtoEndsContinuation(line, code)) break;
        }
    }
    return CopyCutA(buffer, size, line);
}

bool ProtoReplyIsA(const char *line, const char *expected) {
    return ReplyIs(reinterpret_cast<const unsigned char *>(line), reinterpret_cast<const unsigned char *>(expected));
}

bool ProtoReplyIsW(const zk_wchar_t *line, const zk_wchar_t *expected) { return ReplyIs(line, expected); }
