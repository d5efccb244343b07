// scripted_peer.cpp -- the thread-played Telnet host and the tests' small helpers.
#include "telnet/scripted_peer.h"

#include <chrono>

#include "platform/platform.h"

namespace {
constexpr uint32_t kCloseWaitMs = 5000;
constexpr uint32_t kStepMs = 100;

void RunPeer(ScriptedPeer *peer, PeerScript script) {
    SocketHandle *connection = ZK_SocketAccept(peer->listener.handle);
    peer->accepted = true;
    if (connection == nullptr) return;
    peer->link.connection = connection;
    script(peer->link);
    connection = peer->link.connection;  // a script may have closed it already
    if (connection == nullptr) return;
    DWORD start = win::GetTickCount();
    while (win::GetTickCount() - start < kCloseWaitMs) {
        char c;
        int n = ZK_SocketRecvOne(connection, &c, kStepMs);
        if (n == 1) {
            peer->link.received.push_back(c);
        } else if (n == 0 || ZK_SocketGetLastError() != 10060) {
            peer->client_closed = n == 0;
            break;
        }
    }
    ZK_SocketClose(connection);
    peer->link.connection = nullptr;
}
}  // namespace

void StartPeer(ScriptedPeer &peer, uint16_t family, PeerScript script) {
    peer.family = family;
    peer.listener = ListenAnyPort(family);
    peer.thread = std::thread(RunPeer, &peer, std::move(script));
}

void FinishPeer(ScriptedPeer &peer) {
    if (!peer.accepted && peer.listener.handle != nullptr) {
        // The client never came: a connection of our own releases the waiting accept.
        SocketHandle *nudge = ZK_SocketOpenClientA(ZK_SOCK_STREAM, Loopback(peer.family), peer.listener.port, peer.family);
        if (nudge != nullptr) ZK_SocketClose(nudge);
    }
    if (peer.thread.joinable()) peer.thread.join();
    if (peer.listener.handle != nullptr) ZK_SocketClose(peer.listener.handle);
    peer.listener.handle = nullptr;
}

std::string Take(PeerLink &link, size_t count, uint32_t limit_ms) {
    std::string got;
    DWORD start = win::GetTickCount();
    while (got.size() < count && win::GetTickCount() - start < limit_ms) {
        char c;
        int n = ZK_SocketRecvOne(link.connection, &c, kStepMs);
        if (n == 1) {
            got.push_back(c);
        } else if (n == 0 || ZK_SocketGetLastError() != 10060) {
            break;
        }
    }
    link.received += got;
    return got;
}

void Put(PeerLink &link, const std::string &bytes) { SendAll(link.connection, bytes); }

void Pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::vector<std::string> LinesA(const TelnetLineList &list) {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < list.count; ++i) lines.emplace_back(static_cast<const char *>(list.items[i]));
    return lines;
}

std::vector<std::u16string> LinesW(const TelnetLineList &list) {
    std::vector<std::u16string> lines;
    for (int32_t i = 0; i < list.count; ++i) {
        std::u16string line;
        for (const auto *u = static_cast<const zk_wchar_t *>(list.items[i]); *u != 0; ++u) {
            line.push_back(static_cast<char16_t>(*u));
        }
        lines.push_back(line);
    }
    return lines;
}

std::string LastResponseA() {
    char text[ZK_TELNET_RESPONSE_SIZE];
    int32_t n = ZK_TelnetQueryLastResponseMessageA(text, sizeof(text));
    return n < 0 ? std::string("<failed>") : std::string(text, static_cast<size_t>(n));
}

std::u16string LastResponseW() {
    zk_wchar_t text[ZK_TELNET_RESPONSE_SIZE];
    int32_t n = ZK_TelnetQueryLastResponseMessageW(text, ZK_TELNET_RESPONSE_SIZE);
    std::u16string out;
    for (int32_t i = 0; i < n; ++i) out.push_back(static_cast<char16_t>(text[i]));
    return n < 0 ? u"<failed>" : out;
}
