// timing.cpp -- Sleep and GetTickCount over the monotonic clock.
#include <time.h>

#include <cerrno>

#include "platform/platform.h"

namespace win {

void Sleep(DWORD milliseconds) {
    timespec ts{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

DWORD GetTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);  // wraps after 49.7 days, as on Windows
}

}  // namespace win
