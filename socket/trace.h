// trace.h -- the protocol trace: every family's exchange, one line each, appended to the file that
// ZK_TraceToFileA/W (or the environment variable ZKNET_TRACE, read once at the first use) names.
// A line reads "<ms since the trace began> <family> #<connection> <direction> <text>", the
// direction ">" for what the library sent, "<" for what it received, "*" for what happened
// (connections, TLS, data). Off, a trace point costs one relaxed atomic load.
#ifndef ZK_SOCKET_TRACE_H
#define ZK_SOCKET_TRACE_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

extern std::atomic<bool> TraceEnabled;

// Whether the trace is on; reads ZKNET_TRACE the first time.
bool TraceOnSlow();
inline bool TraceOn() {
    static std::atomic<bool> checked{false};
    if (!checked.load(std::memory_order_relaxed)) {
        checked.store(true, std::memory_order_relaxed);
        return TraceOnSlow();
    }
    return TraceEnabled.load(std::memory_order_relaxed);
}

// A number for a new connection of any family, unique in the process.
uint32_t TraceNewConnection();

// Writes one line (a CR or LF ending `text` is dropped; other control bytes are shown as "^X").
void TraceWrite(const char *family, uint32_t connection, char direction, const char *text, size_t length);
inline void TraceWrite(const char *family, uint32_t connection, char direction, const std::string &text) {
    TraceWrite(family, connection, direction, text.data(), text.size());
}

// A command line as the trace may show it: the secret after PASS, and every AUTH argument but
// the mechanism (and FTP's AUTH TLS), masked as "****".
std::string TraceMasked(const char *line, size_t length);

#endif  // ZK_SOCKET_TRACE_H
