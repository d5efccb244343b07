// progress.h -- a transfer's progress as the library reports it through its callback: the line
// on standard error (only on a terminal, not with --quiet, and only once the transfer has taken
// longer than a second, ZKNET_PROGRESS_DELAY seconds when set), and Ctrl-C, which the callback
// passes on to the library as a cancel whether a line is shown or not.
#ifndef ZK_TOOLS_ZKNET_PROGRESS_H
#define ZK_TOOLS_ZKNET_PROGRESS_H

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

#include "zknet/zknet.h"

struct Progress {
    bool show = false;
    std::string label;  // "get big.iso", UTF-8
    std::chrono::steady_clock::time_point start;
    double delay_seconds = 1.0;
    int64_t done = 0;
    int64_t total = -1;
    std::deque<std::pair<double, int64_t>> samples;  // seconds since the start, bytes then
    size_t widest = 0;  // the widest line drawn, so that a shorter one covers it
    bool shown = false;
    bool cancelled = false;  // the callback asked the library to stop
};

// Whether a progress line may be drawn at all: standard error is a terminal and --quiet is off.
bool ProgressWanted(bool quiet);

// Starts a transfer's report and makes Ctrl-C cancel it; `show` false keeps the line away.
void StartProgress(Progress *progress, bool show, const std::string &label);
// Ends it: a line that was drawn gets its final state (when the transfer worked) and its line
// break; Ctrl-C ends the tool again from here on.
void FinishProgress(Progress *progress, bool ok);

// The callback for ZK_FtpSetProgressCallback and ZK_MailSetProgressCallback; `user` is the
// Progress. Nonzero (cancel) once Ctrl-C was pressed.
int32_t ZK_API ReportProgress(int64_t done, int64_t total, void *user);

#endif  // ZK_TOOLS_ZKNET_PROGRESS_H
