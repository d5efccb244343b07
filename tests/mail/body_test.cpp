// body_test.cpp -- the body of a 7bit message in both text forms: the charset chosen from the
// Content-type, the encodings refused, the shapes without a body, and bodies that do not fit.
#include <gtest/gtest.h>

#include <string>

#include "extract_checks.h"
#include "zknet/mail.h"

namespace {
using namespace mailtest;

const std::string kSjisLine = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語
const std::u16string kWideLine = u"\u65E5\u672C\u8A9E";

std::string Message(const std::string &fields, const std::string &body) { return fields + "\r\n" + body; }

struct BodyCase {
    const char *what;
    std::string text;
    std::string a;      // the A form's body
    std::u16string w;   // the W form's body
};

const BodyCase kBodies[] = {
    {"a plain body, begun by the CR LF of the empty line",
     Message("Subject: x\r\nContent-Transfer-Encoding: 7bit\r\n", "hello\r\n"), "\r\nhello\r\n", u"\r\nhello\r\n"},
    {"ISO-2022-JP, the charset quoted",
     Message("Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\nContent-Transfer-Encoding: 7bit\r\n",
             "\x1B$BF|K\\8l\x1B(B\r\n"),
     "\r\n" + kSjisLine + "\r\n", u"\r\n" + kWideLine + u"\r\n"},
    {"ISO-2022-JP, the charset unquoted and folded onto a line of its own",
     Message("Content-Type: text/plain;\r\n\tcharset=iso-2022-jp\r\nContent-Transfer-Encoding: 7BIT\r\n",
             "\x1B$BF|K\\8l\x1B(B\r\n"),
     "\r\n" + kSjisLine + "\r\n", u"\r\n" + kWideLine + u"\r\n"},
    {"Shift_JIS comes as it is",
     Message("Content-Type: text/plain; charset=Shift_JIS\r\nContent-Transfer-Encoding: 7bit\r\n", kSjisLine),
     "\r\n" + kSjisLine, u"\r\n" + kWideLine},
    {"EUC-JP", Message("Content-Type: text/plain; charset=EUC-JP\r\nContent-Transfer-Encoding: 7bit\r\n",
                       "\xC6\xFC\xCB\xDC\xB8\xEC"),
     "\r\n" + kSjisLine, u"\r\n" + kWideLine},
    {"UTF-8 named in capitals",
     Message("Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: 7bit\r\n",
             "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"),
     "\r\n" + kSjisLine, u"\r\n" + kWideLine},
    {"no charset: unconverted, or read in the ANSI code page",
     Message("Content-Type: text/plain\r\nContent-Transfer-Encoding: 7bit\r\n", kSjisLine), "\r\n" + kSjisLine,
     u"\r\n" + kWideLine},
    {"the charset names are found anywhere in the value, ISO-2022-JP first",
     Message("Content-Type: text/plain; x-note=utf-8; charset=iso-2022-jp\r\nContent-Transfer-Encoding: 7bit\r\n",
             "\x1B$BF|K\\8l\x1B(B"),
     "\r\n" + kSjisLine, u"\r\n" + kWideLine},
    {"a multipart body comes whole",
     Message("Content-Type: multipart/mixed; boundary=b\r\nContent-Transfer-Encoding: 7bit\r\n",
             "--b\r\nContent-Type: text/plain\r\n\r\npart\r\n--b--\r\n"),
     "\r\n--b\r\nContent-Type: text/plain\r\n\r\npart\r\n--b--\r\n",
     u"\r\n--b\r\nContent-Type: text/plain\r\n\r\npart\r\n--b--\r\n"},
    {"lines beginning with a dot stay as they are", Message("Content-Transfer-Encoding: 7bit\r\n", "..\r\n.\r\n"),
     "\r\n..\r\n.\r\n", u"\r\n..\r\n.\r\n"},
    {"an empty line and nothing after it", "Content-Transfer-Encoding: 7bit\r\n\r\n", "\r\n", u"\r\n"},
    {"no empty line: an empty body", "Subject: x\r\nContent-Transfer-Encoding: 7bit\r\n", "", u""},
    {"the text ends at a NUL byte", std::string("Content-Transfer-Encoding: 7bit\r\n\r\nab\0cd", 40), "\r\nab", u"\r\nab"},
    {"no transfer encoding named is 7bit, as phones send it",
     Message("Content-Type: text/plain; charset=ISO-2022-JP\r\n", "\x1B$BF|K\\8l\x1B(B\r\n"), "\r\n" + kSjisLine + "\r\n",
     u"\r\n" + kWideLine + u"\r\n"},
    {"the encoding on its continuation line, no blank after the colon",
     Message("Content-Type:text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding:\r\n 7bit\r\n", "x\r\n"),
     "\r\nx\r\n", u"\r\nx\r\n"},
    {"half-width katakana after ESC ( I, as iPhone Mail writes them",
     Message("Content-Type: text/plain; charset=iso-2022-jp\r\nContent-Transfer-Encoding:7bit\r\n",
             "(=\x1B(I_\x1B$B&X\x1B(I_\x1B(B)\x1B(II\x1B(B\r\n"),
     "\r\n(=\xDF\x83\xD6\xDF)\xC9\r\n", u"\r\n(=\uFF9F\u03C9\uFF9F)\uFF89\r\n"},
};

TEST(MailGetBody, Bodies) {
    for (const BodyCase &c : kBodies) {
        SCOPED_TRACE(c.what);
        Narrow a(256);
        EXPECT_EQ(ZK_MailGetBodyA(c.text.c_str(), a.data(), a.size), static_cast<int32_t>(c.a.size()));
        EXPECT_EQ(Hex(a.Text()), Hex(c.a));
        Wide w(256);
        EXPECT_EQ(ZK_MailGetBodyW(c.text.c_str(), w.data(), w.size), static_cast<int32_t>(c.w.size()));
        EXPECT_EQ(HexW(w.Text()), HexW(W(c.w.c_str())));
        // The rest of both outputs is cleared.
        for (size_t i = c.a.size(); i < 256; ++i) ASSERT_EQ(a.storage[i], 0);
        for (size_t i = c.w.size(); i < 256; ++i) ASSERT_EQ(w.storage[i], 0);
    }
}

TEST(MailGetBody, OtherTransferEncodingsAreRefused) {
    const char *texts[] = {
        "Content-Transfer-Encoding: base64\r\n\r\naGVsbG8=\r\n",
        "Content-Transfer-Encoding: quoted-printable\r\n\r\nhello\r\n",
        "Content-Transfer-Encoding: 8bit\r\n\r\nhello\r\n",
        "Content-Transfer-Encoding: binary\r\n\r\nhello\r\n",
        "",
        nullptr,
    };
    for (const char *text : texts) {
        SCOPED_TRACE(text ? text : "(null)");
        Narrow a(64);
        Wide w(64);
        EXPECT_EQ(ZK_MailGetBodyA(text, a.data(), a.size), -2);
        EXPECT_EQ(ZK_MailGetBodyW(text, w.data(), w.size), -2);
        EXPECT_TRUE(a.Untouched());  // what the caller put there stays
        EXPECT_TRUE(w.Untouched());
        EXPECT_EQ(ZK_MailGetBodyA(text, nullptr, 0), -2);
    }
}

// A body that is shorter than the output size, as it stands in the text, comes whole; a longer
// one gives -1 and an empty output, never a part of it.
TEST(MailGetBody, EverySize) {
    struct {
        const char *what;
        std::string text;
    } cases[] = {
        {"ISO-2022-JP", Message("Content-Type: text/plain; charset=iso-2022-jp\r\nContent-Transfer-Encoding: 7bit\r\n",
                                "a\x1B$BF|K\\8l\x1B(Bb\r\n\x1B$BF|\x1B(B\r\n")},
        {"Shift_JIS", Message("Content-Type: text/plain; charset=shift_jis\r\nContent-Transfer-Encoding: 7bit\r\n",
                              "a" + kSjisLine + "b\r\n" + kSjisLine)},
        {"EUC-JP", Message("Content-Type: text/plain; charset=euc-jp\r\nContent-Transfer-Encoding: 7bit\r\n",
                           "a\xC6\xFC\xCB\xDC\x8E\xB1" "b\r\n")},
        {"UTF-8", Message("Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: 7bit\r\n",
                          "a\xE6\x97\xA5\xF0\x9F\x98\x80" "b\r\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        int32_t body_length = static_cast<int32_t>(c.text.size() - c.text.find("\r\n\r\n") - 2);
        Narrow full_a(512);
        Wide full_w(512);
        int32_t whole_a = ZK_MailGetBodyA(c.text.c_str(), full_a.data(), full_a.size);
        int32_t whole_w = ZK_MailGetBodyW(c.text.c_str(), full_w.data(), full_w.size);
        ASSERT_GT(whole_a, 0);
        ASSERT_GT(whole_w, 0);
        for (int32_t size = 1; size <= body_length + 2; ++size) {
            SCOPED_TRACE(size);
            Narrow a(size);
            Wide w(size);
            int32_t ra = ZK_MailGetBodyA(c.text.c_str(), a.data(), size);
            int32_t rw = ZK_MailGetBodyW(c.text.c_str(), w.data(), size);
            ASSERT_TRUE(a.GuardIntact());
            ASSERT_TRUE(w.GuardIntact());
            if (size <= body_length) {
                ASSERT_EQ(ra, -1);
                ASSERT_EQ(rw, -1);
                ASSERT_TRUE(a.AllZero());
                ASSERT_TRUE(w.AllZero());
            } else {
                ASSERT_EQ(ra, whole_a);
                ASSERT_EQ(a.Text(), full_a.Text());
                ASSERT_EQ(rw, whole_w);
                ASSERT_EQ(w.Text(), full_w.Text());
            }
        }
    }
}

TEST(MailGetBody, NoOutput) {
    const char *text = "Content-Transfer-Encoding: 7bit\r\n\r\nhello\r\n";
    EXPECT_EQ(ZK_MailGetBodyA(text, nullptr, 100), -1);
    EXPECT_EQ(ZK_MailGetBodyW(text, nullptr, 100), -1);
    Narrow a(8);
    EXPECT_EQ(ZK_MailGetBodyA(text, a.data(), 0), -1);
    EXPECT_TRUE(a.Untouched());
}

}  // namespace
