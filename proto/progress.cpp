// progress.cpp -- the throttle in front of the caller's progress callback.
#include "proto/progress.h"

bool ProtoReportProgress(ProtoProgress *progress, int64_t done, bool final) {
    if (progress == nullptr || progress->callback == nullptr || progress->cancelled) {
        return progress != nullptr && progress->cancelled;
    }
    DWORD now = win::GetTickCount();
    if (!final && now - progress->last < kProgressIntervalMs) return false;
    progress->last = now;
    progress->called = true;
    // A transfer larger than announced is reported as it is: the size grows with it.
    int64_t total = progress->total >= 0 && done > progress->total ? done : progress->total;
    int32_t answer = progress->callback(done, total, progress->user);
    if (!final && answer != 0) progress->cancelled = true;
    return progress->cancelled;
}

DWORD ProtoProgressWait(const ProtoProgress &progress) {
    if (progress.callback == nullptr || progress.cancelled) return win::kWaitForever;
    DWORD spent = win::GetTickCount() - progress.last;
    return spent >= kProgressIntervalMs ? 0 : kProgressIntervalMs - spent;
}
