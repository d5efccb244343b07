Attribute VB_Name = "zknet"
' zknet.bas -- declarations of every export of zknet.dll for VBA (Office 2010 and later, 32- and
' 64-bit) and for VB6 and older Office: constants, records and one Declare per export.
' Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it rather
' than editing this file. Import it in the VBA editor (File > Import File) or add it to a VB6 project.
'
' Handles and pointers are LongPtr under VBA7 (4 bytes in 32-bit Office, 8 in 64-bit) and Long
' elsewhere; load the zknet.dll of the Office's width (x86 or x64). Narrow (A) texts are passed as
' String, which VBA converts to the ANSI code page; A output buffers are Strings made with
' String$(n, vbNullChar), cut at the first vbNullChar afterwards. Wide (W) texts are passed by address:
' StrPtr(s), output buffers String$(n, vbNullChar) with n as the size. vbNullString passes NULL.
' Records go ByRef; void* and byte arrays ByRef As Any (pass the first element, or ByVal 0 for NULL).

Option Explicit

' ---- Constants of zkconf.h ----
Public Const ZKNET_VERSION As String = "1.0.0"
Public Const ZKNET_VERNUM As Long = 4096
Public Const ZKNET_VER_MAJOR As Long = 1
Public Const ZKNET_VER_MINOR As Long = 0
Public Const ZKNET_VER_PATCH As Long = 0

' ---- Constants of socket.h ----
Public Const ZK_AF_INET As Long = 2
Public Const ZK_AF_INET6 As Long = 23
Public Const ZK_SOCK_STREAM As Long = 1
Public Const ZK_SOCK_DGRAM As Long = 2

' ---- Constants of secure.h ----
Public Const ZK_SECURE_NONE As Long = 0             ' plain text, as the plain connects
Public Const ZK_SECURE_EXPLICIT As Long = 1         ' a plain start, then TLS on the server's word; required
Public Const ZK_SECURE_IMPLICIT As Long = 2         ' TLS from the first byte (FTPS 990, SMTPS 465, POP3S 995)
Public Const ZK_SECURE_NO_VERIFY As Long = 256
Public Const ZK_SECURE_XOAUTH2 As Long = 512
Public Const ZK_SECURE_ALLOW_PLAIN_AUTH As Long = 1024

' ---- Constants of ftp.h ----
Public Const ZK_FTP_OK As Long = 0
Public Const ZK_FTP_BAD_SESSION As Long = 1         ' null session, or passive neither 0 nor 1
Public Const ZK_FTP_NO_CONNECTION As Long = 2
Public Const ZK_FTP_NO_REPLY As Long = 3
Public Const ZK_FTP_NOT_SENT As Long = 4
Public Const ZK_FTP_REFUSED As Long = 5
Public Const ZK_FTP_LOGIN_REFUSED As Long = 6
Public Const ZK_FTP_PWD_FAILED As Long = 7
Public Const ZK_FTP_CWD_FAILED As Long = 8
Public Const ZK_FTP_MKD_FAILED As Long = 9
Public Const ZK_FTP_RMD_FAILED As Long = 10
Public Const ZK_FTP_FILE_FAILED As Long = 11
Public Const ZK_FTP_TRANSFER_FAILED As Long = 12
Public Const ZK_FTP_DATE_FAILED As Long = 13
Public Const ZK_FTP_TYPE_REFUSED As Long = 16
Public Const ZK_FTP_PASSIVE_FAILED As Long = 17
Public Const ZK_FTP_NO_PERMISSION As Long = 21
Public Const ZK_FTP_CHMOD_FAILED As Long = 22
Public Const ZK_FTP_TLS_FAILED As Long = 30         ' AUTH TLS refused, no TLS, a failed handshake, TLS broken later
Public Const ZK_FTP_CERTIFICATE As Long = 31        ' the server's certificate is untrusted, expired or not for the host
Public Const ZK_FTP_CANCELLED As Long = 33          ' the progress callback cancelled the transfer

' ---- Constants of mail.h ----
Public Const ZK_MAIL_OK As Long = 0
Public Const ZK_MAIL_NO_SESSION As Long = 1         ' null handle, or a handle of the other protocol
Public Const ZK_MAIL_NO_CONNECTION As Long = 2
Public Const ZK_MAIL_NO_REPLY As Long = 3           ' no greeting or reply, or a greeting without the expected text
Public Const ZK_MAIL_NOT_SENT As Long = 4           ' a command line was not sent (or could not be formed)
Public Const ZK_MAIL_REFUSED As Long = 5            ' a reply lacked the expected text
Public Const ZK_MAIL_LOGIN_REFUSED As Long = 6
Public Const ZK_MAIL_HELO_FAILED As Long = 8
Public Const ZK_MAIL_FROM_FAILED As Long = 9
Public Const ZK_MAIL_RCPT_FAILED As Long = 10
Public Const ZK_MAIL_DATA_FAILED As Long = 11       ' DATA refused, the message not sent whole, or not accepted
Public Const ZK_MAIL_NO_FOLDER As Long = 12
Public Const ZK_MAIL_FILE_FAILED As Long = 13
Public Const ZK_MAIL_TLS_FAILED As Long = 30        ' no TLS: STARTTLS or STLS not offered or refused, a failed handshake
Public Const ZK_MAIL_CERTIFICATE As Long = 31       ' the server's certificate was refused
Public Const ZK_MAIL_AUTH_FAILED As Long = 32       ' SMTP AUTH refused, impossible, or not allowed in plain text
Public Const ZK_MAIL_CANCELLED As Long = 33         ' the progress callback cancelled a retrieval
Public Const ZK_MAIL_RESPONSE_SIZE As Long = 512

' ---- Constants of telnet.h ----
Public Const ZK_TELNET_OK As Long = 0
Public Const ZK_TELNET_NOT_CONNECTED As Long = 1    ' the socket was not created or not connected
Public Const ZK_TELNET_NO_SESSION As Long = 3       ' null handle or list; also set by ZK_TelnetDisconnect
Public Const ZK_TELNET_NEGOTIATION As Long = 4      ' option negotiation failed
Public Const ZK_TELNET_NOT_SENT As Long = 5         ' a command was not sent
Public Const ZK_TELNET_NOTHING_RECEIVED As Long = 6 ' no echo or reply could be received
Public Const ZK_TELNET_NO_MEMORY As Long = 7        ' no memory for a line list or the session
Public Const ZK_TELNET_NO_LINE As Long = 8          ' the received text held no line
Public Const ZK_TELNET_NO_PROMPT As Long = 10       ' an expected prompt was not found
Public Const ZK_TELNET_RESPONSE_SIZE As Long = 4096

' ---- The callback type ZkProgressProc ----
' Called on the thread that started the transfer (never on another), at most about ten times a
' second while data moves and once when it has all moved: `done` bytes so far of `total` (-1 when
' the size is not known), with the `user` value given when the callback was set. Return 0 to go
' on; any other value cancels the transfer, which then fails with the family's code 33
' (ZK_FTP_CANCELLED, ZK_MAIL_CANCELLED) and leaves the session usable. The answer to the last
' call, made when everything has moved, is not heeded.
' Pass AddressOf a Function of a standard module declared as
'   (64-bit Office):
'   Function OnProgress(ByVal done As LongLong, ByVal total As LongLong, ByVal user As LongPtr) As Long
'   (32-bit Office and VB6; a Currency holds the count divided by 10000):
'   Function OnProgress(ByVal done As Currency, ByVal total As Currency, ByVal user As Long) As Long

' ---- Records (the same layout in 32- and 64-bit code) ----
' A remote file's modification time as the server gives it (ZK_FtpGetFileDateA/W).
Public Type FtpFileDate
    year As Integer
    month As Integer
    day As Integer
    hour As Integer
    minute As Integer
    second As Integer
End Type

' One message of a mailbox listing made by ZK_MailBoxA. The layout is fixed: callers step
' through the entry array by sizeof(MailListEntryA), 2696 bytes.
Public Type MailListEntryA
    number As Long
    from(0 To 639) As Byte
    subject(0 To 2047) As Byte
    size As Long
End Type

' The same for ZK_MailBoxW, with UTF-16 texts: 5384 bytes.
Public Type MailListEntryW
    number As Long
    from(0 To 639) As Integer
    subject(0 To 2047) As Integer
    size As Long
End Type

' The Date field of a message as numbers (ZK_MailGetDate); the time zone is not kept.
Public Type MailDate
    year As Integer
    month As Integer
    day As Integer
    hour As Integer
    minute As Integer
    second As Integer
End Type

' The MAC addresses of up to 16 local adapters, filled by ZK_NicGetMacAddress: slot i holds the
' 6 bytes (in transmission order) of adapter i, slots 0 to count-1 are valid. 100 bytes.
Public Type MacAddressList
    count As Long
    addresses(0 To 95) As Byte   ' C [16][6]: element (i, j) at i * 6 + j
End Type

#If VBA7 Then

' ---- Records that hold addresses ----
' A list of line texts made by ZK_SocketEditMStringA/W. `items` has one slot per counted line;
' slots 0 to count-1 hold zero-terminated texts: char* for the A form, zk_wchar_t* for the W form.
Public Type MStringList
    count As Long
    items As LongPtr
End Type

' A mailbox listing. `entries` points to `count` MailListEntryA (ZK_MailBoxA) or MailListEntryW
' (ZK_MailBoxW) records, allocated by the library and released by ZK_MailListFreeA/W.
Public Type MailList
    count As Long
    entries As LongPtr
End Type

' Lines received from the host, without their line breaks; empty lines never occur. Slots 0 to
' count-1 of `items` hold zero-terminated texts: char* from the A operations, zk_wchar_t* from the W
' operations. Filled by a receive, released with ZK_TelnetDelListA/W.
Public Type TelnetLineList
    count As Long
    items As LongPtr
End Type

' ==== socket.h: the ZK_Socket family: TCP/UDP handles, sending and receiving with time-outs, host-
' name and address queries, broadcast and multi-string lists.

' ---- Start and stop, handles and connections ----

Public Declare PtrSafe Function ZK_SocketInit Lib "zknet.dll" () As Long
    ' Starts the socket service (version 2.2). Returns 0, or the platform's error code.

Public Declare PtrSafe Function ZK_SocketTerm Lib "zknet.dll" () As Long
    ' Stops the socket service. Returns 0, or -1 on failure.

Public Declare PtrSafe Function ZK_SocketGetLastError Lib "zknet.dll" () As Long
    ' The calling thread's socket error code (WSAEINVAL 10022, WSAETIMEDOUT 10060, ...), as the last
    ' failing socket operation on this thread left it.

Public Declare PtrSafe Function ZK_SocketOpen Lib "zknet.dll" (ByVal family As Integer, ByVal kind As Long) As LongPtr
    ' Creates an unconnected socket of family 2 or 23 and kind 1 (stream) or 2 (datagram).
    ' Returns the handle, or NULL with the platform's error code.

Public Declare PtrSafe Function ZK_SocketOpenClientA Lib "zknet.dll" (ByVal kind As Long, _
        ByVal host As String, ByVal port As Long, ByVal family As Integer) As LongPtr
Public Declare PtrSafe Function ZK_SocketOpenClientW Lib "zknet.dll" (ByVal kind As Long, _
        ByVal host As LongPtr, ByVal port As Long, ByVal family As Integer) As LongPtr
    ' Opens a client socket; a stream is connected to host:port, a datagram is returned unconnected.
    ' Returns the handle, or NULL (kind other than 1 or 2: WSAEINVAL).

Public Declare PtrSafe Function ZK_SocketConnectClientA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal host As String, ByVal port As Long) As Long
Public Declare PtrSafe Function ZK_SocketConnectClientW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal host As LongPtr, ByVal port As Long) As Long
    ' Connects an open handle to host:port. Returns 1, or 0 (the handle stays open).

Public Declare PtrSafe Function ZK_SocketOpenServer Lib "zknet.dll" (ByVal kind As Long, _
        ByVal port As Long, ByVal family As Integer) As LongPtr
    ' Opens a socket bound to the port on every local address, listening if it is a stream.
    ' Returns the handle, or NULL.

Public Declare PtrSafe Function ZK_SocketConnectServer Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal port As Long) As Long
    ' Binds an open handle to the port (and listens, for a stream). Returns 1, or 0.

Public Declare PtrSafe Function ZK_SocketAccept Lib "zknet.dll" (ByVal listener As LongPtr) As LongPtr
    ' Waits for a connection on a listening handle. Returns the new handle, or NULL.

Public Declare PtrSafe Sub ZK_SocketClose Lib "zknet.dll" (ByVal handle As LongPtr)
    ' Shuts down (streams) and closes the socket and releases the handle.

' ---- Sending and receiving ----

Public Declare PtrSafe Function ZK_SocketSend Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef data As Any, ByVal length As Long) As Long
    ' One send of `length` bytes. Returns the bytes sent, or -1.

Public Declare PtrSafe Function ZK_SocketSendOne Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal byteValue As Long) As Long
    ' Sends the low 8 bits of `byte`. Returns 1, or -1.

Public Declare PtrSafe Function ZK_SocketSendString Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal textValue As String) As Long
    ' Sends a text without its terminator. Returns the bytes sent, or -1 (also for an empty text).

Public Declare PtrSafe Function ZK_SocketRecv Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef buffer As Any, ByVal size As Long, ByVal timeoutMs As Long, ByRef pending As Long, _
        ByVal drain As Long) As Long
    ' Receives into a zero-filled buffer. drain 0: returns `size` once the buffer is full, 0 on a
    ' time-out or close before that. drain not 0: returns the bytes received as soon as nothing more is
    ' waiting. -1 on failure. *pending (optional) gets the bytes still waiting after a full buffer.

Public Declare PtrSafe Function ZK_SocketRecvOne Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef byteValue As Any, ByVal timeoutMs As Long) As Long
    ' Receives one byte. Returns 1, 0 when the peer has closed, -1 on failure or time-out.

Public Declare PtrSafe Function ZK_SocketRecvStringLine Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal buffer As String, ByVal size As Long, ByVal timeoutMs As Long) As Long
    ' Receives one line without its CR and LF into a zero-filled buffer, at most size-1 bytes.
    ' Returns the length stored, or -1 on failure or time-out (what arrived stays in the buffer).

Public Declare PtrSafe Function ZK_SocketRecvString Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef length As Long, ByVal timeoutMs As Long) As LongPtr
    ' Receives everything that arrives until a pause of about half a second, a time-out or a close.
    ' Returns an allocated, zero-terminated block (release with ZK_SocketDeleteString) and its length,
    ' or NULL with length 0 (-2 when no memory could be had).

Public Declare PtrSafe Sub ZK_SocketDeleteString Lib "zknet.dll" (ByVal textValue As LongPtr)
    ' Releases a text from ZK_SocketRecvString or ZK_MailRecv; NULL is ignored.

' ---- Host names and addresses ----

Public Declare PtrSafe Function ZK_SocketGetAddressInfoA Lib "zknet.dll" (ByVal host As String, _
        ByVal address As String, ByVal addressSize As Long, ByVal nameValue As String, _
        ByVal nameSize As Long, ByVal aliasValue As String, ByVal aliasSize As Long) As Long
Public Declare PtrSafe Function ZK_SocketGetAddressInfoW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal address As LongPtr, ByVal addressSize As Long, ByVal nameValue As LongPtr, _
        ByVal nameSize As Long, ByVal aliasValue As LongPtr, ByVal aliasSize As Long) As Long
    ' Classic IPv4 look-up of a name or dotted address: dotted address, official name and first alias.
    ' Returns 1 if any part was found, else 0.

Public Declare PtrSafe Function ZK_SocketGetAddressInfoExA Lib "zknet.dll" (ByVal host As String, _
        ByVal family As Integer, ByVal address As String, ByVal addressSize As Long, _
        ByVal nameValue As String, ByVal nameSize As Long, ByVal shortName As String, _
        ByVal shortSize As Long) As Long
Public Declare PtrSafe Function ZK_SocketGetAddressInfoExW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal family As Integer, ByVal address As LongPtr, ByVal addressSize As Long, _
        ByVal nameValue As LongPtr, ByVal nameSize As Long, ByVal shortName As LongPtr, _
        ByVal shortSize As Long) As Long
    ' Address-info look-up (family 2, 23 or 0): numeric address, registered name and short name of
    ' the first result. Returns 1 if something counted as found, else 0.

Public Declare PtrSafe Function ZK_SocketGetHostNameA Lib "zknet.dll" (ByVal nameValue As String, _
        ByVal nameSize As Long, ByVal address As String, ByVal addressSize As Long) As Long
Public Declare PtrSafe Function ZK_SocketGetHostNameW Lib "zknet.dll" (ByVal nameValue As LongPtr, _
        ByVal nameSize As Long, ByVal address As LongPtr, ByVal addressSize As Long) As Long
    ' The local computer's official name and first IPv4 address. Returns 1, or 0.

Public Declare PtrSafe Function ZK_SocketGetHostNameExA Lib "zknet.dll" (ByVal family As Integer, _
        ByVal nameValue As String, ByVal nameSize As Long, ByVal address As String, _
        ByVal addressSize As Long) As Long
Public Declare PtrSafe Function ZK_SocketGetHostNameExW Lib "zknet.dll" (ByVal family As Integer, _
        ByVal nameValue As LongPtr, ByVal nameSize As Long, ByVal address As LongPtr, _
        ByVal addressSize As Long) As Long
    ' The local computer's name and its first address of the family. Returns 1, or 0.

Public Declare PtrSafe Function ZK_SocketGetIPAddress Lib "zknet.dll" (ByRef address4 As Any) As Long
    ' The local IPv4 address as 4 bytes in network order. Returns 1, or 0.

Public Declare PtrSafe Function ZK_SocketGetIPAddressV6 Lib "zknet.dll" (ByRef groups8 As Any) As Long
    ' The local IPv6 address as 8 16-bit groups in host order. Returns 1, or 0.

' ---- Broadcast and multi-string lists ----

Public Declare PtrSafe Function ZK_SocketSendBroadcastA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal host As String, ByVal port As Long, ByRef data As Any, ByVal length As Long) As Long
Public Declare PtrSafe Function ZK_SocketSendBroadcastW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal host As LongPtr, ByVal port As Long, ByRef data As Any, ByVal length As Long) As Long
    ' Sends one datagram to an IPv4 host or broadcast address on an IPv4 datagram handle.
    ' Returns the bytes sent, or -1 (0 from the W form when the host text does not convert).

Public Declare PtrSafe Function ZK_SocketEditMStringA Lib "zknet.dll" (ByVal textValue As String, _
        ByRef list As MStringList) As Long
Public Declare PtrSafe Function ZK_SocketEditMStringW Lib "zknet.dll" (ByVal textValue As String, _
        ByRef list As MStringList) As Long
    ' Splits a CR LF text into line items (narrow, or UTF-16 for the W form). Returns 1, or 0 for a
    ' null or empty text or a failed allocation; release the list with ZK_SocketDeleteMStringA/W.

Public Declare PtrSafe Sub ZK_SocketDeleteMStringA Lib "zknet.dll" (ByRef list As MStringList)
Public Declare PtrSafe Sub ZK_SocketDeleteMStringW Lib "zknet.dll" (ByRef list As MStringList)
    ' Releases the items and item array of a list; NULL is ignored. One entry under two names.

' ==== ftp.h: the ZK_Ftp family: sessions, transfers, remote commands and listings.

' ---- Sessions, last error and last reply ----

Public Declare PtrSafe Function ZK_FtpConnectA Lib "zknet.dll" (ByVal host As String, _
        ByVal user As String, ByVal password As String, ByVal passive As Long, ByVal port As Long, _
        ByVal family As Integer) As LongPtr
Public Declare PtrSafe Function ZK_FtpConnectW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal user As LongPtr, ByVal password As LongPtr, ByVal passive As Long, ByVal port As Long, _
        ByVal family As Integer) As LongPtr
    ' Connects (family 2 or 23) and logs in; passive 1 for passive data connections, 0 for active.
    ' Returns the session, or NULL: code 2 (no connection), 3 (no greeting or reply), 4, 6 (login
    ' refused).

Public Declare PtrSafe Function ZK_FtpConnectSecureA Lib "zknet.dll" (ByVal host As String, _
        ByVal user As String, ByVal password As String, ByVal passive As Long, ByVal port As Long, _
        ByVal family As Integer, ByVal security As Long, ByVal caFile As String) As LongPtr
Public Declare PtrSafe Function ZK_FtpConnectSecureW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal user As LongPtr, ByVal password As LongPtr, ByVal passive As Long, ByVal port As Long, _
        ByVal family As Integer, ByVal security As Long, ByVal caFile As LongPtr) As LongPtr
    ' Connects as ZK_FtpConnectA/W, over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT sends
    ' AUTH TLS after the greeting and goes no further without TLS; ZK_SECURE_IMPLICIT speaks TLS from
    ' the first byte (port 990). After the login, PBSZ 0 and PROT P: every data connection is TLS as
    ' well, resuming the control connection's TLS session. The server's certificate must lead to a
    ' trusted root (the system's, or exactly the CAs of the PEM file `ca_file`), be valid now and be
    ' for `host` (a name, or an address given as text); ZK_SECURE_NO_VERIFY takes any certificate.
    ' Returns the session, or NULL with the plain connect's codes or 30 (no TLS: AUTH TLS refused, a
    ' failed handshake, PBSZ or PROT refused) or 31 (certificate refused); for 30 and 31 the last
    ' reply explains, beginning "TLS:". Nothing of the login is sent before TLS stands.

Public Declare PtrSafe Sub ZK_FtpDisconnect Lib "zknet.dll" (ByVal session As LongPtr)
    ' Sends QUIT, closes the connection and releases the session (NULL: code 1).

Public Declare PtrSafe Function ZK_FtpQueryLastErrorCode Lib "zknet.dll" () As Long
    ' The family's last error code (see the ZK_FTP_ codes); only failures and the start of connect,
    ' listings and transfers change it.

Public Declare PtrSafe Sub ZK_FtpClearLastErrorCode Lib "zknet.dll" ()
    ' Sets the last error code to 0.

Public Declare PtrSafe Function ZK_FtpQueryLastResponseMessageA Lib "zknet.dll" (ByVal buffer As String, _
        ByVal size As Long) As Long
Public Declare PtrSafe Function ZK_FtpQueryLastResponseMessageW Lib "zknet.dll" (ByVal buffer As LongPtr, _
        ByVal size As Long) As Long
    ' Copies the last server reply (cut to the buffer, size in bytes or UTF-16 units). Returns the
    ' length copied without the terminator; 0 for an empty reply or no buffer.

' ---- File transfer ----

Public Declare PtrSafe Function ZK_FtpGetFileA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal remoteName As String, ByVal localPath As String, ByVal binaryValue As Long) As Long
Public Declare PtrSafe Function ZK_FtpGetFileW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal remoteName As LongPtr, ByVal localPath As LongPtr, ByVal binaryValue As Long) As Long
    ' Downloads a file (binary nonzero: TYPE I, 0: TYPE A) and gives the local file the remote time.
    ' Returns 1, or 0: code 11 (size unknown), 12 (data or local file incomplete, or no 226),
    ' 13 (time not read or not set), 5, 16, 17, 3, 4, 1.

Public Declare PtrSafe Function ZK_FtpPutFileA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal localPath As String, ByVal remoteName As String, ByVal binaryValue As Long) As Long
Public Declare PtrSafe Function ZK_FtpPutFileW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal localPath As LongPtr, ByVal remoteName As LongPtr, ByVal binaryValue As Long) As Long
    ' Uploads a local file unchanged. Returns 1, or 0: code 11 (local file not found, nothing sent),
    ' 12 (file not read completely, or no 226), 5, 16, 17, 3, 4, 1.

' ---- Remote files and directories ----

Public Declare PtrSafe Function ZK_FtpSetDirectoryA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal directory As String) As Long
Public Declare PtrSafe Function ZK_FtpSetDirectoryW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal directory As LongPtr) As Long
    ' CWD. Returns 1, or 0: code 8 (refused), 3, 4, 1.

Public Declare PtrSafe Function ZK_FtpCreateDirectoryA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal directory As String) As Long
Public Declare PtrSafe Function ZK_FtpCreateDirectoryW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal directory As LongPtr) As Long
    ' MKD. Returns 1, or 0: code 9 (refused), 3, 4, 1.

Public Declare PtrSafe Function ZK_FtpDeleteDirectoryA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal directory As String) As Long
Public Declare PtrSafe Function ZK_FtpDeleteDirectoryW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal directory As LongPtr) As Long
    ' RMD. Returns 1, or 0: code 10 (refused), 3, 4, 1.

Public Declare PtrSafe Function ZK_FtpRenameFileA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal oldName As String, ByVal newName As String) As Long
Public Declare PtrSafe Function ZK_FtpRenameFileW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal oldName As LongPtr, ByVal newName As LongPtr) As Long
    ' RNFR then RNTO. Returns 1, or 0: code 11 (RNFR failed, RNTO not sent), 10 (RNTO refused), 3, 4, 1.

Public Declare PtrSafe Function ZK_FtpDeleteFileA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As String) As Long
Public Declare PtrSafe Function ZK_FtpDeleteFileW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As LongPtr) As Long
    ' DELE. Returns 1, or 0: code 11 (refused), 3, 4, 1.

Public Declare PtrSafe Function ZK_FtpGetFileSizeA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As String) As Long
Public Declare PtrSafe Function ZK_FtpGetFileSizeW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As LongPtr) As Long
    ' TYPE I then SIZE. Returns the size (saturated at 2147483647), or 0 on failure: code 16, 11
    ' (refused, or a reply whose size cannot be read), 3, 4, 1; an empty file also gives 0, told apart
    ' by the code.

#If Win64 Then
Public Declare PtrSafe Function ZK_FtpGetFileSize64A Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As String) As LongLong
#Else
Public Declare PtrSafe Function ZK_FtpGetFileSize64A Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As String) As Currency
#End If
#If Win64 Then
Public Declare PtrSafe Function ZK_FtpGetFileSize64W Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As LongPtr) As LongLong
#Else
Public Declare PtrSafe Function ZK_FtpGetFileSize64W Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As LongPtr) As Currency
#End If
    ' The same query for files of any size. Returns the whole size, or -1 on failure with the same
    ' codes.
    ' 32-bit Office and VB6 get the 64-bit result as Currency: multiply it by 10000 for the count.

Public Declare PtrSafe Function ZK_FtpGetFileDateA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As String, ByRef dateValue As FtpFileDate, ByVal shift As Long) As Long
Public Declare PtrSafe Function ZK_FtpGetFileDateW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As LongPtr, ByRef dateValue As FtpFileDate, ByVal shift As Long) As Long
    ' MDTM into *date (shift 1 adds nine hours; the day does not carry into the month). Returns 1,
    ' or 0 with code 11 (any failure, a reply without a full time included) or 1.

' ---- Listings and permissions ----

Public Declare PtrSafe Function ZK_FtpListFileA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByRef list As MStringList, ByVal command As String) As Long
Public Declare PtrSafe Function ZK_FtpListFileW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByRef list As MStringList, ByVal command As LongPtr) As Long
    ' Runs a listing command ("LIST", "NLST dir"...) over a data connection and fills *list with
    ' its lines (UTF-16 items for the W form; release with ZK_SocketDeleteMStringA/W). Returns 1,
    ' or 0 with the list untouched: code 12 (refused, or completion without 226), 5, 16, 17, 3, 4,
    ' 1 (also for a null list).

Public Declare PtrSafe Function ZK_FtpGetDirectoryA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal nameValue As String, ByVal size As Long, ByVal command As String) As Long
Public Declare PtrSafe Function ZK_FtpGetDirectoryW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal nameValue As LongPtr, ByVal size As Long, ByVal command As LongPtr) As Long
    ' Runs a command answered by 257 ("PWD") and copies the quoted directory name (size in bytes or
    ' UTF-16 units; empty when the reply quotes nothing). Returns 1, or 0: code 7 (refused, or the
    ' name does not fit the buffer, which is left empty), 3, 4, 1.

Public Declare PtrSafe Function ZK_FtpGetPermissionA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As String) As Long
Public Declare PtrSafe Function ZK_FtpGetPermissionW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As LongPtr) As Long
    ' Permission of a file of the current directory, from its LIST line: 0x755 for rwxr-xr-x, plus
    ' 0x1000 for a directory, 0x4000 for a link... Returns it, or 0xFFFF: code 3 (listing failed),
    ' 11 (no line names the file), 21 (no readable permission word).

Public Declare PtrSafe Function ZK_FtpSetPermissionA Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As String, ByVal mode As Long) As Long
Public Declare PtrSafe Function ZK_FtpSetPermissionW Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal file As LongPtr, ByVal mode As Long) As Long
    ' SITE CHMOD with the low twelve bits of mode (a ZK_FtpGetPermission value fits). Returns 1,
    ' or 0: code 11 (the reply says "No such"), 22 (any other failure), 1.

' ---- Progress and cancelling ----

Public Declare PtrSafe Function ZK_FtpSetProgressCallback Lib "zknet.dll" (ByVal session As LongPtr, _
        ByVal callback As LongPtr, ByVal user As LongPtr) As Long
    ' Has the session's transfers and listings (ZK_FtpGetFileA/W, ZK_FtpPutFileA/W, ZK_FtpListFileA/W)
    ' report to `callback` (progress.h) with `user`: bytes moved so far, and the file's size (-1 when
    ' unknown). A nonzero return cancels: the data connection is closed, the server is told with ABOR,
    ' its replies are read, and the call returns 0 with code 33 (the local file of a download stays
    ' as far as it came); the session stays usable. NULL stops the reports. Returns 1, or 0 with code
    ' 1 for a null session.

' ==== mail.h: the ZK_Mail family: SMTP sending, POP3 receiving and message extraction.

' ---- Sessions, last error and last reply ----

Public Declare PtrSafe Function ZK_MailQueryLastErrorCode Lib "zknet.dll" () As Long
    ' The family's last error code (ZK_MAIL_...), shared by every session and thread. Only failures,
    ' the start of a connect and ZK_MailClearLastErrorCode change it. Sessions on several threads may
    ' replace the code and the last reply at any time; each is always read whole.

Public Declare PtrSafe Sub ZK_MailClearLastErrorCode Lib "zknet.dll" ()
    ' Sets the last error code to 0.

Public Declare PtrSafe Function ZK_MailQueryLastResponseMessageA Lib "zknet.dll" (ByVal buffer As String, _
        ByVal size As Long) As Long
Public Declare PtrSafe Function ZK_MailQueryLastResponseMessageW Lib "zknet.dll" (ByVal buffer As LongPtr, _
        ByVal size As Long) As Long
    ' Copies the last server reply line (the final line of a multi-line reply) into `buffer`, cut
    ' to its size (bytes / UTF-16 units, terminator included) at a character boundary. Returns the
    ' length copied without the terminator; 0 for an empty reply or no buffer.

' ---- SMTP ----

Public Declare PtrSafe Function ZK_MailConnectSmtpA Lib "zknet.dll" (ByVal host As String, _
        ByVal port As Long, ByVal family As Integer) As LongPtr
Public Declare PtrSafe Function ZK_MailConnectSmtpW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal port As Long, ByVal family As Integer) As LongPtr
    ' Connects to an SMTP server (family 2 or 23) and reads its greeting, which must hold "220".
    ' Returns the session, or NULL with code 2 (no connection) or 3 (no or another greeting). Sends
    ' no command: each ZK_MailSendA/W says HELO itself.

Public Declare PtrSafe Function ZK_MailConnectSmtpSecureA Lib "zknet.dll" (ByVal host As String, _
        ByVal port As Long, ByVal family As Integer, ByVal security As Long, ByVal caFile As String, _
        ByVal helo As String, ByVal user As String, ByVal password As String) As LongPtr
Public Declare PtrSafe Function ZK_MailConnectSmtpSecureW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal port As Long, ByVal family As Integer, ByVal security As Long, ByVal caFile As LongPtr, _
        ByVal helo As LongPtr, ByVal user As LongPtr, ByVal password As LongPtr) As LongPtr
    ' Connects to a submission server as `security` asks (secure.h). ZK_SECURE_NONE with a NULL user
    ' is ZK_MailConnectSmtpA/W. Otherwise, after the greeting: EHLO helo (NULL: this machine's name);
    ' with ZK_SECURE_EXPLICIT, STARTTLS, required (never a fall-back to plain text), and EHLO again;
    ' with ZK_SECURE_IMPLICIT TLS from the first byte (port 465). With a non-NULL user, AUTH with the
    ' best mechanism the server offers: OAUTHBEARER or XOAUTH2 with ZK_SECURE_XOAUTH2 (the password
    ' is then the access token), else PLAIN or LOGIN. Certificates are checked as for
    ' ZK_FtpConnectSecureA/W. Returns the session, or NULL with code 2, 3, 30 (no TLS), 31
    ' (certificate refused), or 32 (AUTH refused, no mechanism to use, or AUTH over plain text
    ' without ZK_SECURE_ALLOW_PLAIN_AUTH: nothing sent); 30 and 31 leave a last reply beginning
    ' "TLS: ". Every message of the session goes out as the authenticated user: ZK_MailSendA/W and
    ' ZK_MailSendFromFileA/W send no HELO of their own on a session greeted here.

Public Declare PtrSafe Sub ZK_MailDisconnectSmtp Lib "zknet.dll" (ByVal handle As LongPtr)
    ' Sends QUIT, reads the reply (any reply, or none within 8 s), closes the connection and releases
    ' the session. NULL or a POP3 session: code 1, nothing released.

Public Declare PtrSafe Function ZK_MailSendA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal helo As String, ByVal from As String, ByVal toValue As String, ByVal subject As String, _
        ByVal body As String, ByVal widthValue As Long) As Long
Public Declare PtrSafe Function ZK_MailSendW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal helo As LongPtr, ByVal from As LongPtr, ByVal toValue As LongPtr, ByVal subject As LongPtr, _
        ByVal body As LongPtr, ByVal widthValue As Long) As Long
    ' Sends one message: HELO helo; MAIL FROM with the from text's address; one RCPT TO for each
    ' address of the to text (addresses separated by commas; "Name <address>" gives "<address>",
    ' a text without angle brackets goes as it stands); DATA; the header block (From, To, Subject,
    ' MIME-Version, Content-Type, Content-Transfer-Encoding, X-Mailer); the body folded to `width`
    ' columns a line (-1: not folded); the end of the data. From and To keep their display names,
    ' as encoded words where they hold more than ASCII. The text goes out in ISO-2022-JP (7bit), its
    ' half-width katakana as full-width ones; or in UTF-8 (the body in Base64) when the Content-Type
    ' names charset UTF-8, the W form then carrying every character. The A subject goes out as it
    ' stands (ISO-2022-JP) while its line fits 78 characters, the W subject and any longer one as
    ' encoded words on as many lines as they take: a subject is never cut. No empty line is put
    ' between header block and body in ISO-2022-JP: start the body with a line break. CR and LF in
    ' helo, from, to and subject become spaces; a text that would make its command line longer than
    ' 1024 characters (or, in the W form, holds a character the ANSI code page lacks) is not sent and
    ' fails its step. Characters ISO-2022-JP lacks go as their NEC twins (the IBM extensions) or as
    ' the geta mark (the user-defined area). Every send gives up once the server has taken no byte
    ' for 8 s; the reply to the message is waited for up to 10 minutes. Returns 1 when the server
    ' accepted the message with 250, else 0 with code 1, 8 (HELO), 9 (MAIL FROM), 10 (an RCPT TO;
    ' nothing more is sent) or 11 (DATA, the message not sent whole, or no 250 after it); the
    ' server's reply is the last response.

' ---- Message composition ----

Public Declare PtrSafe Sub ZK_MailSetXMailerA Lib "zknet.dll" (ByVal handle As LongPtr, ByVal textValue As String)
Public Declare PtrSafe Sub ZK_MailSetXMailerW Lib "zknet.dll" (ByVal handle As LongPtr, ByVal textValue As LongPtr)
    ' Sets the session's X-Mailer header to "X-Mailer: " and the text (at most 248 bytes in the ANSI
    ' code page; a longer text is cut at a character boundary; CR and LF become spaces). NULL handle:
    ' nothing happens.

Public Declare PtrSafe Sub ZK_MailSetContentTypeA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal typeValue As String, ByVal charset As String, ByVal format As String, _
        ByVal replyType As String)
Public Declare PtrSafe Sub ZK_MailSetContentTypeW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal typeValue As LongPtr, ByVal charset As LongPtr, ByVal format As LongPtr, _
        ByVal replyType As LongPtr)
    ' Sets the session's Content-Type header to the type with its format, charset and reply-type
    ' parameters (NULL: "fixed", "iso-2022-jp", "original"). A null or empty type, a null handle, or
    ' values of more than 207 bytes together leave it as it was. CR and LF become spaces. A charset
    ' of "UTF-8" (any case) makes the session's messages go out in UTF-8; any other charset only
    ' describes, the text going out as 7bit ISO-2022-JP.

Public Declare PtrSafe Function ZK_MailJustifiedText Lib "zknet.dll" (ByVal textValue As String, _
        ByVal size As Long, ByVal widthValue As Long) As Long
    ' Folds the ANSI text in `text` (a buffer of `size` bytes) in place so that no line holds more
    ' than `width` bytes, inserting CR LF; a double-byte character is never split and counts two, a
    ' TAB becomes one space, bytes that begin no character are dropped. Returns 1 when all of the
    ' text was folded, 0 when the buffer filled up first (the text folded so far stays, terminated)
    ' or there is no text.

' ---- POP3: mailbox listings and retrieved messages ----

Public Declare PtrSafe Function ZK_MailConnectPop3A Lib "zknet.dll" (ByVal host As String, _
        ByVal user As String, ByVal password As String, ByVal port As Long, ByVal family As Integer) As LongPtr
Public Declare PtrSafe Function ZK_MailConnectPop3W Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal user As LongPtr, ByVal password As LongPtr, ByVal port As Long, ByVal family As Integer) As LongPtr
    ' Connects to a POP3 server (family 2 or 23), reads its greeting, which must hold "+OK" (in any
    ' case), and logs in with USER and PASS. Returns the session, or NULL with code 2 (no
    ' connection), 3 (no or another greeting; or no reply to USER), 4 (USER not sent) or 6 (USER
    ' refused, or PASS not accepted: a wrong password); the connection is closed again.

Public Declare PtrSafe Function ZK_MailConnectPop3SecureA Lib "zknet.dll" (ByVal host As String, _
        ByVal user As String, ByVal password As String, ByVal port As Long, ByVal family As Integer, _
        ByVal security As Long, ByVal caFile As String) As LongPtr
Public Declare PtrSafe Function ZK_MailConnectPop3SecureW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByVal user As LongPtr, ByVal password As LongPtr, ByVal port As Long, ByVal family As Integer, _
        ByVal security As Long, ByVal caFile As LongPtr) As LongPtr
    ' Connects as ZK_MailConnectPop3A/W over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT
    ' sends STLS after the greeting, required; ZK_SECURE_IMPLICIT speaks TLS from the first byte (port
    ' 995). Then USER and PASS (a server that refuses USER is asked AUTH PLAIN), or with
    ' ZK_SECURE_XOAUTH2 AUTH OAUTHBEARER or XOAUTH2 with the password as the access token. Returns the
    ' session, or NULL with the plain connect's codes (6: the login refused), 30 or 31 (as for
    ' ZK_MailConnectSmtpSecureA/W), or 32 (a token over plain text without
    ' ZK_SECURE_ALLOW_PLAIN_AUTH: nothing sent).

Public Declare PtrSafe Sub ZK_MailDisconnectPop3 Lib "zknet.dll" (ByVal handle As LongPtr)
    ' Sends QUIT, which makes the deletions of the session take effect, reads the reply (any reply,
    ' or none within 8 s), closes the connection and releases the session. NULL or an SMTP session:
    ' code 1, nothing released.

Public Declare PtrSafe Function ZK_MailBoxA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef list As MailList, ByVal fetch As Long) As Long
Public Declare PtrSafe Function ZK_MailBoxW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef list As MailList, ByVal fetch As Long) As Long
    ' Lists the mailbox with LIST into *list (overwritten, not released first): the number and size
    ' of each message, and with a nonzero `fetch` also its decoded From and Subject, for which every
    ' message is retrieved whole with RETR (a value that does not fit its field stays empty).
    ' Returns 1; 0 with code 1 for NULL or an SMTP session; 0 with the code unchanged for a NULL
    ' list, a status without "+OK", an empty or missing line in the listing, or one whose message
    ' number is no number or does not fit 32 bits (the entries read so far stay in the list; a number
    ' is never cut, so a deletion cannot name another message), an array that cannot grow (the list is
    ' then empty), or a retrieval of the header fetch that failed (the rest stay empty; code 33 when
    ' the progress callback cancelled it). Release the
    ' list with ZK_MailListFreeA/W in every case.

Public Declare PtrSafe Sub ZK_MailListFreeA Lib "zknet.dll" (ByRef list As MailList)
Public Declare PtrSafe Sub ZK_MailListFreeW Lib "zknet.dll" (ByRef list As MailList)
    ' Releases the entries of a listing and empties the list (count 0, entries NULL), so that a
    ' second release does nothing. NULL is ignored.

Public Declare PtrSafe Function ZK_MailDelete Lib "zknet.dll" (ByVal handle As LongPtr, ByVal number As Long) As Long
    ' Marks message `number` for deletion with DELE; the server deletes it when the session ends with
    ' ZK_MailDisconnectPop3. Returns 1 when the reply holds "+OK", else 0 (also for NULL or an SMTP
    ' session, nothing sent); the code is not changed, the reply is the last response.

Public Declare PtrSafe Function ZK_MailRecv Lib "zknet.dll" (ByVal handle As LongPtr, ByVal number As Long) As LongPtr
    ' Retrieves message `number` with RETR: the message as it was sent (the server's dot-stuffing
    ' removed; a line that exceeds any length comes whole, a CR inside it too), each line ending in
    ' CR LF, a zero byte ending what is kept of its line. Returns the text, to be released with ZK_MailRecvFree; NULL
    ' for NULL or an SMTP session (nothing sent), a status without "+OK", a message without lines,
    ' one larger than 1 GiB or memory exhausted (the rest is read and dropped), or a connection that
    ' failed or stayed silent for 8 s before the end. The code is not changed, unless the progress
    ' callback cancelled the retrieval (33, ZK_MailSetProgressCallback).

Public Declare PtrSafe Sub ZK_MailRecvFree Lib "zknet.dll" (ByVal message As LongPtr)
    ' Releases a message text from ZK_MailRecv; the same entry as ZK_SocketDeleteString.

Public Declare PtrSafe Function ZK_MailRecvToFileA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal number As Long, ByVal folder As String, ByVal nameValue As String) As Long
Public Declare PtrSafe Function ZK_MailRecvToFileW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal number As Long, ByVal folder As LongPtr, ByVal nameValue As LongPtr) As Long
    ' Retrieves message `number` as ZK_MailRecv does and writes it byte for byte to FOLDER\NAME.eml
    ' (replaced if it exists; the separator is always added). The W form converts both texts to the
    ' ANSI code page. Returns 1 when the whole text was written; 0 for a NULL argument; 0 with code
    ' 12 when the folder does not exist or is a file, or 13 when the path does not fit 260 bytes
    ' (nothing is retrieved in either case); 0 with the code unchanged when the retrieval failed;
    ' 0 with code 13 when the file could not be created or written whole. The process's current
    ' directory is never changed.

Public Declare PtrSafe Function ZK_MailSetProgressCallback Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal callback As LongPtr, ByVal user As LongPtr) As Long
    ' Has the POP3 session's retrievals (ZK_MailRecv, ZK_MailRecvToFileA/W, and each message that
    ' ZK_MailBoxA/W fetches) report to `callback` (progress.h) with `user`: bytes of the message so
    ' far, and its size as the server announced it ("+OK 1234 octets"; -1 otherwise). A nonzero
    ' return cancels: the rest of the message is read and dropped, so that the session stays usable,
    ' and the call fails with code 33 (ZK_MailRecvToFileA/W writes no file). NULL stops the reports.
    ' Returns 1, or 0 with code 1 for NULL or an SMTP session.

' ---- Sending a stored message ----

Public Declare PtrSafe Function ZK_MailSendFromFileA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal helo As String, ByVal file As String) As Long
Public Declare PtrSafe Function ZK_MailSendFromFileW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal helo As LongPtr, ByVal file As LongPtr) As Long
    ' Sends the message stored in `file` (Internet message form, as ZK_MailRecvToFileA/W writes it;
    ' up to 512 MiB, up to its first zero byte; line ends CR LF, bare LF or bare CR) over an SMTP
    ' session: HELO helo, MAIL FROM and RCPT TO with the addresses between "<" and ">" of its From
    ' and To values, DATA; then the header lines From, To, Subject and Date (the last two empty when
    ' absent), and MIME-Version, Content-Type, Content-Transfer-Encoding, X-Priority,
    ' X-MSMail-Priority, Importance, X-Unsent and X-MimeOLE where present, each as stored (encoded
    ' words and folding kept; a From, To or Subject holding raw 8-bit text encoded again as
    ' ISO-2022-JP words); then the body as stored when the transfer encoding is 7bit (none
    ' otherwise), dot-stuffed, with CR LF line ends. Returns 1 when the server accepted it with 250;
    ' 0 with the code unchanged when the file is missing, empty or unreadable or lacks From or To;
    ' 0 with code 1 (no SMTP session) or 8 to 11 as ZK_MailSendA.

' ---- Message header ----
' These take apart a message text as ZK_MailRecv returns it (ANSI, CR LF lines, the header up to
' the first empty line, then the body); the text is ANSI in the W forms too. Output sizes are in
' bytes (A) or UTF-16 units (W), the terminator included.

Public Declare PtrSafe Function ZK_MailGetHeaderA Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As String, ByVal size As Long) As Long
    ' Copies the header, with the CR LF of its last line, without the empty line (the whole text
    ' when there is none). Returns its length in bytes; -1 for a null or empty text, and -1 with
    ' an empty output when the header does not fit.

Public Declare PtrSafe Function ZK_MailGetHeaderW Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As LongPtr, ByVal size As Long) As Long
    ' The same as UTF-16. Returns the units written including the terminator; -1 for a null or
    ' empty text or an empty header, and -1 with an empty output when the header does not fit.

Public Declare PtrSafe Function ZK_MailGetHeaderTagA Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal tag As String, ByVal out As String, ByVal size As Long) As Long
    ' The value of the field named by `tag` (with its colon, as "Subject:"; any case), from the
    ' first character after the blanks that follow the colon (on a continuation line when the first
    ' line holds none): folded lines joined by removing the line break alone, repeated fields joined
    ' by CR LF, MIME encoded words (B and Q; ISO-2022-JP, Shift_JIS, CP932, windows-31j, EUC-JP,
    ' UTF-8) decoded to the ANSI code page, the white space between two encoded words dropped and
    ' all other kept. Returns the value's length in bytes; 0 when the field is absent or empty; -1
    ' when the raw value does not fit (or the tag is null or empty). The output is all zeros beyond
    ' the value, and wholly on 0 and -1.

Public Declare PtrSafe Function ZK_MailGetHeaderTagW Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal tag As LongPtr, ByVal out As LongPtr, ByVal size As Long) As Long
    ' The same with a UTF-16 tag and output; the raw value must fit in `size` bytes as the A form
    ' takes it. Returns the units written including the terminator; 0 or -1 as the A form, and then
    ' the output is left as the caller gave it.

Public Declare PtrSafe Function ZK_MailGetFromA Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As String, ByVal size As Long) As Long
Public Declare PtrSafe Function ZK_MailGetFromW Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As LongPtr, ByVal size As Long) As Long
    ' ZK_MailGetHeaderTagA/W with the tag "From:".

Public Declare PtrSafe Function ZK_MailGetSubjectA Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As String, ByVal size As Long) As Long
Public Declare PtrSafe Function ZK_MailGetSubjectW Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As LongPtr, ByVal size As Long) As Long
    ' ZK_MailGetHeaderTagA/W with the tag "Subject:".

Public Declare PtrSafe Function ZK_MailGetContentTypeA Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As String, ByVal size As Long) As Long
Public Declare PtrSafe Function ZK_MailGetContentTypeW Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As LongPtr, ByVal size As Long) As Long
    ' ZK_MailGetHeaderTagA/W with the tag "Content-type:".

Public Declare PtrSafe Function ZK_MailGetTransferEncodeA Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As String, ByVal size As Long) As Long
Public Declare PtrSafe Function ZK_MailGetTransferEncodeW Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As LongPtr, ByVal size As Long) As Long
    ' ZK_MailGetHeaderTagA/W with the tag "Content-transfer-encoding:".

Public Declare PtrSafe Function ZK_MailGetDate Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByRef dateValue As MailDate) As Long
    ' Reads the Date field, as "Tue, 15 Nov 1994 08:12:31 +0900" and the forms mailers write besides
    ' (no weekday, blanks, folds and comments anywhere between the parts, a one-digit day, no
    ' seconds, numeric or named zones), into *date (all zeros first). Returns the length of the Date
    ' value; 0 when there is none; -1 when it does not fit 1024 bytes, is no date (every field must
    ' lie in its range) or date is NULL, the fields then 0.

' ---- Message body ----

Public Declare PtrSafe Function ZK_MailGetBodyA Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As String, ByVal size As Long) As Long
    ' The body of a message whose Content-Transfer-Encoding is 7bit or absent: from the CR LF of the
    ' empty line that ends the header to the end of the text, converted from the Content-Type charset
    ' (ISO-2022-JP with its half-width katakana, Shift_JIS, EUC-JP, UTF-8; none: as it stands) to
    ' ANSI text. A multipart body comes whole. Returns its length in bytes; 0 when the text has no
    ' empty line or the body does not convert; -2 for an empty text or any other transfer encoding
    ' (the output untouched); -1 with an empty output when the body, as it stands in the text, is
    ' not shorter than `size` bytes.

Public Declare PtrSafe Function ZK_MailGetBodyW Lib "zknet.dll" (ByVal textValue As LongPtr, _
        ByVal out As LongPtr, ByVal size As Long) As Long
    ' The same as UTF-16 (`size` in units; the body must be shorter than `size` bytes as it stands
    ' in the text). Returns the units before the terminator; 0, -2 and -1 as the A form.

' ==== telnet.h: the ZK_Telnet family: connection, log-in and line-oriented command exchange.

' ---- Session ----

Public Declare PtrSafe Function ZK_TelnetConnectA Lib "zknet.dll" (ByVal host As String, _
        ByRef list As TelnetLineList, ByVal port As Long, ByVal family As Integer) As LongPtr
Public Declare PtrSafe Function ZK_TelnetConnectW Lib "zknet.dll" (ByVal host As LongPtr, _
        ByRef list As TelnetLineList, ByVal port As Long, ByVal family As Integer) As LongPtr
    ' Connects to host:port over family 2 or 23, answers the host's option negotiation (terminal type
    ' "tv100") and receives its first text (normally the login prompt) into `list` (may be null; UTF-16
    ' lines for the W form). Returns the session, or NULL with code 1 (no connection), 4 (negotiation
    ' failed) or 7 (no memory). No time-out: a host that sends nothing keeps the call waiting.

Public Declare PtrSafe Sub ZK_TelnetDisconnect Lib "zknet.dll" (ByVal handle As LongPtr)
    ' Closes the connection (no logout is sent) and releases the session; sets code 3. NULL is ignored.

Public Declare PtrSafe Function ZK_TelnetQueryLastErrorCode Lib "zknet.dll" () As Long
    ' The family's last error code (ZK_TELNET_...), shared by every session and thread.

Public Declare PtrSafe Sub ZK_TelnetClearLastErrorCode Lib "zknet.dll" ()
    ' Sets the last error code to 0.

Public Declare PtrSafe Function ZK_TelnetQueryLastResponseMessageA Lib "zknet.dll" (ByVal out As String, _
        ByVal size As Long) As Long
Public Declare PtrSafe Function ZK_TelnetQueryLastResponseMessageW Lib "zknet.dll" (ByVal out As LongPtr, _
        ByVal size As Long) As Long
    ' Copies the last received text, its line breaks shown as the arrow 0x81 0xAB (U+2193 in the W
    ' form), into `out` (size in bytes / 16-bit units, terminator included). Returns its length without
    ' the terminator, or -1 with `out` empty when it does not fit (ZK_TELNET_RESPONSE_SIZE always does).

' ---- Commands and login ----

Public Declare PtrSafe Function ZK_TelnetCommandSendA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal command As String) As Long
Public Declare PtrSafe Function ZK_TelnetCommandSendW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal command As LongPtr) As Long
    ' Sends the command and CR LF, then takes back the host's echo of the line if the host echoes it
    ' (anything else stays for the next receive). Returns 1, or 0 with code 3 (null handle), 5 (not
    ' sent; also a command over 1021 bytes) or 6 (the connection closed before the host answered).

Public Declare PtrSafe Function ZK_TelnetCommandRecvA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef list As TelnetLineList) As Long
Public Declare PtrSafe Function ZK_TelnetCommandRecvW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByRef list As TelnetLineList) As Long
    ' Waits for the host's next burst of output (it ends at a pause of about half a second) and puts
    ' its non-empty lines into `list` (may be null; emptied first, not released). Returns 1 (also with
    ' an empty list for line breaks alone), or 0 with code 3, 6 (nothing received), 7 or 8 (no line).

Public Declare PtrSafe Function ZK_TelnetSearchStringA Lib "zknet.dll" (ByRef list As TelnetLineList, _
        ByVal textValue As String) As Long
Public Declare PtrSafe Function ZK_TelnetSearchStringW Lib "zknet.dll" (ByRef list As TelnetLineList, _
        ByVal textValue As LongPtr) As Long
    ' 1 when a line of the list contains `text` (A to Z without case), else 0; never across lines.

Public Declare PtrSafe Sub ZK_TelnetDelListA Lib "zknet.dll" (ByRef list As TelnetLineList)
Public Declare PtrSafe Sub ZK_TelnetDelListW Lib "zknet.dll" (ByRef list As TelnetLineList)
    ' Releases the lines and leaves the list empty (count 0, items NULL); a second release is harmless.
    ' NULL sets code 3. One entry under two names.

Public Declare PtrSafe Function ZK_TelnetLoginA Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal user As String, ByVal password As String, ByRef list As TelnetLineList, _
        ByVal prompt As String) As Long
Public Declare PtrSafe Function ZK_TelnetLoginW Lib "zknet.dll" (ByVal handle As LongPtr, _
        ByVal user As LongPtr, ByVal password As LongPtr, ByRef list As TelnetLineList, _
        ByVal prompt As LongPtr) As Long
    ' After the connect has received the login prompt: sends the user, expects "Password:" ("Password"
    ' for the W form), sends the password and receives the host's answer into `list`. Returns 1 when a
    ' line of it contains `prompt`, else 0 with code 5, 6, 10 (a prompt was not found) or another code
    ' of the send and receive operations. The list holds what was received either way.

' ==== nic.h: the ZK_Nic family: Wake-on-LAN, adapter count and MAC addresses, ARP resolution.

Public Declare PtrSafe Function ZK_NicSendMagicPacket Lib "zknet.dll" (ByRef mac As Any, ByRef address4 As Any) As Long
    ' Sends the Wake-on-LAN magic packet (6 x 0xFF, then the 6-byte MAC 16 times: 102 bytes) as one
    ' UDP datagram to port 7 of the 4-byte IPv4 address, or of 255.255.255.255 when address4 is
    ' NULL. Returns 1 if all 102 bytes went out, else 0 (also for a NULL mac).

Public Declare PtrSafe Function ZK_NicGetNicNumber Lib "zknet.dll" () As Long
    ' The number of adapters the platform's NetBIOS lists (0 to 255), or -1 if it cannot list them.

Public Declare PtrSafe Function ZK_NicGetMacAddress Lib "zknet.dll" (ByRef list As MacAddressList) As Long
    ' Zero-fills the list, then stores the MAC addresses of the first 16 adapters (in NetBIOS order)
    ' and their count. Returns 1, or 0 on a NetBIOS failure (the slots read before it stay, counted)
    ' or a NULL list. No adapters: 1 with count 0.

Public Declare PtrSafe Function ZK_NicResolveAddress Lib "zknet.dll" (ByRef address4 As Any, ByRef mac As Any) As Long
    ' Asks by ARP for the MAC address of the host with the 4-byte IPv4 address. Returns 1 with the 6
    ' bytes in mac, or 0 (mac untouched) when the host did not answer, is not on a local link, the
    ' platform cannot ask, or an argument is NULL.

' ==== trace.h: the protocol trace, for every family: what the library sends and receives, one line
' each, to a file of the caller's choosing (or standard error).

Public Declare PtrSafe Function ZK_TraceToFileA Lib "zknet.dll" (ByVal path As String) As Long
Public Declare PtrSafe Function ZK_TraceToFileW Lib "zknet.dll" (ByVal path As LongPtr) As Long
    ' Appends every family's protocol exchange to the file `path` (made when missing), one line each:
    ' the milliseconds since the trace began, the family (FTP, SMTP, POP3, TELNET), the connection's
    ' number, ">" sent, "<" received or "*" an event (connections, TLS version, cipher, certificate
    ' and resumption, data connections with their byte counts), and the text. Passwords, AUTH
    ' exchanges and access tokens show as "****"; message and file data only as byte counts. "-"
    ' is standard error; NULL stops the trace. The environment variable ZKNET_TRACE=path starts it
    ' when the library is first used, unless the program chose first. Returns 1, or 0 when the file
    ' cannot be opened (the trace is then off).

' ---- What the helpers below use ----

Private Declare PtrSafe Function zkStrLenA Lib "kernel32" Alias "lstrlenA" (ByVal p As LongPtr) As Long
Private Declare PtrSafe Function zkStrLenW Lib "kernel32" Alias "lstrlenW" (ByVal p As LongPtr) As Long
Private Declare PtrSafe Sub zkCopy Lib "kernel32" Alias "RtlMoveMemory" (ByRef target As Any, ByVal source As LongPtr, _
        ByVal length As LongPtr)

#Else

' VB6 and Office 2007 or older (32-bit only): the same declarations with Long for handles and
' pointers, without PtrSafe; see the VBA7 branch above for what each export does.

' ---- Records that hold addresses ----
Public Type MStringList
    count As Long
    items As Long
End Type

Public Type MailList
    count As Long
    entries As Long
End Type

Public Type TelnetLineList
    count As Long
    items As Long
End Type

' ==== socket.h: the ZK_Socket family: TCP/UDP handles, sending and receiving with time-outs, host-
' name and address queries, broadcast and multi-string lists.

' ---- Start and stop, handles and connections ----

Public Declare Function ZK_SocketInit Lib "zknet.dll" () As Long

Public Declare Function ZK_SocketTerm Lib "zknet.dll" () As Long

Public Declare Function ZK_SocketGetLastError Lib "zknet.dll" () As Long

Public Declare Function ZK_SocketOpen Lib "zknet.dll" (ByVal family As Integer, ByVal kind As Long) As Long

Public Declare Function ZK_SocketOpenClientA Lib "zknet.dll" (ByVal kind As Long, ByVal host As String, _
        ByVal port As Long, ByVal family As Integer) As Long
Public Declare Function ZK_SocketOpenClientW Lib "zknet.dll" (ByVal kind As Long, ByVal host As Long, _
        ByVal port As Long, ByVal family As Integer) As Long

Public Declare Function ZK_SocketConnectClientA Lib "zknet.dll" (ByVal handle As Long, _
        ByVal host As String, ByVal port As Long) As Long
Public Declare Function ZK_SocketConnectClientW Lib "zknet.dll" (ByVal handle As Long, _
        ByVal host As Long, ByVal port As Long) As Long

Public Declare Function ZK_SocketOpenServer Lib "zknet.dll" (ByVal kind As Long, ByVal port As Long, _
        ByVal family As Integer) As Long

Public Declare Function ZK_SocketConnectServer Lib "zknet.dll" (ByVal handle As Long, ByVal port As Long) As Long

Public Declare Function ZK_SocketAccept Lib "zknet.dll" (ByVal listener As Long) As Long

Public Declare Sub ZK_SocketClose Lib "zknet.dll" (ByVal handle As Long)

' ---- Sending and receiving ----

Public Declare Function ZK_SocketSend Lib "zknet.dll" (ByVal handle As Long, ByRef data As Any, _
        ByVal length As Long) As Long

Public Declare Function ZK_SocketSendOne Lib "zknet.dll" (ByVal handle As Long, ByVal byteValue As Long) As Long

Public Declare Function ZK_SocketSendString Lib "zknet.dll" (ByVal handle As Long, ByVal textValue As String) As Long

Public Declare Function ZK_SocketRecv Lib "zknet.dll" (ByVal handle As Long, ByRef buffer As Any, _
        ByVal size As Long, ByVal timeoutMs As Long, ByRef pending As Long, ByVal drain As Long) As Long

Public Declare Function ZK_SocketRecvOne Lib "zknet.dll" (ByVal handle As Long, ByRef byteValue As Any, _
        ByVal timeoutMs As Long) As Long

Public Declare Function ZK_SocketRecvStringLine Lib "zknet.dll" (ByVal handle As Long, _
        ByVal buffer As String, ByVal size As Long, ByVal timeoutMs As Long) As Long

Public Declare Function ZK_SocketRecvString Lib "zknet.dll" (ByVal handle As Long, ByRef length As Long, _
        ByVal timeoutMs As Long) As Long

Public Declare Sub ZK_SocketDeleteString Lib "zknet.dll" (ByVal textValue As Long)

' ---- Host names and addresses ----

Public Declare Function ZK_SocketGetAddressInfoA Lib "zknet.dll" (ByVal host As String, _
        ByVal address As String, ByVal addressSize As Long, ByVal nameValue As String, _
        ByVal nameSize As Long, ByVal aliasValue As String, ByVal aliasSize As Long) As Long
Public Declare Function ZK_SocketGetAddressInfoW Lib "zknet.dll" (ByVal host As Long, _
        ByVal address As Long, ByVal addressSize As Long, ByVal nameValue As Long, _
        ByVal nameSize As Long, ByVal aliasValue As Long, ByVal aliasSize As Long) As Long

Public Declare Function ZK_SocketGetAddressInfoExA Lib "zknet.dll" (ByVal host As String, _
        ByVal family As Integer, ByVal address As String, ByVal addressSize As Long, _
        ByVal nameValue As String, ByVal nameSize As Long, ByVal shortName As String, _
        ByVal shortSize As Long) As Long
Public Declare Function ZK_SocketGetAddressInfoExW Lib "zknet.dll" (ByVal host As Long, _
        ByVal family As Integer, ByVal address As Long, ByVal addressSize As Long, _
        ByVal nameValue As Long, ByVal nameSize As Long, ByVal shortName As Long, ByVal shortSize As Long) As Long

Public Declare Function ZK_SocketGetHostNameA Lib "zknet.dll" (ByVal nameValue As String, _
        ByVal nameSize As Long, ByVal address As String, ByVal addressSize As Long) As Long
Public Declare Function ZK_SocketGetHostNameW Lib "zknet.dll" (ByVal nameValue As Long, _
        ByVal nameSize As Long, ByVal address As Long, ByVal addressSize As Long) As Long

Public Declare Function ZK_SocketGetHostNameExA Lib "zknet.dll" (ByVal family As Integer, _
        ByVal nameValue As String, ByVal nameSize As Long, ByVal address As String, _
        ByVal addressSize As Long) As Long
Public Declare Function ZK_SocketGetHostNameExW Lib "zknet.dll" (ByVal family As Integer, _
        ByVal nameValue As Long, ByVal nameSize As Long, ByVal address As Long, ByVal addressSize As Long) As Long

Public Declare Function ZK_SocketGetIPAddress Lib "zknet.dll" (ByRef address4 As Any) As Long

Public Declare Function ZK_SocketGetIPAddressV6 Lib "zknet.dll" (ByRef groups8 As Any) As Long

' ---- Broadcast and multi-string lists ----

Public Declare Function ZK_SocketSendBroadcastA Lib "zknet.dll" (ByVal handle As Long, _
        ByVal host As String, ByVal port As Long, ByRef data As Any, ByVal length As Long) As Long
Public Declare Function ZK_SocketSendBroadcastW Lib "zknet.dll" (ByVal handle As Long, _
        ByVal host As Long, ByVal port As Long, ByRef data As Any, ByVal length As Long) As Long

Public Declare Function ZK_SocketEditMStringA Lib "zknet.dll" (ByVal textValue As String, _
        ByRef list As MStringList) As Long
Public Declare Function ZK_SocketEditMStringW Lib "zknet.dll" (ByVal textValue As String, _
        ByRef list As MStringList) As Long

Public Declare Sub ZK_SocketDeleteMStringA Lib "zknet.dll" (ByRef list As MStringList)
Public Declare Sub ZK_SocketDeleteMStringW Lib "zknet.dll" (ByRef list As MStringList)

' ==== ftp.h: the ZK_Ftp family: sessions, transfers, remote commands and listings.

' ---- Sessions, last error and last reply ----

Public Declare Function ZK_FtpConnectA Lib "zknet.dll" (ByVal host As String, ByVal user As String, _
        ByVal password As String, ByVal passive As Long, ByVal port As Long, ByVal family As Integer) As Long
Public Declare Function ZK_FtpConnectW Lib "zknet.dll" (ByVal host As Long, ByVal user As Long, _
        ByVal password As Long, ByVal passive As Long, ByVal port As Long, ByVal family As Integer) As Long

Public Declare Function ZK_FtpConnectSecureA Lib "zknet.dll" (ByVal host As String, ByVal user As String, _
        ByVal password As String, ByVal passive As Long, ByVal port As Long, ByVal family As Integer, _
        ByVal security As Long, ByVal caFile As String) As Long
Public Declare Function ZK_FtpConnectSecureW Lib "zknet.dll" (ByVal host As Long, ByVal user As Long, _
        ByVal password As Long, ByVal passive As Long, ByVal port As Long, ByVal family As Integer, _
        ByVal security As Long, ByVal caFile As Long) As Long

Public Declare Sub ZK_FtpDisconnect Lib "zknet.dll" (ByVal session As Long)

Public Declare Function ZK_FtpQueryLastErrorCode Lib "zknet.dll" () As Long

Public Declare Sub ZK_FtpClearLastErrorCode Lib "zknet.dll" ()

Public Declare Function ZK_FtpQueryLastResponseMessageA Lib "zknet.dll" (ByVal buffer As String, _
        ByVal size As Long) As Long
Public Declare Function ZK_FtpQueryLastResponseMessageW Lib "zknet.dll" (ByVal buffer As Long, _
        ByVal size As Long) As Long

' ---- File transfer ----

Public Declare Function ZK_FtpGetFileA Lib "zknet.dll" (ByVal session As Long, _
        ByVal remoteName As String, ByVal localPath As String, ByVal binaryValue As Long) As Long
Public Declare Function ZK_FtpGetFileW Lib "zknet.dll" (ByVal session As Long, ByVal remoteName As Long, _
        ByVal localPath As Long, ByVal binaryValue As Long) As Long

Public Declare Function ZK_FtpPutFileA Lib "zknet.dll" (ByVal session As Long, ByVal localPath As String, _
        ByVal remoteName As String, ByVal binaryValue As Long) As Long
Public Declare Function ZK_FtpPutFileW Lib "zknet.dll" (ByVal session As Long, ByVal localPath As Long, _
        ByVal remoteName As Long, ByVal binaryValue As Long) As Long

' ---- Remote files and directories ----

Public Declare Function ZK_FtpSetDirectoryA Lib "zknet.dll" (ByVal session As Long, ByVal directory As String) As Long
Public Declare Function ZK_FtpSetDirectoryW Lib "zknet.dll" (ByVal session As Long, ByVal directory As Long) As Long

Public Declare Function ZK_FtpCreateDirectoryA Lib "zknet.dll" (ByVal session As Long, _
        ByVal directory As String) As Long
Public Declare Function ZK_FtpCreateDirectoryW Lib "zknet.dll" (ByVal session As Long, ByVal directory As Long) As Long

Public Declare Function ZK_FtpDeleteDirectoryA Lib "zknet.dll" (ByVal session As Long, _
        ByVal directory As String) As Long
Public Declare Function ZK_FtpDeleteDirectoryW Lib "zknet.dll" (ByVal session As Long, ByVal directory As Long) As Long

Public Declare Function ZK_FtpRenameFileA Lib "zknet.dll" (ByVal session As Long, _
        ByVal oldName As String, ByVal newName As String) As Long
Public Declare Function ZK_FtpRenameFileW Lib "zknet.dll" (ByVal session As Long, ByVal oldName As Long, _
        ByVal newName As Long) As Long

Public Declare Function ZK_FtpDeleteFileA Lib "zknet.dll" (ByVal session As Long, ByVal file As String) As Long
Public Declare Function ZK_FtpDeleteFileW Lib "zknet.dll" (ByVal session As Long, ByVal file As Long) As Long

Public Declare Function ZK_FtpGetFileSizeA Lib "zknet.dll" (ByVal session As Long, ByVal file As String) As Long
Public Declare Function ZK_FtpGetFileSizeW Lib "zknet.dll" (ByVal session As Long, ByVal file As Long) As Long

Public Declare Function ZK_FtpGetFileSize64A Lib "zknet.dll" (ByVal session As Long, ByVal file As String) As Currency
Public Declare Function ZK_FtpGetFileSize64W Lib "zknet.dll" (ByVal session As Long, ByVal file As Long) As Currency

Public Declare Function ZK_FtpGetFileDateA Lib "zknet.dll" (ByVal session As Long, ByVal file As String, _
        ByRef dateValue As FtpFileDate, ByVal shift As Long) As Long
Public Declare Function ZK_FtpGetFileDateW Lib "zknet.dll" (ByVal session As Long, ByVal file As Long, _
        ByRef dateValue As FtpFileDate, ByVal shift As Long) As Long

' ---- Listings and permissions ----

Public Declare Function ZK_FtpListFileA Lib "zknet.dll" (ByVal session As Long, _
        ByRef list As MStringList, ByVal command As String) As Long
Public Declare Function ZK_FtpListFileW Lib "zknet.dll" (ByVal session As Long, _
        ByRef list As MStringList, ByVal command As Long) As Long

Public Declare Function ZK_FtpGetDirectoryA Lib "zknet.dll" (ByVal session As Long, _
        ByVal nameValue As String, ByVal size As Long, ByVal command As String) As Long
Public Declare Function ZK_FtpGetDirectoryW Lib "zknet.dll" (ByVal session As Long, _
        ByVal nameValue As Long, ByVal size As Long, ByVal command As Long) As Long

Public Declare Function ZK_FtpGetPermissionA Lib "zknet.dll" (ByVal session As Long, ByVal file As String) As Long
Public Declare Function ZK_FtpGetPermissionW Lib "zknet.dll" (ByVal session As Long, ByVal file As Long) As Long

Public Declare Function ZK_FtpSetPermissionA Lib "zknet.dll" (ByVal session As Long, _
        ByVal file As String, ByVal mode As Long) As Long
Public Declare Function ZK_FtpSetPermissionW Lib "zknet.dll" (ByVal session As Long, ByVal file As Long, _
        ByVal mode As Long) As Long

' ---- Progress and cancelling ----

Public Declare Function ZK_FtpSetProgressCallback Lib "zknet.dll" (ByVal session As Long, _
        ByVal callback As Long, ByVal user As Long) As Long

' ==== mail.h: the ZK_Mail family: SMTP sending, POP3 receiving and message extraction.

' ---- Sessions, last error and last reply ----

Public Declare Function ZK_MailQueryLastErrorCode Lib "zknet.dll" () As Long

Public Declare Sub ZK_MailClearLastErrorCode Lib "zknet.dll" ()

Public Declare Function ZK_MailQueryLastResponseMessageA Lib "zknet.dll" (ByVal buffer As String, _
        ByVal size As Long) As Long
Public Declare Function ZK_MailQueryLastResponseMessageW Lib "zknet.dll" (ByVal buffer As Long, _
        ByVal size As Long) As Long

' ---- SMTP ----

Public Declare Function ZK_MailConnectSmtpA Lib "zknet.dll" (ByVal host As String, ByVal port As Long, _
        ByVal family As Integer) As Long
Public Declare Function ZK_MailConnectSmtpW Lib "zknet.dll" (ByVal host As Long, ByVal port As Long, _
        ByVal family As Integer) As Long

Public Declare Function ZK_MailConnectSmtpSecureA Lib "zknet.dll" (ByVal host As String, _
        ByVal port As Long, ByVal family As Integer, ByVal security As Long, ByVal caFile As String, _
        ByVal helo As String, ByVal user As String, ByVal password As String) As Long
Public Declare Function ZK_MailConnectSmtpSecureW Lib "zknet.dll" (ByVal host As Long, _
        ByVal port As Long, ByVal family As Integer, ByVal security As Long, ByVal caFile As Long, _
        ByVal helo As Long, ByVal user As Long, ByVal password As Long) As Long

Public Declare Sub ZK_MailDisconnectSmtp Lib "zknet.dll" (ByVal handle As Long)

Public Declare Function ZK_MailSendA Lib "zknet.dll" (ByVal handle As Long, ByVal helo As String, _
        ByVal from As String, ByVal toValue As String, ByVal subject As String, ByVal body As String, _
        ByVal widthValue As Long) As Long
Public Declare Function ZK_MailSendW Lib "zknet.dll" (ByVal handle As Long, ByVal helo As Long, _
        ByVal from As Long, ByVal toValue As Long, ByVal subject As Long, ByVal body As Long, _
        ByVal widthValue As Long) As Long

' ---- Message composition ----

Public Declare Sub ZK_MailSetXMailerA Lib "zknet.dll" (ByVal handle As Long, ByVal textValue As String)
Public Declare Sub ZK_MailSetXMailerW Lib "zknet.dll" (ByVal handle As Long, ByVal textValue As Long)

Public Declare Sub ZK_MailSetContentTypeA Lib "zknet.dll" (ByVal handle As Long, _
        ByVal typeValue As String, ByVal charset As String, ByVal format As String, _
        ByVal replyType As String)
Public Declare Sub ZK_MailSetContentTypeW Lib "zknet.dll" (ByVal handle As Long, ByVal typeValue As Long, _
        ByVal charset As Long, ByVal format As Long, ByVal replyType As Long)

Public Declare Function ZK_MailJustifiedText Lib "zknet.dll" (ByVal textValue As String, _
        ByVal size As Long, ByVal widthValue As Long) As Long

' ---- POP3: mailbox listings and retrieved messages ----

Public Declare Function ZK_MailConnectPop3A Lib "zknet.dll" (ByVal host As String, ByVal user As String, _
        ByVal password As String, ByVal port As Long, ByVal family As Integer) As Long
Public Declare Function ZK_MailConnectPop3W Lib "zknet.dll" (ByVal host As Long, ByVal user As Long, _
        ByVal password As Long, ByVal port As Long, ByVal family As Integer) As Long

Public Declare Function ZK_MailConnectPop3SecureA Lib "zknet.dll" (ByVal host As String, _
        ByVal user As String, ByVal password As String, ByVal port As Long, ByVal family As Integer, _
        ByVal security As Long, ByVal caFile As String) As Long
Public Declare Function ZK_MailConnectPop3SecureW Lib "zknet.dll" (ByVal host As Long, _
        ByVal user As Long, ByVal password As Long, ByVal port As Long, ByVal family As Integer, _
        ByVal security As Long, ByVal caFile As Long) As Long

Public Declare Sub ZK_MailDisconnectPop3 Lib "zknet.dll" (ByVal handle As Long)

Public Declare Function ZK_MailBoxA Lib "zknet.dll" (ByVal handle As Long, ByRef list As MailList, _
        ByVal fetch As Long) As Long
Public Declare Function ZK_MailBoxW Lib "zknet.dll" (ByVal handle As Long, ByRef list As MailList, _
        ByVal fetch As Long) As Long

Public Declare Sub ZK_MailListFreeA Lib "zknet.dll" (ByRef list As MailList)
Public Declare Sub ZK_MailListFreeW Lib "zknet.dll" (ByRef list As MailList)

Public Declare Function ZK_MailDelete Lib "zknet.dll" (ByVal handle As Long, ByVal number As Long) As Long

Public Declare Function ZK_MailRecv Lib "zknet.dll" (ByVal handle As Long, ByVal number As Long) As Long

Public Declare Sub ZK_MailRecvFree Lib "zknet.dll" (ByVal message As Long)

Public Declare Function ZK_MailRecvToFileA Lib "zknet.dll" (ByVal handle As Long, ByVal number As Long, _
        ByVal folder As String, ByVal nameValue As String) As Long
Public Declare Function ZK_MailRecvToFileW Lib "zknet.dll" (ByVal handle As Long, ByVal number As Long, _
        ByVal folder As Long, ByVal nameValue As Long) As Long

Public Declare Function ZK_MailSetProgressCallback Lib "zknet.dll" (ByVal handle As Long, _
        ByVal callback As Long, ByVal user As Long) As Long

' ---- Sending a stored message ----

Public Declare Function ZK_MailSendFromFileA Lib "zknet.dll" (ByVal handle As Long, ByVal helo As String, _
        ByVal file As String) As Long
Public Declare Function ZK_MailSendFromFileW Lib "zknet.dll" (ByVal handle As Long, ByVal helo As Long, _
        ByVal file As Long) As Long

' ---- Message header ----

Public Declare Function ZK_MailGetHeaderA Lib "zknet.dll" (ByVal textValue As Long, ByVal out As String, _
        ByVal size As Long) As Long

Public Declare Function ZK_MailGetHeaderW Lib "zknet.dll" (ByVal textValue As Long, ByVal out As Long, _
        ByVal size As Long) As Long

Public Declare Function ZK_MailGetHeaderTagA Lib "zknet.dll" (ByVal textValue As Long, _
        ByVal tag As String, ByVal out As String, ByVal size As Long) As Long

Public Declare Function ZK_MailGetHeaderTagW Lib "zknet.dll" (ByVal textValue As Long, ByVal tag As Long, _
        ByVal out As Long, ByVal size As Long) As Long

Public Declare Function ZK_MailGetFromA Lib "zknet.dll" (ByVal textValue As Long, ByVal out As String, _
        ByVal size As Long) As Long
Public Declare Function ZK_MailGetFromW Lib "zknet.dll" (ByVal textValue As Long, ByVal out As Long, _
        ByVal size As Long) As Long

Public Declare Function ZK_MailGetSubjectA Lib "zknet.dll" (ByVal textValue As Long, ByVal out As String, _
        ByVal size As Long) As Long
Public Declare Function ZK_MailGetSubjectW Lib "zknet.dll" (ByVal textValue As Long, ByVal out As Long, _
        ByVal size As Long) As Long

Public Declare Function ZK_MailGetContentTypeA Lib "zknet.dll" (ByVal textValue As Long, _
        ByVal out As String, ByVal size As Long) As Long
Public Declare Function ZK_MailGetContentTypeW Lib "zknet.dll" (ByVal textValue As Long, _
        ByVal out As Long, ByVal size As Long) As Long

Public Declare Function ZK_MailGetTransferEncodeA Lib "zknet.dll" (ByVal textValue As Long, _
        ByVal out As String, ByVal size As Long) As Long
Public Declare Function ZK_MailGetTransferEncodeW Lib "zknet.dll" (ByVal textValue As Long, _
        ByVal out As Long, ByVal size As Long) As Long

Public Declare Function ZK_MailGetDate Lib "zknet.dll" (ByVal textValue As Long, ByRef dateValue As MailDate) As Long

' ---- Message body ----

Public Declare Function ZK_MailGetBodyA Lib "zknet.dll" (ByVal textValue As Long, ByVal out As String, _
        ByVal size As Long) As Long

Public Declare Function ZK_MailGetBodyW Lib "zknet.dll" (ByVal textValue As Long, ByVal out As Long, _
        ByVal size As Long) As Long

' ==== telnet.h: the ZK_Telnet family: connection, log-in and line-oriented command exchange.

' ---- Session ----

Public Declare Function ZK_TelnetConnectA Lib "zknet.dll" (ByVal host As String, _
        ByRef list As TelnetLineList, ByVal port As Long, ByVal family As Integer) As Long
Public Declare Function ZK_TelnetConnectW Lib "zknet.dll" (ByVal host As Long, _
        ByRef list As TelnetLineList, ByVal port As Long, ByVal family As Integer) As Long

Public Declare Sub ZK_TelnetDisconnect Lib "zknet.dll" (ByVal handle As Long)

Public Declare Function ZK_TelnetQueryLastErrorCode Lib "zknet.dll" () As Long

Public Declare Sub ZK_TelnetClearLastErrorCode Lib "zknet.dll" ()

Public Declare Function ZK_TelnetQueryLastResponseMessageA Lib "zknet.dll" (ByVal out As String, _
        ByVal size As Long) As Long
Public Declare Function ZK_TelnetQueryLastResponseMessageW Lib "zknet.dll" (ByVal out As Long, _
        ByVal size As Long) As Long

' ---- Commands and login ----

Public Declare Function ZK_TelnetCommandSendA Lib "zknet.dll" (ByVal handle As Long, ByVal command As String) As Long
Public Declare Function ZK_TelnetCommandSendW Lib "zknet.dll" (ByVal handle As Long, ByVal command As Long) As Long

Public Declare Function ZK_TelnetCommandRecvA Lib "zknet.dll" (ByVal handle As Long, _
        ByRef list As TelnetLineList) As Long
Public Declare Function ZK_TelnetCommandRecvW Lib "zknet.dll" (ByVal handle As Long, _
        ByRef list As TelnetLineList) As Long

Public Declare Function ZK_TelnetSearchStringA Lib "zknet.dll" (ByRef list As TelnetLineList, _
        ByVal textValue As String) As Long
Public Declare Function ZK_TelnetSearchStringW Lib "zknet.dll" (ByRef list As TelnetLineList, _
        ByVal textValue As Long) As Long

Public Declare Sub ZK_TelnetDelListA Lib "zknet.dll" (ByRef list As TelnetLineList)
Public Declare Sub ZK_TelnetDelListW Lib "zknet.dll" (ByRef list As TelnetLineList)

Public Declare Function ZK_TelnetLoginA Lib "zknet.dll" (ByVal handle As Long, ByVal user As String, _
        ByVal password As String, ByRef list As TelnetLineList, ByVal prompt As String) As Long
Public Declare Function ZK_TelnetLoginW Lib "zknet.dll" (ByVal handle As Long, ByVal user As Long, _
        ByVal password As Long, ByRef list As TelnetLineList, ByVal prompt As Long) As Long

' ==== nic.h: the ZK_Nic family: Wake-on-LAN, adapter count and MAC addresses, ARP resolution.

Public Declare Function ZK_NicSendMagicPacket Lib "zknet.dll" (ByRef mac As Any, ByRef address4 As Any) As Long

Public Declare Function ZK_NicGetNicNumber Lib "zknet.dll" () As Long

Public Declare Function ZK_NicGetMacAddress Lib "zknet.dll" (ByRef list As MacAddressList) As Long

Public Declare Function ZK_NicResolveAddress Lib "zknet.dll" (ByRef address4 As Any, ByRef mac As Any) As Long

' ==== trace.h: the protocol trace, for every family: what the library sends and receives, one line
' each, to a file of the caller's choosing (or standard error).

Public Declare Function ZK_TraceToFileA Lib "zknet.dll" (ByVal path As String) As Long
Public Declare Function ZK_TraceToFileW Lib "zknet.dll" (ByVal path As Long) As Long

' ---- What the helpers below use ----

Private Declare Function zkStrLenA Lib "kernel32" Alias "lstrlenA" (ByVal p As Long) As Long
Private Declare Function zkStrLenW Lib "kernel32" Alias "lstrlenW" (ByVal p As Long) As Long
Private Declare Sub zkCopy Lib "kernel32" Alias "RtlMoveMemory" (ByRef target As Any, ByVal source As Long, _
        ByVal length As Long)

#End If

#If VBA7 Then

' ---- Helpers: texts and list items the library hands out by address ----

' The ANSI text at an address (an item of an A list, ZK_SocketRecvString, ZK_MailRecv, a Byte field
' through VarPtr(field(0))), as a VBA String; "" for a null address.
Public Function ZkTextA(ByVal p As LongPtr) As String
    Dim n As Long, bytes() As Byte
    If p = 0 Then Exit Function
    n = zkStrLenA(p)
    If n = 0 Then Exit Function
    ReDim bytes(0 To n - 1)
    zkCopy bytes(0), p, n
    ZkTextA = StrConv(bytes, vbUnicode)
End Function

' The UTF-16 text at an address (an item of a W list, an Integer field through VarPtr(field(0))).
Public Function ZkTextW(ByVal p As LongPtr) As String
    Dim n As Long, s As String
    If p = 0 Then Exit Function
    n = zkStrLenW(p)
    If n = 0 Then Exit Function
    s = String$(n, vbNullChar)
    zkCopy ByVal StrPtr(s), p, n * 2
    ZkTextW = s
End Function

' Slot i (from 0) of an item array: list.items of MStringList and TelnetLineList.
Public Function ZkItem(ByVal items As LongPtr, ByVal i As Long) As LongPtr
    Dim p As LongPtr
    zkCopy p, items + i * LenB(p), LenB(p)
    ZkItem = p
End Function

' Entry i (from 0) of a mailbox listing made by ZK_MailBoxA / ZK_MailBoxW.
Public Function ZkMailEntryA(list As MailList, ByVal i As Long) As MailListEntryA
    Dim e As MailListEntryA
    zkCopy e, list.entries + i * LenB(e), LenB(e)
    ZkMailEntryA = e
End Function

Public Function ZkMailEntryW(list As MailList, ByVal i As Long) As MailListEntryW
    Dim e As MailListEntryW
    zkCopy e, list.entries + i * LenB(e), LenB(e)
    ZkMailEntryW = e
End Function

#Else

' ---- Helpers: texts and list items the library hands out by address ----

' The ANSI text at an address (an item of an A list, ZK_SocketRecvString, ZK_MailRecv, a Byte field
' through VarPtr(field(0))), as a VBA String; "" for a null address.
Public Function ZkTextA(ByVal p As Long) As String
    Dim n As Long, bytes() As Byte
    If p = 0 Then Exit Function
    n = zkStrLenA(p)
    If n = 0 Then Exit Function
    ReDim bytes(0 To n - 1)
    zkCopy bytes(0), p, n
    ZkTextA = StrConv(bytes, vbUnicode)
End Function

' The UTF-16 text at an address (an item of a W list, an Integer field through VarPtr(field(0))).
Public Function ZkTextW(ByVal p As Long) As String
    Dim n As Long, s As String
    If p = 0 Then Exit Function
    n = zkStrLenW(p)
    If n = 0 Then Exit Function
    s = String$(n, vbNullChar)
    zkCopy ByVal StrPtr(s), p, n * 2
    ZkTextW = s
End Function

' Slot i (from 0) of an item array: list.items of MStringList and TelnetLineList.
Public Function ZkItem(ByVal items As Long, ByVal i As Long) As Long
    Dim p As Long
    zkCopy p, items + i * LenB(p), LenB(p)
    ZkItem = p
End Function

' Entry i (from 0) of a mailbox listing made by ZK_MailBoxA / ZK_MailBoxW.
Public Function ZkMailEntryA(list As MailList, ByVal i As Long) As MailListEntryA
    Dim e As MailListEntryA
    zkCopy e, list.entries + i * LenB(e), LenB(e)
    ZkMailEntryA = e
End Function

Public Function ZkMailEntryW(list As MailList, ByVal i As Long) As MailListEntryW
    Dim e As MailListEntryW
    zkCopy e, list.entries + i * LenB(e), LenB(e)
    ZkMailEntryW = e
End Function

#End If

' A String filled by an A or W output buffer, cut at its first vbNullChar.
Public Function ZkTrim(ByVal s As String) As String
    Dim n As Long
    n = InStr(s, vbNullChar)
    If n > 0 Then ZkTrim = Left$(s, n - 1) Else ZkTrim = s
End Function
