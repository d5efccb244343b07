// header_lines.cpp -- the lines of a message header and the empty line that ends it.
#include "mail/receive/header_lines.h"

#include <cstring>

size_t CopyHeaderLine(const char *position, HeaderLine *line) {
    size_t length = std::strcspn(position, "\r");
    const char *next = position + length;
    if (*next == '\r') {
        ++next;
        if (*next == '\n') ++next;  // a lone CR ends a line too, without taking the next byte
    }
    *line = HeaderLine{position, length, next};
    return length;
}

int64_t FindHeaderEnd(const char *text) {
    if (text == nullptr || text[0] == '\0') return -1;
    const char *p = text;
    HeaderLine line;
    while (*p != '\0' && CopyHeaderLine(p, &line) > 0) p = line.next;
    // At an empty line p is its start, just after the CR LF of the last header line; without
    // one it is the end of the text.
    return p - text;
}
