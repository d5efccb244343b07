// broadcast.cpp -- one UDP datagram to an IPv4 host or broadcast address.
#include <cstring>

#include "socket/socket_handle.h"
#include "socket/text_helpers.h"

namespace {

constexpr int kWideHostBytes = 520;

int32_t BroadcastTo(SocketHandle *handle, const char *host, int32_t port, const void *data, int32_t length) {
    if (handle->family == win::kAfInet6) return -1;  // broadcasting is IPv4 only
    if (!PortInRange(port) || length < 0 || (data == nullptr && length > 0)) return FailInvalid(-1);
    win::sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = handle->family;
    address.sin_port = htons(static_cast<uint16_t>(port));
    uint32_t ip = 0;
    if (!ResolveIPv4(host, &ip)) return -1;
    address.sin_addr.s_addr = ip;
    DWORD on = 1;
    if (win::setsockopt(handle->socket, win::kSolSocket, win::kSoBroadcast, reinterpret_cast<const char *>(&on),
                        sizeof(on)) != 0) {
        return -1;
    }
    int sent = win::sendto(handle->socket, static_cast<const char *>(data), length, 0,
                           reinterpret_cast<const win::sockaddr *>(&address), sizeof(address));
    return sent < 0 ? -1 : sent;
}

}  // namespace

extern "C" {

// A missing host would make the resolver answer with the local computer's own address; it is
// refused instead.
ZK_EXPORT int32_t ZK_API ZK_SocketSendBroadcastA(SocketHandle *handle, const char *host, int32_t port,
                                                 const void *data, int32_t length) {
    if (handle == nullptr || host == nullptr) return FailInvalid(-1);
    return BroadcastTo(handle, host, port, data, length);
}

ZK_EXPORT int32_t ZK_API ZK_SocketSendBroadcastW(SocketHandle *handle, const zk_wchar_t *host, int32_t port,
                                                 const void *data, int32_t length) {
    if (handle == nullptr || host == nullptr) return FailInvalid(-1);
    char narrow[kWideHostBytes];
    if (WideToAnsi(host, narrow, kWideHostBytes) == 0) return 0;
    return BroadcastTo(handle, narrow, port, data, length);
}

}  // extern "C"
