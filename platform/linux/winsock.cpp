// winsock.cpp -- the Winsock subset over BSD sockets: Windows numbering of families, levels and
// options, SO_RCVTIMEO in milliseconds, FIONREAD, and a per-thread WSA error code mapped from errno.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/linux/winsock_map.h"
#include "platform/platform.h"

namespace win {

namespace {
thread_local int t_wsa_error = 0;
std::atomic<int> g_startups{0};

// Options at the IPv6 level as Windows numbers them.
constexpr int kIpprotoIpv6 = 41;
constexpr int kIpv6V6Only = 27;
constexpr int kSoKeepAlive = 8;
constexpr int kSoSndTimeo = 0x1005;
constexpr long kFionBio = static_cast<long>(0x8004667EUL);

int Fail(int code) {
    t_wsa_error = code;
    return kSocketError;
}

int FailErrno() { return Fail(WsaFromErrno(errno)); }

// Copies a Windows-numbered socket address into a native one.
bool ToNative(const sockaddr *address, int length, sockaddr_storage &out, socklen_t &out_length) {
    if (address == nullptr || length < static_cast<int>(sizeof(sa_family_t)) ||
        length > static_cast<int>(sizeof(out))) {
        return false;
    }
    std::memset(&out, 0, sizeof(out));
    std::memcpy(&out, address, static_cast<size_t>(length));
    out.ss_family = static_cast<sa_family_t>(NativeFamily(address->sa_family));
    out_length = static_cast<socklen_t>(length);
    return true;
}

int TimeoutOption(int fd, int native_option, const char *value, int length) {
    if (value == nullptr || length < static_cast<int>(sizeof(DWORD))) return Fail(10014);  // WSAEFAULT
    DWORD ms;
    std::memcpy(&ms, value, sizeof(ms));
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(ms / 1000);
    tv.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    if (::setsockopt(fd, SOL_SOCKET, native_option, &tv, sizeof(tv)) != 0) return FailErrno();
    return 0;
}

int IntOption(int fd, int level, int option, const char *value, int length) {
    if (value == nullptr || length < 1) return Fail(10014);
    int v = 0;
    if (length >= static_cast<int>(sizeof(int))) {
        std::memcpy(&v, value, sizeof(int));
    } else {
        v = static_cast<unsigned char>(value[0]);  // Windows accepts a one-byte BOOL
    }
    if (::setsockopt(fd, level, option, &v, sizeof(v)) != 0) return FailErrno();
    return 0;
}
}  // namespace

bool Started() { return g_startups.load() > 0; }
void SetWsaError(int code) { t_wsa_error = code; }

int WSAStartup(WORD version, WSADATA *data) {
    if ((version & 0xFF) < 1) return 10092;  // WSAVERNOTSUPPORTED
    if (data == nullptr) return 10014;
    data->wVersion = 0x0202;
    data->wHighVersion = 0x0202;
    g_startups.fetch_add(1);
    return 0;
}

int WSACleanup() {
    int n = g_startups.load();
    while (n > 0 && !g_startups.compare_exchange_weak(n, n - 1)) {
    }
    if (n <= 0) return Fail(kWsaNotInitialised);
    return 0;
}

int WSAGetLastError() { return t_wsa_error; }
void WSASetLastError(int code) { t_wsa_error = code; }

SOCKET socket(int family, int kind, int protocol) {
    if (!Started()) return Fail(kWsaNotInitialised);
    int native = NativeFamily(family);
    int fd = ::socket(native, kind | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        if (errno == EINVAL) return Fail(10044);  // WSAESOCKTNOSUPPORT: an unknown kind
        return FailErrno();
    }
    if (native == AF_INET6) {
        // Windows gives IPv6 sockets IPv6 traffic only; a wildcard IPv6 bind must not take the
        // IPv4 port as well.
        int on = 1;
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof(on));
    }
    return fd;
}

int closesocket(SOCKET s) {
    if (::close(s) != 0) return FailErrno();
    return 0;
}

int shutdown(SOCKET s, int how) {
    if (::shutdown(s, how) != 0) return FailErrno();  // SD_RECEIVE/SEND/BOTH equal SHUT_RD/WR/RDWR
    return 0;
}

int connect(SOCKET s, const sockaddr *address, int length) {
    sockaddr_storage native;
    socklen_t native_length;
    if (!ToNative(address, length, native, native_length)) return Fail(10014);
    for (;;) {
        if (::connect(s, reinterpret_cast<sockaddr *>(&native), native_length) == 0) return 0;
        if (errno != EINTR) return FailErrno();
    }
}

int bind(SOCKET s, const sockaddr *address, int length) {
    sockaddr_storage native;
    socklen_t native_length;
    if (!ToNative(address, length, native, native_length)) return Fail(10014);
    if (::bind(s, reinterpret_cast<sockaddr *>(&native), native_length) != 0) return FailErrno();
    return 0;
}

int listen(SOCKET s, int backlog) {
    if (backlog > SOMAXCONN || backlog < 0) backlog = SOMAXCONN;
    if (::listen(s, backlog) != 0) return FailErrno();
    return 0;
}

SOCKET accept(SOCKET s, sockaddr *address, int *length) {
    sockaddr_storage peer;
    socklen_t peer_length = sizeof(peer);
    int fd;
    do {
        fd = ::accept4(s, reinterpret_cast<sockaddr *>(&peer), &peer_length, SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return FailErrno();
    if (address != nullptr && length != nullptr) {
        if (*length < static_cast<int>(peer_length)) {
            ::close(fd);
            return Fail(10014);
        }
        peer.ss_family = static_cast<sa_family_t>(WindowsFamily(peer.ss_family));
        std::memcpy(address, &peer, peer_length);
        *length = static_cast<int>(peer_length);
    }
    return fd;
}

int send(SOCKET s, const char *data, int length, int flags) {
    if (length < 0) return Fail(kWsaeInval);
    ssize_t n;
    do {
        n = ::send(s, data, static_cast<size_t>(length), flags | MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return FailErrno();
    return static_cast<int>(n);
}

int sendto(SOCKET s, const char *data, int length, int flags, const sockaddr *to, int to_length) {
    if (length < 0) return Fail(kWsaeInval);
    sockaddr_storage native;
    socklen_t native_length;
    if (!ToNative(to, to_length, native, native_length)) return Fail(10014);
    ssize_t n = ::sendto(s, data, static_cast<size_t>(length), flags | MSG_NOSIGNAL,
                         reinterpret_cast<sockaddr *>(&native), native_length);
    if (n < 0) return FailErrno();
    return static_cast<int>(n);
}

int recv(SOCKET s, char *buffer, int length, int flags) {
    if (length < 0) return Fail(kWsaeInval);
    ssize_t n;
    do {
        n = ::recv(s, buffer, static_cast<size_t>(length), flags);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        // A blocking socket reports an expired SO_RCVTIMEO as EAGAIN; Winsock calls it a time-out.
        if (errno == EAGAIN || errno == EWOULDBLOCK) return Fail(kWsaeTimedOut);
        return FailErrno();
    }
    return static_cast<int>(n);
}

int recvfrom(SOCKET s, char *buffer, int length, int flags, sockaddr *from, int *from_length) {
    if (length < 0) return Fail(kWsaeInval);
    sockaddr_storage peer;
    socklen_t peer_length = sizeof(peer);
    ssize_t n;
    do {
        n = ::recvfrom(s, buffer, static_cast<size_t>(length), flags, reinterpret_cast<sockaddr *>(&peer),
                       &peer_length);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) return Fail(kWsaeTimedOut);
        return FailErrno();
    }
    if (from != nullptr && from_length != nullptr) {
        int copy = *from_length < static_cast<int>(peer_length) ? *from_length : static_cast<int>(peer_length);
        peer.ss_family = static_cast<sa_family_t>(WindowsFamily(peer.ss_family));
        if (copy > 0) std::memcpy(from, &peer, static_cast<size_t>(copy));
        *from_length = static_cast<int>(peer_length);
    }
    return static_cast<int>(n);
}

int setsockopt(SOCKET s, int level, int option, const char *value, int length) {
    if (level == kSolSocket) {
        switch (option) {
            case kSoRcvTimeo: return TimeoutOption(s, SO_RCVTIMEO, value, length);
            case kSoSndTimeo: return TimeoutOption(s, SO_SNDTIMEO, value, length);
            case kSoReuseAddr: return IntOption(s, SOL_SOCKET, SO_REUSEADDR, value, length);
            case kSoBroadcast: return IntOption(s, SOL_SOCKET, SO_BROADCAST, value, length);
            case kSoKeepAlive: return IntOption(s, SOL_SOCKET, SO_KEEPALIVE, value, length);
            default: break;
        }
    } else if (level == kIpprotoIpv6 && option == kIpv6V6Only) {
        return IntOption(s, IPPROTO_IPV6, IPV6_V6ONLY, value, length);
    } else if (level == kIpprotoTcp && option == kTcpNoDelay) {
        return IntOption(s, IPPROTO_TCP, TCP_NODELAY, value, length);
    }
    return Fail(10042);  // WSAENOPROTOOPT
}

int ioctlsocket(SOCKET s, long command, unsigned long *argument) {
    if (argument == nullptr) return Fail(10014);
    if (command == kFionRead) {
        int waiting = 0;
        if (::ioctl(s, FIONREAD, &waiting) != 0) return FailErrno();
        *argument = static_cast<unsigned long>(waiting);
        return 0;
    }
    if (command == kFionBio) {
        int flags = ::fcntl(s, F_GETFL);
        if (flags < 0) return FailErrno();
        flags = *argument ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
        if (::fcntl(s, F_SETFL, flags) != 0) return FailErrno();
        return 0;
    }
    return Fail(kWsaeInval);
}

namespace {
int LocalOrPeerName(int (*query)(int, sockaddr *, socklen_t *), SOCKET s, sockaddr *address, int *length) {
    if (address == nullptr || length == nullptr) return Fail(10014);
    sockaddr_storage native;
    socklen_t native_length = sizeof(native);
    if (query(s, reinterpret_cast<sockaddr *>(&native), &native_length) != 0) return FailErrno();
    if (*length < static_cast<int>(native_length)) return Fail(10014);
    native.ss_family = static_cast<sa_family_t>(WindowsFamily(native.ss_family));
    std::memcpy(address, &native, native_length);
    *length = static_cast<int>(native_length);
    return 0;
}
}  // namespace

int getsockname(SOCKET s, sockaddr *address, int *length) {
    return LocalOrPeerName(::getsockname, s, address, length);
}

int getpeername(SOCKET s, sockaddr *address, int *length) {
    return LocalOrPeerName(::getpeername, s, address, length);
}

}  // namespace win
