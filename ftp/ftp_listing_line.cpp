// ftp_listing_line.cpp -- the name field of a directory listing line: after the date and time of a
// Unix-style line ("... Jan  1 12:00 name", "... Jan  1  2024 name"), or after the size or <DIR>
// of a DOS-style line ("01-31-24  08:30PM  1234 name"); for a link, the part before " -> ".
#include <cstring>

#include "ftp/ftp_parse.h"

namespace {

struct Token {
    size_t start;
    size_t length;
};

constexpr int kMaxTokens = 24;

// The blank-separated words of the line, up to kMaxTokens, with where each begins.
int Tokens(const char *line, Token *tokens) {
    int count = 0;
    size_t i = 0;
    while (line[i] != '\0' && count < kMaxTokens) {
        while (line[i] == ' ') ++i;
        if (line[i] == '\0') break;
        size_t start = i;
        while (line[i] != '\0' && line[i] != ' ') ++i;
        tokens[count++] = Token{start, i - start};
    }
    return count;
}

bool Digits(const char *p, size_t n, size_t min, size_t max) {
    if (n < min || n > max) return false;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
    }
    return true;
}

bool IsMonth(const char *p, size_t n) {
    static const char kMonths[] = "janfebmaraprmayjunjulaugsepoctnovdec";
    if (n != 3) return false;
    char folded[3];
    for (int i = 0; i < 3; ++i) folded[i] = (p[i] >= 'A' && p[i] <= 'Z') ? static_cast<char>(p[i] + 32) : p[i];
    for (int m = 0; m < 12; ++m) {
        if (std::memcmp(kMonths + 3 * m, folded, 3) == 0) return true;
    }
    return false;
}

// hh:mm (the hour may have one digit), optionally followed by AM or PM.
bool IsTime(const char *p, size_t n, bool meridian) {
    const char *colon = static_cast<const char *>(std::memchr(p, ':', n));
    if (colon == nullptr) return false;
    size_t hours = static_cast<size_t>(colon - p);
    size_t rest = n - hours - 1;
    if (meridian && rest == 4 && (colon[3] == 'A' || colon[3] == 'P' || colon[3] == 'a' || colon[3] == 'p') &&
        (colon[4] == 'M' || colon[4] == 'm')) {
        rest = 2;
    }
    return Digits(p, hours, 1, 2) && Digits(colon + 1, rest, 2, 2);
}

// MM-DD-YY or MM-DD-YYYY.
bool IsDosDate(const char *p, size_t n) {
    return (n == 8 || n == 10) && Digits(p, 2, 2, 2) && p[2] == '-' && Digits(p + 3, 2, 2, 2) && p[5] == '-' &&
           Digits(p + 6, n - 6, 2, 4);
}

// Where the name begins: one blank after the field that ends at `end` (further blanks belong to
// the name). 0 when nothing follows.
size_t NameAfter(const char *line, size_t end) {
    if (line[end] != ' ' || line[end + 1] == '\0') return 0;
    return end + 1;
}

}  // namespace

bool ListingNameField(const char *line, size_t *offset, size_t *length) {
    if (line == nullptr) return false;
    Token t[kMaxTokens];
    int count = Tokens(line, t);
    size_t start = 0;
    if (count >= 4 && IsDosDate(line + t[0].start, t[0].length) && IsTime(line + t[1].start, t[1].length, true)) {
        start = t[3].start;  // the name column is padded; a leading blank there is padding
    } else {
        for (int i = 1; i + 2 < count; ++i) {
            const char *month = line + t[i].start;
            if (!IsMonth(month, t[i].length) || !Digits(line + t[i + 1].start, t[i + 1].length, 1, 2)) continue;
            const char *clock = line + t[i + 2].start;
            size_t n = t[i + 2].length;
            if (!IsTime(clock, n, false) && !Digits(clock, n, 4, 4)) continue;
            start = NameAfter(line, t[i + 2].start + n);
            break;
        }
    }
    if (start == 0) return false;
    size_t end = std::strlen(line);
    // A link shows as "name -> target"; its name is the part before the arrow.
    if (line[0] == 'l') {
        const char *arrow = std::strstr(line + start, " -> ");
        if (arrow != nullptr) end = static_cast<size_t>(arrow - line);
    }
    if (end <= start) return false;
    *offset = start;
    *length = end - start;
    return true;
}
