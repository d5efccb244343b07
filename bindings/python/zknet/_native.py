"""_native.py -- the declarations of every export of zknet (zknet.dll, libzknet.so) for ctypes:
constants, records, the callback type and each function's argtypes and restype.
Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it rather
than editing this file.

The library is loaded on the first use of a function (or by load()): the file $ZKNET_LIBRARY names,
else the one beside this package, else the system's search for zknet.dll / libzknet.so. UTF-16 (W)
texts are zk_wchar_t arrays (2 bytes on every system; see _text.py), never c_wchar_p, whose unit is
4 bytes on Linux. Pointer results (handles, allocated texts) come back as int addresses or None.
"""
import ctypes
import os
import sys

# 32-bit Windows calls the exports and the callbacks with stdcall; everything else the C default.
STDCALL = sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4
if STDCALL:
    _FUNCTYPE, _LIBRARY = ctypes.WINFUNCTYPE, ctypes.WinDLL
else:
    _FUNCTYPE, _LIBRARY = ctypes.CFUNCTYPE, ctypes.CDLL

LIBRARY_NAME = "zknet.dll" if sys.platform == "win32" else "libzknet.so"

# One UTF-16 code unit, and the parameter type of a UTF-16 text (an array of them, or None).
zk_wchar_t = ctypes.c_uint16
ZK_WTEXT = ctypes.POINTER(zk_wchar_t)

# ---- Constants of zkconf.h ----
ZKNET_VERSION = "1.0.0"
ZKNET_VERNUM = 0x1000
ZKNET_VER_MAJOR = 1
ZKNET_VER_MINOR = 0
ZKNET_VER_PATCH = 0

# ---- Constants of socket.h ----
ZK_AF_INET = 2
ZK_AF_INET6 = 23
ZK_SOCK_STREAM = 1
ZK_SOCK_DGRAM = 2

# ---- Constants of secure.h ----
ZK_SECURE_NONE = 0                      # plain text, as the plain connects
ZK_SECURE_EXPLICIT = 1                  # a plain start, then TLS on the server's word; required
ZK_SECURE_IMPLICIT = 2                  # TLS from the first byte (FTPS 990, SMTPS 465, POP3S 995)
ZK_SECURE_NO_VERIFY = 0x100
ZK_SECURE_XOAUTH2 = 0x200
ZK_SECURE_ALLOW_PLAIN_AUTH = 0x400

# ---- Constants of ftp.h ----
ZK_FTP_OK = 0
ZK_FTP_BAD_SESSION = 1                  # null session, or passive neither 0 nor 1
ZK_FTP_NO_CONNECTION = 2
ZK_FTP_NO_REPLY = 3
ZK_FTP_NOT_SENT = 4
ZK_FTP_REFUSED = 5
ZK_FTP_LOGIN_REFUSED = 6
ZK_FTP_PWD_FAILED = 7
ZK_FTP_CWD_FAILED = 8
ZK_FTP_MKD_FAILED = 9
ZK_FTP_RMD_FAILED = 10
ZK_FTP_FILE_FAILED = 11
ZK_FTP_TRANSFER_FAILED = 12
ZK_FTP_DATE_FAILED = 13
ZK_FTP_TYPE_REFUSED = 16
ZK_FTP_PASSIVE_FAILED = 17
ZK_FTP_NO_PERMISSION = 21
ZK_FTP_CHMOD_FAILED = 22
ZK_FTP_TLS_FAILED = 30                  # AUTH TLS refused, no TLS, a failed handshake, TLS broken later
ZK_FTP_CERTIFICATE = 31                 # the server's certificate is untrusted, expired or not for the host
ZK_FTP_CANCELLED = 33                   # the progress callback cancelled the transfer

# ---- Constants of mail.h ----
ZK_MAIL_OK = 0
ZK_MAIL_NO_SESSION = 1                  # null handle, or a handle of the other protocol
ZK_MAIL_NO_CONNECTION = 2
ZK_MAIL_NO_REPLY = 3                    # no greeting or reply, or a greeting without the expected text
ZK_MAIL_NOT_SENT = 4                    # a command line was not sent (or could not be formed)
ZK_MAIL_REFUSED = 5                     # a reply lacked the expected text
ZK_MAIL_LOGIN_REFUSED = 6
ZK_MAIL_HELO_FAILED = 8
ZK_MAIL_FROM_FAILED = 9
ZK_MAIL_RCPT_FAILED = 10
ZK_MAIL_DATA_FAILED = 11                # DATA refused, the message not sent whole, or not accepted
ZK_MAIL_NO_FOLDER = 12
ZK_MAIL_FILE_FAILED = 13
ZK_MAIL_TLS_FAILED = 30                 # no TLS: STARTTLS or STLS not offered or refused, a failed handshake
ZK_MAIL_CERTIFICATE = 31                # the server's certificate was refused
ZK_MAIL_AUTH_FAILED = 32                # SMTP AUTH refused, impossible, or not allowed in plain text
ZK_MAIL_CANCELLED = 33                  # the progress callback cancelled a retrieval
ZK_MAIL_RESPONSE_SIZE = 512

# ---- Constants of telnet.h ----
ZK_TELNET_OK = 0
ZK_TELNET_NOT_CONNECTED = 1             # the socket was not created or not connected
ZK_TELNET_NO_SESSION = 3                # null handle or list; also set by ZK_TelnetDisconnect
ZK_TELNET_NEGOTIATION = 4               # option negotiation failed
ZK_TELNET_NOT_SENT = 5                  # a command was not sent
ZK_TELNET_NOTHING_RECEIVED = 6          # no echo or reply could be received
ZK_TELNET_NO_MEMORY = 7                 # no memory for a line list or the session
ZK_TELNET_NO_LINE = 8                   # the received text held no line
ZK_TELNET_NO_PROMPT = 10                # an expected prompt was not found
ZK_TELNET_RESPONSE_SIZE = 4096


# A list of line texts made by ZK_SocketEditMStringA/W. `items` has one slot per counted line;
# slots 0 to count-1 hold zero-terminated texts: char* for the A form, zk_wchar_t* for the W form.
class MStringList(ctypes.Structure):
    _fields_ = [
        ('count', ctypes.c_int32),
        ('items', ctypes.c_void_p),
    ]


# A remote file's modification time as the server gives it (ZK_FtpGetFileDateA/W).
class FtpFileDate(ctypes.Structure):
    _fields_ = [
        ('year', ctypes.c_uint16),
        ('month', ctypes.c_uint16),
        ('day', ctypes.c_uint16),
        ('hour', ctypes.c_uint16),
        ('minute', ctypes.c_uint16),
        ('second', ctypes.c_uint16),
    ]


# One message of a mailbox listing made by ZK_MailBoxA. The layout is fixed: callers step
# through the entry array by sizeof(MailListEntryA), 2696 bytes.
class MailListEntryA(ctypes.Structure):
    _fields_ = [
        ('number', ctypes.c_int32),
        ('from_', (ctypes.c_char * 640)),
        ('subject', (ctypes.c_char * 2048)),
        ('size', ctypes.c_int32),
    ]


# The same for ZK_MailBoxW, with UTF-16 texts: 5384 bytes.
class MailListEntryW(ctypes.Structure):
    _fields_ = [
        ('number', ctypes.c_int32),
        ('from_', (zk_wchar_t * 640)),
        ('subject', (zk_wchar_t * 2048)),
        ('size', ctypes.c_int32),
    ]


# A mailbox listing. `entries` points to `count` MailListEntryA (ZK_MailBoxA) or MailListEntryW
# (ZK_MailBoxW) records, allocated by the library and released by ZK_MailListFreeA/W.
class MailList(ctypes.Structure):
    _fields_ = [
        ('count', ctypes.c_int32),
        ('entries', ctypes.c_void_p),
    ]


# The Date field of a message as numbers (ZK_MailGetDate); the time zone is not kept.
class MailDate(ctypes.Structure):
    _fields_ = [
        ('year', ctypes.c_uint16),
        ('month', ctypes.c_uint16),
        ('day', ctypes.c_uint16),
        ('hour', ctypes.c_uint16),
        ('minute', ctypes.c_uint16),
        ('second', ctypes.c_uint16),
    ]


# Lines received from the host, without their line breaks; empty lines never occur. Slots 0 to
# count-1 of `items` hold zero-terminated texts: char* from the A operations, zk_wchar_t* from the W
# operations. Filled by a receive, released with ZK_TelnetDelListA/W.
class TelnetLineList(ctypes.Structure):
    _fields_ = [
        ('count', ctypes.c_int32),
        ('items', ctypes.c_void_p),
    ]


# The MAC addresses of up to 16 local adapters, filled by ZK_NicGetMacAddress: slot i holds the
# 6 bytes (in transmission order) of adapter i, slots 0 to count-1 are valid. 100 bytes.
class MacAddressList(ctypes.Structure):
    _fields_ = [
        ('count', ctypes.c_uint32),
        ('addresses', ((ctypes.c_uint8 * 6) * 16)),
    ]


# Called on the thread that started the transfer (never on another), at most about ten times a
# second while data moves and once when it has all moved: `done` bytes so far of `total` (-1 when
# the size is not known), with the `user` value given when the callback was set. Return 0 to go
# on; any other value cancels the transfer, which then fails with the family's code 33
# (ZK_FTP_CANCELLED, ZK_MAIL_CANCELLED) and leaves the session usable. The answer to the last
# call, made when everything has moved, is not heeded.
# Python: def callback(done, total, user) -> int
ZkProgressProc = _FUNCTYPE(ctypes.c_int32, ctypes.c_int64, ctypes.c_int64, ctypes.c_void_p)


# Every export: name -> (restype, argtypes), in the headers' order.
EXPORTS = {
    # ==== socket.h: the ZK_Socket family: TCP/UDP handles, sending and receiving with time-outs, host-name and address queries, broadcast and multi-string lists.
    # ---- Start and stop, handles and connections ----
    # ()
    'ZK_SocketInit': (ctypes.c_int32, []),
    # ()
    'ZK_SocketTerm': (ctypes.c_int32, []),
    # ()
    'ZK_SocketGetLastError': (ctypes.c_int32, []),
    # (family, kind)
    'ZK_SocketOpen': (ctypes.c_void_p, [ctypes.c_uint16, ctypes.c_int32]),
    # (kind, host, port, family)
    'ZK_SocketOpenClientA': (ctypes.c_void_p, [ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32, ctypes.c_uint16]),
    # (kind, host, port, family)
    'ZK_SocketOpenClientW': (ctypes.c_void_p, [ctypes.c_int32, ZK_WTEXT, ctypes.c_int32, ctypes.c_uint16]),
    # (handle, host, port)
    'ZK_SocketConnectClientA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int32]),
    # (handle, host, port)
    'ZK_SocketConnectClientW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ctypes.c_int32]),
    # (kind, port, family)
    'ZK_SocketOpenServer': (ctypes.c_void_p, [ctypes.c_int32, ctypes.c_int32, ctypes.c_uint16]),
    # (handle, port)
    'ZK_SocketConnectServer': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_int32]),
    # (listener)
    'ZK_SocketAccept': (ctypes.c_void_p, [ctypes.c_void_p]),
    # (handle)
    'ZK_SocketClose': (None, [ctypes.c_void_p]),
    # ---- Sending and receiving ----
    # (handle, data, length)
    'ZK_SocketSend': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int32]),
    # (handle, byte)
    'ZK_SocketSendOne': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_int32]),
    # (handle, text)
    'ZK_SocketSendString': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (handle, buffer, size, timeout_ms, pending, drain)
    'ZK_SocketRecv': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_int32, ctypes.c_uint32, ctypes.POINTER(ctypes.c_int32), ctypes.c_int32]),
    # (handle, byte, timeout_ms)
    'ZK_SocketRecvOne': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_uint32]),
    # (handle, buffer, size, timeout_ms)
    'ZK_SocketRecvStringLine': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int32, ctypes.c_uint32]),
    # (handle, length, timeout_ms)
    'ZK_SocketRecvString': (ctypes.c_void_p, [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int32), ctypes.c_uint32]),
    # (text)
    'ZK_SocketDeleteString': (None, [ctypes.c_void_p]),
    # ---- Host names and addresses ----
    # (host, address, address_size, name, name_size, alias, alias_size)
    'ZK_SocketGetAddressInfoA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32]),
    # (host, address, address_size, name, name_size, alias, alias_size)
    'ZK_SocketGetAddressInfoW': (ctypes.c_int32, [ZK_WTEXT, ZK_WTEXT, ctypes.c_int32, ZK_WTEXT, ctypes.c_int32, ZK_WTEXT, ctypes.c_int32]),
    # (host, family, address, address_size, name, name_size, short_name, short_size)
    'ZK_SocketGetAddressInfoExA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_uint16, ctypes.c_char_p, ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32]),
    # (host, family, address, address_size, name, name_size, short_name, short_size)
    'ZK_SocketGetAddressInfoExW': (ctypes.c_int32, [ZK_WTEXT, ctypes.c_uint16, ZK_WTEXT, ctypes.c_int32, ZK_WTEXT, ctypes.c_int32, ZK_WTEXT, ctypes.c_int32]),
    # (name, name_size, address, address_size)
    'ZK_SocketGetHostNameA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32]),
    # (name, name_size, address, address_size)
    'ZK_SocketGetHostNameW': (ctypes.c_int32, [ZK_WTEXT, ctypes.c_int32, ZK_WTEXT, ctypes.c_int32]),
    # (family, name, name_size, address, address_size)
    'ZK_SocketGetHostNameExA': (ctypes.c_int32, [ctypes.c_uint16, ctypes.c_char_p, ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32]),
    # (family, name, name_size, address, address_size)
    'ZK_SocketGetHostNameExW': (ctypes.c_int32, [ctypes.c_uint16, ZK_WTEXT, ctypes.c_int32, ZK_WTEXT, ctypes.c_int32]),
    # (address4)
    'ZK_SocketGetIPAddress': (ctypes.c_int32, [ctypes.c_void_p]),
    # (groups8)
    'ZK_SocketGetIPAddressV6': (ctypes.c_int32, [ctypes.POINTER(ctypes.c_uint16)]),
    # ---- Broadcast and multi-string lists ----
    # (handle, host, port, data, length)
    'ZK_SocketSendBroadcastA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int32, ctypes.c_void_p, ctypes.c_int32]),
    # (handle, host, port, data, length)
    'ZK_SocketSendBroadcastW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ctypes.c_int32, ctypes.c_void_p, ctypes.c_int32]),
    # (text, list)
    'ZK_SocketEditMStringA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.POINTER(MStringList)]),
    # (text, list)
    'ZK_SocketEditMStringW': (ctypes.c_int32, [ctypes.c_char_p, ctypes.POINTER(MStringList)]),
    # (list)
    'ZK_SocketDeleteMStringA': (None, [ctypes.POINTER(MStringList)]),
    # (list)
    'ZK_SocketDeleteMStringW': (None, [ctypes.POINTER(MStringList)]),
    # ==== ftp.h: the ZK_Ftp family: sessions, transfers, remote commands and listings.
    # ---- Sessions, last error and last reply ----
    # (host, user, password, passive, port, family)
    'ZK_FtpConnectA': (ctypes.c_void_p, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_uint32, ctypes.c_int32, ctypes.c_uint16]),
    # (host, user, password, passive, port, family)
    'ZK_FtpConnectW': (ctypes.c_void_p, [ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ctypes.c_uint32, ctypes.c_int32, ctypes.c_uint16]),
    # (host, user, password, passive, port, family, security, ca_file)
    'ZK_FtpConnectSecureA': (ctypes.c_void_p, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_uint32, ctypes.c_int32, ctypes.c_uint16, ctypes.c_uint32, ctypes.c_char_p]),
    # (host, user, password, passive, port, family, security, ca_file)
    'ZK_FtpConnectSecureW': (ctypes.c_void_p, [ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ctypes.c_uint32, ctypes.c_int32, ctypes.c_uint16, ctypes.c_uint32, ZK_WTEXT]),
    # (session)
    'ZK_FtpDisconnect': (None, [ctypes.c_void_p]),
    # ()
    'ZK_FtpQueryLastErrorCode': (ctypes.c_uint32, []),
    # ()
    'ZK_FtpClearLastErrorCode': (None, []),
    # (buffer, size)
    'ZK_FtpQueryLastResponseMessageA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_int32]),
    # (buffer, size)
    'ZK_FtpQueryLastResponseMessageW': (ctypes.c_int32, [ZK_WTEXT, ctypes.c_int32]),
    # ---- File transfer ----
    # (session, remote_name, local_path, binary)
    'ZK_FtpGetFileA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_uint32]),
    # (session, remote_name, local_path, binary)
    'ZK_FtpGetFileW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ZK_WTEXT, ctypes.c_uint32]),
    # (session, local_path, remote_name, binary)
    'ZK_FtpPutFileA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_uint32]),
    # (session, local_path, remote_name, binary)
    'ZK_FtpPutFileW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ZK_WTEXT, ctypes.c_uint32]),
    # ---- Remote files and directories ----
    # (session, directory)
    'ZK_FtpSetDirectoryA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (session, directory)
    'ZK_FtpSetDirectoryW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT]),
    # (session, directory)
    'ZK_FtpCreateDirectoryA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (session, directory)
    'ZK_FtpCreateDirectoryW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT]),
    # (session, directory)
    'ZK_FtpDeleteDirectoryA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (session, directory)
    'ZK_FtpDeleteDirectoryW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT]),
    # (session, old_name, new_name)
    'ZK_FtpRenameFileA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p]),
    # (session, old_name, new_name)
    'ZK_FtpRenameFileW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ZK_WTEXT]),
    # (session, file)
    'ZK_FtpDeleteFileA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (session, file)
    'ZK_FtpDeleteFileW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT]),
    # (session, file)
    'ZK_FtpGetFileSizeA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (session, file)
    'ZK_FtpGetFileSizeW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT]),
    # (session, file)
    'ZK_FtpGetFileSize64A': (ctypes.c_int64, [ctypes.c_void_p, ctypes.c_char_p]),
    # (session, file)
    'ZK_FtpGetFileSize64W': (ctypes.c_int64, [ctypes.c_void_p, ZK_WTEXT]),
    # (session, file, date, shift)
    'ZK_FtpGetFileDateA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.POINTER(FtpFileDate), ctypes.c_uint32]),
    # (session, file, date, shift)
    'ZK_FtpGetFileDateW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ctypes.POINTER(FtpFileDate), ctypes.c_uint32]),
    # ---- Listings and permissions ----
    # (session, list, command)
    'ZK_FtpListFileA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.POINTER(MStringList), ctypes.c_char_p]),
    # (session, list, command)
    'ZK_FtpListFileW': (ctypes.c_int32, [ctypes.c_void_p, ctypes.POINTER(MStringList), ZK_WTEXT]),
    # (session, name, size, command)
    'ZK_FtpGetDirectoryA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int32, ctypes.c_char_p]),
    # (session, name, size, command)
    'ZK_FtpGetDirectoryW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ctypes.c_int32, ZK_WTEXT]),
    # (session, file)
    'ZK_FtpGetPermissionA': (ctypes.c_uint32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (session, file)
    'ZK_FtpGetPermissionW': (ctypes.c_uint32, [ctypes.c_void_p, ZK_WTEXT]),
    # (session, file, mode)
    'ZK_FtpSetPermissionA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_uint32]),
    # (session, file, mode)
    'ZK_FtpSetPermissionW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ctypes.c_uint32]),
    # ---- Progress and cancelling ----
    # (session, callback, user)
    'ZK_FtpSetProgressCallback': (ctypes.c_int32, [ctypes.c_void_p, ZkProgressProc, ctypes.c_void_p]),
    # ==== mail.h: the ZK_Mail family: SMTP sending, POP3 receiving and message extraction.
    # ---- Sessions, last error and last reply ----
    # ()
    'ZK_MailQueryLastErrorCode': (ctypes.c_uint32, []),
    # ()
    'ZK_MailClearLastErrorCode': (None, []),
    # (buffer, size)
    'ZK_MailQueryLastResponseMessageA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_int32]),
    # (buffer, size)
    'ZK_MailQueryLastResponseMessageW': (ctypes.c_int32, [ZK_WTEXT, ctypes.c_int32]),
    # ---- SMTP ----
    # (host, port, family)
    'ZK_MailConnectSmtpA': (ctypes.c_void_p, [ctypes.c_char_p, ctypes.c_int32, ctypes.c_uint16]),
    # (host, port, family)
    'ZK_MailConnectSmtpW': (ctypes.c_void_p, [ZK_WTEXT, ctypes.c_int32, ctypes.c_uint16]),
    # (host, port, family, security, ca_file, helo, user, password)
    'ZK_MailConnectSmtpSecureA': (ctypes.c_void_p, [ctypes.c_char_p, ctypes.c_int32, ctypes.c_uint16, ctypes.c_uint32, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p]),
    # (host, port, family, security, ca_file, helo, user, password)
    'ZK_MailConnectSmtpSecureW': (ctypes.c_void_p, [ZK_WTEXT, ctypes.c_int32, ctypes.c_uint16, ctypes.c_uint32, ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ZK_WTEXT]),
    # (handle)
    'ZK_MailDisconnectSmtp': (None, [ctypes.c_void_p]),
    # (handle, helo, from, to, subject, body, width)
    'ZK_MailSendA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (handle, helo, from, to, subject, body, width)
    'ZK_MailSendW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ctypes.c_int32]),
    # ---- Message composition ----
    # (handle, text)
    'ZK_MailSetXMailerA': (None, [ctypes.c_void_p, ctypes.c_char_p]),
    # (handle, text)
    'ZK_MailSetXMailerW': (None, [ctypes.c_void_p, ZK_WTEXT]),
    # (handle, type, charset, format, reply_type)
    'ZK_MailSetContentTypeA': (None, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p]),
    # (handle, type, charset, format, reply_type)
    'ZK_MailSetContentTypeW': (None, [ctypes.c_void_p, ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ZK_WTEXT]),
    # (text, size, width)
    'ZK_MailJustifiedText': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_int32, ctypes.c_int32]),
    # ---- POP3: mailbox listings and retrieved messages ----
    # (host, user, password, port, family)
    'ZK_MailConnectPop3A': (ctypes.c_void_p, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32, ctypes.c_uint16]),
    # (host, user, password, port, family)
    'ZK_MailConnectPop3W': (ctypes.c_void_p, [ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ctypes.c_int32, ctypes.c_uint16]),
    # (host, user, password, port, family, security, ca_file)
    'ZK_MailConnectPop3SecureA': (ctypes.c_void_p, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32, ctypes.c_uint16, ctypes.c_uint32, ctypes.c_char_p]),
    # (host, user, password, port, family, security, ca_file)
    'ZK_MailConnectPop3SecureW': (ctypes.c_void_p, [ZK_WTEXT, ZK_WTEXT, ZK_WTEXT, ctypes.c_int32, ctypes.c_uint16, ctypes.c_uint32, ZK_WTEXT]),
    # (handle)
    'ZK_MailDisconnectPop3': (None, [ctypes.c_void_p]),
    # (handle, list, fetch)
    'ZK_MailBoxA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.POINTER(MailList), ctypes.c_int32]),
    # (handle, list, fetch)
    'ZK_MailBoxW': (ctypes.c_int32, [ctypes.c_void_p, ctypes.POINTER(MailList), ctypes.c_int32]),
    # (list)
    'ZK_MailListFreeA': (None, [ctypes.POINTER(MailList)]),
    # (list)
    'ZK_MailListFreeW': (None, [ctypes.POINTER(MailList)]),
    # (handle, number)
    'ZK_MailDelete': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_int32]),
    # (handle, number)
    'ZK_MailRecv': (ctypes.c_void_p, [ctypes.c_void_p, ctypes.c_int32]),
    # (message)
    'ZK_MailRecvFree': (None, [ctypes.c_void_p]),
    # (handle, number, folder, name)
    'ZK_MailRecvToFileA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_int32, ctypes.c_char_p, ctypes.c_char_p]),
    # (handle, number, folder, name)
    'ZK_MailRecvToFileW': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_int32, ZK_WTEXT, ZK_WTEXT]),
    # (handle, callback, user)
    'ZK_MailSetProgressCallback': (ctypes.c_int32, [ctypes.c_void_p, ZkProgressProc, ctypes.c_void_p]),
    # ---- Sending a stored message ----
    # (handle, helo, file)
    'ZK_MailSendFromFileA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p]),
    # (handle, helo, file)
    'ZK_MailSendFromFileW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ZK_WTEXT]),
    # ---- Message header ----
    # (text, out, size)
    'ZK_MailGetHeaderA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetHeaderW': (ctypes.c_int32, [ctypes.c_char_p, ZK_WTEXT, ctypes.c_int32]),
    # (text, tag, out, size)
    'ZK_MailGetHeaderTagA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (text, tag, out, size)
    'ZK_MailGetHeaderTagW': (ctypes.c_int32, [ctypes.c_char_p, ZK_WTEXT, ZK_WTEXT, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetFromA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetFromW': (ctypes.c_int32, [ctypes.c_char_p, ZK_WTEXT, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetSubjectA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetSubjectW': (ctypes.c_int32, [ctypes.c_char_p, ZK_WTEXT, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetContentTypeA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetContentTypeW': (ctypes.c_int32, [ctypes.c_char_p, ZK_WTEXT, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetTransferEncodeA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetTransferEncodeW': (ctypes.c_int32, [ctypes.c_char_p, ZK_WTEXT, ctypes.c_int32]),
    # (text, date)
    'ZK_MailGetDate': (ctypes.c_int32, [ctypes.c_char_p, ctypes.POINTER(MailDate)]),
    # ---- Message body ----
    # (text, out, size)
    'ZK_MailGetBodyA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int32]),
    # (text, out, size)
    'ZK_MailGetBodyW': (ctypes.c_int32, [ctypes.c_char_p, ZK_WTEXT, ctypes.c_int32]),
    # ==== telnet.h: the ZK_Telnet family: connection, log-in and line-oriented command exchange.
    # ---- Session ----
    # (host, list, port, family)
    'ZK_TelnetConnectA': (ctypes.c_void_p, [ctypes.c_char_p, ctypes.POINTER(TelnetLineList), ctypes.c_int32, ctypes.c_uint16]),
    # (host, list, port, family)
    'ZK_TelnetConnectW': (ctypes.c_void_p, [ZK_WTEXT, ctypes.POINTER(TelnetLineList), ctypes.c_int32, ctypes.c_uint16]),
    # (handle)
    'ZK_TelnetDisconnect': (None, [ctypes.c_void_p]),
    # ()
    'ZK_TelnetQueryLastErrorCode': (ctypes.c_int32, []),
    # ()
    'ZK_TelnetClearLastErrorCode': (None, []),
    # (out, size)
    'ZK_TelnetQueryLastResponseMessageA': (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_int32]),
    # (out, size)
    'ZK_TelnetQueryLastResponseMessageW': (ctypes.c_int32, [ZK_WTEXT, ctypes.c_int32]),
    # ---- Commands and login ----
    # (handle, command)
    'ZK_TelnetCommandSendA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    # (handle, command)
    'ZK_TelnetCommandSendW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT]),
    # (handle, list)
    'ZK_TelnetCommandRecvA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.POINTER(TelnetLineList)]),
    # (handle, list)
    'ZK_TelnetCommandRecvW': (ctypes.c_int32, [ctypes.c_void_p, ctypes.POINTER(TelnetLineList)]),
    # (list, text)
    'ZK_TelnetSearchStringA': (ctypes.c_int32, [ctypes.POINTER(TelnetLineList), ctypes.c_char_p]),
    # (list, text)
    'ZK_TelnetSearchStringW': (ctypes.c_int32, [ctypes.POINTER(TelnetLineList), ZK_WTEXT]),
    # (list)
    'ZK_TelnetDelListA': (None, [ctypes.POINTER(TelnetLineList)]),
    # (list)
    'ZK_TelnetDelListW': (None, [ctypes.POINTER(TelnetLineList)]),
    # (handle, user, password, list, prompt)
    'ZK_TelnetLoginA': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(TelnetLineList), ctypes.c_char_p]),
    # (handle, user, password, list, prompt)
    'ZK_TelnetLoginW': (ctypes.c_int32, [ctypes.c_void_p, ZK_WTEXT, ZK_WTEXT, ctypes.POINTER(TelnetLineList), ZK_WTEXT]),
    # ==== nic.h: the ZK_Nic family: Wake-on-LAN, adapter count and MAC addresses, ARP resolution.
    # (mac, address4)
    'ZK_NicSendMagicPacket': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_void_p]),
    # ()
    'ZK_NicGetNicNumber': (ctypes.c_int32, []),
    # (list)
    'ZK_NicGetMacAddress': (ctypes.c_int32, [ctypes.POINTER(MacAddressList)]),
    # (address4, mac)
    'ZK_NicResolveAddress': (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_void_p]),
    # ==== trace.h: the protocol trace, for every family: what the library sends and receives, one line each, to a file of the caller's choosing (or standard error).
    # (path)
    'ZK_TraceToFileA': (ctypes.c_int32, [ctypes.c_char_p]),
    # (path)
    'ZK_TraceToFileW': (ctypes.c_int32, [ZK_WTEXT]),
}


_library = None


def library_candidates():
    """Where load() looks, in order; $ZKNET_LIBRARY alone when it is set."""
    if os.environ.get("ZKNET_LIBRARY"):
        return [os.environ["ZKNET_LIBRARY"]]
    out = []
    beside = os.path.join(os.path.dirname(os.path.abspath(__file__)), LIBRARY_NAME)
    if os.path.exists(beside):
        out.append(beside)
    out.append(LIBRARY_NAME)
    return out


def load(path=None):
    """Loads the library (path, else the first of library_candidates() that loads) and declares
    every export on it. Returns the library object; later calls return the same one."""
    global _library
    if _library is not None and path is None:
        return _library
    errors = []
    for candidate in [path] if path else library_candidates():
        try:
            lib = _LIBRARY(candidate)
            break
        except OSError as e:
            errors.append(f"{candidate}: {e}")
    else:
        raise OSError("zknet: cannot load the library (set ZKNET_LIBRARY to its path): " + "; ".join(errors))
    for name, (restype, argtypes) in EXPORTS.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    _library = lib
    return lib


def __getattr__(name):
    # ZK_ functions resolve on first use, so importing this module never loads the library.
    if name in EXPORTS:
        return getattr(load(), name)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
