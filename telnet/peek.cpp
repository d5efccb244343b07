// peek.cpp -- bytes looked at in place on the socket.
#include "telnet/peek.h"

int32_t PeekArrived(SocketHandle *handle, char *buffer, int32_t size) {
    if (handle == nullptr || buffer == nullptr || size < 1) return -1;
    if (!SetReceiveTimeout(handle, 0)) return -1;
    int n = win::recv(handle->socket, buffer, size, win::kMsgPeek);
    return n < 0 ? -1 : n;
}

int32_t ArrivedCount(SocketHandle *handle) {
    unsigned long waiting = 0;
    if (win::ioctlsocket(handle->socket, win::kFionRead, &waiting) != 0) return -1;
    return waiting > 0x7FFFFFFFUL ? 0x7FFFFFFF : static_cast<int32_t>(waiting);
}
