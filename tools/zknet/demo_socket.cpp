// demo_socket.cpp -- the socket family: an echo peer on loopback over IPv4 and IPv6, the host
// queries, a broadcast (only inside the private network) and a line list.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "demo.h"
#include "zknet/zknet.h"

namespace {

// Answers one line with the same line in upper case, then closes.
void EchoOnce(SocketHandle *listener) {
    SocketHandle *peer = ZK_SocketAccept(listener);
    if (peer == nullptr) return;
    char line[256];
    int n = ZK_SocketRecvStringLine(peer, line, sizeof(line), 5000);
    if (n > 0) {
        for (int i = 0; i < n; ++i) {
            if (line[i] >= 'a' && line[i] <= 'z') line[i] = static_cast<char>(line[i] - 32);
        }
        std::strcat(line, "\r\n");
        ZK_SocketSendString(peer, line);
    }
    ZK_SocketClose(peer);
}

bool EchoRoundTrip(uint16_t family, const char *host, int port) {
    SocketHandle *listener = ZK_SocketOpenServer(ZK_SOCK_STREAM, port, family);
    if (listener == nullptr) {
        std::printf("  cannot listen on port %d (error %d)\n", port, ZK_SocketGetLastError());
        return false;
    }
    std::thread peer(EchoOnce, listener);
    bool ok = false;
    SocketHandle *client = ZK_SocketOpenClientA(ZK_SOCK_STREAM, host, port, family);
    if (client != nullptr) {
        ZK_SocketSendString(client, "hello from zknet\r\n");
        char reply[256];
        int n = ZK_SocketRecvStringLine(client, reply, sizeof(reply), 5000);
        std::printf("  %s [%s]:%d  sent \"hello from zknet\", got \"%s\" (%d bytes)\n",
                    family == ZK_AF_INET6 ? "IPv6" : "IPv4", host, port, n >= 0 ? reply : "", n);
        ok = n > 0;
        ZK_SocketClose(client);
    } else {
        std::printf("  cannot connect to %s port %d (error %d)\n", host, port, ZK_SocketGetLastError());
        // Unblock the peer's accept so that it can end.
        SocketHandle *nudge = ZK_SocketOpenClientA(ZK_SOCK_STREAM, family == ZK_AF_INET6 ? "::1" : "127.0.0.1", port, family);
        if (nudge) ZK_SocketClose(nudge);
    }
    peer.join();
    ZK_SocketClose(listener);
    return ok;
}

void ShowHost() {
    char name[260], address[64];
    if (ZK_SocketGetHostNameA(name, sizeof(name), address, sizeof(address)))
        std::printf("  this computer: %s, %s\n", name, address);
    address[0] = '\0';  // left as it was when the name has no IPv6 address
    if (ZK_SocketGetHostNameExA(ZK_AF_INET6, name, sizeof(name), address, sizeof(address)) && address[0])
        std::printf("  this computer over IPv6: %s\n", address);
    char alias[128];
    if (ZK_SocketGetAddressInfoA("127.0.0.1", address, sizeof(address), name, sizeof(name), alias, sizeof(alias)))
        std::printf("  127.0.0.1 is called %s\n", name);
}

bool Broadcast() {
    const char *inside = std::getenv("ZK_PRIVATE_NET");
    if (inside == nullptr || std::strcmp(inside, "1") != 0) {
        std::printf("  broadcast skipped: it is sent only inside the private network of tools/demo.sh\n");
        return true;
    }
    const int port = 9009;
    SocketHandle *receiver = ZK_SocketOpenServer(ZK_SOCK_DGRAM, port, ZK_AF_INET);
    SocketHandle *sender = ZK_SocketOpenClientA(ZK_SOCK_DGRAM, nullptr, 0, ZK_AF_INET);
    bool ok = false;
    if (receiver && sender) {
        int sent = ZK_SocketSendBroadcastA(sender, "255.255.255.255", port, "who is there?", 13);
        char buffer[64];
        int got = ZK_SocketRecv(receiver, buffer, sizeof(buffer), 2000, nullptr, 1);
        std::printf("  broadcast to 255.255.255.255:%d: sent %d bytes, received %d: \"%.*s\"\n", port, sent, got,
                    got > 0 ? got : 0, buffer);
        ok = sent == 13 && got == 13;
    }
    if (receiver) ZK_SocketClose(receiver);
    if (sender) ZK_SocketClose(sender);
    return ok;
}

bool Lines() {
    MStringList list;
    if (!ZK_SocketEditMStringA("drwxr-xr-x 2 ftp ftp 4096 pub\r\n-rw-r--r-- 1 ftp ftp 12 readme.txt\r\n", &list))
        return false;
    std::printf("  a two-line listing splits into %d items:\n", list.count);
    for (int i = 0; i < list.count; ++i) std::printf("    [%d] %s\n", i, static_cast<char *>(list.items[i]));
    ZK_SocketDeleteMStringA(&list);
    return true;
}

}  // namespace

int DemoSocket(int argc, char **argv) {
    int port = argc > 0 ? std::atoi(argv[0]) : 7007;
    bool ok = EchoRoundTrip(ZK_AF_INET, "127.0.0.1", port);
    ok = EchoRoundTrip(ZK_AF_INET6, "::1", port) && ok;
    ShowHost();
    ok = Broadcast() && ok;
    ok = Lines() && ok;
    return ok ? 0 : 1;
}
