// mail_secure.h -- what the secure connects of SMTP and POP3 share: the connection as the caller's
// security asks (TLS from the first byte, or started later on the server's word), TLS failures as
// codes 30 and 31 with a "TLS: ..." last reply, and the texts such a connect takes.
#ifndef ZK_MAIL_MAIL_SECURE_H
#define ZK_MAIL_MAIL_SECURE_H

#include <cstdint>
#include <string>

#include "mail/mail_session.h"

// A secure connect's arguments, in one form for both text forms.
struct MailSecurity {
    uint32_t mode = ZK_SECURE_NONE;  // ZK_SECURE_NONE, _EXPLICIT or _IMPLICIT
    uint32_t flags = 0;              // the ZK_SECURE_ flags above 0xFF
    std::string host;                // ANSI: the name (or address text) the certificate must be for
    std::basic_string<zk_wchar_t> ca_file;
    int32_t port = 0;
    bool Has(uint32_t flag) const { return (flags & flag) != 0; }
};

// Reads the caller's security word; false (code 30, a "TLS:" last reply) for an unknown choice.
bool MailSecurityFrom(uint32_t security, MailSecurity *out);

// The transport over a just-connected socket (null: code 2), TLS first when the security is
// implicit, and the greeting, which must begin with `greeting`: code 3, or 30/31, and null.
ProtoTransport *MailOpenSecure(SocketHandle *socket, const MailSecurity &security, const char *greeting);

// The TLS handshake on a connection; false with code 30 or 31 and a "TLS: why" last reply.
bool MailStartTls(ProtoTransport *connection, const MailSecurity &security);

// Code 30 with "TLS: " and `why` as the last reply; false.
bool MailTlsFailed(const std::string &why);

// Code `code` with `words` as the last reply, for a failure no server reply explains; false.
bool MailFailWith(uint32_t code, const std::string &words);

// The conversions the secure connects need: ANSI text (cut to nothing when it does not convert),
// UTF-8 (SASL credentials are UTF-8 whatever the code page), and UTF-16.
std::string MailAnsiOf(const zk_wchar_t *text);
std::string MailUtf8OfW(const zk_wchar_t *text);
std::basic_string<zk_wchar_t> MailWideOf(const char *text);

// `text` as UTF-16 in `*keep`, for an ANSI form that hands on to the UTF-16 one; null stays null.
const zk_wchar_t *MailWideOrNull(const char *text, std::basic_string<zk_wchar_t> *keep);

// The name EHLO gives for a null helo text: this machine's, or "localhost".
std::string MailLocalName();

#endif  // ZK_MAIL_MAIL_SECURE_H
