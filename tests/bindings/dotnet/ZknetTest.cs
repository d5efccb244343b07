// ZknetTest.cs -- runs bindings/dotnet/Zknet.cs against libzknet.so and the test servers: vsftpd
// (127.0.0.1:2121), Postfix (2525) delivering to zkmail, dovecot's POP3 (2110) serving that mailbox.
using System;
using System.IO;
using System.Linq;
using System.Runtime.InteropServices;
using System.Threading;
using Zknet;

static class ZknetTest
{
    static int failures;

    static void Expect(bool ok, string what)
    {
        Console.WriteLine((ok ? "ok   " : "FAIL ") + what);
        if (!ok)
            failures++;
    }

    static T Throws<T>(Action action) where T : Exception
    {
        try
        {
            action();
        }
        catch (T e)
        {
            return e;
        }
        return null;
    }

    // The action throws the library's error code with a reply that starts as given.
    static void ExpectError(Action action, int code, string reply, string what)
    {
        ZknetException e = Throws<ZknetException>(action);
        Expect(e != null && e.Code == code && e.Reply.StartsWith(reply),
               what + ": " + (e == null ? "none" : e.Message));
    }

    static void Ftp(string work)
    {
        // A Japanese name checks that the UTF-16 texts cross as two-byte units both ways.
        string name = "日本語-dotnet.txt";
        string local = Path.Combine(work, "upload.txt");
        string back = Path.Combine(work, "download.txt");
        byte[] data = new byte[300000];
        new Random(7).NextBytes(data);
        File.WriteAllBytes(local, data);

        FtpClient ftp = FtpClient.Connect("127.0.0.1", "zkftp", "zkftp-pass", 2121, true);
        using (ftp)
        {
            // A folder of its own: the FTP tests running beside this one list theirs.
            ftp.MakeDirectory("dotnet-run");
            ftp.Cd("dotnet-run");
            long reports = 0;
            ftp.Progress += (sender, report) => { reports++; };
            ftp.Put(local, name);
            Expect(ftp.List("NLST").Contains(name), "the listing names " + name);
            Expect(ftp.Size(name) == data.Length, "SIZE gives the uploaded length");
            ftp.Get(name, back);
            Expect(File.ReadAllBytes(back).SequenceEqual(data), "the download equals the upload");
            Expect(reports >= 2, "the put and the get each report at least their end: " + reports);
            // A handler's Cancel stops a transfer at its first report: 1 GiB (sparse) never goes whole.
            string big = Path.Combine(Path.GetTempPath(), "zknet-dotnet-big-" + Guid.NewGuid().ToString("N"));
            using (FileStream f = File.Create(big)) f.SetLength(1L << 30);
            ftp.Progress += (sender, report) => { report.Cancel = true; };
            ExpectError(delegate { ftp.Put(big, "big.bin"); }, NativeMethods.ZK_FTP_CANCELLED, "",
                        "Cancel gives code 33");
            File.Delete(big);
            if (ftp.List("NLST").Contains("big.bin")) ftp.Delete("big.bin");
            ftp.Delete(name);
            ExpectError(delegate { ftp.Delete(name); }, NativeMethods.ZK_FTP_FILE_FAILED, "550",
                        "deleting a missing file throws code 11 with the 550 reply");
            ftp.Cd("..");
            ftp.RemoveDirectory("dotnet-run");
        }
        Expect(ftp.Handle.IsClosed, "disposing the client releases the session");
        Expect(Throws<ObjectDisposedException>(delegate { ftp.Pwd(); }) != null, "a disposed session is not used");

        ExpectError(delegate { FtpClient.Connect("127.0.0.1", "zkftp", "wrong", 2121).Dispose(); },
                    NativeMethods.ZK_FTP_LOGIN_REFUSED, "530", "a refused login throws code 6 with the server's 530");
    }

    static Pop3Entry Find(string subject, int seconds)
    {
        // Looks once, then once a second for as many seconds.
        for (int i = 0; ; i++)
        {
            using (Pop3Client pop = Pop3Client.Connect("127.0.0.1", "zkmail", "zkmail-pass", 2110))
            {
                Pop3Entry found = pop.List(true).FirstOrDefault(m => m.Subject == subject);
                if (found != null || i >= seconds)
                    return found;
            }
            Thread.Sleep(1000);
        }
    }

    static void Mail()
    {
        string token = Guid.NewGuid().ToString("N");
        string subject = "ドットネット " + token;
        using (MailSender smtp = MailSender.Connect("127.0.0.1", 2525))
        {
            smtp.Helo = "zknet-test";
            smtp.Send("Dot Net <zk-dotnet@zknet-test>", "zkmail@zknet-test", subject, "\r\n本文 " + token + "\r\n");
            ExpectError(delegate { smtp.Send("<zk-dotnet@zknet-test>", "zk-no-such-user@zknet-test", "x", "\r\nx"); },
                        NativeMethods.ZK_MAIL_RCPT_FAILED, "550",
                        "an unknown recipient throws code 10 with Postfix's reply");
        }

        Pop3Entry entry = Find(subject, 60);
        Expect(entry != null, "dovecot lists the message with its decoded subject");
        if (entry == null)
            return;
        Expect(entry.From.Contains("zk-dotnet@zknet-test") && entry.Size > 0, "its From and size: " + entry.From);
        using (Pop3Client pop = Pop3Client.Connect("127.0.0.1", "zkmail", "zkmail-pass", 2110))
        {
            string text = pop.Retrieve(entry.Number);
            Expect(text.Contains("Subject:") && text.Contains("\r\n"), "RETR gives the message");
            pop.Delete(entry.Number);
        }
        // The deletion takes effect at QUIT, which only the disposal sent.
        Expect(Find(subject, 0) == null, "disposing the POP3 client ended the session with QUIT");

        ExpectError(delegate { Pop3Client.Connect("127.0.0.1", "zkmail", "wrong", 2110).Dispose(); },
                    NativeMethods.ZK_MAIL_LOGIN_REFUSED, "-ERR", "a refused POP3 login throws code 6 with the reply");
    }

    // What the runtime's marshaller makes of the declarations, beside the checker's reading of them.
    static void Declarations()
    {
        bool bound = true;
        foreach (System.Reflection.MethodInfo m in typeof(NativeMethods).GetMethods())
        {
            if (!m.Name.StartsWith("ZK_"))
                continue;
            try
            {
                Marshal.Prelink(m);
            }
            catch (Exception e)
            {
                Console.WriteLine("     " + m.Name + ": " + e.Message);
                bound = false;
            }
        }
        Expect(bound, "every declaration binds to an export of the library");
        object[,] sizes = {
            { typeof(NativeMethods.MailListEntryA), 2696 }, { typeof(NativeMethods.MailListEntryW), 5384 },
            { typeof(NativeMethods.MacAddressList), 100 }, { typeof(NativeMethods.FtpFileDate), 12 },
            { typeof(NativeMethods.MStringList), 2 * IntPtr.Size },
        };
        for (int i = 0; i < sizes.GetLength(0); i++)
        {
            Type t = (Type)sizes[i, 0];
            Expect(Marshal.SizeOf(t) == (int)sizes[i, 1], t.Name + " marshals to " + sizes[i, 1] + " bytes");
        }
    }

    static int Main(string[] args)
    {
        Declarations();
        Ftp(args[0]);
        Mail();
        Console.WriteLine(failures == 0 ? "all passed" : failures + " failed");
        return failures == 0 ? 0 : 1;
    }
}
