// compose_send.cpp -- the message after DATA: the header block in one send, then the body with
// the end of the data in one piece, right after it. The texts are first made into the form of the
// message's charset: Shift_JIS made ready for ISO-2022-JP, or UTF-8.
#include <cstring>
#include <string>
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/mail_text.h"
#include "mail/send/address_list.h"
#include "mail/send/header_words.h"
#include "mail/send/message_text.h"
#include "mail/send/smtp.h"
#include "proto/command.h"
#include "socket/text_helpers.h"

namespace {

// The texts of a message in the form of its charset; the body as it goes out.
struct MessageTexts {
    MailCharset charset;
    std::string from, to, subject;
    std::string body_wire;
};

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

// An ANSI header text in the charset's form.
std::string HeaderText(const std::string &ansi, MailCharset charset) {
    return charset == MailCharset::kUtf8 ? Utf8OfAnsi(ansi.c_str(), ansi.size())
                                         : JisReadyText(ansi.c_str(), ansi.size());
}

std::string HeaderText(const MailWideText &wide, MailCharset charset) {
    return charset == MailCharset::kUtf8 ? Utf8OfWide(wide.c_str(), wide.size()) : HeaderText(AnsiOf(wide), charset);
}

// Sends the header block, then the prepared body; a header block that does not go out whole
// (the server stopped taking bytes) leaves the body unsent.
bool SendMessage(MailHandle *handle, const MessageTexts &texts, bool wide) {
    ProtoTransport *connection = handle->smtpSocket;
    const bool utf8 = texts.charset == MailCharset::kUtf8;
    const std::string header = AddressField("From:", texts.from, texts.charset) +
                               AddressField("To:", texts.to, texts.charset) +
                               SubjectField(texts.subject, texts.charset, wide) + "MIME-Version: 1.0\r\n" +
                               FieldLines(handle->contentType) + "Content-Transfer-Encoding: " +
                               (utf8 ? "base64" : "7bit") + "\r\n" + FieldLines(handle->xMailer);
    return ProtoSend(connection, header.data(), static_cast<int64_t>(header.size()), kMailReplyTimeoutMs, nullptr) &&
           ProtoSend(connection, texts.body_wire.data(), static_cast<int64_t>(texts.body_wire.size()),
                     kMailReplyTimeoutMs, nullptr);
}

}  // namespace

bool ComposeAndSendA(MailHandle *handle, const char *from, const char *to, const char *subject, const char *body,
                     int32_t width) {
    if (handle == nullptr || handle->smtpSocket == nullptr) return false;
    try {
        MessageTexts texts;
        texts.charset = MessageCharset(handle);
        // The body is made ready first: one that cannot be leaves the data unsent, not half sent.
        size_t length = body != nullptr ? std::strlen(body) : 0;
        bool ready = texts.charset == MailCharset::kUtf8
                         ? PrepareUtf8Body(Utf8OfAnsi(body, length), width, &texts.body_wire)
                         : PrepareBody(body != nullptr ? body : "", length, width, &texts.body_wire);
        if (!ready) return false;
        texts.from = HeaderText(MailOneLineA(from), texts.charset);
        texts.to = HeaderText(MailOneLineA(to), texts.charset);
        texts.subject = HeaderText(MailOneLineA(subject), texts.charset);
        return SendMessage(handle, texts, false);
    } catch (...) {
        return false;
    }
}

bool ComposeAndSendW(MailHandle *handle, const zk_wchar_t *from, const zk_wchar_t *to, const zk_wchar_t *subject,
                     const zk_wchar_t *body, int32_t width) {
    if (handle == nullptr || handle->smtpSocket == nullptr) return false;
    try {
        MessageTexts texts;
        texts.charset = MessageCharset(handle);
        size_t units = static_cast<size_t>(WideLength(body));
        if (texts.charset == MailCharset::kUtf8) {
            // Straight from UTF-16: every character goes, also those the ANSI code page lacks.
            if (!PrepareUtf8Body(Utf8OfWide(body, units), width, &texts.body_wire)) return false;
        } else {
            std::string body_ansi = AnsiOf(body, units);
            if (units > 0 && body_ansi.empty()) return false;
            if (!PrepareBody(body_ansi.c_str(), body_ansi.size(), width, &texts.body_wire)) return false;
        }
        texts.from = HeaderText(MailOneLineW(from), texts.charset);
        texts.to = HeaderText(MailOneLineW(to), texts.charset);
        texts.subject = HeaderText(MailOneLineW(subject), texts.charset);
        return SendMessage(handle, texts, true);
    } catch (...) {
        return false;
    }
}
