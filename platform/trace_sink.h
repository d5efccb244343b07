// trace_sink.h -- where the protocol trace's lines go: a file opened for appending, shared with
// other writers (a caller may read it while it grows), or the process's standard error.
#ifndef ZK_PLATFORM_TRACE_SINK_H
#define ZK_PLATFORM_TRACE_SINK_H

#include <cstddef>

#include "platform/platform.h"

namespace win {

struct TraceSink;

// Opens `path` (UTF-16) for appending, made when missing; null when it cannot be opened. A null
// path, or "-", is standard error.
TraceSink *OpenTraceSink(const WCHAR *path);

// Appends one whole line; lines of several threads never interleave (the caller serializes).
void WriteTraceSink(TraceSink *sink, const char *text, size_t length);

// Closes the file (standard error stays open); null is ignored.
void CloseTraceSink(TraceSink *sink);

}  // namespace win

#endif  // ZK_PLATFORM_TRACE_SINK_H
