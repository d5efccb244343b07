// socket_wait.cpp -- waits over poll(2), wake-up signals over eventfd, cancellable connects.
#include "platform/socket_wait.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>

#include "platform/linux/winsock_map.h"

namespace win {

struct WakeSignal {
    int fd;
};

namespace {

constexpr int kMaxSockets = 8;

int PollMs(DWORD timeout_ms) {
    if (timeout_ms == kWaitForever) return -1;
    return timeout_ms > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(timeout_ms);
}

// poll(2) that carries on after a signal, with what is left of the time.
int PollWithin(pollfd *entries, nfds_t count, DWORD timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD left = timeout_ms;
        if (timeout_ms != kWaitForever) {
            DWORD spent = GetTickCount() - start;
            left = spent >= timeout_ms ? 0 : timeout_ms - spent;
        }
        int n = ::poll(entries, count, PollMs(left));
        if (n >= 0) return n;
        if (errno != EINTR) {
            SetWsaError(WsaFromErrno(errno));
            return -1;
        }
    }
}

}  // namespace

int WaitReadable(SOCKET s, DWORD timeout_ms) {
    pollfd entry{};
    entry.fd = s;
    entry.events = POLLIN;
    int n = PollWithin(&entry, 1, timeout_ms);
    if (n <= 0) return n;
    return (entry.revents & POLLNVAL) != 0 ? -1 : 1;
}

WakeSignal *CreateWakeSignal() {
    int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) return nullptr;
    WakeSignal *signal = new (std::nothrow) WakeSignal{fd};
    if (signal == nullptr) ::close(fd);
    return signal;
}

void CloseWakeSignal(WakeSignal *signal) {
    if (signal == nullptr) return;
    ::close(signal->fd);
    delete signal;
}

void RaiseWakeSignal(WakeSignal *signal) {
    uint64_t one = 1;
    while (::write(signal->fd, &one, sizeof(one)) < 0 && errno == EINTR) {
    }
}

void ClearWakeSignal(WakeSignal *signal) {
    uint64_t count = 0;
    while (::read(signal->fd, &count, sizeof(count)) < 0 && errno == EINTR) {
    }
}

bool WakeSignalRaised(WakeSignal *signal) {
    pollfd entry{};
    entry.fd = signal->fd;
    entry.events = POLLIN;
    return ::poll(&entry, 1, 0) == 1;
}

int WaitSockets(SocketWait *sockets, int count, WakeSignal *signal, DWORD timeout_ms) {
    if (count < 0 || count > kMaxSockets) {
        SetWsaError(kWsaeInval);
        return -1;
    }
    pollfd entries[kMaxSockets + 1];
    for (int i = 0; i < count; ++i) {
        entries[i] = pollfd{};
        entries[i].fd = sockets[i].socket;
        entries[i].events = static_cast<short>(((sockets[i].wanted & kWaitReadable) ? POLLIN : 0) |
                                               ((sockets[i].wanted & kWaitWritable) ? POLLOUT : 0));
        sockets[i].ready = 0;
    }
    nfds_t used = static_cast<nfds_t>(count);
    if (signal != nullptr) {
        entries[used] = pollfd{};
        entries[used].fd = signal->fd;
        entries[used].events = POLLIN;
        ++used;
    }
    int n = PollWithin(entries, used, timeout_ms);
    if (n <= 0) return n;
    for (int i = 0; i < count; ++i) {
        short got = entries[i].revents;
        if ((got & POLLNVAL) != 0) {
            SetWsaError(10038);  // WSAENOTSOCK
            return -1;
        }
        // An error or hang-up is reported as whatever was wanted: the next call finds it out.
        if ((got & (POLLERR | POLLHUP)) != 0) got = static_cast<short>(got | entries[i].events);
        if ((got & POLLIN) != 0) sockets[i].ready |= kWaitReadable;
        if ((got & POLLOUT) != 0) sockets[i].ready |= kWaitWritable;
    }
    return 1;
}

int SetSocketBlocking(SOCKET s, bool blocking) {
    int flags = ::fcntl(s, F_GETFL);
    if (flags < 0 || ::fcntl(s, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) != 0) {
        SetWsaError(WsaFromErrno(errno));
        return -1;
    }
    return 0;
}

int ConnectWithin(SOCKET s, const sockaddr *address, int length, WakeSignal *cancel, DWORD timeout_ms) {
    if (SetSocketBlocking(s, false) != 0) return -1;
    int code = 0;
    if (win::connect(s, address, length) != 0) {
        code = WSAGetLastError();
        if (code == 10036 || code == kWsaeWouldBlock) {  // WSAEINPROGRESS: under way
            SocketWait wait{s, kWaitWritable, 0, true};
            int n = WaitSockets(&wait, 1, cancel, timeout_ms);
            if (n < 0) {
                code = WSAGetLastError();
            } else if (n == 0) {
                code = kWsaeTimedOut;
            } else if (wait.ready == 0) {
                code = kWsaeIntr;
            } else {
                int error = 0;
                socklen_t size = sizeof(error);
                code = ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &size) != 0 ? WsaFromErrno(errno)
                       : error != 0                                                ? WsaFromErrno(error)
                                                                                   : 0;
            }
        }
    }
    SetSocketBlocking(s, true);
    if (code != 0) {
        SetWsaError(code);
        return -1;
    }
    return 0;
}

int SetListenerPortReuse(SOCKET s) {
    int on = 1;
    if (::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0) {
        SetWsaError(WsaFromErrno(errno));
        return -1;
    }
    return 0;
}

}  // namespace win
