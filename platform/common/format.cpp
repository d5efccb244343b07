// format.cpp -- bounded command-line formatting, standing in for wsprintfA/wsprintfW.
#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

namespace win {

namespace {
// wsprintf never writes more than 1024 characters; neither do we, and never past the caller's size.
constexpr int kFormatLimit = 1024;

int FormatInto(char *out, int size, const char *format, va_list args) {
    if (out == nullptr || size <= 0) return 0;
    int room = size < kFormatLimit + 1 ? size : kFormatLimit + 1;
    int n = std::vsnprintf(out, static_cast<size_t>(room), format, args);
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return n < room ? n : room - 1;
}
}  // namespace

int FormatA(char *out, int size, const char *format, ...) {
    va_list args;
    va_start(args, format);
    int n = FormatInto(out, size, format, args);
    va_end(args);
    return n;
}

int FormatW(WCHAR *out, int size, const char *format, ...) {
    if (out == nullptr || size <= 0) return 0;
    char narrow[kFormatLimit + 1];
    va_list args;
    va_start(args, format);
    int n = FormatInto(narrow, size < kFormatLimit + 1 ? size : kFormatLimit + 1, format, args);
    va_end(args);
    // The formats used here are ASCII, so each byte is one UTF-16 unit.
    for (int i = 0; i < n; ++i) out[i] = static_cast<WCHAR>(static_cast<unsigned char>(narrow[i]));
    out[n] = 0;
    return n;
}

}  // namespace win
