// stored_message.cpp -- a stored message sent over SMTP: envelope, rebuilt header lines, body.
// The body goes out as it stands in the file, so that the charset its Content-Type names (which
// is rebuilt as stored) still describes it.
#include "mail/send/stored_message.h"

#include <cstring>

#include "mail/mail_exchange.h"
#include "mail/mail_text.h"
#include "mail/receive/header_lines.h"
#include "mail/send/message_text.h"
#include "mail/send/smtp.h"
#include "proto/command.h"
#include "socket/text_helpers.h"

namespace {

constexpr int32_t kAddressSize = 640;
constexpr int32_t kValueSize = 512;

struct StoredField {
    const char *name;
    bool always;  // sent empty when the message lacks it
};

const StoredField kFields[] = {
    {"Subject", true},
    {"Date", true},
    {"MIME-Version", false},
    {"Content-Type", false},
    {"Content-Transfer-Encoding", false},
    {"X-Priority", false},
    {"X-MSMail-Priority", false},
    {"Importance", false},
    {"X-Unsent", false},
    {"X-MimeOLE", false},
};

bool SendPiece(MailHandle *handle, const std::string &piece) {
    return ProtoSendAll(handle->smtpSocket, piece.data(), static_cast<int64_t>(piece.size()));
}

// "Name: value" with CR LF; a CR or LF inside the value (repeated fields come joined by CR LF)
// becomes a space, so that no value starts a line of its own.
std::string FieldLine(const char *name, const char *value) {
    return std::string(name) + ": " + MailOneLineA(value) + "\r\n";
}

int Failed() {
    MailLastError = ZK_MAIL_DATA_FAILED;
    return 0;
}

}  // namespace

std::string StoredMessageText(const char *bytes, size_t length) {
    length = bytes == nullptr ? 0 : strnlen(bytes, length);
    // A last line holding only a space after the final line break is no line of the message.
    if (length >= 2 && bytes[length - 1] == ' ' && bytes[length - 2] == '\n') --length;
    std::string text;
    text.reserve(length + length / 16 + 2);
    bool line_start = true;
    AppendCrLfText(text, bytes, length, &line_start);
    return text;
}

int SendStoredHeaders(MailHandle *handle, const char *text, const char *from, const char *to) {
    if (handle == nullptr || handle->smtpSocket == nullptr) return Failed();
    std::string block = FieldLine("From", from) + FieldLine("To", to);
    for (const StoredField &field : kFields) {
        std::string tag = std::string(field.name) + ":";
        char value[kValueSize];
        // A value that does not fit is left out rather than cut (the A lookup then clears it).
        int32_t length = ZK_MailGetHeaderTagA(text, tag.c_str(), value, kValueSize);
        if (length <= 0) value[0] = '\0';
        if (length <= 0 && !field.always) continue;
        block += FieldLine(field.name, value);
    }
    // The lines go out together, in one send.
    return SendPiece(handle, block) ? 1 : Failed();
}

int SendStoredBody(MailHandle *handle, const char *text, size_t length) {
    if (handle == nullptr || handle->smtpSocket == nullptr) return Failed();
    char encoding[1024];
    ZK_MailGetTransferEncodeA(text, encoding, sizeof(encoding));
    const char *body = "";
    size_t body_length = 0;
    if (ContainsNoCaseA(encoding, "7bit")) {
        int64_t end = FindHeaderEnd(text);
        if (end >= 0 && static_cast<size_t>(end) <= length) {
            body = text + end;
            body_length = length - static_cast<size_t>(end);
        }
    }
    std::string wire;
    wire.reserve(body_length + body_length / 32 + 8);
    bool line_start = true;  // the rebuilt header lines end their last line
    AppendWireText(wire, body, body_length, &line_start);
    AppendEndOfData(wire, line_start);
    if (!SendPiece(handle, wire)) return Failed();
    // The server's answer to the message decides; it stays in the last response either way.
    if (MailReadReplyA(handle->smtpSocket, nullptr, 0, "250", kMailReplyTimeoutMs) != 0) return Failed();
    return 1;
}

int SendStoredMessage(MailHandle *handle, const char *helo, const char *text, size_t length) {
    char from[kAddressSize], to[kAddressSize];
    if (ZK_MailGetHeaderTagA(text, "From:", from, kAddressSize) <= 0) return 0;
    if (ZK_MailGetHeaderTagA(text, "To:", to, kAddressSize) <= 0) return 0;
    if (!SmtpEnvelope(handle, helo, from, to)) return 0;
    if (!SendStoredHeaders(handle, text, from, to)) return 0;
    return SendStoredBody(handle, text, length);
}
