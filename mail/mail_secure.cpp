// mail_secure.cpp -- connections of the secure mail connects: implicit TLS before the greeting,
// the handshake after STARTTLS or STLS, and their failures in words the caller can act on.
#include "mail/mail_secure.h"

#include <vector>

#include "mail/mail_exchange.h"
#include "platform/platform.h"
#include "socket/text_helpers.h"
#include "text/charset.h"

bool MailFailWith(uint32_t code, const std::string &words) {
    MailLastError = code;
    MailRecordResponse(words.c_str());
    return false;
}

bool MailTlsFailed(const std::string &why) { return MailFailWith(ZK_MAIL_TLS_FAILED, "TLS: " + why); }

bool MailSecurityFrom(uint32_t security, MailSecurity *out) {
    out->mode = security & 0xFF;
    out->flags = security & ~0xFFu;
    if (out->mode > ZK_SECURE_IMPLICIT) return MailTlsFailed("unknown security choice");
    return true;
}

bool MailStartTls(ProtoTransport *connection, const MailSecurity &security) {
    tls::Setup setup{security.host.c_str(), security.ca_file.empty() ? nullptr : security.ca_file.c_str(),
                     !security.Has(ZK_SECURE_NO_VERIFY), nullptr};
    ProtoTlsResult result = ProtoStartTls(connection, setup, ProtoDeadline::After(kMailReplyTimeoutMs), nullptr);
    if (result == ProtoTlsResult::kOk) return true;
    if (result == ProtoTlsResult::kCertificate) {
        return MailFailWith(ZK_MAIL_CERTIFICATE, std::string("TLS: ") + connection->why);
    }
    return MailTlsFailed(connection->why);
}

ProtoTransport *MailOpenSecure(SocketHandle *socket, const MailSecurity &security, const char *greeting) {
    ProtoTransport *connection = MailTransportOver(socket, greeting[0] == '+' ? "POP3" : "SMTP");
    if (connection == nullptr) return nullptr;
    if (security.mode == ZK_SECURE_IMPLICIT && !MailStartTls(connection, security)) {
        ProtoCloseTransport(connection);
        return nullptr;
    }
    if (MailReadReplyA(connection, nullptr, 0, greeting, kMailReplyTimeoutMs) != 0) {
        MailLastError = ZK_MAIL_NO_REPLY;
        ProtoCloseTransport(connection);
        return nullptr;
    }
    return connection;
}

std::string MailAnsiOf(const zk_wchar_t *text) {
    int32_t units = WideLength(text);
    if (units == 0) return {};
    std::vector<char> narrow(static_cast<size_t>(units) * 2 + 1, '\0');
    if (WideToAnsi(text, narrow.data(), static_cast<int32_t>(narrow.size())) <= 0) return {};
    return narrow.data();
}

std::basic_string<zk_wchar_t> MailWideOf(const char *text) {
    if (text == nullptr || text[0] == '\0') return {};
    std::vector<zk_wchar_t> wide(std::char_traits<char>::length(text) + 1, 0);
    if (AnsiToWide(text, wide.data(), static_cast<int32_t>(wide.size())) <= 0) return {};
    return wide.data();
}

const zk_wchar_t *MailWideOrNull(const char *text, std::basic_string<zk_wchar_t> *keep) {
    if (text == nullptr) return nullptr;
    *keep = MailWideOf(text);
    return keep->c_str();
}

std::string MailUtf8OfW(const zk_wchar_t *text) {
    std::string out;
    AppendUtf8(out, text, static_cast<size_t>(WideLength(text)));
    return out;
}

std::string MailLocalName() {
    char name[256] = {0};
    if (win::gethostname(name, static_cast<int>(sizeof(name) - 1)) != 0 || name[0] == '\0') return "localhost";
    return name;
}
