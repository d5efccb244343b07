// trace_capture.cpp -- reading the protocol trace back in the tests.
#include "support/trace_capture.h"

#include <cstdio>
#include <fstream>
#include <regex>

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

std::string FindLine(const std::vector<std::string> &lines, const std::string &pattern) {
    std::regex re(pattern, std::regex::extended);
    for (const std::string &line : lines) {
        if (std::regex_match(line, re)) return line;
    }
    return "";
}

std::string Joined(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    return text;
}
