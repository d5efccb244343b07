// utf8.cpp -- UTF-8 to UTF-16 and to ANSI through the platform's code page 65001.
#include <cstring>

#include "platform/platform.h"
#include "socket/text_helpers.h"
#include "text/charset.h"
#include "text/output_buffer.h"
#include "text/scratch.h"

namespace {
// Converts the text without its terminator and terminates the result here: handed a text that
// ends inside a UTF-8 sequence together with its terminator, some platforms (Wine) take the zero
// into the broken sequence and return a result with no terminator. Units written including the
// terminator, or 0 when it does not fit.
int32_t DecodeUtf8(const char *input, zk_wchar_t *output, int32_t units) {
    size_t length = std::strlen(input);
    if (units < 2 || length > 0x7FFFFFFE) return 0;
    int n = win::MultiByteToWideChar(win::kCpUtf8, 0, input, static_cast<int>(length), reinterpret_cast<WCHAR *>(output),
                                     units - 1);
    if (n <= 0 || n > units - 1) return 0;
    output[n] = 0;
    return n + 1;
}
}  // namespace

int32_t Utf8ToWide(const char *input, zk_wchar_t *output, int32_t units) {
    if (output == nullptr || units <= 0) return input == nullptr || input[0] == '\0' ? -1 : 0;
    if (input == nullptr || input[0] == '\0') return FinishWide(output, units, -1);
    return FinishWide(output, units, DecodeUtf8(input, output, units));
}

int32_t Utf8ToAnsi(const char *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return input == nullptr || input[0] == '\0' ? -1 : 0;
    std::unique_ptr<zk_wchar_t[]> wide;
    if (input == nullptr || input[0] == '\0' || !(wide = NewScratchW(size))) {
        ClearOutput(output, size);
        return -1;
    }
    int32_t n = DecodeUtf8(input, wide.get(), size);
    if (n <= 0) {
        ClearOutput(output, size);
        return n;
    }
    return WideToAnsi(wide.get(), output, size);  // it clears the whole output itself
}
