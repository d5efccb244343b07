// negotiate.h -- the fixed option negotiation that opens every Telnet connection.
#ifndef ZK_TELNET_NEGOTIATE_H
#define ZK_TELNET_NEGOTIATE_H

#include "socket/socket_handle.h"

// Answers the host's IAC commands until its first data byte, which stays on the socket for the
// first receive. False when the host closes, a read or a reply fails, or the host sends an IAC
// command other than SB, WILL, WONT, DO or DONT. Waits without limit.
bool NegotiateOptions(SocketHandle *socket);

#endif  // ZK_TELNET_NEGOTIATE_H
