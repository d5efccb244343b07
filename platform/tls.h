// tls.h -- the TLS seam: the client side of TLS over a connected stream socket, with the
// certificate checks the library promises. OpenSSL on Linux, Schannel on Windows; nothing outside
// platform/ knows which. Every call works on a non-blocking socket and never waits by itself:
// a call that cannot go on says which way the socket must become ready, and the caller waits.
#ifndef ZK_PLATFORM_TLS_H
#define ZK_PLATFORM_TLS_H

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace tls {

struct Session;

// What a connection's TLS must check and may reuse.
struct Setup {
    const char *host;     // the host text the caller gave: SNI for a name, and the name (or the
                          // address, for address text) the certificate must be for
    const WCHAR *ca_file; // PEM file holding exactly the CAs to trust; null: the system's trust
    bool verify;          // false: any certificate is taken (self-signed test servers)
    Session *resume;      // a session (the FTP control connection's) whose TLS session the new
                          // one resumes; null for a full handshake
};

// The outcome of a step. kWantRead / kWantWrite: call again once the socket is readable /
// writable. kClosed: the peer ended the TLS stream (close_notify) or, for reads, the connection.
enum class Step { kDone, kWantRead, kWantWrite, kClosed, kFailed, kCertificate };

// Room for a one-line explanation of a failure ("certificate is not for host zknet-test").
constexpr int kWhySize = 160;

// A new client session for the connected socket `s`; null when the system has none to give
// (`why` says so). The handshake runs in Handshake.
Session *Open(SOCKET s, const Setup &setup, char *why, int why_size);

// Takes the handshake one step on: kDone once it and the certificate checks are through; kFailed
// (no TLS, a broken handshake) or kCertificate (untrusted, expired, not for the host) with `why`
// filled; otherwise what to wait for.
Step Handshake(Session *session, char *why, int why_size);

// Decrypted bytes into `buffer`: kDone with `*count` > 0, kClosed at the peer's end (`*clean` tells
// whether it came as close_notify), kFailed for a broken stream, or what to wait for.
Step Read(Session *session, char *buffer, int size, int *count, bool *clean);

// Encrypts and sends from `data`: kDone with `*count` taken (at least 1), kFailed, or what to
// wait for (call again with the same bytes).
Step Write(Session *session, const char *data, int size, int *count);

// Whether bytes already taken from the socket wait to be read, so that a wait on the socket
// would not see them.
bool Pending(Session *session);

// Sends close_notify once; kDone when it went out, or what to wait for.
Step Shutdown(Session *session);

// Whether the handshake resumed the `resume` session, and the protocol version ("TLSv1.3").
bool Resumed(Session *session);
const char *Version(Session *session);

// The established connection in words, for the trace: "TLSv1.3, TLS_AES_256_GCM_SHA384,
// certificate CN=zknet-test" (what the system cannot tell is left out).
void Describe(Session *session, char *out, int size);

// Releases the session; the socket stays open.
void Close(Session *session);

// The bytes of a (CA) file, at most 4 MiB; false when it cannot be read. Shared by both sides.
bool ReadSmallFile(const WCHAR *path, std::string *bytes);

}  // namespace tls

#endif  // ZK_PLATFORM_TLS_H
