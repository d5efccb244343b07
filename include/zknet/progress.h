/* progress.h -- progress reports and cancelling for long transfers: the callback that FTP
   sessions (ZK_FtpSetProgressCallback) and POP3 sessions (ZK_MailSetProgressCallback) call. */
#ifndef ZKNET_PROGRESS_H
#define ZKNET_PROGRESS_H

#include "zkconf.h"

ZK_EXTERN_C_BEGIN

/* Called on the thread that started the transfer (never on another), at most about ten times a
   second while data moves and once when it has all moved: `done` bytes so far of `total` (-1 when
   the size is not known), with the `user` value given when the callback was set. Return 0 to go
   on; any other value cancels the transfer, which then fails with the family's code 33
   (ZK_FTP_CANCELLED, ZK_MAIL_CANCELLED) and leaves the session usable. The answer to the last
   call, made when everything has moved, is not heeded. */
typedef int32_t (ZK_API *ZkProgressProc)(int64_t done, int64_t total, void *user);

ZK_EXTERN_C_END

#endif /* ZKNET_PROGRESS_H */
