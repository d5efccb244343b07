// Zknet.cs -- zknet for .NET (C#, and PowerShell through Add-Type): NativeMethods declares every
// export of zknet.dll / libzknet.so with its constants and records; the SafeHandle classes release
// sessions; FtpClient, MailSender and Pop3Client are the friendly layer over them.
// Generated from include/zknet/*.h by tools/make-bindings.py; change the headers and re-run it rather
// than editing this file.
//
// One source for .NET Framework 4.x, .NET 6 and later and Mono, on Windows x86 and x64 and on Linux
// (C# 5, so Windows PowerShell's Add-Type compiles it too). DllImport("zknet") finds zknet.dll on
// Windows and libzknet.so on Linux; put the library of the process's width beside the program or on
// the library path. Every export is stdcall: what the 32-bit DLL needs, and ignored elsewhere. Prefer
// the W forms: their texts go as UTF-16 everywhere. The A forms take the ANSI code page on Windows;
// on Linux .NET passes them as UTF-8 while the library reads code page 932 there, so keep them to
// ASCII. Output buffers are StringBuilders made with the capacity passed as the size.
using System;
using System.Runtime.InteropServices;
using System.Text;
using Microsoft.Win32.SafeHandles;

namespace Zknet
{
    // Called on the thread that started the transfer (never on another), at most about ten times a
    // second while data moves and once when it has all moved: `done` bytes so far of `total` (-1 when
    // the size is not known), with the `user` value given when the callback was set. Return 0 to go
    // on; any other value cancels the transfer, which then fails with the family's code 33
    // (ZK_FTP_CANCELLED, ZK_MAIL_CANCELLED) and leaves the session usable. The answer to the last
    // call, made when everything has moved, is not heeded.
    [UnmanagedFunctionPointer(CallingConvention.StdCall)]
    public delegate int ZkProgressProc(long done, long total, IntPtr user);

    // The C interface as it stands: constants, records and one declaration per export.
    public static class NativeMethods
    {
        public const string Library = "zknet";

        // ---- Constants of zkconf.h ----
        public const string ZKNET_VERSION = "1.0.0";
        public const int ZKNET_VERNUM = 0x1000;
        public const int ZKNET_VER_MAJOR = 1;
        public const int ZKNET_VER_MINOR = 0;
        public const int ZKNET_VER_PATCH = 0;

        // ---- Constants of socket.h ----
        public const int ZK_AF_INET = 2;
        public const int ZK_AF_INET6 = 23;
        public const int ZK_SOCK_STREAM = 1;
        public const int ZK_SOCK_DGRAM = 2;

        // ---- Constants of secure.h ----
        public const int ZK_SECURE_NONE = 0;                // plain text, as the plain connects
        public const int ZK_SECURE_EXPLICIT = 1;            // a plain start, then TLS on the server's word; required
        public const int ZK_SECURE_IMPLICIT = 2;            // TLS from the first byte (FTPS 990, SMTPS 465, POP3S 995)
        public const int ZK_SECURE_NO_VERIFY = 0x100;
        public const int ZK_SECURE_XOAUTH2 = 0x200;
        public const int ZK_SECURE_ALLOW_PLAIN_AUTH = 0x400;

        // ---- Constants of ftp.h ----
        public const int ZK_FTP_OK = 0;
        public const int ZK_FTP_BAD_SESSION = 1;            // null session, or passive neither 0 nor 1
        public const int ZK_FTP_NO_CONNECTION = 2;
        public const int ZK_FTP_NO_REPLY = 3;
        public const int ZK_FTP_NOT_SENT = 4;
        public const int ZK_FTP_REFUSED = 5;
        public const int ZK_FTP_LOGIN_REFUSED = 6;
        public const int ZK_FTP_PWD_FAILED = 7;
        public const int ZK_FTP_CWD_FAILED = 8;
        public const int ZK_FTP_MKD_FAILED = 9;
        public const int ZK_FTP_RMD_FAILED = 10;
        public const int ZK_FTP_FILE_FAILED = 11;
        public const int ZK_FTP_TRANSFER_FAILED = 12;
        public const int ZK_FTP_DATE_FAILED = 13;
        public const int ZK_FTP_TYPE_REFUSED = 16;
        public const int ZK_FTP_PASSIVE_FAILED = 17;
        public const int ZK_FTP_NO_PERMISSION = 21;
        public const int ZK_FTP_CHMOD_FAILED = 22;
        public const int ZK_FTP_TLS_FAILED = 30;            // AUTH TLS refused, no TLS, a failed handshake, TLS broken later
        public const int ZK_FTP_CERTIFICATE = 31;           // the server's certificate is untrusted, expired or not for the host
        public const int ZK_FTP_CANCELLED = 33;             // the progress callback cancelled the transfer

        // ---- Constants of mail.h ----
        public const int ZK_MAIL_OK = 0;
        public const int ZK_MAIL_NO_SESSION = 1;            // null handle, or a handle of the other protocol
        public const int ZK_MAIL_NO_CONNECTION = 2;
        public const int ZK_MAIL_NO_REPLY = 3;              // no greeting or reply, or a greeting without the expected text
        public const int ZK_MAIL_NOT_SENT = 4;              // a command line was not sent (or could not be formed)
        public const int ZK_MAIL_REFUSED = 5;               // a reply lacked the expected text
        public const int ZK_MAIL_LOGIN_REFUSED = 6;
        public const int ZK_MAIL_HELO_FAILED = 8;
        public const int ZK_MAIL_FROM_FAILED = 9;
        public const int ZK_MAIL_RCPT_FAILED = 10;
        public const int ZK_MAIL_DATA_FAILED = 11;          // DATA refused, the message not sent whole, or not accepted
        public const int ZK_MAIL_NO_FOLDER = 12;
        public const int ZK_MAIL_FILE_FAILED = 13;
        public const int ZK_MAIL_TLS_FAILED = 30;           // no TLS: STARTTLS or STLS not offered or refused, a failed handshake
        public const int ZK_MAIL_CERTIFICATE = 31;          // the server's certificate was refused
        public const int ZK_MAIL_AUTH_FAILED = 32;          // SMTP AUTH refused, impossible, or not allowed in plain text
        public const int ZK_MAIL_CANCELLED = 33;            // the progress callback cancelled a retrieval
        public const int ZK_MAIL_RESPONSE_SIZE = 512;

        // ---- Constants of telnet.h ----
        public const int ZK_TELNET_OK = 0;
        public const int ZK_TELNET_NOT_CONNECTED = 1;       // the socket was not created or not connected
        public const int ZK_TELNET_NO_SESSION = 3;          // null handle or list; also set by ZK_TelnetDisconnect
        public const int ZK_TELNET_NEGOTIATION = 4;         // option negotiation failed
        public const int ZK_TELNET_NOT_SENT = 5;            // a command was not sent
        public const int ZK_TELNET_NOTHING_RECEIVED = 6;    // no echo or reply could be received
        public const int ZK_TELNET_NO_MEMORY = 7;           // no memory for a line list or the session
        public const int ZK_TELNET_NO_LINE = 8;             // the received text held no line
        public const int ZK_TELNET_NO_PROMPT = 10;          // an expected prompt was not found
        public const int ZK_TELNET_RESPONSE_SIZE = 4096;

        // ---- Records ----
        // A list of line texts made by ZK_SocketEditMStringA/W. `items` has one slot per counted line;
        // slots 0 to count-1 hold zero-terminated texts: char* for the A form, zk_wchar_t* for the W form.
        [StructLayout(LayoutKind.Sequential)]
        public struct MStringList
        {
            public int count;
            public IntPtr items;
        }

        // A remote file's modification time as the server gives it (ZK_FtpGetFileDateA/W).
        [StructLayout(LayoutKind.Sequential)]
        public struct FtpFileDate
        {
            public ushort year;
            public ushort month;
            public ushort day;
            public ushort hour;
            public ushort minute;
            public ushort second;
        }

        // One message of a mailbox listing made by ZK_MailBoxA. The layout is fixed: callers step
        // through the entry array by sizeof(MailListEntryA), 2696 bytes.
        [StructLayout(LayoutKind.Sequential)]
        public struct MailListEntryA
        {
            public int number;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 640)] public byte[] from;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 2048)] public byte[] subject;
            public int size;
        }

        // The same for ZK_MailBoxW, with UTF-16 texts: 5384 bytes.
        [StructLayout(LayoutKind.Sequential, CharSet = CharSet.Unicode)]
        public struct MailListEntryW
        {
            public int number;
            [MarshalAs(UnmanagedType.ByValTStr, SizeConst = 640)] public string from;
            [MarshalAs(UnmanagedType.ByValTStr, SizeConst = 2048)] public string subject;
            public int size;
        }

        // A mailbox listing. `entries` points to `count` MailListEntryA (ZK_MailBoxA) or MailListEntryW
        // (ZK_MailBoxW) records, allocated by the library and released by ZK_MailListFreeA/W.
        [StructLayout(LayoutKind.Sequential)]
        public struct MailList
        {
            public int count;
            public IntPtr entries;
        }

        // The Date field of a message as numbers (ZK_MailGetDate); the time zone is not kept.
        [StructLayout(LayoutKind.Sequential)]
        public struct MailDate
        {
            public ushort year;
            public ushort month;
            public ushort day;
            public ushort hour;
            public ushort minute;
            public ushort second;
        }

        // Lines received from the host, without their line breaks; empty lines never occur. Slots 0 to
        // count-1 of `items` hold zero-terminated texts: char* from the A operations, zk_wchar_t* from the W
        // operations. Filled by a receive, released with ZK_TelnetDelListA/W.
        [StructLayout(LayoutKind.Sequential)]
        public struct TelnetLineList
        {
            public int count;
            public IntPtr items;
        }

        // The MAC addresses of up to 16 local adapters, filled by ZK_NicGetMacAddress: slot i holds the
        // 6 bytes (in transmission order) of adapter i, slots 0 to count-1 are valid. 100 bytes.
        [StructLayout(LayoutKind.Sequential)]
        public struct MacAddressList
        {
            public uint count;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 96)] public byte[] addresses; // C [16][6]: element [i][j] at i * 6 + j
        }

        // ==== socket.h: the ZK_Socket family: TCP/UDP handles, sending and receiving with time-outs,
        // host-name and address queries, broadcast and multi-string lists.

        // ---- Start and stop, handles and connections ----

        // Starts the socket service (version 2.2). Returns 0, or the platform's error code.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketInit();

        // Stops the socket service. Returns 0, or -1 on failure.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketTerm();

        // The calling thread's socket error code (WSAEINVAL 10022, WSAETIMEDOUT 10060, ...), as the last
        // failing socket operation on this thread left it.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketGetLastError();

        // Creates an unconnected socket of family 2 or 23 and kind 1 (stream) or 2 (datagram).
        // Returns the handle, or NULL with the platform's error code.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern IntPtr ZK_SocketOpen(ushort family, int kind);

        // Opens a client socket; a stream is connected to host:port, a datagram is returned unconnected.
        // Returns the handle, or NULL (kind other than 1 or 2: WSAEINVAL).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern IntPtr ZK_SocketOpenClientA(
            int kind,
            [MarshalAs(UnmanagedType.LPStr)] string host,
            int port,
            ushort family);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern IntPtr ZK_SocketOpenClientW(
            int kind,
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            int port,
            ushort family);

        // Connects an open handle to host:port. Returns 1, or 0 (the handle stays open).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketConnectClientA(
            IntPtr handle,
            [MarshalAs(UnmanagedType.LPStr)] string host,
            int port);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_SocketConnectClientW(
            IntPtr handle,
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            int port);

        // Opens a socket bound to the port on every local address, listening if it is a stream.
        // Returns the handle, or NULL.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern IntPtr ZK_SocketOpenServer(int kind, int port, ushort family);

        // Binds an open handle to the port (and listens, for a stream). Returns 1, or 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketConnectServer(IntPtr handle, int port);

        // Waits for a connection on a listening handle. Returns the new handle, or NULL.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern IntPtr ZK_SocketAccept(IntPtr listener);

        // Shuts down (streams) and closes the socket and releases the handle.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_SocketClose(IntPtr handle);

        // ---- Sending and receiving ----

        // One send of `length` bytes. Returns the bytes sent, or -1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketSend(IntPtr handle, [In, Out] byte[] data, int length);

        // Sends the low 8 bits of `byte`. Returns 1, or -1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketSendOne(IntPtr handle, int @byte);

        // Sends a text without its terminator. Returns the bytes sent, or -1 (also for an empty text).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketSendString(IntPtr handle, [MarshalAs(UnmanagedType.LPStr)] string text);

        // Receives into a zero-filled buffer. drain 0: returns `size` once the buffer is full, 0 on a
        // time-out or close before that. drain not 0: returns the bytes received as soon as nothing more is
        // waiting. -1 on failure. *pending (optional) gets the bytes still waiting after a full buffer.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketRecv(
            IntPtr handle,
            [In, Out] byte[] buffer,
            int size,
            uint timeout_ms,
            out int pending,
            int drain);

        // Receives one byte. Returns 1, 0 when the peer has closed, -1 on failure or time-out.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketRecvOne(IntPtr handle, [In, Out] byte[] @byte, uint timeout_ms);

        // Receives one line without its CR and LF into a zero-filled buffer, at most size-1 bytes.
        // Returns the length stored, or -1 on failure or time-out (what arrived stays in the buffer).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketRecvStringLine(
            IntPtr handle,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder buffer,
            int size,
            uint timeout_ms);

        // Receives everything that arrives until a pause of about half a second, a time-out or a close.
        // Returns an allocated, zero-terminated block (release with ZK_SocketDeleteString) and its length,
        // or NULL with length 0 (-2 when no memory could be had).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern IntPtr ZK_SocketRecvString(IntPtr handle, out int length, uint timeout_ms);

        // Releases a text from ZK_SocketRecvString or ZK_MailRecv; NULL is ignored.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_SocketDeleteString(IntPtr text);

        // ---- Host names and addresses ----

        // Classic IPv4 look-up of a name or dotted address: dotted address, official name and first alias.
        // Returns 1 if any part was found, else 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketGetAddressInfoA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder address,
            int address_size,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder alias,
            int alias_size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_SocketGetAddressInfoW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder address,
            int address_size,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder alias,
            int alias_size);

        // Address-info look-up (family 2, 23 or 0): numeric address, registered name and short name of
        // the first result. Returns 1 if something counted as found, else 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketGetAddressInfoExA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            ushort family,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder address,
            int address_size,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder short_name,
            int short_size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_SocketGetAddressInfoExW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            ushort family,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder address,
            int address_size,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder short_name,
            int short_size);

        // The local computer's official name and first IPv4 address. Returns 1, or 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketGetHostNameA(
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder address,
            int address_size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_SocketGetHostNameW(
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder address,
            int address_size);

        // The local computer's name and its first address of the family. Returns 1, or 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketGetHostNameExA(
            ushort family,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder address,
            int address_size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_SocketGetHostNameExW(
            ushort family,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder name,
            int name_size,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder address,
            int address_size);

        // The local IPv4 address as 4 bytes in network order. Returns 1, or 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketGetIPAddress([In, Out] byte[] address4);

        // The local IPv6 address as 8 16-bit groups in host order. Returns 1, or 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketGetIPAddressV6([In, Out] ushort[] groups8);

        // ---- Broadcast and multi-string lists ----

        // Sends one datagram to an IPv4 host or broadcast address on an IPv4 datagram handle.
        // Returns the bytes sent, or -1 (0 from the W form when the host text does not convert).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketSendBroadcastA(
            IntPtr handle,
            [MarshalAs(UnmanagedType.LPStr)] string host,
            int port,
            [In, Out] byte[] data,
            int length);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_SocketSendBroadcastW(
            IntPtr handle,
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            int port,
            [In, Out] byte[] data,
            int length);

        // Splits a CR LF text into line items (narrow, or UTF-16 for the W form). Returns 1, or 0 for a
        // null or empty text or a failed allocation; release the list with ZK_SocketDeleteMStringA/W.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_SocketEditMStringA(
            [MarshalAs(UnmanagedType.LPStr)] string text,
            ref MStringList list);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_SocketEditMStringW(
            [MarshalAs(UnmanagedType.LPStr)] string text,
            ref MStringList list);

        // Releases the items and item array of a list; NULL is ignored. One entry under two names.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_SocketDeleteMStringA(ref MStringList list);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern void ZK_SocketDeleteMStringW(ref MStringList list);

        // ==== ftp.h: the ZK_Ftp family: sessions, transfers, remote commands and listings.

        // ---- Sessions, last error and last reply ----

        // Connects (family 2 or 23) and logs in; passive 1 for passive data connections, 0 for active.
        // Returns the session, or NULL: code 2 (no connection), 3 (no greeting or reply), 4, 6 (login
        // refused).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern FtpSessionHandle ZK_FtpConnectA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            [MarshalAs(UnmanagedType.LPStr)] string user,
            [MarshalAs(UnmanagedType.LPStr)] string password,
            uint passive,
            int port,
            ushort family);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern FtpSessionHandle ZK_FtpConnectW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            [MarshalAs(UnmanagedType.LPWStr)] string user,
            [MarshalAs(UnmanagedType.LPWStr)] string password,
            uint passive,
            int port,
            ushort family);

        // Connects as ZK_FtpConnectA/W, over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT sends
        // AUTH TLS after the greeting and goes no further without TLS; ZK_SECURE_IMPLICIT speaks TLS from
        // the first byte (port 990). After the login, PBSZ 0 and PROT P: every data connection is TLS as
        // well, resuming the control connection's TLS session. The server's certificate must lead to a
        // trusted root (the system's, or exactly the CAs of the PEM file `ca_file`), be valid now and be
        // for `host` (a name, or an address given as text); ZK_SECURE_NO_VERIFY takes any certificate.
        // Returns the session, or NULL with the plain connect's codes or 30 (no TLS: AUTH TLS refused, a
        // failed handshake, PBSZ or PROT refused) or 31 (certificate refused); for 30 and 31 the last
        // reply explains, beginning "TLS:". Nothing of the login is sent before TLS stands.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern FtpSessionHandle ZK_FtpConnectSecureA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            [MarshalAs(UnmanagedType.LPStr)] string user,
            [MarshalAs(UnmanagedType.LPStr)] string password,
            uint passive,
            int port,
            ushort family,
            uint security,
            [MarshalAs(UnmanagedType.LPStr)] string ca_file);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern FtpSessionHandle ZK_FtpConnectSecureW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            [MarshalAs(UnmanagedType.LPWStr)] string user,
            [MarshalAs(UnmanagedType.LPWStr)] string password,
            uint passive,
            int port,
            ushort family,
            uint security,
            [MarshalAs(UnmanagedType.LPWStr)] string ca_file);

        // Sends QUIT, closes the connection and releases the session (NULL: code 1).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        // Called by the session's SafeHandle: dispose of that instead.
        public static extern void ZK_FtpDisconnect(IntPtr session);

        // The family's last error code (see the ZK_FTP_ codes); only failures and the start of connect,
        // listings and transfers change it.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern uint ZK_FtpQueryLastErrorCode();

        // Sets the last error code to 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_FtpClearLastErrorCode();

        // Copies the last server reply (cut to the buffer, size in bytes or UTF-16 units). Returns the
        // length copied without the terminator; 0 for an empty reply or no buffer.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpQueryLastResponseMessageA(
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder buffer,
            int size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpQueryLastResponseMessageW(
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder buffer,
            int size);

        // ---- File transfer ----

        // Downloads a file (binary nonzero: TYPE I, 0: TYPE A) and gives the local file the remote time.
        // Returns 1, or 0: code 11 (size unknown), 12 (data or local file incomplete, or no 226),
        // 13 (time not read or not set), 5, 16, 17, 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpGetFileA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string remote_name,
            [MarshalAs(UnmanagedType.LPStr)] string local_path,
            uint binary);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpGetFileW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string remote_name,
            [MarshalAs(UnmanagedType.LPWStr)] string local_path,
            uint binary);

        // Uploads a local file unchanged. Returns 1, or 0: code 11 (local file not found, nothing sent),
        // 12 (file not read completely, or no 226), 5, 16, 17, 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpPutFileA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string local_path,
            [MarshalAs(UnmanagedType.LPStr)] string remote_name,
            uint binary);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpPutFileW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string local_path,
            [MarshalAs(UnmanagedType.LPWStr)] string remote_name,
            uint binary);

        // ---- Remote files and directories ----

        // CWD. Returns 1, or 0: code 8 (refused), 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpSetDirectoryA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string directory);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpSetDirectoryW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string directory);

        // MKD. Returns 1, or 0: code 9 (refused), 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpCreateDirectoryA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string directory);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpCreateDirectoryW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string directory);

        // RMD. Returns 1, or 0: code 10 (refused), 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpDeleteDirectoryA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string directory);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpDeleteDirectoryW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string directory);

        // RNFR then RNTO. Returns 1, or 0: code 11 (RNFR failed, RNTO not sent), 10 (RNTO refused), 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpRenameFileA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string old_name,
            [MarshalAs(UnmanagedType.LPStr)] string new_name);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpRenameFileW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string old_name,
            [MarshalAs(UnmanagedType.LPWStr)] string new_name);

        // DELE. Returns 1, or 0: code 11 (refused), 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpDeleteFileA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string file);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpDeleteFileW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string file);

        // TYPE I then SIZE. Returns the size (saturated at 2147483647), or 0 on failure: code 16, 11
        // (refused, or a reply whose size cannot be read), 3, 4, 1; an empty file also gives 0, told apart
        // by the code.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpGetFileSizeA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string file);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpGetFileSizeW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string file);

        // The same query for files of any size. Returns the whole size, or -1 on failure with the same
        // codes.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern long ZK_FtpGetFileSize64A(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string file);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern long ZK_FtpGetFileSize64W(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string file);

        // MDTM into *date (shift 1 adds nine hours; the day does not carry into the month). Returns 1,
        // or 0 with code 11 (any failure, a reply without a full time included) or 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpGetFileDateA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string file,
            ref FtpFileDate date,
            uint shift);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpGetFileDateW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string file,
            ref FtpFileDate date,
            uint shift);

        // ---- Listings and permissions ----

        // Runs a listing command ("LIST", "NLST dir"...) over a data connection and fills *list with
        // its lines (UTF-16 items for the W form; release with ZK_SocketDeleteMStringA/W). Returns 1,
        // or 0 with the list untouched: code 12 (refused, or completion without 226), 5, 16, 17, 3, 4,
        // 1 (also for a null list).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpListFileA(
            FtpSessionHandle session,
            ref MStringList list,
            [MarshalAs(UnmanagedType.LPStr)] string command);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpListFileW(
            FtpSessionHandle session,
            ref MStringList list,
            [MarshalAs(UnmanagedType.LPWStr)] string command);

        // Runs a command answered by 257 ("PWD") and copies the quoted directory name (size in bytes or
        // UTF-16 units; empty when the reply quotes nothing). Returns 1, or 0: code 7 (refused, or the
        // name does not fit the buffer, which is left empty), 3, 4, 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpGetDirectoryA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder name,
            int size,
            [MarshalAs(UnmanagedType.LPStr)] string command);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpGetDirectoryW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder name,
            int size,
            [MarshalAs(UnmanagedType.LPWStr)] string command);

        // Permission of a file of the current directory, from its LIST line: 0x755 for rwxr-xr-x, plus
        // 0x1000 for a directory, 0x4000 for a link... Returns it, or 0xFFFF: code 3 (listing failed),
        // 11 (no line names the file), 21 (no readable permission word).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern uint ZK_FtpGetPermissionA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string file);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern uint ZK_FtpGetPermissionW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string file);

        // SITE CHMOD with the low twelve bits of mode (a ZK_FtpGetPermission value fits). Returns 1,
        // or 0: code 11 (the reply says "No such"), 22 (any other failure), 1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpSetPermissionA(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPStr)] string file,
            uint mode);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_FtpSetPermissionW(
            FtpSessionHandle session,
            [MarshalAs(UnmanagedType.LPWStr)] string file,
            uint mode);

        // ---- Progress and cancelling ----

        // Has the session's transfers and listings (ZK_FtpGetFileA/W, ZK_FtpPutFileA/W, ZK_FtpListFileA/W)
        // report to `callback` (progress.h) with `user`: bytes moved so far, and the file's size (-1 when
        // unknown). A nonzero return cancels: the data connection is closed, the server is told with ABOR,
        // its replies are read, and the call returns 0 with code 33 (the local file of a download stays
        // as far as it came); the session stays usable. NULL stops the reports. Returns 1, or 0 with code
        // 1 for a null session.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_FtpSetProgressCallback(
            FtpSessionHandle session,
            ZkProgressProc callback,
            IntPtr user);

        // ==== mail.h: the ZK_Mail family: SMTP sending, POP3 receiving and message extraction.

        // ---- Sessions, last error and last reply ----

        // The family's last error code (ZK_MAIL_...), shared by every session and thread. Only failures,
        // the start of a connect and ZK_MailClearLastErrorCode change it. Sessions on several threads may
        // replace the code and the last reply at any time; each is always read whole.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern uint ZK_MailQueryLastErrorCode();

        // Sets the last error code to 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_MailClearLastErrorCode();

        // Copies the last server reply line (the final line of a multi-line reply) into `buffer`, cut
        // to its size (bytes / UTF-16 units, terminator included) at a character boundary. Returns the
        // length copied without the terminator; 0 for an empty reply or no buffer.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailQueryLastResponseMessageA(
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder buffer,
            int size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailQueryLastResponseMessageW(
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder buffer,
            int size);

        // ---- SMTP ----

        // Connects to an SMTP server (family 2 or 23) and reads its greeting, which must hold "220".
        // Returns the session, or NULL with code 2 (no connection) or 3 (no or another greeting). Sends
        // no command: each ZK_MailSendA/W says HELO itself.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern SmtpSessionHandle ZK_MailConnectSmtpA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            int port,
            ushort family);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern SmtpSessionHandle ZK_MailConnectSmtpW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            int port,
            ushort family);

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
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern SmtpSessionHandle ZK_MailConnectSmtpSecureA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            int port,
            ushort family,
            uint security,
            [MarshalAs(UnmanagedType.LPStr)] string ca_file,
            [MarshalAs(UnmanagedType.LPStr)] string helo,
            [MarshalAs(UnmanagedType.LPStr)] string user,
            [MarshalAs(UnmanagedType.LPStr)] string password);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern SmtpSessionHandle ZK_MailConnectSmtpSecureW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            int port,
            ushort family,
            uint security,
            [MarshalAs(UnmanagedType.LPWStr)] string ca_file,
            [MarshalAs(UnmanagedType.LPWStr)] string helo,
            [MarshalAs(UnmanagedType.LPWStr)] string user,
            [MarshalAs(UnmanagedType.LPWStr)] string password);

        // Sends QUIT, reads the reply (any reply, or none within 8 s), closes the connection and releases
        // the session. NULL or a POP3 session: code 1, nothing released.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        // Called by the session's SafeHandle: dispose of that instead.
        public static extern void ZK_MailDisconnectSmtp(IntPtr handle);

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
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailSendA(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPStr)] string helo,
            [MarshalAs(UnmanagedType.LPStr)] string from,
            [MarshalAs(UnmanagedType.LPStr)] string to,
            [MarshalAs(UnmanagedType.LPStr)] string subject,
            [MarshalAs(UnmanagedType.LPStr)] string body,
            int width);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailSendW(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPWStr)] string helo,
            [MarshalAs(UnmanagedType.LPWStr)] string from,
            [MarshalAs(UnmanagedType.LPWStr)] string to,
            [MarshalAs(UnmanagedType.LPWStr)] string subject,
            [MarshalAs(UnmanagedType.LPWStr)] string body,
            int width);

        // ---- Message composition ----

        // Sets the session's X-Mailer header to "X-Mailer: " and the text (at most 248 bytes in the ANSI
        // code page; a longer text is cut at a character boundary; CR and LF become spaces). NULL handle:
        // nothing happens.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_MailSetXMailerA(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPStr)] string text);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern void ZK_MailSetXMailerW(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPWStr)] string text);

        // Sets the session's Content-Type header to the type with its format, charset and reply-type
        // parameters (NULL: "fixed", "iso-2022-jp", "original"). A null or empty type, a null handle, or
        // values of more than 207 bytes together leave it as it was. CR and LF become spaces. A charset
        // of "UTF-8" (any case) makes the session's messages go out in UTF-8; any other charset only
        // describes, the text going out as 7bit ISO-2022-JP.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_MailSetContentTypeA(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPStr)] string type,
            [MarshalAs(UnmanagedType.LPStr)] string charset,
            [MarshalAs(UnmanagedType.LPStr)] string format,
            [MarshalAs(UnmanagedType.LPStr)] string reply_type);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern void ZK_MailSetContentTypeW(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPWStr)] string type,
            [MarshalAs(UnmanagedType.LPWStr)] string charset,
            [MarshalAs(UnmanagedType.LPWStr)] string format,
            [MarshalAs(UnmanagedType.LPWStr)] string reply_type);

        // Folds the ANSI text in `text` (a buffer of `size` bytes) in place so that no line holds more
        // than `width` bytes, inserting CR LF; a double-byte character is never split and counts two, a
        // TAB becomes one space, bytes that begin no character are dropped. Returns 1 when all of the
        // text was folded, 0 when the buffer filled up first (the text folded so far stays, terminated)
        // or there is no text.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailJustifiedText(
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder text,
            int size,
            int width);

        // ---- POP3: mailbox listings and retrieved messages ----

        // Connects to a POP3 server (family 2 or 23), reads its greeting, which must hold "+OK" (in any
        // case), and logs in with USER and PASS. Returns the session, or NULL with code 2 (no
        // connection), 3 (no or another greeting; or no reply to USER), 4 (USER not sent) or 6 (USER
        // refused, or PASS not accepted: a wrong password); the connection is closed again.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern Pop3SessionHandle ZK_MailConnectPop3A(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            [MarshalAs(UnmanagedType.LPStr)] string user,
            [MarshalAs(UnmanagedType.LPStr)] string password,
            int port,
            ushort family);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern Pop3SessionHandle ZK_MailConnectPop3W(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            [MarshalAs(UnmanagedType.LPWStr)] string user,
            [MarshalAs(UnmanagedType.LPWStr)] string password,
            int port,
            ushort family);

        // Connects as ZK_MailConnectPop3A/W over TLS as `security` asks (secure.h): ZK_SECURE_EXPLICIT
        // sends STLS after the greeting, required; ZK_SECURE_IMPLICIT speaks TLS from the first byte (port
        // 995). Then USER and PASS (a server that refuses USER is asked AUTH PLAIN), or with
        // ZK_SECURE_XOAUTH2 AUTH OAUTHBEARER or XOAUTH2 with the password as the access token. Returns the
        // session, or NULL with the plain connect's codes (6: the login refused), 30 or 31 (as for
        // ZK_MailConnectSmtpSecureA/W), or 32 (a token over plain text without
        // ZK_SECURE_ALLOW_PLAIN_AUTH: nothing sent).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern Pop3SessionHandle ZK_MailConnectPop3SecureA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            [MarshalAs(UnmanagedType.LPStr)] string user,
            [MarshalAs(UnmanagedType.LPStr)] string password,
            int port,
            ushort family,
            uint security,
            [MarshalAs(UnmanagedType.LPStr)] string ca_file);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern Pop3SessionHandle ZK_MailConnectPop3SecureW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            [MarshalAs(UnmanagedType.LPWStr)] string user,
            [MarshalAs(UnmanagedType.LPWStr)] string password,
            int port,
            ushort family,
            uint security,
            [MarshalAs(UnmanagedType.LPWStr)] string ca_file);

        // Sends QUIT, which makes the deletions of the session take effect, reads the reply (any reply,
        // or none within 8 s), closes the connection and releases the session. NULL or an SMTP session:
        // code 1, nothing released.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        // Called by the session's SafeHandle: dispose of that instead.
        public static extern void ZK_MailDisconnectPop3(IntPtr handle);

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
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailBoxA(MailSessionHandle handle, ref MailList list, int fetch);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailBoxW(MailSessionHandle handle, ref MailList list, int fetch);

        // Releases the entries of a listing and empties the list (count 0, entries NULL), so that a
        // second release does nothing. NULL is ignored.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_MailListFreeA(ref MailList list);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern void ZK_MailListFreeW(ref MailList list);

        // Marks message `number` for deletion with DELE; the server deletes it when the session ends with
        // ZK_MailDisconnectPop3. Returns 1 when the reply holds "+OK", else 0 (also for NULL or an SMTP
        // session, nothing sent); the code is not changed, the reply is the last response.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailDelete(MailSessionHandle handle, int number);

        // Retrieves message `number` with RETR: the message as it was sent (the server's dot-stuffing
        // removed; a line that exceeds any length comes whole, a CR inside it too), each line ending in
        // CR LF, a zero byte ending what is kept of its line. Returns the text, to be released with ZK_MailRecvFree; NULL
        // for NULL or an SMTP session (nothing sent), a status without "+OK", a message without lines,
        // one larger than 1 GiB or memory exhausted (the rest is read and dropped), or a connection that
        // failed or stayed silent for 8 s before the end. The code is not changed, unless the progress
        // callback cancelled the retrieval (33, ZK_MailSetProgressCallback).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern IntPtr ZK_MailRecv(MailSessionHandle handle, int number);

        // Releases a message text from ZK_MailRecv; the same entry as ZK_SocketDeleteString.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_MailRecvFree(IntPtr message);

        // Retrieves message `number` as ZK_MailRecv does and writes it byte for byte to FOLDER\NAME.eml
        // (replaced if it exists; the separator is always added). The W form converts both texts to the
        // ANSI code page. Returns 1 when the whole text was written; 0 for a NULL argument; 0 with code
        // 12 when the folder does not exist or is a file, or 13 when the path does not fit 260 bytes
        // (nothing is retrieved in either case); 0 with the code unchanged when the retrieval failed;
        // 0 with code 13 when the file could not be created or written whole. The process's current
        // directory is never changed.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailRecvToFileA(
            MailSessionHandle handle,
            int number,
            [MarshalAs(UnmanagedType.LPStr)] string folder,
            [MarshalAs(UnmanagedType.LPStr)] string name);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailRecvToFileW(
            MailSessionHandle handle,
            int number,
            [MarshalAs(UnmanagedType.LPWStr)] string folder,
            [MarshalAs(UnmanagedType.LPWStr)] string name);

        // Has the POP3 session's retrievals (ZK_MailRecv, ZK_MailRecvToFileA/W, and each message that
        // ZK_MailBoxA/W fetches) report to `callback` (progress.h) with `user`: bytes of the message so
        // far, and its size as the server announced it ("+OK 1234 octets"; -1 otherwise). A nonzero
        // return cancels: the rest of the message is read and dropped, so that the session stays usable,
        // and the call fails with code 33 (ZK_MailRecvToFileA/W writes no file). NULL stops the reports.
        // Returns 1, or 0 with code 1 for NULL or an SMTP session.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailSetProgressCallback(
            MailSessionHandle handle,
            ZkProgressProc callback,
            IntPtr user);

        // ---- Sending a stored message ----

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
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailSendFromFileA(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPStr)] string helo,
            [MarshalAs(UnmanagedType.LPStr)] string file);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailSendFromFileW(
            MailSessionHandle handle,
            [MarshalAs(UnmanagedType.LPWStr)] string helo,
            [MarshalAs(UnmanagedType.LPWStr)] string file);

        // ---- Message header ----
        // These take apart a message text as ZK_MailRecv returns it (ANSI, CR LF lines, the header up to
        // the first empty line, then the body); the text is ANSI in the W forms too. Output sizes are in
        // bytes (A) or UTF-16 units (W), the terminator included.

        // Copies the header, with the CR LF of its last line, without the empty line (the whole text
        // when there is none). Returns its length in bytes; -1 for a null or empty text, and -1 with
        // an empty output when the header does not fit.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetHeaderA(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);

        // The same as UTF-16. Returns the units written including the terminator; -1 for a null or
        // empty text or an empty header, and -1 with an empty output when the header does not fit.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailGetHeaderW(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // The value of the field named by `tag` (with its colon, as "Subject:"; any case), from the
        // first character after the blanks that follow the colon (on a continuation line when the first
        // line holds none): folded lines joined by removing the line break alone, repeated fields joined
        // by CR LF, MIME encoded words (B and Q; ISO-2022-JP, Shift_JIS, CP932, windows-31j, EUC-JP,
        // UTF-8) decoded to the ANSI code page, the white space between two encoded words dropped and
        // all other kept. Returns the value's length in bytes; 0 when the field is absent or empty; -1
        // when the raw value does not fit (or the tag is null or empty). The output is all zeros beyond
        // the value, and wholly on 0 and -1.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetHeaderTagA(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPStr)] string tag,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);

        // The same with a UTF-16 tag and output; the raw value must fit in `size` bytes as the A form
        // takes it. Returns the units written including the terminator; 0 or -1 as the A form, and then
        // the output is left as the caller gave it.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailGetHeaderTagW(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPWStr)] string tag,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // ZK_MailGetHeaderTagA/W with the tag "From:".
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetFromA(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailGetFromW(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // ZK_MailGetHeaderTagA/W with the tag "Subject:".
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetSubjectA(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailGetSubjectW(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // ZK_MailGetHeaderTagA/W with the tag "Content-type:".
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetContentTypeA(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailGetContentTypeW(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // ZK_MailGetHeaderTagA/W with the tag "Content-transfer-encoding:".
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetTransferEncodeA(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailGetTransferEncodeW(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // Reads the Date field, as "Tue, 15 Nov 1994 08:12:31 +0900" and the forms mailers write besides
        // (no weekday, blanks, folds and comments anywhere between the parts, a one-digit day, no
        // seconds, numeric or named zones), into *date (all zeros first). Returns the length of the Date
        // value; 0 when there is none; -1 when it does not fit 1024 bytes, is no date (every field must
        // lie in its range) or date is NULL, the fields then 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetDate(IntPtr text, ref MailDate date);

        // ---- Message body ----

        // The body of a message whose Content-Transfer-Encoding is 7bit or absent: from the CR LF of the
        // empty line that ends the header to the end of the text, converted from the Content-Type charset
        // (ISO-2022-JP with its half-width katakana, Shift_JIS, EUC-JP, UTF-8; none: as it stands) to
        // ANSI text. A multipart body comes whole. Returns its length in bytes; 0 when the text has no
        // empty line or the body does not convert; -2 for an empty text or any other transfer encoding
        // (the output untouched); -1 with an empty output when the body, as it stands in the text, is
        // not shorter than `size` bytes.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_MailGetBodyA(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);

        // The same as UTF-16 (`size` in units; the body must be shorter than `size` bytes as it stands
        // in the text). Returns the units before the terminator; 0, -2 and -1 as the A form.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_MailGetBodyW(
            IntPtr text,
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // ==== telnet.h: the ZK_Telnet family: connection, log-in and line-oriented command exchange.

        // ---- Session ----

        // Connects to host:port over family 2 or 23, answers the host's option negotiation (terminal type
        // "tv100") and receives its first text (normally the login prompt) into `list` (may be null; UTF-16
        // lines for the W form). Returns the session, or NULL with code 1 (no connection), 4 (negotiation
        // failed) or 7 (no memory). No time-out: a host that sends nothing keeps the call waiting.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern TelnetSessionHandle ZK_TelnetConnectA(
            [MarshalAs(UnmanagedType.LPStr)] string host,
            ref TelnetLineList list,
            int port,
            ushort family);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern TelnetSessionHandle ZK_TelnetConnectW(
            [MarshalAs(UnmanagedType.LPWStr)] string host,
            ref TelnetLineList list,
            int port,
            ushort family);

        // Closes the connection (no logout is sent) and releases the session; sets code 3. NULL is ignored.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        // Called by the session's SafeHandle: dispose of that instead.
        public static extern void ZK_TelnetDisconnect(IntPtr handle);

        // The family's last error code (ZK_TELNET_...), shared by every session and thread.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_TelnetQueryLastErrorCode();

        // Sets the last error code to 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_TelnetClearLastErrorCode();

        // Copies the last received text, its line breaks shown as the arrow 0x81 0xAB (U+2193 in the W
        // form), into `out` (size in bytes / 16-bit units, terminator included). Returns its length without
        // the terminator, or -1 with `out` empty when it does not fit (ZK_TELNET_RESPONSE_SIZE always does).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_TelnetQueryLastResponseMessageA(
            [MarshalAs(UnmanagedType.LPStr)] StringBuilder @out,
            int size);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_TelnetQueryLastResponseMessageW(
            [MarshalAs(UnmanagedType.LPWStr)] StringBuilder @out,
            int size);

        // ---- Commands and login ----

        // Sends the command and CR LF, then takes back the host's echo of the line if the host echoes it
        // (anything else stays for the next receive). Returns 1, or 0 with code 3 (null handle), 5 (not
        // sent; also a command over 1021 bytes) or 6 (the connection closed before the host answered).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_TelnetCommandSendA(
            TelnetSessionHandle handle,
            [MarshalAs(UnmanagedType.LPStr)] string command);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_TelnetCommandSendW(
            TelnetSessionHandle handle,
            [MarshalAs(UnmanagedType.LPWStr)] string command);

        // Waits for the host's next burst of output (it ends at a pause of about half a second) and puts
        // its non-empty lines into `list` (may be null; emptied first, not released). Returns 1 (also with
        // an empty list for line breaks alone), or 0 with code 3, 6 (nothing received), 7 or 8 (no line).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_TelnetCommandRecvA(TelnetSessionHandle handle, ref TelnetLineList list);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_TelnetCommandRecvW(TelnetSessionHandle handle, ref TelnetLineList list);

        // 1 when a line of the list contains `text` (A to Z without case), else 0; never across lines.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_TelnetSearchStringA(
            ref TelnetLineList list,
            [MarshalAs(UnmanagedType.LPStr)] string text);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_TelnetSearchStringW(
            ref TelnetLineList list,
            [MarshalAs(UnmanagedType.LPWStr)] string text);

        // Releases the lines and leaves the list empty (count 0, items NULL); a second release is harmless.
        // NULL sets code 3. One entry under two names.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern void ZK_TelnetDelListA(ref TelnetLineList list);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern void ZK_TelnetDelListW(ref TelnetLineList list);

        // After the connect has received the login prompt: sends the user, expects "Password:" ("Password"
        // for the W form), sends the password and receives the host's answer into `list`. Returns 1 when a
        // line of it contains `prompt`, else 0 with code 5, 6, 10 (a prompt was not found) or another code
        // of the send and receive operations. The list holds what was received either way.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_TelnetLoginA(
            TelnetSessionHandle handle,
            [MarshalAs(UnmanagedType.LPStr)] string user,
            [MarshalAs(UnmanagedType.LPStr)] string password,
            ref TelnetLineList list,
            [MarshalAs(UnmanagedType.LPStr)] string prompt);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_TelnetLoginW(
            TelnetSessionHandle handle,
            [MarshalAs(UnmanagedType.LPWStr)] string user,
            [MarshalAs(UnmanagedType.LPWStr)] string password,
            ref TelnetLineList list,
            [MarshalAs(UnmanagedType.LPWStr)] string prompt);

        // ==== nic.h: the ZK_Nic family: Wake-on-LAN, adapter count and MAC addresses, ARP resolution.

        // Sends the Wake-on-LAN magic packet (6 x 0xFF, then the 6-byte MAC 16 times: 102 bytes) as one
        // UDP datagram to port 7 of the 4-byte IPv4 address, or of 255.255.255.255 when address4 is
        // NULL. Returns 1 if all 102 bytes went out, else 0 (also for a NULL mac).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_NicSendMagicPacket([In, Out] byte[] mac, [In, Out] byte[] address4);

        // The number of adapters the platform's NetBIOS lists (0 to 255), or -1 if it cannot list them.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_NicGetNicNumber();

        // Zero-fills the list, then stores the MAC addresses of the first 16 adapters (in NetBIOS order)
        // and their count. Returns 1, or 0 on a NetBIOS failure (the slots read before it stay, counted)
        // or a NULL list. No adapters: 1 with count 0.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_NicGetMacAddress(ref MacAddressList list);

        // Asks by ARP for the MAC address of the host with the 4-byte IPv4 address. Returns 1 with the 6
        // bytes in mac, or 0 (mac untouched) when the host did not answer, is not on a local link, the
        // platform cannot ask, or an argument is NULL.
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_NicResolveAddress([In, Out] byte[] address4, [In, Out] byte[] mac);

        // ==== trace.h: the protocol trace, for every family: what the library sends and receives, one
        // line each, to a file of the caller's choosing (or standard error).

        // Appends every family's protocol exchange to the file `path` (made when missing), one line each:
        // the milliseconds since the trace began, the family (FTP, SMTP, POP3, TELNET), the connection's
        // number, ">" sent, "<" received or "*" an event (connections, TLS version, cipher, certificate
        // and resumption, data connections with their byte counts), and the text. Passwords, AUTH
        // exchanges and access tokens show as "****"; message and file data only as byte counts. "-"
        // is standard error; NULL stops the trace. The environment variable ZKNET_TRACE=path starts it
        // when the library is first used, unless the program chose first. Returns 1, or 0 when the file
        // cannot be opened (the trace is then off).
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Ansi, ExactSpelling = true)]
        public static extern int ZK_TraceToFileA([MarshalAs(UnmanagedType.LPStr)] string path);
        [DllImport(Library, CallingConvention = CallingConvention.StdCall, CharSet = CharSet.Unicode, ExactSpelling = true)]
        public static extern int ZK_TraceToFileW([MarshalAs(UnmanagedType.LPWStr)] string path);
    }

    // The sessions. A connect's result comes back as one of these, which releases the session when
    // disposed, or by its finalizer when forgotten; an invalid one (IsInvalid) stands for NULL.
    public abstract class MailSessionHandle : SafeHandleZeroOrMinusOneIsInvalid
    {
        protected MailSessionHandle() : base(true) { }
    }

    public sealed class FtpSessionHandle : SafeHandleZeroOrMinusOneIsInvalid
    {
        public FtpSessionHandle() : base(true) { }

        protected override bool ReleaseHandle()
        {
            NativeMethods.ZK_FtpDisconnect(handle);
            return true;
        }
    }

    public sealed class SmtpSessionHandle : MailSessionHandle
    {
        public SmtpSessionHandle() { }

        protected override bool ReleaseHandle()
        {
            NativeMethods.ZK_MailDisconnectSmtp(handle);
            return true;
        }
    }

    public sealed class Pop3SessionHandle : MailSessionHandle
    {
        public Pop3SessionHandle() { }

        protected override bool ReleaseHandle()
        {
            NativeMethods.ZK_MailDisconnectPop3(handle);
            return true;
        }
    }

    public sealed class TelnetSessionHandle : SafeHandleZeroOrMinusOneIsInvalid
    {
        public TelnetSessionHandle() : base(true) { }

        protected override bool ReleaseHandle()
        {
            NativeMethods.ZK_TelnetDisconnect(handle);
            return true;
        }
    }

    // A failed call: the family's last error code (ZK_FTP_..., ZK_MAIL_...) and the server's last reply.
    public class ZknetException : Exception
    {
        private readonly int code;
        private readonly string reply;

        public ZknetException(string operation, int code, string reply)
            : base(operation + " failed: code " + code + (string.IsNullOrEmpty(reply) ? "" : ", reply \"" + reply + "\""))
        {
            this.code = code;
            this.reply = reply ?? "";
        }

        public int Code { get { return code; } }
        public string Reply { get { return reply; } }
    }

    // A transfer's progress: Done bytes of Total (-1 when unknown). Set Cancel to stop it; the call
    // then throws a ZknetException with code 33 and the session stays usable.
    public class ZknetProgressEventArgs : EventArgs
    {
        public long Done { get; internal set; }
        public long Total { get; internal set; }
        public bool Cancel { get; set; }
    }

    // Starts the socket service once, before the friendly layer's first connect; it stays started
    // for the life of the process.
    internal static class SocketService
    {
        private static readonly int started = NativeMethods.ZK_SocketInit();

        internal static void Start()
        {
            if (started != 0)
                throw new ZknetException("starting the socket service", started, "");
        }
    }

    internal static class Texts
    {
        // The UTF-16 items of a W list (MStringList, TelnetLineList).
        internal static string[] Items(int count, IntPtr items)
        {
            string[] result = new string[count];
            for (int i = 0; i < count; i++)
                result[i] = Marshal.PtrToStringUni(Marshal.ReadIntPtr(items, i * IntPtr.Size)) ?? "";
            return result;
        }
    }

    // Hands the library's progress calls to an event handler; the session's object keeps it (and so
    // the delegate the library holds) alive.
    internal sealed class ProgressRelay
    {
        private readonly object sender;
        private readonly EventHandler<ZknetProgressEventArgs> handler;
        internal readonly ZkProgressProc Proc;

        internal ProgressRelay(object sender, EventHandler<ZknetProgressEventArgs> handler)
        {
            this.sender = sender;
            this.handler = handler;
            Proc = Call;
        }

        private int Call(long done, long total, IntPtr user)
        {
            ZknetProgressEventArgs e = new ZknetProgressEventArgs();
            e.Done = done;
            e.Total = total;
            try
            {
                handler(sender, e);
            }
            catch (Exception)
            {
                // An exception must not cross the native frames: it cancels the transfer instead.
                return 1;
            }
            return e.Cancel ? 1 : 0;
        }
    }

    // An FTP session (passive or active data connections). Every failure throws ZknetException.
    public sealed class FtpClient : IDisposable
    {
        private readonly FtpSessionHandle session;
        private ProgressRelay relay;
        private EventHandler<ZknetProgressEventArgs> progress;

        private FtpClient(FtpSessionHandle session)
        {
            this.session = session;
        }

        public FtpSessionHandle Handle { get { return session; } }

        public static FtpClient Connect(string host, string user, string password, int port = 21, bool passive = true,
                                        ushort family = NativeMethods.ZK_AF_INET)
        {
            SocketService.Start();
            NativeMethods.ZK_FtpClearLastErrorCode();
            FtpSessionHandle h = NativeMethods.ZK_FtpConnectW(host, user, password, passive ? 1u : 0u, port, family);
            if (h.IsInvalid)
            {
                h.Dispose();
                throw Failure("connect to " + host);
            }
            return new FtpClient(h);
        }

        // Reports of the transfers and listings, about ten a second.
        public event EventHandler<ZknetProgressEventArgs> Progress
        {
            add
            {
                progress += value;
                SetRelay();
            }
            remove
            {
                progress -= value;
                SetRelay();
            }
        }

        private void SetRelay()
        {
            relay = progress == null ? null : new ProgressRelay(this, progress);
            NativeMethods.ZK_FtpSetProgressCallback(session, relay == null ? null : relay.Proc, IntPtr.Zero);
        }

        public void Get(string remoteName, string localPath, bool binary = true)
        {
            Check(NativeMethods.ZK_FtpGetFileW(session, remoteName, localPath, binary ? 1u : 0u), "get " + remoteName);
        }

        public void Put(string localPath, string remoteName, bool binary = true)
        {
            Check(NativeMethods.ZK_FtpPutFileW(session, localPath, remoteName, binary ? 1u : 0u), "put " + remoteName);
        }

        // The lines of a listing command: "NLST" gives names, "LIST" the server's long lines.
        public string[] List(string command = "NLST")
        {
            NativeMethods.MStringList list = new NativeMethods.MStringList();
            try
            {
                Check(NativeMethods.ZK_FtpListFileW(session, ref list, command), command);
                return Texts.Items(list.count, list.items);
            }
            finally
            {
                NativeMethods.ZK_SocketDeleteMStringW(ref list);
            }
        }

        public void Delete(string name)
        {
            Check(NativeMethods.ZK_FtpDeleteFileW(session, name), "delete " + name);
        }

        public void Rename(string oldName, string newName)
        {
            Check(NativeMethods.ZK_FtpRenameFileW(session, oldName, newName), "rename " + oldName);
        }

        public long Size(string name)
        {
            long size = NativeMethods.ZK_FtpGetFileSize64W(session, name);
            if (size < 0)
                throw Failure("size of " + name);
            return size;
        }

        public string Pwd()
        {
            StringBuilder name = new StringBuilder(1024);
            Check(NativeMethods.ZK_FtpGetDirectoryW(session, name, name.Capacity, "PWD"), "PWD");
            return name.ToString();
        }

        public void Cd(string directory)
        {
            Check(NativeMethods.ZK_FtpSetDirectoryW(session, directory), "cd " + directory);
        }

        public void MakeDirectory(string directory)
        {
            Check(NativeMethods.ZK_FtpCreateDirectoryW(session, directory), "mkdir " + directory);
        }

        public void RemoveDirectory(string directory)
        {
            Check(NativeMethods.ZK_FtpDeleteDirectoryW(session, directory), "rmdir " + directory);
        }

        // Sends QUIT and releases the session.
        public void Dispose()
        {
            session.Dispose();
        }

        private void Check(int result, string operation)
        {
            if (result == 0)
                throw Failure(operation);
        }

        private static ZknetException Failure(string operation)
        {
            StringBuilder reply = new StringBuilder(1024);
            NativeMethods.ZK_FtpQueryLastResponseMessageW(reply, reply.Capacity);
            return new ZknetException(operation, (int)NativeMethods.ZK_FtpQueryLastErrorCode(), reply.ToString());
        }
    }

    internal static class MailFailures
    {
        internal static ZknetException Of(string operation)
        {
            StringBuilder reply = new StringBuilder(NativeMethods.ZK_MAIL_RESPONSE_SIZE);
            NativeMethods.ZK_MailQueryLastResponseMessageW(reply, reply.Capacity);
            return new ZknetException(operation, (int)NativeMethods.ZK_MailQueryLastErrorCode(), reply.ToString());
        }
    }

    // An SMTP session: each Send is one message (HELO, MAIL FROM, RCPT TO for each address, DATA).
    public sealed class MailSender : IDisposable
    {
        private readonly SmtpSessionHandle session;
        private string helo = "localhost";

        private MailSender(SmtpSessionHandle session)
        {
            this.session = session;
        }

        public SmtpSessionHandle Handle { get { return session; } }

        // The name the HELO of each message gives.
        public string Helo { get { return helo; } set { helo = value; } }

        public static MailSender Connect(string host, int port = 25, ushort family = NativeMethods.ZK_AF_INET)
        {
            SocketService.Start();
            NativeMethods.ZK_MailClearLastErrorCode();
            SmtpSessionHandle h = NativeMethods.ZK_MailConnectSmtpW(host, port, family);
            if (h.IsInvalid)
            {
                h.Dispose();
                throw MailFailures.Of("connect to " + host);
            }
            return new MailSender(h);
        }

        // Messages go out as UTF-8 (the body in Base64) rather than ISO-2022-JP.
        public void UseUtf8()
        {
            NativeMethods.ZK_MailSetContentTypeW(session, "text/plain", "UTF-8", null, null);
        }

        // to: addresses separated by commas, "Name <address>" or a bare address. width: the
        // columns the body is folded to, -1 for none.
        public void Send(string from, string to, string subject, string body, int width = -1)
        {
            NativeMethods.ZK_MailClearLastErrorCode();
            if (NativeMethods.ZK_MailSendW(session, helo, from, to, subject, body, width) == 0)
                throw MailFailures.Of("send to " + to);
        }

        public void Dispose()
        {
            session.Dispose();
        }
    }

    // One message of a POP3 mailbox; From and Subject are empty unless List fetched the headers.
    public sealed class Pop3Entry
    {
        public int Number { get; internal set; }
        public int Size { get; internal set; }
        public string From { get; internal set; }
        public string Subject { get; internal set; }
    }

    // A POP3 session; deletions take effect when it is disposed (QUIT).
    public sealed class Pop3Client : IDisposable
    {
        private readonly Pop3SessionHandle session;

        private Pop3Client(Pop3SessionHandle session)
        {
            this.session = session;
        }

        public Pop3SessionHandle Handle { get { return session; } }

        public static Pop3Client Connect(string host, string user, string password, int port = 110,
                                         ushort family = NativeMethods.ZK_AF_INET)
        {
            SocketService.Start();
            NativeMethods.ZK_MailClearLastErrorCode();
            Pop3SessionHandle h = NativeMethods.ZK_MailConnectPop3W(host, user, password, port, family);
            if (h.IsInvalid)
            {
                h.Dispose();
                throw MailFailures.Of("connect to " + host);
            }
            return new Pop3Client(h);
        }

        // The mailbox; with headers, every message is retrieved for its From and Subject.
        public Pop3Entry[] List(bool headers = true)
        {
            NativeMethods.MailList list = new NativeMethods.MailList();
            try
            {
                NativeMethods.ZK_MailClearLastErrorCode();
                if (NativeMethods.ZK_MailBoxW(session, ref list, headers ? 1 : 0) == 0)
                    throw MailFailures.Of("LIST");
                Pop3Entry[] entries = new Pop3Entry[list.count];
                int size = Marshal.SizeOf(typeof(NativeMethods.MailListEntryW));
                for (int i = 0; i < list.count; i++)
                {
                    NativeMethods.MailListEntryW e = (NativeMethods.MailListEntryW)Marshal.PtrToStructure(
                        new IntPtr(list.entries.ToInt64() + (long)i * size), typeof(NativeMethods.MailListEntryW));
                    Pop3Entry entry = new Pop3Entry();
                    entry.Number = e.number;
                    entry.Size = e.size;
                    entry.From = e.from ?? "";
                    entry.Subject = e.subject ?? "";
                    entries[i] = entry;
                }
                return entries;
            }
            finally
            {
                NativeMethods.ZK_MailListFreeW(ref list);
            }
        }

        // The message as it arrived: its bytes, CR LF lines.
        public byte[] RetrieveBytes(int number)
        {
            NativeMethods.ZK_MailClearLastErrorCode();
            IntPtr text = NativeMethods.ZK_MailRecv(session, number);
            if (text == IntPtr.Zero)
                throw MailFailures.Of("RETR " + number);
            try
            {
                int n = 0;
                while (Marshal.ReadByte(text, n) != 0)
                    n++;
                byte[] bytes = new byte[n];
                Marshal.Copy(text, bytes, 0, n);
                return bytes;
            }
            finally
            {
                NativeMethods.ZK_MailRecvFree(text);
            }
        }

        // The message as text: mail is 7-bit ASCII as sent (ISO-2022-JP, encoded words, Base64),
        // read here as UTF-8 so 8-bit UTF-8 mail reads right too.
        public string Retrieve(int number)
        {
            return Encoding.UTF8.GetString(RetrieveBytes(number));
        }

        // Marks the message for deletion; the server deletes it at the end of the session.
        public void Delete(int number)
        {
            NativeMethods.ZK_MailClearLastErrorCode();
            if (NativeMethods.ZK_MailDelete(session, number) == 0)
                throw MailFailures.Of("DELE " + number);
        }

        public void Dispose()
        {
            session.Dispose();
        }
    }
}
