// jis_to_sjis.cpp -- ISO-2022-JP to Shift_JIS and UTF-16 for received mail.
#include <cstring>

#include "socket/text_helpers.h"
#include "text/charset.h"
#include "text/code_page.h"
#include "text/scratch.h"

int32_t JisToSjis(const char *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    std::memset(output, 0, static_cast<size_t>(size));
    if (input == nullptr || input[0] == '\0') return -1;
    size_t n = std::strlen(input);
    if (n > static_cast<size_t>(size)) return -1;

    const AnsiCodePageInfo &cp = AnsiCodePage();
    const auto *s = reinterpret_cast<const unsigned char *>(input);
    const unsigned char *end = s + n;
    char *out = output;
    char *limit = output + size - 1;  // the last byte stays for the terminator
    bool kanji = false;
    while (s < end) {
        if (*s == 0x1B) {
            // An escape right after another one is honoured too: joined encoded words and some
            // mailers put ESC ( B ESC $ B between two runs.
            const char *at = reinterpret_cast<const char *>(s);
            if (int32_t len = IsKanjiInEscape(at)) {
                s += len;
                kanji = true;
                continue;
            }
            if (int32_t len = IsKanjiOutEscape(at)) {
                s += len;
                kanji = false;
                continue;
            }
        }
        if (!kanji) {
            const unsigned char *run = s + 1;
            while (run < end && *run != 0x1B) ++run;
            size_t len = static_cast<size_t>(run - s);
            if (len > static_cast<size_t>(limit - out)) goto full;
            std::memcpy(out, s, len);
            out += len;
            s = run;
            continue;
        }
        // Pairs until the next escape. A pair is taken whatever its bytes; one that is no JIS
        // X 0208 code is copied as it stands.
        do {
            if (s + 1 == end) {
                // A lone byte at the end has no partner to read.
                if (limit == out) goto full;
                *out++ = static_cast<char>(*s++);
                break;
            }
            if (limit - out < 2) goto full;
            unsigned char sjis[2];
            if (MapJisToSjis(cp, s[0], s[1], sjis)) {
                out[0] = static_cast<char>(sjis[0]);
                out[1] = static_cast<char>(sjis[1]);
            } else {
                out[0] = static_cast<char>(s[0]);
                out[1] = static_cast<char>(s[1]);
            }
            out += 2;
            s += 2;
        } while (s < end && *s != 0x1B);
    }
    return static_cast<int32_t>(out - output);

full:
    std::memset(output, 0, static_cast<size_t>(size));
    return -1;
}

int32_t JisToWide(const char *input, zk_wchar_t *output, int32_t units) {
    if (output == nullptr || units <= 0) return -1;
    std::memset(output, 0, static_cast<size_t>(units) * sizeof(zk_wchar_t));
    if (input == nullptr || input[0] == '\0') return -1;
    std::unique_ptr<char[]> sjis = NewScratch(units);
    if (!sjis) return -1;
    int32_t n = JisToSjis(input, sjis.get(), units);
    if (n <= 0) return n;
    return AnsiToWide(sjis.get(), output, units);
}

void JisToSjisInPlace(char *text, int32_t size) {
    if (text == nullptr || size <= 0) return;
    const void *nul = std::memchr(text, 0, static_cast<size_t>(size));
    if (nul == nullptr) return;  // not a text of this buffer: nothing is read past it
    size_t n = static_cast<size_t>(static_cast<const char *>(nul) - text);
    if (std::memchr(text, 0x1B, n) == nullptr) return;
    std::unique_ptr<char[]> copy = NewScratch(size);
    if (!copy) return;
    std::memcpy(copy.get(), text, n);
    JisToSjis(copy.get(), text, size);
}
