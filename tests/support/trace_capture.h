// trace_capture.h -- the protocol trace as the tests read it: started into a fresh file, stopped,
// and its lines returned without their times, for matching against patterns.
#ifndef ZK_TESTS_SUPPORT_TRACE_CAPTURE_H
#define ZK_TESTS_SUPPORT_TRACE_CAPTURE_H

#include <string>
#include <vector>

// Starts the trace into a new file named after `name` in the working folder; its path.
std::string StartTrace(const std::string &name);

// Stops the trace and returns the file's lines, each without its leading time
// ("FTP #3 > USER zkftp").
std::vector<std::string> StopTrace(const std::string &path);

// The first line matching the extended regular expression `pattern` whole, or "" (with the
// lines printed by the caller's assertion where it matters).
std::string FindLine(const std::vector<std::string> &lines, const std::string &pattern);

// Every line in one text, for failure messages.
std::string Joined(const std::vector<std::string> &lines);

#endif  // ZK_TESTS_SUPPORT_TRACE_CAPTURE_H
