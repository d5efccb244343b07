// fuzz_pipe.h -- a connected socket pair for the targets that read from a connection: the fuzz
// input is written into one end and that end is shut for writing, so every read of the code under
// test ends at the input's end instead of waiting. The line protocols read the other end through
// a transport (FuzzTransport), which then owns it.
#ifndef ZK_FUZZ_FUZZ_PIPE_H
#define ZK_FUZZ_FUZZ_PIPE_H

#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>

#include "proto/transport.h"
#include "socket/socket_handle.h"

struct FuzzPipe {
    SocketHandle *reader = nullptr;  // the end the code under test reads (and answers on)
    ProtoTransport *transport = nullptr;
    int writer = -1;
    ~FuzzPipe() {
        if (transport != nullptr) {
            ProtoCloseTransport(transport);
        } else if (reader != nullptr) {
            ZK_SocketClose(reader);
        }
        if (writer >= 0) ::close(writer);
    }
};

// The reading end as a transport; null when memory runs out.
inline ProtoTransport *FuzzTransport(FuzzPipe *pipe) {
    if (pipe->transport == nullptr && pipe->reader != nullptr) {
        pipe->transport = ProtoOpenTransport(pipe->reader);
        if (pipe->transport == nullptr) pipe->reader = nullptr;  // closed by the failed open
    }
    return pipe->transport;
}

// The input must fit the socket buffer (the targets cap it at 4096 bytes).
inline bool OpenFuzzPipe(FuzzPipe *pipe, const uint8_t *data, size_t n) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) return false;
    pipe->writer = fds[1];
    pipe->reader = NewSocketHandle(2, 1, fds[0]);
    if (pipe->reader == nullptr) {
        ::close(fds[0]);
        return false;
    }
    size_t done = 0;
    while (done < n) {
        ssize_t w = ::write(fds[1], data + done, n - done);
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    ::shutdown(fds[1], SHUT_WR);
    return true;
}

#endif  // ZK_FUZZ_FUZZ_PIPE_H
