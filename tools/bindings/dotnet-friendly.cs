// dotnet-friendly.cs -- the friendly layer of bindings/dotnet/Zknet.cs, appended by tools/bindings/dotnet.py.
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
