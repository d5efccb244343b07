// server.cpp -- binding, listening and accepting.
#include <cstdlib>
#include <cstring>

#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

int BindAnyV4(SocketHandle *handle, int32_t port) {
    win::sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = handle->family;
    address.sin_port = htons(static_cast<uint16_t>(port));
    return win::bind(handle->socket, reinterpret_cast<const win::sockaddr *>(&address), sizeof(address));
}

int BindAnyV6(SocketHandle *handle, int32_t port) {
    char service[16];
    win::FormatA(service, sizeof(service), "%d", port);
    win::addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_flags = win::kAiPassive;
    hints.ai_family = handle->family;
    hints.ai_socktype = handle->kind;
    win::addrinfo *results = nullptr;
    if (win::getaddrinfo(nullptr, service, &hints, &results) != 0 || results == nullptr) return -1;
    DWORD on = 1;
    win::setsockopt(handle->socket, win::kSolSocket, win::kSoReuseAddr, reinterpret_cast<const char *>(&on), sizeof(on));
    int rc = win::bind(handle->socket, results->ai_addr, static_cast<int>(results->ai_addrlen));
    win::freeaddrinfo(results);
    return rc;
}

}  // namespace

SocketHandle *OpenReusableListener(int32_t port, uint16_t family) {
    if (!PortInRange(port) || (family != win::kAfInet && family != win::kAfInet6)) return FailInvalid<SocketHandle *>(nullptr);
    SocketHandle *handle = ZK_SocketOpen(family, win::kSockStream);
    if (handle == nullptr) return nullptr;
    win::sockaddr_storage address;
    std::memset(&address, 0, sizeof(address));
    int length;
    if (family == win::kAfInet) {
        auto *v4 = reinterpret_cast<win::sockaddr_in *>(&address);
        v4->sin_family = family;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        length = static_cast<int>(sizeof(win::sockaddr_in));
    } else {
        auto *v6 = reinterpret_cast<win::sockaddr_in6 *>(&address);
        v6->sin6_family = family;
        v6->sin6_port = htons(static_cast<uint16_t>(port));  // in6addr_any is all zero
        length = static_cast<int>(sizeof(win::sockaddr_in6));
    }
    if (win::SetListenerPortReuse(handle->socket) == 0 &&
        win::bind(handle->socket, reinterpret_cast<const win::sockaddr *>(&address), length) == 0 &&
        win::listen(handle->socket, win::kSoMaxConn) == 0) {
        return handle;
    }
    int code = win::WSAGetLastError();
    win::closesocket(handle->socket);
    std::free(handle);
    win::WSASetLastError(code);
    return nullptr;
}

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_SocketConnectServer(SocketHandle *handle, int32_t port) {
    if (handle == nullptr) return 0;
    if (!PortInRange(port)) return FailInvalid(0);
    int rc;
    if (handle->family == win::kAfInet) {
        rc = BindAnyV4(handle, port);
    } else if (handle->family == win::kAfInet6) {
        rc = BindAnyV6(handle, port);
    } else {
        return 0;
    }
    if (rc != 0) return 0;
    if (handle->kind == win::kSockStream && win::listen(handle->socket, win::kSoMaxConn) != 0) return 0;
    return 1;
}

ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpenServer(int32_t kind, int32_t port, uint16_t family) {
    SocketHandle *handle = ZK_SocketOpen(family, kind);
    if (handle == nullptr) return FailInvalid<SocketHandle *>(nullptr);
    if (ZK_SocketConnectServer(handle, port) == 1) return handle;
    int code = win::WSAGetLastError();  // the bind's reason, not the clean-up's
    if (handle->kind == win::kSockStream) win::shutdown(handle->socket, win::kSdBoth);
    win::closesocket(handle->socket);
    std::free(handle);
    win::WSASetLastError(code);
    return nullptr;
}

ZK_EXPORT SocketHandle *ZK_API ZK_SocketAccept(SocketHandle *listener) {
    if (listener == nullptr) return FailInvalid<SocketHandle *>(nullptr);
    win::sockaddr_storage peer;
    int length;
    if (listener->family == win::kAfInet) {
        length = 16;
    } else if (listener->family == win::kAfInet6) {
        length = static_cast<int>(sizeof(peer)) < 128 ? static_cast<int>(sizeof(peer)) : 128;
    } else {
        return nullptr;
    }
    SOCKET s = win::accept(listener->socket, reinterpret_cast<win::sockaddr *>(&peer), &length);
    if (s == win::kInvalidSocket) return nullptr;
    SocketHandle *handle = NewSocketHandle(listener->family, listener->kind, s);
    if (handle == nullptr) win::closesocket(s);
    return handle;
}

}  // extern "C"
