// args.h -- the tool's command lines: options anywhere among the operands, --name value,
// --name=value and single-letter flags; HOST[:PORT] with IPv6 addresses in brackets.
#ifndef ZK_TOOLS_ZKNET_ARGS_H
#define ZK_TOOLS_ZKNET_ARGS_H

#include <string>
#include <utility>
#include <vector>

struct OptionSpec {
    const char *name;  // "user" for --user
    char letter;       // '6' for -6; 0 for none
    bool takes_value;
};

// The options every family takes: --help/-h, --quiet/-q.
extern const OptionSpec kHelpOption;
extern const OptionSpec kQuietOption;

struct Args {
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options;  // name, value ("" for a flag)
};

// Splits argv into operands and the options of `specs` ("--" ends the options). False with the
// reason in *error for an unknown option or one whose value is missing.
bool ParseArgs(int argc, char **argv, const std::vector<OptionSpec> &specs, Args *args, std::string *error);

bool HasOption(const Args &args, const char *name);
// The last value given for the option, or nullptr.
const std::string *OptionValue(const Args &args, const char *name);
// Every value given for a repeatable option, in order.
std::vector<std::string> OptionValues(const Args &args, const char *name);

struct Endpoint {
    std::string host;
    int port = 0;
    bool ipv6_literal = false;  // given as [addr] or as a bare address with colons
};

// HOST, HOST:PORT, [IPV6] or [IPV6]:PORT (a bare IPv6 address is taken whole, without a port).
bool ParseEndpoint(const std::string &text, int default_port, Endpoint *endpoint, std::string *error);

// A decimal number from 1 to 65535.
bool ParsePort(const std::string &text, int *port);
// A non-negative number of seconds, fractions allowed.
bool ParseSeconds(const std::string &text, double *seconds);

// A password the command line names rather than holds: the variable `option` names (an error
// when it is not set), else the family's own variable `fallback` if set. False with *error set
// when a named variable is missing; true with *found false when neither gave one.
bool PasswordFromEnvironment(const Args &args, const char *option, const char *fallback, std::string *password,
                             bool *found, std::string *error);

#endif  // ZK_TOOLS_ZKNET_ARGS_H
