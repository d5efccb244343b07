// host_info.cpp -- what a given host name or address resolves to: the classic IPv4 look-up and
// the address-info/name-info look-up that also serves IPv6.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "socket/copy_text.h"
#include "socket/socket_handle.h"
#include "socket/text_helpers.h"

namespace {

constexpr int kDottedSize = 32;

void DottedText(const char *address4, char (&out)[kDottedSize]) {
    const auto *b = reinterpret_cast<const unsigned char *>(address4);
    win::FormatA(out, kDottedSize, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
}

win::hostent *ClassicLookup(const char *host) {
    unsigned long parsed = win::inet_addr(host);
    if (parsed != win::kInaddrNone) {
        uint32_t address = static_cast<uint32_t>(parsed);
        return win::gethostbyaddr(reinterpret_cast<const char *>(&address), 4, win::kAfInet);
    }
    return win::gethostbyname(host);
}

// The parts of a classic look-up, as narrow texts; empty where the result has none.
struct ClassicParts {
    const char *name;
    char address[kDottedSize];
    const char *alias;
};

bool ClassicInfo(const char *host, ClassicParts *parts) {
    std::memset(parts, 0, sizeof(*parts));
    win::hostent *entry = ClassicLookup(host);
    if (entry == nullptr) return false;
    parts->name = entry->h_name;
    if (entry->h_addr_list != nullptr && entry->h_addr_list[0] != nullptr && entry->h_length >= 4) {
        DottedText(entry->h_addr_list[0], parts->address);
    }
    if (entry->h_aliases != nullptr) parts->alias = entry->h_aliases[0];
    return true;
}

// Asks the name-info look-up for one text of the address into a caller buffer; on failure the
// buffer is left empty. The size is in units of the buffer.
template <typename Unit, typename Query>
bool NameInfo(Unit *dest, int32_t size, Query query) {
    if (dest == nullptr || size <= 0) return false;
    dest[0] = 0;
    if (query(dest, static_cast<DWORD>(size)) == 0) return true;
    dest[0] = 0;
    return false;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoA(const char *host, char *address, int32_t address_size, char *name,
                                                  int32_t name_size, char *alias, int32_t alias_size) {
    if (host == nullptr) return FailInvalid(0);
    ClassicParts parts;
    if (!ClassicInfo(host, &parts)) return 0;
    bool found = false;
    ClearText(name, name_size);
    if (parts.name != nullptr && parts.name[0] != '\0') found |= CopyText(name, name_size, parts.name);
    ClearText(address, address_size);
    if (parts.address[0] != '\0') found |= CopyText(address, address_size, parts.address);
    if (alias != nullptr) {
        ClearText(alias, alias_size);
        if (parts.alias != nullptr && CopyText(alias, alias_size, parts.alias)) return 1;
    }
    return found ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoW(const zk_wchar_t *host, zk_wchar_t *address, int32_t address_size,
                                                  zk_wchar_t *name, int32_t name_size, zk_wchar_t *alias,
                                                  int32_t alias_size) {
    if (host == nullptr) return FailInvalid(0);
    // Room for the whole converted text: at most two bytes per unit in a double-byte code page.
    std::vector<char> narrow(static_cast<size_t>(WideLength(host)) * 2 + 1, '\0');
    if (WideToAnsi(host, narrow.data(), static_cast<int32_t>(narrow.size())) == 0) return 0;
    ClassicParts parts;
    if (!ClassicInfo(narrow.data(), &parts)) return 0;
    bool found = false;
    ClearTextW(name, name_size);
    if (parts.name != nullptr && name != nullptr) found |= AnsiToWide(parts.name, name, name_size) > 0;
    ClearTextW(address, address_size);
    if (address != nullptr) found |= AnsiToWide(parts.address, address, address_size) > 0;
    if (alias != nullptr) {
        ClearTextW(alias, alias_size);
        if (parts.alias != nullptr && AnsiToWide(parts.alias, alias, alias_size) > 0) return 1;
    }
    return found ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoExA(const char *host, uint16_t family, char *address,
                                                    int32_t address_size, char *name, int32_t name_size,
                                                    char *short_name, int32_t short_size) {
    if (host == nullptr) return FailInvalid(0);
    win::addrinfo hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = family;
    hints.ai_socktype = win::kSockStream;
    win::addrinfo *results = nullptr;
    if (win::getaddrinfo(host, nullptr, &hints, &results) != 0 || results == nullptr) return 0;
    const win::sockaddr *sa = results->ai_addr;
    int sa_length = static_cast<int>(results->ai_addrlen);
    auto ask = [&](int flags) {
        return [=](char *dest, DWORD size) { return win::getnameinfo(sa, sa_length, dest, size, nullptr, 0, flags); };
    };
    bool found = false;
    found |= NameInfo(name, name_size, ask(win::kNiNameReqd));
    found |= NameInfo(address, address_size, ask(win::kNiNumericHost));
    if (short_name != nullptr) found |= NameInfo(short_name, short_size, ask(win::kNiNoFqdn));
    win::freeaddrinfo(results);
    return found ? 1 : 0;
}

ZK_EXPORT int32_t ZK_API ZK_SocketGetAddressInfoExW(const zk_wchar_t *host, uint16_t family, zk_wchar_t *address,
                                                    int32_t address_size, zk_wchar_t *name, int32_t name_size,
                                                    zk_wchar_t *short_name, int32_t short_size) {
    if (host == nullptr) return FailInvalid(0);
    win::ADDRINFOW hints;
    std::memset(&hints, 0, sizeof(hints));
    hints.ai_family = family;
    hints.ai_socktype = win::kSockStream;
    win::ADDRINFOW *results = nullptr;
    if (win::GetAddrInfoW(reinterpret_cast<const WCHAR *>(host), nullptr, &hints, &results) != 0 || results == nullptr) {
        return 0;
    }
    const win::sockaddr *sa = results->ai_addr;
    int sa_length = static_cast<int>(results->ai_addrlen);
    auto ask = [&](int flags) {
        return [=](zk_wchar_t *dest, DWORD size) {
            return win::GetNameInfoW(sa, sa_length, reinterpret_cast<WCHAR *>(dest), size, nullptr, 0, flags);
        };
    };
    // Only a registered name (or short name) makes this form succeed; the numeric text is given
    // but does not count.
    bool found = false;
    found |= NameInfo(name, name_size, ask(win::kNiNameReqd));
    NameInfo(address, address_size, ask(win::kNiNumericHost));
    if (short_name != nullptr) found |= NameInfo(short_name, short_size, ask(win::kNiNoFqdn));
    win::FreeAddrInfoW(results);
    return found ? 1 : 0;
}

}  // extern "C"
