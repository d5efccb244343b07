// main.cpp -- zkdemo: shows each zknet family at work against local peers.
#include <cstdio>
#include <cstring>

#include "demo.h"
#include "zknet/zknet.h"

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
    {"mail", DemoMail, "[host [port [4|6 [to [pop3-port [user [password]]]]]]]",
     "send a Japanese message through an SMTP server and a refused one, list the mailbox over POP3, read it back"},
    {"telnet", DemoTelnet, "[host [port [user [password [command [prompt]]]]]]",
     "log in to a Telnet host and run a command"},
    {"nic", DemoNic, "[arp A.B.C.D | wake MAC A.B.C.D]",
     "the adapters' count and MAC addresses, ARP, a magic packet"},
};

void Usage() {
    std::printf("usage: zkdemo [part [arguments]]\n\nparts:\n");
    for (const Part &p : kParts) std::printf("  %-7s %s\n          %s\n", p.name, p.arguments, p.what);
    std::printf("\nWithout a part, every part runs with its defaults.\n");
}
}  // namespace

int main(int argc, char **argv) {
    if (argc > 1 && (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0)) {
        Usage();
        return 0;
    }
    if (ZK_SocketInit() != 0) {
        std::printf("ZK_SocketInit failed\n");
        return 1;
    }
    int failures = 0;
    for (const Part &p : kParts) {
        if (argc > 1 && std::strcmp(argv[1], p.name) != 0) continue;
        std::printf("== %s ==\n", p.name);
        int rc = argc > 1 ? p.run(argc - 2, argv + 2) : p.run(0, argv + argc);
        if (rc != 0) ++failures;
        std::printf("== %s: %s ==\n\n", p.name, rc == 0 ? "ok" : "FAILED");
        if (argc > 1) break;
    }
    ZK_SocketTerm();
    return failures == 0 ? 0 : 1;
}
