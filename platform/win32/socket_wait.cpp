// socket_wait.cpp -- waits over Winsock event selection and WaitForMultipleObjects, wake-up
// signals as manual-reset events, cancellable connects.
//
// Event selection puts a socket in non-blocking mode; a socket whose owner keeps it blocking is
// put back once the wait is over (selection cancelled first, as Winsock requires).
#include "platform/socket_wait.h"

#include <new>

namespace win {

struct WakeSignal {
    HANDLE event;
};

namespace {

constexpr int kMaxSockets = 8;
constexpr long kReadEvents = FD_READ | FD_ACCEPT | FD_CLOSE;
constexpr long kWriteEvents = FD_WRITE | FD_CONNECT | FD_CLOSE;

DWORD WaitMs(DWORD timeout_ms) { return timeout_ms == kWaitForever ? INFINITE : timeout_ms; }

void Unselect(SOCKET s, WSAEVENT event, bool nonblocking) {
    ::WSAEventSelect(s, nullptr, 0);
    if (!nonblocking) {
        u_long off = 0;
        ::ioctlsocket(s, FIONBIO, &off);
    }
    ::WSACloseEvent(event);
}

// A look that waits for nothing, by select, which answers for what holds now: event selection
// reports some conditions once (a peer's close among them), so one an earlier wait took would
// otherwise wake no later wait. 1 with `ready` filled when something holds, 0 when nothing does,
// -1 on failure.
int ReadyNow(SocketWait *sockets, int count) {
    fd_set readable, writable, failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    for (int i = 0; i < count; ++i) {
        if (sockets[i].wanted & kWaitReadable) FD_SET(sockets[i].socket, &readable);
        if (sockets[i].wanted & kWaitWritable) FD_SET(sockets[i].socket, &writable);
        FD_SET(sockets[i].socket, &failed);
    }
    timeval now{0, 0};
    int n = ::select(0, &readable, &writable, &failed, &now);
    if (n == SOCKET_ERROR) return -1;
    if (n == 0) return 0;
    for (int i = 0; i < count; ++i) {
        SocketWait &w = sockets[i];
        bool error = FD_ISSET(w.socket, &failed) != 0;  // the next call finds out what it is
        w.ready = 0;
        if (FD_ISSET(w.socket, &readable) || (error && (w.wanted & kWaitReadable))) w.ready |= kWaitReadable;
        if (FD_ISSET(w.socket, &writable) || (error && (w.wanted & kWaitWritable))) w.ready |= kWaitWritable;
    }
    return 1;
}

}  // namespace

int WaitReadable(SOCKET s, DWORD timeout_ms) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval limit;
    limit.tv_sec = static_cast<long>(timeout_ms / 1000);
    limit.tv_usec = static_cast<long>((timeout_ms % 1000) * 1000);
    int n = ::select(0, &readable, nullptr, nullptr, timeout_ms == kWaitForever ? nullptr : &limit);
    if (n == SOCKET_ERROR) return -1;
    return n > 0 ? 1 : 0;
}

WakeSignal *CreateWakeSignal() {
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr) return nullptr;
    WakeSignal *signal = new (std::nothrow) WakeSignal{event};
    if (signal == nullptr) ::CloseHandle(event);
    return signal;
}

void CloseWakeSignal(WakeSignal *signal) {
    if (signal == nullptr) return;
    ::CloseHandle(signal->event);
    delete signal;
}

void RaiseWakeSignal(WakeSignal *signal) { ::SetEvent(signal->event); }
void ClearWakeSignal(WakeSignal *signal) { ::ResetEvent(signal->event); }
bool WakeSignalRaised(WakeSignal *signal) { return ::WaitForSingleObject(signal->event, 0) == WAIT_OBJECT_0; }

int WaitSockets(SocketWait *sockets, int count, WakeSignal *signal, DWORD timeout_ms) {
    if (count < 0 || count > kMaxSockets || (count == 0 && signal == nullptr)) {
        ::WSASetLastError(WSAEINVAL);
        return -1;
    }
    if (count > 0) {
        int now = ReadyNow(sockets, count);
        if (now != 0) return now;
    }
    HANDLE handles[kMaxSockets + 1];
    int selected = 0;
    int result = 1;
    for (; selected < count; ++selected) {
        SocketWait &w = sockets[selected];
        w.ready = 0;
        long mask = ((w.wanted & kWaitReadable) ? kReadEvents : 0) | ((w.wanted & kWaitWritable) ? kWriteEvents : 0);
        WSAEVENT event = ::WSACreateEvent();
        if (event == WSA_INVALID_EVENT) {
            result = -1;
            break;
        }
        // A condition that already holds (data waiting, room to send, a closed peer) is recorded
        // at once, so nothing that happened before the wait is missed.
        if (::WSAEventSelect(w.socket, event, mask) != 0) {
            ::WSACloseEvent(event);
            result = -1;
            break;
        }
        handles[selected] = event;
    }
    int code = 0;
    // One more look once the sockets are selected: data that arrived between the first look and
    // the selection must not wait out the whole time-out should the selection not record it
    // (under Wine, replies that had come were seen waiting for 10 s now and then).
    bool waited = false;
    if (result == 1 && count > 0) {
        int now = ReadyNow(sockets, count);
        if (now != 0) {
            result = now;
            waited = true;
        }
    }
    if (result == 1 && !waited) {
        DWORD used = static_cast<DWORD>(count);
        if (signal != nullptr) handles[used++] = signal->event;
        DWORD rc = ::WaitForMultipleObjects(used, handles, FALSE, WaitMs(timeout_ms));
        if (rc == WAIT_TIMEOUT) result = 0;
        if (rc == WAIT_FAILED) {
            result = -1;
            code = static_cast<int>(::GetLastError());
        }
    }
    for (int i = 0; i < selected; ++i) {
        SocketWait &w = sockets[i];
        WSANETWORKEVENTS seen;
        if (result == 1 && !waited && ::WSAEnumNetworkEvents(w.socket, handles[i], &seen) == 0) {
            long got = seen.lNetworkEvents;
            bool closed = (got & FD_CLOSE) != 0;  // the next call finds out what the close means
            if ((w.wanted & kWaitReadable) && (closed || (got & (FD_READ | FD_ACCEPT)) != 0)) w.ready |= kWaitReadable;
            if ((w.wanted & kWaitWritable) && (closed || (got & (FD_WRITE | FD_CONNECT)) != 0)) w.ready |= kWaitWritable;
        }
        Unselect(w.socket, handles[i], w.nonblocking);
    }
    if (result < 0 && code != 0) ::WSASetLastError(code);
    return result;
}

int SetSocketBlocking(SOCKET s, bool blocking) {
    u_long value = blocking ? 0 : 1;
    return ::ioctlsocket(s, FIONBIO, &value) == 0 ? 0 : -1;
}

// The connect's outcome arrives as FD_CONNECT, selected before the connect starts: a refusal that
// comes back at once must not happen before anyone listens for it.
int ConnectWithin(SOCKET s, const sockaddr *address, int length, WakeSignal *cancel, DWORD timeout_ms) {
    WSAEVENT event = ::WSACreateEvent();
    if (event == WSA_INVALID_EVENT) return -1;
    if (::WSAEventSelect(s, event, FD_CONNECT) != 0) {
        ::WSACloseEvent(event);
        return -1;
    }
    int code = 0;
    if (::connect(s, address, length) != 0) {
        code = ::WSAGetLastError();
        if (code == WSAEWOULDBLOCK) {
            HANDLE handles[2] = {event, cancel != nullptr ? cancel->event : nullptr};
            DWORD rc = ::WaitForMultipleObjects(cancel != nullptr ? 2 : 1, handles, FALSE, WaitMs(timeout_ms));
            WSANETWORKEVENTS seen;
            if (rc == WAIT_TIMEOUT) {
                code = WSAETIMEDOUT;
            } else if (rc == WAIT_OBJECT_0 + 1) {
                code = WSAEINTR;
            } else if (rc != WAIT_OBJECT_0 || ::WSAEnumNetworkEvents(s, event, &seen) != 0) {
                code = rc == WAIT_FAILED ? static_cast<int>(::GetLastError()) : ::WSAGetLastError();
            } else {
                code = (seen.lNetworkEvents & FD_CONNECT) != 0 ? seen.iErrorCode[FD_CONNECT_BIT] : WSAETIMEDOUT;
            }
        }
    }
    Unselect(s, event, false);
    if (code != 0) {
        ::WSASetLastError(code);
        return -1;
    }
    return 0;
}

int SetListenerPortReuse(SOCKET s) {
    BOOL on = TRUE;
    return ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char *>(&on), sizeof(on)) == 0 ? 0 : -1;
}

}  // namespace win
