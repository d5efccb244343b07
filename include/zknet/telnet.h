/* telnet.h -- the ZK_Telnet family: connection, log-in and line-oriented command exchange. */
#ifndef ZKNET_TELNET_H
#define ZKNET_TELNET_H

#include "zkconf.h"
#include "socket.h"

ZK_EXTERN_C_BEGIN

/* A Telnet session; allocated by ZK_TelnetConnectA/W, released by ZK_TelnetDisconnect. */
typedef struct TelnetHandle TelnetHandle;

/* Lines received from the host, without their line breaks; empty lines never occur. Slots 0 to
   count-1 of `items` hold zero-terminated texts: char* from the A operations, zk_wchar_t* from the W
   operations. Filled by a receive, released with ZK_TelnetDelListA/W. */
typedef struct TelnetLineList {
    int32_t count;
    void **items;
} TelnetLineList;

/* Codes of ZK_TelnetQueryLastErrorCode. */
#define ZK_TELNET_OK              0
#define ZK_TELNET_NOT_CONNECTED   1  /* the socket was not created or not connected */
#define ZK_TELNET_NO_SESSION      3  /* null handle or list; also set by ZK_TelnetDisconnect */
#define ZK_TELNET_NEGOTIATION     4  /* option negotiation failed */
#define ZK_TELNET_NOT_SENT        5  /* a command was not sent */
#define ZK_TELNET_NOTHING_RECEIVED 6 /* no echo or reply could be received */
#define ZK_TELNET_NO_MEMORY       7  /* no memory for a line list or the session */
#define ZK_TELNET_NO_LINE         8  /* the received text held no line */
#define ZK_TELNET_NO_PROMPT       10 /* an expected prompt was not found */

/* The module-wide last response holds at most this many bytes with its terminator. */
#define ZK_TELNET_RESPONSE_SIZE 4096

/* ---- Session ---- */

ZK_EXPORT TelnetHandle *ZK_API ZK_TelnetConnectA(const char *host, TelnetLineList *list, int32_t port, uint16_t family);
ZK_EXPORT TelnetHandle *ZK_API ZK_TelnetConnectW(const zk_wchar_t *host, TelnetLineList *list, int32_t port,
                                                 uint16_t family);
/* Connects to host:port over family 2 or 23, answers the host's option negotiation (terminal type
   "tv100") and receives its first text (normally the login prompt) into `list` (may be null; UTF-16
   lines for the W form). Returns the session, or NULL with code 1 (no connection), 4 (negotiation
   failed) or 7 (no memory). No time-out: a host that sends nothing keeps the call waiting. */

ZK_EXPORT void ZK_API ZK_TelnetDisconnect(TelnetHandle *handle);
/* Closes the connection (no logout is sent) and releases the session; sets code 3. NULL is ignored. */

ZK_EXPORT int32_t ZK_API ZK_TelnetQueryLastErrorCode(void);
/* The family's last error code (ZK_TELNET_...), shared by every session and thread. */

ZK_EXPORT void ZK_API ZK_TelnetClearLastErrorCode(void);
/* Sets the last error code to 0. */

ZK_EXPORT int32_t ZK_API ZK_TelnetQueryLastResponseMessageA(char *out, int32_t size);
ZK_EXPORT int32_t ZK_API ZK_TelnetQueryLastResponseMessageW(zk_wchar_t *out, int32_t size);
/* Copies the last received text, its line breaks shown as the arrow 0x81 0xAB (U+2193 in the W
   form), into `out` (size in bytes / 16-bit units, terminator included). Returns its length without
   the terminator, or -1 with `out` empty when it does not fit (ZK_TELNET_RESPONSE_SIZE always does). */

/* ---- Commands and login ---- */

ZK_EXPORT int32_t ZK_API ZK_TelnetCommandSendA(TelnetHandle *handle, const char *command);
ZK_EXPORT int32_t ZK_API ZK_TelnetCommandSendW(TelnetHandle *handle, const zk_wchar_t *command);
/* Sends the command and CR LF, then takes back the host's echo of the line if the host echoes it
   (anything else stays for the next receive). Returns 1, or 0 with code 3 (null handle), 5 (not
   sent; also a command over 1021 bytes) or 6 (the connection closed before the host answered). */

ZK_EXPORT int32_t ZK_API ZK_TelnetCommandRecvA(TelnetHandle *handle, TelnetLineList *list);
ZK_EXPORT int32_t ZK_API ZK_TelnetCommandRecvW(TelnetHandle *handle, TelnetLineList *list);
/* Waits for the host's next burst of output (it ends at a pause of about half a second) and puts
   its non-empty lines into `list` (may be null; emptied first, not released). Returns 1 (also with
   an empty list for line breaks alone), or 0 with code 3, 6 (nothing received), 7 or 8 (no line). */

ZK_EXPORT int32_t ZK_API ZK_TelnetSearchStringA(const TelnetLineList *list, const char *text);
ZK_EXPORT int32_t ZK_API ZK_TelnetSearchStringW(const TelnetLineList *list, const zk_wchar_t *text);
/* 1 when a line of the list contains `text` (A to Z without case), else 0; never across lines. */

ZK_EXPORT void ZK_API ZK_TelnetDelListA(TelnetLineList *list);
ZK_EXPORT void ZK_API ZK_TelnetDelListW(TelnetLineList *list);
/* Releases the lines and leaves the list empty (count 0, items NULL); a second release is harmless.
   NULL sets code 3. One entry under two names. */

ZK_EXPORT int32_t ZK_API ZK_TelnetLoginA(TelnetHandle *handle, const char *user, const char *password,
                                         TelnetLineList *list, const char *prompt);
ZK_EXPORT int32_t ZK_API ZK_TelnetLoginW(TelnetHandle *handle, const zk_wchar_t *user, const zk_wchar_t *password,
                                         TelnetLineList *list, const zk_wchar_t *prompt);
/* After the connect has received the login prompt: sends the user, expects "Password:" ("Password"
   for the W form), sends the password and receives the host's answer into `list`. Returns 1 when a
   line of it contains `prompt`, else 0 with code 5, 6, 10 (a prompt was not found) or another code
   of the send and receive operations. The list holds what was received either way. */

ZK_EXTERN_C_END

#endif /* ZKNET_TELNET_H */
