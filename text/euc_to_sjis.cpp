// euc_to_sjis.cpp -- EUC-JP to ISO-2022-JP, Shift_JIS and UTF-16 for received mail.
#include <cstring>

#include "platform/platform.h"
#include "text/charset.h"
#include "text/code_page.h"
#include "text/output_buffer.h"
#include "text/scratch.h"

namespace {
constexpr unsigned kSingleShift2 = 0x8E;  // a half-width katakana byte follows
constexpr unsigned kSingleShift3 = 0x8F;  // a JIS X 0212 character of two more bytes follows
// JIS X 0212 has no place in Shift_JIS; such a character becomes the geta mark, the usual
// stand-in for a character that cannot be shown.
constexpr unsigned char kGetaJis[2] = {0x22, 0x2E};

const char kEnterKanji[] = "\x1B$@";
const char kLeaveKanji[] = "\x1B(B";

bool Put(char *&out, const char *limit, const void *bytes, size_t n) {
    if (static_cast<size_t>(limit - out) < n) return false;
    std::memcpy(out, bytes, n);
    out += n;
    return true;
}
}  // namespace

int32_t EucToJis(const char *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    size_t n = input == nullptr ? 0 : std::strlen(input);
    if (n == 0 || n > static_cast<size_t>(size)) {
        ClearOutput(output, size);
        return -1;
    }

    const auto *s = reinterpret_cast<const unsigned char *>(input);
    const unsigned char *end = s + n;
    char *out = output;
    const char *limit = output + size - 1;
    bool kanji = false;
    bool fits = true;
    while (s < end && fits) {
        unsigned c = *s;
        if (c < 0x80) {
            if (kanji) fits = Put(out, limit, kLeaveKanji, 3);
            kanji = false;
            fits = fits && Put(out, limit, s, 1);
            ++s;
        } else if (c == kSingleShift2) {
            if (end - s < 2) break;  // a shift at the very end stands for nothing
            if (kanji) fits = Put(out, limit, kLeaveKanji, 3);
            kanji = false;
            fits = fits && Put(out, limit, s + 1, 1);
            s += 2;
        } else {
            size_t width = c == kSingleShift3 ? 3 : 2;
            if (static_cast<size_t>(end - s) < width) break;  // a character cut off by the end
            unsigned char jis[2] = {static_cast<unsigned char>(c & 0x7F), static_cast<unsigned char>(s[1] & 0x7F)};
            if (c == kSingleShift3) std::memcpy(jis, kGetaJis, 2);
            // A byte 0x80 would put a terminator inside the text: the text ends there.
            if (jis[0] == 0) break;
            if (!kanji) fits = Put(out, limit, kEnterKanji, 3);
            kanji = true;
            fits = fits && Put(out, limit, jis, jis[1] == 0 ? 1 : 2);
            if (jis[1] == 0) break;
            s += width;
        }
    }
    if (!fits) {
        ClearOutput(output, size);
        return -1;
    }
    return FinishOutput(output, size, out - output);
}

// One pass straight to Shift_JIS, with the result of EucToJis followed by JisToSjis on every
// EUC-JP text, but without the escapes of the middle form counting against the size.
int32_t EucToSjis(const char *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    size_t n = input == nullptr ? 0 : std::strlen(input);
    if (n == 0 || n > static_cast<size_t>(size)) {
        ClearOutput(output, size);
        return -1;
    }

    const AnsiCodePageInfo &cp = AnsiCodePage();
    const auto *s = reinterpret_cast<const unsigned char *>(input);
    const unsigned char *end = s + n;
    char *out = output;
    const char *limit = output + size - 1;
    while (s < end) {
        const unsigned char *run = s;
        while (run < end && *run < 0x80) ++run;
        if (!Put(out, limit, s, static_cast<size_t>(run - s))) goto full;
        s = run;
        while (s < end && *s >= 0x80) {
            unsigned c = *s;
            unsigned char sjis[2];
            if (c == kSingleShift2) {
                if (end - s < 2) return FinishOutput(output, size, out - output);
                if (!Put(out, limit, s + 1, 1)) goto full;
                s += 2;
                continue;
            }
            size_t width = c == kSingleShift3 ? 3 : 2;
            if (static_cast<size_t>(end - s) < width) return FinishOutput(output, size, out - output);
            unsigned high = c == kSingleShift3 ? kGetaJis[0] : c & 0x7F;
            unsigned low = c == kSingleShift3 ? kGetaJis[1] : s[1] & 0x7Fu;
            if (high == 0) return FinishOutput(output, size, out - output);  // 0x80 would end the middle form
            if (low == 0) {
                // The middle form would end after a lone high byte, which is copied.
                unsigned char lone = static_cast<unsigned char>(high);
                if (!Put(out, limit, &lone, 1)) goto full;
                return FinishOutput(output, size, out - output);
            }
            if (!MapJisToSjis(cp.is_932, high, low, sjis)) {
                sjis[0] = static_cast<unsigned char>(high);
                sjis[1] = static_cast<unsigned char>(low);
            }
            if (!Put(out, limit, sjis, 2)) goto full;
            s += width;
        }
    }
    return FinishOutput(output, size, out - output);

full:
    ClearOutput(output, size);
    return -1;
}

int32_t EucToWide(const char *input, zk_wchar_t *output, int32_t units) {
    if (output == nullptr || units <= 0) return -1;
    std::unique_ptr<char[]> sjis;
    if (input == nullptr || input[0] == '\0' || !(sjis = NewScratch(units))) return FinishWide(output, units, -1);
    int32_t n = EucToSjis(input, sjis.get(), units);
    if (n <= 0) return FinishWide(output, units, n);
    return FinishWide(output, units,
                      win::MultiByteToWideChar(win::kCpAcp, 0, sjis.get(), -1, reinterpret_cast<WCHAR *>(output), units));
}
