/* trace.h -- the protocol trace, for every family: what the library sends and receives, one line
   each, to a file of the caller's choosing (or standard error). */
#ifndef ZKNET_TRACE_H
#define ZKNET_TRACE_H

#include "zkconf.h"

ZK_EXTERN_C_BEGIN

ZK_EXPORT int32_t ZK_API ZK_TraceToFileA(const char *path);
ZK_EXPORT int32_t ZK_API ZK_TraceToFileW(const zk_wchar_t *path);
/* Appends every family's protocol exchange to the file `path` (made when missing), one line each:
   the milliseconds since the trace began, the family (FTP, SMTP, POP3, TELNET), the connection's
   number, ">" sent, "<" received or "*" an event (connections, TLS version, cipher, certificate
   and resumption, data connections with their byte counts), and the text. Passwords, AUTH
   exchanges and access tokens show as "****"; message and file data only as byte counts. "-"
   is standard error; NULL stops the trace. The environment variable ZKNET_TRACE=path starts it
   when the library is first used, unless the program chose first. Returns 1, or 0 when the file
   cannot be opened (the trace is then off). */

ZK_EXTERN_C_END

#endif /* ZKNET_TRACE_H */
