// code_page.cpp -- the ANSI code page's byte classes and the double-byte test.
#include "text/code_page.h"

#include "platform/platform.h"
#include "text/charset.h"

namespace {
bool IsTrailOf(bool is_932, unsigned b) {
    // Code page 932 trails run 0x40 to 0xFC; the other double-byte code pages reach 0xFE.
    return b >= 0x40 && b != 0x7F && b <= (is_932 ? 0xFCu : 0xFEu);
}

AnsiCodePageInfo ReadAnsiCodePage() {
    AnsiCodePageInfo info{};
    UINT cp = win::GetACP();
    info.is_932 = cp == win::kCp932;
    for (unsigned b = 0; b < 256; ++b) {
        uint8_t c = 0;
        if (win::IsDBCSLeadByteEx(cp, static_cast<BYTE>(b))) c |= kLeadByte;
        if (IsTrailOf(info.is_932, b)) c |= kTrailByte;
        info.byte_class[b] = c;
    }
    return info;
}
}  // namespace

const AnsiCodePageInfo &AnsiCodePage() {
    static const AnsiCodePageInfo info = ReadAnsiCodePage();
    return info;
}

bool IsDoubleByteChar(const char *position) {
    if (position == nullptr) return false;
    const auto *p = reinterpret_cast<const unsigned char *>(position);
    const AnsiCodePageInfo &cp = AnsiCodePage();
    // The lead test comes first: the terminator is no lead byte, so nothing after it is read.
    return (cp.byte_class[p[0]] & kLeadByte) != 0 && p[1] != 0 && (cp.byte_class[p[1]] & kTrailByte) != 0;
}
