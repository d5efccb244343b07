// deadline.h -- one time limit for a whole exchange step (a reply of many lines, an overlong line
// read to its end): the limit runs from the first wait, so a peer that drips bytes cannot stretch
// it by starting each line or piece afresh.
#ifndef ZK_PROTO_DEADLINE_H
#define ZK_PROTO_DEADLINE_H

#include <cstdint>

#include "platform/platform.h"

struct ProtoDeadline {
    uint32_t span_ms;  // 0: no limit
    DWORD start;

    static ProtoDeadline After(uint32_t span_ms) { return ProtoDeadline{span_ms, win::GetTickCount()}; }

    // What one wait may still take: 0xFFFFFFFF without a limit, 0 once the limit has passed.
    DWORD Left() const {
        if (span_ms == 0) return 0xFFFFFFFFu;
        DWORD spent = win::GetTickCount() - start;
        return spent >= span_ms ? 0 : span_ms - spent;
    }
    bool Passed() const { return span_ms != 0 && Left() == 0; }
};

#endif  // ZK_PROTO_DEADLINE_H
