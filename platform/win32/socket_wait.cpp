// socket_wait.cpp -- WaitReadable over Winsock's select.
#include "platform/socket_wait.h"

namespace win {

int WaitReadable(SOCKET s, DWORD timeout_ms) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval limit;
    limit.tv_sec = static_cast<long>(timeout_ms / 1000);
    limit.tv_usec = static_cast<long>((timeout_ms % 1000) * 1000);
    int n = ::select(0, &readable, nullptr, nullptr, &limit);
    if (n == SOCKET_ERROR) return -1;
    return n > 0 ? 1 : 0;
}

}  // namespace win
