// quoted_printable.cpp -- decoding quoted-printable text.
#include "text/quoted_printable.h"

#include <cstring>

#include "text/decode_span.h"
#include "text/output_buffer.h"

namespace {
int HexValue(unsigned c) {
    if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
    return -1;
}

bool IsLiteral(unsigned c) { return (c >= 0x20 && c <= 0x7E && c != '=') || c == '\r' || c == '\n' || c == '\t'; }

// The Q encoding of encoded words is quoted-printable in which an underscore stands for a space.
int64_t DecodeSpan(const char *text, size_t length, char *output, int64_t size, bool underscore_is_space) {
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *end = s + length;
    int64_t w = 0;
    while (s < end) {
        if (w + 2 > size) {  // one more byte and the terminator
            output[w] = '\0';
            return -1;
        }
        unsigned c = *s;
        if (c == '_' && underscore_is_space) c = ' ';
        if (IsLiteral(c)) {
            output[w++] = static_cast<char>(c);
            ++s;
            continue;
        }
        if (c != '=') {
            output[w] = '\0';
            return -1;  // control bytes and 8-bit bytes may not stand literally
        }
        ptrdiff_t left = end - s;
        if (left >= 3 && s[1] == '\r' && s[2] == '\n') {
            s += 3;
        } else if (left >= 2 && s[1] == '\n') {
            s += 2;  // a soft line break whose CR was lost on the way
        } else if (left >= 3 && HexValue(s[1]) >= 0 && HexValue(s[2]) >= 0) {
            output[w++] = static_cast<char>(HexValue(s[1]) << 4 | HexValue(s[2]));
            s += 3;
        } else {
            output[w++] = '=';  // an equals sign that escapes nothing stands for itself
            ++s;
        }
    }
    output[w] = '\0';
    return w;
}
}  // namespace

int64_t QpDecodeSpan(const char *text, size_t length, char *output, int64_t size) {
    return DecodeSpan(text, length, output, size, false);
}

int64_t QDecodeSpan(const char *text, size_t length, char *output, int64_t size) {
    return DecodeSpan(text, length, output, size, true);
}

int32_t QpDecode(const char *text, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    ClearOutput(output, size);  // decoded bytes may hold zeros: cleared first, not after
    if (text == nullptr || text[0] == '\0') return 0;
    return static_cast<int32_t>(QpDecodeSpan(text, std::strlen(text), output, size));
}
