/* socket.h -- the ZK_Socket family: TCP/UDP handles, sending and receiving with time-outs,
   host-name and address queries, broadcast and multi-string lists. */
#ifndef ZKNET_SOCKET_H
#define ZKNET_SOCKET_H

#include "zkconf.h"

ZK_EXTERN_C_BEGIN

/* An open socket; allocated by the Open/Accept operations, released by ZK_SocketClose. */
typedef struct SocketHandle SocketHandle;

/* A list of line texts made by ZK_SocketEditMStringA/W. `items` has one slot per counted line;
   slots 0 to count-1 hold zero-terminated texts: char* for the A form, zk_wchar_t* for the W form. */
typedef struct MStringList {
    int32_t count;
    void **items;
} MStringList;

/* Address families and socket kinds as this interface numbers them, whatever the platform. */
#define ZK_AF_INET   2
#define ZK_AF_INET6  23
#define ZK_SOCK_STREAM 1
#define ZK_SOCK_DGRAM  2

/* ---- Start and stop, handles and connections ---- */

ZK_EXPORT int32_t ZK_API ZK_SocketInit(void);
/* Starts the socket service (version 2.2). Returns 0, or the platform's error code. */

ZK_EXPORT int32_t ZK_API ZK_SocketTerm(void);
/* Stops the socket service. Returns 0, or -1 on failure. */

ZK_EXPORT int32_t ZK_API ZK_SocketGetLastError(void);
/* The calling thread's socket error code (WSAEINVAL 10022, WSAETIMEDOUT 10060, ...), as the last
   failing socket operation on this thread left it. */

ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpen(uint16_t family, int32_t kind);
/* Creates an unconnected socket of family 2 or 23 and kind 1 (stream) or 2 (datagram).
   Returns the handle, or NULL with the platform's error code. */

ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpenClientA(int32_t kind, const char *host, int32_t port, uint16_t family);
ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpenClientW(int32_t kind, const zk_wchar_t *host, int32_t port, uint16_t family);
/* Opens a client socket; a stream is connected to host:port, a datagram is returned unconnected.
   Returns the handle, or NULL (kind other than 1 or 2: WSAEINVAL). */

ZK_EXPORT int32_t ZK_API ZK_SocketConnectClientA(SocketHandle *handle, const char *host, int32_t port);
ZK_EXPORT int32_t ZK_API ZK_SocketConnectClientW(SocketHandle *handle, const zk_wchar_t *host, int32_t port);
/* Connects an open handle to host:port. Returns 1, or 0 (the handle stays open). */

ZK_EXPORT SocketHandle *ZK_API ZK_SocketOpenServer(int32_t kind, int32_t port, uint16_t family);
/* Opens a socket bound to the port on every local address, listening if it is a stream.
   Returns the handle, or NULL. */

ZK_EXPORT int32_t ZK_API ZK_SocketConnectServer(SocketHandle *handle, int32_t port);
/* Binds an open handle to the port (and listens, for a stream). Returns 1, or 0. */

ZK_EXPORT SocketHandle *ZK_API ZK_SocketAccept(SocketHandle *listener);
/* Waits for a connection on a listening handle. Returns the new handle, or NULL. */

ZK_EXPORT void ZK_API ZK_SocketClose(SocketHandle *handle);
/* Shuts down (streams) and closes the socket and releases the handle. */

/* ---- Sending and receiving ---- */

ZK_EXPORT int32_t ZK_API ZK_SocketSend(SocketHandle *handle, const void *data, int32_t length);
/* One send of `length` bytes. Returns the bytes sent, or -1. */

ZK_EXPORT int32_t ZK_API ZK_SocketSendOne(SocketHandle *handle, int32_t byte);
/* Sends the low 8 bits of `byte`. Returns 1, or -1. */

ZK_EXPORT int32_t ZK_API ZK_SocketSendString(SocketHandle *handle, const char *text);
/* Sends a text without its terminator. Returns the bytes sent, or -1 (also for an empty text). */

ZK_EXPORT int32_t ZK_API ZK_SocketRecv(SocketHandle *handle, void *buffer, int32_t size, uint32_t timeout_ms,
                                       int32_t *pending, int32_t drain);
/* Receives into a zero-filled buffer. drain 0: returns `size` once the buffer is full, 0 on a
   time-out or close before that. drain not 0: returns the bytes received as soon as nothing more is
   waiting. -1 on failure. *pending (optional) gets the bytes still waiting after a full buffer. */

ZK_EXPORT int32_t ZK_API ZK_SocketRecvOne(SocketHandle *handle, void *byte, uint32_t timeout_ms);
/* Receives one byte. Returns 1, 0 when the peer has closed, -1 on failure or time-out. */

ZK_EXPORT int32_t ZK_API ZK_SocketRecvStringLine(SocketHandle *handle, char *buffer, int32_t size, uint32_t timeout_ms);
/* Receives one line without its CR and LF into a zero-filled buffer, at most size-1 bytes.
   Returns the length stored, or -1 on failure or time-out (what arrived stays in the buffer). */

ZK_EXPORT char *ZK_API ZK_SocketRecvString(SocketHandle *handle, int32_t *length, uint32_t timeout_ms);
/* Receives everything that arrives until a pause of about half a second, a time-out or a close.
   Returns an allocated, zero-terminated block (release with ZK_SocketDeleteString) and its length,
   or NULL with length 0 (-2 when no memory could be had). */

ZK_EXPORT void ZK_API ZK_SocketDeleteString(char *text);
/* Releases a text from ZK_SocketRecvString or ZK_MailRecv; NULL is ignored. */

/* ---- Host names and addresses ---- */

ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoA(const char *host, char *address, int32_t address_size,
                                                  char *name, int32_t name_size, char *alias, int32_t alias_size);
ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoW(const zk_wchar_t *host, zk_wchar_t *address, int32_t address_size,
                                                  zk_wchar_t *name, int32_t name_size, zk_wchar_t *alias, int32_t alias_size);
/* Classic IPv4 look-up of a name or dotted address: dotted address, official name and first alias.
   Returns 1 if any part was found, else 0. */

ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoExA(const char *host, uint16_t family, char *address, int32_t address_size,
                                                    char *name, int32_t name_size, char *short_name, int32_t short_size);
ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoExW(const zk_wchar_t *host, uint16_t family, zk_wchar_t *address,
                                                    int32_t address_size, zk_wchar_t *name, int32_t name_size,
                                                    zk_wchar_t *short_name, int32_t short_size);
/* Address-info look-up (family 2, 23 or 0): numeric address, registered name and short name of
   the first result. Returns 1 if something counted as found, else 0. */

ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameA(char *name, int32_t name_size, char *address, int32_t address_size);
ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameW(zk_wchar_t *name, int32_t name_size, zk_wchar_t *address,
                                               int32_t address_size);
/* The local computer's official name and first IPv4 address. Returns 1, or 0. */

ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameExA(uint16_t family, char *name, int32_t name_size, char *address,
                                                 int32_t address_size);
ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameExW(uint16_t family, zk_wchar_t *name, int32_t name_size,
                                                 zk_wchar_t *address, int32_t address_size);
/* The local computer's name and its first address of the family. Returns 1, or 0. */

ZK_EXPORT int32_t ZK_API ZK_SocketGetIPAddress(uint8_t *address4);
/* The local IPv4 address as 4 bytes in network order. Returns 1, or 0. */

ZK_EXPORT int32_t ZK_API ZK_SocketGetIPAddressV6(uint16_t *groups8);
/* The local IPv6 address as 8 16-bit groups in host order. Returns 1, or 0. */

/* ---- Broadcast and multi-string lists ---- */

ZK_EXPORT int32_t ZK_API ZK_SocketSendBroadcastA(SocketHandle *handle, const char *host, int32_t port,
                                                 const void *data, int32_t length);
ZK_EXPORT int32_t ZK_API ZK_SocketSendBroadcastW(SocketHandle *handle, const zk_wchar_t *host, int32_t port,
                                                 const void *data, int32_t length);
/* Sends one datagram to an IPv4 host or broadcast address on an IPv4 datagram handle.
   Returns the bytes sent, or -1 (0 from the W form when the host text does not convert). */

ZK_EXPORT int32_t ZK_API ZK_SocketEditMStringA(const char *text, MStringList *list);
ZK_EXPORT int32_t ZK_API ZK_SocketEditMStringW(const char *text, MStringList *list);
/* Splits a CR LF text into line items (narrow, or UTF-16 for the W form). Returns 1, or 0 for a
   null or empty text or a failed allocation; release the list with ZK_SocketDeleteMStringA/W. */

ZK_EXPORT void ZK_API ZK_SocketDeleteMStringA(MStringList *list);
ZK_EXPORT void ZK_API ZK_SocketDeleteMStringW(MStringList *list);
/* Releases the items and item array of a list; NULL is ignored. One entry under two names. */

ZK_EXTERN_C_END

#endif /* ZKNET_SOCKET_H */
