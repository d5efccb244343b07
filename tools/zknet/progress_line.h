// progress_line.h -- the text of a transfer's progress line, from its figures and the terminal's
// width: what the line says and which parts give way, first, when the terminal is narrow.
#ifndef ZK_TOOLS_ZKNET_PROGRESS_LINE_H
#define ZK_TOOLS_ZKNET_PROGRESS_LINE_H

#include <cstdint>
#include <string>

struct ProgressFigures {
    std::string label;      // "get 日本.txt", UTF-8
    int64_t done = 0;       // bytes so far
    int64_t total = -1;     // -1 when the size is not known
    double rate = -1;       // bytes a second of the last few seconds; below 0 while not known
    double seconds = 0;     // since the transfer began
    bool finished = false;  // all moved: the line says how long it took and the average rate
};

// The line in UTF-8, never wider than columns - 1 (the cursor stays off the last column, so
// the terminal never wraps it): fields give way first, then the label is shortened in its middle.
std::string ProgressLine(const ProgressFigures &figures, int columns);

// The columns a UTF-8 text takes on a terminal (East Asian wide characters take two).
size_t DisplayColumns(const std::string &text);

// "512 B", "1.5 KiB", "20.0 MiB".
std::string ByteCount(int64_t bytes);

#endif  // ZK_TOOLS_ZKNET_PROGRESS_LINE_H
