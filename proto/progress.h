// progress.h -- the caller's progress callback as a transfer calls it: at most ten times a second
// and once at the end, always on the caller's own thread, and its word to cancel kept.
#ifndef ZK_PROTO_PROGRESS_H
#define ZK_PROTO_PROGRESS_H

#include <cstdint>

#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "zknet/progress.h"

// Reports come at least this far apart, so that a slow callback (a GUI repaint, a VBA macro)
// cannot slow the transfer down much.
constexpr uint32_t kProgressIntervalMs = 100;

struct ProtoProgress {
    ZkProgressProc callback = nullptr;  // null: nothing is reported, nothing is cancelled
    void *user = nullptr;
    int64_t total = -1;  // the size when known
    DWORD last = 0;      // when the callback was last called
    bool called = false;
    bool cancelled = false;  // the callback asked to cancel
};

// A meter for one transfer of a session's callback.
inline ProtoProgress ProtoStartProgress(ZkProgressProc callback, void *user, int64_t total) {
    ProtoProgress progress;
    progress.callback = callback;
    progress.user = user;
    progress.total = total;
    progress.last = win::GetTickCount();
    return progress;
}

// Calls the callback with `done` when kProgressIntervalMs have passed since the last call (or
// the start), or at once when `final`. True once the callback has asked to cancel; a final report
// cancels nothing (the transfer is over), and nothing is called after a cancel.
bool ProtoReportProgress(ProtoProgress *progress, int64_t done, bool final);

// How long a wait may last before the next report is due (kWaitForever without a callback).
DWORD ProtoProgressWait(const ProtoProgress &progress);

#endif  // ZK_PROTO_PROGRESS_H
