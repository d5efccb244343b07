// scratch.cpp -- working buffers for conversions in stages.
#include "text/scratch.h"

#include <new>

namespace {
// A buffer of more than this is refused rather than risked (the conversions double the caller's
// size for some stages, and a 32-bit process has 2 GB at best).
constexpr int64_t kScratchLimit = int64_t{1} << 31;
}  // namespace

std::unique_ptr<char[]> NewScratch(int64_t bytes) {
    if (bytes <= 0 || bytes > kScratchLimit) return nullptr;
    return std::unique_ptr<char[]>(new (std::nothrow) char[static_cast<size_t>(bytes)]);
}

std::unique_ptr<zk_wchar_t[]> NewScratchW(int64_t units) {
    if (units <= 0 || units > kScratchLimit / 2) return nullptr;
    return std::unique_ptr<zk_wchar_t[]>(new (std::nothrow) zk_wchar_t[static_cast<size_t>(units)]);
}
