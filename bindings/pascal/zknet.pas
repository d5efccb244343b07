// zknet.pas -- declarations of every export of zknet for Delphi and Free Pascal: constants,
// records, handle types, the progress callback's type and one external declaration per export.
// Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it
// rather than editing this file.
//
// Windows: loads zknet.dll (the 32-bit DLL for 32-bit programs, stdcall; the 64-bit one for 64-bit
// programs). Linux: links libzknet.so (Free Pascal: -Fl with its folder; at run time it must be
// found, as through LD_LIBRARY_PATH). Free Pascal compiles the unit in Delphi mode whatever the
// program's mode; Delphi needs XE2 or later.
//
// Texts: the A forms take PAnsiChar in the ANSI code page (932 on Japanese Windows; Shift_JIS on
// Linux as well), the W forms PWideChar, UTF-16: PWideChar(s) of a UnicodeString s. Output buffers are arrays of AnsiChar or WideChar passed with their length in characters.
// Records go by address (@rec); nil where the C interface takes NULL. Lists the library fills are
// released by it: ZK_SocketDeleteMStringA/W, ZK_MailListFreeA/W, ZK_TelnetDelListA/W, texts with
// ZK_SocketDeleteString or ZK_MailRecvFree.
unit zknet;

{$IFDEF FPC}
  {$MODE DELPHI}
  {$PACKRECORDS C}
{$ELSE}
  {$ALIGN 8}
{$ENDIF}

interface

const
{$IFDEF MSWINDOWS}
  ZknetLib = 'zknet.dll';
{$ELSE}
  {$IFDEF FPC}
  ZknetLib = 'zknet';        // links libzknet.so
  {$ELSE}
  ZknetLib = 'libzknet.so';
  {$ENDIF}
{$ENDIF}

// ---- Constants of zkconf.h ----
const
  ZKNET_VERSION = '1.0.0';
  ZKNET_VERNUM = $1000;
  ZKNET_VER_MAJOR = 1;
  ZKNET_VER_MINOR = 0;
  ZKNET_VER_PATCH = 0;

// ---- Constants of socket.h ----
const
  ZK_AF_INET = 2;
  ZK_AF_INET6 = 23;
  ZK_SOCK_STREAM = 1;
  ZK_SOCK_DGRAM = 2;

// ---- Constants of secure.h ----
const
  ZK_SECURE_NONE = 0;                   // plain text, as the plain connects
  ZK_SECURE_EXPLICIT = 1;               // a plain start, then TLS on the server's word; required
  ZK_SECURE_IMPLICIT = 2;               // TLS from the first byte (FTPS 990, SMTPS 465, POP3S 995)
  ZK_SECURE_NO_VERIFY = $100;
  ZK_SECURE_XOAUTH2 = $200;
  ZK_SECURE_ALLOW_PLAIN_AUTH = $400;

// ---- Constants of ftp.h ----
const
  ZK_FTP_OK = 0;
  ZK_FTP_BAD_SESSION = 1;               // null session, or passive neither 0 nor 1
  ZK_FTP_NO_CONNECTION = 2;
  ZK_FTP_NO_REPLY = 3;
  ZK_FTP_NOT_SENT = 4;
  ZK_FTP_REFUSED = 5;
  ZK_FTP_LOGIN_REFUSED = 6;
  ZK_FTP_PWD_FAILED = 7;
  ZK_FTP_CWD_FAILED = 8;
  ZK_FTP_MKD_FAILED = 9;
  ZK_FTP_RMD_FAILED = 10;
  ZK_FTP_FILE_FAILED = 11;
  ZK_FTP_TRANSFER_FAILED = 12;
  ZK_FTP_DATE_FAILED = 13;
  ZK_FTP_TYPE_REFUSED = 16;
  ZK_FTP_PASSIVE_FAILED = 17;
  ZK_FTP_NO_PERMISSION = 21;
  ZK_FTP_CHMOD_FAILED = 22;
  ZK_FTP_TLS_FAILED = 30;               // AUTH TLS refused, no TLS, a failed handshake, TLS broken later
  ZK_FTP_CERTIFICATE = 31;              // the server's certificate is untrusted, expired or not for the host
  ZK_FTP_CANCELLED = 33;                // the progress callback cancelled the transfer

// ---- Constants of mail.h ----
const
  ZK_MAIL_OK = 0;
  ZK_MAIL_NO_SESSION = 1;               // null handle, or a handle of the other protocol
  ZK_MAIL_NO_CONNECTION = 2;
  ZK_MAIL_NO_REPLY = 3;                 // no greeting or reply, or a greeting without the expected text
  ZK_MAIL_NOT_SENT = 4;                 // a command line was not sent (or could not be formed)
  ZK_MAIL_REFUSED = 5;                  // a reply lacked the expected text
  ZK_MAIL_LOGIN_REFUSED = 6;
  ZK_MAIL_HELO_FAILED = 8;
  ZK_MAIL_FROM_FAILED = 9;
  ZK_MAIL_RCPT_FAILED = 10;
  ZK_MAIL_DATA_FAILED = 11;             // DATA refused, the message not sent whole, or not accepted
  ZK_MAIL_NO_FOLDER = 12;
  ZK_MAIL_FILE_FAILED = 13;
  ZK_MAIL_TLS_FAILED = 30;              // no TLS: STARTTLS or STLS not offered or refused, a failed handshake
  ZK_MAIL_CERTIFICATE = 31;             // the server's certificate was refused
  ZK_MAIL_AUTH_FAILED = 32;             // SMTP AUTH refused, impossible, or not allowed in plain text
  ZK_MAIL_CANCELLED = 33;               // the progress callback cancelled a retrieval
  ZK_MAIL_RESPONSE_SIZE = 512;

// ---- Constants of telnet.h ----
const
  ZK_TELNET_OK = 0;
  ZK_TELNET_NOT_CONNECTED = 1;          // the socket was not created or not connected
  ZK_TELNET_NO_SESSION = 3;             // null handle or list; also set by ZK_TelnetDisconnect
  ZK_TELNET_NEGOTIATION = 4;            // option negotiation failed
  ZK_TELNET_NOT_SENT = 5;               // a command was not sent
  ZK_TELNET_NOTHING_RECEIVED = 6;       // no echo or reply could be received
  ZK_TELNET_NO_MEMORY = 7;              // no memory for a line list or the session
  ZK_TELNET_NO_LINE = 8;                // the received text held no line
  ZK_TELNET_NO_PROMPT = 10;             // an expected prompt was not found
  ZK_TELNET_RESPONSE_SIZE = 4096;

type
  // The handles: addresses of records the library keeps to itself.
  TSocketHandle = record end;
  PSocketHandle = ^TSocketHandle;
  TFtpSession = record end;
  PFtpSession = ^TFtpSession;
  TMailHandle = record end;
  PMailHandle = ^TMailHandle;
  TTelnetHandle = record end;
  PTelnetHandle = ^TTelnetHandle;

  // Called on the thread that started the transfer (never on another), at most about ten times a
  // second while data moves and once when it has all moved: `done` bytes so far of `total` (-1 when
  // the size is not known), with the `user` value given when the callback was set. Return 0 to go
  // on; any other value cancels the transfer, which then fails with the family's code 33
  // (ZK_FTP_CANCELLED, ZK_MAIL_CANCELLED) and leaves the session usable. The answer to the last
  // call, made when everything has moved, is not heeded.
  TZkProgressProc = function(done: Int64; total: Int64; user: Pointer): Int32;
    {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF};

  // A list of line texts made by ZK_SocketEditMStringA/W. `items` has one slot per counted line;
  // slots 0 to count-1 hold zero-terminated texts: char* for the A form, zk_wchar_t* for the W form.
  PMStringList = ^TMStringList;
  TMStringList = record
    count: Int32;
    items: PPointer;
  end;

  // A remote file's modification time as the server gives it (ZK_FtpGetFileDateA/W).
  PFtpFileDate = ^TFtpFileDate;
  TFtpFileDate = record
    year: Word;
    month: Word;
    day: Word;
    hour: Word;
    minute: Word;
    second: Word;
  end;

  // One message of a mailbox listing made by ZK_MailBoxA. The layout is fixed: callers step
  // through the entry array by sizeof(MailListEntryA), 2696 bytes.
  PMailListEntryA = ^TMailListEntryA;
  TMailListEntryA = record
    number: Int32;
    from: array[0..639] of AnsiChar;
    subject: array[0..2047] of AnsiChar;
    size: Int32;
  end;

  // The same for ZK_MailBoxW, with UTF-16 texts: 5384 bytes.
  PMailListEntryW = ^TMailListEntryW;
  TMailListEntryW = record
    number: Int32;
    from: array[0..639] of WideChar;
    subject: array[0..2047] of WideChar;
    size: Int32;
  end;

  // A mailbox listing. `entries` points to `count` MailListEntryA (ZK_MailBoxA) or MailListEntryW
  // (ZK_MailBoxW) records, allocated by the library and released by ZK_MailListFreeA/W.
  PMailList = ^TMailList;
  TMailList = record
    count: Int32;
    entries: Pointer;
  end;

  // The Date field of a message as numbers (ZK_MailGetDate); the time zone is not kept.
  PMailDate = ^TMailDate;
  TMailDate = record
    year: Word;
    month: Word;
    day: Word;
    hour: Word;
    minute: Word;
    second: Word;
  end;

  // Lines received from the host, without their line breaks; empty lines never occur. Slots 0 to
  // count-1 of `items` hold zero-terminated texts: char* from the A operations, zk_wchar_t* from the W
  // operations. Filled by a receive, released with ZK_TelnetDelListA/W.
  PTelnetLineList = ^TTelnetLineList;
  TTelnetLineList = record
    count: Int32;
    items: PPointer;
  end;

  // The MAC addresses of up to 16 local adapters, filled by ZK_NicGetMacAddress: slot i holds the
  // 6 bytes (in transmission order) of adapter i, slots 0 to count-1 are valid. 100 bytes.
  PMacAddressList = ^TMacAddressList;
  TMacAddressList = record
    count: UInt32;
    addresses: array[0..15, 0..5] of Byte;
  end;

// ==== socket.h: the ZK_Socket family: TCP/UDP handles, sending and receiving with time-outs, host-
// name and address queries, broadcast and multi-string lists.

// ---- Start and stop, handles and connections ----

function ZK_SocketInit: Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketInit';
  // Starts the socket service (version 2.2). Returns 0, or the platform's error code.

function ZK_SocketTerm: Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketTerm';
  // Stops the socket service. Returns 0, or -1 on failure.

function ZK_SocketGetLastError: Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetLastError';
  // The calling thread's socket error code (WSAEINVAL 10022, WSAETIMEDOUT 10060, ...), as the last
  // failing socket operation on this thread left it.

function ZK_SocketOpen(family: Word; kind: Int32): PSocketHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketOpen';
  // Creates an unconnected socket of family 2 or 23 and kind 1 (stream) or 2 (datagram).
  // Returns the handle, or NULL with the platform's error code.

function ZK_SocketOpenClientA(kind: Int32; host: PAnsiChar; port: Int32; family: Word): PSocketHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketOpenClientA';
function ZK_SocketOpenClientW(kind: Int32; host: PWideChar; port: Int32; family: Word): PSocketHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketOpenClientW';
  // Opens a client socket; a stream is connected to host:port, a datagram is returned unconnected.
  // Returns the handle, or NULL (kind other than 1 or 2: WSAEINVAL).

function ZK_SocketConnectClientA(handle: PSocketHandle; host: PAnsiChar; port: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketConnectClientA';
function ZK_SocketConnectClientW(handle: PSocketHandle; host: PWideChar; port: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketConnectClientW';
  // Connects an open handle to host:port. Returns 1, or 0 (the handle stays open).

function ZK_SocketOpenServer(kind: Int32; port: Int32; family: Word): PSocketHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketOpenServer';
  // Opens a socket bound to the port on every local address, listening if it is a stream.
  // Returns the handle, or NULL.

function ZK_SocketConnectServer(handle: PSocketHandle; port: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketConnectServer';
  // Binds an open handle to the port (and listens, for a stream). Returns 1, or 0.

function ZK_SocketAccept(listener: PSocketHandle): PSocketHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketAccept';
  // Waits for a connection on a listening handle. Returns the new handle, or NULL.

procedure ZK_SocketClose(handle: PSocketHandle);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketClose';
  // Shuts down (streams) and closes the socket and releases the handle.

// ---- Sending and receiving ----

function ZK_SocketSend(handle: PSocketHandle; data: Pointer; length: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketSend';
  // One send of `length` bytes. Returns the bytes sent, or -1.

function ZK_SocketSendOne(handle: PSocketHandle; byte_: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketSendOne';
  // Sends the low 8 bits of `byte`. Returns 1, or -1.

function ZK_SocketSendString(handle: PSocketHandle; text: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketSendString';
  // Sends a text without its terminator. Returns the bytes sent, or -1 (also for an empty text).

function ZK_SocketRecv(handle: PSocketHandle; buffer: Pointer; size: Int32; timeout_ms: UInt32;
  pending: PInteger; drain: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketRecv';
  // Receives into a zero-filled buffer. drain 0: returns `size` once the buffer is full, 0 on a
  // time-out or close before that. drain not 0: returns the bytes received as soon as nothing more is
  // waiting. -1 on failure. *pending (optional) gets the bytes still waiting after a full buffer.

function ZK_SocketRecvOne(handle: PSocketHandle; byte_: Pointer; timeout_ms: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketRecvOne';
  // Receives one byte. Returns 1, 0 when the peer has closed, -1 on failure or time-out.

function ZK_SocketRecvStringLine(handle: PSocketHandle; buffer: PAnsiChar; size: Int32;
  timeout_ms: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketRecvStringLine';
  // Receives one line without its CR and LF into a zero-filled buffer, at most size-1 bytes.
  // Returns the length stored, or -1 on failure or time-out (what arrived stays in the buffer).

function ZK_SocketRecvString(handle: PSocketHandle; length: PInteger; timeout_ms: UInt32): PAnsiChar;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketRecvString';
  // Receives everything that arrives until a pause of about half a second, a time-out or a close.
  // Returns an allocated, zero-terminated block (release with ZK_SocketDeleteString) and its length,
  // or NULL with length 0 (-2 when no memory could be had).

procedure ZK_SocketDeleteString(text: PAnsiChar);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketDeleteString';
  // Releases a text from ZK_SocketRecvString or ZK_MailRecv; NULL is ignored.

// ---- Host names and addresses ----

function ZK_SocketGetAddressInfoA(host: PAnsiChar; address: PAnsiChar; address_size: Int32; name: PAnsiChar;
  name_size: Int32; alias: PAnsiChar; alias_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetAddressInfoA';
function ZK_SocketGetAddressInfoW(host: PWideChar; address: PWideChar; address_size: Int32; name: PWideChar;
  name_size: Int32; alias: PWideChar; alias_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetAddressInfoW';
  // Classic IPv4 look-up of a name or dotted address: dotted address, official name and first alias.
  // Returns 1 if any part was found, else 0.

function ZK_SocketGetAddressInfoExA(host: PAnsiChar; family: Word; address: PAnsiChar; address_size: Int32;
  name: PAnsiChar; name_size: Int32; short_name: PAnsiChar; short_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetAddressInfoExA';
function ZK_SocketGetAddressInfoExW(host: PWideChar; family: Word; address: PWideChar; address_size: Int32;
  name: PWideChar; name_size: Int32; short_name: PWideChar; short_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetAddressInfoExW';
  // Address-info look-up (family 2, 23 or 0): numeric address, registered name and short name of
  // the first result. Returns 1 if something counted as found, else 0.

function ZK_SocketGetHostNameA(name: PAnsiChar; name_size: Int32; address: PAnsiChar;
  address_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetHostNameA';
function ZK_SocketGetHostNameW(name: PWideChar; name_size: Int32; address: PWideChar;
  address_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetHostNameW';
  // The local computer's official name and first IPv4 address. Returns 1, or 0.

function ZK_SocketGetHostNameExA(family: Word; name: PAnsiChar; name_size: Int32; address: PAnsiChar;
  address_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetHostNameExA';
function ZK_SocketGetHostNameExW(family: Word; name: PWideChar; name_size: Int32; address: PWideChar;
  address_size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetHostNameExW';
  // The local computer's name and its first address of the family. Returns 1, or 0.

function ZK_SocketGetIPAddress(address4: PByte): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetIPAddress';
  // The local IPv4 address as 4 bytes in network order. Returns 1, or 0.

function ZK_SocketGetIPAddressV6(groups8: PWord): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketGetIPAddressV6';
  // The local IPv6 address as 8 16-bit groups in host order. Returns 1, or 0.

// ---- Broadcast and multi-string lists ----

function ZK_SocketSendBroadcastA(handle: PSocketHandle; host: PAnsiChar; port: Int32; data: Pointer;
  length: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketSendBroadcastA';
function ZK_SocketSendBroadcastW(handle: PSocketHandle; host: PWideChar; port: Int32; data: Pointer;
  length: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketSendBroadcastW';
  // Sends one datagram to an IPv4 host or broadcast address on an IPv4 datagram handle.
  // Returns the bytes sent, or -1 (0 from the W form when the host text does not convert).

function ZK_SocketEditMStringA(text: PAnsiChar; list: PMStringList): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketEditMStringA';
function ZK_SocketEditMStringW(text: PAnsiChar; list: PMStringList): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketEditMStringW';
  // Splits a CR LF text into line items (narrow, or UTF-16 for the W form). Returns 1, or 0 for a
  // null or empty text or a failed allocation; release the list with ZK_SocketDeleteMStringA/W.

procedure ZK_SocketDeleteMStringA(list: PMStringList);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketDeleteMStringA';
procedure ZK_SocketDeleteMStringW(list: PMStringList);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_SocketDeleteMStringW';
  // Releases the items and item array of a list; NULL is ignored. One entry under two names.

// ==== ftp.h: the ZK_Ftp family: sessions, transfers, remote commands and listings.

// ---- Sessions, last error and last reply ----

function ZK_FtpConnectA(host: PAnsiChar; user: PAnsiChar; password: PAnsiChar; passive: UInt32; port: Int32;
  family: Word): PFtpSession;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpConnectA';
function ZK_FtpConnectW(host: PWideChar; user: PWideChar; password: PWideChar; passive: UInt32; port: Int32;
  family: Word): PFtpSession;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpConnectW';
  // Connects (family 2 or 23) and logs in; passive 1 for passive data connections, 0 for active.
  // Returns the session, or NULL: code 2 (no connection), 3 (no greeting or reply), 4, 6 (login
  // refused).

function ZK_FtpConnectSecureA(host: PAnsiChar; user: PAnsiChar; password: PAnsiChar; passive: UInt32;
  port: Int32; family: Word; security: UInt32; ca_file: PAnsiChar): PFtpSession;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpConnectSecureA';
function ZK_FtpConnectSecureW(host: PWideChar; user: PWideChar; password: PWideChar; passive: UInt32;
  port: Int32; family: Word; security: UInt32; ca_file: PWideChar): PFtpSession;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpConnectSecureW';
  // Connects as ZK_FtpConnectA/W, over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT sends
  // AUTH TLS after the greeting and goes no further without TLS; ZK_SECURE_IMPLICIT speaks TLS from
  // the first byte (port 990). After the login, PBSZ 0 and PROT P: every data connection is TLS as
  // well, resuming the control connection's TLS session. The server's certificate must lead to a
  // trusted root (the system's, or exactly the CAs of the PEM file `ca_file`), be valid now and be
  // for `host` (a name, or an address given as text); ZK_SECURE_NO_VERIFY takes any certificate.
  // Returns the session, or NULL with the plain connect's codes or 30 (no TLS: AUTH TLS refused, a
  // failed handshake, PBSZ or PROT refused) or 31 (certificate refused); for 30 and 31 the last
  // reply explains, beginning "TLS:". Nothing of the login is sent before TLS stands.

procedure ZK_FtpDisconnect(session: PFtpSession);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpDisconnect';
  // Sends QUIT, closes the connection and releases the session (NULL: code 1).

function ZK_FtpQueryLastErrorCode: UInt32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpQueryLastErrorCode';
  // The family's last error code (see the ZK_FTP_ codes); only failures and the start of connect,
  // listings and transfers change it.

procedure ZK_FtpClearLastErrorCode;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpClearLastErrorCode';
  // Sets the last error code to 0.

function ZK_FtpQueryLastResponseMessageA(buffer: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpQueryLastResponseMessageA';
function ZK_FtpQueryLastResponseMessageW(buffer: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpQueryLastResponseMessageW';
  // Copies the last server reply (cut to the buffer, size in bytes or UTF-16 units). Returns the
  // length copied without the terminator; 0 for an empty reply or no buffer.

// ---- File transfer ----

function ZK_FtpGetFileA(session: PFtpSession; remote_name: PAnsiChar; local_path: PAnsiChar;
  binary: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileA';
function ZK_FtpGetFileW(session: PFtpSession; remote_name: PWideChar; local_path: PWideChar;
  binary: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileW';
  // Downloads a file (binary nonzero: TYPE I, 0: TYPE A) and gives the local file the remote time.
  // Returns 1, or 0: code 11 (size unknown), 12 (data or local file incomplete, or no 226),
  // 13 (time not read or not set), 5, 16, 17, 3, 4, 1.

function ZK_FtpPutFileA(session: PFtpSession; local_path: PAnsiChar; remote_name: PAnsiChar;
  binary: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpPutFileA';
function ZK_FtpPutFileW(session: PFtpSession; local_path: PWideChar; remote_name: PWideChar;
  binary: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpPutFileW';
  // Uploads a local file unchanged. Returns 1, or 0: code 11 (local file not found, nothing sent),
  // 12 (file not read completely, or no 226), 5, 16, 17, 3, 4, 1.

// ---- Remote files and directories ----

function ZK_FtpSetDirectoryA(session: PFtpSession; directory: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpSetDirectoryA';
function ZK_FtpSetDirectoryW(session: PFtpSession; directory: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpSetDirectoryW';
  // CWD. Returns 1, or 0: code 8 (refused), 3, 4, 1.

function ZK_FtpCreateDirectoryA(session: PFtpSession; directory: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpCreateDirectoryA';
function ZK_FtpCreateDirectoryW(session: PFtpSession; directory: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpCreateDirectoryW';
  // MKD. Returns 1, or 0: code 9 (refused), 3, 4, 1.

function ZK_FtpDeleteDirectoryA(session: PFtpSession; directory: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpDeleteDirectoryA';
function ZK_FtpDeleteDirectoryW(session: PFtpSession; directory: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpDeleteDirectoryW';
  // RMD. Returns 1, or 0: code 10 (refused), 3, 4, 1.

function ZK_FtpRenameFileA(session: PFtpSession; old_name: PAnsiChar; new_name: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpRenameFileA';
function ZK_FtpRenameFileW(session: PFtpSession; old_name: PWideChar; new_name: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpRenameFileW';
  // RNFR then RNTO. Returns 1, or 0: code 11 (RNFR failed, RNTO not sent), 10 (RNTO refused), 3, 4, 1.

function ZK_FtpDeleteFileA(session: PFtpSession; file_: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpDeleteFileA';
function ZK_FtpDeleteFileW(session: PFtpSession; file_: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpDeleteFileW';
  // DELE. Returns 1, or 0: code 11 (refused), 3, 4, 1.

function ZK_FtpGetFileSizeA(session: PFtpSession; file_: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileSizeA';
function ZK_FtpGetFileSizeW(session: PFtpSession; file_: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileSizeW';
  // TYPE I then SIZE. Returns the size (saturated at 2147483647), or 0 on failure: code 16, 11
  // (refused, or a reply whose size cannot be read), 3, 4, 1; an empty file also gives 0, told apart
  // by the code.

function ZK_FtpGetFileSize64A(session: PFtpSession; file_: PAnsiChar): Int64;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileSize64A';
function ZK_FtpGetFileSize64W(session: PFtpSession; file_: PWideChar): Int64;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileSize64W';
  // The same query for files of any size. Returns the whole size, or -1 on failure with the same
  // codes.

function ZK_FtpGetFileDateA(session: PFtpSession; file_: PAnsiChar; date: PFtpFileDate; shift: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileDateA';
function ZK_FtpGetFileDateW(session: PFtpSession; file_: PWideChar; date: PFtpFileDate; shift: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetFileDateW';
  // MDTM into *date (shift 1 adds nine hours; the day does not carry into the month). Returns 1,
  // or 0 with code 11 (any failure, a reply without a full time included) or 1.

// ---- Listings and permissions ----

function ZK_FtpListFileA(session: PFtpSession; list: PMStringList; command: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpListFileA';
function ZK_FtpListFileW(session: PFtpSession; list: PMStringList; command: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpListFileW';
  // Runs a listing command ("LIST", "NLST dir"...) over a data connection and fills *list with
  // its lines (UTF-16 items for the W form; release with ZK_SocketDeleteMStringA/W). Returns 1,
  // or 0 with the list untouched: code 12 (refused, or completion without 226), 5, 16, 17, 3, 4,
  // 1 (also for a null list).

function ZK_FtpGetDirectoryA(session: PFtpSession; name: PAnsiChar; size: Int32; command: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetDirectoryA';
function ZK_FtpGetDirectoryW(session: PFtpSession; name: PWideChar; size: Int32; command: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetDirectoryW';
  // Runs a command answered by 257 ("PWD") and copies the quoted directory name (size in bytes or
  // UTF-16 units; empty when the reply quotes nothing). Returns 1, or 0: code 7 (refused, or the
  // name does not fit the buffer, which is left empty), 3, 4, 1.

function ZK_FtpGetPermissionA(session: PFtpSession; file_: PAnsiChar): UInt32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetPermissionA';
function ZK_FtpGetPermissionW(session: PFtpSession; file_: PWideChar): UInt32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpGetPermissionW';
  // Permission of a file of the current directory, from its LIST line: 0x755 for rwxr-xr-x, plus
  // 0x1000 for a directory, 0x4000 for a link... Returns it, or 0xFFFF: code 3 (listing failed),
  // 11 (no line names the file), 21 (no readable permission word).

function ZK_FtpSetPermissionA(session: PFtpSession; file_: PAnsiChar; mode: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpSetPermissionA';
function ZK_FtpSetPermissionW(session: PFtpSession; file_: PWideChar; mode: UInt32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpSetPermissionW';
  // SITE CHMOD with the low twelve bits of mode (a ZK_FtpGetPermission value fits). Returns 1,
  // or 0: code 11 (the reply says "No such"), 22 (any other failure), 1.

// ---- Progress and cancelling ----

function ZK_FtpSetProgressCallback(session: PFtpSession; callback: TZkProgressProc; user: Pointer): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_FtpSetProgressCallback';
  // Has the session's transfers and listings (ZK_FtpGetFileA/W, ZK_FtpPutFileA/W, ZK_FtpListFileA/W)
  // report to `callback` (progress.h) with `user`: bytes moved so far, and the file's size (-1 when
  // unknown). A nonzero return cancels: the data connection is closed, the server is told with ABOR,
  // its replies are read, and the call returns 0 with code 33 (the local file of a download stays
  // as far as it came); the session stays usable. NULL stops the reports. Returns 1, or 0 with code
  // 1 for a null session.

// ==== mail.h: the ZK_Mail family: SMTP sending, POP3 receiving and message extraction.

// ---- Sessions, last error and last reply ----

function ZK_MailQueryLastErrorCode: UInt32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailQueryLastErrorCode';
  // The family's last error code (ZK_MAIL_...), shared by every session and thread. Only failures,
  // the start of a connect and ZK_MailClearLastErrorCode change it. Sessions on several threads may
  // replace the code and the last reply at any time; each is always read whole.

procedure ZK_MailClearLastErrorCode;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailClearLastErrorCode';
  // Sets the last error code to 0.

function ZK_MailQueryLastResponseMessageA(buffer: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailQueryLastResponseMessageA';
function ZK_MailQueryLastResponseMessageW(buffer: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailQueryLastResponseMessageW';
  // Copies the last server reply line (the final line of a multi-line reply) into `buffer`, cut
  // to its size (bytes / UTF-16 units, terminator included) at a character boundary. Returns the
  // length copied without the terminator; 0 for an empty reply or no buffer.

// ---- SMTP ----

function ZK_MailConnectSmtpA(host: PAnsiChar; port: Int32; family: Word): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectSmtpA';
function ZK_MailConnectSmtpW(host: PWideChar; port: Int32; family: Word): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectSmtpW';
  // Connects to an SMTP server (family 2 or 23) and reads its greeting, which must hold "220".
  // Returns the session, or NULL with code 2 (no connection) or 3 (no or another greeting). Sends
  // no command: each ZK_MailSendA/W says HELO itself.

function ZK_MailConnectSmtpSecureA(host: PAnsiChar; port: Int32; family: Word; security: UInt32;
  ca_file: PAnsiChar; helo: PAnsiChar; user: PAnsiChar; password: PAnsiChar): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectSmtpSecureA';
function ZK_MailConnectSmtpSecureW(host: PWideChar; port: Int32; family: Word; security: UInt32;
  ca_file: PWideChar; helo: PWideChar; user: PWideChar; password: PWideChar): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectSmtpSecureW';
  // Connects to a submission server as `security` asks (secure.h). ZK_SECURE_NONE with a NULL user
  // is ZK_MailConnectSmtpA/W. Otherwise, after the greeting: EHLO helo (NULL: this machine's name);
  // with ZK_SECURE_EXPLICIT, STARTTLS, required (never a fall-back to plain text), and EHLO again;
  // with ZK_SECURE_IMPLICIT TLS from the first byte (port 465). With a non-NULL user, AUTH with the
  // best mechanism the server offers: OAUTHBEARER or XOAUTH2 with ZK_SECURE_XOAUTH2 (the password
  // is then the access token), else PLAIN or LOGIN. Certificates are checked as for
  // ZK_FtpConnectSecureA/W. Returns the session, or NULL with code 2, 3, 30 (no TLS), 31
  // (certificate refused), or 32 (AUTH refused, no mechanism to use, or AUTH over plain text
  // without ZK_SECURE_ALLOW_PLAIN_AUTH: nothing sent); 30 and 31 leave a last reply beginning
  // "TLS: ". Every message of the session goes out as the authenticated user: ZK_MailSendA/W and
  // ZK_MailSendFromFileA/W send no HELO of their own on a session greeted here.

procedure ZK_MailDisconnectSmtp(handle: PMailHandle);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailDisconnectSmtp';
  // Sends QUIT, reads the reply (any reply, or none within 8 s), closes the connection and releases
  // the session. NULL or a POP3 session: code 1, nothing released.

function ZK_MailSendA(handle: PMailHandle; helo: PAnsiChar; from: PAnsiChar; to_: PAnsiChar;
  subject: PAnsiChar; body: PAnsiChar; width: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSendA';
function ZK_MailSendW(handle: PMailHandle; helo: PWideChar; from: PWideChar; to_: PWideChar;
  subject: PWideChar; body: PWideChar; width: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSendW';
  // Sends one message: HELO helo; MAIL FROM with the from text's address; one RCPT TO for each
  // address of the to text (addresses separated by commas; "Name <address>" gives "<address>",
  // a text without angle brackets goes as it stands); DATA; the header block (From, To, Subject,
  // MIME-Version, Content-Type, Content-Transfer-Encoding, X-Mailer); the body folded to `width`
  // columns a line (-1: not folded); the end of the data. From and To keep their display names,
  // as encoded words where they hold more than ASCII. The text goes out in ISO-2022-JP (7bit), its
  // half-width katakana as full-width ones; or in UTF-8 (the body in Base64) when the Content-Type
  // names charset UTF-8, the W form then carrying every character. The A subject goes out as it
  // stands (ISO-2022-JP) while its line fits 78 characters, the W subject and any longer one as
  // encoded words on as many lines as they take: a subject is never cut. No empty line is put
  // between header block and body in ISO-2022-JP: start the body with a line break. CR and LF in
  // helo, from, to and subject become spaces; a text that would make its command line longer than
  // 1024 characters (or, in the W form, holds a character the ANSI code page lacks) is not sent and
  // fails its step. Characters ISO-2022-JP lacks go as their NEC twins (the IBM extensions) or as
  // the geta mark (the user-defined area). Every send gives up once the server has taken no byte
  // for 8 s; the reply to the message is waited for up to 10 minutes. Returns 1 when the server
  // accepted the message with 250, else 0 with code 1, 8 (HELO), 9 (MAIL FROM), 10 (an RCPT TO;
  // nothing more is sent) or 11 (DATA, the message not sent whole, or no 250 after it); the
  // server's reply is the last response.

// ---- Message composition ----

procedure ZK_MailSetXMailerA(handle: PMailHandle; text: PAnsiChar);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSetXMailerA';
procedure ZK_MailSetXMailerW(handle: PMailHandle; text: PWideChar);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSetXMailerW';
  // Sets the session's X-Mailer header to "X-Mailer: " and the text (at most 248 bytes in the ANSI
  // code page; a longer text is cut at a character boundary; CR and LF become spaces). NULL handle:
  // nothing happens.

procedure ZK_MailSetContentTypeA(handle: PMailHandle; type_: PAnsiChar; charset: PAnsiChar;
  format: PAnsiChar; reply_type: PAnsiChar);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSetContentTypeA';
procedure ZK_MailSetContentTypeW(handle: PMailHandle; type_: PWideChar; charset: PWideChar;
  format: PWideChar; reply_type: PWideChar);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSetContentTypeW';
  // Sets the session's Content-Type header to the type with its format, charset and reply-type
  // parameters (NULL: "fixed", "iso-2022-jp", "original"). A null or empty type, a null handle, or
  // values of more than 207 bytes together leave it as it was. CR and LF become spaces. A charset
  // of "UTF-8" (any case) makes the session's messages go out in UTF-8; any other charset only
  // describes, the text going out as 7bit ISO-2022-JP.

function ZK_MailJustifiedText(text: PAnsiChar; size: Int32; width: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailJustifiedText';
  // Folds the ANSI text in `text` (a buffer of `size` bytes) in place so that no line holds more
  // than `width` bytes, inserting CR LF; a double-byte character is never split and counts two, a
  // TAB becomes one space, bytes that begin no character are dropped. Returns 1 when all of the
  // text was folded, 0 when the buffer filled up first (the text folded so far stays, terminated)
  // or there is no text.

// ---- POP3: mailbox listings and retrieved messages ----

function ZK_MailConnectPop3A(host: PAnsiChar; user: PAnsiChar; password: PAnsiChar; port: Int32;
  family: Word): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectPop3A';
function ZK_MailConnectPop3W(host: PWideChar; user: PWideChar; password: PWideChar; port: Int32;
  family: Word): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectPop3W';
  // Connects to a POP3 server (family 2 or 23), reads its greeting, which must hold "+OK" (in any
  // case), and logs in with USER and PASS. Returns the session, or NULL with code 2 (no
  // connection), 3 (no or another greeting; or no reply to USER), 4 (USER not sent) or 6 (USER
  // refused, or PASS not accepted: a wrong password); the connection is closed again.

function ZK_MailConnectPop3SecureA(host: PAnsiChar; user: PAnsiChar; password: PAnsiChar; port: Int32;
  family: Word; security: UInt32; ca_file: PAnsiChar): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectPop3SecureA';
function ZK_MailConnectPop3SecureW(host: PWideChar; user: PWideChar; password: PWideChar; port: Int32;
  family: Word; security: UInt32; ca_file: PWideChar): PMailHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailConnectPop3SecureW';
  // Connects as ZK_MailConnectPop3A/W over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT
  // sends STLS after the greeting, required; ZK_SECURE_IMPLICIT speaks TLS from the first byte (port
  // 995). Then USER and PASS (a server that refuses USER is asked AUTH PLAIN), or with
  // ZK_SECURE_XOAUTH2 AUTH OAUTHBEARER or XOAUTH2 with the password as the access token. Returns the
  // session, or NULL with the plain connect's codes (6: the login refused), 30 or 31 (as for
  // ZK_MailConnectSmtpSecureA/W), or 32 (a token over plain text without
  // ZK_SECURE_ALLOW_PLAIN_AUTH: nothing sent).

procedure ZK_MailDisconnectPop3(handle: PMailHandle);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailDisconnectPop3';
  // Sends QUIT, which makes the deletions of the session take effect, reads the reply (any reply,
  // or none within 8 s), closes the connection and releases the session. NULL or an SMTP session:
  // code 1, nothing released.

function ZK_MailBoxA(handle: PMailHandle; list: PMailList; fetch: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailBoxA';
function ZK_MailBoxW(handle: PMailHandle; list: PMailList; fetch: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailBoxW';
  // Lists the mailbox with LIST into *list (overwritten, not released first): the number and size
  // of each message, and with a nonzero `fetch` also its decoded From and Subject, for which every
  // message is retrieved whole with RETR (a value that does not fit its field stays empty).
  // Returns 1; 0 with code 1 for NULL or an SMTP session; 0 with the code unchanged for a NULL
  // list, a status without "+OK", an empty or missing line in the listing, or one whose message
  // number is no number or does not fit 32 bits (the entries read so far stay in the list; a number
  // is never cut, so a deletion cannot name another message), an array that cannot grow (the list is
  // then empty), or a retrieval of the header fetch that failed (the rest stay empty; code 33 when
  // the progress callback cancelled it). Release the
  // list with ZK_MailListFreeA/W in every case.

procedure ZK_MailListFreeA(list: PMailList);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailListFreeA';
procedure ZK_MailListFreeW(list: PMailList);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailListFreeW';
  // Releases the entries of a listing and empties the list (count 0, entries NULL), so that a
  // second release does nothing. NULL is ignored.

function ZK_MailDelete(handle: PMailHandle; number: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailDelete';
  // Marks message `number` for deletion with DELE; the server deletes it when the session ends with
  // ZK_MailDisconnectPop3. Returns 1 when the reply holds "+OK", else 0 (also for NULL or an SMTP
  // session, nothing sent); the code is not changed, the reply is the last response.

function ZK_MailRecv(handle: PMailHandle; number: Int32): PAnsiChar;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailRecv';
  // Retrieves message `number` with RETR: the message as it was sent (the server's dot-stuffing
  // removed; a line that exceeds any length comes whole, a CR inside it too), each line ending in
  // CR LF, a zero byte ending what is kept of its line. Returns the text, to be released with ZK_MailRecvFree; NULL
  // for NULL or an SMTP session (nothing sent), a status without "+OK", a message without lines,
  // one larger than 1 GiB or memory exhausted (the rest is read and dropped), or a connection that
  // failed or stayed silent for 8 s before the end. The code is not changed, unless the progress
  // callback cancelled the retrieval (33, ZK_MailSetProgressCallback).

procedure ZK_MailRecvFree(message: PAnsiChar);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailRecvFree';
  // Releases a message text from ZK_MailRecv; the same entry as ZK_SocketDeleteString.

function ZK_MailRecvToFileA(handle: PMailHandle; number: Int32; folder: PAnsiChar; name: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailRecvToFileA';
function ZK_MailRecvToFileW(handle: PMailHandle; number: Int32; folder: PWideChar; name: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailRecvToFileW';
  // Retrieves message `number` as ZK_MailRecv does and writes it byte for byte to FOLDER\NAME.eml
  // (replaced if it exists; the separator is always added). The W form converts both texts to the
  // ANSI code page. Returns 1 when the whole text was written; 0 for a NULL argument; 0 with code
  // 12 when the folder does not exist or is a file, or 13 when the path does not fit 260 bytes
  // (nothing is retrieved in either case); 0 with the code unchanged when the retrieval failed;
  // 0 with code 13 when the file could not be created or written whole. The process's current
  // directory is never changed.

function ZK_MailSetProgressCallback(handle: PMailHandle; callback: TZkProgressProc; user: Pointer): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSetProgressCallback';
  // Has the POP3 session's retrievals (ZK_MailRecv, ZK_MailRecvToFileA/W, and each message that
  // ZK_MailBoxA/W fetches) report to `callback` (progress.h) with `user`: bytes of the message so
  // far, and its size as the server announced it ("+OK 1234 octets"; -1 otherwise). A nonzero
  // return cancels: the rest of the message is read and dropped, so that the session stays usable,
  // and the call fails with code 33 (ZK_MailRecvToFileA/W writes no file). NULL stops the reports.
  // Returns 1, or 0 with code 1 for NULL or an SMTP session.

// ---- Sending a stored message ----

function ZK_MailSendFromFileA(handle: PMailHandle; helo: PAnsiChar; file_: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSendFromFileA';
function ZK_MailSendFromFileW(handle: PMailHandle; helo: PWideChar; file_: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailSendFromFileW';
  // Sends the message stored in `file` (Internet message form, as ZK_MailRecvToFileA/W writes it;
  // up to 512 MiB, up to its first zero byte; line ends CR LF, bare LF or bare CR) over an SMTP
  // session: HELO helo, MAIL FROM and RCPT TO with the addresses between "<" and ">" of its From
  // and To values, DATA; then the header lines From, To, Subject and Date (the last two empty when
  // absent), and MIME-Version, Content-Type, Content-Transfer-Encoding, X-Priority,
  // X-MSMail-Priority, Importance, X-Unsent and X-MimeOLE where present, each as stored (encoded
  // words and folding kept; a From, To or Subject holding raw 8-bit text encoded again as
  // ISO-2022-JP words); then the body as stored when the transfer encoding is 7bit (none
  // otherwise), dot-stuffed, with CR LF line ends. Returns 1 when the server accepted it with 250;
  // 0 with the code unchanged when the file is missing, empty or unreadable or lacks From or To;
  // 0 with code 1 (no SMTP session) or 8 to 11 as ZK_MailSendA.

// ---- Message header ----
// These take apart a message text as ZK_MailRecv returns it (ANSI, CR LF lines, the header up to
// the first empty line, then the body); the text is ANSI in the W forms too. Output sizes are in
// bytes (A) or UTF-16 units (W), the terminator included.

function ZK_MailGetHeaderA(text: PAnsiChar; out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetHeaderA';
  // Copies the header, with the CR LF of its last line, without the empty line (the whole text
  // when there is none). Returns its length in bytes; -1 for a null or empty text, and -1 with
  // an empty output when the header does not fit.

function ZK_MailGetHeaderW(text: PAnsiChar; out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetHeaderW';
  // The same as UTF-16. Returns the units written including the terminator; -1 for a null or
  // empty text or an empty header, and -1 with an empty output when the header does not fit.

function ZK_MailGetHeaderTagA(text: PAnsiChar; tag: PAnsiChar; out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetHeaderTagA';
  // The value of the field named by `tag` (with its colon, as "Subject:"; any case), from the
  // first character after the blanks that follow the colon (on a continuation line when the first
  // line holds none): folded lines joined by removing the line break alone, repeated fields joined
  // by CR LF, MIME encoded words (B and Q; ISO-2022-JP, Shift_JIS, CP932, windows-31j, EUC-JP,
  // UTF-8) decoded to the ANSI code page, the white space between two encoded words dropped and
  // all other kept. Returns the value's length in bytes; 0 when the field is absent or empty; -1
  // when the raw value does not fit (or the tag is null or empty). The output is all zeros beyond
  // the value, and wholly on 0 and -1.

function ZK_MailGetHeaderTagW(text: PAnsiChar; tag: PWideChar; out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetHeaderTagW';
  // The same with a UTF-16 tag and output; the raw value must fit in `size` bytes as the A form
  // takes it. Returns the units written including the terminator; 0 or -1 as the A form, and then
  // the output is left as the caller gave it.

function ZK_MailGetFromA(text: PAnsiChar; out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetFromA';
function ZK_MailGetFromW(text: PAnsiChar; out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetFromW';
  // ZK_MailGetHeaderTagA/W with the tag "From:".

function ZK_MailGetSubjectA(text: PAnsiChar; out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetSubjectA';
function ZK_MailGetSubjectW(text: PAnsiChar; out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetSubjectW';
  // ZK_MailGetHeaderTagA/W with the tag "Subject:".

function ZK_MailGetContentTypeA(text: PAnsiChar; out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetContentTypeA';
function ZK_MailGetContentTypeW(text: PAnsiChar; out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetContentTypeW';
  // ZK_MailGetHeaderTagA/W with the tag "Content-type:".

function ZK_MailGetTransferEncodeA(text: PAnsiChar; out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetTransferEncodeA';
function ZK_MailGetTransferEncodeW(text: PAnsiChar; out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetTransferEncodeW';
  // ZK_MailGetHeaderTagA/W with the tag "Content-transfer-encoding:".

function ZK_MailGetDate(text: PAnsiChar; date: PMailDate): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetDate';
  // Reads the Date field, as "Tue, 15 Nov 1994 08:12:31 +0900" and the forms mailers write besides
  // (no weekday, blanks, folds and comments anywhere between the parts, a one-digit day, no
  // seconds, numeric or named zones), into *date (all zeros first). Returns the length of the Date
  // value; 0 when there is none; -1 when it does not fit 1024 bytes, is no date (every field must
  // lie in its range) or date is NULL, the fields then 0.

// ---- Message body ----

function ZK_MailGetBodyA(text: PAnsiChar; out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetBodyA';
  // The body of a message whose Content-Transfer-Encoding is 7bit or absent: from the CR LF of the
  // empty line that ends the header to the end of the text, converted from the Content-Type charset
  // (ISO-2022-JP with its half-width katakana, Shift_JIS, EUC-JP, UTF-8; none: as it stands) to
  // ANSI text. A multipart body comes whole. Returns its length in bytes; 0 when the text has no
  // empty line or the body does not convert; -2 for an empty text or any other transfer encoding
  // (the output untouched); -1 with an empty output when the body, as it stands in the text, is
  // not shorter than `size` bytes.

function ZK_MailGetBodyW(text: PAnsiChar; out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_MailGetBodyW';
  // The same as UTF-16 (`size` in units; the body must be shorter than `size` bytes as it stands
  // in the text). Returns the units before the terminator; 0, -2 and -1 as the A form.

// ==== telnet.h: the ZK_Telnet family: connection, log-in and line-oriented command exchange.

// ---- Session ----

function ZK_TelnetConnectA(host: PAnsiChar; list: PTelnetLineList; port: Int32; family: Word): PTelnetHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetConnectA';
function ZK_TelnetConnectW(host: PWideChar; list: PTelnetLineList; port: Int32; family: Word): PTelnetHandle;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetConnectW';
  // Connects to host:port over family 2 or 23, answers the host's option negotiation (terminal type
  // "tv100") and receives its first text (normally the login prompt) into `list` (may be null; UTF-16
  // lines for the W form). Returns the session, or NULL with code 1 (no connection), 4 (negotiation
  // failed) or 7 (no memory). No time-out: a host that sends nothing keeps the call waiting.

procedure ZK_TelnetDisconnect(handle: PTelnetHandle);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetDisconnect';
  // Closes the connection (no logout is sent) and releases the session; sets code 3. NULL is ignored.

function ZK_TelnetQueryLastErrorCode: Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetQueryLastErrorCode';
  // The family's last error code (ZK_TELNET_...), shared by every session and thread.

procedure ZK_TelnetClearLastErrorCode;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetClearLastErrorCode';
  // Sets the last error code to 0.

function ZK_TelnetQueryLastResponseMessageA(out_: PAnsiChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetQueryLastResponseMessageA';
function ZK_TelnetQueryLastResponseMessageW(out_: PWideChar; size: Int32): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetQueryLastResponseMessageW';
  // Copies the last received text, its line breaks shown as the arrow 0x81 0xAB (U+2193 in the W
  // form), into `out` (size in bytes / 16-bit units, terminator included). Returns its length without
  // the terminator, or -1 with `out` empty when it does not fit (ZK_TELNET_RESPONSE_SIZE always does).

// ---- Commands and login ----

function ZK_TelnetCommandSendA(handle: PTelnetHandle; command: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetCommandSendA';
function ZK_TelnetCommandSendW(handle: PTelnetHandle; command: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetCommandSendW';
  // Sends the command and CR LF, then takes back the host's echo of the line if the host echoes it
  // (anything else stays for the next receive). Returns 1, or 0 with code 3 (null handle), 5 (not
  // sent; also a command over 1021 bytes) or 6 (the connection closed before the host answered).

function ZK_TelnetCommandRecvA(handle: PTelnetHandle; list: PTelnetLineList): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetCommandRecvA';
function ZK_TelnetCommandRecvW(handle: PTelnetHandle; list: PTelnetLineList): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetCommandRecvW';
  // Waits for the host's next burst of output (it ends at a pause of about half a second) and puts
  // its non-empty lines into `list` (may be null; emptied first, not released). Returns 1 (also with
  // an empty list for line breaks alone), or 0 with code 3, 6 (nothing received), 7 or 8 (no line).

function ZK_TelnetSearchStringA(list: PTelnetLineList; text: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetSearchStringA';
function ZK_TelnetSearchStringW(list: PTelnetLineList; text: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetSearchStringW';
  // 1 when a line of the list contains `text` (A to Z without case), else 0; never across lines.

procedure ZK_TelnetDelListA(list: PTelnetLineList);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetDelListA';
procedure ZK_TelnetDelListW(list: PTelnetLineList);
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetDelListW';
  // Releases the lines and leaves the list empty (count 0, items NULL); a second release is harmless.
  // NULL sets code 3. One entry under two names.

function ZK_TelnetLoginA(handle: PTelnetHandle; user: PAnsiChar; password: PAnsiChar; list: PTelnetLineList;
  prompt: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetLoginA';
function ZK_TelnetLoginW(handle: PTelnetHandle; user: PWideChar; password: PWideChar; list: PTelnetLineList;
  prompt: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TelnetLoginW';
  // After the connect has received the login prompt: sends the user, expects "Password:" ("Password"
  // for the W form), sends the password and receives the host's answer into `list`. Returns 1 when a
  // line of it contains `prompt`, else 0 with code 5, 6, 10 (a prompt was not found) or another code
  // of the send and receive operations. The list holds what was received either way.

// ==== nic.h: the ZK_Nic family: Wake-on-LAN, adapter count and MAC addresses, ARP resolution.

function ZK_NicSendMagicPacket(mac: PByte; address4: PByte): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_NicSendMagicPacket';
  // Sends the Wake-on-LAN magic packet (6 x 0xFF, then the 6-byte MAC 16 times: 102 bytes) as one
  // UDP datagram to port 7 of the 4-byte IPv4 address, or of 255.255.255.255 when address4 is
  // NULL. Returns 1 if all 102 bytes went out, else 0 (also for a NULL mac).

function ZK_NicGetNicNumber: Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_NicGetNicNumber';
  // The number of adapters the platform's NetBIOS lists (0 to 255), or -1 if it cannot list them.

function ZK_NicGetMacAddress(list: PMacAddressList): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_NicGetMacAddress';
  // Zero-fills the list, then stores the MAC addresses of the first 16 adapters (in NetBIOS order)
  // and their count. Returns 1, or 0 on a NetBIOS failure (the slots read before it stay, counted)
  // or a NULL list. No adapters: 1 with count 0.

function ZK_NicResolveAddress(address4: PByte; mac: PByte): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_NicResolveAddress';
  // Asks by ARP for the MAC address of the host with the 4-byte IPv4 address. Returns 1 with the 6
  // bytes in mac, or 0 (mac untouched) when the host did not answer, is not on a local link, the
  // platform cannot ask, or an argument is NULL.

// ==== trace.h: the protocol trace, for every family: what the library sends and receives, one line
// each, to a file of the caller's choosing (or standard error).

function ZK_TraceToFileA(path: PAnsiChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TraceToFileA';
function ZK_TraceToFileW(path: PWideChar): Int32;
  {$IFDEF MSWINDOWS}stdcall{$ELSE}cdecl{$ENDIF}; external ZknetLib name 'ZK_TraceToFileW';
  // Appends every family's protocol exchange to the file `path` (made when missing), one line each:
  // the milliseconds since the trace began, the family (FTP, SMTP, POP3, TELNET), the connection's
  // number, ">" sent, "<" received or "*" an event (connections, TLS version, cipher, certificate
  // and resumption, data connections with their byte counts), and the text. Passwords, AUTH
  // exchanges and access tokens show as "****"; message and file data only as byte counts. "-"
  // is standard error; NULL stops the trace. The environment variable ZKNET_TRACE=path starts it
  // when the library is first used, unless the program chose first. Returns 1, or 0 when the file
  // cannot be opened (the trace is then off).

// ---- Helpers: what the library hands out by address ----

// Slot i (from 0) of a list's items (TMStringList, TTelnetLineList): a PAnsiChar from the A forms,
// a PWideChar from the W forms.
function ZkItem(items: PPointer; i: Int32): Pointer;
// Entry i (from 0) of a mailbox listing made by ZK_MailBoxA / ZK_MailBoxW.
function ZkMailEntryA(const list: TMailList; i: Int32): PMailListEntryA;
function ZkMailEntryW(const list: TMailList; i: Int32): PMailListEntryW;
// The family's last server reply (ZK_FtpQueryLastResponseMessageW, ZK_MailQueryLastResponseMessageW),
// to go with its last error code in a message.
function ZkFtpLastReply: UnicodeString;
function ZkMailLastReply: UnicodeString;

implementation

function ZkItem(items: PPointer; i: Int32): Pointer;
begin
  Result := PPointer(PAnsiChar(items) + i * SizeOf(Pointer))^;
end;

function ZkMailEntryA(const list: TMailList; i: Int32): PMailListEntryA;
begin
  Result := PMailListEntryA(PAnsiChar(list.entries) + i * SizeOf(TMailListEntryA));
end;

function ZkMailEntryW(const list: TMailList; i: Int32): PMailListEntryW;
begin
  Result := PMailListEntryW(PAnsiChar(list.entries) + i * SizeOf(TMailListEntryW));
end;

function ZkFtpLastReply: UnicodeString;
var
  reply: array[0..1023] of WideChar;
begin
  ZK_FtpQueryLastResponseMessageW(@reply[0], Length(reply));
  Result := PWideChar(@reply[0]);
end;

function ZkMailLastReply: UnicodeString;
var
  reply: array[0..1023] of WideChar;
begin
  ZK_MailQueryLastResponseMessageW(@reply[0], Length(reply));
  Result := PWideChar(@reply[0]);
end;

end.
