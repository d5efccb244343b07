// local_host.cpp -- the local computer's name and its own IPv4 and IPv6 addresses.
#include <cstring>

#include "socket/copy_text.h"
#include "socket/socket_handle.h"
#include "socket/text_helpers.h"

namespace {

constexpr int kLocalNameSize = 260;
constexpr int kDottedSize = 32;

bool LocalName(char (&name)[kLocalNameSize]) {
    std::memset(name, 0, sizeof(name));
    return win::gethostname(name, kLocalNameSize) == 0;
}

// The classic look-up of the local name; null when it cannot be resolved.
win::hostent *LocalHostEntry() {
    char name[kLocalNameSize];
    if (!LocalName(name)) return nullptr;
    win::hostent *entry = win::gethostbyname(name);
    if (entry == nullptr || entry->h_addr_list == nullptr || entry->h_addr_list[0] == nullptr || entry->h_length < 4) {
        return nullptr;
    }
    return entry;
}

const unsigned char *FirstAddress(win::hostent *entry) {
    return reinterpret_cast<const unsigned char *>(entry->h_addr_list[0]);
}

// The first address of the local name's address-info look-up, or null; release with freeaddrinfo.
win::addrinfo *LocalAddressInfo(const char *name, uint16_t family) {
    win::addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_flags = win::kAiCanonName;
    hints.ai_family = family;
    win::addrinfo *results = nullptr;
    if (win::getaddrinfo(name, nullptr, &hints, &results) != 0) return nullptr;
    return results;
}

}  // namespace

extern "C" {

// A result text that does not fit the caller's buffer makes the call fail (0) with the buffer
// left empty, rather than hand back a cut-off name or address.
ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameA(char *name, int32_t name_size, char *address, int32_t address_size) {
    win::hostent *entry = LocalHostEntry();
    if (entry == nullptr) return 0;
    if (name != nullptr && !CopyText(name, name_size, entry->h_name ? entry->h_name : "")) return 0;
    if (address == nullptr) return 1;
    const unsigned char *b = FirstAddress(entry);
    char dotted[kDottedSize];
    win::FormatA(dotted, kDottedSize, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return CopyText(address, address_size, dotted) ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameW(zk_wchar_t *name, int32_t name_size, zk_wchar_t *address,
                                               int32_t address_size) {
    win::hostent *entry = LocalHostEntry();
    if (entry == nullptr) return 0;
    if (name != nullptr && AnsiToWide(entry->h_name ? entry->h_name : "", name, name_size) <= 0) return 0;
    if (address == nullptr) return 1;
    const unsigned char *b = FirstAddress(entry);
    zk_wchar_t dotted[kDottedSize];
    win::FormatW(reinterpret_cast<WCHAR *>(dotted), kDottedSize, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return CopyTextW(address, address_size, dotted) ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameExA(uint16_t family, char *name, int32_t name_size, char *address,
                                                 int32_t address_size) {
    char local[kLocalNameSize];
    if (!LocalName(local)) return 0;
    if (name != nullptr && !CopyText(name, name_size, local)) return 0;
    if (address == nullptr) return 1;
    win::addrinfo *results = LocalAddressInfo(local, family);
    if (results == nullptr) return 1;  // the name has been delivered; the address stays as it was
    ClearText(address, address_size);
    int rc = address_size > 0 ? win::getnameinfo(results->ai_addr, static_cast<int>(results->ai_addrlen), address,
                                                 static_cast<DWORD>(address_size), nullptr, 0, win::kNiNumericHost)
                              : -1;
    win::freeaddrinfo(results);
    if (rc != 0) ClearText(address, address_size);
    return rc == 0 ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetHostNameExW(uint16_t family, zk_wchar_t *name, int32_t name_size,
                                                 zk_wchar_t *address, int32_t address_size) {
    char local[kLocalNameSize];
    if (!LocalName(local)) return 0;
    zk_wchar_t wide[kLocalNameSize];
    if (AnsiToWide(local, wide, kLocalNameSize) <= 0) return 0;
    if (name != nullptr && !CopyTextW(name, name_size, wide)) return 0;
    if (address == nullptr) return 1;
    win::ADDRINFOW hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_flags = win::kAiCanonName;
    hints.ai_family = family;
    win::ADDRINFOW *results = nullptr;
    if (win::GetAddrInfoW(reinterpret_cast<const WCHAR *>(wide), nullptr, &hints, &results) != 0 || results == nullptr) {
        return 1;
    }
    ClearTextW(address, address_size);
    int rc = address_size > 0
                 ? win::GetNameInfoW(results->ai_addr, static_cast<int>(results->ai_addrlen),
                                     reinterpret_cast<WCHAR *>(address), static_cast<DWORD>(address_size), nullptr, 0,
                                     win::kNiNumericHost)
                 : -1;
    win::FreeAddrInfoW(results);
    if (rc != 0) ClearTextW(address, address_size);
    return rc == 0 ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetIPAddress(uint8_t *address4) {
    if (address4 == nullptr) return FailInvalid(0);
    win::hostent *entry = LocalHostEntry();
    if (entry == nullptr) return 0;
    std::memcpy(address4, entry->h_addr_list[0], 4);
    return 1;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetIPAddressV6(uint16_t *groups8) {
    if (groups8 == nullptr) return FailInvalid(0);
    char local[kLocalNameSize];
    if (!LocalName(local)) return 0;
    win::addrinfo *results = LocalAddressInfo(local, win::kAfInet6);
    if (results == nullptr) return 0;
    if (results->ai_addr == nullptr || results->ai_addrlen < sizeof(win::sockaddr_in6)) {
        win::freeaddrinfo(results);
        return 0;
    }
    win::sockaddr_in6 v6;
    std::memcpy(&v6, results->ai_addr, sizeof(v6));
    win::freeaddrinfo(results);
    const auto *bytes = reinterpret_cast<const unsigned char *>(&v6.sin6_addr);
    for (int k = 0; k < 8; ++k) groups8[k] = static_cast<uint16_t>(bytes[2 * k] << 8 | bytes[2 * k + 1]);
    return 1;
}

}  // extern "C"
