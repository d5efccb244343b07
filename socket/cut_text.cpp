// cut_text.cpp -- copies of reply texts cut to fit at a character boundary.
#include "socket/cut_text.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "socket/text_helpers.h"

int32_t CopyCutA(char *dest, int32_t size, const char *text) {
    if (dest == nullptr || size <= 0) return 0;
    dest[0] = '\0';
    if (text == nullptr) return 0;
    int32_t n = 0;
    while (text[n] != '\0') {
        bool lead = win::IsDBCSLeadByteEx(win::kCpAcp, static_cast<BYTE>(text[n])) != 0 && text[n + 1] != '\0';
        int32_t step = lead ? 2 : 1;
        if (n + step > size - 1) break;
        n += step;
    }
    std::memcpy(dest, text, static_cast<size_t>(n));
    dest[n] = '\0';
    return n;
}

int32_t CopyCutW(zk_wchar_t *dest, int32_t units, const zk_wchar_t *text) {
    if (dest == nullptr || units <= 0) return 0;
    dest[0] = 0;
    if (text == nullptr) return 0;
    int32_t n = 0;
    while (text[n] != 0) {
        bool pair = text[n] >= 0xD800 && text[n] <= 0xDBFF && text[n + 1] >= 0xDC00 && text[n + 1] <= 0xDFFF;
        int32_t step = pair ? 2 : 1;
        if (n + step > units - 1) break;
        n += step;
    }
    std::memcpy(dest, text, static_cast<size_t>(n) * sizeof(zk_wchar_t));
    dest[n] = 0;
    return n;
}

int32_t AnsiToWideCut(const char *text, zk_wchar_t *dest, int32_t units) {
    if (dest == nullptr || units <= 0) return 0;
    dest[0] = 0;
    if (text == nullptr || text[0] == '\0') return 0;
    int need = win::MultiByteToWideChar(win::kCpAcp, 0, text, -1, nullptr, 0);
    if (need <= 0) return 0;
    std::vector<zk_wchar_t> wide(static_cast<size_t>(need) + 1, 0);
    if (AnsiToWide(text, wide.data(), need) <= 0) return 0;
    return CopyCutW(dest, units, wide.data());
}
