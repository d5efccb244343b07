// telnet_session.h -- the Telnet session record and the family's module-wide error and response
// stores, which describe the most recent Telnet operation on any thread (no locks, by design).
#ifndef ZK_TELNET_TELNET_SESSION_H
#define ZK_TELNET_TELNET_SESSION_H

#include <cstdint>

#include "socket/socket_handle.h"
#include "zknet/telnet.h"

struct TelnetHandle {
    SocketHandle *connection;  // owned: closed by ZK_TelnetDisconnect
    uint32_t traceId;          // the connection's number in the trace
    bool traceSecret;          // what is sent now is a password: the trace masks it
};

// The last error code (ZK_TELNET_... of zknet/telnet.h).
extern int32_t TelnetLastError;

// The last received text, line breaks shown as 0x81 0xAB, always NUL-terminated.
constexpr int32_t kTelnetResponseSize = ZK_TELNET_RESPONSE_SIZE;
extern char TelnetLastResponse[kTelnetResponseSize];

#endif  // ZK_TELNET_TELNET_SESSION_H
