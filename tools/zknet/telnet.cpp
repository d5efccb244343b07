// telnet.cpp -- zknet telnet: connect to a Telnet host, log in, run commands and print what
// they answer, through the ZK_Telnet family.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "args.h"
#include "cli.h"
#include "deadline.h"
#include "local_text.h"
#include "zknet/zknet.h"

namespace {

const char kHelp[] =
    "usage: zknet telnet HOST[:PORT] [--login USER [--password-env VAR]] [--prompt P] [--run CMD]...\n"
    "\n"
    "Connects to HOST (port 23 unless given; an IPv6 address goes in brackets, [::1]:2323), logs\n"
    "in as USER when asked to, then runs each --run command in turn and prints the lines it\n"
    "answers, up to the prompt. Without --run it prints what the host said after the login (or,\n"
    "without --login, its first text).\n"
    "\n"
    "options:\n"
    "  --login USER         log in as USER\n"
    "  --password-env VAR   the password is in the environment variable VAR\n"
    "                       (default: $ZKNET_TELNET_PASSWORD); it is never taken on the command line\n"
    "  --prompt P           the text of the host's prompt (\"$ \", \"zk$\"): a line holding it ends the\n"
    "                       login and each command's output; needed with --login and --run\n"
    "  --run CMD            a command to run; repeat it for more\n"
    "  -6                   connect over IPv6 (an IPv6 address implies it)\n"
    "  --timeout SECONDS    give up when the whole run takes longer (default 60; 0: no limit).\n"
    "                       The host's answers have no time limit of their own.\n"
    "  -q, --quiet          accepted for symmetry; nothing but the host's lines is printed anyway\n"
    "  -h, --help           this text\n"
    "\n"
    "Exit status: 0 done; 1 failed, with the library's error code and the host's last words on\n"
    "standard error; 2 a wrong command line.\n";

const std::vector<OptionSpec> kOptions = {
    kHelpOption,         kQuietOption,       {"login", 0, true}, {"password-env", 0, true},
    {"prompt", 0, true}, {"run", 0, true},   {"6", '6', false},  {"timeout", 0, true},
};

constexpr double kDefaultTimeout = 60;

struct CodeName {
    int32_t code;
    const char *name;
};

const CodeName kCodes[] = {
    {ZK_TELNET_OK, "no error"},
    {ZK_TELNET_NOT_CONNECTED, "not connected"},
    {ZK_TELNET_NO_SESSION, "no session"},
    {ZK_TELNET_NEGOTIATION, "negotiation failed"},
    {ZK_TELNET_NOT_SENT, "not sent"},
    {ZK_TELNET_NOTHING_RECEIVED, "nothing received"},
    {ZK_TELNET_NO_MEMORY, "no memory"},
    {ZK_TELNET_NO_LINE, "no line"},
    {ZK_TELNET_NO_PROMPT, "prompt not found"},
};

std::string CodeText(int32_t code) {
    std::string text = "code " + std::to_string(code);
    for (const CodeName &c : kCodes) {
        if (c.code == code) return text + " (" + c.name + ")";
    }
    return text;
}

// The tool's UTF-8 for the library's W forms (the A forms read the ANSI code page, not UTF-8).
WideText W(const std::string &text) { return Utf8ToWide(text); }

// The last received text, its line breaks (which the library shows as the arrow U+2193) made
// line breaks again, so that it can be put on one line like any reply.
std::string LastResponse() {
    zk_wchar_t text[ZK_TELNET_RESPONSE_SIZE];
    if (ZK_TelnetQueryLastResponseMessageW(text, ZK_TELNET_RESPONSE_SIZE) < 0) return "";
    for (zk_wchar_t &c : text) {
        if (c == 0) break;
        if (c == 0x2193) c = '\n';
    }
    return OneLine(WideToUtf8(text));
}

int TelnetFailed(const std::string &where, const Endpoint *endpoint = nullptr) {
    int32_t code = ZK_TelnetQueryLastErrorCode();
    std::string words = LastResponse();
    if (code == ZK_TELNET_NOT_CONNECTED && endpoint != nullptr) words = ConnectFailureText(endpoint->host, endpoint->port);
    std::string message = CodeText(code);
    if (!words.empty()) message += ": " + words;
    return Failure(where, message);
}

bool HoldsPrompt(const zk_wchar_t *line, const std::string &prompt) {
    void *item = const_cast<zk_wchar_t *>(line);
    TelnetLineList one{1, &item};
    return ZK_TelnetSearchStringW(&one, W(prompt).c_str()) == 1;
}

const zk_wchar_t *Line(const TelnetLineList &list, int32_t i) { return static_cast<const zk_wchar_t *>(list.items[i]); }

// Prints the lines of a list; a last line holding the prompt is the host waiting, not output.
// True when it was there.
bool PrintUpToPrompt(const TelnetLineList &list, const std::string &prompt) {
    bool at_prompt = list.count > 0 && !prompt.empty() && HoldsPrompt(Line(list, list.count - 1), prompt);
    int32_t shown = at_prompt ? list.count - 1 : list.count;
    for (int32_t i = 0; i < shown; ++i) std::printf("%s\n", WideForOutput(Line(list, i), "the host's output").c_str());
    std::fflush(stdout);
    return at_prompt;
}

// Sends one command and prints its output, burst by burst, until the prompt comes back.
int RunCommand(TelnetHandle *host, const std::string &command, const std::string &prompt) {
    std::string where = "telnet run \"" + command + "\"";
    if (ZK_TelnetCommandSendW(host, W(command).c_str()) != 1) return TelnetFailed(where);
    for (;;) {
        TelnetLineList list{0, nullptr};
        if (ZK_TelnetCommandRecvW(host, &list) != 1) {
            ZK_TelnetDelListW(&list);
            return TelnetFailed(where);
        }
        bool at_prompt = PrintUpToPrompt(list, prompt);
        ZK_TelnetDelListW(&list);
        if (at_prompt) return kExitOk;
    }
}

int Session(TelnetHandle *host, const Args &args, const std::string &password) {
    const std::string *user = OptionValue(args, "login");
    const std::string *prompt_option = OptionValue(args, "prompt");
    std::string prompt = prompt_option != nullptr ? *prompt_option : "";
    std::vector<std::string> commands = OptionValues(args, "run");
    if (user != nullptr) {
        TelnetLineList list{0, nullptr};
        int ok = ZK_TelnetLoginW(host, W(*user).c_str(), W(password).c_str(), &list, W(prompt).c_str());
        if (ok == 1 && commands.empty()) PrintUpToPrompt(list, prompt);
        ZK_TelnetDelListW(&list);
        if (ok != 1) return TelnetFailed("telnet login");
    }
    for (const std::string &command : commands) {
        if (int rc = RunCommand(host, command, prompt)) return rc;
    }
    return kExitOk;
}

}  // namespace

int RunTelnet(int argc, char **argv) {
    Args args;
    std::string error;
    if (!ParseArgs(argc - 1, argv + 1, kOptions, &args, &error)) return UsageError("telnet", error);
    if (HasOption(args, "help")) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.operands.empty()) return UsageError("telnet", "no HOST");
    if (args.operands.size() > 1) return UsageError("telnet", "one HOST only; commands go with --run");
    Endpoint endpoint;
    if (!ParseEndpoint(args.operands[0], 23, &endpoint, &error)) return UsageError("telnet", error);
    bool login = HasOption(args, "login");
    const std::string *prompt = OptionValue(args, "prompt");
    if ((login || HasOption(args, "run")) && prompt == nullptr) {
        return UsageError("telnet", "--prompt is needed to know when the host is ready");
    }
    // Every line holds an empty text: the first burst would pass for the prompt.
    if (prompt != nullptr && prompt->empty()) return UsageError("telnet", "--prompt cannot be empty");
    std::string password;
    if (login) {
        bool found = false;
        if (!PasswordFromEnvironment(args, "password-env", "ZKNET_TELNET_PASSWORD", &password, &found, &error)) {
            return UsageError("telnet", error);
        }
        if (!found) return UsageError("telnet", "no password: set ZKNET_TELNET_PASSWORD or name a variable with --password-env");
    }
    double timeout = kDefaultTimeout;
    if (const std::string *t = OptionValue(args, "timeout")) {
        if (!ParseSeconds(*t, &timeout)) return UsageError("telnet", "bad --timeout " + *t);
    }

    uint16_t family = HasOption(args, "6") || endpoint.ipv6_literal ? ZK_AF_INET6 : ZK_AF_INET;
    Deadline deadline;
    StartDeadline(&deadline, timeout, "telnet");
    TelnetLineList first{0, nullptr};
    TelnetHandle *host = ZK_TelnetConnectW(W(endpoint.host).c_str(), &first, endpoint.port, family);
    int rc;
    if (host == nullptr) {
        rc = TelnetFailed("telnet connect", &endpoint);
    } else {
        if (!login && !HasOption(args, "run")) PrintUpToPrompt(first, "");
        rc = Session(host, args, password);
        ZK_TelnetDisconnect(host);
    }
    ZK_TelnetDelListW(&first);
    StopDeadline(&deadline);
    return rc;
}
