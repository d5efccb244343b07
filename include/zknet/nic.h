/* nic.h -- the ZK_Nic family: Wake-on-LAN, adapter count and MAC addresses, ARP resolution. */
#ifndef ZKNET_NIC_H
#define ZKNET_NIC_H

#include "zkconf.h"
#include "socket.h"

ZK_EXTERN_C_BEGIN

ZK_EXTERN_C_END

#endif /* ZKNET_NIC_H */
