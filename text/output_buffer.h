// output_buffer.h -- how the conversions leave a caller's output: their text, then zeros to the
// end of the buffer, as if it had been cleared first.
#ifndef ZK_TEXT_OUTPUT_BUFFER_H
#define ZK_TEXT_OUTPUT_BUFFER_H

#include <cstdint>
#include <cstring>

#include "zknet/zkconf.h"

inline void ClearOutput(char *output, int32_t size) { std::memset(output, 0, static_cast<size_t>(size)); }

// Zeros after the `length` bytes written. Clearing only what the text did not cover, once it is
// written, leaves the same bytes as clearing first and touches a large buffer once, not twice.
inline int32_t FinishOutput(char *output, int32_t size, int64_t length) {
    std::memset(output + length, 0, static_cast<size_t>(size - length));
    return static_cast<int32_t>(length);
}

// The same for UTF-16 output: `result` is the platform's count of units written including the
// terminator, or 0 or -1 when nothing usable was written.
inline int32_t FinishWide(zk_wchar_t *output, int32_t units, int32_t result) {
    int32_t keep = result > 0 ? result : 0;
    std::memset(output + keep, 0, static_cast<size_t>(units - keep) * sizeof(zk_wchar_t));
    return result;
}

#endif  // ZK_TEXT_OUTPUT_BUFFER_H
