// demo.cpp -- `zknet demo`: the demonstration, each family at work against the local servers that
// tools/demo.sh starts in the private network. One part a family, each in a demo_*.cpp of its own.
#include <cstdio>
#include <cstring>

#include "cli.h"
#include "demo.h"

namespace {
struct Part {
    const char *name;
    int (*run)(int, char **);
    const char *arguments;
    const char *what;
};

const Part kParts[] = {
    {"socket", DemoSocket, "[port]",
     "TCP over IPv4 and IPv6 to a local echo peer, host queries, broadcast, line lists"},
    {"ftp", DemoFtp, "[host [port [user [password [4|6 [passive|active]]]]]]",
     "log in to an FTP server, list, download and upload"},
    {"ftps", DemoFtps, "[host [port [user [password [ca-file]]]]]",
     "the same over FTPS (AUTH TLS), trusting the CA file; then a refused certificate"},
    {"mail", DemoMail, "[host [port [4|6 [to [pop3-port [user [password]]]]]]]",
     "send a Japanese message through an SMTP server and a refused one, list the mailbox over POP3, read it back"},
    {"mails", DemoMails, "[host [submission-port [pop3s-port [user [password [ca-file]]]]]]",
     "send through the submission port (STARTTLS and a login), a wrong password, read it back over POP3S"},
    {"telnet", DemoTelnet, "[host [port [user [password [command [prompt]]]]]]",
     "log in to a Telnet host and run a command"},
    {"nic", DemoNic, "[arp A.B.C.D | wake MAC A.B.C.D]",
     "the adapters' count and MAC addresses, ARP, a magic packet"},
};

void Usage() {
    std::printf("usage: zknet demo [part [arguments]]   (bash tools/demo.sh starts the servers it meets)\n\nparts:\n");
    for (const Part &p : kParts) std::printf("  %-7s %s\n          %s\n", p.name, p.arguments, p.what);
    std::printf("\nWithout a part, every part runs with its defaults.\n");
}
}  // namespace

int RunDemo(int argc, char **argv) {
    // argv[0] is "demo"; a part and its arguments may follow.
    if (argc > 1 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        Usage();
        return kExitOk;
    }
    int failures = 0;
    bool found = argc <= 1;
    for (const Part &p : kParts) {
        if (argc > 1 && std::strcmp(argv[1], p.name) != 0) continue;
        found = true;
        std::printf("== %s ==\n", p.name);
        int rc = argc > 1 ? p.run(argc - 2, argv + 2) : p.run(0, argv + argc);
        if (rc != 0) ++failures;
        std::printf("== %s: %s ==\n\n", p.name, rc == 0 ? "ok" : "FAILED");
        if (argc > 1) break;
    }
    if (!found) return UsageError("demo", std::string("no part named ") + argv[1]);
    return failures == 0 ? kExitOk : kExitFailed;
}
