// copy_text.cpp -- whole-or-nothing copies of result texts into caller buffers.
#include "socket/copy_text.h"

#include <cstring>

#include "socket/text_helpers.h"

void ClearText(char *dest, int32_t size) {
    if (dest != nullptr && size > 0) dest[0] = '\0';
}

void ClearTextW(zk_wchar_t *dest, int32_t units) {
    if (dest != nullptr && units > 0) dest[0] = 0;
}

bool CopyText(char *dest, int32_t size, const char *text) {
    ClearText(dest, size);
    if (dest == nullptr || text == nullptr) return false;
    size_t length = std::strlen(text);
    if (size <= 0 || length + 1 > static_cast<size_t>(size)) return false;
    std::memcpy(dest, text, length + 1);
    return true;
}

bool CopyTextW(zk_wchar_t *dest, int32_t units, const zk_wchar_t *text) {
    ClearTextW(dest, units);
    if (dest == nullptr || text == nullptr) return false;
    int32_t length = WideLength(text);
    if (units <= 0 || length + 1 > units) return false;
    std::memcpy(dest, text, (static_cast<size_t>(length) + 1) * sizeof(zk_wchar_t));
    return true;
}
