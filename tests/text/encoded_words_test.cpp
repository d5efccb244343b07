// encoded_words_test.cpp -- header values with encoded words: the rules case by case, and the
// values Python's email package writes, read as Python reads them.
#include <gtest/gtest.h>

#include <string>

#include "text/encoded_words.h"
#include "text/transfer_charset.h"
#include "text/base64.h"
#include "text_checks.h"

namespace {
const std::string kA = "\x88\x9F";        // 亜
const std::string kNichi = "\x93\xFA";    // 日
const std::string kHon = "\x96\x7B";      // 本

std::string Decode(const std::string &value, int32_t size = 256, int32_t *result = nullptr) {
    Narrow out(size);
    int32_t r = DecodeEncodedWords(value.c_str(), out.data(), size);
    EXPECT_TRUE(out.GuardIntact());
    EXPECT_EQ(r, static_cast<int32_t>(out.Text().size()));
    if (result) *result = r;
    return out.Text();
}

struct Rule {
    const char *what;
    std::string value;
    std::string decoded;
};

const Rule kRules[] = {
    {"plain text stays as it is", "Hello, world  =? ?= =?x", "Hello, world  =? ?= =?x"},
    {"raw ISO-2022-JP in the value is converted", "Re: \x1B$B0!\x1B(B", "Re: " + kA},
    {"ISO-2022-JP in Base64", "=?ISO-2022-JP?B?GyRCMCEbKEI=?=", kA},
    {"ISO-2022-JP in quoted-printable", "=?ISO-2022-JP?Q?=1B$B0!=1B(B?=", kA},
    {"Shift_JIS as it was encoded", "=?Shift_JIS?B?iJ8=?=", kA},
    {"EUC-JP", "=?EUC-JP?B?sKE=?=", kA},
    {"UTF-8", "=?UTF-8?B?5Lqc?=", kA},
    {"openings in any case", "=?iso-2022-jp?b?GyRCMCEbKEI=?==?shift_jis?b?iJ8=?==?euc-jp?b?sKE=?==?utf-8?b?5Lqc?=",
     kA + kA + kA + kA},
    {"two words across a space join", "=?UTF-8?B?5pel?= =?UTF-8?B?5pys?=", kNichi + kHon},
    {"two words across blanks and tabs join", "=?UTF-8?B?5pel?= \t =?UTF-8?B?5pys?=", kNichi + kHon},
    {"a blank between a word and plain text stays", "=?UTF-8?B?5pel?= <x@y>", kNichi + " <x@y>"},
    {"blanks before a word stay", "Re:  =?UTF-8?B?5pel?=", "Re:  " + kNichi},
    {"a line break between words stays (separate occurrences)", "=?UTF-8?B?5pel?=\r\n=?UTF-8?B?5pys?=",
     kNichi + "\r\n" + kHon},
    {"an underscore in a Q word is a space", "=?ISO-2022-JP?Q?a_b?=", "a b"},
    {"every charset in either encoding",
     "=?UTF-8?Q?=E4=BA=9C_?==?EUC-JP?q?=B0=A1?==?Shift_JIS?Q?=88=9F?==?CP932?B?iJ8=?==?windows-31j?b?iJ8=?=",
     kA + " " + kA + kA + kA + kA},
    {"another charset stays", "=?ISO-8859-1?Q?caf=E9?=", "=?ISO-8859-1?Q?caf=E9?="},
    {"another charset stays", "=?ISO-8859-1?B?YWJj?= x", "=?ISO-8859-1?B?YWJj?= x"},
    {"an opening cut short is plain text", "=?UTF-8?B", "=?UTF-8?B"},
    {"a word without its closing text drops two characters", "=?UTF-8?B?5pel", "el"},
    {"a word at the very end without text", "ab=?UTF-8?B?", "ab"},
    {"a word that does not decode is dropped, its blank stays", "=?ISO-2022-JP?Q?\x88?= x", " x"},
    {"an empty word is dropped", "a =?UTF-8?B?" "?= b", "a  b"},
    {"a UTF-8 character with no place in code page 932", "=?UTF-8?B?6rCA?=", "?"},
    // Characters split between words come out whole once the words are joined.
    {"UTF-8 split between words", "=?UTF-8?B?5pc=?= =?UTF-8?B?peacrA==?=", kNichi + kHon},
    {"ISO-2022-JP split inside a pair", "=?ISO-2022-JP?B?GyRCMA==?= =?ISO-2022-JP?B?IRsoQg==?=", kA},
    {"ISO-2022-JP continued without a new escape", "=?ISO-2022-JP?B?GyRCMCE=?= =?ISO-2022-JP?B?MCEbKEI=?=", kA + kA},
    {"EUC-JP split inside a pair", "=?EUC-JP?B?sA==?= =?EUC-JP?B?oQ==?=", kA},
    {"Q words split inside a pair", "=?ISO-2022-JP?Q?=1B$B0?= =?ISO-2022-JP?Q?!=1B(B?=", kA},
    {"words of different forms are converted one by one", "=?ISO-2022-JP?B?GyRCMA==?= =?EUC-JP?B?oQ==?=", "0"},
    {"an empty word between two", "=?UTF-8?B?5pel?= =?UTF-8?B?" "?= =?UTF-8?B?5pys?=", kNichi + kHon},
    // ISO-2022-JP as iPhone Mail writes it: half-width katakana after ESC ( I.
    {"half-width katakana in a word", "=?ISO-2022-JP?B?KD0bKElfGyRCJlgbKElfGyhCKRsoSUkbKEI=?=",
     "(=\xDF\x83\xD6\xDF)\xC9"},
    {"half-width katakana in raw ISO-2022-JP", "Re: \x1B(I3_7\x1B(B", "Re: \xB3\xDF\xB7"},
};

TEST(EncodedWords, Rules) {
    for (const Rule &r : kRules) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(Hex(Decode(r.value)), Hex(r.decoded));
    }
}

// A word standing alone gives exactly what its decoding operation gives.
TEST(EncodedWords, LoneWordsAsTheirOperations) {
    struct {
        const char *opening;
        int32_t (*decode)(const char *, char *, int32_t);
        const char *text;
    } words[] = {
        {"=?ISO-2022-JP?B?", Base64JisToSjis, "GyRCJCIkJCQmGyhCYWJj"},
        {"=?ISO-2022-JP?Q?", QpJisToSjis, "=1B$B$\"$$=1B(Bx"},
        {"=?EUC-JP?B?", Base64EucToSjis, "pKKkpI6xj7Ch"},
        {"=?UTF-8?B?", Base64Utf8ToAnsi, "44GC44GE772x8J+YgA=="},
        {"=?Shift_JIS?B?", Base64Decode, "gqCCog=="},
    };
    for (const auto &w : words) {
        SCOPED_TRACE(w.opening);
        Narrow alone(64);
        ASSERT_GT(w.decode(w.text, alone.data(), 64), 0);
        EXPECT_EQ(Hex(Decode(std::string(w.opening) + w.text + "?=", 64)), Hex(alone.Text()));
    }
}

TEST(EncodedWords, OutputBounds) {
    int32_t r;
    // Plain text is cut after its last whole character.
    EXPECT_EQ(Hex(Decode("abc" + kA, 5, &r)), Hex("abc"));
    EXPECT_EQ(Hex(Decode("abc" + kA, 6, &r)), Hex("abc" + kA));
    // A word that fits the size but not what is left of the output is cut the same way.
    EXPECT_EQ(Hex(Decode("ab=?UTF-8?B?5pel5pys?=", 6, &r)), Hex("ab" + kNichi));
    // A word that does not fit the size at all does not decode.
    EXPECT_EQ(Hex(Decode("=?UTF-8?B?5pel5pys?= x", 4, &r)), Hex(" x"));
    EXPECT_EQ(Decode("anything", 1, &r), "");
    // Joining stops where the joined text would no longer fit; the rest decodes on its own.
    EXPECT_EQ(Hex(Decode("=?UTF-8?B?5pel?= =?UTF-8?B?5pys?=", 5, &r)), Hex(kNichi + kHon));
}

struct Fixture {
    const char *name;
    const char *value;
    const char *expected;
};

const Fixture kFromPython[] = {
#include "encoded_word_cases.inc"
};

TEST(EncodedWords, ValuesWrittenByPython) {
    for (const Fixture &f : kFromPython) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(Hex(Decode(f.value, 1024)), Hex(f.expected));
    }
}
}  // namespace
