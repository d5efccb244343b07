// socket_wait.h -- waiting on several sockets and a wake-up signal at once, connects that can be
// called off, and the socket options a data connection needs: what lets the FTP data phase be
// driven by events instead of polling, the same way on Windows and Linux.
#ifndef ZK_PLATFORM_SOCKET_WAIT_H
#define ZK_PLATFORM_SOCKET_WAIT_H

#include "platform/platform.h"

namespace win {

// SO_SNDTIMEO as Winsock numbers it: milliseconds as a DWORD, 0 meaning no limit.
constexpr int kSoSndTimeo = 0x1005;
// A wait with no time limit.
constexpr DWORD kWaitForever = 0xFFFFFFFFu;
// The call was given up because the wake-up signal was raised (WSAEINTR).
constexpr int kWsaeIntr = 10004;
// A non-blocking socket has nothing to take or no room to give now (WSAEWOULDBLOCK).
constexpr int kWsaeWouldBlock = 10035;

// 1 when the socket has something to take (data, the peer's close, a connection to accept),
// 0 when `timeout_ms` passed first, -1 on failure. Nothing is read.
int WaitReadable(SOCKET s, DWORD timeout_ms);

// A flag that one thread raises and another waits on, alone or together with sockets. It stays
// raised until cleared. An eventfd on Linux, a manual-reset event on Windows.
struct WakeSignal;
WakeSignal *CreateWakeSignal();  // null when the system has none to give
void CloseWakeSignal(WakeSignal *signal);
void RaiseWakeSignal(WakeSignal *signal);
void ClearWakeSignal(WakeSignal *signal);
bool WakeSignalRaised(WakeSignal *signal);

enum : int { kWaitReadable = 1, kWaitWritable = 2 };

// One socket of a wait. `ready` is filled by WaitSockets with what the socket is ready for;
// readable also covers the peer's close, a pending connection and an error, so that the next
// call finds out at once. `nonblocking` tells that the socket is kept in non-blocking mode by its
// owner; any other socket is in blocking mode again when the wait returns.
struct SocketWait {
    SOCKET socket;
    int wanted;
    int ready;
    bool nonblocking;
};

// Waits until one of the sockets is ready as wanted, the signal (may be null) is raised, or
// `timeout_ms` passes (kWaitForever: no limit). Returns 1 when something is ready or raised, 0 on
// time-out, -1 on failure. At most 8 sockets.
int WaitSockets(SocketWait *sockets, int count, WakeSignal *signal, DWORD timeout_ms);

// Connects a fresh stream socket, giving up when `timeout_ms` passes (WSAETIMEDOUT) or `cancel`
// is raised (WSAEINTR). 0 when connected, else -1 with the thread's WSA error code set. The
// socket is in blocking mode afterwards.
int ConnectWithin(SOCKET s, const sockaddr *address, int length, WakeSignal *cancel, DWORD timeout_ms);

// Blocking (true) or non-blocking mode. 0, or -1 with the WSA error code set.
int SetSocketBlocking(SOCKET s, bool blocking);

// Before bind, for a listener that must be able to take a port whose earlier connections of ours
// still linger in TIME_WAIT, without ever taking a port another socket listens on: SO_REUSEADDR
// on Linux (which never lets two listeners share a port), SO_EXCLUSIVEADDRUSE on Windows (where
// SO_REUSEADDR would let a listener take over another program's port).
int SetListenerPortReuse(SOCKET s);

}  // namespace win

#endif  // ZK_PLATFORM_SOCKET_WAIT_H
