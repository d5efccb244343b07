// smtp_send.cpp -- one message over an open SMTP session: HELO, MAIL FROM, RCPT TO, DATA, the
// composed message, and the server's reply to it, which alone tells whether it was taken.
#include "mail/mail_exchange.h"
#include "mail/mail_text.h"
#include "mail/send/smtp.h"
#include "socket/cut_text.h"

namespace {

// The step under way; a step that fails replaces the exchange's 3, 4 or 5 with its own code.
struct Step {
    uint32_t code = ZK_MAIL_NO_SESSION;
    bool Fail() {
        MailLastError = code;
        return false;
    }
};

template <typename Char, typename Command, typename Read, typename Compose>
int32_t SendMessage(MailHandle *handle, Command command, Read read_reply, Compose compose, const Char *helo,
                    const Char *from, const Char *to, const Char *ok, const Char *go_ahead) {
    Step step;
    try {
        if (handle == nullptr || handle->smtpSocket == nullptr) return step.Fail();
        step.code = ZK_MAIL_HELO_FAILED;
        if (!command(handle->smtpSocket, "HELO", helo, ok)) return step.Fail();
        step.code = ZK_MAIL_FROM_FAILED;
        if (!command(handle->smtpSocket, "MAIL FROM:", from, ok)) return step.Fail();
        step.code = ZK_MAIL_RCPT_FAILED;
        if (!command(handle->smtpSocket, "RCPT TO:", to, ok)) return step.Fail();
        step.code = ZK_MAIL_DATA_FAILED;
        if (!command(handle->smtpSocket, "DATA", nullptr, go_ahead)) return step.Fail();
        if (!compose()) return step.Fail();
        // A message the server did not answer with 250 was not taken, whatever went out.
        if (read_reply(handle->smtpSocket, ok) != 0) return step.Fail();
        return 1;
    } catch (...) {
        return step.Fail();
    }
}

// No memory for the texts of the first command: nothing was sent.
int32_t OutOfMemory(MailHandle *handle) {
    MailLastError = handle == nullptr || handle->smtpSocket == nullptr ? ZK_MAIL_NO_SESSION : ZK_MAIL_HELO_FAILED;
    return 0;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_MailSendA(MailHandle *handle, const char *helo, const char *from, const char *to,
                                      const char *subject, const char *body, int32_t width) {
    try {
    std::string h = MailOneLineA(helo), f = MailOneLineA(from), t = MailOneLineA(to);
    return SendMessage<char>(
        handle,
        [](SocketHandle *s, const char *verb, const char *argument, const char *expected) {
            return MailCommandA(s, verb, argument, expected) != 0;
        },
        [](SocketHandle *s, const char *expected) {
            return MailReadReplyA(s, nullptr, 0, expected, kMailReplyTimeoutMs);
        },
        [&] { return ComposeAndSendA(handle, f.c_str(), t.c_str(), subject, body, width); }, h.c_str(), f.c_str(),
        t.c_str(), "250", "354");
    } catch (...) {
        return OutOfMemory(handle);
    }
}

ZK_EXPORT int32_t ZK_API ZK_MailSendW(MailHandle *handle, const zk_wchar_t *helo, const zk_wchar_t *from,
                                      const zk_wchar_t *to, const zk_wchar_t *subject, const zk_wchar_t *body,
                                      int32_t width) {
    try {
    MailWideText h = MailOneLineW(helo), f = MailOneLineW(from), t = MailOneLineW(to);
    return SendMessage<zk_wchar_t>(
        handle,
        [](SocketHandle *s, const char *verb, const zk_wchar_t *argument, const zk_wchar_t *expected) {
            MailWideText wide_verb(verb, verb + std::char_traits<char>::length(verb));
            return MailCommandW(s, wide_verb.c_str(), argument, expected) != 0;
        },
        [](SocketHandle *s, const zk_wchar_t *expected) {
            return MailReadReplyW(s, nullptr, 0, expected, kMailReplyTimeoutMs);
        },
        [&] { return ComposeAndSendW(handle, f.c_str(), t.c_str(), subject, body, width); }, h.c_str(), f.c_str(),
        t.c_str(), ZK_WTEXT("250"), ZK_WTEXT("354"));
    } catch (...) {
        return OutOfMemory(handle);
    }
}

}  // extern "C"
