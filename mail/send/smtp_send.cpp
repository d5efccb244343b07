// smtp_send.cpp -- one message over an open SMTP session: HELO, MAIL FROM, one RCPT TO for each
// address of the to text, DATA, the composed message, and the server's reply to it, which alone
// tells whether it was taken. The envelope takes the address between "<" and ">" where a text
// has one, so that display names stay in the header, where they belong.
#include <string>
#include <vector>

#include "mail/mail_exchange.h"
#include "mail/mail_text.h"
#include "mail/send/address_list.h"
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

// The envelope of a message: the MAIL FROM argument and one RCPT TO argument per address.
template <typename Text>
struct Envelope {
    Text from;
    std::vector<Text> to;
};

template <typename Text>
Envelope<Text> EnvelopeOf(const Text &from, const Text &to, std::vector<AddressEntry> from_entries,
                          std::vector<AddressEntry> to_entries) {
    Envelope<Text> envelope;
    // A from text that lists several addresses sends from the first.
    if (!from_entries.empty()) envelope.from = EnvelopeAddress(from, from_entries.front());
    for (const AddressEntry &entry : to_entries) envelope.to.push_back(EnvelopeAddress(to, entry));
    // A to text without any address still gives its RCPT TO, for the server to judge.
    if (envelope.to.empty()) envelope.to.push_back(Text());
    return envelope;
}

template <typename Char, typename Command, typename Read, typename Compose>
int32_t SendMessage(MailHandle *handle, Command command, Read read_reply, Compose compose, const Char *helo,
                    const Envelope<std::basic_string<Char>> &envelope, const Char *ok, const Char *go_ahead) {
    Step step;
    try {
        if (handle == nullptr || handle->smtpSocket == nullptr) return step.Fail();
        step.code = ZK_MAIL_HELO_FAILED;
        if (handle->greeted ? !SmtpResetIfOpen(handle) : !command(handle->smtpSocket, "HELO", helo, ok)) {
            return step.Fail();
        }
        SmtpMessageOpened(handle);
        step.code = ZK_MAIL_FROM_FAILED;
        if (!command(handle->smtpSocket, "MAIL FROM:", envelope.from.c_str(), ok)) return step.Fail();
        // Every recipient is judged; one refused fails the message before its data goes.
        step.code = ZK_MAIL_RCPT_FAILED;
        for (const auto &to : envelope.to) {
            if (!command(handle->smtpSocket, "RCPT TO:", to.c_str(), ok)) return step.Fail();
        }
        step.code = ZK_MAIL_DATA_FAILED;
        if (!command(handle->smtpSocket, "DATA", nullptr, go_ahead)) return step.Fail();
        int64_t sent_before = handle->smtpSocket->sent_bytes;
        bool composed = compose();
        MailTraceData(handle->smtpSocket, sent_before);
        if (!composed) return step.Fail();
        // A message the server did not answer with 250 was not taken, whatever went out.
        if (read_reply(handle->smtpSocket, ok) != 0) return step.Fail();
        SmtpMessageDone(handle);
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
        Envelope<std::string> envelope =
            EnvelopeOf(f, t, SplitAddresses(f.data(), f.size(), true), SplitAddresses(t.data(), t.size(), true));
        return SendMessage<char>(
            handle,
            [](ProtoTransport *s, const char *verb, const char *argument, const char *expected) {
                return MailCommandA(s, verb, argument, expected) != 0;
            },
            [](ProtoTransport *s, const char *expected) {
                return MailReadReplyA(s, nullptr, 0, expected, kMailFinalReplyTimeoutMs);
            },
            [&] { return ComposeAndSendA(handle, f.c_str(), t.c_str(), subject, body, width); }, h.c_str(), envelope,
            "250", "354");
    } catch (...) {
        return OutOfMemory(handle);
    }
}

ZK_EXPORT int32_t ZK_API ZK_MailSendW(MailHandle *handle, const zk_wchar_t *helo, const zk_wchar_t *from,
                                      const zk_wchar_t *to, const zk_wchar_t *subject, const zk_wchar_t *body,
                                      int32_t width) {
    try {
        MailWideText h = MailOneLineW(helo), f = MailOneLineW(from), t = MailOneLineW(to);
        Envelope<MailWideText> envelope =
            EnvelopeOf(f, t, SplitAddresses(f.data(), f.size()), SplitAddresses(t.data(), t.size()));
        return SendMessage<zk_wchar_t>(
            handle,
            [](ProtoTransport *s, const char *verb, const zk_wchar_t *argument, const zk_wchar_t *expected) {
                MailWideText wide_verb(verb, verb + std::char_traits<char>::length(verb));
                return MailCommandW(s, wide_verb.c_str(), argument, expected) != 0;
            },
            [](ProtoTransport *s, const zk_wchar_t *expected) {
                return MailReadReplyW(s, nullptr, 0, expected, kMailFinalReplyTimeoutMs);
            },
            [&] { return ComposeAndSendW(handle, f.c_str(), t.c_str(), subject, body, width); }, h.c_str(), envelope,
            ZK_WTEXT("250"), ZK_WTEXT("354"));
    } catch (...) {
        return OutOfMemory(handle);
    }
}

}  // extern "C"
