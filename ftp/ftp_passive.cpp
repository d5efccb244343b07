// ftp_passive.cpp -- passive data connections: PASV or EPSV and the address the worker connects to.
#include <cstring>

#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "ftp/ftp_text.h"
#include "platform/platform.h"
#include "socket/socket_handle.h"

namespace {

// A decimal number of 1 to 5 digits at `*p`, advancing past it; -1 when there are no digits.
long ReadNumber(const char **p) {
    long value = 0;
    int digits = 0;
    while (**p >= '0' && **p <= '9' && digits < 6) {
        value = value * 10 + (**p - '0');
        ++*p;
        ++digits;
    }
    return digits == 0 || digits > 5 ? -1 : value;
}

}  // namespace

bool ControlAddressText(SocketHandle *control, bool peer, char *out, int32_t size) {
    if (out == nullptr || size <= 0) return false;
    out[0] = '\0';
    win::sockaddr_storage address;
    std::memset(&address, 0, sizeof(address));
    int length = static_cast<int>(sizeof(address));
    win::sockaddr *a = reinterpret_cast<win::sockaddr *>(&address);
    int rc = peer ? win::getpeername(control->socket, a, &length) : win::getsockname(control->socket, a, &length);
    if (rc != 0 || address.ss_family != control->family) return false;
    int used = address.ss_family == win::kAfInet ? static_cast<int>(sizeof(win::sockaddr_in))
                                                 : static_cast<int>(sizeof(win::sockaddr_in6));
    if (win::getnameinfo(a, used, out, static_cast<DWORD>(size), nullptr, 0, win::kNiNumericHost) != 0) {
        out[0] = '\0';
        return false;
    }
    return true;
}

int ParsePassiveV4(const char *reply, char *host, int32_t host_size, uint32_t *port) {
    if (host != nullptr && host_size > 0) host[0] = '\0';
    if (reply == nullptr) return 0;
    long parts[6];
    const char *p = reply;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (*p != ',') return 0;
            ++p;
        }
        while (*p == ' ') ++p;
        parts[i] = ReadNumber(&p);
        if (parts[i] < 0 || parts[i] > 255) return 0;
    }
    uint32_t value = static_cast<uint32_t>(parts[4] * 256 + parts[5]);
    if (value == 0) return 0;
    if (host != nullptr && host_size > 0) {
        win::FormatA(host, host_size, "%ld.%ld.%ld.%ld", parts[0], parts[1], parts[2], parts[3]);
    }
    *port = value;
    return 1;
}

int ParsePassiveV6(const char *reply, uint32_t *port) {
    if (reply == nullptr) return 0;
    const char delimiter = reply[0];
    if (delimiter < 33 || delimiter > 126 || (delimiter >= '0' && delimiter <= '9')) return 0;
    if (reply[1] != delimiter || reply[2] != delimiter) return 0;
    const char *p = reply + 3;
    long value = ReadNumber(&p);
    if (value < 1 || value > 65535 || *p != delimiter) return 0;
    *port = static_cast<uint32_t>(value);
    return 1;
}

int FtpRequestPassive(FtpSession *session, char *out, int32_t size) {
    uint16_t family = session->control->family;
    const char *verb = family == win::kAfInet ? "PASV" : "EPSV";
    const char *expected = family == win::kAfInet ? "227" : "229";
    if (family != win::kAfInet && family != win::kAfInet6) {
        FtpLastError = ZK_FTP_PASSIVE_FAILED;
        return 0;
    }
    char reply[kFtpReplySize];
    if (!FtpCommandA(session, verb, "", expected, reply, kFtpReplySize)) {
        if (FtpLastError == ZK_FTP_REFUSED) FtpLastError = ZK_FTP_PASSIVE_FAILED;
        return 0;
    }
    const char *open = std::strchr(reply, '(');
    if (open != nullptr) {
        CopyCutA(out, size, open + 1);
    } else {
        // Some servers leave the parentheses out; the numbers then start at the first digit
        // after the reply code.
        const char *p = reply;
        while (*p >= '0' && *p <= '9') ++p;
        while (*p != '\0' && (*p < '0' || *p > '9') && *p != '|') ++p;
        CopyCutA(out, size, p);
    }
    return 1;
}

// The data connection goes to the control connection's peer, whatever address the reply names:
// trusting it would let a server point us at any host, and breaks behind NAT. The reply must
// still carry a usable port, or the phase fails.
int FtpPreparePassive(FtpSession *session, uint32_t binary, char *host, int32_t host_size, uint32_t *port) {
    if (!FtpSetType(session, binary)) return 0;
    char text[kFtpReplySize];
    if (!FtpRequestPassive(session, text, kFtpReplySize)) return 0;
    char named[32];
    int parsed = session->control->family == win::kAfInet ? ParsePassiveV4(text, named, sizeof(named), port)
                                                          : ParsePassiveV6(text, port);
    if (!parsed || !ControlAddressText(session->control, true, host, host_size)) {
        FtpLastError = ZK_FTP_PASSIVE_FAILED;
        return 0;
    }
    return 1;
}
