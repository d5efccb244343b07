// mail_bench.cpp -- the zknet side of the mail rows of bench/side-by-side.sh: one session, timed
// from the connect to the end of the session (login included) and printed in nanoseconds, as
// bench/mail_peer.py times Python's smtplib and poplib, so that neither pays for starting its
// program. Exit status 0 only when every step succeeded.
// Usage: zk_bench_mail send HOST PORT FROM TO COUNT     COUNT small messages on one SMTP session
//        zk_bench_mail box  HOST PORT USER PASSWORD     the listing with every message's header
//        zk_bench_mail recv HOST PORT USER PASSWORD COUNT   messages 1..COUNT retrieved
//        zk_bench_mail sends HOST PORT FROM TO COUNT CA USER PASSWORD   send with STARTTLS and AUTH
//        zk_bench_mail recvs HOST PORT USER PASSWORD COUNT CA           recv over POP3S
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "zknet/zknet.h"

namespace {

int Failed(const char *what) {
    char reply[ZK_MAIL_RESPONSE_SIZE];
    ZK_MailQueryLastResponseMessageA(reply, sizeof(reply));
    std::fprintf(stderr, "%s failed: code %u, %s\n", what, ZK_MailQueryLastErrorCode(), reply);
    return 1;
}

int Send(int argc, char **argv) {
    MailHandle *h = argc == 10 ? ZK_MailConnectSmtpSecureA(argv[2], std::atoi(argv[3]), ZK_AF_INET, ZK_SECURE_EXPLICIT,
                                                           argv[7], "zknet-test", argv[8], argv[9])
                               : ZK_MailConnectSmtpA(argv[2], std::atoi(argv[3]), ZK_AF_INET);
    if (h == nullptr) return Failed("connect");
    const int count = std::atoi(argv[6]);
    int rc = 0;
    for (int i = 0; i < count && rc == 0; ++i) {
        std::string subject = "Benchmark message " + std::to_string(i);
        const char *body = "\nA short message of a few lines,\nas most mail is.\n\nzknet\n";
        if (ZK_MailSendA(h, "zknet-test", argv[4], argv[5], subject.c_str(), body, -1) != 1) rc = Failed("send");
    }
    ZK_MailDisconnectSmtp(h);
    return rc;
}

MailHandle *Login(int argc, char **argv) {
    uint32_t security = argc == 8 ? ZK_SECURE_IMPLICIT : ZK_SECURE_NONE;
    return ZK_MailConnectPop3SecureA(argv[2], argv[4], argv[5], std::atoi(argv[3]), ZK_AF_INET, security,
                                     argc == 8 ? argv[7] : nullptr);
}

int Box(int argc, char **argv) {
    MailHandle *h = Login(argc, argv);
    if (h == nullptr) return Failed("login");
    MailList list{0, nullptr};
    int rc = ZK_MailBoxA(h, &list, 1) == 1 && list.count > 0 ? 0 : Failed("listing");
    ZK_MailListFreeA(&list);
    ZK_MailDisconnectPop3(h);
    return rc;
}

int Recv(int argc, char **argv) {
    MailHandle *h = Login(argc, argv);
    if (h == nullptr) return Failed("login");
    const int count = std::atoi(argv[6]);
    int rc = 0;
    for (int i = 1; i <= count && rc == 0; ++i) {
        char *message = ZK_MailRecv(h, i);
        if (message == nullptr) rc = Failed("retrieval");
        ZK_MailRecvFree(message);
    }
    ZK_MailDisconnectPop3(h);
    return rc;
}

}  // namespace

int main(int argc, char **argv) {
    const char *what = argc > 1 ? argv[1] : "";
    const bool ok = (argc == 7 && (std::strcmp(what, "send") == 0 || std::strcmp(what, "recv") == 0)) ||
                    (argc == 6 && std::strcmp(what, "box") == 0) || (argc == 10 && std::strcmp(what, "sends") == 0) ||
                    (argc == 8 && std::strcmp(what, "recvs") == 0);
    if (!ok) {
        std::fprintf(stderr, "usage: %s send HOST PORT FROM TO COUNT | box HOST PORT USER PASSWORD |"
                             " recv HOST PORT USER PASSWORD COUNT | sends HOST PORT FROM TO COUNT CA USER PASSWORD |"
                             " recvs HOST PORT USER PASSWORD COUNT CA\n", argv[0]);
        return 2;
    }
    if (ZK_SocketInit() != 0) return 1;
    auto start = std::chrono::steady_clock::now();
    int rc = what[0] == 's' ? Send(argc, argv) : std::strcmp(what, "box") == 0 ? Box(argc, argv) : Recv(argc, argv);
    auto spent = std::chrono::steady_clock::now() - start;
    ZK_SocketTerm();
    std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(spent).count()));
    return rc;
}
