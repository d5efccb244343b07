// net_peer.h -- loopback peers for the tests: listeners on free ports and scripted partners.
#ifndef ZK_TESTS_NET_PEER_H
#define ZK_TESTS_NET_PEER_H

#include <cstdint>
#include <string>

#include "zknet/zknet.h"

// The test host name that the private network's hosts file maps to 127.0.0.1 and ::1.
extern const char *const kTestHost;

// The port a bound socket has, or -1.
int LocalPort(SocketHandle *handle);

// A listening stream socket of the family on a free port of every local address.
struct Listener {
    SocketHandle *handle = nullptr;
    int port = -1;
};
Listener ListenAnyPort(uint16_t family);

// Accepts one connection on a listener within the limit; null when none came.
SocketHandle *AcceptWithin(SocketHandle *listener, uint32_t limit_ms);

// Host text of the loopback address of the family ("127.0.0.1" or "::1").
const char *Loopback(uint16_t family);

// Sends all of `bytes` through the library's single sends; false if the peer went away.
bool SendAll(SocketHandle *handle, const std::string &bytes);

// Reads until the peer closes or `limit_ms` passes; what arrived.
std::string ReadUntilClose(SocketHandle *handle, uint32_t limit_ms);

// UTF-16 text from an ASCII literal, for the W forms.
std::u16string U16(const char *ascii);
const zk_wchar_t *W(const std::u16string &text);

// Whether the tests run inside the private network (set up by tools/netns.sh).
bool InPrivateNetwork();

// Whether the program runs under Wine, whose NetBIOS, ARP and TLS differ from Windows'.
bool UnderWine();

// Why a test that needs TLS session resumption is skipped under Wine.
constexpr const char *kWineNoResumption =
    "Wine 8's Schannel resumes no TLS session: sharing the credentials handle and target name, every connection is "
    "still a full handshake (the server reports resumed=0, SECPKG_ATTR_SESSION_INFO no SSL_SESSION_RECONNECT); FTPS "
    "servers refuse such data connections";

#endif  // ZK_TESTS_NET_PEER_H
