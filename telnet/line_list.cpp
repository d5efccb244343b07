// line_list.cpp -- the caller's line lists: building them from a split text, searching, releasing.
#include <cstdlib>
#include <cstring>

#include "socket/text_helpers.h"
#include "telnet/line_text.h"
#include "telnet/telnet_session.h"

namespace {

void *NarrowLine(const char *line, size_t length) {
    auto *copy = static_cast<char *>(std::malloc(length + 1));
    if (copy != nullptr) std::memcpy(copy, line, length + 1);
    return copy;
}

// Every ANSI byte gives at most one UTF-16 unit, so length + 1 units always hold the line.
void *WideLine(const char *line, size_t length) {
    auto *wide = static_cast<zk_wchar_t *>(std::calloc(length + 1, sizeof(zk_wchar_t)));
    if (wide == nullptr) return nullptr;
    if (AnsiToWide(line, wide, static_cast<int32_t>(length + 1)) <= 0) wide[0] = 0;
    return wide;
}

template <typename MakeLine>
int32_t BuildLineList(const char *text, int32_t count, TelnetLineList *list, MakeLine make_line) {
    if (list == nullptr) return 1;
    int32_t slots = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (text[i] == '\0') ++slots;
    }
    if (count < 1 || slots == 0) {
        TelnetLastError = ZK_TELNET_NO_LINE;
        return 0;
    }
    list->count = 0;
    list->items = static_cast<void **>(std::calloc(static_cast<size_t>(slots), sizeof(void *)));
    if (list->items == nullptr) {
        TelnetLastError = ZK_TELNET_NO_MEMORY;
        return 0;
    }
    for (int32_t start = 0; start < count && list->count < slots;) {
        size_t length = std::strlen(text + start);
        if (length > 0) {
            void *line = make_line(text + start, length);
            if (line == nullptr) {
                TelnetLastError = ZK_TELNET_NO_MEMORY;
                ReleaseLineList(list);
                return 0;
            }
            list->items[list->count++] = line;
        }
        start += static_cast<int32_t>(length) + 1;
    }
    return 1;
}

}  // namespace

int32_t BuildLineListA(const char *text, int32_t count, TelnetLineList *list) {
    return BuildLineList(text, count, list, NarrowLine);
}

int32_t BuildLineListW(const char *text, int32_t count, TelnetLineList *list) {
    return BuildLineList(text, count, list, WideLine);
}

void ReleaseLineList(TelnetLineList *list) {
    if (list->items != nullptr) {
        for (int32_t i = 0; i < list->count && list->items[i] != nullptr; ++i) std::free(list->items[i]);
        std::free(list->items);
    }
    list->items = nullptr;
    list->count = 0;
}

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_TelnetSearchStringA(const TelnetLineList *list, const char *text) {
    if (list == nullptr || list->count < 1 || list->items == nullptr) return 0;
    for (int32_t i = 0; i < list->count; ++i) {
        if (ContainsNoCaseA(static_cast<const char *>(list->items[i]), text)) return 1;
    }
    return 0;
}

ZK_EXPORT int32_t ZK_API ZK_TelnetSearchStringW(const TelnetLineList *list, const zk_wchar_t *text) {
    if (list == nullptr || list->count < 1 || list->items == nullptr) return 0;
    for (int32_t i = 0; i < list->count; ++i) {
        if (ContainsNoCaseW(static_cast<const zk_wchar_t *>(list->items[i]), text)) return 1;
    }
    return 0;
}

ZK_EXPORT void ZK_API ZK_TelnetDelListA(TelnetLineList *list) {
    if (list == nullptr) {
        TelnetLastError = ZK_TELNET_NO_SESSION;
        return;
    }
    ReleaseLineList(list);
}

#if !defined(_WIN32)
// One entry under two names; the Windows build names the alias in its .def file.
ZK_EXPORT void ZK_API ZK_TelnetDelListW(TelnetLineList *list) __attribute__((alias("ZK_TelnetDelListA")));
#endif

}  // extern "C"
