// jis_escapes.cpp -- the ISO-2022-JP escape sequences that switch double-byte mode on and off.
#include <cstring>

#include "text/charset.h"

namespace {
// Compares byte by byte so that a text ending inside a sequence stops at its terminator.
bool StartsWith(const char *text, const char *sequence) {
    for (; *sequence != '\0'; ++text, ++sequence) {
        if (*text != *sequence) return false;
    }
    return true;
}

const char *const kInEscapes[] = {"\x1B$@", "\x1B$B", "\x1B&@\x1B$B", "\x1B$(D"};
const char *const kOutEscapes[] = {"\x1B(B", "\x1B(J", "\x1B(I"};

template <size_t N>
int32_t MatchAny(const char *position, const char *const (&sequences)[N]) {
    if (position == nullptr || position[0] != '\x1B') return 0;
    for (const char *s : sequences) {
        if (StartsWith(position, s)) return static_cast<int32_t>(std::strlen(s));
    }
    return 0;
}
}  // namespace

int32_t IsKanjiInEscape(const char *position) { return MatchAny(position, kInEscapes); }

int32_t IsKanjiOutEscape(const char *position) { return MatchAny(position, kOutEscapes); }
