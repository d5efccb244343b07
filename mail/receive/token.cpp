// token.cpp -- tokens of fixed-form values and the numbers in them.
#include "mail/receive/token.h"

#include "text/charset.h"

int32_t CopyToken(char *destination, const char *source, char delimiter, int32_t limit) {
    int32_t n = 0;
    if (source != nullptr) {
        while (n < limit && source[n] != '\0') {
            if (IsDoubleByteChar(source + n)) {
                if (n + 2 > limit) break;
                destination[n] = source[n];
                destination[n + 1] = source[n + 1];
                n += 2;
                continue;
            }
            if (source[n] == delimiter) break;
            destination[n] = source[n];
            ++n;
        }
    }
    destination[n] = '\0';
    return n;
}

int32_t ReadDecimal(const char *text) {
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
