// number_text.cpp -- saturating decimal numbers.
#include "socket/number_text.h"

int32_t ParseSaturatedInt32(const char *text) {
    if (text == nullptr) return 0;
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 2147483648LL) value = 2147483648LL;  // past either limit already
    }
    if (negative) return value >= 2147483648LL ? INT32_MIN : static_cast<int32_t>(-value);
    return value > 2147483647LL ? INT32_MAX : static_cast<int32_t>(value);
}
