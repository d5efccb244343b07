// extract_checks.h -- helpers for the message extraction tests: caller buffers that notice a
// write past their size, byte dumps for failure messages and UTF-16 texts as the library's type.
#ifndef ZK_TESTS_MAIL_EXTRACT_CHECKS_H
#define ZK_TESTS_MAIL_EXTRACT_CHECKS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "zknet/zkconf.h"

namespace mailtest {

// A caller buffer of `size` elements, filled with `fill`, followed by guard elements that must
// stay untouched.
template <typename T>
struct Guarded {
    static constexpr int kGuard = 16;
    static constexpr T kMark = static_cast<T>(0x5A);
    explicit Guarded(int32_t n, T fill = static_cast<T>(0x77))
        : size(n), fill_value(fill), storage(static_cast<size_t>(n > 0 ? n : 0) + kGuard, kMark) {
        for (int32_t i = 0; i < n; ++i) storage[static_cast<size_t>(i)] = fill;
    }
    T *data() { return storage.data(); }
    bool GuardIntact() const {
        for (size_t i = static_cast<size_t>(size > 0 ? size : 0); i < storage.size(); ++i) {
            if (storage[i] != kMark) return false;
        }
        return true;
    }
    // The text up to the terminator; `Terminated` says whether one lies inside the buffer.
    std::basic_string<T> Text() const {
        size_t n = 0;
        while (n < static_cast<size_t>(size) && storage[n] != 0) ++n;
        return std::basic_string<T>(storage.data(), n);
    }
    bool Terminated() const { return Text().size() < static_cast<size_t>(size); }
    bool AllZero() const { return Is(0); }
    bool Untouched() const { return Is(fill_value); }
    bool Is(T value) const {
        for (int32_t i = 0; i < size; ++i) {
            if (storage[static_cast<size_t>(i)] != value) return false;
        }
        return true;
    }
    int32_t size;
    T fill_value;
    std::vector<T> storage;
};

using Narrow = Guarded<char>;
using Wide = Guarded<zk_wchar_t>;
using WideText = std::basic_string<zk_wchar_t>;

inline std::string Hex(const std::string &bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof(b), "%02X ", c);
        out += b;
    }
    return out;
}

inline std::string HexW(const WideText &units) {
    std::string out;
    char b[8];
    for (zk_wchar_t u : units) {
        std::snprintf(b, sizeof(b), "%04X ", static_cast<unsigned>(u));
        out += b;
    }
    return out;
}

// A UTF-16 literal (u"...") as the library's wide text.
inline WideText W(const char16_t *text) {
    WideText out;
    for (; *text != 0; ++text) out += static_cast<zk_wchar_t>(*text);
    return out;
}

// ASCII text widened unit by unit.
inline WideText Widen(const std::string &ascii) {
    WideText out;
    for (unsigned char c : ascii) out += static_cast<zk_wchar_t>(c);
    return out;
}

}  // namespace mailtest

#endif  // ZK_TESTS_MAIL_EXTRACT_CHECKS_H
