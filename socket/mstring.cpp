// mstring.cpp -- splitting a CR LF text into a list of line items, and releasing the list.
#include <cstdlib>
#include <cstring>

#include "socket/socket_handle.h"
#include "socket/text_helpers.h"

namespace {

// One slot per line the text can hold: one more than its carriage returns.
int32_t CountLines(const char *text, size_t length) {
    int32_t lines = 1;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\r') ++lines;
    }
    return lines;
}

// A line ends at CR LF or at a lone CR; the rest of the text after its last line ending is the
// last line. Empty lines give no item, so items are exactly the non-empty lines in order, and
// nothing is read past the end of the text however it ends.
template <typename StoreItem>
int32_t SplitLines(const char *text, MStringList *list, StoreItem store) {
    list->count = 0;
    list->items = nullptr;
    if (text == nullptr || text[0] == '\0') return 0;
    size_t length = std::strlen(text);
    int32_t slots = CountLines(text, length);
    void **items = static_cast<void **>(std::calloc(static_cast<size_t>(slots), sizeof(void *)));
    if (items == nullptr) return 0;
    list->items = items;
    size_t pos = 0;
    while (pos < length && list->count < slots) {
        const char *cr = static_cast<const char *>(std::memchr(text + pos, '\r', length - pos));
        size_t end = cr != nullptr ? static_cast<size_t>(cr - text) : length;
        if (end > pos) {
            void *item = store(text + pos, end - pos);
            if (item == nullptr) return 0;  // the items so far stay listed for the caller to release
            items[list->count++] = item;
        }
        if (cr == nullptr) break;
        pos = end + 1;
        if (pos < length && text[pos] == '\n') ++pos;
    }
    return 1;
}

void *NarrowItem(const char *line, size_t length) {
    char *item = static_cast<char *>(std::calloc(length + 2, 1));
    if (item != nullptr) std::memcpy(item, line, length);
    return item;
}

void *WideItem(const char *line, size_t length) {
    char *narrow = static_cast<char *>(NarrowItem(line, length));
    if (narrow == nullptr) return nullptr;
    size_t units = 2 * (length + 2);
    auto *wide = static_cast<zk_wchar_t *>(std::calloc(units, sizeof(zk_wchar_t)));
    if (wide != nullptr && AnsiToWide(narrow, wide, static_cast<int32_t>(units)) <= 0) wide[0] = 0;
    std::free(narrow);
    return wide;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_SocketEditMStringA(const char *text, MStringList *list) {
    if (list == nullptr) return FailInvalid(0);
    return SplitLines(text, list, NarrowItem);
}

ZK_EXPORT int32_t ZK_API ZK_SocketEditMStringW(const char *text, MStringList *list) {
    if (list == nullptr) return FailInvalid(0);
    return SplitLines(text, list, WideItem);
}

// The record is emptied afterwards, so that releasing it twice does no harm.
ZK_EXPORT void ZK_API ZK_SocketDeleteMStringA(MStringList *list) {
    if (list == nullptr) return;
    if (list->items != nullptr) {
        for (int32_t i = 0; i < list->count; ++i) std::free(list->items[i]);
        std::free(list->items);
    }
    list->count = 0;
    list->items = nullptr;
}

#if !defined(_WIN32)
// One entry under two names; the Windows build names the alias in its .def file.
ZK_EXPORT void ZK_API ZK_SocketDeleteMStringW(MStringList *list) __attribute__((alias("ZK_SocketDeleteMStringA")));
#endif

}  // extern "C"
