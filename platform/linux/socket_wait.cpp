// socket_wait.cpp -- WaitReadable over poll(2).
#include <poll.h>

#include <cerrno>

#include "platform/socket_wait.h"

namespace win {

int WaitReadable(SOCKET s, DWORD timeout_ms) {
    pollfd entry{};
    entry.fd = s;
    entry.events = POLLIN;
    int wait = timeout_ms > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(timeout_ms);
    for (;;) {
        int n = ::poll(&entry, 1, wait);
        if (n > 0) return (entry.revents & POLLNVAL) != 0 ? -1 : 1;
        if (n == 0) return 0;
        if (errno != EINTR) return -1;
    }
}

}  // namespace win
