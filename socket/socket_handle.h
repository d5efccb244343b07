// socket_handle.h -- the record behind every SocketHandle, and the helpers the socket family's
// files share.
#ifndef ZK_SOCKET_SOCKET_HANDLE_H
#define ZK_SOCKET_SOCKET_HANDLE_H

#include <cstdint>

#include "platform/platform.h"
#include "zknet/socket.h"

struct SocketHandle {
    uint16_t family;  // 2 = IPv4, 23 = IPv6; anything else is handed to the platform as given
    int32_t kind;     // 1 = stream, 2 = datagram
    SOCKET socket;
};

// A new record for an open socket; null (and the socket left open) when memory runs out.
SocketHandle *NewSocketHandle(uint16_t family, int32_t kind, SOCKET s);

// Sets WSAEINVAL as the thread's socket error code; returns `result` for use in return statements.
template <typename T>
T FailInvalid(T result) {
    win::WSASetLastError(win::kWsaeInval);
    return result;
}

// Whether a port fits the 16 bits of a socket address.
inline bool PortInRange(int32_t port) { return port >= 0 && port <= 0xFFFF; }

// Resolves an IPv4 host as the classic calls do: dotted text through the address parser, anything
// else (and "255.255.255.255") through the host-by-name look-up. Returns false when neither yields
// an address; the address is in network order.
bool ResolveIPv4(const char *host, uint32_t *address);

// A stream listener on `port` of every local address of the family, for data connections that are
// opened and closed often on the same few ports: the port may be taken again while our own earlier
// connections on it linger in TIME_WAIT, but never while another socket listens on it. Null (and
// the WSA error code of the failing step) when the port cannot be had.
SocketHandle *OpenReusableListener(int32_t port, uint16_t family);

// Sets the socket's receive time-out in milliseconds; 0 means no limit.
bool SetReceiveTimeout(SocketHandle *handle, uint32_t timeout_ms);

#endif  // ZK_SOCKET_SOCKET_HANDLE_H
