// main.cpp -- zknet, the command-line tool over the zknet library: one subcommand per family,
// each in a file of its own (ftp.cpp, telnet.cpp, nic.cpp, mail.cpp), and the demonstration
// (demo.cpp).
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#  include <windows.h>
#  include <shellapi.h>
#endif

#include "cli.h"
#include "interrupt.h"
#include "local_text.h"
#include "zknet/zknet.h"

namespace {

struct Family {
    const char *name;
    int (*run)(int, char **);
    const char *what;
};

const Family kFamilies[] = {
    {"ftp", RunFtp, "files on an FTP server: ls, get, put, rm, mkdir, rmdir, mv, size, date, chmod"},
    {"telnet", RunTelnet, "log in to a Telnet host and run commands"},
    {"nic", RunNic, "this computer's adapters and MAC addresses, ARP, Wake-on-LAN"},
    {"mail", RunMail, "send over SMTP, receive over POP3, show stored messages"},
    {"demo", RunDemo, "every family at work against the demonstration's servers (bash tools/demo.sh)"},
};

void Usage(FILE *out) {
    std::fprintf(out, "usage: zknet [-v] FAMILY ACTION ... [OPTIONS]   (zknet FAMILY --help tells more)\n\nfamilies:\n");
    for (const Family &f : kFamilies) std::fprintf(out, "  %-7s %s\n", f.name, f.what);
    std::fprintf(out,
                 "\n  -v, --verbose  the protocol exchange on standard error (passwords masked)\n"
                 "  --version  the library's version\n  --help     this text\n\n"
                 "examples:\n"
                 "  ZKNET_FTP_USER=me ZKNET_FTP_PASSWORD=secret zknet ftp get ftp.example.com:2121 docs/a.pdf\n"
                 "  zknet telnet router.local --login admin --password-env ROUTER_PASS --prompt '# ' --run 'show ip'\n"
                 "  zknet nic wake 00:11:22:33:44:55 --broadcast 192.168.1.255\n");
}

int Run(int argc, char **argv) {
    // -v before the family: the protocol trace of every connection on standard error.
    if (argc > 1 && (std::strcmp(argv[1], "-v") == 0 || std::strcmp(argv[1], "--verbose") == 0)) {
        ZK_TraceToFileA("-");
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
    if (argc < 2) {
        Usage(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "help") == 0) {
        Usage(stdout);
        return kExitOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("zknet %s\n", ZKNET_VERSION);
        return kExitOk;
    }
    for (const Family &f : kFamilies) {
        if (std::strcmp(argv[1], f.name) != 0) continue;
        if (ZK_SocketInit() != 0) return Failure(f.name, "the socket service did not start");
        int rc = f.run(argc - 1, argv + 1);
        std::fflush(stdout);
        ReportReplacements();
        ZK_SocketTerm();
        if (rc == kExitCancelled) {
            std::fflush(stderr);
            EndAsInterrupted();
        }
        return rc;
    }
    return UsageError("", std::string("unknown family ") + argv[1]);
}

}  // namespace

int main(int argc, char **argv) {
    InstallInterruptHandler();
#if defined(_WIN32)
    // The command line as typed, in UTF-16: the ANSI argv would have lost what the code page lacks.
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        std::vector<std::string> texts;
        for (int i = 0; i < count; ++i) texts.push_back(WideToUtf8(wide[i]));
        LocalFree(wide);
        std::vector<char *> pointers;
        for (std::string &t : texts) pointers.push_back(&t[0]);
        pointers.push_back(nullptr);
        return Run(count, pointers.data());
    }
#endif
    return Run(argc, argv);
}
