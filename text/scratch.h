// scratch.h -- working buffers for the conversions that run in stages. They are not cleared:
// every stage clears or terminates what it writes, and clearing megabytes twice shows.
#ifndef ZK_TEXT_SCRATCH_H
#define ZK_TEXT_SCRATCH_H

#include <cstdint>
#include <memory>

#include "zknet/zkconf.h"

// Null when `count` is not positive or memory runs out; the callers then report -1.
std::unique_ptr<char[]> NewScratch(int64_t bytes);
std::unique_ptr<zk_wchar_t[]> NewScratchW(int64_t units);

#endif  // ZK_TEXT_SCRATCH_H
