// ftp_peer.cpp -- the scripted FTP server of the tests.
#include "ftp_peer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"


void StartFtpPeer(FtpPeer &peer, uint16_t family, FtpScript script) {
    peer.listener = ListenAnyPort(family);
    peer.link = FtpPeerLink();
    peer.link.family = family;
    peer.thread = std::thread([&peer, script] {
        peer.link.control = AcceptWithin(peer.listener.handle, 10000);
        if (peer.link.control != nullptr) script(peer.link);
        if (peer.link.control != nullptr) ZK_SocketClose(peer.link.control);
        peer.link.control = nullptr;
        if (peer.link.passive.handle != nullptr) ZK_SocketClose(peer.link.passive.handle);
        peer.link.passive.handle = nullptr;
    });
}

void FinishFtpPeer(FtpPeer &peer) {
    if (peer.thread.joinable()) peer.thread.join();
    if (peer.listener.handle != nullptr) ZK_SocketClose(peer.listener.handle);
    peer.listener.handle = nullptr;
}

void Login(FtpPeerLink &link) {
    Reply(link, "220 scripted peer ready");
    Expect(link);
    Reply(link, "331 password please");
    Expect(link);
    Reply(link, "230 logged in");
}

void Answer(FtpPeerLink &link, std::initializer_list<std::string> replies) {
    for (const std::string &reply : replies) {
        Expect(link);
        Reply(link, reply);
    }
}

void Quit(FtpPeerLink &link) {
    if (Expect(link, 3000) == "QUIT") Reply(link, "221 bye");
}

std::string OpenPassive(FtpPeerLink &link, const std::string &host, char delimiter) {
    link.passive = ListenAnyPort(link.family);
    int port = link.passive.port;
    char text[128];
    if (link.family == ZK_AF_INET6) {
        const char d = delimiter;
        std::snprintf(text, sizeof(text), "229 Entering Extended Passive Mode (%c%c%c%d%c).", d, d, d, port, d);
    } else {
        std::snprintf(text, sizeof(text), "227 Entering Passive Mode (%s,%d,%d).", host.c_str(), port / 256, port % 256);
    }
    return text;
}

SocketHandle *AcceptData(FtpPeerLink &link, uint32_t limit_ms) { return AcceptWithin(link.passive.handle, limit_ms); }

SocketHandle *ServePassive(FtpPeerLink &link, const std::string &start, const std::string &host, char delimiter) {
    if (link.passive.handle != nullptr) ZK_SocketClose(link.passive.handle);
    link.passive.handle = nullptr;
    Expect(link);
    Reply(link, OpenPassive(link, host, delimiter));
    SocketHandle *data = AcceptData(link);
    Expect(link);
    Reply(link, start);
    return data;
}

int AnnouncedPort(const std::string &command) {
    if (command.rfind("PORT ", 0) == 0) {
        int a, b, c, d, p1, p2;
        if (std::sscanf(command.c_str() + 5, "%d,%d,%d,%d,%d,%d", &a, &b, &c, &d, &p1, &p2) != 6) return -1;
        return p1 * 256 + p2;
    }
    if (command.rfind("EPRT ", 0) == 0) {
        size_t end = command.rfind('|');
        size_t start = end == std::string::npos || end == 0 ? std::string::npos : command.rfind('|', end - 1);
        if (start == std::string::npos) return -1;
        return std::atoi(command.substr(start + 1, end - start - 1).c_str());
    }
    return -1;
}

SocketHandle *ConnectActive(FtpPeerLink &link, const std::string &command) {
    int port = AnnouncedPort(command);
    if (port <= 0) return nullptr;
    return ZK_SocketOpenClientA(ZK_SOCK_STREAM, Loopback(link.family), port, link.family);
}

std::string DrainData(SocketHandle *data, uint32_t limit_ms) { return ReadUntilClose(data, limit_ms); }

FtpSession *ConnectToPeer(FtpPeer &peer, uint32_t passive) {
    uint16_t family = peer.link.family;
    return ZK_FtpConnectA(Loopback(family), "user", "secret", passive, peer.listener.port, family);
}

std::string LastReply() {
    char text[1024];
    ZK_FtpQueryLastResponseMessageA(text, sizeof(text));
    return text;
}

uint32_t Now() { return win::GetTickCount(); }
uint32_t Since(uint32_t start) { return win::GetTickCount() - start; }
void Pause(uint32_t ms) { win::Sleep(ms); }
