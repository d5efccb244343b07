// progress.cpp -- the progress callback: figures kept, the line redrawn in place, Ctrl-C passed on.
#include "progress.h"

#include <cstdio>
#include <cstdlib>

#include "args.h"
#include "interrupt.h"
#include "local.h"
#include "local_text.h"
#include "progress_line.h"

namespace {

// The rate is that of this many seconds back, so that it follows changes but does not jitter.
constexpr double kRateWindow = 5.0;
constexpr double kLeastSpan = 0.2;

double Seconds(const Progress &p) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - p.start).count();
}

// Bytes a second over the samples' span (the last few seconds); -1 when they span too little.
double RecentRate(const std::deque<std::pair<double, int64_t>> &samples) {
    if (samples.size() < 2) return -1;
    double span = samples.back().first - samples.front().first;
    if (span < kLeastSpan) return -1;
    return static_cast<double>(samples.back().second - samples.front().second) / span;
}

void Draw(Progress *p, bool finished) {
    ProgressFigures figures;
    figures.label = p->label;
    figures.done = p->done;
    figures.total = p->total;
    figures.rate = RecentRate(p->samples);
    figures.seconds = Seconds(*p);
    figures.finished = finished;
    int columns = TerminalColumns();
    std::string line = ProgressLine(figures, columns);
    size_t width = DisplayColumns(line);
    // Spaces cover what is left of a longer line before, within the terminal's width.
    size_t cover = p->widest < static_cast<size_t>(columns > 1 ? columns - 1 : 0) ? p->widest : columns - 1;
    if (width < cover) line.append(cover - width, ' ');
    p->widest = width;
    std::fprintf(stderr, "\r%s", ForOutput(line, "").c_str());
    std::fflush(stderr);
    p->shown = true;
}

}  // namespace

bool ProgressWanted(bool quiet) { return !quiet && StderrIsTerminal(); }

void StartProgress(Progress *progress, bool show, const std::string &label) {
    *progress = Progress();
    progress->show = show;
    progress->label = label;
    progress->start = std::chrono::steady_clock::now();
    const char *delay = std::getenv("ZKNET_PROGRESS_DELAY");
    double seconds = 0;
    if (delay != nullptr && ParseSeconds(delay, &seconds)) progress->delay_seconds = seconds;
    SetCancellable(true);
}

void FinishProgress(Progress *progress, bool ok) {
    SetCancellable(false);
    if (!progress->shown) return;
    if (ok) Draw(progress, true);
    std::fprintf(stderr, "\n");
    std::fflush(stderr);
}

int32_t ZK_API ReportProgress(int64_t done, int64_t total, void *user) {
    auto *p = static_cast<Progress *>(user);
    if (InterruptRequested()) {
        p->cancelled = true;
        return 1;
    }
    double now = Seconds(*p);
    p->done = done;
    p->total = total;
    p->samples.emplace_back(now, done);
    // Keep one sample older than the window, so that the samples span all of it.
    while (p->samples.size() > 2 && p->samples[1].first < now - kRateWindow) p->samples.pop_front();
    if (p->show && now >= p->delay_seconds) Draw(p, false);
    return 0;
}
