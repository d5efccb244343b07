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

}  // namespace
