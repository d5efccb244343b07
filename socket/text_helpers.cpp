// text_helpers.cpp -- ANSI/UTF-16 conversion and the case-blind containment test.
#include "socket/text_helpers.h"

#include <cstring>

#include "platform/platform.h"

int32_t AnsiToWide(const char *source, zk_wchar_t *dest, int32_t dest_units) {
    if (dest != nullptr && dest_units > 0) dest[0] = 0;
    if (source == nullptr || source[0] == '\0') return -1;
    if (dest == nullptr || dest_units <= 0) return 0;  // no room even for the terminator
    int n = win::MultiByteToWideChar(win::kCpAcp, 0, source, -1, reinterpret_cast<WCHAR *>(dest), dest_units);
    // Windows fills the buffer before it finds the text too long, leaving it unterminated.
    if (n <= 0) dest[0] = 0;
    return n;
}

int32_t WideToAnsi(const zk_wchar_t *source, char *dest, int32_t dest_bytes) {
    if (dest != nullptr && dest_bytes > 0) std::memset(dest, 0, static_cast<size_t>(dest_bytes));
    if (source == nullptr || source[0] == 0) return -1;
    if (dest == nullptr || dest_bytes <= 0) return 0;
    int n = win::WideCharToMultiByte(win::kCpAcp, 0, reinterpret_cast<const WCHAR *>(source), -1, dest, dest_bytes,
                                     nullptr, nullptr);
    if (n <= 0) {
        std::memset(dest, 0, static_cast<size_t>(dest_bytes));
        return 0;
    }
    return n - 1;  // the conversion counted the terminator
}

namespace {
template <typename Unit>
Unit Fold(Unit c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<Unit>(c + ('a' - 'A')) : c;
}

template <typename Unit>
int32_t ContainsNoCase(const Unit *text, const Unit *pattern) {
    if (pattern == nullptr || pattern[0] == 0) return 1;
    if (text == nullptr || text[0] == 0) return 0;
    for (const Unit *start = text; *start != 0; ++start) {
        const Unit *t = start;
        const Unit *p = pattern;
        while (*t != 0 && *p != 0 && Fold(*t) == Fold(*p)) {
            ++t;
            ++p;
        }
        if (*p == 0) return 1;
        if (*t == 0) return 0;  // the rest of the text is shorter than the pattern
    }
    return 0;
}
}  // namespace

int32_t ContainsNoCaseA(const char *text, const char *pattern) {
    return ContainsNoCase(reinterpret_cast<const unsigned char *>(text), reinterpret_cast<const unsigned char *>(pattern));
}

int32_t ContainsNoCaseW(const zk_wchar_t *text, const zk_wchar_t *pattern) { return ContainsNoCase(text, pattern); }

int32_t WideLength(const zk_wchar_t *text) {
    int32_t n = 0;
    if (text != nullptr) {
        while (text[n] != 0) ++n;
    }
    return n;
}
