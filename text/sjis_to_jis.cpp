// sjis_to_jis.cpp -- Shift_JIS (and UTF-16 through it) to ISO-2022-JP for outgoing mail.
#include <cstring>

#include "socket/text_helpers.h"
#include "text/charset.h"
#include "text/code_page.h"
#include "text/output_buffer.h"
#include "text/scratch.h"

namespace {
const char kEnterKanji[] = "\x1B$B";
const char kLeaveKanji[] = "\x1B(B";

enum class Outcome { kDone, kUnmappable, kFull };

// Writes into [out, limit), keeping the last byte of the buffer for the terminator.
Outcome Convert(const unsigned char *s, const unsigned char *end, char *&out, char *limit) {
    const AnsiCodePageInfo &cp = AnsiCodePage();
    const uint8_t *cls = cp.byte_class;
    const bool is_932 = cp.is_932;
    bool kanji = false;
    while (s < end) {
        if (!kanji) {
            // A run of single bytes goes across in one copy.
            const unsigned char *run = s;
            while (run < end && !((cls[*run] & kLeadByte) && run + 1 < end && (cls[run[1]] & kTrailByte))) ++run;
            size_t n = static_cast<size_t>(run - s);
            if (n > static_cast<size_t>(limit - out)) return Outcome::kFull;
            std::memcpy(out, s, n);
            out += n;
            s = run;
            if (s == end) break;
            if (limit - out < 3) return Outcome::kFull;
            std::memcpy(out, kEnterKanji, 3);
            out += 3;
            kanji = true;
        }
        // Double-byte characters until the next single byte.
        while (s + 1 < end && (cls[s[0]] & kLeadByte) && (cls[s[1]] & kTrailByte)) {
            unsigned char jis[2];
            if (!MapSjisToJis(is_932, s[0], s[1], jis)) return Outcome::kUnmappable;
            if (limit - out < 2) return Outcome::kFull;
            out[0] = static_cast<char>(jis[0]);
            out[1] = static_cast<char>(jis[1]);
            out += 2;
            s += 2;
        }
        if (s == end) break;
        if (limit - out < 3) return Outcome::kFull;
        std::memcpy(out, kLeaveKanji, 3);
        out += 3;
        kanji = false;
    }
    if (kanji) {
        if (limit - out < 3) return Outcome::kFull;
        std::memcpy(out, kLeaveKanji, 3);
        out += 3;
    }
    return Outcome::kDone;
}
}  // namespace

int32_t SjisToJis(const char *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    size_t n = input == nullptr ? 0 : std::strlen(input);
    if (n == 0 || n > static_cast<size_t>(size)) {
        ClearOutput(output, size);
        return -1;
    }
    const auto *s = reinterpret_cast<const unsigned char *>(input);
    char *out = output;
    switch (Convert(s, s + n, out, output + size - 1)) {
        case Outcome::kDone:
            return FinishOutput(output, size, out - output);
        case Outcome::kUnmappable:
            FinishOutput(output, size, out - output);
            return -1;  // the text before the character stays, as the callers expect
        case Outcome::kFull:
            // A cut text would end in double-byte mode; leave nothing rather than that.
            ClearOutput(output, size);
            return -1;
    }
    return -1;
}

int32_t WideToJis(const zk_wchar_t *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    std::unique_ptr<char[]> ansi;
    if (input == nullptr || input[0] == 0 || WideLength(input) > size || !(ansi = NewScratch(size))) {
        ClearOutput(output, size);
        return -1;
    }
    int32_t n = WideToAnsi(input, ansi.get(), size);
    if (n <= 0) {
        ClearOutput(output, size);
        return n;  // 0: the text does not go into ANSI within the size
    }
    return SjisToJis(ansi.get(), output, size);
}
