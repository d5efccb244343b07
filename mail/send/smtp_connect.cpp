// smtp_connect.cpp -- opening an SMTP session: the connection and its 220 greeting, and a handle
// whose header fields hold their defaults. No command is sent: HELO belongs to each message.
#include "mail/mail_exchange.h"
#include "mail/send/smtp.h"
#include "socket/cut_text.h"

MailHandle *SmtpHandleFor(ProtoTransport *connection) {
    if (connection == nullptr) return nullptr;
    MailHandle *handle = MailNewHandle();
    if (handle == nullptr) {
        ProtoCloseTransport(connection);
        return nullptr;
    }
    handle->smtpSocket = connection;
    handle->pop3Socket = nullptr;
    MailSetDefaultFields(handle);
    return handle;
}

extern "C" {

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpA(const char *host, int32_t port, uint16_t family) {
    MailLastError = ZK_MAIL_OK;
    return SmtpHandleFor(MailOpenTransportA(host, port, "220", family));
}

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectSmtpW(const zk_wchar_t *host, int32_t port, uint16_t family) {
    MailLastError = ZK_MAIL_OK;
    return SmtpHandleFor(MailOpenTransportW(host, port, ZK_WTEXT("220"), family));
}

}  // extern "C"
