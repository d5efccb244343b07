/* zknet.h -- everything zknet exports: include this one header. */
#ifndef ZKNET_ZKNET_H
#define ZKNET_ZKNET_H

#include "zkconf.h"
#include "socket.h"
#include "progress.h"
#include "secure.h"
#include "ftp.h"
#include "mail.h"
#include "telnet.h"
#include "nic.h"
#include "trace.h"

#endif /* ZKNET_ZKNET_H */
