// tls_schannel.cpp -- the TLS seam over Schannel (SSPI): TLS 1.2 at least, 1.3 where the system
// has it; records read, decrypted and sent through buffers of our own over the non-blocking
// socket; the certificate checked by us after the handshake (schannel_trust.*); sessions resumed
// through the credentials handle and target name they share with the session they resume.
#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS
#include "platform/tls.h"

#include <subauth.h>  // UNICODE_STRING, which SCH_CREDENTIALS names
#include <wincrypt.h>
#include <security.h>
#include <schannel.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/win32/schannel_trust.h"

namespace tls {

namespace {

// Room for received bytes: several whole records (one is at most 5 + 2^14 + 2048 bytes), so one
// receive takes much at a time, and any single handshake message a server sends.
constexpr int kInSize = 96 * 1024;
constexpr int kLargestRecord = 5 + 16384 + 2048;
// Room for bytes to send: a handshake token, or up to four records of a write.
constexpr int kOutSize = 4 * (16384 + 512);
constexpr int kNameSize = 256;

constexpr DWORD kContextFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                                ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_USE_SUPPLIED_CREDS |
                                ISC_REQ_MANUAL_CRED_VALIDATION;
// Never SSL or TLS before 1.2.
constexpr DWORD kTooOld = SP_PROT_SSL2_CLIENT | SP_PROT_SSL3_CLIENT | SP_PROT_TLS1_0_CLIENT | SP_PROT_TLS1_1_CLIENT;
// No client certificate is picked by Schannel, and the server's is checked by us.
constexpr DWORD kCredentialFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;

void Explain(char *why, int why_size, const char *text, const char *more = "") {
    if (why != nullptr && why_size > 0) std::snprintf(why, static_cast<size_t>(why_size), "%s%s", text, more);
}

// What a failed SSPI call means, in words.
const char *StatusText(SECURITY_STATUS status, char *code, size_t code_size) {
    switch (status) {
        case SEC_E_ILLEGAL_MESSAGE:
        case SEC_E_INVALID_TOKEN:
            return "the server's reply is not TLS that can be read";
        case SEC_E_ALGORITHM_MISMATCH:
        case SEC_E_UNSUPPORTED_FUNCTION:
            return "no TLS version or cipher in common with the server";
        case SEC_E_MESSAGE_ALTERED:
        case SEC_E_DECRYPT_FAILURE:
            return "a record does not decrypt";
        case SEC_E_INSUFFICIENT_MEMORY:
            return "out of memory";
        default:
            std::snprintf(code, code_size, "Schannel error 0x%08lx", static_cast<unsigned long>(status));
            return code;
    }
}

void ExplainStatus(char *why, int why_size, const char *doing, SECURITY_STATUS status) {
    char code[40];
    Explain(why, why_size, doing, StatusText(status, code, sizeof(code)));
}

// The credentials handle of a connection and of every connection that resumes its TLS session:
// Schannel finds a session to resume by the credentials handle and the target name. Data
// connections run on worker threads, so the count is kept with interlocked calls.
struct Shared {
    CredHandle credentials;
    volatile LONG references;
    Trust trust;
    bool verify;
    bool address;            // the host text is an address, matched against the certificate's IP entries
    char host[kNameSize];
    WCHAR target[kNameSize];  // the host text as the target name
};

// TLS 1.2 and later. SCH_CREDENTIALS first, where the system knows it (TLS 1.3 needs it); else the
// older SCHANNEL_CRED with 1.2 and 1.3, then 1.2 alone for systems that refuse to hear of 1.3.
SECURITY_STATUS AcquireCredentials(CredHandle *handle) {
    TimeStamp expiry;
    TLS_PARAMETERS parameters{};
    parameters.grbitDisabledProtocols = kTooOld;
    SCH_CREDENTIALS modern{};
    modern.dwVersion = SCH_CREDENTIALS_VERSION;
    modern.dwFlags = kCredentialFlags;
    modern.cTlsParameters = 1;
    modern.pTlsParameters = &parameters;
    SECURITY_STATUS status = AcquireCredentialsHandleW(nullptr, const_cast<LPWSTR>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                                       nullptr, &modern, nullptr, nullptr, handle, &expiry);
    if (status == SEC_E_OK) return status;
    for (DWORD protocols : {DWORD(SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT), DWORD(SP_PROT_TLS1_2_CLIENT)}) {
        SCHANNEL_CRED older{};
        older.dwVersion = SCHANNEL_CRED_VERSION;
        older.grbitEnabledProtocols = protocols;
        older.dwFlags = kCredentialFlags;
        status = AcquireCredentialsHandleW(nullptr, const_cast<LPWSTR>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND, nullptr,
                                           &older, nullptr, nullptr, handle, &expiry);
        if (status == SEC_E_OK) return status;
    }
    return status;
}

void Release(Shared *shared) {
    if (InterlockedDecrement(&shared->references) != 0) return;
    FreeCredentialsHandle(&shared->credentials);
    ReleaseTrust(&shared->trust);
    delete shared;
}

Shared *NewShared(const Setup &setup, char *why, int why_size) {
    const char *host = setup.host != nullptr ? setup.host : "";
    size_t length = std::strlen(host);
    if (length >= static_cast<size_t>(kNameSize)) {
        Explain(why, why_size, "the host name is too long");
        return nullptr;
    }
    Shared *shared = new (std::nothrow) Shared{};
    if (shared == nullptr) {
        Explain(why, why_size, "out of memory");
        return nullptr;
    }
    std::memcpy(shared->host, host, length + 1);
    // An address is the target name as well: Schannel sends no SNI for an address (a name only),
    // and the target name is what its session cache is keyed by, so leaving it out could cost the
    // resumption that FTPS data connections need.
    if (length > 0 && MultiByteToWideChar(CP_ACP, 0, host, -1, shared->target, kNameSize) == 0) shared->target[0] = 0;
    BYTE bytes[16];
    int size = 0;
    shared->address = AddressBytes(host, bytes, &size);
    shared->verify = setup.verify;
    shared->references = 1;
    if (setup.verify && setup.ca_file != nullptr && !LoadAnchors(setup.ca_file, &shared->trust)) {
        Explain(why, why_size, "the CA file holds no certificate that can be read");
        delete shared;
        return nullptr;
    }
    SECURITY_STATUS status = AcquireCredentials(&shared->credentials);
    if (status != SEC_E_OK) {
        ExplainStatus(why, why_size, "no TLS credentials: ", status);
        ReleaseTrust(&shared->trust);
        delete shared;
        return nullptr;
    }
    return shared;
}

}  // namespace

struct Session {
    SOCKET socket;
    Shared *shared;
    CtxtHandle context;
    bool has_context;
    bool resumable;    // asked to resume another session
    bool negotiating;  // a handshake (the first, or one the server asked for later) is under way
    bool need_input;   // ...and waits for more of the server's bytes
    bool established;  // the first handshake and the checks are through
    bool ended;        // the stream has ended: `clean` tells whether with close_notify
    bool clean;
    bool broken;
    bool shut;         // our close_notify has been made
    SecPkgContext_StreamSizes sizes;
    const char *version;
    // Received bytes: [raw, in_used) not yet decrypted; decrypted text waits at [plain, plain +
    // plain_len), before `raw`.
    char *in;
    int in_used, raw, plain, plain_len;
    // A handshake message that decrypting a record gave (perhaps none), for the handshake to take
    // before any further record.
    char *message;
    int message_len;
    bool take_message;
    // Bytes to send: [out_at, out_len); `written` is the count of the caller's bytes they carry.
    char *out;
    int out_at, out_len, written;
};

namespace {

enum class Io { kDone, kWait, kEnd, kFailed };

// Sends what waits to be sent.
Io Flush(Session *s) {
    while (s->out_at < s->out_len) {
        int n = send(s->socket, s->out + s->out_at, s->out_len - s->out_at, 0);
        if (n > 0) {
            s->out_at += n;
            continue;
        }
        return n < 0 && WSAGetLastError() == WSAEWOULDBLOCK ? Io::kWait : Io::kFailed;
    }
    s->out_at = s->out_len = 0;
    return Io::kDone;
}

// Receives more raw bytes after those held (moved to the front first).
Io Receive(Session *s) {
    if (s->raw > 0 && s->plain_len == 0) {
        std::memmove(s->in, s->in + s->raw, static_cast<size_t>(s->in_used - s->raw));
        s->in_used -= s->raw;
        s->raw = 0;
    }
    if (s->in_used >= kInSize) return Io::kFailed;
    int n = recv(s->socket, s->in + s->in_used, kInSize - s->in_used, 0);
    if (n > 0) {
        s->in_used += n;
        return Io::kDone;
    }
    if (n == 0) return Io::kEnd;
    return WSAGetLastError() == WSAEWOULDBLOCK ? Io::kWait : Io::kFailed;
}

// Whether bytes can begin a TLS record: a content type of TLS 1.2 and 1.3 (change_cipher_spec,
// alert, handshake, application_data) and major version 3. Anything else is no TLS, and waiting
// for the rest of the "record" its length field names would only wait out the deadline.
bool CouldBeRecord(const char *bytes, int count) {
    const auto *b = reinterpret_cast<const unsigned char *>(bytes);
    return (count < 1 || (b[0] >= 20 && b[0] <= 23)) && (count < 2 || b[1] == 3);
}

// The length of the whole record at `raw`, 0 while its header is incomplete.
int RecordLength(const Session *s) {
    if (s->in_used - s->raw < 5) return 0;
    const auto *header = reinterpret_cast<const unsigned char *>(s->in + s->raw);
    return 5 + (header[3] << 8 | header[4]);
}

// Appends a token Schannel made (and frees it); false when there is no room.
bool Queue(Session *s, SecBuffer *token) {
    bool fits = true;
    if (token->pvBuffer != nullptr && token->cbBuffer > 0) {
        fits = token->cbBuffer <= static_cast<unsigned long>(kOutSize - s->out_len);
        if (fits) {
            std::memcpy(s->out + s->out_len, token->pvBuffer, token->cbBuffer);
            s->out_len += static_cast<int>(token->cbBuffer);
        }
    }
    if (token->pvBuffer != nullptr) FreeContextBuffer(token->pvBuffer);
    token->pvBuffer = nullptr;
    return fits;
}

// One InitializeSecurityContext call over `input` (null for the first, which makes the hello).
SECURITY_STATUS Initialize(Session *s, SecBufferDesc *input, SecBuffer *token) {
    SecBufferDesc output{SECBUFFER_VERSION, 1, token};
    unsigned long granted = 0;
    const WCHAR *target = s->shared->target[0] != 0 ? s->shared->target : nullptr;
    return InitializeSecurityContextW(&s->shared->credentials, s->has_context ? &s->context : nullptr,
                                      const_cast<WCHAR *>(target), kContextFlags, 0, 0, input, 0, &s->context, &output,
                                      &granted, nullptr);
}

// Takes a handshake on until it is through and its last bytes are sent: the first one, or one
// the server asked for after it (a TLS 1.3 session ticket, a TLS 1.2 renegotiation).
Step Negotiate(Session *s, char *why, int why_size) {
    for (int calls = 0;;) {
        Io sent = Flush(s);
        if (sent == Io::kWait) return Step::kWantWrite;
        if (sent == Io::kFailed) {
            Explain(why, why_size, "handshake failed: the connection broke");
            return Step::kFailed;
        }
        if (!s->negotiating) return Step::kDone;
        bool from_message = s->take_message;
        if (s->need_input && !from_message) {
            Io got = Receive(s);
            if (got == Io::kWait) return Step::kWantRead;
            if (got != Io::kDone) {
                Explain(why, why_size, got == Io::kEnd ? "handshake failed: the server closed the connection"
                                                       : "handshake failed: the connection broke");
                return Step::kFailed;
            }
            s->need_input = false;
        }
        char *data = from_message ? s->message : s->in + s->raw;
        int length = from_message ? s->message_len : s->in_used - s->raw;
        if (!from_message && !CouldBeRecord(data, length)) {
            Explain(why, why_size, "handshake failed: the server's reply is not TLS");
            return Step::kFailed;
        }
        SecBuffer input[2] = {{static_cast<unsigned long>(length), SECBUFFER_TOKEN, data}, {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc input_desc{SECBUFFER_VERSION, 2, input};
        SecBuffer token{0, SECBUFFER_TOKEN, nullptr};
        SECURITY_STATUS status = Initialize(s, &input_desc, &token);
        if (status == SEC_E_INCOMPLETE_MESSAGE && !from_message) {
            if (token.pvBuffer != nullptr) FreeContextBuffer(token.pvBuffer);
            if (s->in_used - s->raw >= kInSize) {
                Explain(why, why_size, "handshake failed: a handshake message is too long");
                return Step::kFailed;
            }
            s->need_input = true;
            continue;
        }
        // Calls that take the handshake on without more input are few: a bound against one that
        // never ends.
        if (++calls > 64) {
            if (token.pvBuffer != nullptr) FreeContextBuffer(token.pvBuffer);
            Explain(why, why_size, "handshake failed: it does not end");
            return Step::kFailed;
        }
        if (!Queue(s, &token)) {
            Explain(why, why_size, "handshake failed: a handshake message is too long");
            return Step::kFailed;
        }
        if (FAILED(status)) {
            Flush(s);  // an alert that tells the server why, if Schannel made one
            ExplainStatus(why, why_size, "handshake failed: ", status);
            return Step::kFailed;
        }
        // The server asked for a client certificate and we have none to give: the same input again
        // goes on without one.
        if (status == SEC_I_INCOMPLETE_CREDENTIALS) continue;
        // What the call left unread is the start of the next message or record.
        unsigned long rest = input[1].BufferType == SECBUFFER_EXTRA ? input[1].cbBuffer : 0;
        if (from_message) {
            s->take_message = false;
            s->message_len = 0;
        } else {
            s->raw = s->in_used - static_cast<int>(rest < static_cast<unsigned long>(length) ? rest : length);
        }
        if (status == SEC_E_OK) {
            s->negotiating = false;
        } else if (status == SEC_I_CONTINUE_NEEDED) {
            s->need_input = s->raw == s->in_used;
        } else {
            ExplainStatus(why, why_size, "handshake failed: ", status);
            return Step::kFailed;
        }
    }
}

// Decrypts the one whole record at `raw`. A record holds application data, the server's
// close_notify, or a handshake message for Negotiate.
Step DecryptRecord(Session *s, int length) {
    char *record = s->in + s->raw;
    SecBuffer buffers[4] = {{static_cast<unsigned long>(length), SECBUFFER_DATA, record},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr},
                            {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    SECURITY_STATUS status = DecryptMessage(&s->context, &desc, 0, nullptr);
    s->raw += length;
    if (status == SEC_E_OK) {
        for (SecBuffer &b : buffers) {
            if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0) {
                s->plain = static_cast<int>(static_cast<char *>(b.pvBuffer) - s->in);
                s->plain_len = static_cast<int>(b.cbBuffer);
            }
        }
        return Step::kDone;
    }
    if (status == SEC_I_CONTEXT_EXPIRED) {
        s->ended = s->clean = true;
        return Step::kDone;
    }
    if (status == SEC_I_RENEGOTIATE) {
        // The handshake message (a TLS 1.3 session ticket, a request for a new handshake) is what
        // Schannel left as "extra"; the handshake's first call takes it (or nothing, when there is
        // none) before any further record.
        s->message_len = 0;
        for (SecBuffer &b : buffers) {
            if (b.BufferType != SECBUFFER_EXTRA || b.cbBuffer == 0) continue;
            if (b.cbBuffer > static_cast<unsigned long>(kLargestRecord)) return Step::kFailed;
            const char *at = b.pvBuffer != nullptr ? static_cast<const char *>(b.pvBuffer) : record + length - b.cbBuffer;
            std::memcpy(s->message, at, b.cbBuffer);
            s->message_len = static_cast<int>(b.cbBuffer);
        }
        s->negotiating = s->take_message = true;
        s->need_input = false;
        return Step::kDone;
    }
    return Step::kFailed;
}

}  // namespace

Session *Open(SOCKET socket, const Setup &setup, char *why, int why_size) {
    Session *s = new (std::nothrow) Session{};
    if (s != nullptr) {
        s->in = static_cast<char *>(std::malloc(kInSize));
        s->out = static_cast<char *>(std::malloc(kOutSize));
        s->message = static_cast<char *>(std::malloc(kLargestRecord));
    }
    if (s == nullptr || s->in == nullptr || s->out == nullptr || s->message == nullptr) {
        Explain(why, why_size, "out of memory");
        Close(s);
        return nullptr;
    }
    s->socket = socket;
    s->version = "";
    if (setup.resume != nullptr) {
        // The same credentials handle and target name as the session resumed: what Schannel
        // looks its session up by. Its checks apply as well.
        s->shared = setup.resume->shared;
        InterlockedIncrement(&s->shared->references);
        s->resumable = true;
    } else {
        s->shared = NewShared(setup, why, why_size);
        if (s->shared == nullptr) {
            Close(s);
            return nullptr;
        }
    }
    return s;
}

Step Handshake(Session *s, char *why, int why_size) {
    if (s->established) return Step::kDone;
    if (s->broken) {
        Explain(why, why_size, "handshake failed");
        return Step::kFailed;
    }
    if (!s->has_context) {
        SecBuffer token{0, SECBUFFER_TOKEN, nullptr};
        SECURITY_STATUS status = Initialize(s, nullptr, &token);
        s->has_context = !FAILED(status);
        if (status != SEC_I_CONTINUE_NEEDED || !Queue(s, &token)) {
            if (token.pvBuffer != nullptr) FreeContextBuffer(token.pvBuffer);
            s->broken = true;
            ExplainStatus(why, why_size, "handshake failed: ", status);
            return Step::kFailed;
        }
        s->negotiating = s->need_input = true;
    }
    Step step = Negotiate(s, why, why_size);
    if (step != Step::kDone) {
        s->broken = step == Step::kFailed;
        return step;
    }
    SECURITY_STATUS status = QueryContextAttributesW(&s->context, SECPKG_ATTR_STREAM_SIZES, &s->sizes);
    if (status != SEC_E_OK || s->sizes.cbMaximumMessage == 0 ||
        s->sizes.cbHeader + s->sizes.cbMaximumMessage + s->sizes.cbTrailer > static_cast<unsigned long>(kOutSize)) {
        s->broken = true;
        ExplainStatus(why, why_size, "handshake failed: ", status == SEC_E_OK ? SEC_E_INTERNAL_ERROR : status);
        return Step::kFailed;
    }
    // The version is checked as well as asked for: Wine's Schannel, for one, takes no notice of the
    // versions disabled in SCH_CREDENTIALS.
    SecPkgContext_ConnectionInfo info{};
    DWORD p = QueryContextAttributesW(&s->context, SECPKG_ATTR_CONNECTION_INFO, &info) == SEC_E_OK ? info.dwProtocol : 0;
    s->version = (p & SP_PROT_TLS1_3_CLIENT) ? "TLSv1.3" : (p & SP_PROT_TLS1_2_CLIENT) ? "TLSv1.2" : "TLS";
    if (p == 0 || (p & kTooOld) != 0) {
        s->broken = true;
        Explain(why, why_size, "handshake failed: the server speaks no TLS 1.2 or later");
        return Step::kFailed;
    }
    if (s->shared->verify) {
        PCCERT_CONTEXT certificate = nullptr;
        if (QueryContextAttributesW(&s->context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
            certificate == nullptr) {
            s->broken = true;
            Explain(why, why_size, "certificate is not trusted (the server sent none)");
            return Step::kCertificate;
        }
        bool passed = CheckServerCertificate(s->shared->trust, certificate, s->shared->host, s->shared->target,
                                             s->shared->address, why, why_size);
        CertFreeCertificateContext(certificate);
        if (!passed) {
            s->broken = true;
            return Step::kCertificate;
        }
    }
    s->established = true;
    return Step::kDone;
}

Step Read(Session *s, char *buffer, int size, int *count, bool *clean) {
    *count = 0;
    *clean = false;
    // Records without data (tickets, empty records) are taken in passing, but not without end.
    for (int empty = 0; empty < 64;) {
        if (s->plain_len > 0) {
            int n = s->plain_len < size ? s->plain_len : size;
            std::memcpy(buffer, s->in + s->plain, static_cast<size_t>(n));
            s->plain += n;
            s->plain_len -= n;
            *count = n;
            return Step::kDone;
        }
        if (s->ended) {
            *clean = s->clean;
            return Step::kClosed;
        }
        if (s->broken || !s->established) return Step::kFailed;
        if (s->negotiating || s->out_len > 0) {
            // Answers the server's handshake message before anything else is read.
            Step step = Negotiate(s, nullptr, 0);
            if (step != Step::kDone) {
                s->broken = step == Step::kFailed;
                return step;
            }
        }
        int length = RecordLength(s);
        if (length > kLargestRecord || !CouldBeRecord(s->in + s->raw, s->in_used - s->raw)) {
            s->broken = true;
            return Step::kFailed;
        }
        if (length > 0 && s->in_used - s->raw >= length) {
            if (DecryptRecord(s, length) != Step::kDone) {
                s->broken = true;
                return Step::kFailed;
            }
            if (s->plain_len == 0) ++empty;
            continue;
        }
        Io got = Receive(s);
        if (got == Io::kWait) return Step::kWantRead;
        if (got == Io::kEnd && s->raw == s->in_used) {
            // The connection ended without close_notify between records: an end, though not a
            // clean one (inside a record it is a cut, below).
            s->ended = true;
            return Step::kClosed;
        }
        if (got != Io::kDone) {
            s->broken = true;
            return Step::kFailed;
        }
    }
    s->broken = true;
    return Step::kFailed;
}

Step Write(Session *s, const char *data, int size, int *count) {
    *count = 0;
    if (s->broken || !s->established || s->shut) return Step::kFailed;
    Io flushed = Flush(s);
    if (flushed == Io::kWait) return Step::kWantWrite;
    if (flushed == Io::kFailed) {
        s->broken = true;
        return Step::kFailed;
    }
    if (s->written > 0) {
        // The records made from these bytes at the last call are out now.
        *count = s->written;
        s->written = 0;
        return Step::kDone;
    }
    const int header = static_cast<int>(s->sizes.cbHeader);
    const int trailer = static_cast<int>(s->sizes.cbTrailer);
    const int most = static_cast<int>(s->sizes.cbMaximumMessage);
    int taken = 0;
    while (taken < size && s->out_len + header + trailer + 1 <= kOutSize) {
        int piece = size - taken;
        if (piece > most) piece = most;
        if (piece > kOutSize - s->out_len - header - trailer) piece = kOutSize - s->out_len - header - trailer;
        char *at = s->out + s->out_len;
        std::memcpy(at + header, data + taken, static_cast<size_t>(piece));
        SecBuffer buffers[4] = {{static_cast<unsigned long>(header), SECBUFFER_STREAM_HEADER, at},
                                {static_cast<unsigned long>(piece), SECBUFFER_DATA, at + header},
                                {static_cast<unsigned long>(trailer), SECBUFFER_STREAM_TRAILER, at + header + piece},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        if (EncryptMessage(&s->context, 0, &desc, 0) != SEC_E_OK) {
            s->broken = true;
            return Step::kFailed;
        }
        s->out_len += static_cast<int>(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        taken += piece;
    }
    Io sent = Flush(s);
    if (sent == Io::kFailed) {
        s->broken = true;
        return Step::kFailed;
    }
    if (sent == Io::kWait) {
        s->written = taken;
        return Step::kWantWrite;
    }
    *count = taken;
    return Step::kDone;
}

bool Pending(Session *s) {
    if (s->plain_len > 0 || s->take_message) return true;
    int length = RecordLength(s);
    return length > 0 && s->in_used - s->raw >= length;
}

Step Shutdown(Session *s) {
    // Records already made go first: close_notify comes after them in the stream.
    Io sent = Flush(s);
    if (sent == Io::kWait) return Step::kWantWrite;
    if (sent == Io::kFailed || s->shut || !s->established || s->broken) return Step::kDone;
    s->shut = true;
    s->written = 0;
    DWORD kind = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof(kind), SECBUFFER_TOKEN, &kind};
    SecBufferDesc control_desc{SECBUFFER_VERSION, 1, &control};
    if (ApplyControlToken(&s->context, &control_desc) != SEC_E_OK) return Step::kDone;
    SecBuffer token{0, SECBUFFER_TOKEN, nullptr};
    SECURITY_STATUS status = Initialize(s, nullptr, &token);
    if (FAILED(status) || !Queue(s, &token)) return Step::kDone;
    return Flush(s) == Io::kWait ? Step::kWantWrite : Step::kDone;
}

bool Resumed(Session *s) {
    if (!s->resumable || !s->established) return false;
    SecPkgContext_SessionInfo info{};
    return QueryContextAttributesW(&s->context, SECPKG_ATTR_SESSION_INFO, &info) == SEC_E_OK &&
           (info.dwFlags & SSL_SESSION_RECONNECT) != 0;
}

const char *Version(Session *s) { return s->version; }

void Describe(Session *s, char *out, int size) {
    char cipher[96] = "(cipher unknown)", subject[256] = "(none)";
    SecPkgContext_CipherInfo info{};
    info.dwVersion = SECPKGCONTEXT_CIPHERINFO_V1;
    if (QueryContextAttributesW(&s->context, SECPKG_ATTR_CIPHER_INFO, &info) == SEC_E_OK && info.szCipherSuite[0] != 0) {
        WideCharToMultiByte(CP_UTF8, 0, info.szCipherSuite, -1, cipher, sizeof(cipher), nullptr, nullptr);
    }
    PCCERT_CONTEXT certificate = nullptr;
    if (QueryContextAttributesW(&s->context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) == SEC_E_OK &&
        certificate != nullptr) {
        CertNameToStrA(X509_ASN_ENCODING, &certificate->pCertInfo->Subject, CERT_X500_NAME_STR, subject,
                       sizeof(subject));
        CertFreeCertificateContext(certificate);
    }
    _snprintf(out, static_cast<size_t>(size), "%s, %s, certificate %s", s->version != nullptr ? s->version : "TLS",
              cipher, subject);
    if (size > 0) out[size - 1] = '\0';
}

void Close(Session *s) {
    if (s == nullptr) return;
    if (s->has_context) DeleteSecurityContext(&s->context);
    if (s->shared != nullptr) Release(s->shared);
    std::free(s->in);
    std::free(s->out);
    std::free(s->message);
    delete s;
}

}  // namespace tls
