// negotiation_test.cpp -- opening a session against scripted hosts: the fixed option answers, the
// first text kept whole, and the ways a negotiation fails.
#include <gtest/gtest.h>

#include "telnet/scripted_peer.h"

namespace {

constexpr int IAC = 255, SB = 250, WILL = 251, WONT = 252, DO = 253, DONT = 254, SE = 240;

// Connects to a peer that plays `script`, checks the session opened, and disconnects. Returns the
// lines of the first text.
std::vector<std::string> OpenAndClose(ScriptedPeer &peer, PeerScript script) {
    StartPeer(peer, ZK_AF_INET, std::move(script));
    TelnetLineList list{-1, nullptr};
    TelnetHandle *handle = ZK_TelnetConnectA("127.0.0.1", &list, peer.listener.port, ZK_AF_INET);
    EXPECT_NE(nullptr, handle);
    EXPECT_EQ(ZK_TELNET_OK, ZK_TelnetQueryLastErrorCode());
    std::vector<std::string> lines = LinesA(list);
    ZK_TelnetDelListA(&list);
    ZK_TelnetDisconnect(handle);
    FinishPeer(peer);
    return lines;
}

TEST(TelnetNegotiation, AnswersTheUsualOpeningAndKeepsTheWholeFirstLine) {
    ScriptedPeer peer;
    auto lines = OpenAndClose(peer, [](PeerLink &link) {
        Put(link, Bytes({IAC, DO, 24, IAC, WILL, 1, IAC, WILL, 3}) + "login:");
        Take(link, 9);
    });
    EXPECT_EQ(Bytes({IAC, WILL, 24, IAC, DO, 1, IAC, DO, 3}), peer.link.received);
    // The byte that ended the negotiation belongs to the text: "login:", not "ogin:".
    EXPECT_EQ(std::vector<std::string>{"login:"}, lines);
    EXPECT_EQ("login:", LastResponseA());
    EXPECT_TRUE(peer.client_closed);
}

TEST(TelnetNegotiation, SendsTerminalTypeTv100WhenAsked) {
    ScriptedPeer peer;
    auto lines = OpenAndClose(peer, [](PeerLink &link) {
        Put(link, Bytes({IAC, DO, 24}));
        Take(link, 3);
        Put(link, Bytes({IAC, SB, 24, 1, IAC, SE}));
        Take(link, 11);
        Put(link, "$ ");
    });
    EXPECT_EQ(Bytes({IAC, WILL, 24}) + Bytes({IAC, SB, 24, 0}) + "tv100" + Bytes({IAC, SE}), peer.link.received);
    EXPECT_EQ(std::vector<std::string>{"$ "}, lines);
}

TEST(TelnetNegotiation, RefusesEveryOtherOptionAndAgreesToEcho) {
    ScriptedPeer peer;
    auto lines = OpenAndClose(peer, [](PeerLink &link) {
        Put(link, Bytes({IAC, DO, 31, IAC, WILL, 5, IAC, WONT, 7, IAC, DONT, 8, IAC, DO, 1, IAC, SB, 32, 1, IAC, SE}) +
                      "x");
        Take(link, 21);
    });
    EXPECT_EQ(Bytes({IAC, WONT, 31, IAC, DONT, 5, IAC, DONT, 7, IAC, WONT, 8, IAC, WILL, 1}) +
                  Bytes({IAC, SB, 32, 0, IAC, SE}),
              peer.link.received);
    EXPECT_EQ(std::vector<std::string>{"x"}, lines);
}

TEST(TelnetNegotiation, LaterCommandsReachTheTextAsTheyAre) {
    ScriptedPeer peer;
    auto lines = OpenAndClose(peer, [](PeerLink &link) { Put(link, "ab" + Bytes({IAC, DO, 1}) + "c\r\n"); });
    EXPECT_EQ(std::vector<std::string>{"ab" + Bytes({IAC, DO, 1}) + "c"}, lines);
    EXPECT_EQ("", peer.link.received);  // nothing was answered after the first data byte
}

// Every failure closes the client's end, returns no session and leaves code 4.
void ExpectNegotiationFails(const std::string &opening, bool close_after) {
    ScriptedPeer peer;
    StartPeer(peer, ZK_AF_INET, [opening, close_after](PeerLink &link) {
        Put(link, opening);
        if (close_after) {
            ZK_SocketClose(link.connection);
            link.connection = nullptr;
        }
    });
    TelnetLineList list{7, nullptr};
    TelnetHandle *handle = ZK_TelnetConnectA("127.0.0.1", &list, peer.listener.port, ZK_AF_INET);
    EXPECT_EQ(nullptr, handle);
    EXPECT_EQ(ZK_TELNET_NEGOTIATION, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ(0, list.count);
    EXPECT_EQ(nullptr, list.items);
    if (handle != nullptr) ZK_TelnetDisconnect(handle);
    FinishPeer(peer);
    if (!close_after) {
        EXPECT_TRUE(peer.client_closed);
    }
}

TEST(TelnetNegotiation, FailsOnCommandsOutsideTheTable) {
    ExpectNegotiationFails(Bytes({IAC, 241}) + "login:", false);       // NOP
    ExpectNegotiationFails(Bytes({IAC, IAC}) + "login:", false);       // an escaped 255 before any data
    ExpectNegotiationFails(Bytes({IAC, DO, 24, IAC, 249}) + "x", false);  // GA after a good command
}

TEST(TelnetNegotiation, FailsWhenTheHostClosesMidway) {
    ExpectNegotiationFails("", true);
    ExpectNegotiationFails(Bytes({IAC, DO, 24}), true);
    ExpectNegotiationFails(Bytes({IAC, DO}), true);
    ExpectNegotiationFails(Bytes({IAC, SB, 24, 1}), true);
}

TEST(TelnetNegotiation, NoConnectionGivesCode1) {
    Listener gone = ListenAnyPort(ZK_AF_INET);
    int port = gone.port;
    ZK_SocketClose(gone.handle);  // nothing listens there any more
    TelnetLineList list{3, nullptr};
    EXPECT_EQ(nullptr, ZK_TelnetConnectA("127.0.0.1", &list, port, ZK_AF_INET));
    EXPECT_EQ(ZK_TELNET_NOT_CONNECTED, ZK_TelnetQueryLastErrorCode());
    // The socket closed on the way out leaves the connect's own reason for the caller.
    EXPECT_EQ(10061, ZK_SocketGetLastError());
    EXPECT_EQ(0, list.count);
    EXPECT_EQ(nullptr, ZK_TelnetConnectA("127.0.0.1", nullptr, port, 99));
    EXPECT_EQ(ZK_TELNET_NOT_CONNECTED, ZK_TelnetQueryLastErrorCode());
}

TEST(TelnetNegotiation, WideConnectOverIPv6GivesUtf16Lines) {
    ScriptedPeer peer;
    StartPeer(peer, ZK_AF_INET6, [](PeerLink &link) {
        Put(link, Bytes({IAC, WILL, 1}) + "login: ");
        Take(link, 3);
    });
    TelnetLineList list{0, nullptr};
    std::u16string host = U16("::1");
    TelnetHandle *handle = ZK_TelnetConnectW(W(host), &list, peer.listener.port, ZK_AF_INET6);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(std::vector<std::u16string>{u"login: "}, LinesW(list));
    EXPECT_EQ(u"login: ", LastResponseW());
    ZK_TelnetDelListW(&list);
    ZK_TelnetDisconnect(handle);
    FinishPeer(peer);
    EXPECT_EQ(Bytes({IAC, DO, 1}), peer.link.received);
}

TEST(TelnetSession, ConnectClearsAndDisconnectSetsTheCode) {
    ZK_TelnetDelListA(nullptr);
    EXPECT_EQ(ZK_TELNET_NO_SESSION, ZK_TelnetQueryLastErrorCode());
    ScriptedPeer peer;
    StartPeer(peer, ZK_AF_INET, [](PeerLink &link) { Put(link, "hello\r\n"); });
    TelnetHandle *handle = ZK_TelnetConnectA("127.0.0.1", nullptr, peer.listener.port, ZK_AF_INET);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(ZK_TELNET_OK, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ("hello\x81\xab", LastResponseA());  // a null list still reaches the last response
    ZK_TelnetDisconnect(handle);
    EXPECT_EQ(ZK_TELNET_NO_SESSION, ZK_TelnetQueryLastErrorCode());
    FinishPeer(peer);
    EXPECT_TRUE(peer.client_closed);
    ZK_TelnetClearLastErrorCode();
    ZK_TelnetDisconnect(nullptr);
    EXPECT_EQ(ZK_TELNET_OK, ZK_TelnetQueryLastErrorCode());
}

}  // namespace
