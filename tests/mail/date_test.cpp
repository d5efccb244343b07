// date_test.cpp -- the Date field read by position, its tokens, month names and numbers.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "extract_checks.h"
#include "mail/receive/mail_date.h"
#include "mail/receive/token.h"
#include "socket/number_text.h"
#include "zknet/mail.h"

namespace {
using namespace mailtest;

struct DateCase {
    const char *what;
    std::string value;
    uint16_t fields[6];  // year, month, day, hour, minute, second
};

const DateCase kDates[] = {
    {"the usual form", "Tue, 15 Nov 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"a month name in lower case", "tue, 15 nov 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"a month name that is none", "Tue, 15 Foo 1994 08:12:31 +0900", {1994, 65535, 15, 8, 12, 31}},
    {"a month name in longer form is none", "Tue, 15 November 1994 08:12:31 +0900", {1994, 65535, 15, 8, 12, 31}},
    {"a two-digit year stays two digits", "Tue, 15 Nov 94 08:12:31 +0900", {94, 11, 15, 8, 12, 31}},
    {"a one-digit day", "Tue, 5 Nov 1994 08:12:31 +0900", {1994, 11, 5, 8, 12, 31}},
    {"a zone name and comment are read past", "Tue, 15 Nov 1994 08:12:31 GMT (UT)", {1994, 11, 15, 8, 12, 31}},
    {"without seconds", "Tue, 15 Nov 1994 08:12 +0900", {1994, 11, 15, 8, 12, 0}},
    // Other forms give what their tokens at the fixed places read as.
    {"without a weekday", "15 Nov 1994 08:12:31 +0900", {8, 65535, 0, 900, 0, 0}},
    {"a day padded with a blank", "Tue,  5 Nov 1994 08:12:31 +0900", {0, 65535, 0, 1994, 12, 31}},
    {"a value that ends early", "Tue, 15", {0, 65535, 15, 0, 0, 0}},
    {"a weekday only", "Tue,", {0, 65535, 0, 0, 0, 0}},
    {"negative numbers are stored as they come", "Tue, -1 Jan -2 -3:-4:-5", {65534, 1, 65535, 65533, 65532, 65531}},
    {"numbers past 16 bits keep their low 16 bits", "Tue, 65537 Jan 1994 08:12:31", {1994, 1, 1, 8, 12, 31}},
    {"numbers past 32 bits are held at the limit", "Tue, 99999999999 Jan 1994 08:12:31", {1994, 1, 65535, 8, 12, 31}},
};

TEST(ReadDateValue, ByPosition) {
    for (const DateCase &c : kDates) {
        SCOPED_TRACE(c.what);
        MailDate d;
        std::memset(&d, 0x77, sizeof(d));
        ReadDateValue(c.value.c_str(), &d);
        uint16_t got[6] = {d.year, d.month, d.day, d.hour, d.minute, d.second};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], c.fields[i]) << "field " << i;
    }
}

TEST(MailGetDate, FromTheHeader) {
    MailDate d;
    std::string text = "Subject: x\r\nDate: Tue, 15 Nov 1994 08:12:31 +0900\r\n\r\nDate: Mon, 1 Jan 2001 0:0:0\r\n";
    EXPECT_EQ(ZK_MailGetDate(text.c_str(), &d), 31);  // the length of the value
    EXPECT_EQ(d.year, 1994);
    EXPECT_EQ(d.month, 11);
    EXPECT_EQ(d.day, 15);
    EXPECT_EQ(d.hour, 8);
    EXPECT_EQ(d.minute, 12);
    EXPECT_EQ(d.second, 31);
}

TEST(MailGetDate, FoldedValueLosesItsFoldingBlank) {
    // The folding blank goes as for every field; the year token then runs into the time.
    MailDate d;
    EXPECT_EQ(ZK_MailGetDate("Date: Tue, 15 Nov 1994\r\n 08:12:31 +0900\r\n", &d), 30);
    EXPECT_EQ(d.year, static_cast<uint16_t>(199408));
    EXPECT_EQ(d.month, 11);
    EXPECT_EQ(d.hour, 900);
}

TEST(MailGetDate, AbsentTooLongAndNull) {
    MailDate d;
    std::memset(&d, 0x77, sizeof(d));
    EXPECT_EQ(ZK_MailGetDate("Subject: x\r\n\r\n", &d), 0);
    MailDate zero;
    std::memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(std::memcmp(&d, &zero, sizeof(d)), 0);
    std::memset(&d, 0x77, sizeof(d));
    EXPECT_EQ(ZK_MailGetDate(("Date: Tue, 15 Nov 1994 08:12:31 " + std::string(1000, 'z') + "\r\n").c_str(), &d), -1);
    EXPECT_EQ(std::memcmp(&d, &zero, sizeof(d)), 0);
    EXPECT_EQ(ZK_MailGetDate(nullptr, &d), 0);
    EXPECT_EQ(ZK_MailGetDate("Date: Tue, 15 Nov 1994 08:12:31\r\n", nullptr), -1);
    // A value that just fits the 1024-byte field buffer: 1021 bytes.
    std::string longest = "Tue, 15 Nov 1994 08:12:31 " + std::string(1021 - 26, 'z');
    EXPECT_EQ(ZK_MailGetDate(("Date: " + longest + "\r\n").c_str(), &d), 1021);
    EXPECT_EQ(d.second, 31);
    EXPECT_EQ(ZK_MailGetDate(("Date: " + longest + "z\r\n").c_str(), &d), -1);
}

TEST(MailGetDate, TokensPastTheLimitShiftThePositions) {
    // A token of more than 128 characters is cut there, and the next one starts one character
    // after the cut.
    MailDate d;
    std::string value = std::string(130, 'W') + " 15 Nov";
    ReadDateValue(value.c_str(), &d);
    EXPECT_EQ(d.day, 0);  // the day is read from the 130th "W"
    EXPECT_EQ(d.month, 65535);
}

TEST(MonthNumber, WholeNamesInAnyCase) {
    const char *names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(MonthNumber(names[i]), i + 1);
    EXPECT_EQ(MonthNumber("nov"), 11);
    EXPECT_EQ(MonthNumber("NOV"), 11);
    EXPECT_EQ(MonthNumber("Foo"), -1);
    EXPECT_EQ(MonthNumber("No"), -1);
    EXPECT_EQ(MonthNumber("Novem"), -1);
    EXPECT_EQ(MonthNumber(""), -1);
    EXPECT_EQ(MonthNumber(nullptr), -1);
}

TEST(CopyToken, DelimiterEndAndLimit) {
    char out[16];
    EXPECT_EQ(CopyToken(out, "12 4711", ' ', 6), 2);
    EXPECT_STREQ(out, "12");
    EXPECT_EQ(CopyToken(out, "1234567 9", ' ', 6), 6);  // cut at the limit
    EXPECT_STREQ(out, "123456");
    EXPECT_EQ(CopyToken(out, "abc", ':', 6), 3);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(CopyToken(out, "abc", ':', -1), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(CopyToken(out, nullptr, ':', 6), 0);
    EXPECT_STREQ(out, "");
}

TEST(CopyToken, DoubleByteCharactersWhole) {
    char out[16];
    // 0x81 0x40 is one character whose second byte is "@": it does not end the token.
    EXPECT_EQ(CopyToken(out, "\x81@x@y", '@', 10), 3);
    EXPECT_STREQ(out, "\x81@x");
    // A character that would pass the limit is left out whole.
    EXPECT_EQ(CopyToken(out, "ab\x93\xFA", ' ', 3), 2);
    EXPECT_STREQ(out, "ab");
    // A lead byte at the end of the text is a byte of its own.
    EXPECT_EQ(CopyToken(out, "a\x93", ' ', 5), 2);
}

TEST(ParseSaturatedInt32, AsAtoiReadsIt) {
    EXPECT_EQ(ParseSaturatedInt32("08"), 8);
    EXPECT_EQ(ParseSaturatedInt32("  \t12x"), 12);
    EXPECT_EQ(ParseSaturatedInt32("+7"), 7);
    EXPECT_EQ(ParseSaturatedInt32("-3"), -3);
    EXPECT_EQ(ParseSaturatedInt32("abc"), 0);
    EXPECT_EQ(ParseSaturatedInt32("- 3"), 0);
    EXPECT_EQ(ParseSaturatedInt32(""), 0);
    EXPECT_EQ(ParseSaturatedInt32(nullptr), 0);
    EXPECT_EQ(ParseSaturatedInt32("2147483647"), INT32_MAX);
    EXPECT_EQ(ParseSaturatedInt32("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseSaturatedInt32("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseSaturatedInt32("-99999999999999999999"), INT32_MIN);
}

}  // namespace
