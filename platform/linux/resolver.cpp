// resolver.cpp -- Winsock's name and address look-ups over glibc's resolver: the classic
// per-thread hostent calls, getaddrinfo/getnameinfo with Windows numbering, and their UTF-16 forms.
#include <arpa/inet.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "platform/linux/winsock_map.h"
#include "platform/platform.h"

namespace win {

namespace {
// Windows keeps one hostent per thread; so do we.
struct HostentSlot {
    hostent entry;
    char buffer[16384];
};
thread_local HostentSlot t_hostent;

constexpr int kHostNotFound = 11001;

int WsaFromHerrno(int error) {
    switch (error) {
        case HOST_NOT_FOUND: return 11001;
        case TRY_AGAIN: return 11002;
        case NO_RECOVERY: return 11003;
        case NO_DATA: return 11004;
        default: return 11003;
    }
}

int NativeAiFlags(int flags) {
    int native = 0;
    if (flags & kAiPassive) native |= AI_PASSIVE;
    if (flags & kAiCanonName) native |= AI_CANONNAME;
    if (flags & 4) native |= AI_NUMERICHOST;
    return native;
}

int NativeNiFlags(int flags) {
    int native = 0;
    if (flags & kNiNoFqdn) native |= NI_NOFQDN;
    if (flags & kNiNumericHost) native |= NI_NUMERICHOST;
    if (flags & kNiNameReqd) native |= NI_NAMEREQD;
    if (flags & 8) native |= NI_NUMERICSERV;
    if (flags & 16) native |= NI_DGRAM;
    return native;
}

// Results leave here in Windows numbering, so that the library can hand them back unchanged.
void ToWindowsNumbering(addrinfo *list) {
    for (addrinfo *p = list; p != nullptr; p = p->ai_next) {
        p->ai_family = WindowsFamily(p->ai_family);
        if (p->ai_addr != nullptr) p->ai_addr->sa_family = static_cast<sa_family_t>(WindowsFamily(p->ai_addr->sa_family));
    }
}

int NativeAddress(const sockaddr *address, int length, sockaddr_storage &out) {
    if (address == nullptr || length < static_cast<int>(sizeof(sa_family_t)) ||
        length > static_cast<int>(sizeof(out))) {
        return -1;
    }
    std::memset(&out, 0, sizeof(out));
    std::memcpy(&out, address, static_cast<size_t>(length));
    out.ss_family = static_cast<sa_family_t>(NativeFamily(address->sa_family));
    return length;
}

std::vector<char> Utf8Of(const WCHAR *text) {
    std::vector<char> out;
    if (text == nullptr) return out;
    int n = WideCharToMultiByte(kCpUtf8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    out.resize(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    if (n > 0) WideCharToMultiByte(kCpUtf8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

int Utf16Into(const char *text, WCHAR *out, DWORD size) {
    int n = MultiByteToWideChar(kCpUtf8, 0, text, -1, nullptr, 0);
    if (n <= 0 || static_cast<DWORD>(n) > size) return 10014;  // WSAEFAULT: the buffer is too small
    MultiByteToWideChar(kCpUtf8, 0, text, -1, out, n);
    return 0;
}
}  // namespace

unsigned long inet_addr(const char *text) {
    if (text == nullptr) return kInaddrNone;
    in_addr parsed{};
    if (::inet_aton(text, &parsed) == 0) return kInaddrNone;
    return parsed.s_addr;
}

int gethostname(char *name, int size) {
    if (!Started()) {
        SetWsaError(kWsaNotInitialised);
        return kSocketError;
    }
    if (name == nullptr || size <= 0) {
        SetWsaError(10014);
        return kSocketError;
    }
    char local[256] = {};
    if (::gethostname(local, sizeof(local) - 1) != 0) {
        SetWsaError(WsaFromErrno(errno));
        return kSocketError;
    }
    size_t length = std::strlen(local);
    if (length + 1 > static_cast<size_t>(size)) {
        SetWsaError(10014);
        return kSocketError;
    }
    std::memcpy(name, local, length + 1);
    return 0;
}

hostent *gethostbyname(const char *name) {
    if (!Started()) {
        SetWsaError(kWsaNotInitialised);
        return nullptr;
    }
    char local[256];
    // Windows answers a missing or empty name with the local computer.
    if (name == nullptr || name[0] == '\0') {
        if (gethostname(local, sizeof(local)) != 0) return nullptr;
        name = local;
    }
    hostent *result = nullptr;
    int herr = 0;
    int rc = ::gethostbyname_r(name, &t_hostent.entry, t_hostent.buffer, sizeof(t_hostent.buffer), &result, &herr);
    if (rc != 0 || result == nullptr) {
        SetWsaError(rc == ERANGE ? 10055 : (result == nullptr && rc == 0 ? WsaFromHerrno(herr) : kHostNotFound));
        return nullptr;
    }
    return result;
}

hostent *gethostbyaddr(const char *address, int length, int family) {
    if (!Started()) {
        SetWsaError(kWsaNotInitialised);
        return nullptr;
    }
    if (address == nullptr) {
        SetWsaError(10014);
        return nullptr;
    }
    int native = NativeFamily(family);
    if ((native == AF_INET && length < 4) || (native == AF_INET6 && length < 16)) {
        SetWsaError(10014);
        return nullptr;
    }
    hostent *result = nullptr;
    int herr = 0;
    int rc = ::gethostbyaddr_r(address, static_cast<socklen_t>(length), native, &t_hostent.entry, t_hostent.buffer,
                               sizeof(t_hostent.buffer), &result, &herr);
    if (rc != 0 || result == nullptr) {
        SetWsaError(rc == ERANGE ? 10055 : WsaFromHerrno(herr));
        return nullptr;
    }
    result->h_addrtype = WindowsFamily(result->h_addrtype);
    return result;
}

int getaddrinfo(const char *host, const char *service, const addrinfo *hints, addrinfo **result) {
    if (result == nullptr) {
        SetWsaError(10022);
        return 10022;
    }
    *result = nullptr;
    if (!Started()) {
        SetWsaError(kWsaNotInitialised);
        return kWsaNotInitialised;
    }
    addrinfo native_hints{};
    if (hints != nullptr) {
        native_hints.ai_flags = NativeAiFlags(hints->ai_flags);
        native_hints.ai_family = NativeFamily(hints->ai_family);
        native_hints.ai_socktype = hints->ai_socktype;
        native_hints.ai_protocol = hints->ai_protocol;
        if (native_hints.ai_family < 0) {
            SetWsaError(10047);
            return 10047;
        }
    }
    int rc = ::getaddrinfo(host, service, hints != nullptr ? &native_hints : nullptr, result);
    if (rc != 0) {
        *result = nullptr;
        int code = WsaFromGai(rc);
        SetWsaError(code);
        return code;
    }
    ToWindowsNumbering(*result);
    return 0;
}

void freeaddrinfo(addrinfo *result) {
    if (result != nullptr) ::freeaddrinfo(result);
}

int getnameinfo(const sockaddr *address, int length, char *host, DWORD host_size, char *service, DWORD service_size,
                int flags) {
    sockaddr_storage native;
    if (NativeAddress(address, length, native) < 0) {
        SetWsaError(10014);
        return 10014;
    }
    int rc = ::getnameinfo(reinterpret_cast<sockaddr *>(&native), static_cast<socklen_t>(length), host, host_size,
                           service, service_size, NativeNiFlags(flags));
    if (rc != 0) {
        int code = WsaFromGai(rc);
        SetWsaError(code);
        return code;
    }
    return 0;
}

int GetAddrInfoW(const WCHAR *host, const WCHAR *service, const ADDRINFOW *hints, ADDRINFOW **result) {
    if (result == nullptr) {
        SetWsaError(10022);
        return 10022;
    }
    *result = nullptr;
    std::vector<char> host8 = Utf8Of(host);
    std::vector<char> service8 = Utf8Of(service);
    addrinfo narrow_hints{};
    if (hints != nullptr) {
        narrow_hints.ai_flags = hints->ai_flags;
        narrow_hints.ai_family = hints->ai_family;
        narrow_hints.ai_socktype = hints->ai_socktype;
        narrow_hints.ai_protocol = hints->ai_protocol;
    }
    addrinfo *list = nullptr;
    int rc = win::getaddrinfo(host ? host8.data() : nullptr, service ? service8.data() : nullptr,
                         hints ? &narrow_hints : nullptr, &list);
    if (rc != 0) return rc;
    // Copy into UTF-16 records, each holding its address and name in the same allocation.
    ADDRINFOW *head = nullptr;
    ADDRINFOW **tail = &head;
    for (addrinfo *p = list; p != nullptr; p = p->ai_next) {
        int name_units = p->ai_canonname ? MultiByteToWideChar(kCpUtf8, 0, p->ai_canonname, -1, nullptr, 0) : 0;
        if (name_units < 0) name_units = 0;
        size_t bytes = sizeof(ADDRINFOW) + p->ai_addrlen + static_cast<size_t>(name_units) * sizeof(WCHAR) + 8;
        char *block = static_cast<char *>(std::calloc(1, bytes));
        if (block == nullptr) {
            FreeAddrInfoW(head);
            win::freeaddrinfo(list);
            SetWsaError(8);
            return 8;
        }
        ADDRINFOW *node = reinterpret_cast<ADDRINFOW *>(block);
        node->ai_flags = p->ai_flags;
        node->ai_family = p->ai_family;
        node->ai_socktype = p->ai_socktype;
        node->ai_protocol = p->ai_protocol;
        node->ai_addrlen = p->ai_addrlen;
        node->ai_addr = reinterpret_cast<sockaddr *>(block + sizeof(ADDRINFOW));
        std::memcpy(node->ai_addr, p->ai_addr, p->ai_addrlen);
        if (name_units > 0) {
            size_t offset = sizeof(ADDRINFOW) + p->ai_addrlen;
            offset = (offset + 1) & ~static_cast<size_t>(1);
            node->ai_canonname = reinterpret_cast<WCHAR *>(block + offset);
            MultiByteToWideChar(kCpUtf8, 0, p->ai_canonname, -1, node->ai_canonname, name_units);
        }
        *tail = node;
        tail = &node->ai_next;
    }
    win::freeaddrinfo(list);
    *result = head;
    return 0;
}

void FreeAddrInfoW(ADDRINFOW *result) {
    while (result != nullptr) {
        ADDRINFOW *next = result->ai_next;
        std::free(result);
        result = next;
    }
}

int GetNameInfoW(const sockaddr *address, int length, WCHAR *host, DWORD host_size, WCHAR *service,
                 DWORD service_size, int flags) {
    char host8[1025] = {};
    char service8[64] = {};
    int rc = getnameinfo(address, length, host ? host8 : nullptr, host ? sizeof(host8) : 0,
                         service ? service8 : nullptr, service ? sizeof(service8) : 0, flags);
    if (rc != 0) return rc;
    if (host != nullptr && (rc = Utf16Into(host8, host, host_size)) != 0) {
        SetWsaError(rc);
        return rc;
    }
    if (service != nullptr && (rc = Utf16Into(service8, service, service_size)) != 0) {
        SetWsaError(rc);
        return rc;
    }
    return 0;
}

}  // namespace win
