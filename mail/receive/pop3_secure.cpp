// pop3_secure.cpp -- opening a POP3 session over TLS: from the first byte, or after STLS
// (required: a server that refuses it gets no password), then USER and PASS, AUTH PLAIN where a
// server takes no USER, or an OAuth 2.0 access token with AUTH OAUTHBEARER or XOAUTH2.
#include <string>

#include "mail/mail_exchange.h"
#include "mail/mail_sasl.h"
#include "mail/mail_secure.h"
#include "mail/mail_text.h"
#include "mail/receive/pop3.h"

namespace {

struct Pop3SecureArgs {
    MailSecurity security;
    const zk_wchar_t *user = nullptr, *password = nullptr;
    SaslCredentials credentials;
};

bool Stls(ProtoTransport *connection, const MailSecurity &security) {
    static const char kStls[] = "STLS\r\n";
    char status[kPop3StatusSize];
    if (!Pop3Send(connection, kStls, sizeof(kStls) - 1)) return MailTlsFailed("STLS could not be sent");
    if (!Pop3ReadStatus(connection, status, kPop3StatusSize)) {
        return MailTlsFailed(std::string("the server refused STLS: ") + status);
    }
    return MailStartTls(connection, security);
}

// The mechanisms CAPA names on its SASL line; empty when the server has no CAPA.
std::string SaslOffered(ProtoTransport *connection) {
    static const char kCapa[] = "CAPA\r\n";
    if (!Pop3Send(connection, kCapa, sizeof(kCapa) - 1)) return {};
    char status[kPop3StatusSize];
    char *text = ReadPop3Message(connection, status, kPop3StatusSize, kMailReplyTimeoutMs);
    if (text == nullptr) return {};
    std::string lines = std::string("\n") + text, offered;
    ZK_SocketDeleteString(text);  // ZK_MailRecvFree is this same entry
    for (size_t at = 0; (at = lines.find('\n', at)) != std::string::npos; ++at) {
        std::string line = lines.substr(at + 1, lines.find('\n', at + 1) - at - 1);
        if (line.size() > 5 && (line[0] | 0x20) == 's' && (line[1] | 0x20) == 'a' && (line[2] | 0x20) == 's' &&
            (line[3] | 0x20) == 'l' && line[4] == ' ') {
            offered += " " + line.substr(5);
        }
    }
    return offered;
}

bool LogIn(ProtoTransport *connection, const Pop3SecureArgs &args) {
    if (args.security.Has(ZK_SECURE_XOAUTH2)) {
        SaslMechanism mechanism = SaslChoose(SaslOffered(connection), true);
        if (mechanism == SaslMechanism::kNone) mechanism = SaslMechanism::kXoauth2;
        if (SaslAuthenticate(connection, mechanism, args.credentials, kSaslPop3)) return true;
        MailLastError = ZK_MAIL_LOGIN_REFUSED;
        return false;
    }
    bool user_refused = false;
    if (Pop3LoginW(connection, args.user, args.password, &user_refused)) return true;
    // Some servers take no USER at all over TLS, only SASL.
    if (!user_refused) return false;
    if (SaslAuthenticate(connection, SaslMechanism::kPlain, args.credentials, kSaslPop3)) {
        MailLastError = ZK_MAIL_OK;  // the refused USER was no failure of the connect
        return true;
    }
    MailLastError = ZK_MAIL_LOGIN_REFUSED;
    return false;
}

MailHandle *Connect(const Pop3SecureArgs &args, SocketHandle *socket) {
    ProtoTransport *connection = MailOpenSecure(socket, args.security, "+OK");
    if (connection == nullptr) return nullptr;
    if ((args.security.mode == ZK_SECURE_EXPLICIT && !Stls(connection, args.security)) || !LogIn(connection, args)) {
        ProtoCloseTransport(connection);
        return nullptr;
    }
    return Pop3HandleFor(connection);
}

// Whether the connect goes the plain way; false with code 32 when a token would cross in clear.
bool Refused(const MailSecurity &security) {
    if (security.mode != ZK_SECURE_NONE || !security.Has(ZK_SECURE_XOAUTH2) ||
        security.Has(ZK_SECURE_ALLOW_PLAIN_AUTH)) {
        return false;
    }
    MailFailWith(ZK_MAIL_AUTH_FAILED, "AUTH: an access token is not sent over a connection without TLS");
    return true;
}

}  // namespace

extern "C" {

// The ANSI form is the UTF-16 one, as for SMTP.
ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3SecureA(const char *host, const char *user, const char *password,
                                                       int32_t port, uint16_t family, uint32_t security,
                                                       const char *ca_file) {
    try {
        MailWideText h, u, p, c;
        return ZK_MailConnectPop3SecureW(MailWideOrNull(host, &h), MailWideOrNull(user, &u),
                                         MailWideOrNull(password, &p), port, family, security,
                                         MailWideOrNull(ca_file, &c));
    } catch (...) {
        MailLastError = ZK_MAIL_NO_CONNECTION;
        return nullptr;
    }
}

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3SecureW(const zk_wchar_t *host, const zk_wchar_t *user,
                                                       const zk_wchar_t *password, int32_t port, uint16_t family,
                                                       uint32_t security, const zk_wchar_t *ca_file) {
    MailLastError = ZK_MAIL_OK;
    try {
        Pop3SecureArgs args;
        if (!MailSecurityFrom(security, &args.security) || Refused(args.security)) return nullptr;
        if (args.security.mode == ZK_SECURE_NONE && !args.security.Has(ZK_SECURE_XOAUTH2)) {
            return ZK_MailConnectPop3W(host, user, password, port, family);
        }
        args.security.host = MailAnsiOf(host);
        if (ca_file != nullptr) args.security.ca_file = ca_file;
        args.security.port = port;
        args.user = user;
        args.password = password;
        args.credentials = {MailUtf8OfW(user), MailUtf8OfW(password), args.security.host, port};
        return Connect(args, ZK_SocketOpenClientW(1, host, port, family));
    } catch (...) {
        MailLastError = ZK_MAIL_NO_CONNECTION;
        return nullptr;
    }
}

}  // extern "C"
