// deadline.cpp -- ending the tool when a run takes longer than --timeout allows.
#include "deadline.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "cli.h"
#include "local_stream.h"

namespace {

void Watch(Deadline *deadline, double seconds, std::string where) {
    std::unique_lock<std::mutex> guard(deadline->lock);
    auto limit = std::chrono::duration<double>(seconds);
    if (deadline->wake.wait_for(guard, limit, [deadline] { return deadline->done; })) return;
    std::fprintf(stderr, "zknet: %s: gave up after %g s (--timeout)\n", where.c_str(), seconds);
    std::fflush(stderr);
    std::fflush(stdout);
    // The caller's thread is inside a library call that may never return: end the process, which
    // runs no destructors, so the temporary file behind "-" goes first.
    RemoveTemporaryFileNow();
    std::_Exit(kExitFailed);
}

}  // namespace

void StartDeadline(Deadline *deadline, double seconds, const std::string &where) {
    if (seconds <= 0) return;
    deadline->armed = true;
    deadline->watcher = std::thread(Watch, deadline, seconds, where);
}

void StopDeadline(Deadline *deadline) {
    if (!deadline->armed) return;
    {
        std::lock_guard<std::mutex> guard(deadline->lock);
        deadline->done = true;
    }
    deadline->wake.notify_all();
    deadline->watcher.join();
    deadline->armed = false;
}
