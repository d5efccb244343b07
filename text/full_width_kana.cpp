// full_width_kana.cpp -- the half-width katakana of code page 932 (single bytes 0xA1 to 0xDF) as
// the full-width characters ISO-2022-JP has for them, a voiced or semi-voiced mark joined to the
// kana before it, as Japanese mailers write them.
#include "text/code_page.h"
#include "text/jis_ready.h"

namespace {

constexpr unsigned kFirstKana = 0xA1;
constexpr unsigned kLastKana = 0xDF;
constexpr unsigned kVoicedMark = 0xDE;
constexpr unsigned kSemiVoicedMark = 0xDF;

// The full-width Shift_JIS code of each half-width character from 0xA1 (the punctuation, the
// kana, the two marks alone).
const uint16_t kFullWidth[kLastKana - kFirstKana + 1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348,  // A1-AB
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A,  // AC-B6
    0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360,  // B7-C1
    0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D, 0x836E, 0x8371, 0x8374,  // C2-CC
    0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,  // CD-D7
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,                          // D8-DF
};

// The full-width code of a kana followed by a mark, or 0 where the two do not join: the voiced
// forms follow their kana directly (and the semi-voiced ones of the ha row one further).
unsigned Joined(unsigned kana, unsigned mark) {
    unsigned base = kFullWidth[kana - kFirstKana];
    bool ka_to_to = kana >= 0xB6 && kana <= 0xC4;
    bool ha_row = kana >= 0xCA && kana <= 0xCE;
    if (mark == kVoicedMark) {
        if (kana == 0xB3) return 0x8394;  // u with the voiced mark: vu
        return ka_to_to || ha_row ? base + 1 : 0;
    }
    return ha_row ? base + 2 : 0;
}

void Put(char *out, size_t &n, unsigned code) {
    out[n++] = static_cast<char>(code >> 8);
    out[n++] = static_cast<char>(code & 0xFF);
}

}  // namespace

size_t WidenKana(const char *text, size_t length, char *out) {
    const AnsiCodePageInfo &cp = AnsiCodePage();
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    size_t n = 0;
    for (size_t i = 0; i < length && s[i] != 0;) {
        unsigned b = s[i];
        bool pair = (cp.byte_class[b] & kLeadByte) && i + 1 < length && s[i + 1] != 0 &&
                    (cp.byte_class[s[i + 1]] & kTrailByte);
        if (pair) {
            out[n++] = text[i];
            out[n++] = text[i + 1];
            i += 2;
        } else if (b < 0x80 || !cp.is_932) {
            out[n++] = text[i++];
        } else if (b >= kFirstKana && b <= kLastKana) {
            unsigned next = i + 1 < length ? s[i + 1] : 0;
            unsigned joined = next == kVoicedMark || next == kSemiVoicedMark ? Joined(b, next) : 0;
            Put(out, n, joined != 0 ? joined : kFullWidth[b - kFirstKana]);
            i += joined != 0 ? 2 : 1;
        } else {
            ++i;  // begins no character of the code page
        }
    }
    return n;
}
