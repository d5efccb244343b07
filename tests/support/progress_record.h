// progress_record.h -- a progress callback for the tests: it notes every call (the thread it came
// on, done and total) and cancels at its first report once asked to.
#ifndef ZK_TESTS_SUPPORT_PROGRESS_RECORD_H
#define ZK_TESTS_SUPPORT_PROGRESS_RECORD_H

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "zknet/progress.h"

struct ProgressRecord {
    bool cancel = false;  // answer every report with "cancel"
    std::thread::id caller = std::this_thread::get_id();
    std::vector<int64_t> done, total;
    int foreign_calls = 0;  // calls that came on another thread than the caller's

    // Whether the reports grew steadily: done never falls, and never passes a known total.
    bool Steady() const {
        for (size_t i = 0; i < done.size(); ++i) {
            if (i > 0 && done[i] < done[i - 1]) return false;
            if (total[i] >= 0 && done[i] > total[i]) return false;
        }
        return true;
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
    return record->cancel ? 1 : 0;
}

#endif  // ZK_TESTS_SUPPORT_PROGRESS_RECORD_H
