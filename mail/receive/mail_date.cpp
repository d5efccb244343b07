// mail_date.cpp -- the Date field as year, month, day, hour, minute and second, read as RFC 5322
// writes it and as mailers stray from it: with or without the weekday, blanks and comments of
// any length between the parts, a day of one or two digits, seconds left out, any zone.
#include "mail/receive/mail_date.h"

#include <cstring>

namespace {
constexpr int32_t kDateValueSize = 1024;
const char *const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};
const char *const kDays[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char *const kDayNames[7] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
// February may have 29 days: the year is not consulted.
const int kMonthDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Whether the `n` characters at `word` are `name`, without case.
bool WordIs(const char *word, size_t n, const char *name) {
    if (std::strlen(name) != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (Upper(word[i]) != Upper(name[i])) return false;
    }
    return true;
}

// 1-based position of the word among the short or the full names; 0 for none.
template <size_t N>
int NameNumber(const char *word, size_t n, const char *const (&short_names)[N], const char *const (&names)[N]) {
    for (size_t i = 0; i < N; ++i) {
        if (WordIs(word, n, short_names[i]) || WordIs(word, n, names[i])) return static_cast<int>(i) + 1;
    }
    return 0;
}

// Walks a Date value. Blanks and comments (nested, with quoted characters) may stand between any
// two parts; a line break ends the value (what follows is another occurrence of the field).
struct DateReader {
    const char *p;

    void SkipGaps() {
        for (;;) {
            while (*p == ' ' || *p == '\t') ++p;
            if (*p != '(') return;
            int depth = 0;
            do {  // a comment left open runs to the end
                if (*p == '\\' && p[1] != '\0') ++p;
                else if (*p == '(') ++depth;
                else if (*p == ')') --depth;
                ++p;
            } while (depth > 0 && *p != '\0');
        }
    }
    bool AtEnd() {
        SkipGaps();
        return *p == '\0' || *p == '\r' || *p == '\n';
    }
    // A run of letters after the gaps; its length (0 for none).
    size_t Word(const char **word) {
        SkipGaps();
        *word = p;
        while (IsLetter(*p)) ++p;
        return static_cast<size_t>(p - *word);
    }
    // The run of digits after the gaps, whole: its length, and its value while it has at most 9.
    int Digits(int *value) {
        SkipGaps();
        int digits = 0;
        *value = 0;
        for (; IsDigit(*p); ++p, ++digits) {
            if (digits < 9) *value = *value * 10 + (*p - '0');
        }
        return digits;
    }
    bool Number(int least, int most, int *value) {
        int digits = Digits(value);
        return digits >= least && digits <= most;
    }
    bool Take(char c) {
        SkipGaps();
        if (*p != c) return false;
        ++p;
        return true;
    }
    // What may follow the time: zones, numeric (+0900, -09:00) or named (GMT, EST, Z, JST), and
    // comments.
    bool Zones() {
        while (!AtEnd()) {
            const char *word;
            if (Word(&word) > 0) continue;
            if (*p != '+' && *p != '-') return false;
            ++p;
            int hours, minutes;
            if (!IsDigit(*p)) return false;  // no gap after the sign
            int digits = Digits(&hours);
            if (digits == 4) continue;
            if (digits != 2 || *p != ':' || !IsDigit(*++p) || Digits(&minutes) != 2) return false;
        }
        return true;
    }
};
}  // namespace

int32_t MonthNumber(const char *token) {
    if (token == nullptr) return -1;
    int month = NameNumber(token, std::strlen(token), kMonths, kMonthNames);
    return month > 0 ? month : -1;
}

bool ReadDateValue(const char *value, MailDate *date) {
    std::memset(date, 0, sizeof(*date));
    if (value == nullptr) return false;
    DateReader r{value};
    const char *word;
    size_t n = r.Word(&word);
    if (n > 0) {
        if (NameNumber(word, n, kDays, kDayNames) == 0) return false;
        r.Take(',');
    }
    int day, year, hour, minute, second = 0;
    if (!r.Number(1, 2, &day)) return false;
    n = r.Word(&word);
    int month = NameNumber(word, n, kMonths, kMonthNames);
    if (month == 0 || !r.Number(2, 4, &year)) return false;
    if (!r.Number(1, 2, &hour) || !r.Take(':') || !r.Number(1, 2, &minute)) return false;
    if (r.Take(':') && !r.Number(1, 2, &second)) return false;
    if (!r.Zones()) return false;
    if (day < 1 || day > kMonthDays[month - 1] || hour > 23 || minute > 59 || second > 60) return false;
    date->year = static_cast<uint16_t>(year);
    date->month = static_cast<uint16_t>(month);
    date->day = static_cast<uint16_t>(day);
    date->hour = static_cast<uint16_t>(hour);
    date->minute = static_cast<uint16_t>(minute);
    date->second = static_cast<uint16_t>(second);
    return true;
}

ZK_EXPORT int32_t ZK_API ZK_MailGetDate(const char *text, MailDate *date) {
    if (date == nullptr) return -1;
    std::memset(date, 0, sizeof(*date));
    char value[kDateValueSize];
    int32_t length = ZK_MailGetHeaderTagA(text, "Date:", value, kDateValueSize);
    if (length < 1) return length;
    // A value that cannot be read is refused, not turned into numbers that look like a date.
    return ReadDateValue(value, date) ? length : -1;
}
