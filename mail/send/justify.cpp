// justify.cpp -- folding text to a line width by byte count: a double-byte character is never
// split and counts two columns; there are no word boundaries. UTF-8 text folds alike, each
// character counting the columns its Shift_JIS form would take.
#include <cstring>
#include <string>

#include "mail/send/message_text.h"
#include "text/charset.h"
#include "text/scratch.h"
#include "zknet/mail.h"

bool FoldText(const char *text, size_t length, char *output, size_t size, int32_t width, size_t *written) {
    *written = 0;
    if (output == nullptr || size == 0) return false;
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    const int64_t w = width;
    int64_t column = 0;
    size_t out = 0;
    bool whole = true;
    for (size_t i = 0; i < length;) {
        unsigned char b = s[i];
        if (b == 0) break;  // the text ends at its terminator
        if ((b >= 0x20 && b <= 0x7F) || b == '\t') {
            bool wrap = column == w;
            if (out + (wrap ? 2 : 0) + 1 + 1 > size) {
                whole = false;
                break;
            }
            if (wrap) {
                output[out++] = '\r';
                output[out++] = '\n';
                column = 0;
            }
            output[out++] = b == '\t' ? ' ' : static_cast<char>(b);
            ++column;
            ++i;
        } else if (b >= 0x80) {
            if (i + 1 < length && IsDoubleByteChar(text + i)) {
                bool wrap = column >= w - 1;
                if (out + (wrap ? 2 : 0) + 2 + 1 > size) {
                    whole = false;
                    break;
                }
                if (wrap) {
                    output[out++] = '\r';
                    output[out++] = '\n';
                    column = 0;
                }
                output[out++] = text[i];
                output[out++] = text[i + 1];
                column += 2;
                i += 2;
            } else {
                ++i;  // begins no character: dropped
            }
        } else {
            // CR and LF start a new count; other control bytes pass and take no column.
            if (out + 1 + 1 > size) {
                whole = false;
                break;
            }
            output[out++] = static_cast<char>(b);
            if (b == '\r' || b == '\n') column = 0;
            ++i;
        }
    }
    output[out] = '\0';
    *written = out;
    return whole;
}

namespace {
// The length of the UTF-8 sequence that begins with `lead` (a stray continuation byte: 1).
size_t SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// Half-width katakana (U+FF61 to U+FF9F: EF BD A1 to EF BE 9F) take one column, as their single
// byte of Shift_JIS does.
bool IsHalfWidthKana(const unsigned char *s, size_t n) {
    return n == 3 && s[0] == 0xEF && ((s[1] == 0xBD && s[2] >= 0xA1) || (s[1] == 0xBE && s[2] <= 0x9F));
}
}  // namespace

std::string FoldUtf8(const std::string &text, int32_t width) {
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    const int64_t w = width;
    int64_t column = 0;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size();) {
        unsigned char b = s[i];
        if (b == '\r' || b == '\n' || (b < 0x20 && b != '\t')) {
            out += static_cast<char>(b);
            if (b == '\r' || b == '\n') column = 0;
            ++i;
            continue;
        }
        size_t n = b < 0x80 ? 1 : SequenceLength(b);
        if (i + n > text.size()) n = text.size() - i;
        int64_t columns = n == 1 || IsHalfWidthKana(s + i, n) ? 1 : 2;
        if (columns == 1 ? column == w : column >= w - 1) {
            out += "\r\n";
            column = 0;
        }
        if (b == '\t') {
            out += ' ';
        } else {
            out.append(text, i, n);
        }
        column += columns;
        i += n;
    }
    return out;
}

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_MailJustifiedText(char *text, int32_t size, int32_t width) {
    if (text == nullptr || size <= 0) return 0;
    // A buffer without a terminator holds a text of size-1 bytes: its last byte makes room.
    size_t length = strnlen(text, static_cast<size_t>(size));
    if (length == static_cast<size_t>(size)) length = static_cast<size_t>(size) - 1;
    std::unique_ptr<char[]> scratch = NewScratch(static_cast<int64_t>(length) + 1);
    if (!scratch) return 0;
    std::memcpy(scratch.get(), text, length);
    scratch[length] = '\0';
    size_t written = 0;
    bool whole = FoldText(scratch.get(), length, text, static_cast<size_t>(size), width, &written);
    std::memset(text + written, 0, static_cast<size_t>(size) - written);
    return whole ? 1 : 0;
}

}  // extern "C"
