// compose_send.cpp -- the message after DATA: the header block in one send, then the body with
// the end of the data in one piece, right after it.
#include <cstring>
#include <string>
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/mail_text.h"
#include "mail/send/message_text.h"
#include "mail/send/smtp.h"
#include "proto/command.h"
#include "socket/text_helpers.h"

namespace {

// A stored header field (lines ending in LF) as wire text.
std::string FieldLines(const char *field) {
    std::string wire;
    bool line_start = true;
    AppendWireText(wire, field, strnlen(field, kMailFieldSize), &line_start);
    return wire;
}

// UTF-16 text in the ANSI code page; two bytes a unit always suffice. Empty when it does not convert.
std::string AnsiOf(const zk_wchar_t *text, size_t units) {
    if (text == nullptr || units == 0 || units > (INT32_MAX - 1) / 2) return std::string();
    std::vector<char> narrow(units * 2 + 1, '\0');
    int32_t n = WideToAnsi(text, narrow.data(), static_cast<int32_t>(narrow.size()));
    return n > 0 ? std::string(narrow.data(), static_cast<size_t>(n)) : std::string();
}

std::string AnsiOf(const MailWideText &text) { return AnsiOf(text.c_str(), text.size()); }

// Sends the header block, then the prepared body; the header's send is not judged (a broken
// connection fails the body's send as well).
bool SendMessage(MailHandle *handle, const std::string &from, const std::string &to, const std::string &subject_line,
                 const std::string &body_wire) {
    SocketHandle *connection = handle->smtpSocket;
    const std::string header = "From: " + from + "\r\n" + "To: " + to + "\r\n" + subject_line +
                               "MIME-Version: 1.0\r\n" + FieldLines(handle->contentType) +
                               "Content-Transfer-Encoding: 7bit\r\n" + FieldLines(handle->xMailer);
    ProtoSendAll(connection, header.data(), static_cast<int64_t>(header.size()));
    return ProtoSendAll(connection, body_wire.data(), static_cast<int64_t>(body_wire.size()));
}

}  // namespace

bool ComposeAndSendA(MailHandle *handle, const char *from, const char *to, const char *subject, const char *body,
                     int32_t width) {
    if (handle == nullptr || handle->smtpSocket == nullptr) return false;
    try {
        // The body is made ready first: one that cannot be leaves the data unsent, not half sent.
        std::string body_wire;
        if (!PrepareBody(body != nullptr ? body : "", body != nullptr ? std::strlen(body) : 0, width, &body_wire)) {
            return false;
        }
        return SendMessage(handle, MailOneLineA(from), MailOneLineA(to), SubjectLineA(MailOneLineA(subject)),
                           body_wire);
    } catch (...) {
        return false;
    }
}

bool ComposeAndSendW(MailHandle *handle, const zk_wchar_t *from, const zk_wchar_t *to, const zk_wchar_t *subject,
                     const zk_wchar_t *body, int32_t width) {
    if (handle == nullptr || handle->smtpSocket == nullptr) return false;
    try {
        size_t units = static_cast<size_t>(WideLength(body));
        std::string body_ansi = AnsiOf(body, units);
        if (units > 0 && body_ansi.empty()) return false;
        std::string body_wire;
        if (!PrepareBody(body_ansi.c_str(), body_ansi.size(), width, &body_wire)) return false;
        body_ansi = std::string();
        // The subject goes into ANSI within the conversion buffer of the encoded word.
        MailWideText subject_line = MailOneLineW(subject);
        char subject_ansi[512];
        if (WideToAnsi(subject_line.c_str(), subject_ansi, sizeof(subject_ansi)) <= 0) subject_ansi[0] = '\0';
        return SendMessage(handle, AnsiOf(MailOneLineW(from)), AnsiOf(MailOneLineW(to)), SubjectLineW(subject_ansi),
                           body_wire);
    } catch (...) {
        return false;
    }
}
