// scripted_peer.h -- a Telnet host played by a thread of the test program, for what a real telnetd
// does not produce (odd negotiation, hosts that do or do not echo, closes at awkward moments).
// Every step of a script is bounded in time and the peer always closes its end at last, so the
// client, which waits without time-outs, is always released.
#ifndef ZK_TESTS_TELNET_SCRIPTED_PEER_H
#define ZK_TESTS_TELNET_SCRIPTED_PEER_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "support/net_peer.h"

// What a script works with: the accepted connection and every byte the client sent so far.
struct PeerLink {
    SocketHandle *connection = nullptr;
    std::string received;
};

using PeerScript = std::function<void(PeerLink &link)>;

struct ScriptedPeer {
    uint16_t family = ZK_AF_INET;
    Listener listener;
    std::thread thread;
    std::atomic<bool> accepted{false};
    PeerLink link;
    bool client_closed = false;  // the client closed its end before the peer gave up waiting
};

// Listens on a free loopback port and runs the script for the first connection.
void StartPeer(ScriptedPeer &peer, uint16_t family, PeerScript script);

// Waits for the script to end; the peer then waits up to 5 s for the client to close, and closes.
void FinishPeer(ScriptedPeer &peer);

// Script steps. Take reads exactly `count` bytes (fewer when the client closes or `limit_ms`
// passes) into link.received and returns them.
std::string Take(PeerLink &link, size_t count, uint32_t limit_ms = 5000);
void Put(PeerLink &link, const std::string &bytes);
void Pause(uint32_t ms);

// Bytes from numbers, for IAC sequences: Bytes({255, 253, 24}).
std::string Bytes(std::initializer_list<int> values);

// The lines of a list, narrow or UTF-16.
std::vector<std::string> LinesA(const TelnetLineList &list);
std::vector<std::u16string> LinesW(const TelnetLineList &list);

// The last response, narrow and UTF-16.
std::string LastResponseA();
std::u16string LastResponseW();

#endif  // ZK_TESTS_TELNET_SCRIPTED_PEER_H
