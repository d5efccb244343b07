// demo_telnet.cpp -- the ZK_Telnet family in the demonstration program: log in to a Telnet host
// and run a command, showing each burst of output as the lines the library makes of it.
// Usage: zknet demo telnet [host [port [user [password [command [prompt]]]]]]
//        defaults: zknet-test 2323 zkuser zkpass "lines 3" "zk$" (the host of tests/telnet)
#include <cstdio>
#include <cstdlib>

#include "demo.h"
#include "zknet/zknet.h"

namespace {

void ShowLines(const char *what, const TelnetLineList &list) {
    std::printf("  %s: %d line(s)\n", what, static_cast<int>(list.count));
    for (int32_t i = 0; i < list.count; ++i) std::printf("    | %s\n", static_cast<const char *>(list.items[i]));
}

// The last response as the library keeps it, its line-break arrows (0x81 0xAB) shown as "\u2193".
void ShowLastResponse() {
    char response[ZK_TELNET_RESPONSE_SIZE];
    if (ZK_TelnetQueryLastResponseMessageA(response, sizeof(response)) < 0) return;
    std::printf("  last response: \"");
    for (const char *c = response; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(c[0]) == 0x81 && static_cast<unsigned char>(c[1]) == 0xAB) {
            std::printf("\u2193");
            ++c;
        } else {
            std::putchar(*c);
        }
    }
    std::printf("\"\n");
}

int Failed(const char *step) {
    std::printf("  %s failed: code %d\n", step, static_cast<int>(ZK_TelnetQueryLastErrorCode()));
    ShowLastResponse();
    return 1;
}

}  // namespace

int DemoTelnet(int argc, char **argv) {
    const char *host = argc > 0 ? argv[0] : "zknet-test";
    const int32_t port = argc > 1 ? std::atoi(argv[1]) : 2323;
    const char *user = argc > 2 ? argv[2] : "zkuser";
    const char *password = argc > 3 ? argv[3] : "zkpass";
    const char *command = argc > 4 ? argv[4] : "lines 3";
    const char *prompt = argc > 5 ? argv[5] : "zk$";

    std::printf("connecting to %s port %d (option negotiation, terminal type tv100)\n", host, static_cast<int>(port));
    TelnetLineList list{0, nullptr};
    TelnetHandle *session = ZK_TelnetConnectA(host, &list, port, ZK_AF_INET);
    if (session == nullptr) return Failed("connect");
    ShowLines("host's first text", list);
    ZK_TelnetDelListA(&list);

    std::printf("logging in as %s, waiting for the prompt \"%s\"\n", user, prompt);
    int32_t logged_in = ZK_TelnetLoginA(session, user, password, &list, prompt);
    ShowLines("after the password", list);
    ZK_TelnetDelListA(&list);
    if (!logged_in) {
        Failed("login");
        ZK_TelnetDisconnect(session);
        return 1;
    }

    std::printf("running \"%s\"\n", command);
    int rc = 0;
    if (!ZK_TelnetCommandSendA(session, command) || !ZK_TelnetCommandRecvA(session, &list)) {
        rc = Failed("command");
    } else {
        ShowLines("output", list);
        std::printf("  prompt seen again: %s\n", ZK_TelnetSearchStringA(&list, prompt) ? "yes" : "no");
        ShowLastResponse();
    }
    ZK_TelnetDelListA(&list);
    ZK_TelnetDisconnect(session);
    std::printf("disconnected\n");
    return rc;
}
