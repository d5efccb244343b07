// trace_capture.cpp -- reading the protocol trace back in the tests.
#include "support/trace_capture.h"

#include <cstdio>
#include <fstream>
#include <regex>

#include <gtest/gtest.h>

#include "zknet/zknet.h"

std::string StartTrace(const std::string &name) {
    std::string path = "trace-" + name + ".txt";
    std::remove(path.c_str());
    ZK_TraceToFileA(path.c_str());
    return path;
}

std::vector<std::string> StopTrace(const std::string &path) {
    ZK_TraceToFileA(nullptr);
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        size_t start = line.find_first_not_of(' ');
        size_t after_time = start == std::string::npos ? std::string::npos : line.find(' ', start);
        lines.push_back(after_time == std::string::npos ? line : line.substr(after_time + 1));
    }
    return lines;
}

void ExpectTrace(const std::string &path, const std::vector<std::string> &patterns,
                 const std::vector<std::string> &secrets) {
    std::vector<std::string> lines = StopTrace(path);
    std::string all;
    for (const std::string &line : lines) all += line + "\n";
    for (const std::string &pattern : patterns) {
        std::regex re(pattern, std::regex::extended);
        bool found = false;
        for (const std::string &line : lines) found = found || std::regex_match(line, re);
        EXPECT_TRUE(found) << pattern << "\n" << all;
    }
    for (const std::string &secret : secrets) EXPECT_EQ(std::string::npos, all.find(secret)) << secret << "\n" << all;
    EXPECT_EQ(std::string::npos, all.find('\r')) << "a line end inside a line";
}
