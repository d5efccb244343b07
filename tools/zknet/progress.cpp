// progress.cpp -- drawing the progress line of a transfer while the library's call runs.
#include "progress.h"

#include <cstdio>
#include <cstdlib>

#include "args.h"
#include "local.h"

namespace {

constexpr auto kRedraw = std::chrono::milliseconds(250);

double Seconds(const Progress &p) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - p.start).count();
}

std::string Rate(int64_t bytes, double seconds) {
    if (seconds <= 0) return "";
    return ByteCount(static_cast<int64_t>(static_cast<double>(bytes) / seconds)) + "/s";
}

std::string Line(const Progress &p, bool final_state) {
    double seconds = Seconds(p);
    char elapsed[32];
    std::snprintf(elapsed, sizeof(elapsed), "%.1f s", seconds);
    if (p.download) {
        int64_t bytes = final_state && p.total >= 0 ? p.total : LocalFileSize(p.path);
        if (bytes < 0) bytes = 0;
        std::string line = p.label + ": " + ByteCount(bytes);
        if (p.total > 0) {
            int64_t percent = bytes >= p.total ? 100 : bytes * 100 / p.total;
            line += " of " + ByteCount(p.total) + " (" + std::to_string(percent) + "%)";
        }
        return line + ", " + Rate(bytes, seconds) + ", " + elapsed;
    }
    // An upload is one call with nothing to watch: its size, the time so far, at the end the rate.
    std::string line = p.label + ": " + ByteCount(p.total < 0 ? 0 : p.total);
    if (final_state) return line + " in " + elapsed + ", " + Rate(p.total, seconds);
    return line + ", sending for " + elapsed;
}

void Draw(Progress *p, const std::string &line) {
    std::string padded = line;
    if (padded.size() < p->widest) padded.append(p->widest - padded.size(), ' ');
    p->widest = line.size();
    std::fprintf(stderr, "\r%s", padded.c_str());
    std::fflush(stderr);
    p->shown = true;
}

void Watch(Progress *p) {
    std::unique_lock<std::mutex> guard(p->lock);
    auto first = p->start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                std::chrono::duration<double>(p->delay_seconds));
    if (p->wake.wait_until(guard, first, [p] { return p->done; })) return;
    while (!p->done) {
        Draw(p, Line(*p, false));
        p->wake.wait_for(guard, kRedraw, [p] { return p->done; });
    }
}

void Start(Progress *p, bool enabled, bool download, const std::string &label, const std::string &path, int64_t total) {
    p->enabled = enabled;
    if (!enabled) return;
    p->download = download;
    p->label = label;
    p->path = path;
    p->total = total;
    p->start = std::chrono::steady_clock::now();
    const char *delay = std::getenv("ZKNET_PROGRESS_DELAY");
    double seconds = 0;
    if (delay != nullptr && ParseSeconds(delay, &seconds)) p->delay_seconds = seconds;
    p->watcher = std::thread(Watch, p);
}

}  // namespace

bool ProgressWanted(bool quiet) { return !quiet && StderrIsTerminal(); }

void StartDownloadProgress(Progress *progress, bool enabled, const std::string &label, const std::string &path,
                           int64_t total) {
    Start(progress, enabled, true, label, path, total);
}

void StartUploadProgress(Progress *progress, bool enabled, const std::string &label, int64_t total) {
    Start(progress, enabled, false, label, "", total);
}

void FinishProgress(Progress *progress, bool ok) {
    if (!progress->enabled) return;
    {
        std::lock_guard<std::mutex> guard(progress->lock);
        progress->done = true;
    }
    progress->wake.notify_all();
    progress->watcher.join();
    if (!progress->shown) return;
    if (ok) Draw(progress, Line(*progress, true));
    std::fprintf(stderr, "\n");
    std::fflush(stderr);
}

std::string ByteCount(int64_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " B";
    const char *units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f %s", value, units[unit]);
    return text;
}
