// trace_sink.cpp -- the trace's file on Linux: the path as every file call takes it, opened with
// O_APPEND, or fd 2.
#include "platform/trace_sink.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/linux/native_path.h"

namespace win {

struct TraceSink {
    int fd;
    bool owned;
};

TraceSink *OpenTraceSink(const WCHAR *path) {
    if (path == nullptr || (path[0] == '-' && path[1] == 0)) return new TraceSink{2, false};
    int fd = ::open(LinuxPathW(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
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
