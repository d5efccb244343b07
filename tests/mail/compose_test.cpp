// compose_test.cpp -- the pieces of a message without a server: folding, the body's wire text
// (CR LF, dot-stuffing, end of the data), the two subject forms and the header-field setters.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mail/mail_session.h"
#include "mail/send/address_list.h"
#include "mail/send/header_words.h"
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
        // Half-width katakana go as full-width ones (ｶﾞｷﾞ: ガギ), two columns each.
        {"\xB6\xDE\xB7\xDE", 4, "\x1B$B%,%.\x1B(B\r\n.\r\n"},
        {"\xB6\xDE\xB7\xDE", 2, "\x1B$B%,\x1B(B\r\n\x1B$B%.\x1B(B\r\n.\r\n"},
    };
    for (const auto &c : cases) {
        std::string wire;
        ASSERT_TRUE(PrepareBody(c.body.c_str(), c.body.size(), c.width, &wire));
        EXPECT_EQ(c.wire, wire) << c.body;
    }
}

// A UTF-8 body: the empty line after the header block (the body's own first line break), then
// Base64 of the text with CR LF line ends, in lines of 76 characters.
TEST(PrepareBody, Utf8InBase64) {
    const struct {
        std::string body;
        int32_t width;
        std::string wire;
    } cases[] = {
        {"", -1, "\r\n.\r\n"},
        {"\nH\xC3\xA9", -1, "\r\nSMOp\r\n.\r\n"},
        {"\r\nH\xC3\xA9", -1, "\r\nSMOp\r\n.\r\n"},
        {"H\xC3\xA9\n", -1, "\r\nSMOpDQo=\r\n.\r\n"},
        {"\nabc", 2, "\r\nYWINCmM=\r\n.\r\n"},  // "ab", CR LF, "c"
        {std::string(58, '.'), -1,
         "\r\nLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4uLi4u\r\nLg==\r\n.\r\n"},
    };
    for (const auto &c : cases) {
        std::string wire;
        ASSERT_TRUE(PrepareUtf8Body(c.body, c.width, &wire));
        EXPECT_EQ(c.wire, wire) << c.body;
    }
}

TEST(Fold, Utf8CountsTheColumnsOfShiftJis) {
    const struct {
        std::string text;
        int32_t width;
        std::string folded;
    } cases[] = {
        {"abcdefghijklm", 10, "abcdefghij\r\nklm"},
        {"123456789\xE6\x97\xA5", 10, "123456789\r\n\xE6\x97\xA5"},            // 日 takes two columns
        {"a\xEF\xBD\xB1\xEF\xBD\xB2" "b", 3, "a\xEF\xBD\xB1\xEF\xBD\xB2\r\nb"},  // ｱｲ one each
        {"\xF0\xA0\xAE\xB7\xF0\xA0\xAE\xB7", 2, "\xF0\xA0\xAE\xB7\r\n\xF0\xA0\xAE\xB7"},  // 𠮷 never split
        {"a\tb\nc", 2, "a \r\nb\nc"},
    };
    for (const auto &c : cases) EXPECT_EQ(c.folded, FoldUtf8(c.text, c.width)) << c.text;
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

// Takes a header field apart as a reader would: every line within 76 characters, every encoded
// word within 75 and, in ISO-2022-JP, a whole sequence that ends in ASCII; the words' texts
// joined (Shift_JIS or UTF-8), the field's other words kept with a blank between.
std::string ReadField(const std::string &field, const std::string &name) {
    EXPECT_EQ(0u, field.find(name + " ")) << field;
    EXPECT_EQ("\r\n", field.substr(field.size() - 2));
    std::string unfolded;
    for (size_t start = 0; start < field.size();) {
        size_t end = field.find("\r\n", start);
        EXPECT_LE(end - start, 76u) << field;
        unfolded += field.substr(start, end - start);
        start = end + 2;
    }
    std::string text;
    bool after_word = false;
    for (size_t start = name.size() + 1; start <= unfolded.size();) {
        size_t end = unfolded.find(' ', start);
        if (end == std::string::npos) end = unfolded.size();
        std::string token = unfolded.substr(start, end - start);
        start = end + 1;
        bool jis = token.compare(0, 16, "=?ISO-2022-JP?B?") == 0, utf8 = token.compare(0, 10, "=?UTF-8?B?") == 0;
        if (!jis && !utf8) {
            if (token.find('\x1B') != std::string::npos) {  // ISO-2022-JP as it stands
                char sjis[256] = {0};
                JisToSjis(token.c_str(), sjis, sizeof(sjis));
                token = sjis;
            }
            text += (text.empty() ? "" : " ") + token;
            after_word = false;
            continue;
        }
        EXPECT_LE(token.size(), 75u) << token;
        EXPECT_EQ("?=", token.substr(token.size() - 2));
        std::string base64 = token.substr(jis ? 16 : 10, token.size() - (jis ? 18 : 12));
        char bytes[256] = {0};
        int32_t n = Base64Decode(base64.c_str(), bytes, sizeof(bytes));
        std::string piece(bytes, n > 0 ? static_cast<size_t>(n) : 0);
        if (jis && !piece.empty()) {
            size_t last_escape = piece.rfind('\x1B');
            if (last_escape != std::string::npos) {
                EXPECT_EQ("\x1B(B", piece.substr(last_escape, 3)) << token;
            }
            char sjis[256] = {0};
            JisToSjis(piece.c_str(), sjis, sizeof(sjis));
            piece = sjis;
        }
        if (!after_word && !text.empty()) text += " ";
        text += piece;
        after_word = true;
    }
    return text;
}

struct SubjectCase {
    std::string text;  // Shift_JIS made ready, or UTF-8
    MailCharset charset;
    bool always_encode;
    std::string field;
};

TEST(Subject, Fields) {
    const MailCharset jis = MailCharset::kIso2022Jp, utf8 = MailCharset::kUtf8;
    const SubjectCase cases[] = {
        {"Hello", jis, false, "Subject: Hello\r\n"},
        {kNichi + kHon, jis, false, "Subject: \x1B$BF|K\\\x1B(B\r\n"},
        {"", jis, false, "Subject: \r\n"},
        {std::string(69, 's'), jis, false, "Subject: " + std::string(69, 's') + "\r\n"},  // 78 characters
        {"Hello", jis, true, "Subject: =?ISO-2022-JP?B?SGVsbG8=?=\r\n"},
        {"", jis, true, "Subject: =?ISO-2022-JP?B?" "?=\r\n"},
        {"Hello", utf8, false, "Subject: Hello\r\n"},
        {"\xC3\xA9", utf8, false, "Subject: =?UTF-8?B?w6k=?=\r\n"},
        {"Hello", utf8, true, "Subject: =?UTF-8?B?SGVsbG8=?=\r\n"},
        {"", utf8, true, "Subject: =?UTF-8?B?" "?=\r\n"},
    };
    for (const SubjectCase &c : cases) EXPECT_EQ(c.field, SubjectField(c.text, c.charset, c.always_encode)) << c.text;
}

// However long, a subject comes whole: folded into words on continuation lines.
TEST(Subject, LongSubjectsAreFoldedNeverCut) {
    std::string mixed = AnsiOf(Utf16("件名 subject "));
    std::string utf8 = Utf8Of(Utf16("件名 é♥𠮷😀 "));
    for (int count : {1, 10, 35, 70, 190, 256, 1000}) {
        std::string kanji, ascii, jis_mixed, utf8_text;
        for (int i = 0; i < count; ++i) {
            kanji += kNichi;
            ascii += static_cast<char>('a' + i % 26);
            if (i % 10 == 0) jis_mixed += mixed, utf8_text += utf8;
        }
        for (const std::string &text : {kanji, ascii, jis_mixed}) {
            for (bool wide : {false, true}) {
                std::string field = SubjectField(text, MailCharset::kIso2022Jp, wide);
                EXPECT_EQ(text, ReadField(field, "Subject:")) << count << " " << wide;
            }
        }
        EXPECT_EQ(utf8_text, ReadField(SubjectField(utf8_text, MailCharset::kUtf8, true), "Subject:")) << count;
    }
    // In the A form a subject that does not fit a line of 78 characters as it stands is encoded.
    EXPECT_NE(std::string::npos, SubjectField(std::string(70, 's'), MailCharset::kIso2022Jp, false).find("=?"));
}

TEST(Addresses, Split) {
    const struct {
        std::string text;
        std::vector<std::string> entries, envelope;
    } cases[] = {
        {"a@x, b@y", {"a@x", "b@y"}, {"a@x", "b@y"}},
        {"\"B, b\" <b@y>, C (c, d) <c@z>,, <d@w>", {"\"B, b\" <b@y>", "C (c, d) <c@z>", "<d@w>"},
         {"<b@y>", "<c@z>", "<d@w>"}},
        {"<a,b@x>", {"<a,b@x>"}, {"<a,b@x>"}},
        {"\"a\\\",\" <x@y>, z@w", {"\"a\\\",\" <x@y>", "z@w"}, {"<x@y>", "z@w"}},
        // The second byte of 表 is 0x5C, a backslash in ASCII: it escapes nothing.
        {"\"\x95\x5C\" <a@b>, c@d", {"\"\x95\x5C\" <a@b>", "c@d"}, {"<a@b>", "c@d"}},
        {"  ", {}, {}},
        {"no address", {"no address"}, {"no address"}},
        {"open <a@b", {"open <a@b"}, {"open <a@b"}},
    };
    for (const auto &c : cases) {
        std::vector<AddressEntry> entries = SplitAddresses(c.text.data(), c.text.size(), true);
        std::vector<std::string> texts, envelope;
        for (const AddressEntry &e : entries) {
            texts.push_back(c.text.substr(e.start, e.end - e.start));
            envelope.push_back(EnvelopeAddress(c.text, e));
        }
        EXPECT_EQ(c.entries, texts) << c.text;
        EXPECT_EQ(c.envelope, envelope) << c.text;
    }
    std::u16string wide = u"\u5C71\u7530 <t@x>, \"\u8868, z\" <z@y>";
    std::vector<AddressEntry> entries = SplitAddresses(Wz(wide), wide.size());
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(u"<t@x>", EnvelopeAddress(wide, entries[0]));
    EXPECT_EQ(u"<z@y>", EnvelopeAddress(wide, entries[1]));
}

TEST(Addresses, Fields) {
    const MailCharset jis = MailCharset::kIso2022Jp, utf8 = MailCharset::kUtf8;
    const struct {
        std::string text;
        MailCharset charset;
        std::string field;  // exact, or empty when only its reading is checked
        std::string reads;
    } cases[] = {
        {"<a@x>", jis, "From: <a@x>\r\n", "<a@x>"},
        {"A <a@x>,b@y", jis, "From: A <a@x>,b@y\r\n", "A <a@x>,b@y"},  // ASCII stands as given
        {AnsiOf(Utf16("山田 太郎 <taro@example.jp>")), jis,
         "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQiAbJEJCQE86GyhC?= <taro@example.jp>\r\n",
         AnsiOf(Utf16("山田 太郎 <taro@example.jp>"))},
        {AnsiOf(Utf16("\"山田, 太郎\" <t@x>, b@y")), jis,
         "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQiwgGyRCQkBPOhsoQg==?= <t@x>, b@y\r\n",
         AnsiOf(Utf16("山田, 太郎 <t@x>, b@y"))},
        {AnsiOf(Utf16("山田 t@x")), jis, "", AnsiOf(Utf16("山田 <t@x>"))},
        {AnsiOf(Utf16("山田")), jis, "", AnsiOf(Utf16("山田"))},
        {Utf8Of(Utf16("Zoë ♥ <z@x>")), utf8, "From: =?UTF-8?B?Wm/DqyDimaU=?= <z@x>\r\n", Utf8Of(Utf16("Zoë ♥ <z@x>"))},
    };
    for (const auto &c : cases) {
        std::string field = AddressField("From:", c.text, c.charset);
        if (!c.field.empty()) {
            EXPECT_EQ(c.field, field);
        }
        EXPECT_EQ(c.reads, ReadField(field, "From:")) << field;
    }
    // Many named recipients: folded between them, each line within 76 characters.
    std::string many, reads;
    for (int i = 0; i < 12; ++i) {
        std::string entry = AnsiOf(Utf16("受信者")) + std::to_string(i) + " <r" + std::to_string(i) + "@zknet-test>";
        many += (i ? ", " : "") + entry;
        reads += (i ? " " : "") + entry + (i < 11 ? "," : "");
    }
    std::string field = AddressField("To:", many, jis);
    EXPECT_NE(std::string::npos, field.find("\r\n "));
    EXPECT_EQ(reads, ReadField(field, "To:"));
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

TEST_F(HeaderFields, CharsetNamedByTheContentType) {
    EXPECT_EQ(MailCharset::kIso2022Jp, MessageCharset(handle));
    const struct {
        const char *charset;
        MailCharset named;
    } cases[] = {{"UTF-8", MailCharset::kUtf8},       {"utf-8", MailCharset::kUtf8},
                 {"Shift_JIS", MailCharset::kIso2022Jp}, {"UTF-8x", MailCharset::kIso2022Jp},
                 {nullptr, MailCharset::kIso2022Jp}};
    for (const auto &c : cases) {
        ZK_MailSetContentTypeA(handle, "text/plain", c.charset, nullptr, nullptr);
        EXPECT_EQ(c.named, MessageCharset(handle)) << (c.charset ? c.charset : "null");
    }
    ZK_MailSetContentTypeW(handle, Wz(u"text/plain"), Wz(u"Utf-8"), nullptr, nullptr);
    EXPECT_EQ(MailCharset::kUtf8, MessageCharset(handle));
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
