// trace_sink.cpp -- the trace's file on Windows: CreateFileW for appending, shared for reading
// and writing so that the caller can watch it, or the standard error handle.
#include "platform/trace_sink.h"

namespace win {

struct TraceSink {
    HANDLE file;
    bool owned;
};

TraceSink *OpenTraceSink(const WCHAR *path) {
    if (path == nullptr || (path[0] == L'-' && path[1] == 0)) {
        return new TraceSink{::GetStdHandle(STD_ERROR_HANDLE), false};
    }
    HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : new TraceSink{file, true};
}

void WriteTraceSink(TraceSink *sink, const char *text, size_t length) {
    if (sink == nullptr || sink->file == nullptr || sink->file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(sink->file, text, static_cast<DWORD>(length), &written, nullptr);
}

void CloseTraceSink(TraceSink *sink) {
    if (sink == nullptr) return;
    if (sink->owned) ::CloseHandle(sink->file);
    delete sink;
}

}  // namespace win
