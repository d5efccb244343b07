// transport.h -- one connection as the line protocols (FTP, SMTP, POP3) and the FTP data phase
// use it: the socket, TLS over it once asked for, and a read buffer of its own. A TLS stream
// cannot be peeked at, so a reader that must not take a byte past a line's end looks at the
// buffer instead: what is received beyond the line stays there for the next reader. The socket
// is kept non-blocking; every wait goes through the platform's socket wait, bounded by a
// deadline and, where given, ended by a call-off signal.
#ifndef ZK_PROTO_TRANSPORT_H
#define ZK_PROTO_TRANSPORT_H

#include <cstdint>

#include "platform/socket_wait.h"
#include "platform/tls.h"
#include "proto/deadline.h"
#include "zknet/socket.h"

struct ProtoTransport {
    SocketHandle *socket;  // owned: closed with the transport
    tls::Session *tls;     // null while the connection is plain
    char *buffer;          // received bytes [start, end) not yet taken
    int32_t start;
    int32_t end;
    bool ended;            // the peer's end of the stream has been seen
    bool clean_end;        // ...and it came as TLS close_notify (or the stream is plain)
    char why[tls::kWhySize];  // the last TLS failure in words ("certificate has expired")
    // The trace's view: the family ("FTP"), the connection's number, whether what is sent now is
    // a secret the trace must mask (an AUTH exchange), and the bytes moved.
    const char *trace_family;
    uint32_t trace_id;
    bool trace_secret;
    int64_t sent_bytes;
    int64_t received_bytes;
};

// A transport over a connected stream socket, which it owns from now on; null when memory runs
// out (the socket is then closed).
ProtoTransport *ProtoOpenTransport(SocketHandle *socket);

// Names the connection's family for the trace ("FTP", "SMTP", "POP3") and, when the trace is on,
// writes `event` as its first line (null: "connected to <address> port <port>").
void ProtoTraceAs(ProtoTransport *transport, const char *family, const char *event);
// Writes an event line of the connection when the trace is on.
void ProtoTraceEvent(ProtoTransport *transport, const char *event);

// Closes the socket and releases everything; null is ignored. No close_notify is sent (ProtoEndTls).
void ProtoCloseTransport(ProtoTransport *transport);

// What starting TLS came to.
enum class ProtoTlsResult { kOk, kFailed, kCertificate };

// Runs the TLS handshake as the client, within the deadline (a stalled handshake fails), ended
// early by `cancel` (may be null). On failure `transport->why` explains.
ProtoTlsResult ProtoStartTls(ProtoTransport *transport, const tls::Setup &setup, const ProtoDeadline &deadline,
                             win::WakeSignal *cancel);

// Makes sure received bytes wait in the buffer: returns how many, 0 when the peer has ended the
// stream and none are left, -1 on failure, time-out or call-off.
int32_t ProtoFill(ProtoTransport *transport, const ProtoDeadline &deadline, win::WakeSignal *cancel);

// The bytes waiting in the buffer, and taking the first `count` of them.
const char *ProtoBuffered(const ProtoTransport *transport, int32_t *count);
void ProtoTake(ProtoTransport *transport, int32_t count);

// Up to `size` bytes: the buffer's first, else what one receive gives. >0 the count, 0 at the
// peer's end, -1 on failure, time-out or call-off.
int32_t ProtoReceive(ProtoTransport *transport, char *out, int32_t size, const ProtoDeadline &deadline,
                     win::WakeSignal *cancel);

// Sends all `length` bytes. Each wait for room lasts at most `silence_ms` (a peer that takes no
// byte for that long has stopped reading); `cancel` (may be null) ends it. False when the
// connection fails, stalls or is called off first.
bool ProtoSend(ProtoTransport *transport, const char *data, int64_t length, uint32_t silence_ms,
               win::WakeSignal *cancel);

// Whether something can be taken now without waiting: bytes in the buffer, decrypted bytes held
// by TLS, or the socket readable (data, the peer's close).
bool ProtoReadableNow(ProtoTransport *transport);

// Drops what has already arrived and waits to be read: the late end of an earlier reply, which
// would otherwise be taken as the answer to the next command. Never waits.
void ProtoDropWaiting(ProtoTransport *transport);

// Ends TLS with close_notify (an upload's end of data), within `silence_ms`. Plain: nothing.
bool ProtoEndTls(ProtoTransport *transport, uint32_t silence_ms);

#endif  // ZK_PROTO_TRANSPORT_H
