// gather_test.cpp -- a retrieved message gathered from the bytes after RETR's status line: the
// server's dot-stuffing removed, lines of any length whole, every line ending in CR LF, the end at
// the lone period wherever the bytes happen to be split, and room that doubles as it grows.
#include <gtest/gtest.h>

#include <string>

#include "mail/receive/message_gather.h"

namespace {

struct Gathered {
    std::string text = "(null)";
    size_t used = 0;  // bytes taken in all
    bool done = false;
};

// Feeds the stream in pieces of `piece` bytes (0: all at once).
Gathered Gather(const std::string &stream, size_t piece = 0) {
    MessageGather g;
    Gathered out;
    size_t step = piece == 0 ? stream.size() : piece;
    for (size_t at = 0; at < stream.size() && !g.done; at += step) {
        size_t count = std::min(step, stream.size() - at);
        size_t used = GatherMessageBytes(&g, stream.data() + at, count);
        out.used += used;
        if (used < count && !g.done) ADD_FAILURE() << "bytes left over before the end";
    }
    out.done = g.done;
    char *text = TakeGatheredMessage(&g);
    if (text != nullptr) {
        out.text = text;
        free(text);
    }
    return out;
}

struct GatherCase {
    const char *name;
    std::string stream;
    std::string text;  // "(null)" for no message
    size_t left;       // bytes after the message, not taken
};

const std::string kEnd = ".\r\n";

const GatherCase kCases[] = {
    {"ThreeLines", "Subject: x\r\n\r\nhello\r\n" + kEnd, "Subject: x\r\n\r\nhello\r\n", 0},
    {"StuffedDotsLoseOne", "a\r\n..\r\n...\r\n..x\r\n.y\r\n" + kEnd, "a\r\n.\r\n..\r\n.x\r\ny\r\n", 0},
    {"BareLineFeeds", "A: b\n\nbody\n.\n", "A: b\r\n\r\nbody\r\n", 0},
    {"ACrInsideALineIsKept", "a\rb\r\nc\r\r\nd\r\n" + kEnd, "a\rb\r\nc\r\r\nd\r\n", 0},
    {"AZeroByteEndsWhatIsKeptOfItsLine", std::string("ab\0cd\r\nef\r\n", 11) + kEnd, "ab\r\nef\r\n", 0},
    {"APeriodWithAZeroByteIsNoEnd", std::string(".\0\r\nx\r\n", 7) + kEnd, "\r\nx\r\n", 0},
    {"FirstLineIsTheEnd", kEnd, "(null)", 0},
    {"EmptyLineOnly", "\r\n" + kEnd, "\r\n", 0},
    {"WhatFollowsTheEndIsNotTaken", "x\r\n" + kEnd + "+OK next\r\n", "x\r\n", 10},
    {"NoEndYet", "x\r\n..\r\n", "(null)", 0},
    {"PeriodAndACrIsNoEnd", "x\r\n.\r\r\n" + kEnd, "x\r\n\r\r\n", 0},
};

void PrintTo(const GatherCase &c, std::ostream *os) { *os << c.name; }

class GatherCases : public ::testing::TestWithParam<GatherCase> {};

TEST_P(GatherCases, WholeAndInEveryPieceSize) {
    const GatherCase &c = GetParam();
    for (size_t piece : {0, 1, 2, 3, 5, 7}) {
        SCOPED_TRACE(piece);
        Gathered g = Gather(c.stream, piece);
        EXPECT_EQ(c.text, g.text);
        EXPECT_EQ(c.stream.size() - c.left, g.used);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, GatherCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<GatherCase> &info) { return info.param.name; });

// The end mark split at every place between two pieces.
TEST(Gather, TheEndSplitAnywhere) {
    const std::string stream = "line one\r\n..two\r\n" + kEnd + "after";
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        MessageGather g;
        size_t used = GatherMessageBytes(&g, stream.data(), cut);
        if (!g.done) used += GatherMessageBytes(&g, stream.data() + cut, stream.size() - cut);
        EXPECT_TRUE(g.done) << cut;
        EXPECT_EQ(stream.size() - 5, used) << cut;
        char *text = TakeGatheredMessage(&g);
        ASSERT_NE(nullptr, text) << cut;
        EXPECT_STREQ("line one\r\n.two\r\n", text);
        free(text);
    }
}

// A long line is one line, whatever the pieces it arrives in.
TEST(Gather, LongLinesStayWhole) {
    std::string line(100000, 'h');
    line[0] = '<';
    Gathered g = Gather(line + "\r\n" + line + "\n" + kEnd, 4096);
    EXPECT_EQ(line + "\r\n" + line + "\r\n", g.text);
}

// A message of 100 MB: its room doubles (a few dozen reallocations, never one a line) and stays
// within twice its size.
TEST(Gather, LargeMessagesGrowGeometrically) {
    std::string block;
    for (int i = 0; i < 1000; ++i) block += (i % 10 == 0 ? ".." : "") + std::string(62, 'a' + i % 26) + "\r\n";
    const size_t blocks = 100 * 1024 * 1024 / block.size() + 1;
    MessageGather g;
    for (size_t i = 0; i < blocks; ++i) ASSERT_EQ(block.size(), GatherMessageBytes(&g, block.data(), block.size()));
    ASSERT_EQ(kEnd.size(), GatherMessageBytes(&g, kEnd.data(), kEnd.size()));
    const size_t expected = blocks * (block.size() - 100);  // one period of each stuffed pair taken off
    EXPECT_EQ(expected, g.length);
    EXPECT_EQ(blocks * 1000, g.lines);
    EXPECT_LE(g.grown, 20);
    EXPECT_LE(g.capacity, 2 * expected + 4096);
    char *text = TakeGatheredMessage(&g);
    ASSERT_NE(nullptr, text);
    const std::string start = "." + std::string(62, 'a') + "\r\n" + "bb";
    EXPECT_EQ(start, std::string(text, start.size()));
    free(text);
}

// What does not fit is read to its end and dropped: no message, but nothing of it is left over.
TEST(Gather, AnOverflowReadsOnToTheEnd) {
    MessageGather g;
    g.overflow = true;  // as after memory ran out
    std::string stream = "x\r\n" + kEnd + "next";
    EXPECT_EQ(stream.size() - 4, GatherMessageBytes(&g, stream.data(), stream.size()));
    EXPECT_TRUE(g.done);
    EXPECT_EQ(nullptr, TakeGatheredMessage(&g));
}

}  // namespace
