// mail_date.cpp -- the Date field as year, month, day, hour, minute and second.
#include "mail/receive/mail_date.h"

#include <cstring>

#include "mail/receive/token.h"
#include "socket/number_text.h"

namespace {
constexpr int32_t kTokenLimit = 128;
constexpr int32_t kDateValueSize = 1024;
const char *const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool EqualNoCase(const char *a, const char *b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        char x = *a >= 'a' && *a <= 'z' ? static_cast<char>(*a - 'a' + 'A') : *a;
        char y = *b >= 'a' && *b <= 'z' ? static_cast<char>(*b - 'a' + 'A') : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// The tokens of a value one after the other. Each starts one character after the one before
// (its delimiter); once the value is used up every further token is empty.
struct TokenReader {
    const char *p;
    const char *end;
    char token[kTokenLimit + 1];

    const char *Next(char delimiter) {
        int32_t n = CopyToken(token, p, delimiter, kTokenLimit);
        p += n;
        if (p < end) ++p;
        return token;
    }
};
}  // namespace

int32_t MonthNumber(const char *token) {
    if (token == nullptr) return -1;
    for (int32_t i = 0; i < 12; ++i) {
        if (EqualNoCase(token, kMonths[i])) return i + 1;
    }
    return -1;
}

void ReadDateValue(const char *value, MailDate *date) {
    std::memset(date, 0, sizeof(*date));
    if (value == nullptr) return;
    TokenReader r{value, value + std::strlen(value), {}};
    r.Next(' ');  // the weekday
    date->day = static_cast<uint16_t>(ParseSaturatedInt32(r.Next(' ')));
    date->month = static_cast<uint16_t>(MonthNumber(r.Next(' ')));
    date->year = static_cast<uint16_t>(ParseSaturatedInt32(r.Next(' ')));
    date->hour = static_cast<uint16_t>(ParseSaturatedInt32(r.Next(':')));
    date->minute = static_cast<uint16_t>(ParseSaturatedInt32(r.Next(':')));
    date->second = static_cast<uint16_t>(ParseSaturatedInt32(r.Next(':')));  // takes in the zone too
}

ZK_EXPORT int32_t ZK_API ZK_MailGetDate(const char *text, MailDate *date) {
    if (date == nullptr) return -1;
    std::memset(date, 0, sizeof(*date));
    char value[kDateValueSize];
    int32_t length = ZK_MailGetHeaderTagA(text, "Date:", value, kDateValueSize);
    if (length < 1) return length;
    ReadDateValue(value, date);
    return length;
}
