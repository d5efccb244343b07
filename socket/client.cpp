// client.cpp -- opening client connections over IPv4 and IPv6.
#include <cstring>

#include "socket/socket_handle.h"
#include "socket/text_helpers.h"

namespace {

constexpr int kWideHostBytes = 520;

int32_t ConnectV4(SocketHandle *handle, const char *host, int32_t port) {
    win::sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = handle->family;
    address.sin_port = htons(static_cast<uint16_t>(port));
    uint32_t ip = 0;
    if (!ResolveIPv4(host, &ip)) return 0;
    address.sin_addr.s_addr = ip;
    return win::connect(handle->socket, reinterpret_cast<const win::sockaddr *>(&address), sizeof(address)) == 0 ? 1 : 0;
}

// Only the first address of the look-up is tried, so a caller reaches the host the resolver
// ranks first and nothing else.
int32_t ConnectV6(SocketHandle *handle, const char *host, int32_t port) {
    char service[16];
    win::FormatA(service, sizeof(service), "%d", port);
    win::addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = handle->family;
    hints.ai_socktype = win::kSockStream;
    win::addrinfo *results = nullptr;
    if (win::getaddrinfo(host, service, &hints, &results) != 0 || results == nullptr) return 0;
    int rc = win::connect(handle->socket, results->ai_addr, static_cast<int>(results->ai_addrlen));
    win::freeaddrinfo(results);
    return rc == 0 ? 1 : 0;
}

// Ports are 16-bit; a larger or negative number would reach some other port, so it is refused.
int32_t ConnectByFamily(SocketHandle *handle, const char *host, int32_t port) {
    if (!PortInRange(port)) return FailInvalid(0);
    if (handle->family == win::kAfInet) return ConnectV4(handle, host, port);
    if (handle->family == win::kAfInet6) return ConnectV6(handle, host, port);
    return 0;
}

// The narrow form of a wide host: 1 with `out` filled (empty for an empty or missing host),
// 0 when it does not convert into the 520-byte buffer.
int32_t NarrowHost(const zk_wchar_t *host, char (&out)[kWideHostBytes], const char **narrow) {
    std::memset(out, 0, sizeof(out));
    if (host == nullptr) {
        *narrow = nullptr;  // a missing host goes on missing, as in the narrow form
        return 1;
    }
    if (WideToAnsi(host, out, kWideHostBytes) == 0) return 0;
    *narrow = out;
    return 1;
}

SocketHandle *OpenClient(int32_t kind, const char *host, int32_t port, uint16_t family) {
    if (kind != win::kSockStream && kind != win::kSockDgram) return FailInvalid<SocketHandle *>(nullptr);
    SocketHandle *handle = ZK_SocketOpen(family, kind);
    if (kind == win::kSockDgram) return handle;
    if (handle != nullptr && ConnectByFamily(handle, host, port) == 1) return handle;
    if (handle != nullptr) {
        int code = win::WSAGetLastError();  // the connect's reason outlives the clean-up
        ZK_SocketClose(handle);
        win::WSASetLastError(code);
    } else {
        ZK_SocketClose(nullptr);  // leaves WSAEINVAL for a socket that could not be made
    }
    return nullptr;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_SocketConnectClientA(SocketHandle *handle, const char *host, int32_t port) {
    if (handle == nullptr) return 0;
    return ConnectByFamily(handle, host, port);
}

ZK_EXPORT int32_t ZK_API ZK_SocketConnectClientW(SocketHandle *handle, const zk_wchar_t *host, int32_t port) {
    if (handle == nullptr) return 0;
    char buffer[kWideHostBytes];
    const char *narrow = nullptr;
    if (!NarrowHost(host, buffer, &narrow)) return 0;
    return ConnectByFamily(handle, narrow, port);
}

ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpenClientA(int32_t kind, const char *host, int32_t port, uint16_t family) {
    return OpenClient(kind, host, port, family);
}

ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpenClientW(int32_t kind, const zk_wchar_t *host, int32_t port,
                                                    uint16_t family) {
    if (kind != win::kSockStream && kind != win::kSockDgram) return FailInvalid<SocketHandle *>(nullptr);
    char buffer[kWideHostBytes];
    const char *narrow = nullptr;
    if (kind == win::kSockStream && !NarrowHost(host, buffer, &narrow)) return nullptr;
    return OpenClient(kind, narrow, port, family);
}

}  // extern "C"
