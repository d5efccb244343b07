// mail.cpp -- zknet mail: one message sent over SMTP, a POP3 mailbox listed, its messages printed,
// saved as .eml files or deleted, and a stored message shown taken apart, through the ZK_Mail
// family. Texts go through the library's UTF-16 forms, so that Japanese reads correctly on the
// terminal (local_text.h).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#  include <fcntl.h>
#  include <io.h>
#endif

#include "args.h"
#include "cli.h"
#include "deadline.h"
#include "local.h"
#include "local_text.h"
#include "progress.h"
#include "zknet/zknet.h"

namespace {

const char kHelp[] =
    "usage: zknet mail send --smtp HOST[:PORT] --from ADDRESS --to ADDRESSES [--subject TEXT]\n"
    "                       [--body-file FILE [--charset utf-8|ansi]] [--width N] [--helo NAME]\n"
    "       zknet mail send --smtp HOST[:PORT] --eml FILE.eml [--helo NAME]\n"
    "                       (either with [--tls | --tls-implicit] [--user USER\n"
    "                       [--password-env VAR | --oauth2-token-env VAR]])\n"
    "       zknet mail list --pop3 HOST[:PORT] [--headers]\n"
    "       zknet mail get  --pop3 HOST[:PORT] NUMBER\n"
    "       zknet mail save --pop3 HOST[:PORT] NUMBER [FOLDER] [--name NAME]\n"
    "       zknet mail rm   --pop3 HOST[:PORT] NUMBER...\n"
    "       zknet mail show FILE.eml\n"
    "\n"
    "actions:\n"
    "  send   send one message in ISO-2022-JP; its body comes from --body-file, or from standard\n"
    "         input without it (or with \"-\"); with --eml, a stored message as it is, to the\n"
    "         From and To addresses its own header names\n"
    "  list   the mailbox: number and size of each message, tab-separated; with --headers also\n"
    "         From and Subject (every message is retrieved for them)\n"
    "  get    print message NUMBER as the server keeps it\n"
    "  save   save message NUMBER as FOLDER/NAME.eml (FOLDER: the current one; NAME: NUMBER)\n"
    "  rm     delete messages; the server removes them when the session ends\n"
    "  show   the header fields, decoded subject, date and body of a stored message (no server)\n"
    "\n"
    "HOST is a name or an address, an IPv6 address in brackets; the port defaults to 25 for\n"
    "SMTP (587 with --tls, 465 with --tls-implicit) and 110 for POP3 (995 with --tls-implicit):\n"
    "  mail.example.com   192.0.2.7:2525   [::1]:2110   smtp.example.com:587\n"
    "\n"
    "options:\n"
    "  --smtp HOST[:PORT]   send: the SMTP server\n"
    "  --pop3 HOST[:PORT]   list, get, save, rm: the POP3 server\n"
    "  --user USER          the POP3 user (default: $ZKNET_POP3_USER); send: log in to the\n"
    "                       submission server with SMTP AUTH as USER (needs --tls or --tls-implicit)\n"
    "  --password-env VAR   the password is in the environment variable VAR (default:\n"
    "                       $ZKNET_POP3_PASSWORD, $ZKNET_SMTP_PASSWORD for send); it is never\n"
    "                       taken on the command line\n"
    "  --oauth2-token-env VAR  log in with the OAuth 2.0 access token in the environment variable\n"
    "                       VAR instead of a password (OAUTHBEARER or XOAUTH2)\n"
    "  --tls                STARTTLS (SMTP) or STLS (POP3) after the greeting, required: no\n"
    "                       word of the login goes out without TLS\n"
    "  --tls-implicit       TLS from the first byte (SMTPS 465, POP3S 995)\n"
    "  --cacert FILE        trust exactly the CAs in FILE (PEM) instead of the system's\n"
    "                       (default: $ZKNET_CACERT where set)\n"
    "  --insecure           accept any certificate: anyone in between can read and change\n"
    "                       everything, passwords included (test servers only)\n"
    "  --from ADDRESS       send: the sender, as the From line shows it (\"Taro <taro@example.jp>\");\n"
    "                       MAIL FROM takes the address in angle brackets\n"
    "  --to ADDRESSES       send: the recipients, separated by commas, likewise\n"
    "  --subject TEXT       send: the subject (default: none)\n"
    "  --body-file FILE     send: the body's text\n"
    "  --charset utf-8|ansi send: how the body file (or standard input) is written: UTF-8, or the\n"
    "                       ANSI code page (932, Shift_JIS, on Linux too); without it a file that\n"
    "                       begins with the UTF-8 byte order mark or is valid UTF-8 is taken as\n"
    "                       UTF-8, any other as ANSI\n"
    "  --width N            send: fold the body's lines at N bytes (default: not folded)\n"
    "  --helo NAME          send: the name said with HELO (default: zknet)\n"
    "  --eml FILE           send: a stored message instead of --from, --to, --subject and a body\n"
    "  --headers            list: From and Subject too\n"
    "  --name NAME          save: the file's name without .eml\n"
    "  -6                   connect over IPv6 (an IPv6 address implies it)\n"
    "  --timeout SECONDS    give up when the whole run takes longer (default: no limit; every\n"
    "                       reply is waited for 8 s at most anyway)\n"
    "  -q, --quiet          get, save: no progress line\n"
    "  -h, --help           this text\n"
    "\n"
    "Texts are read and printed as UTF-8 (the command line in UTF-16 and the output in the ANSI\n"
    "code page on Windows); a character the output or the message's ISO-2022-JP lacks becomes ?,\n"
    "with a warning on standard error. A retrieval that takes longer than a second shows its\n"
    "progress on standard error when that is a terminal (ZKNET_PROGRESS_DELAY=SECONDS changes\n"
    "the second); Ctrl-C cancels it.\n"
    "Exit status: 0 done; 1 failed, with the library's error code and the server's last reply\n"
    "on standard error; 2 a wrong command line; 130 cancelled with Ctrl-C.\n";

const std::vector<OptionSpec> kOptions = {
    kHelpOption,          kQuietOption,        {"smtp", 0, true},    {"pop3", 0, true},     {"user", 0, true},
    {"password-env", 0, true}, {"from", 0, true}, {"to", 0, true},     {"subject", 0, true},  {"body-file", 0, true},
    {"width", 0, true},   {"helo", 0, true},   {"eml", 0, true},     {"headers", 0, false}, {"name", 0, true},
    {"6", '6', false},    {"timeout", 0, true},  {"tls", 0, false},   {"tls-implicit", 0, false},
    {"cacert", 0, true},  {"insecure", 0, false}, {"oauth2-token-env", 0, true}, {"charset", 0, true},
};

constexpr int kSmtpPort = 25;
constexpr int kPop3Port = 110;

struct CodeName {
    uint32_t code;
    const char *name;
};

const CodeName kCodes[] = {
    {ZK_MAIL_OK, "no error"},
    {ZK_MAIL_NO_SESSION, "no session"},
    {ZK_MAIL_NO_CONNECTION, "no connection"},
    {ZK_MAIL_NO_REPLY, "no reply"},
    {ZK_MAIL_NOT_SENT, "not sent"},
    {ZK_MAIL_REFUSED, "refused"},
    {ZK_MAIL_LOGIN_REFUSED, "login refused"},
    {ZK_MAIL_HELO_FAILED, "HELO failed"},
    {ZK_MAIL_FROM_FAILED, "MAIL FROM failed"},
    {ZK_MAIL_RCPT_FAILED, "RCPT TO failed"},
    {ZK_MAIL_DATA_FAILED, "DATA failed"},
    {ZK_MAIL_NO_FOLDER, "no folder"},
    {ZK_MAIL_FILE_FAILED, "file failed"},
    {ZK_MAIL_TLS_FAILED, "no TLS"},
    {ZK_MAIL_CERTIFICATE, "certificate refused"},
    {ZK_MAIL_AUTH_FAILED, "authentication failed"},
    {ZK_MAIL_CANCELLED, "cancelled"},
};

std::string CodeText(uint32_t code) {
    std::string text = "code " + std::to_string(code);
    for (const CodeName &c : kCodes) {
        if (c.code == code) return text + " (" + c.name + ")";
    }
    return text;
}

const zk_wchar_t *Z(const WideText &text) { return text.c_str(); }
// The tool's UTF-8 for the library's W forms.
WideText W(const std::string &text) { return Utf8ToWide(text); }

std::string LastReply() {
    zk_wchar_t reply[ZK_MAIL_RESPONSE_SIZE];
    ZK_MailQueryLastResponseMessageW(reply, ZK_MAIL_RESPONSE_SIZE);
    return OneLine(WideToUtf8(reply));
}

// The library's code and the server's last words; a connection never made has no words, only
// the socket's error.
int MailFailed(const std::string &where, const Endpoint *endpoint = nullptr) {
    uint32_t code = ZK_MailQueryLastErrorCode();
    std::string reply = LastReply();
    if (code == ZK_MAIL_NO_CONNECTION && endpoint != nullptr) reply = ConnectFailureText(endpoint->host, endpoint->port);
    std::string message = CodeText(code);
    if (!reply.empty()) message += ": " + reply;
    return Failure(where, message);
}

// A failure the library reports without a code (a message not retrieved or not deleted): the
// server's words say why.
int RefusedBy(const std::string &where, const std::string &what) {
    std::string reply = LastReply();
    return Failure(where, reply.empty() ? what + ": no reply" : what + ": " + reply);
}

// A message number: 1 to 999999 as POP3 counts them.
bool ParseNumber(const std::string &text, int32_t *number) {
    if (text.empty() || text.size() > 6) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    *number = std::atoi(text.c_str());
    return *number > 0;
}

bool ReadAll(FILE *in, std::string *bytes) {
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof(block), in)) > 0) bytes->append(block, n);
    return std::ferror(in) == 0;
}

bool ReadFileBytes(const std::string &path, std::string *bytes, std::string *why) {
    if (!CanReadLocalFile(path, why)) return false;
    FILE *in = OpenLocalFile(path, "rb");
    if (in == nullptr) {
        *why = std::strerror(errno);
        return false;
    }
    bool ok = ReadAll(in, bytes);
    std::fclose(in);
    if (!ok) *why = "read error";
    return ok;
}

// A stored message with CR LF line ends, as the extraction reads it.
std::string CrLfText(const std::string &bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (size_t i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

struct Run {
    std::string where;  // "mail list"
    Endpoint endpoint;
    uint16_t family = ZK_AF_INET;
    uint32_t security = ZK_SECURE_NONE;
    WideText ca_file;       // empty: the system's trust
    bool has_user = false;  // send: log in
    std::string user, password;
    std::vector<std::string> args;  // the action's operands
    const Args *options = nullptr;
    Progress meter;  // what the POP3 session's progress callback reports to
};

// A retrieval that Ctrl-C cancelled: said so, with its own exit status; 0 for any other failure.
int Cancelled(const Run &run) {
    if (!run.meter.cancelled || ZK_MailQueryLastErrorCode() != ZK_MAIL_CANCELLED) return 0;
    Failure(run.where, "cancelled");
    return kExitCancelled;
}

const char kUtf8Bom[] = "\xEF\xBB\xBF";

// The body file's text: as --charset says, else UTF-8 when it begins with the byte order mark
// or is valid UTF-8 throughout (a Shift_JIS text of any length hardly ever is), else ANSI.
WideText BodyText(const std::string &bytes, const std::string *charset) {
    bool bom = bytes.compare(0, 3, kUtf8Bom) == 0;
    bool utf8 = charset != nullptr ? *charset == "utf-8" : bom || IsValidUtf8(bytes);
    if (!utf8) return AnsiToWide(bytes);
    // Bytes that form no character become U+FFFD, which the message counts among its losses.
    return Utf8ToWide(bom ? bytes.substr(3) : bytes);
}

// Characters a message's ISO-2022-JP loses: those the ANSI code page lacks ('?') and those of its
// user-defined area (the geta mark).
size_t LostInIso2022Jp(const WideText &text) {
    size_t count = CountUnmappableInAnsi(text, true);
    for (zk_wchar_t c : text) count += c >= 0xE000 && c <= 0xE757 ? 1 : 0;
    return count;
}

// ---- SMTP ----

int Send(Run &run) {
    const Args &args = *run.options;
    const std::string *helo_option = OptionValue(args, "helo");
    WideText helo = W(helo_option != nullptr ? *helo_option : "zknet");
    const std::string *eml = OptionValue(args, "eml");
    std::string body_bytes;
    int32_t width = -1;
    if (eml == nullptr) {
        const std::string *file = OptionValue(args, "body-file");
        std::string why;
        if (file == nullptr || *file == "-") {
#if defined(_WIN32)
            _setmode(_fileno(stdin), _O_BINARY);
#endif
            if (!ReadAll(stdin, &body_bytes)) return Failure(run.where, "cannot read the body from standard input");
        } else if (!ReadFileBytes(*file, &body_bytes, &why)) {
            return Failure(run.where, "cannot read body file " + *file + ": " + why);
        }
        if (body_bytes.find('\0') != std::string::npos) return Failure(run.where, "the body holds a zero byte");
        if (const std::string *w = OptionValue(args, "width")) width = std::atoi(w->c_str());
    } else {
        std::string why;
        if (!CanReadLocalFile(*eml, &why)) return Failure(run.where, "cannot read " + *eml + ": " + why);
    }

    MailHandle *smtp = ZK_MailConnectSmtpSecureW(
        Z(W(run.endpoint.host)), run.endpoint.port, run.family, run.security,
        run.ca_file.empty() ? nullptr : Z(run.ca_file), Z(helo), run.has_user ? Z(W(run.user)) : nullptr,
        run.has_user ? Z(W(run.password)) : nullptr);
    if (smtp == nullptr) return MailFailed(run.where + " connect", &run.endpoint);
    int32_t sent;
    if (eml != nullptr) {
        // The stored form's own narrow name: on Windows the ANSI path itself.
        sent = ZK_MailSendFromFileW(smtp, Z(helo), Z(W(*eml)));
    } else {
        const std::string *subject = OptionValue(args, "subject");
        // The header block ends with the X-Mailer line: the body's first line break separates them.
        WideText body = W("\n") + BodyText(body_bytes, OptionValue(args, "charset"));
        WideText subject_text = W(subject != nullptr ? *subject : "");
        NoteReplaced("the subject", "not in ISO-2022-JP, sent as ?", LostInIso2022Jp(subject_text));
        NoteReplaced("the body", "not in ISO-2022-JP, sent as ?", LostInIso2022Jp(body));
        sent = ZK_MailSendW(smtp, Z(helo), Z(W(*OptionValue(args, "from"))), Z(W(*OptionValue(args, "to"))),
                            Z(subject_text), Z(body), width);
    }
    int rc = kExitOk;
    if (sent != 1) {
        if (eml != nullptr && ZK_MailQueryLastErrorCode() == ZK_MAIL_OK) {
            rc = Failure(run.where, "not sent: " + *eml + " is empty, unreadable or lacks From or To");
        } else {
            rc = MailFailed(run.where);
        }
    }
    ZK_MailDisconnectSmtp(smtp);
    return rc;
}

// ---- POP3 ----

int List(Run &run, MailHandle *pop3) {
    bool headers = HasOption(*run.options, "headers");
    MailList list{0, nullptr};
    StartProgress(&run.meter, false, run.where);
    int ok = ZK_MailBoxW(pop3, &list, headers ? 1 : 0);
    FinishProgress(&run.meter, ok == 1);
    if (ok != 1) {
        ZK_MailListFreeW(&list);
        if (int rc = Cancelled(run)) return rc;
        uint32_t code = ZK_MailQueryLastErrorCode();
        return code != ZK_MAIL_OK ? MailFailed(run.where) : RefusedBy(run.where, "no listing");
    }
    const auto *entries = static_cast<const MailListEntryW *>(list.entries);
    for (int32_t i = 0; i < list.count; ++i) {
        if (headers) {
            std::printf("%d\t%d\t%s\t%s\n", static_cast<int>(entries[i].number), static_cast<int>(entries[i].size),
                        WideForOutput(entries[i].from, "the listing").c_str(),
                        WideForOutput(entries[i].subject, "the listing").c_str());
        } else {
            std::printf("%d\t%d\n", static_cast<int>(entries[i].number), static_cast<int>(entries[i].size));
        }
    }
    ZK_MailListFreeW(&list);
    return kExitOk;
}

int Get(Run &run, MailHandle *pop3) {
    int32_t number = 0;
    ParseNumber(run.args[0], &number);
    ZK_MailClearLastErrorCode();
    StartProgress(&run.meter, ProgressWanted(HasOption(*run.options, "quiet")), "get message " + run.args[0]);
    char *text = ZK_MailRecv(pop3, number);
    FinishProgress(&run.meter, text != nullptr);
    if (text == nullptr) {
        if (int rc = Cancelled(run)) return rc;
        return RefusedBy(run.where, "message " + run.args[0] + " not retrieved");
    }
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::fwrite(text, 1, std::strlen(text), stdout);
    ZK_MailRecvFree(text);
    return kExitOk;
}

int Save(Run &run, MailHandle *pop3) {
    int32_t number = 0;
    ParseNumber(run.args[0], &number);
    std::string folder = run.args.size() > 1 ? run.args[1] : ".";
    const std::string *name = OptionValue(*run.options, "name");
    std::string base = name != nullptr ? *name : run.args[0];
    ZK_MailClearLastErrorCode();
    StartProgress(&run.meter, ProgressWanted(HasOption(*run.options, "quiet")), "save message " + run.args[0]);
    int ok = ZK_MailRecvToFileW(pop3, number, Z(W(folder)), Z(W(base)));
    FinishProgress(&run.meter, ok == 1);
    if (ok == 1) return kExitOk;
    if (int rc = Cancelled(run)) return rc;
    if (ZK_MailQueryLastErrorCode() != ZK_MAIL_OK) {
        std::string path = folder + "/" + base + ".eml";
        uint32_t code = ZK_MailQueryLastErrorCode();
        if (code == ZK_MAIL_NO_FOLDER) return Failure(run.where, CodeText(code) + ": no folder " + folder);
        return Failure(run.where, CodeText(code) + ": cannot write " + path);
    }
    return RefusedBy(run.where, "message " + run.args[0] + " not retrieved");
}

int Remove(Run &run, MailHandle *pop3) {
    for (const std::string &text : run.args) {
        int32_t number = 0;
        ParseNumber(text, &number);
        if (ZK_MailDelete(pop3, number) != 1) return RefusedBy(run.where + " " + text, "not deleted");
    }
    return kExitOk;
}

// ---- A stored message ----

int Show(Run &run) {
    std::string bytes, why;
    if (!ReadFileBytes(run.args[0], &bytes, &why)) return Failure(run.where, "cannot read " + run.args[0] + ": " + why);
    std::string text = CrLfText(bytes.substr(0, bytes.find('\0')));
    if (text.empty()) return Failure(run.where, run.args[0] + " is empty");
    // Values of up to 64 KiB; the body as large as the text itself (in UTF-16 units).
    std::vector<zk_wchar_t> value(65536);
    const struct {
        const char *label;
        const char *tag;
    } fields[] = {{"From", "From:"}, {"To", "To:"}, {"Cc", "Cc:"}, {"Subject", "Subject:"}, {"Date", "Date:"},
                  {"Content-Type", "Content-Type:"}, {"Content-Transfer-Encoding", "Content-Transfer-Encoding:"}};
    for (const auto &f : fields) {
        int32_t n = ZK_MailGetHeaderTagW(text.c_str(), Z(W(f.tag)), value.data(), static_cast<int32_t>(value.size()));
        if (n <= 0) continue;
        std::printf("%s: %s\n", f.label, WideForOutput(value.data(), "the message").c_str());
        if (std::strcmp(f.label, "Date") == 0) {
            MailDate date{};
            if (ZK_MailGetDate(text.c_str(), &date) > 0) {
                std::printf("Date read as: %04u-%02u-%02u %02u:%02u:%02u\n", date.year, date.month, date.day, date.hour,
                            date.minute, date.second);
            } else {
                std::printf("Date read as: (no date)\n");
            }
        }
    }
    std::vector<zk_wchar_t> body(text.size() + 2);
    int32_t n = ZK_MailGetBodyW(text.c_str(), body.data(), static_cast<int32_t>(body.size()));
    if (n == -2) {
        std::printf("\n(the body is not shown: its transfer encoding is not 7bit)\n");
        return kExitOk;
    }
    std::string shown = n > 0 ? WideForOutput(body.data(), "the message") : std::string();
    // The body begins with the line break of the empty line that ends the header.
    std::string lf;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n') continue;
        lf += shown[i];
    }
    std::printf("%s", lf.empty() ? "\n" : lf.c_str());
    return kExitOk;
}

struct Action {
    const char *name;
    size_t min_args, max_args;
    int (*pop3)(Run &, MailHandle *);  // null for the actions without a POP3 session
};

const size_t kMany = 1000000;

const Action kActions[] = {
    {"send", 0, 0, nullptr},    {"show", 1, 1, nullptr}, {"list", 0, 0, List},
    {"get", 1, 1, Get},         {"save", 1, 2, Save},    {"rm", 1, kMany, Remove},
};

const Action *FindAction(const std::string &name) {
    for (const Action &a : kActions) {
        if (name == a.name) return &a;
    }
    return nullptr;
}

// Options that belong to other actions are refused rather than ignored.
int CheckOptions(const std::string &action, const Args &args, const std::string &where) {
    static const struct {
        const char *option;
        const char *actions;
    } kOwners[] = {{"smtp", " send "},       {"pop3", " list get save rm "}, {"user", " send list get save rm "},
                   {"password-env", " send list get save rm "}, {"from", " send "}, {"to", " send "},
                   {"oauth2-token-env", " send list get save rm "}, {"tls", " send list get save rm "},
                   {"tls-implicit", " send list get save rm "}, {"cacert", " send list get save rm "},
                   {"insecure", " send list get save rm "},
                   {"subject", " send "},    {"body-file", " send "},   {"width", " send "},
                   {"charset", " send "},
                   {"helo", " send "},       {"eml", " send "},         {"headers", " list "},
                   {"name", " save "},       {"6", " send list get save rm "}};
    for (const auto &owner : kOwners) {
        if (HasOption(args, owner.option) && std::string(owner.actions).find(" " + action + " ") == std::string::npos) {
            std::string flag = std::strlen(owner.option) == 1 ? std::string("-") + owner.option : std::string("--") + owner.option;
            return UsageError(where, flag + " does not go with " + action);
        }
    }
    return kExitOk;
}

int CheckSend(const Args &args, const std::string &where) {
    if (const std::string *eml = OptionValue(args, "eml")) {
        for (const char *other : {"from", "to", "subject", "body-file", "width", "charset"}) {
            if (HasOption(args, other)) return UsageError(where, std::string("--") + other + " does not go with --eml");
        }
        if (eml->empty()) return UsageError(where, "--eml needs a file");
        return kExitOk;
    }
    for (const char *needed : {"from", "to"}) {
        const std::string *value = OptionValue(args, needed);
        if (value == nullptr || value->empty()) return UsageError(where, std::string("--") + needed + " is needed");
    }
    if (const std::string *charset = OptionValue(args, "charset")) {
        if (*charset != "utf-8" && *charset != "ansi") return UsageError(where, "bad --charset " + *charset + " (utf-8 or ansi)");
    }
    if (const std::string *w = OptionValue(args, "width")) {
        char *end = nullptr;
        long width = std::strtol(w->c_str(), &end, 10);
        if (w->empty() || *end != '\0' || width < 1 || width > 100000) {
            return UsageError(where, "bad --width " + *w + " (1 to 100000)");
        }
    }
    return kExitOk;
}

// The user and password (or access token); neither secret is ever taken from the command line
// itself. SMTP logs in only when --user is given; POP3 always does.
int Credentials(const Args &args, bool smtp, Run *run) {
    const std::string &where = run->where;
    const std::string *user_option = OptionValue(args, "user");
    std::string user_env;
    bool has_user_env = !smtp && EnvironmentText("ZKNET_POP3_USER", &user_env);
    if (user_option != nullptr) {
        run->user = *user_option;
    } else if (has_user_env) {
        run->user = user_env;
    } else if (smtp) {
        if (HasOption(args, "password-env") || HasOption(args, "oauth2-token-env")) {
            return UsageError(where, "--password-env and --oauth2-token-env go with --user");
        }
        return kExitOk;
    } else {
        return UsageError(where, "no user: give --user or set ZKNET_POP3_USER");
    }
    run->has_user = true;
    bool found = false;
    std::string error;
    if (HasOption(args, "oauth2-token-env")) {
        if (HasOption(args, "password-env")) return UsageError(where, "--password-env or --oauth2-token-env, not both");
        if (!PasswordFromEnvironment(args, "oauth2-token-env", "", &run->password, &found, &error)) {
            return UsageError(where, error);
        }
        run->security |= ZK_SECURE_XOAUTH2;
        return kExitOk;
    }
    const char *fallback = smtp ? "ZKNET_SMTP_PASSWORD" : "ZKNET_POP3_PASSWORD";
    if (!PasswordFromEnvironment(args, "password-env", fallback, &run->password, &found, &error)) {
        return UsageError(where, error);
    }
    if (!found) {
        return UsageError(where, "no password for " + run->user + ": set " + fallback +
                                     " or name a variable with --password-env");
    }
    return kExitOk;
}

// --tls, --tls-implicit, --cacert and --insecure.
int Security(const Args &args, Run *run) {
    if (HasOption(args, "tls") && HasOption(args, "tls-implicit")) {
        return UsageError(run->where, "--tls or --tls-implicit, not both");
    }
    if (HasOption(args, "tls")) run->security = ZK_SECURE_EXPLICIT;
    if (HasOption(args, "tls-implicit")) run->security = ZK_SECURE_IMPLICIT;
    const std::string *ca_file = OptionValue(args, "cacert");
    if (run->security == ZK_SECURE_NONE && (ca_file != nullptr || HasOption(args, "insecure"))) {
        return UsageError(run->where, "--cacert and --insecure go with --tls or --tls-implicit");
    }
    std::string ca_env;
    EnvironmentText("ZKNET_CACERT", &ca_env);
    if (ca_file != nullptr) {
        run->ca_file = W(*ca_file);
    } else if (run->security != ZK_SECURE_NONE && !ca_env.empty()) {
        run->ca_file = W(ca_env);
    }
    if (HasOption(args, "insecure")) run->security |= ZK_SECURE_NO_VERIFY;
    return kExitOk;
}

}  // namespace

int RunMail(int argc, char **argv) {
    Args args;
    std::string error;
    if (!ParseArgs(argc - 1, argv + 1, kOptions, &args, &error)) return UsageError("mail", error);
    if (HasOption(args, "help")) {
        std::fputs(kHelp, stdout);
        return kExitOk;
    }
    if (args.operands.empty()) return UsageError("mail", "no action (send, list, get, save, rm, show)");
    const Action *action = FindAction(args.operands[0]);
    if (action == nullptr) return UsageError("mail", "unknown action " + args.operands[0]);
    Run run;
    run.where = std::string("mail ") + action->name;
    run.options = &args;
    run.args.assign(args.operands.begin() + 1, args.operands.end());
    if (run.args.size() < action->min_args) return UsageError(run.where, "too few arguments");
    if (run.args.size() > action->max_args) return UsageError(run.where, "too many arguments");
    if (int rc = CheckOptions(action->name, args, run.where)) return rc;
    if (std::strcmp(action->name, "show") == 0) return Show(run);

    bool smtp = std::strcmp(action->name, "send") == 0;
    const char *server_option = smtp ? "smtp" : "pop3";
    const std::string *server = OptionValue(args, server_option);
    if (server == nullptr) return UsageError(run.where, std::string("--") + server_option + " HOST[:PORT] is needed");
    if (int rc = Security(args, &run)) return rc;
    uint32_t mode = run.security & 0xFF;
    int default_port = smtp ? (mode == ZK_SECURE_IMPLICIT ? 465 : mode == ZK_SECURE_EXPLICIT ? 587 : kSmtpPort)
                            : (mode == ZK_SECURE_IMPLICIT ? 995 : kPop3Port);
    if (!ParseEndpoint(*server, default_port, &run.endpoint, &error)) return UsageError(run.where, error);
    run.family = HasOption(args, "6") || run.endpoint.ipv6_literal ? ZK_AF_INET6 : ZK_AF_INET;
    if (std::strcmp(action->name, "get") == 0 || std::strcmp(action->name, "save") == 0 ||
        std::strcmp(action->name, "rm") == 0) {
        for (size_t i = 0; i < (std::strcmp(action->name, "save") == 0 ? 1 : run.args.size()); ++i) {
            int32_t number = 0;
            if (!ParseNumber(run.args[i], &number)) return UsageError(run.where, "bad message number " + run.args[i]);
        }
    }
    double timeout = 0;
    if (const std::string *t = OptionValue(args, "timeout")) {
        if (!ParseSeconds(*t, &timeout)) return UsageError(run.where, "bad --timeout " + *t);
    }
    if (smtp) {
        if (int rc = CheckSend(args, run.where)) return rc;
    }
    if (int rc = Credentials(args, smtp, &run)) return rc;

    Deadline deadline;
    StartDeadline(&deadline, timeout, run.where);
    int rc;
    if (smtp) {
        rc = Send(run);
    } else {
        MailHandle *pop3 = ZK_MailConnectPop3SecureW(Z(W(run.endpoint.host)), Z(W(run.user)),
                                                     Z(W(run.password)), run.endpoint.port, run.family,
                                                     run.security, run.ca_file.empty() ? nullptr : Z(run.ca_file));
        if (pop3 == nullptr) {
            rc = MailFailed(run.where, &run.endpoint);
        } else {
            // Reports for every retrieval, so that Ctrl-C cancels them with or without a line.
            ZK_MailSetProgressCallback(pop3, ReportProgress, &run.meter);
            rc = action->pop3(run, pop3);
            std::fflush(stdout);
            ZK_MailDisconnectPop3(pop3);
        }
    }
    StopDeadline(&deadline);
    return rc;
}
