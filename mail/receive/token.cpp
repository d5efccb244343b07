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
