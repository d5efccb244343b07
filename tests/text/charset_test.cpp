// charset_test.cpp -- the Shift_JIS, ISO-2022-JP, EUC-JP and UTF-8 conversions case by case.
#include <gtest/gtest.h>

#include <string>

#include "text/charset.h"
#include "text_checks.h"

namespace {
using Conversion = int32_t (*)(const char *, char *, int32_t);

struct Case {
    const char *what;
    Conversion convert;
    std::string input;
    int32_t size;
    int32_t result;
    std::string output;
};

// 亜 is Shift_JIS 88 9F, JIS 30 21, EUC-JP B0 A1; 〓 (the geta mark) is Shift_JIS 81 AC.
const std::string kA = "\x88\x9F";
const std::string kAJis = "\x1B$B0!\x1B(B";
const std::string kKana = "\xB1\xB2";  // half-width katakana ｱｲ

const Case kCases[] = {
    // Shift_JIS to ISO-2022-JP.
    {"ascii passes unchanged, no escape", SjisToJis, "Hello, world", 64, 12, "Hello, world"},
    {"a double-byte run is closed at the end", SjisToJis, kA, 64, 8, kAJis},
    {"runs switch back and forth", SjisToJis, "a" + kA + "b" + kA + kA, 64, 20,
     "a\x1B$B0!\x1B(Bb\x1B$B0!0!\x1B(B"},
    {"half-width katakana pass as 8-bit bytes", SjisToJis, kKana + "x", 64, 3, kKana + "x"},
    {"a lead byte at the end is a single byte", SjisToJis, "a\x88", 64, 2, "a\x88"},
    {"a lead byte before a non-trail is a single byte", SjisToJis, "\x88 a", 64, 3, "\x88 a"},
    {"an IBM extension has no JIS code: stop, keep what came before", SjisToJis, "a" + kA + "\xFA\x40" "b", 64, -1,
     "a\x1B$B0!"},
    {"the escape written before an unmappable character stays", SjisToJis, "a\xFA\x40", 64, -1, "a\x1B$B"},
    {"NEC row 13 maps arithmetically", SjisToJis, "\x87\x40", 64, 8, "\x1B$B-!\x1B(B"},
    {"input longer than the output size", SjisToJis, "abcde", 4, -1, ""},
    {"result and terminator just fit", SjisToJis, kA, 9, 8, kAJis},
    {"no room for the terminator: nothing, not a cut text", SjisToJis, kA, 8, -1, ""},
    {"no room for the closing escape", SjisToJis, "ab" + kA, 8, -1, ""},
    {"ascii filling the whole size leaves no terminator room", SjisToJis, "abcd", 4, -1, ""},
    {"empty input", SjisToJis, "", 16, -1, ""},

    // ISO-2022-JP to Shift_JIS.
    {"ESC $ B 0x3021 ESC ( B is 88 9F", JisToSjis, kAJis, 64, 2, kA},
    {"ESC $ @ enters double-byte mode", JisToSjis, "\x1B$@0!\x1B(B", 64, 2, kA},
    {"ESC & @ ESC $ B enters double-byte mode", JisToSjis, "\x1B&@\x1B$B0!\x1B(Bx", 64, 3, kA + "x"},
    {"ESC $ ( D codes map like the others", JisToSjis, "\x1B$(D0!\x1B(B", 64, 2, kA},
    {"ESC ( J leaves like ESC ( B", JisToSjis, "\x1B$B0!\x1B(Jab", 64, 4, kA + "ab"},
    {"after ESC ( I the bytes are half-width katakana, as iPhone Mail writes them", JisToSjis,
     "(=\x1B(I_\x1B$B&X\x1B(I_\x1B(B)\x1B(II\x1B(B \x1B(I1 2\x1B(J3", 64, 13, "(=\xDF\x83\xD6\xDF)\xC9 \xB1 \xB2" "3"},
    {"an unmappable pair is copied and the walk goes on", JisToSjis, "\x1B$B\x7F!0!\x1B(B", 64, 4, "\x7F!" + kA},
    {"an unknown escape is an ordinary byte", JisToSjis, "a\x1B(Zb", 64, 5, "a\x1B(Zb"},
    {"an escape at the very end ends the text", JisToSjis, "ab\x1B$B", 64, 2, "ab"},
    {"an empty double-byte run", JisToSjis, "\x1B$B\x1B(Babc", 64, 3, "abc"},
    {"words joined: ESC ( B ESC $ B between runs", JisToSjis, "\x1B$B0!\x1B(B\x1B$B0\"\x1B(Bx", 64, 5,
     kA + "\x88\xA0x"},
    {"a lone byte left in double-byte mode", JisToSjis, "\x1B$B0!0", 64, 3, kA + "0"},
    {"a line break inside a double-byte run is taken as a pair", JisToSjis, "\x1B$B\r\n0!\x1B(B", 64, 4,
     "\r\n" + kA},
    {"Shift_JIS bytes in single-byte mode are copied", JisToSjis, kA + kKana, 64, 4, kA + kKana},
    {"input longer than the size", JisToSjis, "abcde", 4, -1, ""},
    {"input as long as the size but with escapes fits", JisToSjis, kAJis, 8, 2, kA},
    {"no room for the terminator", JisToSjis, "abc", 3, -1, ""},
    {"empty input", JisToSjis, "", 16, -1, ""},

    // EUC-JP to ISO-2022-JP: entered with ESC $ @, left open at the end.
    {"a pair", EucToJis, "\xB0\xA1", 64, 5, "\x1B$@0!"},
    {"back to ascii", EucToJis, "a\xB0\xA1" "b", 64, 10, "a\x1B$@0!\x1B(Bb"},
    {"half-width katakana are their byte", EucToJis, "\x8E\xB1\x8E\xB2", 64, 2, kKana},
    {"a JIS X 0212 character is the geta mark", EucToJis, "\x8F\xB0\xA1z", 64, 9, "\x1B$@\x22\x2E\x1B(Bz"},
    {"a character cut off by the end is dropped", EucToJis, "a\xB0", 64, 1, "a"},
    {"a cut JIS X 0212 character is dropped", EucToJis, "a\x8F\xB0", 64, 1, "a"},
    {"no room for the escapes", EucToJis, "a\xB0\xA1", 6, -1, ""},
    {"empty input", EucToJis, "", 16, -1, ""},

    // EUC-JP to Shift_JIS.
    {"B0 A1 is 88 9F", EucToSjis, "\xB0\xA1", 64, 2, kA},
    {"half-width katakana do not eat the text after them", EucToSjis, "\x8E\xB1\xB0\xA1" "a\x8E\xB2", 64, 5,
     "\xB1" + kA + "a\xB2"},
    {"JIS X 0212 becomes the geta mark, the rest is intact", EucToSjis, "\x8F\xB0\xA1\xB0\xA1x", 64, 5,
     "\x81\xAC" + kA + "x"},
    {"mixed text fits where the JIS middle form would not", EucToSjis, "a\xB0\xA1" "b\xB0\xA1", 7, 6,
     "a" + kA + "b" + kA},
    {"input longer than the size", EucToSjis, "abcde", 4, -1, ""},
    {"empty input", EucToSjis, "", 16, -1, ""},

    // UTF-8 to ANSI.
    {"a kanji", Utf8ToAnsi, "\xE4\xBA\x9C", 64, 2, kA},
    {"ascii and kana", Utf8ToAnsi, "a\xE3\x81\x82", 64, 3, "a\x82\xA0"},
    {"NEC row 13 of code page 932", Utf8ToAnsi, "\xE2\x91\xA0", 64, 2, "\x87\x40"},
    {"too small for the UTF-16 middle form", Utf8ToAnsi, "abcd", 4, 0, ""},
    {"too small for the ANSI text", Utf8ToAnsi, "\xE4\xBA\x9C\xE4\xBA\x9C", 4, 0, ""},
    {"empty input", Utf8ToAnsi, "", 16, -1, ""},
};

TEST(Charset, TableOfConversions) {
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.what);
        Narrow out(c.size);
        EXPECT_EQ(c.convert(c.input.c_str(), out.data(), c.size), c.result);
        EXPECT_EQ(Hex(out.Text()), Hex(c.output));
        EXPECT_TRUE(out.GuardIntact());
        if (c.output.empty()) {
            EXPECT_TRUE(out.AllZero());
        }
    }
}

TEST(Charset, WideConversions) {
    Wide out(8);
    EXPECT_EQ(JisToWide(kAJis.c_str(), out.data(), 8), 2);
    EXPECT_EQ(HexW(out.Text()), HexW(WStr(u"亜")));
    EXPECT_EQ(EucToWide("\xB0\xA1" "a", out.data(), 8), 3);
    EXPECT_EQ(HexW(out.Text()), HexW(WStr(u"亜a")));
    EXPECT_EQ(Utf8ToWide("\xE4\xBA\x9C\xF0\x9F\x98\x80", out.data(), 8), 4);
    EXPECT_EQ(HexW(out.Text()), HexW(WStr(u"亜\U0001F600")));
    EXPECT_TRUE(out.GuardIntact());

    Wide small(2);
    EXPECT_EQ(Utf8ToWide("abc", small.data(), 2), 0);
    EXPECT_EQ(JisToWide("abc", small.data(), 2), -1);  // longer than the size, counted in bytes
    EXPECT_EQ(EucToWide("abc", small.data(), 2), -1);
    EXPECT_TRUE(small.AllZero());
    EXPECT_TRUE(small.GuardIntact());
    for (auto *f : {JisToWide, EucToWide, Utf8ToWide}) EXPECT_EQ(f("", out.data(), 8), -1);
}

TEST(Charset, WideToJis) {
    Narrow out(32);
    EXPECT_EQ(WideToJis(Wz(u"亜a"), out.data(), 32), 9);
    EXPECT_EQ(Hex(out.Text()), Hex(kAJis + "a"));
    EXPECT_EQ(WideToJis(Wz(u""), out.data(), 32), -1);
    EXPECT_EQ(WideToJis(Wz(u"abcdef"), out.data(), 4), -1);  // more units than the size
    EXPECT_EQ(WideToJis(Wz(u"亜亜"), out.data(), 4), 0);     // no room in ANSI: nothing converted
    EXPECT_TRUE(out.GuardIntact());
}

TEST(Charset, InPlace) {
    char text[32] = "\x1B$B0!\x1B(B and \x88\xA0";
    JisToSjisInPlace(text, sizeof(text));
    EXPECT_EQ(Hex(text), Hex(kA + " and \x88\xA0"));
    char plain[16] = "\x88\x9F abc";  // no escape: left alone, though it reads as pairs
    JisToSjisInPlace(plain, sizeof(plain));
    EXPECT_EQ(Hex(plain), Hex(kA + " abc"));
    char unterminated[4] = {'\x1B', '$', 'B', '0'};
    JisToSjisInPlace(unterminated, 4);  // no terminator inside the size: not touched
    EXPECT_EQ(std::string(unterminated, 4), std::string("\x1B$B0", 4));
}

TEST(Charset, DoubleByteTest) {
    EXPECT_TRUE(IsDoubleByteChar("\x88\x9F"));
    EXPECT_TRUE(IsDoubleByteChar("\xE0\x40"));
    EXPECT_FALSE(IsDoubleByteChar("\x88"));      // the byte after is the terminator
    EXPECT_FALSE(IsDoubleByteChar("\x88\x7F"));  // 0x7F is no trail byte
    EXPECT_FALSE(IsDoubleByteChar("\x88\x20"));
    EXPECT_FALSE(IsDoubleByteChar("\xB1\xB2"));  // half-width katakana are single bytes
    EXPECT_FALSE(IsDoubleByteChar("ab"));
    EXPECT_FALSE(IsDoubleByteChar(""));
}

TEST(Charset, Escapes) {
    struct {
        const char *text;
        int32_t in, out;
    } cases[] = {
        {"\x1B$@x", 3, 0},   {"\x1B$Bx", 3, 0},  {"\x1B&@\x1B$B", 6, 0}, {"\x1B$(D", 4, 0},
        {"\x1B(B", 0, 3},    {"\x1B(J", 0, 3},   {"\x1B(I", 0, 3},       {"\x1B$A", 0, 0},
        {"\x1B&@\x1B", 0, 0}, {"\x1B$", 0, 0},   {"\x1B", 0, 0},         {"$B", 0, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(Hex(c.text));
        EXPECT_EQ(IsKanjiInEscape(c.text), c.in);
        EXPECT_EQ(IsKanjiOutEscape(c.text), c.out);
    }
}
}  // namespace

// A UTF-8 text cut inside a character ends in one replacement and is still terminated, whatever
// the platform's conversion does with the terminator after a broken sequence.
TEST(Utf8, TextCutInsideACharacterStaysTerminated) {
    zk_wchar_t wide[4] = {1, 1, 1, 1};
    EXPECT_EQ(2, Utf8ToWide("\xE3", wide, 4));
    EXPECT_EQ(0xFFFD, static_cast<int>(wide[0]));
    EXPECT_EQ(0, static_cast<int>(wide[1]));
    zk_wchar_t one[1] = {1};
    EXPECT_EQ(0, Utf8ToWide("\xE3", one, 1));  // no room for the terminator
    EXPECT_EQ(0, static_cast<int>(one[0]));
    char narrow[8];
    EXPECT_EQ(2, Utf8ToAnsi("a\xE3\x81", narrow, sizeof(narrow)));
    EXPECT_STREQ("a?", narrow);
}
