// utf8_encode.cpp -- UTF-16 as UTF-8, every character carried: a surrogate pair becomes one
// four-byte sequence.
#include "text/charset.h"

namespace {
bool IsHigh(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
}  // namespace

void AppendUtf8(std::string &out, const zk_wchar_t *text, size_t units) {
    for (size_t i = 0; i < units; ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (IsHigh(c) && i + 1 < units && IsLow(static_cast<uint16_t>(text[i + 1]))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[++i]) - 0xDC00u);
        } else if (IsHigh(c) || IsLow(c)) {
            c = 0xFFFD;  // half a pair names no character
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
}
