// code_page.h -- what the conversions need to know of the ANSI code page: which bytes lead and
// trail double-byte characters, and the arithmetic between Shift_JIS and JIS X 0208 codes.
#ifndef ZK_TEXT_CODE_PAGE_H
#define ZK_TEXT_CODE_PAGE_H

#include <cstdint>

enum : uint8_t { kLeadByte = 1, kTrailByte = 2 };

struct AnsiCodePageInfo {
    uint8_t byte_class[256];  // kLeadByte | kTrailByte per byte value
    bool is_932;              // only code page 932 maps between Shift_JIS and JIS codes
};

// Taken from the system once, on first use; the code page does not change while a process runs.
const AnsiCodePageInfo &AnsiCodePage();

// JIS X 0208 code (two bytes of 0x21 to 0x7E) to Shift_JIS. False for any other pair, which
// the callers copy as it is. Outside code page 932 every code stays as it is.
inline bool MapJisToSjis(bool is_932, unsigned high, unsigned low, unsigned char out[2]) {
    if (!is_932) {
        out[0] = static_cast<unsigned char>(high);
        out[1] = static_cast<unsigned char>(low);
        return true;
    }
    if (high - 0x21u > 0x5Du || low - 0x21u > 0x5Du) return false;
    // Written without branches on the code: kanji come in no predictable order.
    unsigned row = (high - 0x21) >> 1;
    unsigned odd = high & 1;
    out[0] = static_cast<unsigned char>(row + 0x81 + (row >= 31) * 0x40);
    out[1] = static_cast<unsigned char>(low + 0x7E - odd * (0x5F - (low >= 0x60)));
    return true;
}

// Shift_JIS lead and trail byte (already known to form a double-byte character) to the JIS
// code; false when the code falls outside 0x2121 to 0x7E7E.
inline bool MapSjisToJis(bool is_932, unsigned lead, unsigned trail, unsigned char out[2]) {
    if (!is_932) {
        out[0] = static_cast<unsigned char>(lead);
        out[1] = static_cast<unsigned char>(trail);
        return true;
    }
    unsigned base = lead - 0x81 - (lead >= 0xA0) * 0x40;
    unsigned second = trail >= 0x9F;  // the even row of the pair
    unsigned high = 2 * base + 0x21 + second;
    unsigned low = second ? trail - 0x7E : trail - 0x1F - (trail > 0x7E);
    if (high - 0x21u > 0x5Du || low - 0x21u > 0x5Du) return false;
    out[0] = static_cast<unsigned char>(high);
    out[1] = static_cast<unsigned char>(low);
    return true;
}

#endif  // ZK_TEXT_CODE_PAGE_H
