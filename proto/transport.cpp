// transport.cpp -- a connection's buffered reads and whole sends, plain or over TLS.
#include "proto/transport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "socket/socket_handle.h"
#include "socket/trace.h"

namespace {

// Room for a TLS record's whole content and more: one receive seldom gives more.
constexpr int32_t kBufferSize = 32 * 1024;

bool TryAgain(int code) { return code == win::kWsaeWouldBlock || code == win::kWsaeTimedOut; }

// Waits until the socket is ready as wanted, within `left_ms`; false on time-out, failure or call-off.
bool WaitFor(ProtoTransport *transport, int wanted, DWORD left_ms, win::WakeSignal *cancel) {
    if (left_ms == 0) return false;
    if (cancel != nullptr && win::WakeSignalRaised(cancel)) return false;
    win::SocketWait wait{transport->socket->socket, wanted, 0, true};
    if (win::WaitSockets(&wait, 1, cancel, left_ms) != 1) return false;
    return wait.ready != 0;
}

void Explain(ProtoTransport *transport, const char *text) {
    std::snprintf(transport->why, sizeof(transport->why), "%s", text);
}

// One receive into `out`, waiting as needed: >0 the count, 0 at the peer's end, -1 otherwise.
int32_t ReceiveInto(ProtoTransport *transport, char *out, int32_t size, const ProtoDeadline &deadline,
                    win::WakeSignal *cancel) {
    if (transport->ended) return 0;
    for (;;) {
        if (cancel != nullptr && win::WakeSignalRaised(cancel)) return -1;
        int wanted = win::kWaitReadable;
        if (transport->tls != nullptr) {
            int count = 0;
            bool clean = false;
            tls::Step step = tls::Read(transport->tls, out, size, &count, &clean);
            if (step == tls::Step::kDone) {
                transport->received_bytes += count;
                return count;
            }
            if (step == tls::Step::kClosed) {
                transport->ended = true;
                transport->clean_end = clean;
                return 0;
            }
            if (step == tls::Step::kFailed || step == tls::Step::kCertificate) {
                Explain(transport, "the TLS stream broke");
                return -1;
            }
            if (step == tls::Step::kWantWrite) wanted = win::kWaitWritable;
        } else {
            int n = win::recv(transport->socket->socket, out, size, 0);
            if (n > 0) {
                transport->received_bytes += n;
                return n;
            }
            if (n == 0) {
                transport->ended = true;
                transport->clean_end = true;
                return 0;
            }
            if (!TryAgain(win::WSAGetLastError())) return -1;
        }
        if (!WaitFor(transport, wanted, deadline.Left(), cancel)) return -1;
    }
}

}  // namespace

ProtoTransport *ProtoOpenTransport(SocketHandle *socket) {
    if (socket == nullptr) return nullptr;
    ProtoTransport *transport = new (std::nothrow) ProtoTransport{};
    char *buffer = static_cast<char *>(std::malloc(kBufferSize));
    if (transport == nullptr || buffer == nullptr || win::SetSocketBlocking(socket->socket, false) != 0) {
        std::free(buffer);
        delete transport;
        ZK_SocketClose(socket);
        return nullptr;
    }
    transport->socket = socket;
    transport->buffer = buffer;
    transport->trace_family = "NET";
    transport->trace_id = TraceNewConnection();
    return transport;
}

namespace {
// "connected to 127.0.0.1 port 2525": the address the socket reached, as the resolver chose it.
std::string Connected(SocketHandle *socket) {
    win::sockaddr_storage address{};
    int length = static_cast<int>(sizeof(address));
    char host[96] = "?";
    int port = 0;
    if (win::getpeername(socket->socket, reinterpret_cast<win::sockaddr *>(&address), &length) == 0) {
        win::getnameinfo(reinterpret_cast<win::sockaddr *>(&address), length, host, sizeof(host), nullptr, 0,
                         win::kNiNumericHost);
        // Both address forms keep the port, in network order, right after the family.
        const unsigned char *raw = reinterpret_cast<const unsigned char *>(&address);
        port = raw[2] << 8 | raw[3];
    }
    return std::string("connected to ") + host + " port " + std::to_string(port);
}
}  // namespace

void ProtoTraceAs(ProtoTransport *transport, const char *family, const char *event) {
    if (transport == nullptr) return;
    transport->trace_family = family;
    if (!TraceOn()) return;
    ProtoTraceEvent(transport, event != nullptr ? event : Connected(transport->socket).c_str());
}

void ProtoTraceEvent(ProtoTransport *transport, const char *event) {
    if (transport != nullptr && event != nullptr && TraceOn()) {
        TraceWrite(transport->trace_family, transport->trace_id, '*', event, std::strlen(event));
    }
}

void ProtoCloseTransport(ProtoTransport *transport) {
    if (transport == nullptr) return;
    if (TraceOn()) {
        char event[96];
        std::snprintf(event, sizeof(event), "closed: %lld bytes sent, %lld received",
                      static_cast<long long>(transport->sent_bytes), static_cast<long long>(transport->received_bytes));
        ProtoTraceEvent(transport, event);
    }
    tls::Close(transport->tls);
    ZK_SocketClose(transport->socket);
    std::free(transport->buffer);
    delete transport;
}

namespace {
// The handshake itself; ProtoStartTls adds what the trace says of a failure.
ProtoTlsResult Handshake(ProtoTransport *transport, const tls::Setup &setup, const ProtoDeadline &deadline,
                         win::WakeSignal *cancel) {
    transport->why[0] = '\0';
    // Bytes already received in plain text would be taken for TLS records: a server must not send
    // any after its go-ahead, and one that does is not to be trusted with the handshake.
    if (transport->end > transport->start) {
        Explain(transport, "the server sent more after its go-ahead for TLS");
        return ProtoTlsResult::kFailed;
    }
    transport->tls = tls::Open(transport->socket->socket, setup, transport->why, sizeof(transport->why));
    if (transport->tls == nullptr) return ProtoTlsResult::kFailed;
    for (;;) {
        tls::Step step = tls::Handshake(transport->tls, transport->why, sizeof(transport->why));
        if (step == tls::Step::kDone) {
            if (TraceOn()) {
                char described[400];
                tls::Describe(transport->tls, described, sizeof(described));
                std::string event = std::string("TLS ") + described +
                                    (setup.resume == nullptr       ? ""
                                     : tls::Resumed(transport->tls) ? ", session resumed"
                                                                    : ", session not resumed");
                ProtoTraceEvent(transport, event.c_str());
            }
            return ProtoTlsResult::kOk;
        }
        if (step == tls::Step::kCertificate) return ProtoTlsResult::kCertificate;
        if (step != tls::Step::kWantRead && step != tls::Step::kWantWrite) return ProtoTlsResult::kFailed;
        int wanted = step == tls::Step::kWantRead ? win::kWaitReadable : win::kWaitWritable;
        if (!WaitFor(transport, wanted, deadline.Left(), cancel)) {
            Explain(transport, deadline.Passed() ? "the handshake did not finish in time" : "the handshake was called off");
            return ProtoTlsResult::kFailed;
        }
    }
}
}  // namespace

ProtoTlsResult ProtoStartTls(ProtoTransport *transport, const tls::Setup &setup, const ProtoDeadline &deadline,
                             win::WakeSignal *cancel) {
    ProtoTlsResult result = Handshake(transport, setup, deadline, cancel);
    if (result != ProtoTlsResult::kOk && TraceOn()) {
        ProtoTraceEvent(transport, (std::string("TLS failed: ") + transport->why).c_str());
    }
    return result;
}

int32_t ProtoFill(ProtoTransport *transport, const ProtoDeadline &deadline, win::WakeSignal *cancel) {
    if (transport == nullptr) return -1;
    if (transport->end > transport->start) return transport->end - transport->start;
    transport->start = transport->end = 0;
    int32_t n = ReceiveInto(transport, transport->buffer, kBufferSize, deadline, cancel);
    if (n > 0) transport->end = n;
    return n;
}

const char *ProtoBuffered(const ProtoTransport *transport, int32_t *count) {
    *count = transport->end - transport->start;
    return transport->buffer + transport->start;
}

void ProtoTake(ProtoTransport *transport, int32_t count) {
    int32_t waiting = transport->end - transport->start;
    transport->start += count < waiting ? count : waiting;
}

int32_t ProtoReceive(ProtoTransport *transport, char *out, int32_t size, const ProtoDeadline &deadline,
                     win::WakeSignal *cancel) {
    if (transport == nullptr || out == nullptr || size <= 0) return -1;
    int32_t waiting = transport->end - transport->start;
    if (waiting > 0) {
        int32_t n = waiting < size ? waiting : size;
        std::memcpy(out, transport->buffer + transport->start, static_cast<size_t>(n));
        transport->start += n;
        return n;
    }
    return ReceiveInto(transport, out, size, deadline, cancel);
}

bool ProtoSend(ProtoTransport *transport, const char *data, int64_t length, uint32_t silence_ms,
               win::WakeSignal *cancel) {
    if (transport == nullptr || length < 0 || (data == nullptr && length > 0)) return false;
    while (length > 0) {
        if (cancel != nullptr && win::WakeSignalRaised(cancel)) return false;
        int piece = length < (1 << 30) ? static_cast<int>(length) : (1 << 30);
        int wanted = win::kWaitWritable;
        int taken = 0;
        if (transport->tls != nullptr) {
            tls::Step step = tls::Write(transport->tls, data, piece, &taken);
            if (step != tls::Step::kDone && step != tls::Step::kWantRead && step != tls::Step::kWantWrite) {
                Explain(transport, "the TLS stream broke");
                return false;
            }
            if (step == tls::Step::kWantRead) wanted = win::kWaitReadable;
        } else {
            taken = win::send(transport->socket->socket, data, piece, 0);
            if (taken < 0) {
                if (!TryAgain(win::WSAGetLastError())) return false;
                taken = 0;
            }
        }
        if (taken > 0) {
            transport->sent_bytes += taken;
            data += taken;
            length -= taken;
            continue;
        }
        // No byte was taken: the peer gets `silence_ms` to make room.
        if (!WaitFor(transport, wanted, silence_ms == 0 ? win::kWaitForever : silence_ms, cancel)) return false;
    }
    return true;
}

bool ProtoReadableNow(ProtoTransport *transport) {
    if (transport == nullptr) return false;
    if (transport->end > transport->start || transport->ended) return true;
    if (transport->tls != nullptr && tls::Pending(transport->tls)) return true;
    win::SocketWait wait{transport->socket->socket, win::kWaitReadable, 0, true};
    return win::WaitSockets(&wait, 1, nullptr, 0) == 1 && wait.ready != 0;
}

void ProtoDropWaiting(ProtoTransport *transport) {
    if (transport == nullptr) return;
    // Bounded: a server that keeps sending cannot hold the command back for long.
    for (int rounds = 0; rounds < 256; ++rounds) {
        transport->start = transport->end = 0;
        if (transport->ended || !ProtoReadableNow(transport)) return;
        if (ProtoFill(transport, ProtoDeadline::After(1), nullptr) <= 0) return;
    }
    transport->start = transport->end = 0;
}

bool ProtoEndTls(ProtoTransport *transport, uint32_t silence_ms) {
    if (transport == nullptr || transport->tls == nullptr) return true;
    const ProtoDeadline deadline = ProtoDeadline::After(silence_ms);
    for (;;) {
        tls::Step step = tls::Shutdown(transport->tls);
        if (step == tls::Step::kDone) return true;
        if (step != tls::Step::kWantRead && step != tls::Step::kWantWrite) return false;
        int wanted = step == tls::Step::kWantRead ? win::kWaitReadable : win::kWaitWritable;
        if (!WaitFor(transport, wanted, deadline.Left(), nullptr)) return false;
    }
}
