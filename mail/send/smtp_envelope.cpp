// smtp_envelope.cpp -- the envelope of a stored message, whose addresses are taken from between
// the angle brackets of its From and To header values.
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/mail_text.h"
#include "mail/send/smtp.h"
#include "socket/text_helpers.h"

namespace {
// Header values are looked up into buffers of this size; so is the address taken from them.
constexpr int32_t kAddressSize = 640;

bool SameAt(const zk_wchar_t *text, const zk_wchar_t *pattern, int32_t length) {
    for (int32_t i = 0; i < length; ++i) {
        if (text[i] != pattern[i]) return false;
    }
    return true;
}
}  // namespace

int32_t ExtractBetweenW(const zk_wchar_t *text, zk_wchar_t *output, int32_t units, const zk_wchar_t *open,
                        const zk_wchar_t *close) {
    if (text == nullptr || output == nullptr || units <= 0 || open == nullptr || close == nullptr) return 0;
    output[0] = 0;
    int32_t length = WideLength(text), open_length = WideLength(open), close_length = WideLength(close);
    if (open_length == 0 || close_length == 0) return 0;
    int32_t start = -1;
    for (int32_t i = 0; i + open_length <= length; ++i) {
        if (SameAt(text + i, open, open_length)) {
            start = i + open_length;
            break;
        }
    }
    if (start < 0 || start >= length) return 0;
    for (int32_t i = start; i + close_length <= length; ++i) {
        if (!SameAt(text + i, close, close_length)) continue;
        int32_t count = i - start;
        if (count >= units) return 0;
        for (int32_t k = 0; k < count; ++k) output[k] = text[start + k];
        output[count] = 0;
        return count;
    }
    return 0;
}

int32_t ExtractBetween(const char *text, char *output, int32_t size, const char *open, const char *close) {
    if (text == nullptr || output == nullptr || size <= 0 || open == nullptr || close == nullptr) return 0;
    for (int32_t i = 0; i < size; ++i) output[i] = '\0';
    std::vector<zk_wchar_t> wide_text(static_cast<size_t>(size), 0), found(static_cast<size_t>(size), 0);
    zk_wchar_t wide_open[16] = {0}, wide_close[16] = {0};
    if (AnsiToWide(text, wide_text.data(), size) <= 0 || AnsiToWide(open, wide_open, 16) <= 0 ||
        AnsiToWide(close, wide_close, 16) <= 0) {
        return 0;
    }
    if (ExtractBetweenW(wide_text.data(), found.data(), size, wide_open, wide_close) <= 0) return 0;
    int32_t bytes = WideToAnsi(found.data(), output, size);
    return bytes > 0 ? bytes : 0;
}

bool SmtpResetIfOpen(MailHandle *handle) {
    if (!handle->transactionOpen) return true;
    if (!MailCommandA(handle->smtpSocket, "RSET", nullptr, "250")) return false;
    SmtpMessageDone(handle);
    return true;
}

int SmtpEnvelope(MailHandle *handle, const char *helo, const char *from_value, const char *to_value) {
    if (handle == nullptr || handle->smtpSocket == nullptr) {
        MailLastError = ZK_MAIL_NO_SESSION;
        return 0;
    }
    ProtoTransport *connection = handle->smtpSocket;
    bool greeted = handle->greeted ? SmtpResetIfOpen(handle)
                                   : MailCommandA(connection, "HELO", MailOneLineA(helo).c_str(), "250") != 0;
    if (!greeted) {
        MailLastError = ZK_MAIL_HELO_FAILED;
        return 0;
    }
    SmtpMessageOpened(handle);
    char address[kAddressSize] = {0};
    ExtractBetween(from_value, address, kAddressSize, "<", ">");
    if (!MailCommandA(connection, "MAIL FROM:", MailOneLineA(address).c_str(), "250")) {
        MailLastError = ZK_MAIL_FROM_FAILED;
        return 0;
    }
    address[0] = '\0';
    ExtractBetween(to_value, address, kAddressSize, "<", ">");
    if (!MailCommandA(connection, "RCPT TO:", MailOneLineA(address).c_str(), "250")) {
        MailLastError = ZK_MAIL_RCPT_FAILED;
        return 0;
    }
    if (!MailCommandA(connection, "DATA", nullptr, "354")) {
        MailLastError = ZK_MAIL_DATA_FAILED;
        return 0;
    }
    return 1;
}
