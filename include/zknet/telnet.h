/* telnet.h -- the ZK_Telnet family: connection, log-in and line-oriented command exchange. */
#ifndef ZKNET_TELNET_H
#define ZKNET_TELNET_H

#include "zkconf.h"
#include "socket.h"

ZK_EXTERN_C_BEGIN

ZK_EXTERN_C_END

#endif /* ZKNET_TELNET_H */
