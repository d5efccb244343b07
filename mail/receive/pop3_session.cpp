// pop3_session.cpp -- a POP3 session: the connection with its "+OK" greeting, the login with USER
// and PASS, deletion, and the end with QUIT. A status line is judged by how it begins, without
// case, as servers answer "+OK" and "+ok" alike; an "-ERR" that quotes "+OK" is still a refusal.
#include <cstring>

#include "mail/mail_exchange.h"
#include "mail/receive/pop3.h"
#include "platform/platform.h"
#include "proto/command.h"
#include "proto/reply.h"
#include "socket/cut_text.h"
#include "socket/text_helpers.h"

namespace {
// Room for a status line as read; what is kept of it is cut to the stores afterwards.
constexpr int32_t kStatusRoom = 2048;
}  // namespace

ProtoTransport *Pop3Socket(MailHandle *handle) { return handle != nullptr ? handle->pop3Socket : nullptr; }

bool Pop3Send(ProtoTransport *connection, const char *line, int32_t length) {
    return connection != nullptr && ProtoSendCommand(connection, line, length);
}

bool Pop3SendNumbered(ProtoTransport *connection, const char *verb, int32_t number) {
    char line[64];
    int length = win::FormatA(line, sizeof(line), "%s %d\r\n", verb, static_cast<int>(number));
    return Pop3Send(connection, line, length);
}

bool Pop3ReadStatus(ProtoTransport *connection, char *status, int32_t size) {
    char line[kStatusRoom];
    int32_t n = ProtoReadReply(connection, line, kStatusRoom, kMailReplyTimeoutMs, kProtoOneLine);
    if (n < 0) line[0] = '\0';
    MailRecordResponse(line);
    if (status != nullptr && size > 0) {
        std::memset(status, 0, static_cast<size_t>(size));
        CopyCutA(status, size, line);
    }
    return n > 0 && ProtoReplyIsA(line, "+OK");
}

int Pop3LoginA(ProtoTransport *connection, const char *user, const char *password) {
    if (!MailCommandA(connection, "USER", user, "+OK")) {
        if (MailLastError == ZK_MAIL_REFUSED) MailLastError = ZK_MAIL_LOGIN_REFUSED;
        return 0;
    }
    if (!MailCommandA(connection, "PASS", password, "+OK")) {
        MailLastError = ZK_MAIL_LOGIN_REFUSED;
        return 0;
    }
    return 1;
}

int Pop3LoginW(ProtoTransport *connection, const zk_wchar_t *user, const zk_wchar_t *password, bool *user_refused) {
    if (!MailCommandW(connection, ZK_WTEXT("USER"), user, ZK_WTEXT("+OK"))) {
        if (MailLastError == ZK_MAIL_REFUSED) {
            MailLastError = ZK_MAIL_LOGIN_REFUSED;
            if (user_refused != nullptr) *user_refused = true;
        }
        return 0;
    }
    if (!MailCommandW(connection, ZK_WTEXT("PASS"), password, ZK_WTEXT("+OK"))) {
        MailLastError = ZK_MAIL_LOGIN_REFUSED;
        return 0;
    }
    return 1;
}

MailHandle *Pop3HandleFor(ProtoTransport *connection) {
    if (connection == nullptr) return nullptr;
    MailHandle *handle = MailNewHandle();
    if (handle == nullptr) {
        ProtoCloseTransport(connection);
        return nullptr;
    }
    handle->pop3Socket = connection;
    return handle;
}

extern "C" {

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3A(const char *host, const char *user, const char *password,
                                                 int32_t port, uint16_t family) {
    MailLastError = ZK_MAIL_OK;
    ProtoTransport *connection = nullptr;
    try {
        connection = MailOpenTransportA(host, port, "+OK", family);
        if (connection == nullptr) return nullptr;
        if (Pop3LoginA(connection, user, password)) return Pop3HandleFor(connection);
    } catch (...) {
        if (MailLastError == ZK_MAIL_OK) MailLastError = ZK_MAIL_NOT_SENT;
    }
    if (connection != nullptr) ProtoCloseTransport(connection);
    return nullptr;
}

ZK_EXPORT MailHandle *ZK_API ZK_MailConnectPop3W(const zk_wchar_t *host, const zk_wchar_t *user,
                                                 const zk_wchar_t *password, int32_t port, uint16_t family) {
    MailLastError = ZK_MAIL_OK;
    ProtoTransport *connection = nullptr;
    try {
        connection = MailOpenTransportW(host, port, ZK_WTEXT("+OK"), family);
        if (connection == nullptr) return nullptr;
        if (Pop3LoginW(connection, user, password)) return Pop3HandleFor(connection);
    } catch (...) {
        if (MailLastError == ZK_MAIL_OK) MailLastError = ZK_MAIL_NOT_SENT;
    }
    if (connection != nullptr) ProtoCloseTransport(connection);
    return nullptr;
}

ZK_EXPORT int32_t ZK_API ZK_MailDelete(MailHandle *handle, int32_t number) {
    ProtoTransport *connection = Pop3Socket(handle);
    if (connection == nullptr) return 0;
    if (!Pop3SendNumbered(connection, "DELE", number)) {
        MailRecordResponse("");
        return 0;
    }
    return Pop3ReadStatus(connection, nullptr, 0) ? 1 : 0;
}

ZK_EXPORT void ZK_API ZK_MailDisconnectPop3(MailHandle *handle) {
    ProtoTransport *connection = Pop3Socket(handle);
    if (connection == nullptr) {
        MailLastError = ZK_MAIL_NO_SESSION;
        return;
    }
    // Any reply, or none within the wait, ends the session; the reply becomes the last response.
    static const char kQuit[] = "QUIT\r\n";
    if (Pop3Send(connection, kQuit, sizeof(kQuit) - 1)) {
        Pop3ReadStatus(connection, nullptr, 0);
    } else {
        MailRecordResponse("");
    }
    ProtoEndTls(connection, 1000);
    ProtoCloseTransport(connection);
    MailFreeHandle(handle);
}

}  // extern "C"
