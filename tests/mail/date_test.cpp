// date_test.cpp -- the Date field read as mailers write it: the forms RFC 5322 allows and those it
// calls obsolete, with blanks, folds and comments anywhere between the parts; a value that cannot
// be read gives no fields at all; and the numbers of other fields.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "mail/receive/mail_date.h"
#include "socket/number_text.h"
#include "zknet/mail.h"

namespace {

struct DateCase {
    const char *what;
    std::string value;
    uint16_t fields[6];  // year, month, day, hour, minute, second; all 0: the value cannot be read
};

const DateCase kDates[] = {
    {"the usual form", "Tue, 15 Nov 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"names in lower case", "tue, 15 nov 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"Postfix pads a one-digit day with a blank", "Thu,  1 Jul 2014 09:05:07 +0900 (JST)", {2014, 7, 1, 9, 5, 7}},
    {"no weekday, as qmail writes it", "1 Jul 2014 09:05:07 -0000", {2014, 7, 1, 9, 5, 7}},
    {"runs of blanks and tabs", "Tue,\t 15   Nov \t1994  08:12:31    +0900", {1994, 11, 15, 8, 12, 31}},
    {"no blank after the comma", "Tue,15 Nov 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"a weekday without its comma", "Tue 15 Nov 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"full names", "Tuesday, 15 November 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"a full name in capitals", "Tue, 15 NOVEMBER 1994 08:12:31 +0900", {1994, 11, 15, 8, 12, 31}},
    {"without seconds", "Tue, 15 Nov 1994 08:12 +0900", {1994, 11, 15, 8, 12, 0}},
    {"one-digit hour, minute and second", "Tue, 5 Nov 1994 8:2:3 +0900", {1994, 11, 5, 8, 2, 3}},
    {"a two-digit year stays two digits", "Tue, 15 Nov 94 08:12:31 +0900", {94, 11, 15, 8, 12, 31}},
    {"obsolete zone names", "Tue, 15 Nov 1994 08:12:31 EST", {1994, 11, 15, 8, 12, 31}},
    {"a military zone", "Tue, 15 Nov 1994 08:12:31 Z", {1994, 11, 15, 8, 12, 31}},
    {"a zone with a colon", "Tue, 15 Nov 1994 08:12:31 -09:30", {1994, 11, 15, 8, 12, 31}},
    {"zones and comments, nested", "Tue, 15 Nov 1994 08:12:31 +0900 JST ((Tokyo) \\) x)", {1994, 11, 15, 8, 12, 31}},
    {"comments between the parts", "(sent) Tue, (day) 15 Nov 1994 08:12:31", {1994, 11, 15, 8, 12, 31}},
    {"no zone", "Tue, 15 Nov 1994 08:12:31", {1994, 11, 15, 8, 12, 31}},
    {"a leap second", "Sat, 31 Dec 2016 23:59:60 +0000", {2016, 12, 31, 23, 59, 60}},
    {"the first of repeated values", "Tue, 15 Nov 1994 08:12:31\r\nWed, 16 Nov 1994 09:00:00", {1994, 11, 15, 8, 12, 31}},
    // Values that are no date.
    {"a month name that is none", "Tue, 15 Foo 1994 08:12:31 +0900", {}},
    {"a month name cut short", "Tue, 15 Novem 1994 08:12:31 +0900", {}},
    {"a month name too short", "Tue, 15 No 1994 08:12:31 +0900", {}},
    {"a weekday that is none", "Foo, 15 Nov 1994 08:12:31 +0900", {}},
    {"a value that ends early", "Tue, 15", {}},
    {"no time", "Tue, 15 Nov 1994", {}},
    {"a time cut after its colon", "Tue, 15 Nov 1994 08:", {}},
    {"negative numbers", "Tue, -1 Jan -2 -3:-4:-5", {}},
    {"a three-digit day", "Tue, 115 Nov 1994 08:12:31", {}},
    {"a day past its month's last", "Thu, 31 Apr 2014 08:12:31", {}},
    {"day 0", "Tue, 0 Nov 1994 08:12:31", {}},
    {"hour 24", "Tue, 15 Nov 1994 24:00:00", {}},
    {"minute 60", "Tue, 15 Nov 1994 08:60:00", {}},
    {"second 61", "Tue, 15 Nov 1994 08:12:61", {}},
    {"a five-digit year", "Tue, 15 Nov 19940 08:12:31", {}},
    {"a one-digit year", "Tue, 15 Nov 4 08:12:31", {}},
    {"numbers past 32 bits", "Tue, 99999999999 Jan 1994 08:12:31", {}},
    {"text after the zone", "Tue, 15 Nov 1994 08:12:31 +0900 1994", {}},
    {"a zone of three digits", "Tue, 15 Nov 1994 08:12:31 +090", {}},
    {"a sign alone", "Tue, 15 Nov 1994 08:12:31 + 0900", {}},
    {"the weekday alone", "Tue,", {}},
    {"an empty value", "", {}},
};

TEST(ReadDateValue, Forms) {
    for (const DateCase &c : kDates) {
        SCOPED_TRACE(c.what);
        MailDate d;
        std::memset(&d, 0x77, sizeof(d));
        EXPECT_EQ(ReadDateValue(c.value.c_str(), &d), c.fields[1] != 0);
        uint16_t got[6] = {d.year, d.month, d.day, d.hour, d.minute, d.second};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], c.fields[i]) << "field " << i;
    }
}

struct FieldCase {
    const char *what;
    const char *text;
    int32_t result;  // the value's length, 0 (absent) or -1 (not read, or too long)
};

const FieldCase kFields[] = {
    {"the field in the header, not in the body",
     "Subject: x\r\nDate: Tue, 15 Nov 1994 08:12:31 +0900\r\n\r\nDate: Mon, 1 Jan 2001 0:0:0\r\n", 31},
    {"no blank after the colon", "Date:Tue, 15 Nov 1994 08:12:31 +0900\r\n", 31},
    {"several blanks after the colon", "Date: \t  Tue, 15 Nov 1994 08:12:31 +0900\r\n", 31},
    {"folded: the fold keeps its blank", "Date: Tue, 15 Nov 1994\r\n 08:12:31 +0900\r\n", 31},
    {"the value on a continuation line", "Date:\r\n\tTue, 15 Nov 1994 08:12:31 +0900\r\n", 31},
    {"a value that is no date", "Date: last Tuesday\r\n", -1},
    {"absent", "Subject: x\r\n\r\n", 0},
    {"a value longer than the field buffer", nullptr, -1},
};

TEST(MailGetDate, FromTheHeader) {
    const std::string too_long = "Date: Tue, 15 Nov 1994 08:12:31 " + std::string(1000, 'z') + "\r\n";
    for (const FieldCase &c : kFields) {
        SCOPED_TRACE(c.what);
        MailDate d;
        std::memset(&d, 0x77, sizeof(d));
        EXPECT_EQ(ZK_MailGetDate(c.text ? c.text : too_long.c_str(), &d), c.result);
        uint16_t got[6] = {d.year, d.month, d.day, d.hour, d.minute, d.second};
        uint16_t want[6] = {1994, 11, 15, 8, 12, 31};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], c.result > 0 ? want[i] : 0) << "field " << i;
    }
    MailDate d;
    EXPECT_EQ(ZK_MailGetDate(nullptr, &d), 0);
    EXPECT_EQ(ZK_MailGetDate("Date: Tue, 15 Nov 1994 08:12:31\r\n", nullptr), -1);
    // A value that just fits the 1024-byte field buffer: 1021 bytes (the zone is a long name).
    std::string longest = "Tue, 15 Nov 1994 08:12:31 " + std::string(1021 - 26, 'z');
    EXPECT_EQ(ZK_MailGetDate(("Date: " + longest + "\r\n").c_str(), &d), 1021);
    EXPECT_EQ(d.second, 31);
    EXPECT_EQ(ZK_MailGetDate(("Date: " + longest + "z\r\n").c_str(), &d), -1);
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
