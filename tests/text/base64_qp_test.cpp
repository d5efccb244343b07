// base64_qp_test.cpp -- Base64, quoted-printable and their combinations with the conversions.
#include <gtest/gtest.h>

#include <string>

#include "text/base64.h"
#include "text/quoted_printable.h"
#include "text/transfer_charset.h"
#include "text_checks.h"

namespace {
const std::string kA = "\x88\x9F";  // 亜 in Shift_JIS

std::string Encode(const std::string &data, int32_t size, int32_t *result) {
    Narrow out(size);
    *result = Base64Encode(data.data(), static_cast<int32_t>(data.size()), out.data(), size);
    EXPECT_TRUE(out.GuardIntact());
    return out.Text();
}

TEST(Base64, EncodePadsShortGroups) {
    int32_t r;
    EXPECT_EQ(Encode("M", 16, &r), "TQ==");
    EXPECT_EQ(r, 4);
    EXPECT_EQ(Encode("Ma", 16, &r), "TWE=");
    EXPECT_EQ(r, 4);
    EXPECT_EQ(Encode("Man", 16, &r), "TWFu");
    EXPECT_EQ(r, 4);
    EXPECT_EQ(Encode(std::string("\x00\xFF\xFE\x01", 4), 16, &r), "AP/+AQ==");
    EXPECT_EQ(r, 8);
    EXPECT_EQ(Encode("", 16, &r), "");
    EXPECT_EQ(r, 0);
}

TEST(Base64, EncodeStopsWhenFull) {
    int32_t r;
    EXPECT_EQ(Encode("Man", 4, &r), "");  // the four characters but no room for the terminator
    EXPECT_EQ(r, -1);
    EXPECT_EQ(Encode("Man", 5, &r), "TWFu");
    EXPECT_EQ(r, 4);
    EXPECT_EQ(Encode("ManMa", 8, &r), "TWFu");  // the groups before stay
    EXPECT_EQ(r, -1);
    std::string long_text(3000, 'x');
    EXPECT_EQ(Encode(long_text, 4001, &r).find('\n'), std::string::npos);  // no line breaks
    EXPECT_EQ(r, 4000);
}

struct DecodeCase {
    const char *what;
    int32_t (*decode)(const char *, char *, int32_t);
    const char *input;
    int32_t size;
    int32_t result;
    std::string output;
};

const DecodeCase kDecodeCases[] = {
    {"two padding characters give one byte", Base64Decode, "TQ==", 16, 1, "M"},
    {"one padding character gives two bytes", Base64Decode, "TWE=", 16, 2, "Ma"},
    {"a whole group gives three", Base64Decode, "TWFuTWFu", 16, 6, "ManMan"},
    {"empty input gives 0", Base64Decode, "", 16, 0, ""},
    {"three bytes and the terminator must fit before each group", Base64Decode, "TQ==", 3, -1, ""},
    {"the bytes before a group that does not fit stay", Base64Decode, "TWFuTWFu", 6, -1, "Man"},
    {"exactly fitting", Base64Decode, "TWFu", 4, 3, "Man"},
    {"line breaks and blanks are passed over", Base64Decode, "TW\r\nFu T\tWE=", 16, 5, "ManMa"},
    {"a short group at the end gives what it holds", Base64Decode, "TWFuTWE", 16, 5, "ManMa"},
    {"a lone character decodes to nothing", Base64Decode, "TWFuT", 16, 3, "Man"},
    {"padding at the start of a group ends the text", Base64Decode, "TWFu==AA", 16, 3, "Man"},
    {"padded groups one after another", Base64Decode, "TQ==TQ==", 16, 2, "MM"},

    {"an escape is one byte", QpDecode, "a=3Db=3d", 16, 4, "a=b="},
    {"a soft line break writes nothing", QpDecode, "ab=\r\ncd", 16, 4, "abcd"},
    {"a soft line break with LF alone", QpDecode, "ab=\ncd", 16, 4, "abcd"},
    {"CR, LF and TAB are literal", QpDecode, "a\r\n\tb", 16, 5, "a\r\n\tb"},
    {"an 8-bit byte may not stand literally", QpDecode, "ab\x88", 16, -1, "ab"},
    {"a control byte may not stand literally", QpDecode, "ab\x01", 16, -1, "ab"},
    {"the same byte as an escape is fine", QpDecode, "=88=9F", 16, 2, kA},
    {"underscores stay underscores", QpDecode, "a_b", 16, 3, "a_b"},
    {"an equals sign escaping nothing stands for itself", QpDecode, "a=\rb=G0=4", 16, 9, "a=\rb=G0=4"},
    {"an equals sign at the end", QpDecode, "ab=", 16, 3, "ab="},
    {"one byte and the terminator must fit before each step", QpDecode, "abcd", 4, -1, "abc"},
    {"a soft break needs the room too", QpDecode, "abc=\r\n", 4, -1, "abc"},
    {"empty input gives 0", QpDecode, "", 16, 0, ""},

    // 亜 as ISO-2022-JP, EUC-JP and UTF-8, each in Base64; the same in quoted-printable.
    {"Base64 ISO-2022-JP", Base64JisToSjis, "GyRCMCEbKEI=", 16, 2, kA},
    {"Base64 EUC-JP", Base64EucToSjis, "sKE=", 16, 2, kA},
    {"Base64 UTF-8", Base64Utf8ToAnsi, "5Lqc", 16, 2, kA},
    {"quoted-printable ISO-2022-JP", QpJisToSjis, "=1B$B0!=1B(B", 16, 2, kA},
    {"quoted-printable keeps underscores", QpJisToSjis, "a_b", 16, 3, "a_b"},
    {"empty Base64 gives -1", Base64JisToSjis, "", 16, -1, ""},
    {"empty quoted-printable gives -1", QpJisToSjis, "", 16, -1, ""},
    {"a failed first stage gives -1", QpJisToSjis, "\x88", 16, -1, ""},
    {"decoded but too long for the output", Base64JisToSjis, "YWJjZGVm", 4, -1, ""},
    {"UTF-8 too long for the output", Base64Utf8ToAnsi, "YWJjZGVm", 4, 0, ""},
};

TEST(Base64, DecodeTable) {
    for (const DecodeCase &c : kDecodeCases) {
        SCOPED_TRACE(c.what);
        Narrow out(c.size);
        EXPECT_EQ(c.decode(c.input, out.data(), c.size), c.result);
        EXPECT_EQ(Hex(out.Text()), Hex(c.output));
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST(Base64, WideToJisBase64) {
    Narrow out(32);
    EXPECT_EQ(WideToJisBase64(Wz(u"亜"), out.data(), 32), 12);
    EXPECT_EQ(out.Text(), "GyRCMCEbKEI=");
    Narrow untouched(32, 'x');
    EXPECT_EQ(WideToJisBase64(Wz(u""), untouched.data(), 32), -1);
    EXPECT_EQ(untouched.Text(), std::string(32, 'x'));
    EXPECT_EQ(WideToJisBase64(Wz(u"亜"), out.data(), 12), -1);  // twelve characters and no terminator
    EXPECT_TRUE(out.GuardIntact());
}
}  // namespace
