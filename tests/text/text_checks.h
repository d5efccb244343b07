// text_checks.h -- helpers for the text tests: buffers that notice a write past their size,
// readable byte dumps and UTF-16 literals as the library's wide type.
#ifndef ZK_TESTS_TEXT_TEXT_CHECKS_H
#define ZK_TESTS_TEXT_TEXT_CHECKS_H

#include <cstdint>
#include <string>
#include <vector>

#include "zknet/zkconf.h"

// A caller buffer of `size` elements followed by guard elements that must stay untouched.
template <typename T>
struct Guarded {
    static constexpr int kGuard = 16;
    static constexpr T kMark = static_cast<T>(0x5A);
    explicit Guarded(int32_t n, T fill = static_cast<T>(0x77)) : size(n), storage(static_cast<size_t>(n) + kGuard, kMark) {
        for (int32_t i = 0; i < n; ++i) storage[static_cast<size_t>(i)] = fill;
    }
    T *data() { return storage.data(); }
    bool GuardIntact() const {
        for (size_t i = static_cast<size_t>(size); i < storage.size(); ++i) {
            if (storage[i] != kMark) return false;
        }
        return true;
    }
    // The text up to the terminator, which must lie inside the buffer.
    std::basic_string<T> Text() const {
        size_t n = 0;
        while (n < static_cast<size_t>(size) && storage[n] != 0) ++n;
        return std::basic_string<T>(storage.data(), n);
    }
    bool AllZero() const {
        for (int32_t i = 0; i < size; ++i) {
            if (storage[static_cast<size_t>(i)] != 0) return false;
        }
        return true;
    }
    int32_t size;
    std::vector<T> storage;
};

using Narrow = Guarded<char>;
using Wide = Guarded<zk_wchar_t>;

// "88 9F 61" for failure messages.
std::string Hex(const std::string &bytes);
std::string HexW(const std::basic_string<zk_wchar_t> &units);

inline const zk_wchar_t *Wz(const char16_t *text) { return reinterpret_cast<const zk_wchar_t *>(text); }
inline std::basic_string<zk_wchar_t> WStr(const char16_t *text) { return std::basic_string<zk_wchar_t>(Wz(text)); }

#endif  // ZK_TESTS_TEXT_TEXT_CHECKS_H
