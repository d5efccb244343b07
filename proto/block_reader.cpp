// block_reader.cpp -- blocks looked at, judged by their reader, then taken as far as they belong.
#include "proto/block_reader.h"

#include <memory>
#include <new>

#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

// Large enough that a message of many megabytes costs few calls, small enough for any stack of
// buffers the system keeps.
constexpr int kBlockBytes = 64 * 1024;

// Takes `count` bytes that a look has shown to be waiting.
bool Take(SocketHandle *connection, char *into, size_t count) {
    while (count > 0) {
        int n = win::recv(connection->socket, into, static_cast<int>(count), 0);
        if (n <= 0) return false;
        count -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool ProtoReadBlocks(SocketHandle *connection, uint32_t timeout_ms, ProtoBlockSink sink, void *context) {
    if (connection == nullptr || sink == nullptr) return false;
    std::unique_ptr<char[]> block(new (std::nothrow) char[kBlockBytes]);
    if (!block) return false;
    const DWORD wait = timeout_ms == 0 ? 0xFFFFFFFFu : timeout_ms;
    for (;;) {
        if (win::WaitReadable(connection->socket, wait) != 1) return false;
        int n = win::recv(connection->socket, block.get(), kBlockBytes, win::kMsgPeek);
        if (n <= 0) return false;  // closed (or failed) before the end
        bool end = false;
        size_t used = sink(context, block.get(), static_cast<size_t>(n), &end);
        if (used > static_cast<size_t>(n)) used = static_cast<size_t>(n);
        if (used > 0 && !Take(connection, block.get(), used)) return false;
        if (end) return true;
        // A sink that takes nothing without reaching the end would make no progress.
        if (used == 0) return false;
    }
}
