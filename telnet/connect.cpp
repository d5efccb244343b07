// connect.cpp -- opening a Telnet session (connection, negotiation, the host's first text) and
// closing it.
#include <cstdlib>
#include <cstring>
#include <string>

#include "telnet/negotiate.h"
#include "telnet/telnet_session.h"
#include "socket/trace.h"

namespace {

TelnetHandle *Fail(int32_t code) {
    TelnetLastError = code;
    return nullptr;
}

template <typename Host, typename Connect, typename Receive>
TelnetHandle *Open(const Host *host, TelnetLineList *list, int32_t port, uint16_t family, Connect connect,
                   Receive receive) {
    TelnetLastError = ZK_TELNET_OK;
    std::memset(TelnetLastResponse, 0, sizeof(TelnetLastResponse));
    if (list != nullptr) {
        list->count = 0;
        list->items = nullptr;
    }
    SocketHandle *socket = ZK_SocketOpen(family, ZK_SOCK_STREAM);
    if (socket == nullptr) return Fail(ZK_TELNET_NOT_CONNECTED);
    if (!connect(socket, host, port)) {
        ZK_SocketClose(socket);
        return Fail(ZK_TELNET_NOT_CONNECTED);
    }
    if (!NegotiateOptions(socket)) {
        ZK_SocketClose(socket);
        return Fail(ZK_TELNET_NEGOTIATION);
    }
    auto *handle = static_cast<TelnetHandle *>(std::calloc(1, sizeof(TelnetHandle)));
    if (handle == nullptr) {
        ZK_SocketClose(socket);
        return Fail(ZK_TELNET_NO_MEMORY);
    }
    handle->connection = socket;
    handle->traceId = TraceNewConnection();
    if (TraceOn()) TraceWrite("TELNET", handle->traceId, '*', std::string("connected, options negotiated"));
    // The session is usable whether or not the first text arrives; the receive leaves its code.
    receive(handle, list);
    return handle;
}

}  // namespace

extern "C" {

ZK_EXPORT TelnetHandle *ZK_API ZK_TelnetConnectA(const char *host, TelnetLineList *list, int32_t port,
                                                 uint16_t family) {
    return Open(host, list, port, family, ZK_SocketConnectClientA, ZK_TelnetCommandRecvA);
}

ZK_EXPORT TelnetHandle *ZK_API ZK_TelnetConnectW(const zk_wchar_t *host, TelnetLineList *list, int32_t port,
                                                 uint16_t family) {
    return Open(host, list, port, family, ZK_SocketConnectClientW, ZK_TelnetCommandRecvW);
}

ZK_EXPORT void ZK_API ZK_TelnetDisconnect(TelnetHandle *handle) {
    if (handle == nullptr) return;
    TelnetLastError = ZK_TELNET_NO_SESSION;
    if (TraceOn()) TraceWrite("TELNET", handle->traceId, '*', std::string("closed"));
    ZK_SocketClose(handle->connection);
    std::free(handle);
}

}  // extern "C"
