/* secure.h -- the security choices shared by the families' secure connects (ZK_FtpConnectSecureA/W
   and, for mail, its secure connects): none, TLS after a plain start, or TLS from the first byte,
   with flags. */
#ifndef ZKNET_SECURE_H
#define ZKNET_SECURE_H

#include "zkconf.h"

/* The security of a connection: one of the three, with any flags added. */
#define ZK_SECURE_NONE      0      /* plain text, as the plain connects */
#define ZK_SECURE_EXPLICIT  1      /* a plain start, then TLS on the server's word; required */
#define ZK_SECURE_IMPLICIT  2      /* TLS from the first byte (FTPS port 990) */

/* DANGEROUS: takes any certificate, so anyone between the caller and the server can read and
   change everything, passwords included. For test servers with self-signed certificates only. */
#define ZK_SECURE_NO_VERIFY 0x100

#endif /* ZKNET_SECURE_H */
