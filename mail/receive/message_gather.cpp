// message_gather.cpp -- the lines of a retrieved message gathered into one text that doubles its
// room as it grows, so that a message of any size costs time in proportion to it.
#include "mail/receive/message_gather.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kFirstRoom = 4096;

void Overflow(MessageGather *g) { DropGatheredText(g); }

// Room for `extra` more bytes and the terminator.
bool Reserve(MessageGather *g, size_t extra) {
    if (g->overflow) return false;
    size_t needed = g->length + extra + 1;
    if (needed <= g->capacity) return true;
    // The CR LF of the last line and the terminator are allowed beyond the limit.
    if (needed > kMostMessageBytes + 3) {
        Overflow(g);
        return false;
    }
    size_t room = g->capacity < kFirstRoom ? kFirstRoom : g->capacity;
    while (room < needed) room *= 2;
    if (room > kMostMessageBytes + 3) room = kMostMessageBytes + 3;
    char *grown = static_cast<char *>(std::realloc(g->text, room));
    if (grown == nullptr) {
        Overflow(g);
        return false;
    }
    g->text = grown;
    g->capacity = room;
    ++g->grown;
    return true;
}

// Bytes of the current line, kept up to a zero byte.
void KeepBytes(MessageGather *g, const char *p, size_t n) {
    if (n == 0) return;
    g->line_has_bytes = true;
    if (g->line_cut || g->overflow) return;
    if (const void *zero = std::memchr(p, '\0', n)) {
        n = static_cast<size_t>(static_cast<const char *>(zero) - p);
        g->line_cut = true;
    }
    if (n == 0 || !Reserve(g, n)) return;
    std::memcpy(g->text + g->length, p, n);
    g->length += n;
    g->text[g->length] = '\0';
}

// A piece of the current line (no LF in it). A CR at its end is held back until the next byte
// shows whether it is the CR of the line end or one inside the line, which is kept.
void KeepPiece(MessageGather *g, const char *p, size_t n) {
    if (n == 0) return;
    if (g->held_cr) {
        g->held_cr = false;
        KeepBytes(g, "\r", 1);
    }
    if (p[n - 1] == '\r') {
        g->held_cr = true;
        --n;
    }
    KeepBytes(g, p, n);
}

void EndLine(MessageGather *g) {
    ++g->lines;
    g->line_start = true;
    if (!Reserve(g, 2)) return;
    g->text[g->length++] = '\r';
    g->text[g->length++] = '\n';
    g->text[g->length] = '\0';
}

}  // namespace

size_t GatherMessageBytes(MessageGather *g, const char *bytes, size_t count) {
    size_t i = 0;
    while (i < count && !g->done) {
        if (g->line_start) {
            g->line_start = false;
            g->leading_dot = false;
            g->line_has_bytes = false;
            g->line_cut = false;
            g->held_cr = false;
            if (bytes[i] == '.') {
                g->leading_dot = true;
                ++i;
                continue;
            }
        }
        const void *lf = std::memchr(bytes + i, '\n', count - i);
        size_t end = lf != nullptr ? static_cast<size_t>(static_cast<const char *>(lf) - bytes) : count;
        KeepPiece(g, bytes + i, end - i);
        if (lf == nullptr) return count;
        i = end + 1;
        if (g->leading_dot && !g->line_has_bytes) {
            g->done = true;
            break;
        }
        EndLine(g);
    }
    return i;
}

char *TakeGatheredMessage(MessageGather *g) {
    char *text = nullptr;
    if (g->done && !g->overflow && g->lines > 0) {
        text = g->text;
        g->text = nullptr;
    }
    ReleaseGather(g);
    return text;
}

void DropGatheredText(MessageGather *g) {
    std::free(g->text);
    g->text = nullptr;
    g->length = g->capacity = 0;
    g->overflow = true;
}

void ReleaseGather(MessageGather *g) {
    std::free(g->text);
    *g = MessageGather();
}
