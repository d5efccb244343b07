// handle.cpp -- starting and stopping the socket service, creating and closing handles.
#include <cstdlib>
#include <cstring>
#include <new>

#include "socket/socket_handle.h"

SocketHandle *NewSocketHandle(uint16_t family, int32_t kind, SOCKET s) {
    auto *handle = static_cast<SocketHandle *>(std::calloc(1, sizeof(SocketHandle)));
    if (handle == nullptr) return nullptr;
    handle->family = family;
    handle->kind = kind;
    handle->socket = s;
    return handle;
}

bool ResolveIPv4(const char *host, uint32_t *address) {
    unsigned long parsed = win::inet_addr(host);
    if (parsed != win::kInaddrNone) {
        *address = static_cast<uint32_t>(parsed);
        return true;
    }
    win::hostent *entry = win::gethostbyname(host);
    if (entry == nullptr || entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr ||
        entry->h_length < 4) {
        return false;
    }
    std::memcpy(address, entry->h_addr_list[0], 4);
    return true;
}

bool SetReceiveTimeout(SocketHandle *handle, uint32_t timeout_ms) {
    DWORD value = timeout_ms;
    return win::setsockopt(handle->socket, win::kSolSocket, win::kSoRcvTimeo, reinterpret_cast<const char *>(&value),
                           sizeof(value)) == 0;
}

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_SocketInit(void) {
    win::WSADATA data;
    return win::WSAStartup(0x0202, &data);
}

ZK_EXPORT int32_t ZK_API ZK_SocketTerm(void) { return win::WSACleanup() == 0 ? 0 : -1; }

ZK_EXPORT int32_t ZK_API ZK_SocketGetLastError(void) { return win::WSAGetLastError(); }

ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpen(uint16_t family, int32_t kind) {
    SOCKET s = win::socket(family, kind, 0);
    if (s == win::kInvalidSocket) return nullptr;
    SocketHandle *handle = NewSocketHandle(family, kind, s);
    if (handle == nullptr) win::closesocket(s);  // nothing may be left open behind a null result
    return handle;
}

ZK_EXPORT void ZK_API ZK_SocketClose(SocketHandle *handle) {
    if (handle == nullptr) {
        win::WSASetLastError(win::kWsaeInval);
        return;
    }
    // A close reports nothing of its own: the thread's error code stays what the caller's last
    // operation left (a refused connect, say), not what shutting down a socket that never
    // connected says about it.
    int code = win::WSAGetLastError();
    if (handle->kind == win::kSockStream) win::shutdown(handle->socket, win::kSdBoth);
    win::closesocket(handle->socket);
    std::free(handle);
    win::WSASetLastError(code);
}

}  // extern "C"
