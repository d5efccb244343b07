// progress_record.h -- a progress callback for the tests: it notes every call (the thread it came
// on, done and total) and cancels at its first report once asked to.
#ifndef ZK_TESTS_SUPPORT_PROGRESS_RECORD_H
#define ZK_TESTS_SUPPORT_PROGRESS_RECORD_H

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "zknet/progress.h"

struct ProgressRecord {
    bool cancel = false;  // answer every report with "cancel"
    std::thread::id caller = std::this_thread::get_id();
    std::vector<int64_t> done, total;
    std::vector<std::chrono::steady_clock::time_point> at;
    int foreign_calls = 0;  // calls that came on another thread than the caller's

    // Whether the reports grew steadily: done never falls, and never passes a known total.
    bool Steady() const {
        for (size_t i = 0; i < done.size(); ++i) {
            if (i > 0 && done[i] < done[i - 1]) return false;
            if (total[i] >= 0 && done[i] > total[i]) return false;
        }
        return true;
    }
    // The shortest time between two reports before the last (which comes when the data ends).
    int64_t ShortestGapMs() const {
        int64_t shortest = INT64_MAX;
        for (size_t i = 1; i + 1 < at.size(); ++i) {
            int64_t gap = std::chrono::duration_cast<std::chrono::milliseconds>(at[i] - at[i - 1]).count();
            if (gap < shortest) shortest = gap;
        }
        return shortest;
    }
    std::string Last() const {
        return done.empty() ? "none" : std::to_string(done.back()) + "/" + std::to_string(total.back());
    }
};

inline int32_t ZK_API RecordProgress(int64_t done, int64_t total, void *user) {
    auto *record = static_cast<ProgressRecord *>(user);
    if (std::this_thread::get_id() != record->caller) ++record->foreign_calls;
    record->done.push_back(done);
    record->total.push_back(total);
    record->at.push_back(std::chrono::steady_clock::now());
    return record->cancel ? 1 : 0;
}

#endif  // ZK_TESTS_SUPPORT_PROGRESS_RECORD_H
