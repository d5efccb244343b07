// progress_line_test.cpp -- the progress line of the zknet tool: what it says at full width, and
// that it fits every width from 20 to 200 columns, Japanese labels included.
#include <gtest/gtest.h>

#include <string>

#include "progress_line.h"

namespace {

constexpr int64_t kMiB = 1024 * 1024;

const struct {
    const char *name;
    ProgressFigures figures;
    const char *at_200;  // the whole line at 200 columns
} kCases[] = {
    {"known total", {"get big.iso", 12 * kMiB, 300 * kMiB, 2.5 * kMiB, 4.8, false},
     "get big.iso: 12.0 MiB of 300.0 MiB (4%), 2.5 MiB/s, ETA 1:55"},
    {"unknown total", {"get stream", 5 * kMiB, -1, 1024, 7.25, false}, "get stream: 5.0 MiB, 1.0 KiB/s, 7.2 s"},
    {"zero rate", {"put 日本.txt", 512, 4096, 0, 30, false}, "put 日本.txt: 512 B of 4.0 KiB (12%), 0 B/s"},
    {"rate not yet known", {"put a", 0, 0, -1, 0, false}, "put a: 0 B of 0 B (100%)"},
    {"finished", {"get 日本語のとても長いファイルの名前.txt", 8 * kMiB, 8 * kMiB, 3 * kMiB, 2, true},
     "get 日本語のとても長いファイルの名前.txt: 8.0 MiB in 2.0 s, 4.0 MiB/s"},
    {"long label", {std::string("get ") + std::string(300, 'x'), 1, 10, 1, 1, false}, nullptr},
};

TEST(ProgressLine, SaysItAllWhenWideAndFitsEveryWidth) {
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.at_200 != nullptr) {
            EXPECT_EQ(ProgressLine(c.figures, 200), c.at_200);
        }
        for (int width = 20; width <= 200; ++width) {
            std::string line = ProgressLine(c.figures, width);
            EXPECT_LE(DisplayColumns(line), static_cast<size_t>(width - 1)) << width << ": " << line;
            // The percentage, the figure that matters most, survives every width where there is one.
            bool share = line.find('%') != std::string::npos;
            EXPECT_EQ(share, c.figures.total >= 0 && !c.figures.finished) << line;
            bool eta = line.find("ETA") != std::string::npos;
            EXPECT_TRUE(c.figures.rate > 0 || !eta) << line;
        }
    }
}

TEST(ProgressLine, ShortensTheLabelInItsMiddleBeforeDroppingFields) {
    ProgressFigures f{"get folder/日本語の名前.txt", 12 * kMiB, 300 * kMiB, 2.5 * kMiB, 4.8, false};
    EXPECT_EQ(ProgressLine(f, 60), "get fo...本語の名前.txt: 12.0 MiB (4%), 2.5 MiB/s, ETA 1:55");
    EXPECT_EQ(ProgressLine(f, 40), "get fol...本語の名前.txt: 4%, ETA 1:55");
    EXPECT_EQ(ProgressLine(f, 20), "get ...名前.txt: 4%");
}

}  // namespace
