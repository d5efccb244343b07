// message_header.cpp -- the whole header of a message text, as ANSI and as UTF-16 text.
#include <cstring>

#include "mail/receive/header_lines.h"
#include "socket/text_helpers.h"
#include "text/scratch.h"
#include "zknet/mail.h"

// A header that does not fit is not cut: a header cut inside a line, or one line short, reads as
// a complete one. The output is left empty and the result says so.
ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderA(const char *text, char *out, int32_t size) {
    int64_t end = FindHeaderEnd(text);
    if (end < 0) return -1;
    if (out == nullptr || size <= 0) return -1;
    if (end >= size) {
        std::memset(out, 0, static_cast<size_t>(size));
        return -1;
    }
    std::memcpy(out, text, static_cast<size_t>(end));
    std::memset(out + end, 0, static_cast<size_t>(size - end));
    return static_cast<int32_t>(end);
}

ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderW(const char *text, zk_wchar_t *out, int32_t size) {
    if (out != nullptr && size > 0) out[0] = 0;
    int64_t end = FindHeaderEnd(text);
    if (end <= 0) return -1;  // an empty text, or an empty header
    // Every UTF-16 unit comes from one or two bytes: a header this long cannot fit.
    if (out == nullptr || size <= 0 || end > 2 * static_cast<int64_t>(size) - 2) return -1;
    std::unique_ptr<char[]> header = NewScratch(end + 1);
    if (!header) return -1;
    std::memcpy(header.get(), text, static_cast<size_t>(end));
    header[end] = '\0';
    // Measured in UTF-16 units: a Japanese header needs fewer units than it has bytes.
    int32_t units = AnsiToWide(header.get(), out, size);
    return units > 0 ? units : -1;
}
