/* mail.h -- the ZK_Mail family: SMTP sending, POP3 receiving and message extraction. */
#ifndef ZKNET_MAIL_H
#define ZKNET_MAIL_H

#include "zkconf.h"

ZK_EXTERN_C_BEGIN

ZK_EXPORT void ZK_API ZK_MailRecvFree(char *message);
/* Releases a message text from ZK_MailRecv; the same entry as ZK_SocketDeleteString. */

ZK_EXTERN_C_END

#endif /* ZKNET_MAIL_H */
