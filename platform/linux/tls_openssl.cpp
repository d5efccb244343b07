// tls_openssl.cpp -- the TLS seam over OpenSSL 3: TLS 1.2 at least, the system's trust or exactly
// a PEM file's CAs, the host name or address checked, sessions resumed from the control connection.
#include "platform/tls.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <string>

namespace tls {

namespace {

// The sessions a connection's server handed out, for the connections that resume it. A TLS 1.3
// ticket is good for one resumption (servers that keep them in a cache take each back when used),
// and it arrives after the handshake; so every ticket is kept as it comes, on the connection that
// was resumed as well, and each later connection takes a fresh one. Servers whose tickets may
// be used again send none on a resumed connection: with no fresh ticket left, the last one used
// is tried again. A TLS 1.2 session is resumed by its identifier, any number of times.
struct SessionPool {
    std::mutex lock;
    std::deque<SSL_SESSION *> fresh;  // newest last
    SSL_SESSION *last_used = nullptr; // the TLS 1.3 ticket taken last
    SSL_SESSION *reusable = nullptr;  // a TLS 1.2 session
    int references = 1;
};

void Release(SessionPool *pool) {
    bool last;
    {
        std::lock_guard<std::mutex> hold(pool->lock);
        last = --pool->references == 0;
    }
    if (!last) return;
    for (SSL_SESSION *t : pool->fresh) SSL_SESSION_free(t);
    if (pool->last_used != nullptr) SSL_SESSION_free(pool->last_used);
    if (pool->reusable != nullptr) SSL_SESSION_free(pool->reusable);
    delete pool;
}

// Where an SSL object's session pool is found (the callbacks get only the SSL object).
int PoolIndex() {
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, nullptr);
    return index;
}

// OpenSSL hands every new session here; it is ours (return 1) when kept.
int OnNewSession(SSL *ssl, SSL_SESSION *session) {
    auto *pool = static_cast<SessionPool *>(SSL_get_ex_data(ssl, PoolIndex()));
    if (pool == nullptr || !SSL_SESSION_is_resumable(session)) return 0;
    std::lock_guard<std::mutex> hold(pool->lock);
    if (SSL_SESSION_get_protocol_version(session) >= TLS1_3_VERSION) {
        pool->fresh.push_back(session);
        while (pool->fresh.size() > 8) {  // the oldest are the first a server forgets
            SSL_SESSION_free(pool->fresh.front());
            pool->fresh.pop_front();
        }
    } else {
        if (pool->reusable != nullptr) SSL_SESSION_free(pool->reusable);
        pool->reusable = session;
    }
    return 1;
}

// A session to resume, or null: the newest unused ticket, else the reusable TLS 1.2 session.
SSL_SESSION *TakeSession(SessionPool *pool) {
    std::lock_guard<std::mutex> hold(pool->lock);
    if (!pool->fresh.empty()) {
        SSL_SESSION *s = pool->fresh.back();
        pool->fresh.pop_back();
        if (pool->last_used != nullptr) SSL_SESSION_free(pool->last_used);
        pool->last_used = s;
        if (SSL_SESSION_up_ref(s) != 1) pool->last_used = nullptr;
        return s;  // the caller's reference now
    }
    if (pool->last_used != nullptr && SSL_SESSION_up_ref(pool->last_used) == 1) return pool->last_used;
    if (pool->reusable != nullptr && SSL_SESSION_up_ref(pool->reusable) == 1) return pool->reusable;
    return nullptr;
}

void Explain(char *why, int why_size, const std::string &text) {
    if (why != nullptr && why_size > 0) std::snprintf(why, static_cast<size_t>(why_size), "%s", text.c_str());
}

// The first error OpenSSL queued, as text; the queue is emptied.
std::string QueuedError(const char *fallback) {
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return fallback;
    const char *reason = ERR_reason_error_string(code);
    return reason != nullptr ? reason : fallback;
}

// Exactly the CAs of a PEM file as the context's trust; false when none can be read.
bool TrustOnly(SSL_CTX *context, const WCHAR *ca_file) {
    std::string pem;
    if (!ReadSmallFile(ca_file, &pem)) return false;
    X509_STORE *store = X509_STORE_new();
    BIO *bio = BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size()));
    int added = 0;
    if (store != nullptr && bio != nullptr) {
        while (X509 *ca = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr)) {
            added += X509_STORE_add_cert(store, ca) == 1 ? 1 : 0;
            X509_free(ca);
        }
    }
    ERR_clear_error();
    BIO_free(bio);
    if (added == 0) {
        X509_STORE_free(store);
        return false;
    }
    SSL_CTX_set_cert_store(context, store);  // the context owns it now
    return true;
}

// OpenSSL's socket writes would raise SIGPIPE on a connection the peer has closed, ending the
// caller's process: writes go through send with MSG_NOSIGNAL instead, the rest as OpenSSL does it.
int WriteNoSignal(BIO *bio, const char *data, int length) {
    int fd = -1;
    BIO_get_fd(bio, &fd);
    int n = static_cast<int>(::send(fd, data, static_cast<size_t>(length), MSG_NOSIGNAL));
    BIO_clear_retry_flags(bio);
    if (n <= 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) BIO_set_retry_write(bio);
    return n;
}

const BIO_METHOD *SocketMethod() {
    static BIO_METHOD *method = [] {
        const BIO_METHOD *plain = BIO_s_socket();
        BIO_METHOD *m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK | BIO_TYPE_DESCRIPTOR, "zknet socket");
        if (m == nullptr) return m;
        BIO_meth_set_write(m, WriteNoSignal);
        BIO_meth_set_read(m, BIO_meth_get_read(plain));
        BIO_meth_set_puts(m, BIO_meth_get_puts(plain));
        BIO_meth_set_ctrl(m, BIO_meth_get_ctrl(plain));
        BIO_meth_set_create(m, BIO_meth_get_create(plain));
        BIO_meth_set_destroy(m, BIO_meth_get_destroy(plain));
        return m;
    }();
    return method;
}

bool IsAddressText(const char *host) {
    unsigned char address[16];
    return inet_pton(AF_INET, host, address) == 1 || inet_pton(AF_INET6, host, address) == 1;
}

}  // namespace

struct Session {
    SSL_CTX *context;
    SSL *ssl;
    SessionPool *pool;  // shared with the sessions resumed from this one
    std::string host;
    bool resumable;     // the session was asked to resume another
    bool shut;
};

Session *Open(SOCKET s, const Setup &setup, char *why, int why_size) {
    Session *session = new (std::nothrow) Session{};
    if (session == nullptr) {
        Explain(why, why_size, "out of memory");
        return nullptr;
    }
    session->host = setup.host != nullptr ? setup.host : "";
    if (setup.resume != nullptr) {
        // The same context (its trust and checks) as the connection resumed, and its pool.
        session->context = setup.resume->context;
        SSL_CTX_up_ref(session->context);
        session->pool = setup.resume->pool;
        std::lock_guard<std::mutex> hold(session->pool->lock);
        ++session->pool->references;
    } else {
        session->context = SSL_CTX_new(TLS_client_method());
        session->pool = new (std::nothrow) SessionPool();
        bool ready = session->context != nullptr && session->pool != nullptr &&
                     SSL_CTX_set_min_proto_version(session->context, TLS1_2_VERSION) == 1;
        if (ready) {
            SSL_CTX_set_session_cache_mode(session->context, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
            SSL_CTX_sess_set_new_cb(session->context, OnNewSession);
            if (setup.verify) {
                SSL_CTX_set_verify(session->context, SSL_VERIFY_PEER, nullptr);
                ready = setup.ca_file != nullptr ? TrustOnly(session->context, setup.ca_file)
                                                 : SSL_CTX_set_default_verify_paths(session->context) == 1;
                if (!ready) {
                    Explain(why, why_size, setup.ca_file != nullptr ? "the CA file holds no certificate that can be read"
                                                                    : "the system's trusted certificates cannot be read");
                    ERR_clear_error();
                    Close(session);
                    return nullptr;
                }
            }
        }
        if (!ready) {
            Explain(why, why_size, QueuedError("no TLS context"));
            Close(session);
            return nullptr;
        }
    }
    session->ssl = SSL_new(session->context);
    BIO *bio = session->ssl != nullptr && SocketMethod() != nullptr ? BIO_new(SocketMethod()) : nullptr;
    if (bio == nullptr) {
        Explain(why, why_size, QueuedError("no TLS session"));
        Close(session);
        return nullptr;
    }
    BIO_set_fd(bio, s, BIO_NOCLOSE);
    SSL_set_bio(session->ssl, bio, bio);
    SSL_set_ex_data(session->ssl, PoolIndex(), session->pool);
    if (setup.verify && !session->host.empty()) {
        X509_VERIFY_PARAM *param = SSL_get0_param(session->ssl);
        if (IsAddressText(session->host.c_str())) {
            X509_VERIFY_PARAM_set1_ip_asc(param, session->host.c_str());
        } else {
            X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
            X509_VERIFY_PARAM_set1_host(param, session->host.c_str(), 0);
        }
    }
    // The server's name goes out for names only: an address is no name to indicate.
    if (!session->host.empty() && !IsAddressText(session->host.c_str())) {
        SSL_set_tlsext_host_name(session->ssl, session->host.c_str());
    }
    if (setup.resume != nullptr) {
        session->resumable = true;
        SSL_SESSION *earlier = TakeSession(session->pool);
        if (earlier != nullptr) {
            SSL_set_session(session->ssl, earlier);
            SSL_SESSION_free(earlier);
        }
    }
    return session;
}

namespace {

// What an SSL call's failure asks for.
Step Waiting(Session *session, int result, char *why, int why_size, const char *doing) {
    int error = SSL_get_error(session->ssl, result);
    if (error == SSL_ERROR_WANT_READ) return Step::kWantRead;
    if (error == SSL_ERROR_WANT_WRITE) return Step::kWantWrite;
    if (error == SSL_ERROR_ZERO_RETURN) return Step::kClosed;
    Explain(why, why_size, std::string(doing) + ": " + QueuedError(error == SSL_ERROR_SYSCALL ? "the connection broke" : "protocol error"));
    return Step::kFailed;
}

// Why the server's certificate was not taken, in words a caller can act on.
std::string CertificateWhy(long result, const std::string &host) {
    switch (result) {
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return "certificate is not for host " + host;
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return "certificate has expired";
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return "certificate is not valid yet";
        default:
            return std::string("certificate is not trusted (") + X509_verify_cert_error_string(result) + ")";
    }
}

}  // namespace

Step Handshake(Session *session, char *why, int why_size) {
    ERR_clear_error();
    int result = SSL_connect(session->ssl);
    if (result == 1) return Step::kDone;
    long verified = SSL_get_verify_result(session->ssl);
    if (verified != X509_V_OK) {
        ERR_clear_error();
        Explain(why, why_size, CertificateWhy(verified, session->host));
        return Step::kCertificate;
    }
    Step step = Waiting(session, result, why, why_size, "handshake failed");
    return step == Step::kClosed ? Step::kFailed : step;
}

Step Read(Session *session, char *buffer, int size, int *count, bool *clean) {
    *count = 0;
    *clean = false;
    ERR_clear_error();
    size_t got = 0;
    if (SSL_read_ex(session->ssl, buffer, static_cast<size_t>(size), &got) == 1) {
        *count = static_cast<int>(got);
        return Step::kDone;
    }
    int error = SSL_get_error(session->ssl, 0);
    if (error == SSL_ERROR_ZERO_RETURN) {
        *clean = true;
        return Step::kClosed;
    }
    if (error == SSL_ERROR_SSL && ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
        ERR_clear_error();
        // The connection ended without close_notify: between records that is an end, inside one a
        // cut.
        return SSL_has_pending(session->ssl) ? Step::kFailed : Step::kClosed;
    }
    return Waiting(session, 0, nullptr, 0, "read");
}

Step Write(Session *session, const char *data, int size, int *count) {
    *count = 0;
    ERR_clear_error();
    size_t taken = 0;
    if (SSL_write_ex(session->ssl, data, static_cast<size_t>(size), &taken) == 1) {
        *count = static_cast<int>(taken);
        return Step::kDone;
    }
    Step step = Waiting(session, 0, nullptr, 0, "write");
    return step == Step::kClosed ? Step::kFailed : step;
}

bool Pending(Session *session) { return SSL_has_pending(session->ssl) == 1; }

Step Shutdown(Session *session) {
    if (session->shut) return Step::kDone;
    ERR_clear_error();
    int result = SSL_shutdown(session->ssl);
    if (result >= 0) {
        // What the server sends until its own close is still read: servers that hold back their
        // writes (a TLS 1.3 ticket after an upload among them) send them only now, and the next
        // data connection needs that ticket. OpenSSL drops every record but alerts once it knows
        // its close_notify has gone out, so it is told otherwise.
        SSL_set_shutdown(session->ssl, SSL_get_shutdown(session->ssl) & ~SSL_SENT_SHUTDOWN);
        session->shut = true;
        return Step::kDone;
    }
    Step step = Waiting(session, result, nullptr, 0, "close");
    return step == Step::kWantRead || step == Step::kWantWrite ? step : Step::kDone;
}

bool Resumed(Session *session) { return session->resumable && SSL_session_reused(session->ssl) == 1; }

const char *Version(Session *session) { return SSL_get_version(session->ssl); }

void Describe(Session *session, char *out, int size) {
    const SSL_CIPHER *cipher = SSL_get_current_cipher(session->ssl);
    X509 *peer = SSL_get0_peer_certificate(session->ssl);
    char subject[256] = "(none)";
    if (peer != nullptr) X509_NAME_oneline(X509_get_subject_name(peer), subject, sizeof(subject));
    std::snprintf(out, static_cast<size_t>(size), "%s, %s, certificate %s", SSL_get_version(session->ssl),
                  cipher != nullptr ? SSL_CIPHER_get_name(cipher) : "(no cipher)", subject);
}

void Close(Session *session) {
    if (session == nullptr) return;
    if (session->ssl != nullptr) {
        // A connection that ends without our close_notify (a failure) must not take the TLS session
        // it resumed down with it: OpenSSL would mark that session, which the control connection
        // and the other data connections share, as no longer resumable. Since TLS 1.1 a session
        // may be resumed after an end without close_notify.
        SSL_set_shutdown(session->ssl, SSL_get_shutdown(session->ssl) | SSL_SENT_SHUTDOWN);
        SSL_free(session->ssl);
    }
    if (session->context != nullptr) SSL_CTX_free(session->context);
    if (session->pool != nullptr) Release(session->pool);
    delete session;
}

}  // namespace tls
