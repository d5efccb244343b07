// ftp_announce.cpp -- active data connections: the listening socket and PORT or EPRT.
#include <cstring>
#include <string>

#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "platform/platform.h"
#include "socket/cut_text.h"
#include "socket/socket_handle.h"

namespace {

// Opens the listening socket before the port is announced, so that the server can never
// connect before we listen. A port another socket listens on makes us try the next one of the
// range; one whose earlier connections of ours linger in TIME_WAIT is taken again where the
// system allows it safely, so that a session can run transfer after transfer.
bool OpenActiveListener(FtpSession *session, uint16_t family) {
    uint32_t first = (session->activePort - kFtpActivePortBase) % kFtpActivePortCount;
    for (uint32_t i = 0; i < kFtpActivePortCount; ++i) {
        uint32_t port = kFtpActivePortBase + (first + i) % kFtpActivePortCount;
        SocketHandle *listener = OpenReusableListener(static_cast<int32_t>(port), family);
        if (listener != nullptr) {
            session->activePort = port;
            session->dataSocket.store(listener);
            return true;
        }
    }
    return false;
}

// The address the server sees us at: the control connection's own end. On a host with several
// addresses the first address of the host name may be one the server cannot reach.
bool LocalAddress(SocketHandle *control, win::sockaddr_storage *address) {
    int length = static_cast<int>(sizeof(*address));
    std::memset(address, 0, sizeof(*address));
    return win::getsockname(control->socket, reinterpret_cast<win::sockaddr *>(address), &length) == 0 &&
           address->ss_family == control->family;
}

bool LocalAddressV4(SocketHandle *control, uint8_t bytes[4]) {
    win::sockaddr_storage address;
    if (LocalAddress(control, &address)) {
        std::memcpy(bytes, &reinterpret_cast<const win::sockaddr_in *>(&address)->sin_addr, 4);
        return true;
    }
    return ZK_SocketGetIPAddress(bytes) == 1;
}

bool LocalAddressV6(SocketHandle *control, uint16_t groups[8]) {
    win::sockaddr_storage address;
    if (LocalAddress(control, &address)) {
        const uint8_t *b = reinterpret_cast<const uint8_t *>(&reinterpret_cast<const win::sockaddr_in6 *>(&address)->sin6_addr);
        for (int k = 0; k < 8; ++k) groups[k] = static_cast<uint16_t>(b[2 * k] << 8 | b[2 * k + 1]);
        return true;
    }
    return ZK_SocketGetIPAddressV6(groups) == 1;
}

}  // namespace

int FtpAnnounceActive(FtpSession *session, uint32_t binary) {
    if (!FtpSetType(session, binary)) return 0;
    SocketHandle *control = session->control;
    uint16_t family = control->family;
    if (family != win::kAfInet && family != win::kAfInet6) return 1;
    char argument[128];
    if (family == win::kAfInet) {
        uint8_t a[4];
        if (!LocalAddressV4(control, a)) {
            FtpLastError = ZK_FTP_REFUSED;
            return 0;
        }
        if (!OpenActiveListener(session, family)) {
            FtpLastError = ZK_FTP_REFUSED;
            return 0;
        }
        uint32_t port = session->activePort;
        win::FormatA(argument, sizeof(argument), "%d,%d,%d,%d,%d,%d", a[0], a[1], a[2], a[3],
                     static_cast<int>(port / 256), static_cast<int>(port % 256));
        return FtpCommandA(session, "PORT", argument, "200", nullptr, 0);
    }
    uint16_t g[8];
    if (!LocalAddressV6(control, g)) {
        FtpLastError = ZK_FTP_REFUSED;
        return 0;
    }
    if (!OpenActiveListener(session, family)) {
        FtpLastError = ZK_FTP_REFUSED;
        return 0;
    }
    // The address in its standard text form: servers that parse it with the system's own
    // reader refuse the fully written-out one.
    char address[kIpv6TextSize];
    FormatIpv6Text(g, address, sizeof(address));
    win::FormatA(argument, sizeof(argument), "|2|%s|%d|", address, static_cast<int>(session->activePort));
    return FtpCommandA(session, "EPRT", argument, "200", nullptr, 0);
}

int32_t FormatIpv6Text(const uint16_t groups[8], char *out, int32_t size) {
    // The longest run of two or more zero groups (the first of equal runs) becomes "::".
    int best = -1, best_length = 1;
    for (int i = 0; i < 8;) {
        int j = i;
        while (j < 8 && groups[j] == 0) ++j;
        if (j - i > best_length) {
            best = i;
            best_length = j - i;
        }
        i = j > i ? j : i + 1;
    }
    std::string text;
    for (int i = 0; i < 8; ++i) {
        if (i == best) {
            text += "::";
            i += best_length - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        char group[8];
        win::FormatA(group, sizeof(group), "%x", groups[i]);
        text += group;
    }
    return CopyCutA(out, size, text.c_str());
}
