// fuzz_case.h -- how the fuzz targets read their input and judge a call: the first two bytes
// choose the output size, the rest is the text, held in a heap block of exactly its length so
// that AddressSanitizer sees any read past the terminator or write past the output size.
#ifndef ZK_FUZZ_FUZZ_CASE_H
#define ZK_FUZZ_FUZZ_CASE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "zknet/zkconf.h"

struct FuzzCase {
    std::unique_ptr<char[]> text;  // zero-terminated, its block exactly that long
    size_t length;
    int32_t size;  // 1 to 4096
};

inline bool ReadFuzzCase(const uint8_t *data, size_t n, FuzzCase *c) {
    if (n < 2) return false;
    c->size = 1 + static_cast<int32_t>((data[0] | data[1] << 8) % 4096);
    c->length = n - 2;
    c->text.reset(new char[c->length + 1]);
    std::memcpy(c->text.get(), data + 2, c->length);
    c->text[c->length] = '\0';
    return true;
}

inline void FuzzFail(const char *what, int32_t result) {
    std::fprintf(stderr, "fuzz check failed: %s (result %d)\n", what, result);
    std::abort();
}

// A narrow result: -1, or the length of the text the output holds; either way the output is
// terminated inside its size.
inline void CheckNarrow(const char *what, int32_t result, const char *out, int32_t size) {
    if (result < -1 || result >= size) FuzzFail(what, result);
    size_t length = strnlen(out, static_cast<size_t>(size));
    if (length == static_cast<size_t>(size)) FuzzFail(what, result);
    if (result >= 0 && length != static_cast<size_t>(result)) FuzzFail(what, result);
}

// A UTF-16 result: -1, 0, or the units written with the terminator.
inline void CheckWide(const char *what, int32_t result, const zk_wchar_t *out, int32_t units) {
    if (result < -1 || result > units) FuzzFail(what, result);
    if (result > 0 && out[result - 1] != 0) FuzzFail(what, result);
}

// An output block of exactly `count` elements.
template <typename T>
std::unique_ptr<T[]> Exactly(int32_t count) {
    return std::unique_ptr<T[]>(new T[static_cast<size_t>(count)]);
}

#endif  // ZK_FUZZ_FUZZ_CASE_H
