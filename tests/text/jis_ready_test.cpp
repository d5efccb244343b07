// jis_ready_test.cpp -- characters without a JIS code made ready for ISO-2022-JP: every IBM
// extension character becomes a twin that reads as the same character in code page 932 and has
// a JIS code; what has none becomes the geta mark; everything else stays.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "text/charset.h"
#include "text/jis_ready.h"

namespace {

std::u16string Read932(const std::string &sjis) {
    char16_t out[8] = {0};
    int n = win::MultiByteToWideChar(win::kCp932, 0, sjis.data(), static_cast<int>(sjis.size()),
                                     reinterpret_cast<WCHAR *>(out), 8);
    return std::u16string(out, n > 0 ? static_cast<size_t>(n) : 0);
}

TEST(JisReady, EveryIbmExtensionHasATwinOfTheSameCharacterWithAJisCode) {
    int count = 0;
    for (unsigned lead = 0xFA; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            std::string ibm{static_cast<char>(lead), static_cast<char>(trail)};
            std::u16string reading = Read932(ibm);
            unsigned char twin[2];
            bool has_twin = IbmExtensionTwin(lead, trail, twin);
            if (reading.size() != 1 || reading[0] == 0x30FB) {  // not a character of the code page
                continue;
            }
            SCOPED_TRACE(std::to_string(lead) + " " + std::to_string(trail));
            ASSERT_TRUE(has_twin);
            ++count;
            std::string text = ibm;
            EXPECT_EQ(1, MakeJisReady(&text[0]));
            EXPECT_EQ(std::string(reinterpret_cast<char *>(twin), 2), text);
            EXPECT_EQ(reading, Read932(text));
            char jis[16];
            EXPECT_EQ(8, SjisToJis(text.c_str(), jis, sizeof(jis)));
        }
    }
    EXPECT_EQ(388, count);
}

TEST(JisReady, OtherTextStays) {
    struct Case {
        std::string in, out;
        int replaced;
    } cases[] = {
        {"plain ascii", "plain ascii", 0},
        {"\x88\x9F\x87\x40\xED\x40\xEE\xEF", "\x88\x9F\x87\x40\xED\x40\xEE\xEF", 0},  // JIS X 0208, NEC, NEC-selected
        {"a\xF0\x40" "b", "a\x81\xAC" "b", 1},                                     // user-defined: the geta mark
        {"\xB1\xB2", "\xB1\xB2", 0},                                               // half-width katakana
        {"x\xFA", "x\xFA", 0},                                                     // a lead byte at the end
        {"\xFA\x40\xFA", "\xEE\xEF\xFA", 1},
    };
    for (auto &c : cases) {
        std::string text = c.in;
        EXPECT_EQ(c.replaced, MakeJisReady(&text[0])) << c.in;
        EXPECT_EQ(c.out, text);
    }
    EXPECT_EQ(0, MakeJisReady(nullptr));
}

// Half-width katakana as Japanese mailers send them: full-width, a mark joined where it makes
// one character; bytes that begin no character left out.
TEST(JisReady, HalfWidthKatakanaBecomeFullWidth) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"\xB6\xDE\xCA\xDF\xB3\xDE", "\x83\x4B\x83\x70\x83\x94"},       // ｶﾞﾊﾟｳﾞ: ガパヴ
        {"\xB1\xDE\xDC\xDE\xB6\xDF", "\x83\x41\x81\x4A\x83\x8F\x81\x4A\x83\x4A\x81\x4B"},  // ｱﾞﾜﾞｶﾟ: no joins
        {"\xA1\xA2\xA3\xA4\xA5\xB0\xDE\xDF", "\x81\x42\x81\x75\x81\x76\x81\x41\x81\x45\x81\x5B\x81\x4A\x81\x4B"},
        {"\xA6\xA7\xAF\xDD", "\x83\x92\x83\x40\x83\x62\x83\x93"},       // ｦｧｯﾝ
        {"a\x83\xB1" "b", "a\x83\xB1" "b"},  // a double-byte character whose second byte is a kana byte
        {"a\x80\xA0\xFD" "b\x81", "ab"},      // no characters of code page 932
        {"plain", "plain"},
    };
    for (const auto &c : cases) {
        char out[64];
        size_t n = WidenKana(c.in.data(), c.in.size(), out);
        EXPECT_EQ(c.out, std::string(out, n)) << c.in;
    }
    // Each of the 63 becomes a different full-width character (CJK punctuation and katakana).
    std::u16string seen;
    for (unsigned b = 0xA1; b <= 0xDF; ++b) {
        char in = static_cast<char>(b), out[2];
        ASSERT_EQ(2u, WidenKana(&in, 1, out));
        std::u16string full = Read932(std::string(out, 2));
        ASSERT_EQ(1u, full.size());
        EXPECT_TRUE(full[0] >= 0x3000 && full[0] <= 0x30FF) << b;
        EXPECT_EQ(std::u16string::npos, seen.find(full[0])) << b;
        seen += full[0];
    }
}

}  // namespace
