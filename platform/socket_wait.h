// socket_wait.h -- waiting for a socket to have something to read without taking it, and the
// send time-out option: what the FTP data phase needs to bound its waits.
#ifndef ZK_PLATFORM_SOCKET_WAIT_H
#define ZK_PLATFORM_SOCKET_WAIT_H

#include "platform/platform.h"

namespace win {

// SO_SNDTIMEO as Winsock numbers it: milliseconds as a DWORD, 0 meaning no limit.
constexpr int kSoSndTimeo = 0x1005;

// 1 when the socket has something to take (data, the peer's close, a connection to accept),
// 0 when `timeout_ms` passed first, -1 on failure. Nothing is read.
int WaitReadable(SOCKET s, DWORD timeout_ms);

}  // namespace win

#endif  // ZK_PLATFORM_SOCKET_WAIT_H
