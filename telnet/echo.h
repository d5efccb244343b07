// echo.h -- taking back the host's echo of a command line, and only the echo.
#ifndef ZK_TELNET_ECHO_H
#define ZK_TELNET_ECHO_H

#include <cstdint>

#include "socket/socket_handle.h"

// Waits without limit until the host sends anything after a command line went out. When what
// arrived begins with the command's `length` bytes followed by a line break, those bytes and that
// one line end (CR LF, CR NUL LF, or CR or LF alone) are taken from the socket; anything else (a
// host that does not echo, as with passwords) is left whole for the next receive. Returns false
// only when the connection closed or failed before the host sent a byte.
bool TakeBackEcho(SocketHandle *socket, const char *command, int32_t length);

// The longest command whose line with CR LF fits the 1024-character formatting limit.
constexpr int32_t kMaxCommandLength = 1021;

#endif  // ZK_TELNET_ECHO_H
