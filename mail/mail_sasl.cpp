// mail_sasl.cpp -- the SASL exchange: AUTH with the initial response where the line allows it,
// then one answer per challenge, bounded, until the server says yes or no.
#include "mail/mail_sasl.h"

#include <cstring>
#include <vector>

#include "mail/mail_session.h"
#include "proto/command.h"
#include "socket/text_helpers.h"
#include "text/base64.h"

// An SMTP AUTH line may reach 12288 octets (RFC 4954); a POP3 one only 255 (RFC 5034). Past
// them the initial response waits for the server's first, empty, challenge.
const SaslDialect kSaslSmtp = {"235", "334", kProtoCodedLines, 12288};
const SaslDialect kSaslPop3 = {"+OK", "+", kProtoOneLine, 255};

namespace {

constexpr int32_t kReplyRoom = 2048;
// A server that keeps on challenging is not going to say yes.
constexpr int kMostRounds = 5;

std::string Base64Of(const std::string &bytes) {
    std::vector<char> out(bytes.size() / 3 * 4 + 8, '\0');
    int32_t n = Base64Encode(bytes.data(), static_cast<int32_t>(bytes.size()), out.data(),
                             static_cast<int32_t>(out.size()));
    return n > 0 ? std::string(out.data(), static_cast<size_t>(n)) : std::string();
}

std::string DecodedChallenge(const char *line, const SaslDialect &dialect) {
    const char *text = line + std::strlen(dialect.challenge);
    while (*text == ' ') ++text;
    std::vector<char> out(std::strlen(text) + 4, '\0');
    int32_t n = Base64Decode(text, out.data(), static_cast<int32_t>(out.size()));
    return n > 0 ? std::string(out.data(), static_cast<size_t>(n)) : std::string();
}

bool IsChallenge(const char *line, const SaslDialect &dialect) {
    if (dialect.framing == kProtoCodedLines) return ProtoReplyIsA(line, dialect.challenge);
    return line[0] == '+' && (line[1] == ' ' || line[1] == '\0');  // "+OK" is the verdict, not a challenge
}

// Every answer to a challenge carries credentials (or a token's error acknowledgement): the trace
// shows none of it. The AUTH line itself shows its mechanism only.
bool SendLine(ProtoTransport *connection, const std::string &text, bool secret) {
    std::string line = text + "\r\n";
    connection->trace_secret = secret;
    bool sent = ProtoSendCommand(connection, line.data(), static_cast<int32_t>(line.size()), kMailReplyTimeoutMs);
    connection->trace_secret = false;
    return sent;
}

bool ReadReply(ProtoTransport *connection, char *line, const SaslDialect &dialect) {
    int32_t n = ProtoReadReply(connection, line, kReplyRoom, kMailReplyTimeoutMs, dialect.framing);
    if (n < 0) line[0] = '\0';
    MailRecordResponse(line);
    return n > 0;
}

// A saslname of RFC 5801: "," and "=" would end or garble the authorization identity.
std::string SaslNameOf(const std::string &user) {
    std::string out;
    for (char c : user) {
        if (c == ',') out += "=2C";
        else if (c == '=') out += "=3D";
        else out += c;
    }
    return out;
}

// LOGIN's challenges are "Username:" and "Password:" in whatever case a server likes, and some
// send words of their own: asked for nothing recognisable, the user goes first.
std::string LoginAnswer(const std::string &challenge, int round, const SaslCredentials &credentials) {
    bool password = ContainsNoCaseA(challenge.c_str(), "pass") != 0 ||
                    (ContainsNoCaseA(challenge.c_str(), "user") == 0 && round > 0);
    return Base64Of(password ? credentials.secret : credentials.user);
}

}  // namespace

SaslMechanism SaslChoose(const std::string &offered, bool oauth) {
    std::string words = " " + offered + " ";
    for (char &c : words) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c == '\t') c = ' ';
    }
    auto has = [&](const char *name) { return words.find(std::string(" ") + name + " ") != std::string::npos; };
    if (oauth) return has("OAUTHBEARER") ? SaslMechanism::kOauthBearer
                      : has("XOAUTH2")   ? SaslMechanism::kXoauth2
                                         : SaslMechanism::kNone;
    return has("PLAIN") ? SaslMechanism::kPlain : has("LOGIN") ? SaslMechanism::kLogin : SaslMechanism::kNone;
}

const char *SaslName(SaslMechanism mechanism) {
    switch (mechanism) {
        case SaslMechanism::kPlain: return "PLAIN";
        case SaslMechanism::kLogin: return "LOGIN";
        case SaslMechanism::kXoauth2: return "XOAUTH2";
        case SaslMechanism::kOauthBearer: return "OAUTHBEARER";
        default: return "";
    }
}

std::string SaslInitialResponse(SaslMechanism mechanism, const SaslCredentials &credentials) {
    const std::string &user = credentials.user, &secret = credentials.secret;
    switch (mechanism) {
        case SaslMechanism::kPlain: return Base64Of(std::string(1, '\0') + user + '\0' + secret);
        case SaslMechanism::kXoauth2: return Base64Of("user=" + user + "\x01" "auth=Bearer " + secret + "\x01\x01");
        case SaslMechanism::kOauthBearer:
            return Base64Of("n,a=" + SaslNameOf(user) + ",\x01" "host=" + credentials.host + "\x01" "port=" +
                            std::to_string(credentials.port) + "\x01" "auth=Bearer " + secret + "\x01\x01");
        default: return {};
    }
}

bool SaslAuthenticate(ProtoTransport *connection, SaslMechanism mechanism, const SaslCredentials &credentials,
                      const SaslDialect &dialect) {
    if (mechanism == SaslMechanism::kNone) return false;
    std::string initial = SaslInitialResponse(mechanism, credentials);
    std::string command = std::string("AUTH ") + SaslName(mechanism);
    bool pending = !initial.empty();
    if (pending && command.size() + 1 + initial.size() + 2 <= dialect.line_limit) {
        command += " " + initial;
        pending = false;
    }
    if (!SendLine(connection, command, false)) return false;
    char line[kReplyRoom];
    for (int round = 0; round < kMostRounds; ++round) {
        if (!ReadReply(connection, line, dialect)) return false;
        if (ProtoReplyIsA(line, dialect.success)) return true;
        if (!IsChallenge(line, dialect)) return false;
        std::string answer;
        if (pending) {
            answer = initial;
            pending = false;
        } else if (mechanism == SaslMechanism::kLogin) {
            answer = LoginAnswer(DecodedChallenge(line, dialect), round, credentials);
        } else if (mechanism == SaslMechanism::kOauthBearer) {
            answer = "AQ==";  // a refused token's error challenge is answered with a lone 0x01
        } else if (mechanism != SaslMechanism::kXoauth2) {
            answer = "*";     // PLAIN has nothing more to say: call the exchange off
        }                     // XOAUTH2 answers its error challenge with an empty line
        if (!SendLine(connection, answer, true)) return false;
    }
    return false;
}
