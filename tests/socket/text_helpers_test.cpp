// text_helpers_test.cpp -- ANSI/UTF-16 conversion (code page 932) and the reply containment test.
#include <gtest/gtest.h>

#include <cstring>

#include "socket/text_helpers.h"
#include "support/net_peer.h"

TEST(TextHelpers, ContainsNoCaseFindsThePatternAnywhereWithoutCase) {
    EXPECT_EQ(1, ContainsNoCaseA("", ""));
    EXPECT_EQ(1, ContainsNoCaseA("abc", ""));
    EXPECT_EQ(0, ContainsNoCaseA("", "a"));
    EXPECT_EQ(1, ContainsNoCaseA("250-first line then 220", "220"));
    EXPECT_EQ(1, ContainsNoCaseA("+ok ready", "+OK"));
    EXPECT_EQ(1, ContainsNoCaseA("ready +OK", "+ok"));
    EXPECT_EQ(0, ContainsNoCaseA("+O", "+OK"));      // the text ends inside the pattern
    EXPECT_EQ(0, ContainsNoCaseA("22 0", "220"));
    EXPECT_EQ(1, ContainsNoCaseA(nullptr, nullptr));  // null texts count as empty
    EXPECT_EQ(0, ContainsNoCaseA(nullptr, "x"));
    // Only A to Z fold: full-width letters and other bytes compare exactly.
    EXPECT_EQ(0, ContainsNoCaseA("\x82\x60", "\x82\x81"));  // full-width A against full-width a
    EXPECT_EQ(0, ContainsNoCaseA("[", "{"));                  // 0x5B and 0x7B differ by 0x20 too
}

TEST(TextHelpers, ContainsNoCaseWideComparesUnits) {
    EXPECT_EQ(1, ContainsNoCaseW(W(U16("Reply 226 Transfer complete")), W(U16("transfer COMPLETE"))));
    EXPECT_EQ(1, ContainsNoCaseW(W(U16("")), W(U16(""))));
    EXPECT_EQ(0, ContainsNoCaseW(W(U16("")), W(U16("a"))));
    std::u16string fullwidth = u"\uFF21\uFF22";  // full-width AB: no folding outside A to Z
    EXPECT_EQ(0, ContainsNoCaseW(W(fullwidth), W(std::u16string(u"\uFF41\uFF42"))));
}

TEST(TextHelpers, AnsiToWideCountsTheTerminator) {
    zk_wchar_t out[4];
    EXPECT_EQ(4, AnsiToWide("abc", out, 4));
    EXPECT_EQ(std::u16string(u"abc"), std::u16string(reinterpret_cast<const char16_t *>(out)));
    EXPECT_EQ(0, AnsiToWide("abc", out, 3));  // no room for the terminator
    out[0] = 'x';
    EXPECT_EQ(-1, AnsiToWide("", out, 4));
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(0, AnsiToWide("abc", out, 0));
}

TEST(TextHelpers, WideToAnsiZeroFillsAndCountsWithoutTheTerminator) {
    char out[8];
    std::memset(out, 'x', sizeof(out));
    EXPECT_EQ(3, WideToAnsi(W(U16("abc")), out, 4));
    EXPECT_STREQ("abc", out);
    std::memset(out, 'x', sizeof(out));
    EXPECT_EQ(-1, WideToAnsi(W(U16("")), out, sizeof(out)));
    for (char c : out) EXPECT_EQ('\0', c);
    EXPECT_EQ(0, WideToAnsi(W(U16("abcd")), out, 4));  // does not fit with its terminator
    EXPECT_STREQ("", out);
}

TEST(TextHelpers, JapaneseTextGoesThroughCodePage932) {
    // "日本語テキスト" in Shift_JIS (code page 932) and in UTF-16.
    const char sjis[] = "\x93\xfa\x96\x7b\x8c\xea\x83\x65\x83\x4c\x83\x58\x83\x67";
    std::u16string utf16 = u"\u65e5\u672c\u8a9e\u30c6\u30ad\u30b9\u30c8";
    zk_wchar_t wide[16];
    EXPECT_EQ(8, AnsiToWide(sjis, wide, 16));
    EXPECT_EQ(utf16, std::u16string(reinterpret_cast<const char16_t *>(wide)));
    char narrow[32];
    EXPECT_EQ(14, WideToAnsi(W(utf16), narrow, sizeof(narrow)));
    EXPECT_STREQ(sjis, narrow);
    // A double-byte character that would be cut in half does not convert at all.
    EXPECT_EQ(0, WideToAnsi(W(utf16), narrow, 14));
    // Code page 932's own choices: FULLWIDTH TILDE for 0x8160 and the NEC circled digit row.
    EXPECT_EQ(2, AnsiToWide("\x81\x60", wide, 16));
    EXPECT_EQ(0xFF5E, static_cast<int>(wide[0]));
    EXPECT_EQ(2, AnsiToWide("\x87\x40", wide, 16));
    EXPECT_EQ(0x2460, static_cast<int>(wide[0]));
    // A character code page 932 lacks becomes '?', as the platform's conversion does.
    EXPECT_EQ(1, WideToAnsi(W(std::u16string(u"\u0e01")), narrow, sizeof(narrow)));  // Thai KO KAI
    EXPECT_STREQ("?", narrow);
}
