// recv.cpp -- the receiving operations: fill or drain a buffer, one byte, one line, and everything
// that arrives in one go as an allocated text.
#include <cstdlib>
#include <cstring>

#include "socket/socket_handle.h"

namespace {

constexpr int32_t kFirstBlock = 1024;
constexpr int kPendingChecks = 5;
constexpr DWORD kPendingPauseMs = 100;

// Bytes waiting on the socket, or -1 when the platform cannot tell.
long Waiting(SocketHandle *handle) {
    unsigned long waiting = 0;
    if (win::ioctlsocket(handle->socket, win::kFionRead, &waiting) != 0) return -1;
    return static_cast<long>(waiting > 0x7FFFFFF0UL ? 0x7FFFFFF0UL : waiting);
}

// Waits up to about half a second for more bytes: the number waiting, 0 after five empty looks,
// -1 on failure.
long WaitPending(SocketHandle *handle) {
    for (int check = 0; check < kPendingChecks; ++check) {
        long waiting = Waiting(handle);
        if (waiting != 0) return waiting;
        win::Sleep(kPendingPauseMs);
    }
    return 0;
}

void StoreLength(int32_t *length, int32_t value) {
    if (length != nullptr) *length = value;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_SocketRecv(SocketHandle *handle, void *buffer, int32_t size, uint32_t timeout_ms,
                                       int32_t *pending, int32_t drain) {
    if (handle == nullptr || size < 0 || (buffer == nullptr && size > 0)) return FailInvalid(-1);
    char *bytes = static_cast<char *>(buffer);
    if (size > 0) std::memset(bytes, 0, static_cast<size_t>(size));
    if (pending != nullptr) *pending = 0;
    if (!SetReceiveTimeout(handle, timeout_ms)) return -1;
    if (size == 0) return 0;  // nothing fits, so nothing is taken from the socket
    int32_t total = 0;
    for (;;) {
        int n = win::recv(handle->socket, bytes + total, size - total, 0);
        if (n < 0) return win::WSAGetLastError() == win::kWsaeTimedOut ? 0 : -1;
        if (n == 0) return 0;
        total += n;
        long waiting = Waiting(handle);
        if (waiting < 0) return -1;
        if (drain != 0 && waiting == 0) return total;
        if (total >= size) {
            if (pending != nullptr) *pending = static_cast<int32_t>(waiting);
            return total;
        }
    }
}

ZK_EXPORT int32_t ZK_API ZK_SocketRecvOne(SocketHandle *handle, void *byte, uint32_t timeout_ms) {
    if (handle == nullptr || byte == nullptr) return FailInvalid(-1);
    if (!SetReceiveTimeout(handle, timeout_ms)) return -1;
    int n = win::recv(handle->socket, static_cast<char *>(byte), 1, 0);
    return n < 0 ? -1 : n;
}

ZK_EXPORT int32_t ZK_API ZK_SocketRecvStringLine(SocketHandle *handle, char *buffer, int32_t size,
                                                 uint32_t timeout_ms) {
    // A buffer without room for the terminator cannot hold even an empty line.
    if (handle == nullptr || buffer == nullptr || size < 1) return FailInvalid(-1);
    std::memset(buffer, 0, static_cast<size_t>(size));
    if (!SetReceiveTimeout(handle, timeout_ms)) return -1;
    int32_t stored = 0;
    // Every byte taken counts toward the limit, carriage returns included, so a line never
    // takes more than size-1 bytes from the socket in one call.
    for (int32_t taken = 0; taken < size - 1; ++taken) {
        char c;
        int n = win::recv(handle->socket, &c, 1, 0);
        if (n < 0) return -1;
        if (n == 0) break;
        if (c == '\r') continue;
        if (c == '\n') break;
        buffer[stored++] = c;
    }
    return static_cast<int32_t>(std::strlen(buffer));
}

ZK_EXPORT char *ZK_API ZK_SocketRecvString(SocketHandle *handle, int32_t *length, uint32_t timeout_ms) {
    if (handle == nullptr) return FailInvalid<char *>(nullptr);
    if (!SetReceiveTimeout(handle, timeout_ms)) return nullptr;
    char *block = static_cast<char *>(std::calloc(1, kFirstBlock));
    if (block == nullptr) {
        StoreLength(length, -2);
        return nullptr;
    }
    int32_t total = 0;
    int32_t ask = kFirstBlock - 1;  // the terminating zero always fits
    for (;;) {
        int n = win::recv(handle->socket, block + total, ask, 0);
        if (n < 0) {
            if (win::WSAGetLastError() == win::kWsaeTimedOut) break;
            std::free(block);
            StoreLength(length, 0);
            return nullptr;
        }
        if (n == 0) break;
        total += n;
        long waiting = WaitPending(handle);
        if (waiting < 0 || static_cast<long long>(total) + waiting + 3 > 0x7FFFFFFFLL) {
            std::free(block);
            StoreLength(length, 0);
            return nullptr;
        }
        if (waiting == 0) break;
        char *grown = static_cast<char *>(std::realloc(block, static_cast<size_t>(total + waiting + 3)));
        if (grown == nullptr) {
            std::free(block);
            StoreLength(length, 0);
            return nullptr;
        }
        block = grown;
        std::memset(block + total, 0, static_cast<size_t>(waiting + 3));
        ask = static_cast<int32_t>(waiting);
    }
    if (total == 0) {
        std::free(block);
        StoreLength(length, 0);
        return nullptr;
    }
    block[total] = '\0';
    StoreLength(length, total);
    return block;
}

ZK_EXPORT void ZK_API ZK_SocketDeleteString(char *text) { std::free(text); }

#if !defined(_WIN32)
// One entry under two names; the Windows build names the alias in its .def file.
ZK_EXPORT void ZK_API ZK_MailRecvFree(char *message) __attribute__((alias("ZK_SocketDeleteString")));
#endif

}  // extern "C"
