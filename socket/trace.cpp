// trace.cpp -- the trace's state (one sink for the process, under a lock: lines of several
// threads never interleave) and ZK_TraceToFileA/W.
#include "socket/trace.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/trace_sink.h"
#include "socket/text_helpers.h"
#include "zknet/trace.h"

std::atomic<bool> TraceEnabled{false};

namespace {

std::mutex trace_lock;
win::TraceSink *trace_sink = nullptr;  // guarded by trace_lock
uint32_t trace_start = 0;
std::atomic<uint32_t> next_connection{0};
std::once_flag environment_read;

// Replaces the sink (null stops the trace).
void Install(win::TraceSink *sink) {
    std::lock_guard<std::mutex> hold(trace_lock);
    win::CloseTraceSink(trace_sink);
    trace_sink = sink;
    trace_start = win::GetTickCount();
    TraceEnabled.store(sink != nullptr, std::memory_order_relaxed);
}

bool StartWide(const zk_wchar_t *path) {
    if (path == nullptr) {
        Install(nullptr);
        return true;
    }
    win::TraceSink *sink = win::OpenTraceSink(reinterpret_cast<const WCHAR *>(path));
    Install(sink);
    return sink != nullptr;
}

bool StartNarrow(const char *path) {
    if (path == nullptr) return StartWide(nullptr);
    std::vector<zk_wchar_t> wide(std::strlen(path) + 1, 0);
    if (path[0] != '\0' && AnsiToWide(path, wide.data(), static_cast<int32_t>(wide.size())) <= 0) {
        Install(nullptr);
        return false;
    }
    return StartWide(wide.data());
}

}  // namespace

bool TraceOnSlow() {
    std::call_once(environment_read, [] {
        // The library has no configuration but this one switch, for programs that cannot be changed.
        const char *path = std::getenv("ZKNET_TRACE");
        if (path != nullptr && path[0] != '\0' && !TraceEnabled.load()) StartNarrow(path);
    });
    return TraceEnabled.load(std::memory_order_relaxed);
}

uint32_t TraceNewConnection() { return next_connection.fetch_add(1, std::memory_order_relaxed) + 1; }

void TraceWrite(const char *family, uint32_t connection, char direction, const char *text, size_t length) {
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    std::string line;
    line.reserve(length + 40);
    std::lock_guard<std::mutex> hold(trace_lock);
    if (trace_sink == nullptr) return;
    char head[64];
    uint32_t ms = win::GetTickCount() - trace_start;
    int n = win::FormatA(head, sizeof(head), "%8u %s #%u %c ", static_cast<unsigned>(ms), family,
                         static_cast<unsigned>(connection), direction);
    line.append(head, n > 0 ? static_cast<size_t>(n) : 0);
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            line += '^';
            line += static_cast<char>(c == 0x7F ? '?' : c + '@');
        } else {
            line += static_cast<char>(c);
        }
    }
    line += '\n';
    win::WriteTraceSink(trace_sink, line.data(), line.size());
}

std::string TraceMasked(const char *line, size_t length) {
    std::string text(line, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    auto starts = [&](const char *verb) {
        size_t n = std::strlen(verb);
        if (text.size() < n) return false;
        for (size_t i = 0; i < n; ++i) {
            char c = text[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c != verb[i]) return false;
        }
        return true;
    };
    if (starts("PASS ")) return text.substr(0, 5) + "****";
    if (starts("AUTH ")) {
        size_t second = text.find(' ', 5);
        if (second != std::string::npos) return text.substr(0, second) + " ****";
    }
    return text;
}

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_TraceToFileA(const char *path) {
    std::call_once(environment_read, [] {});  // a caller's choice wins over ZKNET_TRACE
    return StartNarrow(path) ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_TraceToFileW(const zk_wchar_t *path) {
    std::call_once(environment_read, [] {});
    return StartWide(path) ? 1 : 0;
}

}  // extern "C"
