// mail_sasl.h -- SASL logins as SMTP (AUTH, RFC 4954) and POP3 (AUTH, RFC 5034) speak them: PLAIN,
// LOGIN, and the OAuth 2.0 bearer tokens of OAUTHBEARER (RFC 7628) and XOAUTH2.
#ifndef ZK_MAIL_MAIL_SASL_H
#define ZK_MAIL_MAIL_SASL_H

#include <cstdint>
#include <string>

#include "proto/reply.h"
#include "proto/transport.h"

enum class SaslMechanism { kNone, kPlain, kLogin, kXoauth2, kOauthBearer };

// The mechanism to use among those a server names (words separated by blanks, any case): with
// `oauth`, OAUTHBEARER where offered, else XOAUTH2; without, PLAIN, else LOGIN.
SaslMechanism SaslChoose(const std::string &offered, bool oauth);
const char *SaslName(SaslMechanism mechanism);

// Who logs in, in UTF-8; the secret is a password or an access token. Host and port are the
// server's, as OAUTHBEARER names them.
struct SaslCredentials {
    std::string user;
    std::string secret;
    std::string host;
    int32_t port;
};

// How a protocol frames the exchange.
struct SaslDialect {
    const char *success;     // "235" / "+OK"
    const char *challenge;   // "334" / "+"
    ProtoFraming framing;
    size_t line_limit;       // the longest AUTH line with an initial response, CR LF included
};
extern const SaslDialect kSaslSmtp;
extern const SaslDialect kSaslPop3;

// The initial response of a mechanism, Base64-encoded (LOGIN has none: "").
std::string SaslInitialResponse(SaslMechanism mechanism, const SaslCredentials &credentials);

// Runs AUTH to its end: true when the server accepted the login. The last reply stays as the
// server's words; false also when a line could not be sent or a reply did not come.
bool SaslAuthenticate(ProtoTransport *connection, SaslMechanism mechanism, const SaslCredentials &credentials,
                      const SaslDialect &dialect);

#endif  // ZK_MAIL_MAIL_SASL_H
