// compose_test.cpp -- the pieces of a message without a server: folding, the body's wire text
// (CR LF, dot-stuffing, end of the data), the two subject forms and the header-field setters.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mail/mail_session.h"
#include "mail/send/message_text.h"
#include "mail/send/smtp.h"
#include "send_support.h"
#include "text/base64.h"
#include "text/charset.h"

namespace {

const std::string kNichi = "\x93\xFA";  // 日
const std::string kHon = "\x96\x7B";    // 本

struct FoldCase {
    const char *what;
    std::string text;
    int32_t size;  // 0: room enough
    int32_t width;
    int32_t result;
    std::string folded;
};

const FoldCase kFoldCases[] = {
    {"thirteen bytes at width 10", "abcdefghijklm", 0, 10, 1, "abcdefghij\r\nklm"},
    {"a double-byte character at column 9 moves down", "123456789" + kNichi, 0, 10, 1, "123456789\r\n" + kNichi},
    {"a double-byte character fills the line", "12345678" + kNichi + kHon, 0, 10, 1, "12345678" + kNichi + "\r\n" + kHon},
    {"a TAB is one space, one column", "a\tb", 0, 2, 1, "a \r\nb"},
    {"line ends start a new count", "abc\ndef\r\nghi\rjk", 0, 3, 1, "abc\ndef\r\nghi\rjk"},
    {"bytes that begin no character are dropped", "a\x80" "b\xB1" "c\xFD", 0, 10, 1, "abc"},
    {"a lead byte without its trail is dropped", "ab\x93", 0, 10, 1, "ab"},
    {"other control bytes pass and take no column", "a\x01\x1B" "b", 0, 2, 1, "a\x01\x1B" "b"},
    {"width 0 breaks before each line", "abc\nd", 0, 0, 1, "\r\nabc\n\r\nd"},
    {"width 1", "ab" + kNichi, 0, 1, 1, "a\r\nb\r\n" + kNichi},
    {"width -1 never breaks single bytes", "abcdefghij", 0, -1, 1, "abcdefghij"},
    {"width -5 breaks before each double-byte character", "a" + kNichi + kHon, 0, -5, 1,
     "a\r\n" + kNichi + "\r\n" + kHon},
    {"the buffer fills up: what fits stays", "abcdef", 8, 2, 0, "ab\r\ncd"},
    {"exactly enough room", "abcd", 7, 2, 1, "ab\r\ncd"},
    {"empty text", "", 0, 10, 1, ""},
};

TEST(Fold, Cases) {
    for (const FoldCase &c : kFoldCases) {
        SCOPED_TRACE(c.what);
        int32_t size = c.size != 0 ? c.size : static_cast<int32_t>(c.text.size() * 3 + 1);
        std::vector<char> buffer(static_cast<size_t>(size) + 8, '#');
        std::memcpy(buffer.data(), c.text.c_str(), c.text.size() + 1);
        EXPECT_EQ(c.result, ZK_MailJustifiedText(buffer.data(), size, c.width));
        EXPECT_EQ(c.folded, std::string(buffer.data()));
        for (size_t i = static_cast<size_t>(size); i < buffer.size(); ++i) ASSERT_EQ('#', buffer[i]) << "overrun";
    }
}

TEST(Fold, BadArguments) {
    EXPECT_EQ(0, ZK_MailJustifiedText(nullptr, 10, 5));
    char text[4] = {'a', 'b', 'c', 'd'};  // no terminator within the buffer
    EXPECT_EQ(0, ZK_MailJustifiedText(text, 0, 5));
    EXPECT_EQ(1, ZK_MailJustifiedText(text, 4, -1));
    EXPECT_EQ(std::string("abc"), std::string(text));
}

// No line of a folded text holds more than the width, and no character is split.
TEST(Fold, JapaneseTextAtEveryWidth) {
    std::string text = AnsiOf(Utf16("これは、折り返しの試験です。abc日本語の文章とASCII text、混在。\n二行目。"));
    for (int32_t width = 2; width <= 40; ++width) {
        std::vector<char> buffer(text.size() * 3 + 1, '\0');
        std::memcpy(buffer.data(), text.c_str(), text.size());
        ASSERT_EQ(1, ZK_MailJustifiedText(buffer.data(), static_cast<int32_t>(buffer.size()), width));
        std::string folded(buffer.data());
        std::string unfolded;
        size_t column = 0;
        for (size_t i = 0; i < folded.size();) {
            if (folded.compare(i, 2, "\r\n") == 0 || folded[i] == '\n') {
                i += folded[i] == '\r' ? 2 : 1;
                if (folded[i - 1] == '\n' && i >= 2 && folded[i - 2] != '\r') unfolded += '\n';
                column = 0;
                continue;
            }
            size_t step = IsDoubleByteChar(folded.c_str() + i) ? 2 : 1;
            column += step;
            ASSERT_LE(column, static_cast<size_t>(width)) << width;
            unfolded.append(folded, i, step);
            i += step;
        }
        EXPECT_EQ(text, unfolded) << width;
    }
}

struct WireCase {
    std::string in;
    bool line_start;
    std::string out;
};

TEST(WireText, LineEndsAndPeriods) {
    const WireCase cases[] = {
        {"a\nb", true, "a\r\nb"},        {"a\rb", true, "a\r\nb"},         {"a\r\nb", true, "a\r\nb"},
        {"\r\r\n", true, "\r\n\r\n"},    {"\n\r", true, "\r\n\r\n"},        {".a", true, "..a"},
        {"a\n.b\r.c", true, "a\r\n..b\r\n..c"}, {"a.b", true, "a.b"},      {".", true, ".."},
        {".a", false, ".a"},             {"", true, ""},                   {"\n.\n", true, "\r\n..\r\n"},
    };
    for (const WireCase &c : cases) {
        std::string wire;
        bool start = c.line_start;
        AppendWireText(wire, c.in.data(), c.in.size(), &start);
        EXPECT_EQ(c.out, wire) << c.in;
    }
}

TEST(PrepareBody, WireTextWithTheEndOfTheData) {
    const struct {
        std::string body;
        int32_t width;
        std::string wire;
    } cases[] = {
        {"", -1, ".\r\n"},  // the end mark stands on a line of its own, and no empty line is added
        {"x", -1, "x\r\n.\r\n"},
        {".\n", -1, "..\r\n.\r\n"},
        {"\n" + kNichi + "\n" + kHon, -1, "\r\n\x1B$BF|\x1B(B\r\n\x1B$BK\\\x1B(B\r\n.\r\n"},
        {kNichi + kHon, 2, "\x1B$BF|\x1B(B\r\n\x1B$BK\\\x1B(B\r\n.\r\n"},
        {"\xFA\x40", -1, "\x1B$B|q\x1B(B\r\n.\r\n"},  // ⅰ of the IBM rows goes as its NEC twin
        {std::string("a\0b", 3), 10, "a\r\n.\r\n"},            // the text ends at its terminator
        {"\x80\xFD", 10, ".\r\n"},                              // folding dropped every byte
    };
    for (const auto &c : cases) {
        std::string wire;
        ASSERT_TRUE(PrepareBody(c.body.c_str(), c.body.size(), c.width, &wire));
        EXPECT_EQ(c.wire, wire) << c.body;
    }
}

// The largest growth: every double-byte character alone on its line, each with its escapes.
TEST(PrepareBody, WorstCaseGrowthFits) {
    std::string body;
    for (int i = 0; i < 50000; ++i) body += i % 2 ? kNichi : "a" + kHon;
    for (int32_t width : {0, 1, -5, 2}) {
        std::string wire;
        ASSERT_TRUE(PrepareBody(body.c_str(), body.size(), width, &wire)) << width;
        EXPECT_EQ(wire.size() - 5, wire.rfind("\r\n.\r\n")) << width;
        EXPECT_EQ(std::string::npos, wire.find("\n\n")) << width;
    }
}

std::string DecodedSubjectW(const std::string &line) {
    const std::string head = "Subject: =?ISO-2022-JP?B?";
    EXPECT_EQ(0u, line.find(head));
    std::string base64 = line.substr(head.size(), line.size() - head.size() - 4);
    EXPECT_EQ("?=\r\n", line.substr(line.size() - 4));
    char jis[1024];
    int32_t n = Base64Decode(base64.c_str(), jis, sizeof(jis));
    return n > 0 ? std::string(jis, static_cast<size_t>(n)) : std::string();
}

TEST(Subject, AnsiForm) {
    EXPECT_EQ("Subject: Hello\r\n", SubjectLineA("Hello"));
    EXPECT_EQ("Subject: \x1B$BF|K\\\x1B(B\r\n", SubjectLineA(kNichi + kHon));
    EXPECT_EQ("Subject: " + std::string(511, 's') + "\r\n", SubjectLineA(std::string(511, 's')));
    // Too long for the conversion: the subject is left empty rather than cut.
    EXPECT_EQ("Subject: \r\n", SubjectLineA(std::string(512, 's')));
    EXPECT_EQ("Subject: \r\n", SubjectLineA(""));
    EXPECT_EQ("Subject: x\x1B$B\"\x2E\x1B(By\r\n", SubjectLineA("x\xF0\x40y"));  // the geta mark
}

TEST(Subject, WideFormIsOneEncodedWordCutAtACharacter) {
    EXPECT_EQ("Subject: =?ISO-2022-JP?B?SGVsbG8=?=\r\n", SubjectLineW("Hello"));
    EXPECT_EQ("Subject: =?ISO-2022-JP?B?" "?=\r\n", SubjectLineW(""));
    EXPECT_EQ(std::string(381, 'a'), DecodedSubjectW(SubjectLineW(std::string(381, 'a'))));
    EXPECT_EQ(std::string(381, 'a'), DecodedSubjectW(SubjectLineW(std::string(400, 'a'))));
    // 200 kanji: their ISO-2022-JP form does not fit the encoded word; the first 187 do.
    std::string kanji;
    for (int i = 0; i < 200; ++i) kanji += kNichi;
    std::string expected = "\x1B$B";
    for (int i = 0; i < 187; ++i) expected += "F|";
    expected += "\x1B(B";
    std::string line = SubjectLineW(kanji);
    EXPECT_EQ(expected, DecodedSubjectW(line));
    EXPECT_LE(line.size() - std::strlen("Subject: =?ISO-2022-JP?B?" "?=\r\n"), 511u);
    // Longer than the conversion buffer: empty.
    EXPECT_EQ("Subject: =?ISO-2022-JP?B?" "?=\r\n", SubjectLineW(std::string(600, 'a')));
}

struct HandleFixture : ::testing::Test {
    void SetUp() override {
        handle = MailNewHandle();
        ASSERT_NE(nullptr, handle);
        MailSetDefaultFields(handle);
    }
    void TearDown() override { MailFreeHandle(handle); }
    MailHandle *handle = nullptr;
};

using HeaderFields = HandleFixture;

TEST_F(HeaderFields, Defaults) {
    EXPECT_STREQ("X-Mailer: ZK_Library Mail Function 1.0.0\n", handle->xMailer);
    EXPECT_STREQ("Content-Type: text/plain;\n\tformat=fixed;\n\tcharset=\"iso-2022-jp\";\n\treply-type=original\n",
                 handle->contentType);
    EXPECT_EQ(nullptr, handle->pop3Socket);
}

TEST_F(HeaderFields, XMailerIsCutAtACharacterBoundary) {
    ZK_MailSetXMailerA(handle, std::string(248, 'm').c_str());
    EXPECT_EQ("X-Mailer: " + std::string(248, 'm') + "\n", handle->xMailer);
    ZK_MailSetXMailerA(handle, (std::string(247, 'm') + kNichi).c_str());
    EXPECT_EQ("X-Mailer: " + std::string(247, 'm') + "\n", handle->xMailer);
    ZK_MailSetXMailerW(handle, Wz(u"\u65E5\u672C Mailer"));
    EXPECT_EQ("X-Mailer: " + kNichi + kHon + " Mailer\n", handle->xMailer);
    ZK_MailSetXMailerW(handle, Wz(std::u16string(100000, u'w')));
    EXPECT_EQ("X-Mailer: " + std::string(248, 'w') + "\n", handle->xMailer);
    ZK_MailSetXMailerA(handle, nullptr);
    EXPECT_STREQ("X-Mailer: \n", handle->xMailer);
    ZK_MailSetXMailerA(nullptr, "x");  // nothing to set, nothing happens
}

TEST_F(HeaderFields, ContentType) {
    const std::string before = handle->contentType;
    ZK_MailSetContentTypeA(handle, "", "utf-8", nullptr, nullptr);
    EXPECT_EQ(before, handle->contentType);
    ZK_MailSetContentTypeA(handle, nullptr, "utf-8", nullptr, nullptr);
    EXPECT_EQ(before, handle->contentType);
    ZK_MailSetContentTypeA(handle, "text/html", nullptr, nullptr, nullptr);
    EXPECT_STREQ("Content-Type: text/html;\n\tformat=fixed;\n\tcharset=\"iso-2022-jp\";\n\treply-type=original\n",
                 handle->contentType);
    ZK_MailSetContentTypeW(handle, Wz(u"text/plain"), Wz(u"ISO-2022-JP"), Wz(u"flowed"), Wz(u"x"));
    EXPECT_STREQ("Content-Type: text/plain;\n\tformat=flowed;\n\tcharset=\"ISO-2022-JP\";\n\treply-type=x\n",
                 handle->contentType);
    // 207 bytes of values fit the field; 208 change nothing.
    std::string type(207 - 3 - 3 - 3, 't');
    ZK_MailSetContentTypeA(handle, type.c_str(), "abc", "def", "ghi");
    EXPECT_EQ("Content-Type: " + type + ";\n\tformat=def;\n\tcharset=\"abc\";\n\treply-type=ghi\n", handle->contentType);
    EXPECT_EQ(259u, std::strlen(handle->contentType));
    const std::string full = handle->contentType;
    ZK_MailSetContentTypeA(handle, (type + "t").c_str(), "abc", "def", "ghi");
    EXPECT_EQ(full, handle->contentType);
    ZK_MailSetContentTypeW(handle, Wz(std::u16string(3000000, u't')), nullptr, nullptr, nullptr);
    EXPECT_EQ(full, handle->contentType);
    // A line break cannot add a header line of its own.
    ZK_MailSetContentTypeA(handle, "text/plain\r\nBcc: x", nullptr, nullptr, nullptr);
    EXPECT_STREQ("Content-Type: text/plain  Bcc: x;\n\tformat=fixed;\n\tcharset=\"iso-2022-jp\";\n\treply-type=original\n",
                 handle->contentType);
}

}  // namespace
