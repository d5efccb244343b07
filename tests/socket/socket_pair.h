// socket_pair.h -- a connected client/server pair of library handles on loopback.
#ifndef ZK_TESTS_SOCKET_PAIR_H
#define ZK_TESTS_SOCKET_PAIR_H

#include "support/net_peer.h"

struct SocketPair {
    SocketHandle *client = nullptr;
    SocketHandle *server = nullptr;
};

// Connects a stream client to a fresh listener of the family; the listener is closed again.
inline SocketPair ConnectedPair(uint16_t family) {
    SocketPair pair;
    Listener listener = ListenAnyPort(family);
    if (listener.handle == nullptr) return pair;
    pair.client = ZK_SocketOpenClientA(ZK_SOCK_STREAM, Loopback(family), listener.port, family);
    if (pair.client != nullptr) pair.server = ZK_SocketAccept(listener.handle);
    ZK_SocketClose(listener.handle);
    return pair;
}

inline void ClosePair(SocketPair &pair) {
    if (pair.client) ZK_SocketClose(pair.client);
    if (pair.server) ZK_SocketClose(pair.server);
    pair = SocketPair{};
}

#endif  // ZK_TESTS_SOCKET_PAIR_H
