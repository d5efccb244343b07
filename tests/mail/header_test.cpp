// header_test.cpp -- the header block and the field lookup, case by case: where the header ends,
// how folded, repeated and empty fields read, the blanks after the colon, encoded words, and the W
// forms' results.
#include <gtest/gtest.h>

#include <string>

#include "extract_checks.h"
#include "mail/receive/header_lines.h"
#include "zknet/mail.h"

namespace {
using namespace mailtest;

const std::string kNichi = "\x93\xFA";  // 日 in Shift_JIS
const std::string kHon = "\x96\x7B";    // 本
const std::string kA = "\x88\x9F";      // 亜

struct HeaderCase {
    const char *what;
    std::string text;
    std::string header;
};

const HeaderCase kHeaders[] = {
    {"the header with the CR LF of its last line", "Subject: abc\r\n\r\nbody", "Subject: abc\r\n"},
    {"a text without an empty line is header as a whole", "A: 1\r\nB: 2\r\n", "A: 1\r\nB: 2\r\n"},
    {"the whole text also without a last line end", "A: 1\r\nB: 2", "A: 1\r\nB: 2"},
    {"only the first empty line counts", "A: 1\r\n\r\nB: 2\r\n\r\nbody", "A: 1\r\n"},
    {"a text that begins with the empty line has an empty header", "\r\nbody", ""},
    {"a lone CR ends a line without taking the byte after it", "A: 1\rB: 2\r\n\r\nx", "A: 1\rB: 2\r\n"},
    {"a bare LF does not end a line", "A: 1\nB: 2\n\nx", "A: 1\nB: 2\n\nx"},
    {"the text ends at a NUL byte", std::string("A: 1\r\nB: 2\0\r\n\r\nx", 16), "A: 1\r\nB: 2"},
    {"a line of 10000 bytes", "X: " + std::string(9997, 'a') + "\r\nY: 1\r\n\r\nbody",
     "X: " + std::string(9997, 'a') + "\r\nY: 1\r\n"},
};

TEST(MailGetHeader, WhereTheHeaderEnds) {
    for (const HeaderCase &c : kHeaders) {
        SCOPED_TRACE(c.what);
        Narrow a(20000);
        EXPECT_EQ(ZK_MailGetHeaderA(c.text.c_str(), a.data(), a.size), static_cast<int32_t>(c.header.size()));
        EXPECT_EQ(a.Text(), c.header);
        Wide w(20000);
        int32_t units = ZK_MailGetHeaderW(c.text.c_str(), w.data(), w.size);
        EXPECT_EQ(units, c.header.empty() ? -1 : static_cast<int32_t>(c.header.size()) + 1);
        EXPECT_EQ(HexW(w.Text()), HexW(Widen(c.header)));
    }
}

// A line read 4096 bytes at a time would go on two bytes further, skipping "zz", and find the
// CR LF that ends the line taken for an empty line; the header would end one line early.
TEST(MailGetHeader, LongLineIsNotCutAt4096) {
    std::string text = "X-Long: " + std::string(4088, 'a') + "zz\r\n\r\nrest\r\n\r\nbody";
    Narrow a(8192);
    EXPECT_EQ(ZK_MailGetHeaderA(text.c_str(), a.data(), a.size), 4100);
    EXPECT_EQ(FindHeaderEnd(text.c_str()), 4100);
}

TEST(MailGetHeader, EmptyAndNullTexts) {
    Narrow a(16);
    EXPECT_EQ(ZK_MailGetHeaderA("", a.data(), a.size), -1);
    EXPECT_EQ(ZK_MailGetHeaderA(nullptr, a.data(), a.size), -1);
    EXPECT_TRUE(a.Untouched());  // the A form leaves the output alone for an empty text
    Wide w(16);
    EXPECT_EQ(ZK_MailGetHeaderW("", w.data(), w.size), -1);
    EXPECT_EQ(w.storage[0], 0);  // the W form sets an empty text first
    EXPECT_EQ(ZK_MailGetHeaderA("A: 1\r\n", nullptr, 100), -1);
    EXPECT_EQ(ZK_MailGetHeaderW("A: 1\r\n", nullptr, 100), -1);
}

TEST(MailGetHeader, EverySizeGivesTheWholeHeaderOrNothing) {
    std::string text = "Subject: " + kNichi + kHon + "\r\nFrom: a@b\r\n\r\nbody";
    int32_t length = static_cast<int32_t>(text.find("\r\n\r\n")) + 2;
    for (int32_t size = 1; size <= length + 2; ++size) {
        SCOPED_TRACE(size);
        Narrow a(size);
        int32_t r = ZK_MailGetHeaderA(text.c_str(), a.data(), size);
        ASSERT_TRUE(a.GuardIntact());
        if (size <= length) {
            ASSERT_EQ(r, -1);
            ASSERT_TRUE(a.AllZero());
        } else {
            ASSERT_EQ(r, length);
            ASSERT_EQ(a.Text(), text.substr(0, static_cast<size_t>(length)));
        }
        // UTF-16 needs a unit per character: the two kanji take one unit each.
        Wide w(size);
        r = ZK_MailGetHeaderW(text.c_str(), w.data(), size);
        ASSERT_TRUE(w.GuardIntact());
        if (size < length - 1) {
            ASSERT_EQ(r, -1);
            ASSERT_EQ(w.storage[0], 0);
        } else {
            ASSERT_EQ(r, length - 1);
        }
    }
}

struct TagCase {
    const char *what;
    std::string text;
    const char *tag;
    std::string value;  // the A form's value; "" with result 0
};

const std::string kJisWord = "=?ISO-2022-JP?B?GyRCMCEbKEI=?=";  // 亜

const TagCase kTags[] = {
    {"a plain field", "Subject: abc\r\n\r\n", "Subject:", "abc"},
    {"unfolding removes the line break alone", "Subject: abc\r\n\tdef\r\n\r\n", "Subject:", "abc\tdef"},
    {"plain text folded keeps its words apart", "Subject: not listed in\r\n Domino Directory\r\n", "Subject:",
     "not listed in Domino Directory"},
    {"a continuation keeps every byte", "Subject: ab\r\n \t\x01 c  d \r\n", "Subject:", "ab \t\x01 c  d "},
    {"repeated fields join by CR LF in header order", "Received: one\r\nX: y\r\nReceived: two\r\n\r\n", "Received:",
     "one\r\ntwo"},
    {"the tag matches in any case", "FROM: a@b\r\n", "From:", "a@b"},
    {"the tag is compared whole with its colon", "Subject-Extra: no\r\nSubject: yes\r\n", "Subject:", "yes"},
    {"a line shorter than the tag never matches", "Subj\r\nSubject: x\r\n", "Subject:", "x"},
    {"a value right after the colon", "Content-Transfer-Encoding:7bit\r\n", "Content-Transfer-Encoding:", "7bit"},
    {"every blank after the colon is passed over", "Subject: \t two\r\n", "Subject:", "two"},
    {"a double-byte character right after the colon", "Subject:" + kNichi + kHon + "\r\n", "Subject:",
     kNichi + kHon},
    {"a line that ends at the colon has an empty value", "Subject:\r\n\r\n", "Subject:", ""},
    {"a value that begins on its continuation line", "Subject: \r\n " + kJisWord + "\r\n \tx\r\n", "Subject:",
     kA + " \tx"},
    {"after a value, an empty occurrence still gathers its lines", "X: a\r\nX:\r\n b\r\n", "X:", "a\r\nb"},
    {"a continuation of another field is not taken", "Subject: a\r\nTo: b\r\n c\r\n", "Subject:", "a"},
    {"a field after the empty line is body", "A: 1\r\n\r\nSubject: body\r\n", "Subject:", ""},
    {"an absent field", "A: 1\r\n\r\n", "Subject:", ""},
    {"an encoded word is decoded", "Subject: " + kJisWord + "\r\n", "Subject:", kA},
    {"encoded words folded over lines join", "Subject: =?UTF-8?B?5pel?=\r\n =?UTF-8?B?5pys?=\r\n", "Subject:",
     kNichi + kHon},
    {"the blank between an encoded name and its address stays", "From: =?UTF-8?B?5pel?=\r\n <a@b>\r\n", "From:",
     kNichi + " <a@b>"},
    {"raw ISO-2022-JP in a field is converted", "Subject: Re: \x1B$B0!\x1B(B\r\n", "Subject:", "Re: " + kA},
    {"an encoded word cut off drops its two characters after the opening", "Subject: =?UTF-8?B?5pel\r\n", "Subject:",
     "el"},
    {"the text ends at a NUL byte", std::string("A: 1\0Subject: x\r\n", 17), "Subject:", ""},
    {"a line of 10000 bytes is taken whole", "X: " + std::string(10000, 'q') + "\r\nSubject: after\r\n", "Subject:",
     "after"},
    {"a text without an empty line is searched to its end", "A: 1\r\nSubject: last", "Subject:", "last"},
};

TEST(MailGetHeaderTag, Rules) {
    for (const TagCase &c : kTags) {
        SCOPED_TRACE(c.what);
        Narrow a(1024);
        int32_t r = ZK_MailGetHeaderTagA(c.text.c_str(), c.tag, a.data(), a.size);
        EXPECT_EQ(r, static_cast<int32_t>(c.value.size()));
        EXPECT_EQ(Hex(a.Text()), Hex(c.value));
        // Beyond the value the output is all zeros.
        for (size_t i = c.value.size(); i < 1024; ++i) ASSERT_EQ(a.storage[i], 0);
    }
}

TEST(MailGetHeaderTag, WideForm) {
    Wide w(64);
    const zk_wchar_t tag[] = {'S', 'u', 'b', 'j', 'e', 'c', 't', ':', 0};
    // The value's characters plus the terminator.
    EXPECT_EQ(ZK_MailGetHeaderTagW(("Subject: " + kJisWord + "x\r\n").c_str(), tag, w.data(), w.size), 3);
    EXPECT_EQ(HexW(w.Text()), HexW(W(u"\u4E9Cx")));
    // Absent, empty and refused: the output stays as the caller gave it.
    for (const char *text : {"A: 1\r\n", "Subject:\r\n", "Subject: 0123456789\r\n"}) {
        Wide keep(12);
        int32_t r = ZK_MailGetHeaderTagW(text, tag, keep.data(), keep.size);
        EXPECT_TRUE(r == 0 || r == -1);
        EXPECT_TRUE(keep.Untouched()) << text;
    }
}

TEST(MailGetHeaderTag, EmptyOrNullTagAndOutput) {
    const zk_wchar_t empty[] = {0};
    Wide w(16);
    EXPECT_EQ(ZK_MailGetHeaderTagW("Subject: x\r\n", empty, w.data(), w.size), -1);
    EXPECT_EQ(ZK_MailGetHeaderTagW("Subject: x\r\n", nullptr, w.data(), w.size), -1);
    Narrow a(16);
    EXPECT_EQ(ZK_MailGetHeaderTagA("Subject: x\r\n", "", a.data(), a.size), -1);
    EXPECT_TRUE(a.AllZero());
    EXPECT_EQ(ZK_MailGetHeaderTagA("Subject: x\r\n", nullptr, a.data(), a.size), -1);
    EXPECT_EQ(ZK_MailGetHeaderTagA(nullptr, "Subject:", a.data(), a.size), 0);
    // Without an output a present field does not fit and an absent one is absent.
    EXPECT_EQ(ZK_MailGetHeaderTagA("Subject: x\r\n", "Subject:", nullptr, 16), -1);
    EXPECT_EQ(ZK_MailGetHeaderTagA("Subject: x\r\n", "From:", nullptr, 16), 0);
    EXPECT_EQ(ZK_MailGetHeaderTagA("Subject: x\r\n", "Subject:", a.data(), 0), -1);
    EXPECT_EQ(ZK_MailGetHeaderTagW("Subject: x\r\n", nullptr, nullptr, 16), -1);
}

// The raw value, all occurrences and continuation lines together, must leave room: a first line
// needs its length plus 3 bytes, each continuation its whole length (with its blanks) plus 1.
TEST(MailGetHeaderTag, FitRule) {
    struct {
        std::string text;
        int32_t smallest;  // the smallest size that holds the value
    } cases[] = {
        {"Subject: abcd\r\n", 7},
        {"Subject: ab\r\n\tcd\r\n", 6},   // "ab" needs 5; then 2 + 3 (the TAB counts) < size
        {"Subject: ab\r\nSubject: cd\r\n", 7},  // "ab", then 2 + 2 + 2 < size
        {"Subject: " + kJisWord + "\r\n", 33},  // the raw word counts, not the decoded character
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        Narrow below(c.smallest - 1);
        EXPECT_EQ(ZK_MailGetHeaderTagA(c.text.c_str(), "Subject:", below.data(), below.size), -1);
        EXPECT_TRUE(below.AllZero());
        Narrow at(c.smallest);
        EXPECT_GT(ZK_MailGetHeaderTagA(c.text.c_str(), "Subject:", at.data(), at.size), 0);
        EXPECT_TRUE(below.GuardIntact() && at.GuardIntact());
    }
}

}  // namespace
