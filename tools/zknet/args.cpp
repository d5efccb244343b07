// args.cpp -- splitting the command line into operands and options, and reading endpoints,
// ports and seconds from it.
#include "args.h"

#include <cstdlib>
#include <cstring>

#include "local_text.h"

const OptionSpec kHelpOption = {"help", 'h', false};
const OptionSpec kQuietOption = {"quiet", 'q', false};

namespace {

const OptionSpec *FindLong(const std::vector<OptionSpec> &specs, const std::string &name) {
    for (const OptionSpec &spec : specs) {
        if (name == spec.name) return &spec;
    }
    return nullptr;
}

const OptionSpec *FindLetter(const std::vector<OptionSpec> &specs, char letter) {
    for (const OptionSpec &spec : specs) {
        if (spec.letter != 0 && spec.letter == letter) return &spec;
    }
    return nullptr;
}

bool AllDigits(const std::string &text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

bool ParseArgs(int argc, char **argv, const std::vector<OptionSpec> &specs, Args *args, std::string *error) {
    bool options_end = false;
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (options_end || arg.size() < 2 || arg[0] != '-') {
            args->operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            options_end = true;
            continue;
        }
        const OptionSpec *spec = nullptr;
        std::string value;
        bool inline_value = false;
        if (arg[1] == '-') {
            std::string name = arg.substr(2);
            size_t equals = name.find('=');
            if (equals != std::string::npos) {
                value = name.substr(equals + 1);
                name.resize(equals);
                inline_value = true;
            }
            spec = FindLong(specs, name);
        } else if (arg.size() == 2) {
            spec = FindLetter(specs, arg[1]);
        }
        if (spec == nullptr) {
            *error = "unknown option " + arg;
            return false;
        }
        if (!spec->takes_value) {
            if (inline_value) {
                *error = std::string("--") + spec->name + " takes no value";
                return false;
            }
        } else if (!inline_value) {
            if (i + 1 >= argc) {
                *error = std::string("--") + spec->name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        args->options.emplace_back(spec->name, value);
    }
    return true;
}

bool HasOption(const Args &args, const char *name) { return OptionValue(args, name) != nullptr; }

const std::string *OptionValue(const Args &args, const char *name) {
    const std::string *found = nullptr;
    for (const auto &option : args.options) {
        if (option.first == name) found = &option.second;
    }
    return found;
}

std::vector<std::string> OptionValues(const Args &args, const char *name) {
    std::vector<std::string> values;
    for (const auto &option : args.options) {
        if (option.first == name) values.push_back(option.second);
    }
    return values;
}

bool ParsePort(const std::string &text, int *port) {
    if (!AllDigits(text) || text.size() > 5) return false;
    int value = std::atoi(text.c_str());
    if (value < 1 || value > 65535) return false;
    *port = value;
    return true;
}

bool ParseSeconds(const std::string &text, double *seconds) {
    if (text.empty()) return false;
    char *end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    // Up to a day: beyond that a limit means nothing, and the milliseconds stay well in range.
    if (end == nullptr || *end != '\0' || !(value >= 0) || value > 86400) return false;
    *seconds = value;
    return true;
}

bool ParseEndpoint(const std::string &text, int default_port, Endpoint *endpoint, std::string *error) {
    Endpoint out;
    out.port = default_port;
    std::string port_text;
    bool has_port = false;
    if (!text.empty() && text[0] == '[') {
        size_t close = text.find(']');
        if (close == std::string::npos || close == 1) {
            *error = "bad address " + text + " (an IPv6 address goes in brackets: [::1]:2121)";
            return false;
        }
        out.host = text.substr(1, close - 1);
        out.ipv6_literal = true;
        std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') {
                *error = "bad address " + text + " (expected [IPV6]:PORT)";
                return false;
            }
            port_text = rest.substr(1);
            has_port = true;
        }
    } else {
        size_t first = text.find(':');
        if (first != std::string::npos && text.find(':', first + 1) != std::string::npos) {
            out.host = text;  // a bare IPv6 address: its last group is no port
            out.ipv6_literal = true;
        } else if (first != std::string::npos) {
            out.host = text.substr(0, first);
            port_text = text.substr(first + 1);
            has_port = true;
        } else {
            out.host = text;
        }
    }
    if (out.host.empty()) {
        *error = "no host in " + (text.empty() ? std::string("\"\"") : text);
        return false;
    }
    if (has_port && !ParsePort(port_text, &out.port)) {
        *error = "bad port in " + text + " (1 to 65535)";
        return false;
    }
    *endpoint = out;
    return true;
}

bool PasswordFromEnvironment(const Args &args, const char *option, const char *fallback, std::string *password,
                             bool *found, std::string *error) {
    *found = false;
    const std::string *name = OptionValue(args, option);
    if (name != nullptr) {
        if (name->empty() || !EnvironmentText(name->c_str(), password)) {
            *error = "environment variable " + (name->empty() ? std::string("\"\"") : *name) + " is not set (--" +
                     option + ")";
            return false;
        }
        *found = true;
        return true;
    }
    if (fallback[0] != '\0' && EnvironmentText(fallback, password)) *found = true;
    return true;
}
