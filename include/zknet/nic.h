/* nic.h -- the ZK_Nic family: Wake-on-LAN, adapter count and MAC addresses, ARP resolution. */
#ifndef ZKNET_NIC_H
#define ZKNET_NIC_H

#include "zkconf.h"
#include "socket.h"

ZK_EXTERN_C_BEGIN

/* The MAC addresses of up to 16 local adapters, filled by ZK_NicGetMacAddress: slot i holds the
   6 bytes (in transmission order) of adapter i, slots 0 to count-1 are valid. 100 bytes. */
typedef struct MacAddressList {
    uint32_t count;
    uint8_t addresses[16][6];
} MacAddressList;

ZK_EXPORT int32_t ZK_API ZK_NicSendMagicPacket(const uint8_t *mac, const uint8_t *address4);
/* Sends the Wake-on-LAN magic packet (6 x 0xFF, then the 6-byte MAC 16 times: 102 bytes) as one
   UDP datagram to port 7 of the 4-byte IPv4 address, or of 255.255.255.255 when address4 is
   NULL. Returns 1 if all 102 bytes went out, else 0 (also for a NULL mac). */

ZK_EXPORT int32_t ZK_API ZK_NicGetNicNumber(void);
/* The number of adapters the platform's NetBIOS lists (0 to 255), or -1 if it cannot list them. */

ZK_EXPORT int32_t ZK_API ZK_NicGetMacAddress(MacAddressList *list);
/* Zero-fills the list, then stores the MAC addresses of the first 16 adapters (in NetBIOS order)
   and their count. Returns 1, or 0 on a NetBIOS failure (the slots read before it stay, counted)
   or a NULL list. No adapters: 1 with count 0. */

ZK_EXPORT int32_t ZK_API ZK_NicResolveAddress(const uint8_t *address4, uint8_t *mac);
/* Asks by ARP for the MAC address of the host with the 4-byte IPv4 address. Returns 1 with the 6
   bytes in mac, or 0 (mac untouched) when the host did not answer, is not on a local link, the
   platform cannot ask, or an argument is NULL. */

ZK_EXTERN_C_END

#endif /* ZKNET_NIC_H */
