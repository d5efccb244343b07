// peek.h -- looking at bytes that have arrived without taking them from the socket, so that the
// negotiation and the echo check leave everything that is not theirs to the next receive.
#ifndef ZK_TELNET_PEEK_H
#define ZK_TELNET_PEEK_H

#include <cstdint>

#include "socket/socket_handle.h"

// Copies up to `size` bytes that have arrived into `buffer`, leaving them on the socket; waits
// without limit for the first. Returns the count, 0 when the peer has closed, -1 on failure.
int32_t PeekArrived(SocketHandle *handle, char *buffer, int32_t size);

// How many bytes have arrived and wait on the socket, or -1 when the platform cannot tell.
int32_t ArrivedCount(SocketHandle *handle);

#endif  // ZK_TELNET_PEEK_H
