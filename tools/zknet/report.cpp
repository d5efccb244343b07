// report.cpp -- the one-line messages the tool leaves on standard error when something fails.
#include <cstdio>

#include "cli.h"
#include "local_text.h"
#include "zknet/zknet.h"

namespace {

struct SocketError {
    int code;
    const char *what;
};

// The socket errors a user meets when a host cannot be reached, by their Winsock numbers
// (which the library reports on every platform).
const SocketError kSocketErrors[] = {
    {10013, "permission denied"},       {10047, "address family not supported"},
    {10049, "address not available"},   {10050, "network down"},
    {10051, "network unreachable"},     {10053, "connection aborted"},
    {10054, "connection reset"},        {10060, "timed out"},
    {10061, "connection refused"},      {10064, "host down"},
    {10065, "host unreachable"},        {11001, "host not found"},
    {11002, "host not found, try again"}, {11003, "name lookup failed"},
    {11004, "no address for this name"},
};

constexpr size_t kLongestReply = 400;
constexpr int kNotConnected = 10057;

}  // namespace

int Failure(const std::string &where, const std::string &message) {
    std::string line = where + (where.empty() ? "" : ": ") + message;
    std::fprintf(stderr, "zknet: %s\n", ForOutput(line, "").c_str());
    std::fflush(stderr);
    return kExitFailed;
}

int UsageError(const std::string &where, const std::string &message) {
    std::string family = where.substr(0, where.find(' '));
    std::string line = where + (where.empty() ? "" : ": ") + message;
    std::fprintf(stderr, "zknet: %s; see zknet %s--help\n", ForOutput(line, "").c_str(),
                 family.empty() ? "" : (family + " ").c_str());
    std::fflush(stderr);
    return kExitUsage;
}

std::string OneLine(const std::string &text) {
    std::string line;
    bool pending_break = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            pending_break = !line.empty();
            continue;
        }
        if (pending_break) line += " | ";
        pending_break = false;
        line += c;
    }
    size_t end = line.find_last_not_of(" \t");
    line.resize(end == std::string::npos ? 0 : end + 1);
    if (line.size() > kLongestReply) line = "..." + line.substr(line.size() - kLongestReply);
    return line;
}

std::string ConnectFailureText(const std::string &host, int port) {
    std::string target = host + " port " + std::to_string(port);
    int code = ZK_SocketGetLastError();
    if (code == 0 || code == kNotConnected) return target;
    std::string text = target + ": socket error " + std::to_string(code);
    for (const SocketError &e : kSocketErrors) {
        if (e.code == code) return text + " (" + e.what + ")";
    }
    return text;
}
