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

// Stops the trace and checks its lines: each pattern (an extended regular expression) matches
// some line whole, and no secret appears anywhere. A failure names the pattern or secret and
// shows the whole trace.
void ExpectTrace(const std::string &path, const std::vector<std::string> &patterns,
                 const std::vector<std::string> &secrets);

#endif  // ZK_TESTS_SUPPORT_TRACE_CAPTURE_H
