// mail_handle.cpp -- allocating and releasing session records, and the end of an SMTP session.
#include <new>

#include "mail/mail_exchange.h"
#include "mail/mail_session.h"
#include "proto/command.h"

MailHandle *MailNewHandle() { return new (std::nothrow) MailHandle(); }

void MailFreeHandle(MailHandle *handle) { delete handle; }

extern "C" {

ZK_EXPORT void ZK_API ZK_MailDisconnectSmtp(MailHandle *handle) {
    if (handle == nullptr || handle->smtpSocket == nullptr) {
        MailLastError = ZK_MAIL_NO_SESSION;
        return;
    }
    // The reply only becomes the last response: the session ends whatever it says, and the
    // last error stays as the caller's operations left it.
    static const char kQuit[] = "QUIT\r\n";
    if (ProtoSendCommand(handle->smtpSocket, kQuit, sizeof(kQuit) - 1, kMailReplyTimeoutMs)) {
        MailReadReplyA(handle->smtpSocket, nullptr, 0, "", kMailReplyTimeoutMs);
    }
    ProtoEndTls(handle->smtpSocket, 1000);
    ProtoCloseTransport(handle->smtpSocket);
    MailFreeHandle(handle);
}

}  // extern "C"
