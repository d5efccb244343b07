/* ftp.h -- the ZK_Ftp family: sessions, transfers, remote commands and listings. */
#ifndef ZKNET_FTP_H
#define ZKNET_FTP_H

#include "zkconf.h"
#include "progress.h"
#include "secure.h"
#include "socket.h"

ZK_EXTERN_C_BEGIN

/* An FTP session; made by ZK_FtpConnectA/W, released by ZK_FtpDisconnect. */
typedef struct FtpSession FtpSession;

/* A remote file's modification time as the server gives it (ZK_FtpGetFileDateA/W). */
typedef struct FtpFileDate {
    uint16_t year;
    uint16_t month; /* 1 to 12 */
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
} FtpFileDate;

/* Codes of ZK_FtpQueryLastErrorCode. */
#define ZK_FTP_OK              0
#define ZK_FTP_BAD_SESSION     1  /* null session, or passive neither 0 nor 1 */
#define ZK_FTP_NO_CONNECTION   2
#define ZK_FTP_NO_REPLY        3
#define ZK_FTP_NOT_SENT        4
#define ZK_FTP_REFUSED         5
#define ZK_FTP_LOGIN_REFUSED   6
#define ZK_FTP_PWD_FAILED      7
#define ZK_FTP_CWD_FAILED      8
#define ZK_FTP_MKD_FAILED      9
#define ZK_FTP_RMD_FAILED      10
#define ZK_FTP_FILE_FAILED     11
#define ZK_FTP_TRANSFER_FAILED 12
#define ZK_FTP_DATE_FAILED     13
#define ZK_FTP_TYPE_REFUSED    16
#define ZK_FTP_PASSIVE_FAILED  17
#define ZK_FTP_NO_PERMISSION   21
#define ZK_FTP_CHMOD_FAILED    22
#define ZK_FTP_TLS_FAILED      30 /* AUTH TLS refused, no TLS, a failed handshake, TLS broken later */
#define ZK_FTP_CERTIFICATE     31 /* the server's certificate is untrusted, expired or not for the host */
#define ZK_FTP_CANCELLED       33 /* the progress callback cancelled the transfer */

/* ---- Sessions, last error and last reply ---- */

ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectA(const char *host, const char *user, const char *password,
                                            uint32_t passive, int32_t port, uint16_t family);
ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectW(const zk_wchar_t *host, const zk_wchar_t *user,
                                            const zk_wchar_t *password, uint32_t passive, int32_t port,
                                            uint16_t family);
/* Connects (family 2 or 23) and logs in; passive 1 for passive data connections, 0 for active.
   Returns the session, or NULL: code 2 (no connection), 3 (no greeting or reply), 4, 6 (login
   refused). */

ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectSecureA(const char *host, const char *user, const char *password,
                                                  uint32_t passive, int32_t port, uint16_t family, uint32_t security,
                                                  const char *ca_file);
ZK_EXPORT FtpSession *ZK_API ZK_FtpConnectSecureW(const zk_wchar_t *host, const zk_wchar_t *user,
                                                  const zk_wchar_t *password, uint32_t passive, int32_t port,
                                                  uint16_t family, uint32_t security, const zk_wchar_t *ca_file);
/* Connects as ZK_FtpConnectA/W, over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT sends
   AUTH TLS after the greeting and goes no further without TLS; ZK_SECURE_IMPLICIT speaks TLS from
   the first byte (port 990). After the login, PBSZ 0 and PROT P: every data connection is TLS as
   well, resuming the control connection's TLS session. The server's certificate must lead to a
   trusted root (the system's, or exactly the CAs of the PEM file `ca_file`), be valid now and be
   for `host` (a name, or an address given as text); ZK_SECURE_NO_VERIFY takes any certificate.
   Returns the session, or NULL with the plain connect's codes or 30 (no TLS: AUTH TLS refused, a
   failed handshake, PBSZ or PROT refused) or 31 (certificate refused); for 30 and 31 the last
   reply explains, beginning "TLS:". Nothing of the login is sent before TLS stands. */

ZK_EXPORT void ZK_API ZK_FtpDisconnect(FtpSession *session);
/* Sends QUIT, closes the connection and releases the session (NULL: code 1). */

ZK_EXPORT uint32_t ZK_API ZK_FtpQueryLastErrorCode(void);
/* The family's last error code (see the ZK_FTP_ codes); only failures and the start of connect,
   listings and transfers change it. */

ZK_EXPORT void ZK_API ZK_FtpClearLastErrorCode(void);
/* Sets the last error code to 0. */

ZK_EXPORT int32_t ZK_API ZK_FtpQueryLastResponseMessageA(char *buffer, int32_t size);
ZK_EXPORT int32_t ZK_API ZK_FtpQueryLastResponseMessageW(zk_wchar_t *buffer, int32_t size);
/* Copies the last server reply (cut to the buffer, size in bytes or UTF-16 units). Returns the
   length copied without the terminator; 0 for an empty reply or no buffer. */

/* ---- File transfer ---- */

ZK_EXPORT int32_t ZK_API ZK_FtpGetFileA(FtpSession *session, const char *remote_name, const char *local_path,
                                        uint32_t binary);
ZK_EXPORT int32_t ZK_API ZK_FtpGetFileW(FtpSession *session, const zk_wchar_t *remote_name,
                                        const zk_wchar_t *local_path, uint32_t binary);
/* Downloads a file (binary nonzero: TYPE I, 0: TYPE A) and gives the local file the remote time.
   Returns 1, or 0: code 11 (size unknown), 12 (data or local file incomplete, or no 226),
   13 (time not read or not set), 5, 16, 17, 3, 4, 1. */

ZK_EXPORT int32_t ZK_API ZK_FtpPutFileA(FtpSession *session, const char *local_path, const char *remote_name,
                                        uint32_t binary);
ZK_EXPORT int32_t ZK_API ZK_FtpPutFileW(FtpSession *session, const zk_wchar_t *local_path,
                                        const zk_wchar_t *remote_name, uint32_t binary);
/* Uploads a local file unchanged. Returns 1, or 0: code 11 (local file not found, nothing sent),
   12 (file not read completely, or no 226), 5, 16, 17, 3, 4, 1. */

/* ---- Remote files and directories ---- */

ZK_EXPORT int32_t ZK_API ZK_FtpSetDirectoryA(FtpSession *session, const char *directory);
ZK_EXPORT int32_t ZK_API ZK_FtpSetDirectoryW(FtpSession *session, const zk_wchar_t *directory);
/* CWD. Returns 1, or 0: code 8 (refused), 3, 4, 1. */

ZK_EXPORT int32_t ZK_API ZK_FtpCreateDirectoryA(FtpSession *session, const char *directory);
ZK_EXPORT int32_t ZK_API ZK_FtpCreateDirectoryW(FtpSession *session, const zk_wchar_t *directory);
/* MKD. Returns 1, or 0: code 9 (refused), 3, 4, 1. */

ZK_EXPORT int32_t ZK_API ZK_FtpDeleteDirectoryA(FtpSession *session, const char *directory);
ZK_EXPORT int32_t ZK_API ZK_FtpDeleteDirectoryW(FtpSession *session, const zk_wchar_t *directory);
/* RMD. Returns 1, or 0: code 10 (refused), 3, 4, 1. */

ZK_EXPORT int32_t ZK_API ZK_FtpRenameFileA(FtpSession *session, const char *old_name, const char *new_name);
ZK_EXPORT int32_t ZK_API ZK_FtpRenameFileW(FtpSession *session, const zk_wchar_t *old_name,
                                           const zk_wchar_t *new_name);
/* RNFR then RNTO. Returns 1, or 0: code 11 (RNFR failed, RNTO not sent), 10 (RNTO refused), 3, 4, 1. */

ZK_EXPORT int32_t ZK_API ZK_FtpDeleteFileA(FtpSession *session, const char *file);
ZK_EXPORT int32_t ZK_API ZK_FtpDeleteFileW(FtpSession *session, const zk_wchar_t *file);
/* DELE. Returns 1, or 0: code 11 (refused), 3, 4, 1. */

ZK_EXPORT int32_t ZK_API ZK_FtpGetFileSizeA(FtpSession *session, const char *file);
ZK_EXPORT int32_t ZK_API ZK_FtpGetFileSizeW(FtpSession *session, const zk_wchar_t *file);
/* TYPE I then SIZE. Returns the size (saturated at 2147483647), or 0 on failure: code 16, 11
   (refused, or a reply whose size cannot be read), 3, 4, 1; an empty file also gives 0, told apart
   by the code. */

ZK_EXPORT int64_t ZK_API ZK_FtpGetFileSize64A(FtpSession *session, const char *file);
ZK_EXPORT int64_t ZK_API ZK_FtpGetFileSize64W(FtpSession *session, const zk_wchar_t *file);
/* The same query for files of any size. Returns the whole size, or -1 on failure with the same
   codes. */

ZK_EXPORT int32_t ZK_API ZK_FtpGetFileDateA(FtpSession *session, const char *file, FtpFileDate *date,
                                            uint32_t shift);
ZK_EXPORT int32_t ZK_API ZK_FtpGetFileDateW(FtpSession *session, const zk_wchar_t *file, FtpFileDate *date,
                                            uint32_t shift);
/* MDTM into *date (shift 1 adds nine hours; the day does not carry into the month). Returns 1,
   or 0 with code 11 (any failure, a reply without a full time included) or 1. */

/* ---- Listings and permissions ---- */

ZK_EXPORT int32_t ZK_API ZK_FtpListFileA(FtpSession *session, MStringList *list, const char *command);
ZK_EXPORT int32_t ZK_API ZK_FtpListFileW(FtpSession *session, MStringList *list, const zk_wchar_t *command);
/* Runs a listing command ("LIST", "NLST dir"...) over a data connection and fills *list with
   its lines (UTF-16 items for the W form; release with ZK_SocketDeleteMStringA/W). Returns 1,
   or 0 with the list untouched: code 12 (refused, or completion without 226), 5, 16, 17, 3, 4,
   1 (also for a null list). */

ZK_EXPORT int32_t ZK_API ZK_FtpGetDirectoryA(FtpSession *session, char *name, int32_t size, const char *command);
ZK_EXPORT int32_t ZK_API ZK_FtpGetDirectoryW(FtpSession *session, zk_wchar_t *name, int32_t size,
                                             const zk_wchar_t *command);
/* Runs a command answered by 257 ("PWD") and copies the quoted directory name (size in bytes or
   UTF-16 units; empty when the reply quotes nothing). Returns 1, or 0: code 7 (refused, or the
   name does not fit the buffer, which is left empty), 3, 4, 1. */

ZK_EXPORT uint32_t ZK_API ZK_FtpGetPermissionA(FtpSession *session, const char *file);
ZK_EXPORT uint32_t ZK_API ZK_FtpGetPermissionW(FtpSession *session, const zk_wchar_t *file);
/* Permission of a file of the current directory, from its LIST line: 0x755 for rwxr-xr-x, plus
   0x1000 for a directory, 0x4000 for a link... Returns it, or 0xFFFF: code 3 (listing failed),
   11 (no line names the file), 21 (no readable permission word). */

ZK_EXPORT int32_t ZK_API ZK_FtpSetPermissionA(FtpSession *session, const char *file, uint32_t mode);
ZK_EXPORT int32_t ZK_API ZK_FtpSetPermissionW(FtpSession *session, const zk_wchar_t *file, uint32_t mode);
/* SITE CHMOD with the low twelve bits of mode (a ZK_FtpGetPermission value fits). Returns 1,
   or 0: code 11 (the reply says "No such"), 22 (any other failure), 1. */

/* ---- Progress and cancelling ---- */

ZK_EXPORT int32_t ZK_API ZK_FtpSetProgressCallback(FtpSession *session, ZkProgressProc callback, void *user);
/* Has the session's transfers and listings (ZK_FtpGetFileA/W, ZK_FtpPutFileA/W, ZK_FtpListFileA/W)
   report to `callback` (progress.h) with `user`: bytes moved so far, and the file's size (-1 when
   unknown). A nonzero return cancels: the data connection is closed, the server is told with ABOR,
   its replies are read, and the call returns 0 with code 33 (the local file of a download stays
   as far as it came); the session stays usable. NULL stops the reports. Returns 1, or 0 with code
   1 for a null session. */

ZK_EXTERN_C_END

#endif /* ZKNET_FTP_H */
