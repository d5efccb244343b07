// jis_ready.cpp -- Shift_JIS characters without a JIS code rewritten as ones that have one.
#include "text/jis_ready.h"

#include "text/code_page.h"

namespace {

// Position of a trail byte among the 188 trail bytes of a lead byte (0x40..0x7E, 0x80..0xFC).
int TrailIndex(unsigned trail) { return static_cast<int>(trail) - 0x40 - (trail > 0x7F ? 1 : 0); }

// The code at position `index` counted from the first code of `lead`.
void CodeAt(unsigned lead, int index, unsigned char out[2]) {
    int t = index % 188;
    out[0] = static_cast<unsigned char>(lead + static_cast<unsigned>(index / 188));
    out[1] = static_cast<unsigned char>(0x40 + t + (t >= 0x3F ? 1 : 0));
}

// The NEC-selected IBM extensions (from 0xED40) hold the IBM kanji in the same order, and the
// small roman numerals and three symbols near their end.
constexpr unsigned kNecSelected = 0xED;
constexpr int kIbmKanji = 28;          // the first IBM kanji, 0xFA5C
constexpr int kNecSmallRoman = 362;    // 0xEEEF
constexpr int kIbmCount = 388;         // 0xFA40 to 0xFC4B

}  // namespace

bool IbmExtensionTwin(unsigned lead, unsigned trail, unsigned char out[2]) {
    if (lead < 0xFA || lead > 0xFC || trail < 0x40 || trail > 0xFC || trail == 0x7F) return false;
    int index = static_cast<int>(lead - 0xFA) * 188 + TrailIndex(trail);
    if (index >= kIbmCount) return false;
    static const unsigned char kSymbols[8][2] = {
        {0x81, 0xCA},  // not sign
        {0xEE, 0xFA},  // broken bar
        {0xEE, 0xFB},  // apostrophe
        {0xEE, 0xFC},  // quotation mark
        {0x87, 0x8A},  // parenthesized kabushiki
        {0x87, 0x82},  // numero
        {0x87, 0x84},  // telephone sign
        {0x81, 0xE6},  // because
    };
    if (index < 10) {
        CodeAt(kNecSelected, kNecSmallRoman + index, out);
    } else if (index < 20) {
        out[0] = 0x87;  // capital roman numerals of NEC row 13
        out[1] = static_cast<unsigned char>(0x54 + index - 10);
    } else if (index < kIbmKanji) {
        out[0] = kSymbols[index - 20][0];
        out[1] = kSymbols[index - 20][1];
    } else {
        CodeAt(kNecSelected, index - kIbmKanji, out);
    }
    return true;
}

int32_t MakeJisReady(char *text) {
    if (text == nullptr) return 0;
    const AnsiCodePageInfo &cp = AnsiCodePage();
    if (!cp.is_932) return 0;
    int32_t replaced = 0;
    auto *s = reinterpret_cast<unsigned char *>(text);
    while (*s != 0) {
        if ((cp.byte_class[s[0]] & kLeadByte) && s[1] != 0 && (cp.byte_class[s[1]] & kTrailByte)) {
            unsigned char jis[2];
            if (!MapSjisToJis(true, s[0], s[1], jis)) {
                unsigned char twin[2] = {0x81, 0xAC};  // the geta mark
                IbmExtensionTwin(s[0], s[1], twin);
                s[0] = twin[0];
                s[1] = twin[1];
                ++replaced;
            }
            s += 2;
        } else {
            ++s;
        }
    }
    return replaced;
}
