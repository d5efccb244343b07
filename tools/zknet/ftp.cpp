// ftp.cpp -- zknet ftp: one action on an FTP server per run (list, transfer, remote file and
// folder commands), through the ZK_Ftp family.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "args.h"
#include "cli.h"
#include "deadline.h"
#include "local.h"
#include "local_stream.h"
#include "local_text.h"
#include "progress.h"
#include "zknet/zknet.h"

namespace {

const char kHelp[] =
    "usage: zknet ftp ACTION HOST[:PORT] ARGUMENTS... [OPTIONS]\n"
    "\n"
    "actions:\n"
    "  ls    HOST [PATH]          list a folder (LIST; with --names only the names, NLST)\n"
    "  get   HOST REMOTE [LOCAL]  download a file; LOCAL defaults to the remote file's name, a\n"
    "                             local folder receives it under that name, and - writes it to\n"
    "                             standard output\n"
    "  put   HOST LOCAL [REMOTE]  upload a file; REMOTE defaults to the local file's name; LOCAL -\n"
    "                             reads standard input (name the REMOTE file then)\n"
    "  rm    HOST FILE...         delete files\n"
    "  mkdir HOST FOLDER          make a folder\n"
    "  rmdir HOST FOLDER          remove an empty folder\n"
    "  mv    HOST FROM TO         rename or move a file\n"
    "  size  HOST FILE            print a file's size in bytes\n"
    "  date  HOST FILE            print a file's modification time, UTC (2024-05-01T09:30:00Z)\n"
    "  chmod HOST MODE FILE       set a file's permission, MODE in octal as chmod takes it (644)\n"
    "\n"
    "HOST is a name or an address, an IPv6 address in brackets; PORT defaults to 21 (990 with\n"
    "--tls-implicit):\n"
    "  ftp.example.com   192.0.2.7:2121   [::1]:2121   [2001:db8::7]\n"
    "\n"
    "options:\n"
    "  --user USER          log in as USER (default: $ZKNET_FTP_USER, else anonymous)\n"
    "  --password-env VAR   take the password from the environment variable VAR\n"
    "                       (default: $ZKNET_FTP_PASSWORD)\n"
    "  --password PASS      the password itself; other users of this computer can see it\n"
    "  --active             active data connections (PORT, EPRT) instead of passive (PASV, EPSV)\n"
    "  --tls                FTPS: AUTH TLS after the greeting, required; every data connection\n"
    "                       is TLS as well\n"
    "  --tls-implicit       FTPS from the first byte (port 990)\n"
    "  --cacert FILE        trust exactly the CAs in FILE (PEM) instead of the system's\n"
    "                       (default: $ZKNET_CACERT where set)\n"
    "  --insecure           accept any certificate: anyone in between can read and change\n"
    "                       everything, the password included; for test servers only\n"
    "  -6                   connect over IPv6 (an IPv6 address implies it)\n"
    "  --ascii              transfer in ASCII type (TYPE A) instead of binary (TYPE I)\n"
    "  --names              ls: the names only\n"
    "  --timeout SECONDS    give up when the whole run takes longer (default: no limit)\n"
    "  -q, --quiet          no progress line\n"
    "  -h, --help           this text\n"
    "\n"
    "A transfer that takes longer than a second shows its progress on standard error when that\n"
    "is a terminal (ZKNET_PROGRESS_DELAY=SECONDS changes the second): percentage, rate, time\n"
    "left, on one line that fits the terminal. Ctrl-C cancels a transfer or listing (a second\n"
    "one ends the tool at once). Names are read and printed as UTF-8 (on Windows the command\n"
    "line in UTF-16, the output in the ANSI code page; a character it lacks is printed as ?,\n"
    "with a warning on standard error).\n"
    "Exit status: 0 done; 1 failed, with the library's error code and the server's last reply\n"
    "on standard error; 2 a wrong command line; 130 cancelled with Ctrl-C.\n";

const std::vector<OptionSpec> kOptions = {
    kHelpOption, kQuietOption,        {"user", 0, true}, {"password", 0, true}, {"password-env", 0, true},
    {"active", 0, false}, {"tls", 0, false},
    {"tls-implicit", 0, false}, {"cacert", 0, true}, {"insecure", 0, false}, {"6", '6', false}, {"ascii", 0, false}, {"names", 0, false}, {"timeout", 0, true},
};

struct CodeName {
    uint32_t code;
    const char *name;
};

const CodeName kCodes[] = {
    {ZK_FTP_OK, "no error"},
    {ZK_FTP_BAD_SESSION, "bad session"},
    {ZK_FTP_NO_CONNECTION, "no connection"},
    {ZK_FTP_NO_REPLY, "no reply"},
    {ZK_FTP_NOT_SENT, "not sent"},
    {ZK_FTP_REFUSED, "refused"},
    {ZK_FTP_LOGIN_REFUSED, "login refused"},
    {ZK_FTP_PWD_FAILED, "PWD failed"},
    {ZK_FTP_CWD_FAILED, "CWD failed"},
    {ZK_FTP_MKD_FAILED, "MKD failed"},
    {ZK_FTP_RMD_FAILED, "RMD failed"},
    {ZK_FTP_FILE_FAILED, "file failed"},
    {ZK_FTP_TRANSFER_FAILED, "transfer failed"},
    {ZK_FTP_DATE_FAILED, "date failed"},
    {ZK_FTP_TYPE_REFUSED, "TYPE refused"},
    {ZK_FTP_PASSIVE_FAILED, "passive failed"},
    {ZK_FTP_NO_PERMISSION, "no permission"},
    {ZK_FTP_CHMOD_FAILED, "chmod failed"},
    {ZK_FTP_TLS_FAILED, "TLS failed"},
    {ZK_FTP_CERTIFICATE, "certificate refused"},
    {ZK_FTP_CANCELLED, "cancelled"},
};

std::string CodeText(uint32_t code) {
    std::string text = "code " + std::to_string(code);
    for (const CodeName &c : kCodes) {
        if (c.code == code) return text + " (" + c.name + ")";
    }
    return text;
}

std::string LastReply() {
    zk_wchar_t text[1024];
    ZK_FtpQueryLastResponseMessageW(text, 1024);
    return OneLine(WideToUtf8(text));
}

// Every text goes to the library in UTF-16: its A forms read the ANSI code page (932), not UTF-8.
WideText W(const std::string &text) { return Utf8ToWide(text); }

struct Run {
    FtpSession *session = nullptr;
    std::string where;  // "ftp get"
    Endpoint endpoint;
    uint32_t binary = 1;
    bool names_only = false;
    bool progress = false;
    std::vector<std::string> args;  // the action's arguments after HOST
    std::string local;              // get, put: the local file, settled before connecting (UTF-8)
    bool standard_stream = false;   // get to standard output, put from standard input ("-")
    TemporaryFile temporary;        // the file behind "-"
    Progress meter;                 // what the session's progress callback reports to
};

// The library's code and the server's last words; a connection that was never made has no
// words, only the socket's error.
int FtpFailed(const Run &run, const std::string &where) {
    uint32_t code = ZK_FtpQueryLastErrorCode();
    if (code == ZK_FTP_CANCELLED && run.meter.cancelled) {
        Failure(where, "cancelled");
        return kExitCancelled;
    }
    std::string reply = LastReply();
    if (code == ZK_FTP_NO_CONNECTION) reply = ConnectFailureText(run.endpoint.host, run.endpoint.port);
    std::string message = CodeText(code);
    if (!reply.empty()) message += ": " + reply;
    return Failure(where, message);
}

int FtpFailed(const Run &run) { return FtpFailed(run, run.where); }

std::string BaseName(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int List(Run &run) {
    std::string command = run.names_only ? "NLST" : "LIST";
    if (!run.args.empty()) command += " " + run.args[0];
    MStringList list{0, nullptr};
    StartProgress(&run.meter, false, run.where);
    int ok = ZK_FtpListFileW(run.session, &list, W(command).c_str());
    FinishProgress(&run.meter, ok == 1);
    if (ok != 1) return FtpFailed(run);
    for (int32_t i = 0; i < list.count; ++i) {
        std::printf("%s\n", WideForOutput(static_cast<const zk_wchar_t *>(list.items[i]), "the listing").c_str());
    }
    ZK_SocketDeleteMStringW(&list);
    return kExitOk;
}

int Get(Run &run) {
    const std::string &remote = run.args[0];
    StartProgress(&run.meter, run.progress, "get " + remote);
    int ok = ZK_FtpGetFileW(run.session, W(remote).c_str(), W(run.local).c_str(), run.binary);
    FinishProgress(&run.meter, ok == 1);
    if (ok != 1 && run.meter.cancelled && !run.standard_stream && ZK_FtpQueryLastErrorCode() == ZK_FTP_CANCELLED) {
        Failure(run.where, "cancelled; " + run.local + " holds what had arrived");
        return kExitCancelled;
    }
    if (ok != 1) return FtpFailed(run);
    std::string why;
    if (run.standard_stream && !SendToStandardOutput(run.local, &why)) return Failure(run.where, why);
    return kExitOk;
}

int Put(Run &run) {
    std::string remote = run.args.size() > 1 ? run.args[1] : BaseName(run.local);
    StartProgress(&run.meter, run.progress, "put " + run.args[0]);
    int ok = ZK_FtpPutFileW(run.session, W(run.local).c_str(), W(remote).c_str(), run.binary);
    FinishProgress(&run.meter, ok == 1);
    return ok == 1 ? kExitOk : FtpFailed(run);
}

int Remove(Run &run) {
    for (const std::string &file : run.args) {
        if (ZK_FtpDeleteFileW(run.session, W(file).c_str()) != 1) return FtpFailed(run, run.where + " " + file);
    }
    return kExitOk;
}

int MakeFolder(Run &run) {
    return ZK_FtpCreateDirectoryW(run.session, W(run.args[0]).c_str()) == 1 ? kExitOk : FtpFailed(run);
}

int RemoveFolder(Run &run) {
    return ZK_FtpDeleteDirectoryW(run.session, W(run.args[0]).c_str()) == 1 ? kExitOk : FtpFailed(run);
}

int Move(Run &run) {
    return ZK_FtpRenameFileW(run.session, W(run.args[0]).c_str(), W(run.args[1]).c_str()) == 1 ? kExitOk
                                                                                        : FtpFailed(run);
}

// The whole size, past 2 GiB too.
int Size(Run &run) {
    int64_t size = ZK_FtpGetFileSize64W(run.session, W(run.args[0]).c_str());
    if (size < 0) return FtpFailed(run);
    std::printf("%lld\n", static_cast<long long>(size));
    return kExitOk;
}

int Date(Run &run) {
    FtpFileDate date{};
    if (ZK_FtpGetFileDateW(run.session, W(run.args[0]).c_str(), &date, 0) != 1) return FtpFailed(run);
    std::printf("%04u-%02u-%02uT%02u:%02u:%02uZ\n", date.year, date.month, date.day, date.hour, date.minute,
                date.second);
    return kExitOk;
}

// "644" (octal, as chmod takes it) as the library wants it: the same digits read as hex, 0x644.
bool ParseMode(const std::string &text, uint32_t *mode) {
    std::string digits = text;
    while (digits.size() > 3 && digits[0] == '0') digits.erase(0, 1);
    if (digits.empty() || digits.size() > 3) return false;
    uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '7') return false;
        value = value * 16 + static_cast<uint32_t>(c - '0');
    }
    *mode = value;
    return true;
}

int ChangeMode(Run &run) {
    uint32_t mode = 0;
    ParseMode(run.args[0], &mode);  // checked before connecting
    return ZK_FtpSetPermissionW(run.session, W(run.args[1]).c_str(), mode) == 1 ? kExitOk : FtpFailed(run);
}

struct Action {
    const char *name;
    size_t min_args, max_args;  // after HOST
    int (*run)(Run &);
};

const size_t kMany = 1000000;

const Action kActions[] = {
    {"ls", 0, 1, List},          {"get", 1, 2, Get},           {"put", 1, 2, Put},   {"rm", 1, kMany, Remove},
    {"mkdir", 1, 1, MakeFolder}, {"rmdir", 1, 1, RemoveFolder}, {"mv", 2, 2, Move},   {"size", 1, 1, Size},
    {"date", 1, 1, Date},        {"chmod", 2, 2, ChangeMode},
};

const Action *FindAction(const std::string &name) {
    for (const Action &a : kActions) {
        if (name == a.name) return &a;
    }
    return nullptr;
}

// "-": standard input is read whole into a temporary file before connecting (an upload), or a
// download goes into one, to be copied to standard output.
int UseStandardStream(Run &run, bool input) {
    std::string why;
    if (!run.temporary.Create(&why) || (input && !SaveStandardInput(run.temporary.path(), &why))) {
        return Failure(run.where, why);
    }
    run.local = run.temporary.path();
    run.standard_stream = true;
    return kExitOk;
}

// What can be known wrong before connecting: the local side of a transfer, a mode. A local file
// that cannot be written or read is named with the reason, before the server is troubled.
int CheckLocalSide(const Action &action, Run &run) {
    std::string name = action.name;
    std::string why;
    if (name == "get") {
        std::string base = BaseName(run.args[0]);
        if (run.args.size() > 1 && run.args[1] == "-") return UseStandardStream(run, false);
        if (run.args.size() > 1) {
            run.local = run.args[1];
            if (IsLocalDirectory(run.local)) {
                if (base.empty()) return UsageError(run.where, "no file name in " + run.args[0]);
                run.local += "/" + base;
            }
        } else {
            if (base.empty()) return UsageError(run.where, "no file name in " + run.args[0] + "; name the local file");
            run.local = base;
        }
        if (!CanWriteLocalFile(run.local, &why)) return Failure(run.where, "cannot write " + run.local + ": " + why);
    } else if (name == "put") {
        if (run.args[0] == "-") {
            if (run.args.size() < 2) return UsageError(run.where, "name the remote file for standard input");
            return UseStandardStream(run, true);
        }
        run.local = run.args[0];
        if (!CanReadLocalFile(run.local, &why)) return Failure(run.where, "cannot read local file " + run.local + ": " + why);
        if (run.args.size() < 2 && BaseName(run.local).empty()) return UsageError(run.where, "name the remote file");
    } else if (name == "chmod") {
        uint32_t mode = 0;
        if (!ParseMode(run.args[0], &mode)) return UsageError(run.where, "bad mode " + run.args[0] + " (octal, 000 to 777)");
    }
    return kExitOk;
}

// The remote names as the library sends them, in the ANSI code page (932): a name with a character
// that page lacks would not be sent at all (code 4), so it is named here, before connecting.
int CheckRemoteNames(const Action &action, const Run &run) {
    std::string name = action.name;
    for (size_t i = 0; i < run.args.size(); ++i) {
        bool local = (name == "get" && i == 1) || (name == "put" && i == 0) || (name == "chmod" && i == 0);
        if (local) continue;
        size_t lost = CountUnmappableInAnsi(W(run.args[i]), false);
        if (lost > 0) {
            return Failure(run.where, run.args[i] + ": " + std::to_string(lost) + " character" + (lost == 1 ? "" : "s") +
                                          " not in the ANSI code page, in which names go to the server");
        }
    }
    return kExitOk;
}

// The user and password from the options and the environment; the password is never required
// on the command line.
int Credentials(const Args &args, const std::string &where, std::string *user, std::string *password) {
    const std::string *user_option = OptionValue(args, "user");
    std::string user_env;
    bool has_user_env = EnvironmentText("ZKNET_FTP_USER", &user_env);
    *user = user_option != nullptr ? *user_option : has_user_env ? user_env : "anonymous";
    if (const std::string *given = OptionValue(args, "password")) {
        *password = *given;
        return kExitOk;
    }
    bool found = false;
    std::string error;
    if (!PasswordFromEnvironment(args, "password-env", "ZKNET_FTP_PASSWORD", password, &found, &error)) {
        return UsageError(where, error);
    }
    if (found) return kExitOk;
    if (*user == "anonymous" || *user == "ftp") {
        *password = "zknet@";
        return kExitOk;
    }
    return UsageError(where, "no password for " + *user + ": set ZKNET_FTP_PASSWORD or name a variable with --password-env");
}

}  // namespace

int RunFtp(int argc, char **argv) {
    Args args;
    std::string error;
    if (!ParseArgs(argc - 1, argv + 1, kOptions, &args, &error)) return UsageError("ftp", error);
    if (HasOption(args, "help")) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.operands.empty()) return UsageError("ftp", "no action (ls, get, put, rm, mkdir, rmdir, mv, size, date, chmod)");
    const Action *action = FindAction(args.operands[0]);
    if (action == nullptr) return UsageError("ftp", "unknown action " + args.operands[0]);
    Run run;
    run.where = std::string("ftp ") + action->name;
    if (args.operands.size() < 2) return UsageError(run.where, "no HOST");
    run.args.assign(args.operands.begin() + 2, args.operands.end());
    if (run.args.size() < action->min_args) return UsageError(run.where, "too few arguments");
    if (run.args.size() > action->max_args) return UsageError(run.where, "too many arguments");
    uint32_t security = ZK_SECURE_NONE;
    if (HasOption(args, "tls") && HasOption(args, "tls-implicit")) return UsageError(run.where, "--tls or --tls-implicit, not both");
    if (HasOption(args, "tls")) security = ZK_SECURE_EXPLICIT;
    if (HasOption(args, "tls-implicit")) security = ZK_SECURE_IMPLICIT;
    const std::string *ca_file = OptionValue(args, "cacert");
    if (security == ZK_SECURE_NONE && (ca_file != nullptr || HasOption(args, "insecure"))) {
        return UsageError(run.where, "--cacert and --insecure go with --tls or --tls-implicit");
    }
    std::string ca_env;
    EnvironmentText("ZKNET_CACERT", &ca_env);
    if (ca_file == nullptr && security != ZK_SECURE_NONE && !ca_env.empty()) ca_file = &ca_env;
    if (HasOption(args, "insecure")) security |= ZK_SECURE_NO_VERIFY;
    Endpoint &endpoint = run.endpoint;
    int default_port = (security & 0xFF) == ZK_SECURE_IMPLICIT ? 990 : 21;
    if (!ParseEndpoint(args.operands[1], default_port, &endpoint, &error)) return UsageError(run.where, error);
    double timeout = 0;
    if (const std::string *t = OptionValue(args, "timeout")) {
        if (!ParseSeconds(*t, &timeout)) return UsageError(run.where, "bad --timeout " + *t);
    }
    std::string user, password;
    if (int rc = Credentials(args, run.where, &user, &password)) return rc;
    run.names_only = HasOption(args, "names");
    run.binary = HasOption(args, "ascii") ? 0 : 1;
    run.progress = ProgressWanted(HasOption(args, "quiet"));
    if (int rc = CheckLocalSide(*action, run)) return rc;
    if (int rc = CheckRemoteNames(*action, run)) return rc;

    uint16_t family = HasOption(args, "6") || endpoint.ipv6_literal ? ZK_AF_INET6 : ZK_AF_INET;
    uint32_t passive = HasOption(args, "active") ? 0 : 1;
    Deadline deadline;
    StartDeadline(&deadline, timeout, run.where);
    run.session = ZK_FtpConnectSecureW(W(endpoint.host).c_str(), W(user).c_str(), W(password).c_str(), passive,
                                       endpoint.port, family, security, ca_file != nullptr ? W(*ca_file).c_str() : nullptr);
    // Reports for every transfer and listing, so that Ctrl-C cancels them with or without a line.
    if (run.session != nullptr) ZK_FtpSetProgressCallback(run.session, ReportProgress, &run.meter);
    int rc = run.session == nullptr ? FtpFailed(run) : action->run(run);
    if (run.session != nullptr) ZK_FtpDisconnect(run.session);
    StopDeadline(&deadline);
    return rc;
}
