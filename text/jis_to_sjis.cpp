// jis_to_sjis.cpp -- ISO-2022-JP to Shift_JIS and UTF-16 for received mail.
#include <cstring>

#include "socket/text_helpers.h"
#include "text/charset.h"
#include "text/code_page.h"
#include "text/output_buffer.h"
#include "text/scratch.h"

namespace {
// ESC $ B, ESC $ @ and ESC ( B stand for nearly every switch; the rest go the long way.
int32_t InEscape(const unsigned char *at) {
    if (at[1] == '$' && (at[2] == 'B' || at[2] == '@')) return 3;
    return IsKanjiInEscape(reinterpret_cast<const char *>(at));
}

int32_t OutEscape(const unsigned char *at) {
    if (at[1] == '(' && at[2] == 'B') return 3;
    return IsKanjiOutEscape(reinterpret_cast<const char *>(at));
}

// JIS X 0201 katakana (0x21 to 0x5F after ESC ( I, as iPhone Mail writes them) are Shift_JIS's
// half-width katakana, 0xA1 to 0xDF; other bytes (blanks, line ends) stay as they are.
void HalfWidthKatakana(char *text, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x21 && c <= 0x5F) text[i] = static_cast<char>(c + 0x80);
    }
}
}  // namespace

int32_t JisToSjis(const char *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    size_t n = input == nullptr ? 0 : std::strlen(input);
    if (n == 0 || n > static_cast<size_t>(size)) {
        ClearOutput(output, size);
        return -1;
    }

    const bool is_932 = AnsiCodePage().is_932;
    const auto *s = reinterpret_cast<const unsigned char *>(input);
    const unsigned char *end = s + n;
    char *out = output;
    char *limit = output + size - 1;  // the last byte stays for the terminator
    bool kanji = false;
    bool kana = false;  // after ESC ( I: JIS X 0201 katakana
    while (s < end) {
        if (*s == 0x1B) {
            // An escape right after another one is honoured too: joined encoded words and some
            // mailers put ESC ( B ESC $ B between two runs.
            if (int32_t len = InEscape(s)) {
                s += len;
                kanji = true;
                continue;
            }
            if (int32_t len = OutEscape(s)) {
                kana = s[2] == 'I';
                s += len;
                kanji = false;
                continue;
            }
        }
        if (!kanji) {
            const auto *esc = static_cast<const unsigned char *>(std::memchr(s + 1, 0x1B, static_cast<size_t>(end - s - 1)));
            const unsigned char *run = esc != nullptr ? esc : end;
            size_t len = static_cast<size_t>(run - s);
            if (len > static_cast<size_t>(limit - out)) goto full;
            std::memcpy(out, s, len);
            if (kana) HalfWidthKatakana(out, len);
            out += len;
            s = run;
            continue;
        }
        // Pairs until the next escape. A pair is taken whatever its bytes; one that is no JIS
        // X 0208 code is copied as it stands.
        // The first pair is taken even when it starts with an ESC that began no sequence.
        size_t pairs = static_cast<size_t>(end - s) / 2;
        size_t room = static_cast<size_t>(limit - out) / 2;
        const unsigned char *stop = s + 2 * (pairs < room ? pairs : room);
        bool first = true;
        while (s < stop && (first || *s != 0x1B)) {
            unsigned char sjis[2];
            if (!MapJisToSjis(is_932, s[0], s[1], sjis)) {
                sjis[0] = s[0];
                sjis[1] = s[1];
            }
            out[0] = static_cast<char>(sjis[0]);
            out[1] = static_cast<char>(sjis[1]);
            out += 2;
            s += 2;
            first = false;
        }
        if (s < end && (first || *s != 0x1B)) {
            // Stopped by neither an escape nor the end: a lone last byte, which has no partner
            // to read, or a full output.
            if (end - s != 1 || limit == out) goto full;
            *out++ = static_cast<char>(*s++);
        }
    }
    return FinishOutput(output, size, out - output);

full:
    ClearOutput(output, size);
    return -1;
}

int32_t JisToWide(const char *input, zk_wchar_t *output, int32_t units) {
    if (output == nullptr || units <= 0) return -1;
    std::unique_ptr<char[]> sjis;
    if (input == nullptr || input[0] == '\0' || !(sjis = NewScratch(units))) return FinishWide(output, units, -1);
    int32_t n = JisToSjis(input, sjis.get(), units);
    if (n <= 0) return FinishWide(output, units, n);
    return FinishWide(output, units, AnsiToWide(sjis.get(), output, units));
}

void JisToSjisInPlace(char *text, int32_t size) {
    if (text == nullptr || size <= 0) return;
    const void *nul = std::memchr(text, 0, static_cast<size_t>(size));
    if (nul == nullptr) return;  // not a text of this buffer: nothing is read past it
    size_t n = static_cast<size_t>(static_cast<const char *>(nul) - text);
    if (std::memchr(text, 0x1B, n) == nullptr) return;
    std::unique_ptr<char[]> copy = NewScratch(size);
    if (!copy) return;
    std::memcpy(copy.get(), text, n + 1);
    JisToSjis(copy.get(), text, size);
}
