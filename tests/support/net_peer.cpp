// net_peer.cpp -- loopback peers for the tests.
#include "support/net_peer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

const char *const kTestHost = "zknet-test";

int LocalPort(SocketHandle *handle) {
    win::sockaddr_storage address;
    int length = sizeof(address);
    if (handle == nullptr || win::getsockname(handle->socket, reinterpret_cast<win::sockaddr *>(&address), &length) != 0) {
        return -1;
    }
    const auto *v4 = reinterpret_cast<const win::sockaddr_in *>(&address);
    return ntohs(v4->sin_port);  // the port sits at the same place for both families
}

Listener ListenAnyPort(uint16_t family) {
    Listener l;
    l.handle = ZK_SocketOpenServer(ZK_SOCK_STREAM, 0, family);
    l.port = LocalPort(l.handle);
    return l;
}

SocketHandle *AcceptWithin(SocketHandle *listener, uint32_t limit_ms) {
    if (listener == nullptr) return nullptr;
    if (win::WaitReadable(listener->socket, limit_ms) != 1) return nullptr;
    return ZK_SocketAccept(listener);
}

const char *Loopback(uint16_t family) { return family == ZK_AF_INET6 ? "::1" : "127.0.0.1"; }

bool SendAll(SocketHandle *handle, const std::string &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        int n = ZK_SocketSend(handle, bytes.data() + done, static_cast<int32_t>(bytes.size() - done));
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string ReadUntilClose(SocketHandle *handle, uint32_t limit_ms) {
    std::string out;
    DWORD start = win::GetTickCount();
    while (win::GetTickCount() - start < limit_ms) {
        char c;
        int n = ZK_SocketRecvOne(handle, &c, 200);
        if (n == 1) {
            out.push_back(c);
        } else if (n == 0) {
            break;
        } else if (ZK_SocketGetLastError() != 10060) {
            break;
        }
    }
    return out;
}

std::u16string U16(const char *ascii) {
    std::u16string out;
    for (; *ascii; ++ascii) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*ascii)));
    return out;
}

const zk_wchar_t *W(const std::u16string &text) { return reinterpret_cast<const zk_wchar_t *>(text.c_str()); }

bool InPrivateNetwork() {
    const char *flag = std::getenv("ZK_PRIVATE_NET");
    return flag != nullptr && std::strcmp(flag, "1") == 0;
}

bool UnderWine() {
#if defined(_WIN32)
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

namespace {
// Every test program starts the socket service once, as a caller of the library must.
class SocketServiceEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { ASSERT_EQ(0, ZK_SocketInit()); }
    void TearDown() override { ZK_SocketTerm(); }
};
const ::testing::Environment *const g_environment =
    ::testing::AddGlobalTestEnvironment(new SocketServiceEnvironment);
}  // namespace
