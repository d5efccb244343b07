// stored_message.cpp -- a stored message sent over SMTP: envelope, rebuilt header lines, body.
// The header fields and the body go out as they stand in the file, so that the encoded words of
// the fields and the charset the Content-Type names still describe what is sent.
#include "mail/send/stored_message.h"

#include <cstring>
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/receive/header_lines.h"
#include "mail/send/address_list.h"
#include "mail/send/header_words.h"
#include "mail/send/message_text.h"
#include "mail/send/smtp.h"
#include "proto/command.h"
#include "socket/text_helpers.h"

namespace {

constexpr int32_t kAddressSize = 640;

enum class Rewrite { kNone, kSubject, kAddresses };

struct StoredField {
    const char *name;
    bool always;      // sent empty when the message lacks it
    Rewrite rewrite;  // how a value holding 8-bit bytes is encoded again
};

const StoredField kFields[] = {
    {"From", true, Rewrite::kAddresses},
    {"To", true, Rewrite::kAddresses},
    {"Subject", true, Rewrite::kSubject},
    {"Date", true, Rewrite::kNone},
    {"MIME-Version", false, Rewrite::kNone},
    {"Content-Type", false, Rewrite::kNone},
    {"Content-Transfer-Encoding", false, Rewrite::kNone},
    {"X-Priority", false, Rewrite::kNone},
    {"X-MSMail-Priority", false, Rewrite::kNone},
    {"Importance", false, Rewrite::kNone},
    {"X-Unsent", false, Rewrite::kNone},
    {"X-MimeOLE", false, Rewrite::kNone},
};

bool SendPiece(MailHandle *handle, const std::string &piece) {
    return ProtoSend(handle->smtpSocket, piece.data(), static_cast<int64_t>(piece.size()), kMailReplyTimeoutMs, nullptr);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool NamesField(const HeaderLine &line, const std::string &name) {
    if (line.length <= name.size() || line.start[name.size()] != ':') return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char c = line.start[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        char n = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
        if (c != n) return false;
    }
    return true;
}

// A field's value as the message holds it: from its first line (the blanks after the colon
// passed over) with its continuation lines as they stand, encoded words and folding kept; a value
// that starts on a continuation line starts the field's first line instead. Several occurrences
// come as one value, each on a line of its own. False when the message lacks the field.
bool StoredValue(const char *text, const std::string &name, std::string *value) {
    value->clear();
    bool found = false, in_field = false, open_line = false;
    HeaderLine line;
    for (const char *p = text; *p != '\0' && CopyHeaderLine(p, &line) > 0; p = line.next) {
        if (in_field && IsBlank(line.start[0])) {
            size_t skip = 0;
            while (open_line && skip < line.length && IsBlank(line.start[skip])) ++skip;
            if (!open_line) *value += "\r\n";
            value->append(line.start + skip, line.length - skip);
            open_line = open_line && skip == line.length;
            continue;
        }
        in_field = NamesField(line, name);
        if (!in_field) continue;
        size_t start = name.size() + 1;
        while (start < line.length && IsBlank(line.start[start])) ++start;
        if (found) *value += "\r\n ";
        value->append(line.start + start, line.length - start);
        open_line = start == line.length;
        found = true;
    }
    return found;
}

// A field that holds 8-bit bytes (a mailer that wrote Shift_JIS straight into its header) as the
// header lookup reads it, encoded again as ISO-2022-JP words.
std::string Reencoded(const char *text, const StoredField &field, size_t raw_length) {
    std::string tag = std::string(field.name) + ":";
    std::vector<char> value(2 * raw_length + 16, '\0');  // the lookup wants room beyond the value
    int32_t n = ZK_MailGetHeaderTagA(text, tag.c_str(), value.data(), static_cast<int32_t>(value.size()));
    std::string ready = JisReadyText(value.data(), n > 0 ? static_cast<size_t>(n) : 0);
    if (field.rewrite == Rewrite::kSubject) return SubjectField(ready, MailCharset::kIso2022Jp, true);
    return AddressField(tag.c_str(), ready, MailCharset::kIso2022Jp);
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

int SendStoredHeaders(MailHandle *handle, const char *text) {
    if (handle == nullptr || handle->smtpSocket == nullptr) return Failed();
    std::string block;
    for (const StoredField &field : kFields) {
        std::string value;
        if (!StoredValue(text, field.name, &value) && !field.always) continue;
        if (field.rewrite != Rewrite::kNone && HasEightBit(value)) {
            block += Reencoded(text, field, value.size());
        } else {
            block += std::string(field.name) + ": " + value + "\r\n";
        }
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
    if (MailReadReplyA(handle->smtpSocket, nullptr, 0, "250", kMailFinalReplyTimeoutMs) != 0) return Failed();
    return 1;
}

int SendStoredMessage(MailHandle *handle, const char *helo, const char *text, size_t length) {
    char from[kAddressSize], to[kAddressSize];
    if (ZK_MailGetHeaderTagA(text, "From:", from, kAddressSize) <= 0) return 0;
    if (ZK_MailGetHeaderTagA(text, "To:", to, kAddressSize) <= 0) return 0;
    if (!SmtpEnvelope(handle, helo, from, to)) return 0;
    int64_t sent_before = handle->smtpSocket->sent_bytes;
    bool sent = SendStoredHeaders(handle, text) && SendStoredBody(handle, text, length);
    MailTraceData(handle->smtpSocket, sent_before);
    if (!sent) return 0;
    SmtpMessageDone(handle);
    return 1;
}
