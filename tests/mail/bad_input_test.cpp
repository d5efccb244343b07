// bad_input_test.cpp -- message texts of odd shapes through every extraction operation: no
// header, no empty line, nothing but the empty line, very long lines, encoded words cut off at
// every place. Each result is one the operation documents, and no output is written past its size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "extract_checks.h"
#include "text/encoded_words.h"
#include "zknet/mail.h"

namespace {
using namespace mailtest;

// Runs every operation on the text with outputs of `size` and checks the bounds and the shape
// of each result; returns nothing, failing the test on any breach.
void EveryOperation(const std::string &text, int32_t size) {
    const char *t = text.c_str();
    {
        Narrow a(size);
        int32_t r = ZK_MailGetHeaderA(t, a.data(), size);
        ASSERT_TRUE(a.GuardIntact());
        ASSERT_TRUE(r == -1 || (r >= 0 && r < size && a.Text().size() == static_cast<size_t>(r)));
        Wide w(size);
        r = ZK_MailGetHeaderW(t, w.data(), size);
        ASSERT_TRUE(w.GuardIntact());
        ASSERT_TRUE(r == -1 || (r > 0 && r <= size && w.storage[static_cast<size_t>(r - 1)] == 0));
    }
    using NarrowGetter = int32_t(ZK_API *)(const char *, char *, int32_t);
    using WideGetter = int32_t(ZK_API *)(const char *, zk_wchar_t *, int32_t);
    const NarrowGetter narrow[] = {ZK_MailGetFromA, ZK_MailGetSubjectA, ZK_MailGetContentTypeA, ZK_MailGetTransferEncodeA};
    const WideGetter wide[] = {ZK_MailGetFromW, ZK_MailGetSubjectW, ZK_MailGetContentTypeW, ZK_MailGetTransferEncodeW};
    for (int i = 0; i < 4; ++i) {
        Narrow a(size);
        int32_t r = narrow[i](t, a.data(), size);
        ASSERT_TRUE(a.GuardIntact());
        ASSERT_TRUE(r >= -1 && r < size);
        ASSERT_TRUE(r > 0 ? a.Text().size() == static_cast<size_t>(r) : a.AllZero());
        Wide w(size);
        int32_t rw = wide[i](t, w.data(), size);
        ASSERT_TRUE(w.GuardIntact());
        ASSERT_TRUE(rw > 0 ? r > 0 && rw <= size && w.storage[static_cast<size_t>(rw - 1)] == 0 : rw == r && w.Untouched());
    }
    MailDate date;
    int32_t r = ZK_MailGetDate(t, &date);
    ASSERT_TRUE(r >= -1 && r < 1024);
    {
        Narrow a(size);
        r = ZK_MailGetBodyA(t, a.data(), size);
        ASSERT_TRUE(a.GuardIntact());
        ASSERT_TRUE(r == -2 ? a.Untouched() : r == -1 ? a.AllZero() : r >= 0 && a.Text().size() == static_cast<size_t>(r));
        Wide w(size);
        r = ZK_MailGetBodyW(t, w.data(), size);
        ASSERT_TRUE(w.GuardIntact());
        ASSERT_TRUE(r == -2 ? w.Untouched() : r == -1 ? w.AllZero() : r >= 0 && w.Text().size() == static_cast<size_t>(r));
    }
}

TEST(BadInput, OddShapesAtEverySize) {
    const std::string texts[] = {
        "hello world, no header at all",
        "\r\n\r\n",
        "\r\n",
        "\r",
        "Subject:",
        "Subject: x",
        "Subject: x\r",
        "Subject: x\r\n\tcontinued",
        "Content-Transfer-Encoding: 7bit",
        "Content-Transfer-Encoding: 7bit\r\n\r",
        "Content-Transfer-Encoding: 7bit\r\nContent-Type: text/plain; charset=iso-2022-jp\r\n\r\n\x1B$B",
        "Content-Transfer-Encoding: 7bit\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n\xE6\x97",
        "Content-Transfer-Encoding: 7bit\r\nContent-Type: text/plain; charset=euc-jp\r\n\r\n\x8F\xB0",
        "Subject: =?UTF-8?B?5pel?= =?ISO-2022-JP?B?GyRC\r\n =?EUC-JP?B?\r\nDate: Tue, 15\r\n",
        "Subject: ab\x93\r\nFrom: \x93\r\nDate: \x93\xFA, \x93\xFA \x93\xFA\r\n\r\n",
        "\t continuation first\r\nSubject: x\r\n\r\n",
    };
    for (const std::string &text : texts) {
        SCOPED_TRACE(Hex(text));
        for (int32_t size = 1; size <= static_cast<int32_t>(text.size()) + 4; ++size) {
            SCOPED_TRACE(size);
            EveryOperation(text, size);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(BadInput, TenThousandByteLines) {
    // A Subject of 10,000 bytes of encoded words, after another line of 10,000 bytes.
    std::string words;
    while (words.size() < 10000) words += "=?UTF-8?B?5pel5pys?= ";
    words.pop_back();
    std::string text = "X-Long: " + std::string(10000, 'x') + "\r\nSubject: " + words +
                       "\r\nContent-Transfer-Encoding: 7bit\r\nDate: Tue, 15 Nov 1994 08:12:31 +0900\r\n\r\nbody\r\n";
    size_t count = (words.size() + 1) / 21;
    Narrow big(20000);
    EXPECT_EQ(ZK_MailGetSubjectA(text.c_str(), big.data(), big.size), static_cast<int32_t>(4 * count));
    Wide big_w(20000);
    EXPECT_EQ(ZK_MailGetSubjectW(text.c_str(), big_w.data(), big_w.size), static_cast<int32_t>(2 * count + 1));
    Narrow small(9000);
    EXPECT_EQ(ZK_MailGetSubjectA(text.c_str(), small.data(), small.size), -1);
    EXPECT_TRUE(small.AllZero());
    Narrow x(20000);
    EXPECT_EQ(ZK_MailGetHeaderTagA(text.c_str(), "X-Long:", x.data(), x.size), 10000);
    MailDate date;
    EXPECT_EQ(ZK_MailGetDate(text.c_str(), &date), 31);
    EXPECT_EQ(date.year, 1994);
    Narrow body(16);
    EXPECT_EQ(ZK_MailGetBodyA(text.c_str(), body.data(), body.size), 8);
    EXPECT_TRUE(big.GuardIntact() && big_w.GuardIntact() && small.GuardIntact() && x.GuardIntact());
}

// An encoded word cut off at every place reads as the decoder reads the same raw value: the
// lookup adds nothing and cuts nothing.
TEST(BadInput, EncodedWordsCutOffAnywhere) {
    const std::string words[] = {"=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=", "=?UTF-8?B?5pel5pys6Kqe?=",
                                 "=?ISO-2022-JP?Q?=1B$BF|K\\8l=1B(B?=", "=?Shift_JIS?B?k/qWe4zq?=",
                                 "=?EUC-JP?B?xvzL3Ljs?="};
    for (const std::string &word : words) {
        for (size_t cut = 0; cut <= word.size(); ++cut) {
            std::string raw = word.substr(0, cut) + "x";
            SCOPED_TRACE(raw);
            std::string text = "Subject: " + raw + "\r\n\r\n";
            Narrow expected(64);
            int32_t decoded = DecodeEncodedWords(raw.c_str(), expected.data(), expected.size);
            Narrow a(64);
            EXPECT_EQ(ZK_MailGetSubjectA(text.c_str(), a.data(), a.size), decoded);
            EXPECT_EQ(Hex(a.Text()), Hex(expected.Text()));
            Wide w(64);
            int32_t units = ZK_MailGetSubjectW(text.c_str(), w.data(), w.size);
            EXPECT_TRUE(decoded > 0 ? units > 0 : units == decoded);
        }
    }
}

}  // namespace
