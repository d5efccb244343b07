/* ftp.h -- the ZK_Ftp family: sessions, transfers, remote commands and listings. */
#ifndef ZKNET_FTP_H
#define ZKNET_FTP_H

#include "zkconf.h"
#include "socket.h"

ZK_EXTERN_C_BEGIN

ZK_EXTERN_C_END

#endif /* ZKNET_FTP_H */
