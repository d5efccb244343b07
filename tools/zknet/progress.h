// progress.h -- the progress line of a transfer on standard error. The library reports nothing
// while a transfer runs, so a thread of the tool looks on: it watches the local file grow (a
// download) or counts the time (an upload). Shown only on a terminal, and only once a transfer
// has taken longer than a second (ZKNET_PROGRESS_DELAY seconds, when set).
#ifndef ZK_TOOLS_ZKNET_PROGRESS_H
#define ZK_TOOLS_ZKNET_PROGRESS_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

struct Progress {
    bool enabled = false;
    bool download = false;
    std::string label;  // "get big.iso"
    std::string path;   // the local file a download writes
    int64_t total = -1; // bytes expected; -1 when unknown
    std::chrono::steady_clock::time_point start;
    double delay_seconds = 1.0;
    size_t widest = 0;  // the longest line drawn, so that a shorter one covers it
    bool shown = false;
    bool done = false;
    std::mutex lock;
    std::condition_variable wake;
    std::thread watcher;
};

// Whether a progress line may be drawn at all: standard error is a terminal and --quiet is off.
bool ProgressWanted(bool quiet);

// Starts watching; does nothing when `enabled` is false.
void StartDownloadProgress(Progress *progress, bool enabled, const std::string &label, const std::string &path,
                           int64_t total);
void StartUploadProgress(Progress *progress, bool enabled, const std::string &label, int64_t total);
// Stops the watcher; a line that was drawn gets its final state (when the transfer worked) and
// its line break.
void FinishProgress(Progress *progress, bool ok);

// "512 B", "1.5 KiB", "20.0 MiB".
std::string ByteCount(int64_t bytes);

#endif  // ZK_TOOLS_ZKNET_PROGRESS_H
