// trace_sink.cpp -- the trace's file on Linux: a UTF-8 path opened with O_APPEND, or fd 2.
#include "platform/trace_sink.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace win {

struct TraceSink {
    int fd;
    bool owned;
};

namespace {
std::string Utf8Path(const WCHAR *path) {
    std::string out;
    for (size_t i = 0; path[i] != 0; ++i) {
        uint32_t c = path[i];
        if (c >= 0xD800 && c < 0xDC00 && path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (path[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
}  // namespace

TraceSink *OpenTraceSink(const WCHAR *path) {
    if (path == nullptr || (path[0] == '-' && path[1] == 0)) return new TraceSink{2, false};
    int fd = ::open(Utf8Path(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    return fd < 0 ? nullptr : new TraceSink{fd, true};
}

void WriteTraceSink(TraceSink *sink, const char *text, size_t length) {
    while (sink != nullptr && length > 0) {
        ssize_t n = ::write(sink->fd, text, length);
        if (n <= 0) return;  // a trace that cannot be written is no reason to fail anything
        text += n;
        length -= static_cast<size_t>(n);
    }
}

void CloseTraceSink(TraceSink *sink) {
    if (sink == nullptr) return;
    if (sink->owned) ::close(sink->fd);
    delete sink;
}

}  // namespace win
