// ftp_bench.cpp -- the zknet side of the FTP rows of bench/side-by-side.sh: one session, COUNT
// transfers of the same kind, exit status 0 only when every one succeeded. The script times the
// whole run, login included, as it times curl's.
// Usage: zk_bench_ftp HOST PORT USER PASSWORD PASSIVE get|put REMOTE LOCAL COUNT [CA_FILE]
//   COUNT > 1 names the files REMOTE.N and LOCAL.N (N from 0). With CA_FILE, FTPS (AUTH TLS),
//   trusting that CA.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "zknet/zknet.h"

int main(int argc, char **argv) {
    if (argc != 10 && argc != 11) {
        std::fprintf(stderr, "usage: %s HOST PORT USER PASSWORD PASSIVE get|put REMOTE LOCAL COUNT [CA_FILE]\n", argv[0]);
        return 2;
    }
    const std::string op = argv[6];
    const int count = std::atoi(argv[9]);
    if (ZK_SocketInit() != 0) return 1;
    const char *ca_file = argc == 11 ? argv[10] : nullptr;
    FtpSession *session =
        ZK_FtpConnectSecureA(argv[1], argv[3], argv[4], static_cast<uint32_t>(std::atoi(argv[5])), std::atoi(argv[2]),
                             ZK_AF_INET, ca_file != nullptr ? ZK_SECURE_EXPLICIT : ZK_SECURE_NONE, ca_file);
    if (session == nullptr) {
        std::fprintf(stderr, "connect failed: code %u\n", ZK_FtpQueryLastErrorCode());
        return 1;
    }
    int failed = 0;
    for (int i = 0; i < count && failed == 0; ++i) {
        std::string remote = argv[7];
        std::string local = argv[8];
        if (count > 1) {
            remote += "." + std::to_string(i);
            local += "." + std::to_string(i);
        }
        int ok = op == "get" ? ZK_FtpGetFileA(session, remote.c_str(), local.c_str(), 1)
                             : ZK_FtpPutFileA(session, local.c_str(), remote.c_str(), 1);
        if (ok != 1) {
            char reply[1024];
            ZK_FtpQueryLastResponseMessageA(reply, sizeof(reply));
            std::fprintf(stderr, "%s %s failed: code %u, %s\n", op.c_str(), remote.c_str(), ZK_FtpQueryLastErrorCode(),
                         reply);
            failed = 1;
        }
    }
    ZK_FtpDisconnect(session);
    ZK_SocketTerm();
    return failed;
}
