// smtp_secure.cpp -- opening a submission session: EHLO, STARTTLS when asked (required: a server
// that does not offer it, or refuses it, gets no credentials), EHLO again over TLS, and AUTH with
// the best mechanism the server offers. Such a session is greeted once, here, for all its messages.
#include <string>

#include "mail/mail_exchange.h"
#include "mail/mail_sasl.h"
#include "mail/mail_secure.h"
#include "mail/mail_text.h"
#include "mail/send/smtp.h"
#include "proto/command.h"
#include "proto/reply.h"

namespace {

constexpr int32_t kReplyRoom = 2048;

struct SmtpSecureArgs {
    MailSecurity security;
    std::string helo;       // ANSI, one line
    bool has_user = false;
    SaslCredentials credentials;
};

// What an EHLO reply offers.
struct Extensions {
    bool starttls = false;
    std::string auth;  // the mechanisms, blank-separated
};

Extensions ExtensionsOf(const std::string &lines) {
    Extensions found;
    size_t start = lines.find('\n');  // the first line greets; the extensions follow, one a line
    while (start != std::string::npos && start + 1 < lines.size()) {
        size_t end = lines.find('\n', start + 1);
        std::string line = lines.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        start = end;
        if (line.size() < 5) continue;
        std::string keyword = line.substr(4, line.find_first_of(" =", 4) - 4);
        for (char &c : keyword) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        if (keyword == "STARTTLS") found.starttls = true;
        if (keyword == "AUTH" && line.size() > 8) found.auth += " " + line.substr(9);
    }
    return found;
}

// EHLO, or HELO where a server knows no EHLO (it then offers no extension). False with code 3,
// 4 or 8.
bool Greet(ProtoTransport *connection, const std::string &helo, Extensions *extensions) {
    *extensions = Extensions();
    char line[kProtoLineBytes];
    int32_t length = ProtoFormatCommandA(line, "EHLO", helo.c_str());
    if (length < 0 || !ProtoSendCommand(connection, line, length, kMailReplyTimeoutMs)) {
        return MailFailWith(ZK_MAIL_NOT_SENT, "");
    }
    char reply[kReplyRoom];
    std::string lines;
    int32_t n = ProtoReadReply(connection, reply, kReplyRoom, kMailReplyTimeoutMs, kProtoCodedLines, &lines);
    MailRecordResponse(n < 0 ? "" : reply);
    if (n < 1) {
        MailLastError = ZK_MAIL_NO_REPLY;
        return false;
    }
    if (ProtoReplyIsA(reply, "250")) {
        *extensions = ExtensionsOf(lines);
        return true;
    }
    if (MailCommandA(connection, "HELO", helo.c_str(), "250")) return true;
    MailLastError = ZK_MAIL_HELO_FAILED;
    return false;
}

bool StartTls(ProtoTransport *connection, const SmtpSecureArgs &args, Extensions *extensions) {
    if (!extensions->starttls) return MailTlsFailed("the server does not offer STARTTLS");
    char reply[kReplyRoom];
    static const char kStartTls[] = "STARTTLS\r\n";
    if (!ProtoSendCommand(connection, kStartTls, sizeof(kStartTls) - 1, kMailReplyTimeoutMs)) {
        return MailTlsFailed("STARTTLS could not be sent");
    }
    if (MailReadReplyA(connection, reply, kReplyRoom, "220", kMailReplyTimeoutMs) != 0) {
        return MailTlsFailed(std::string("the server refused STARTTLS: ") + reply);
    }
    // Whatever the server said before TLS may have been written by anyone on the way.
    return MailStartTls(connection, args.security) && Greet(connection, args.helo, extensions);
}

bool Authenticate(ProtoTransport *connection, const SmtpSecureArgs &args, const Extensions &extensions) {
    bool oauth = args.security.Has(ZK_SECURE_XOAUTH2);
    SaslMechanism mechanism = SaslChoose(extensions.auth, oauth);
    if (mechanism == SaslMechanism::kNone) {
        return MailFailWith(ZK_MAIL_AUTH_FAILED, extensions.auth.empty()
                                                     ? "AUTH: the server offers no authentication here"
                                                     : std::string("AUTH: the server offers none of ") +
                                                           (oauth ? "OAUTHBEARER, XOAUTH2" : "PLAIN, LOGIN") +
                                                           " (it offers" + extensions.auth + ")");
    }
    if (SaslAuthenticate(connection, mechanism, args.credentials, kSaslSmtp)) return true;
    MailLastError = ZK_MAIL_AUTH_FAILED;
    return false;
}

MailHandle *Connect(const SmtpSecureArgs &args, const zk_wchar_t *host, uint16_t family) {
    const MailSecurity &security = args.security;
    if (args.has_user && security.mode == ZK_SECURE_NONE && !security.Has(ZK_SECURE_ALLOW_PLAIN_AUTH)) {
        MailFailWith(ZK_MAIL_AUTH_FAILED, "AUTH: credentials are not sent over a connection without TLS");
        return nullptr;
    }
    ProtoTransport *connection =
        MailOpenSecure(ZK_SocketOpenClientW(1, host, security.port, family), security, "220");
    if (connection == nullptr) return nullptr;
    Extensions extensions;
    bool ok = Greet(connection, args.helo, &extensions) &&
              (security.mode != ZK_SECURE_EXPLICIT || StartTls(connection, args, &extensions)) &&
              (!args.has_user || Authenticate(connection, args, extensions));
    if (!ok) {
        ProtoCloseTransport(connection);
        return nullptr;
    }
    MailHandle *handle = SmtpHandleFor(connection);
    if (handle == nullptr) {
        MailLastError = ZK_MAIL_NO_CONNECTION;
        return nullptr;
    }
    handle->greeted = true;
    return handle;
}

}  // namespace

extern "C" {

// The ANSI form is the UTF-16 one: the texts convert without loss, and SASL wants UTF-8 anyway.
ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpSecureA(const char *host, int32_t port, uint16_t family,
                                                       uint32_t security, const char *ca_file, const char *helo,
                                                       const char *user, const char *password) {
    try {
        MailWideText h, c, e, u, p;
        return ZK_MailConnectSmtpSecureW(MailWideOrNull(host, &h), port, family, security, MailWideOrNull(ca_file, &c),
                                         MailWideOrNull(helo, &e), MailWideOrNull(user, &u),
                                         MailWideOrNull(password, &p));
    } catch (...) {
        MailLastError = ZK_MAIL_NO_CONNECTION;
        return nullptr;
    }
}

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpSecureW(const zk_wchar_t *host, int32_t port, uint16_t family,
                                                       uint32_t security, const zk_wchar_t *ca_file,
                                                       const zk_wchar_t *helo, const zk_wchar_t *user,
                                                       const zk_wchar_t *password) {
    MailLastError = ZK_MAIL_OK;
    try {
        SmtpSecureArgs args;
        if (!MailSecurityFrom(security, &args.security)) return nullptr;
        if (args.security.mode == ZK_SECURE_NONE && user == nullptr) return ZK_MailConnectSmtpW(host, port, family);
        args.security.host = MailAnsiOf(host);
        if (ca_file != nullptr) args.security.ca_file = ca_file;
        args.security.port = port;
        args.helo = helo != nullptr ? MailAnsiOf(MailOneLineW(helo).c_str()) : MailLocalName();
        args.has_user = user != nullptr;
        args.credentials = {MailUtf8OfW(user), MailUtf8OfW(password), args.security.host, port};
        return Connect(args, host, family);
    } catch (...) {
        MailLastError = ZK_MAIL_NO_CONNECTION;
        return nullptr;
    }
}

}  // extern "C"
