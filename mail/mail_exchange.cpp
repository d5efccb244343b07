// mail_exchange.cpp -- the mail dialogue on the line-protocol engine: replies read to their final
// line and judged by the code (or POP3 status) that line begins with, as servers quote addresses
// and numbers freely in the rest; command lines formatted, guarded and sent whole.
#include "mail/mail_exchange.h"

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "proto/command.h"
#include "proto/reply.h"
#include "socket/cut_text.h"
#include "socket/socket_handle.h"
#include "socket/text_helpers.h"
#include "socket/trace.h"

namespace {

// Room for a reply line as read; what is kept of it is cut to the stores afterwards.
constexpr int32_t kReplyRoom = 2048;
constexpr int32_t kStreamKind = 1;

// Reads the final line of a reply into `line` and MailLastResponse; its length, below 1 when
// nothing (or an empty line) arrived.
int32_t ReceiveReply(ProtoTransport *connection, char *line, uint32_t timeout_ms) {
    int32_t n = ProtoReadReply(connection, line, kReplyRoom, timeout_ms, kProtoCodedLines);
    if (n < 0) line[0] = '\0';
    MailRecordResponse(line);
    return n;
}

}  // namespace

int MailReadReplyA(ProtoTransport *connection, char *buffer, int32_t size, const char *expected, uint32_t timeout_ms) {
    char line[kReplyRoom];
    int32_t n = ReceiveReply(connection, line, timeout_ms);
    if (buffer != nullptr && size > 0) {
        std::memset(buffer, 0, static_cast<size_t>(size));
        CopyCutA(buffer, size, line);
    }
    if (n < 1) return 3;
    // Judged on the whole line, not on what a small buffer kept of it.
    return ProtoReplyIsA(line, expected) ? 0 : 5;
}

int MailReadReplyW(ProtoTransport *connection, zk_wchar_t *buffer, int32_t units, const zk_wchar_t *expected,
                   uint32_t timeout_ms) {
    if (buffer != nullptr && units > 0) std::memset(buffer, 0, static_cast<size_t>(units) * sizeof(zk_wchar_t));
    char line[kReplyRoom];
    if (ReceiveReply(connection, line, timeout_ms) < 1) return 3;
    std::vector<zk_wchar_t> wide(kReplyRoom + 1, 0);
    AnsiToWideCut(line, wide.data(), static_cast<int32_t>(wide.size()));
    if (buffer != nullptr) CopyCutW(buffer, units, wide.data());
    return ProtoReplyIsW(wide.data(), expected) ? 0 : 5;
}

namespace {
// A message goes out as a few sends in a row (the header block, then the body) with no reply in
// between: none of them may wait for the acknowledgement of the one before.
void SendAtOnce(ProtoTransport *connection) {
    DWORD on = 1;
    win::setsockopt(connection->socket->socket, win::kIpprotoTcp, win::kTcpNoDelay, reinterpret_cast<const char *>(&on),
                    sizeof(on));
}
}  // namespace

ProtoTransport *MailTransportOver(SocketHandle *socket, const char *family) {
    ProtoTransport *connection = ProtoOpenTransport(socket);
    if (connection == nullptr) {
        MailLastError = ZK_MAIL_NO_CONNECTION;
        return nullptr;
    }
    ProtoTraceAs(connection, family, nullptr);
    SendAtOnce(connection);
    return connection;
}

ProtoTransport *MailOpenTransportA(const char *host, int32_t port, const char *greeting, uint16_t family) {
    ProtoTransport *connection =
        MailTransportOver(ZK_SocketOpenClientA(kStreamKind, host, port, family), greeting[0] == '+' ? "POP3" : "SMTP");
    if (connection == nullptr) return nullptr;
    if (MailReadReplyA(connection, nullptr, 0, greeting, kMailReplyTimeoutMs) != 0) {
        MailLastError = ZK_MAIL_NO_REPLY;
        ProtoCloseTransport(connection);
        return nullptr;
    }
    return connection;
}

ProtoTransport *MailOpenTransportW(const zk_wchar_t *host, int32_t port, const zk_wchar_t *greeting, uint16_t family) {
    ProtoTransport *connection =
        MailTransportOver(ZK_SocketOpenClientW(kStreamKind, host, port, family), greeting[0] == '+' ? "POP3" : "SMTP");
    if (connection == nullptr) return nullptr;
    if (MailReadReplyW(connection, nullptr, 0, greeting, kMailReplyTimeoutMs) != 0) {
        MailLastError = ZK_MAIL_NO_REPLY;
        ProtoCloseTransport(connection);
        return nullptr;
    }
    return connection;
}

namespace {
// Sends a formatted line (length -1: refused by the formatter) and reads the reply.
int Exchange(ProtoTransport *connection, const char *line, int32_t length, const char *expected_a,
             const zk_wchar_t *expected_w) {
    if (length < 0 || !ProtoSendCommand(connection, line, length, kMailReplyTimeoutMs)) return ZK_MAIL_NOT_SENT;
    return expected_w != nullptr ? MailReadReplyW(connection, nullptr, 0, expected_w, kMailReplyTimeoutMs)
                                 : MailReadReplyA(connection, nullptr, 0, expected_a, kMailReplyTimeoutMs);
}

int Outcome(int rc) {
    if (rc == 0) return 1;
    MailLastError = static_cast<uint32_t>(rc);
    return 0;
}
}  // namespace

int MailCommandA(ProtoTransport *connection, const char *command, const char *argument, const char *expected) {
    char line[kProtoLineBytes];
    int32_t length = ProtoFormatCommandA(line, command, argument);
    return Outcome(Exchange(connection, line, length, expected != nullptr ? expected : "", nullptr));
}

int MailCommandW(ProtoTransport *connection, const zk_wchar_t *command, const zk_wchar_t *argument,
                 const zk_wchar_t *expected) {
    static const zk_wchar_t kEmpty[1] = {0};
    char line[kProtoLineBytes];
    int32_t length = ProtoFormatCommandW(line, command, argument);
    return Outcome(Exchange(connection, line, length, nullptr, expected != nullptr ? expected : kEmpty));
}

void MailTraceData(ProtoTransport *connection, int64_t sent_before) {
    if (connection == nullptr || !TraceOn()) return;
    std::string event = "message data: " + std::to_string(connection->sent_bytes - sent_before) + " bytes";
    ProtoTraceEvent(connection, event.c_str());
}

bool MailSendLine(ProtoTransport *connection, const char *text) {
    if (connection == nullptr || text == nullptr) return false;
    return ProtoSend(connection, text, static_cast<int64_t>(std::strlen(text)), kMailReplyTimeoutMs, nullptr);
}

bool MailSendTextW(ProtoTransport *connection, const zk_wchar_t *text) {
    if (connection == nullptr || text == nullptr) return false;
    // Two bytes a unit hold any text of the ANSI code page, with room for the terminator.
    int64_t units = WideLength(text);
    if (units > (INT32_MAX - 1) / 2) return false;
    std::vector<char> narrow(static_cast<size_t>(units) * 2 + 1, '\0');
    int32_t n = units == 0 ? 0 : WideToAnsi(text, narrow.data(), static_cast<int32_t>(narrow.size()));
    return (units == 0 || n > 0) && ProtoSend(connection, narrow.data(), n, kMailReplyTimeoutMs, nullptr);
}
