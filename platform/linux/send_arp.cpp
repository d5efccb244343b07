// send_arp.cpp -- SendARP over the kernel's neighbour table: an address on a local link is
// answered from its neighbour entry, and a missing entry is prompted by a datagram to the host,
// whose transmission makes the kernel ask the link by ARP.
#include <linux/neighbour.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "platform/linux/adapters.h"
#include "platform/linux/netlink.h"
#include "platform/netbios.h"

namespace win {

namespace {

constexpr int kMacLength = 6;
// The kernel gives up after three unanswered requests a second apart; a little more than that
// bounds the wait when its verdict is not seen.
constexpr DWORD kResolveLimitMs = 4000;
constexpr DWORD kPollMs = 20;
constexpr uint16_t kDiscardPort = 9;

// Where the kernel would send a datagram for the address.
struct RouteAnswer {
    bool found;
    unsigned char type;  // RTN_UNICAST, RTN_LOCAL, ...
    bool via_gateway;
    int interface;
};

bool VisitRoute(const nlmsghdr *message, void *context) {
    auto *answer = static_cast<RouteAnswer *>(context);
    if (message->nlmsg_type != RTM_NEWROUTE) return true;
    const auto *route = static_cast<const rtmsg *>(NLMSG_DATA(message));
    int length = static_cast<int>(RTM_PAYLOAD(message));
    answer->found = true;
    answer->type = route->rtm_type;
    answer->via_gateway = NetlinkFindAttribute(RTM_RTA(route), length, RTA_GATEWAY) != nullptr;
    const rtattr *oif = NetlinkFindAttribute(RTM_RTA(route), length, RTA_OIF);
    if (oif != nullptr && RTA_PAYLOAD(oif) >= sizeof(int)) std::memcpy(&answer->interface, RTA_DATA(oif), sizeof(int));
    return false;
}

bool LookUpRoute(IPAddr destination, RouteAnswer *answer) {
    struct {
        nlmsghdr header;
        rtmsg route;
        char attributes[64];
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
    request.header.nlmsg_type = RTM_GETROUTE;
    request.header.nlmsg_flags = NLM_F_REQUEST;
    request.route.rtm_family = AF_INET;
    request.route.rtm_dst_len = 32;
    if (!NetlinkAddAttribute(&request.header, sizeof(request), RTA_DST, &destination, sizeof(destination))) return false;
    *answer = RouteAnswer{};
    return NetlinkExchange(&request.header, VisitRoute, answer) == 0 && answer->found;
}

// The neighbour entry for an address on one interface.
struct NeighbourAnswer {
    IPAddr address;
    int interface;
    bool found;
    uint16_t state;  // NUD_*
    bool has_mac;
    uint8_t mac[kMacLength];
};

bool VisitNeighbour(const nlmsghdr *message, void *context) {
    auto *answer = static_cast<NeighbourAnswer *>(context);
    if (message->nlmsg_type != RTM_NEWNEIGH) return true;
    const auto *entry = static_cast<const ndmsg *>(NLMSG_DATA(message));
    if (entry->ndm_family != AF_INET || entry->ndm_ifindex != answer->interface) return true;
    int length = static_cast<int>(message->nlmsg_len - NLMSG_LENGTH(sizeof(ndmsg)));
    const rtattr *first = reinterpret_cast<const rtattr *>(reinterpret_cast<const char *>(entry) + NLMSG_ALIGN(sizeof(ndmsg)));
    const rtattr *dst = NetlinkFindAttribute(first, length, NDA_DST);
    if (dst == nullptr || RTA_PAYLOAD(dst) != sizeof(IPAddr) || std::memcmp(RTA_DATA(dst), &answer->address, sizeof(IPAddr)) != 0) {
        return true;
    }
    answer->found = true;
    answer->state = entry->ndm_state;
    const rtattr *lladdr = NetlinkFindAttribute(first, length, NDA_LLADDR);
    answer->has_mac = lladdr != nullptr && RTA_PAYLOAD(lladdr) == kMacLength;
    if (answer->has_mac) std::memcpy(answer->mac, RTA_DATA(lladdr), kMacLength);
    return false;
}

bool LookUpNeighbour(IPAddr address, int interface, NeighbourAnswer *answer) {
    struct {
        nlmsghdr header;
        ndmsg neighbour;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(ndmsg));
    request.header.nlmsg_type = RTM_GETNEIGH;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.neighbour.ndm_family = AF_INET;
    *answer = NeighbourAnswer{};
    answer->address = address;
    answer->interface = interface;
    return NetlinkExchange(&request.header, VisitNeighbour, answer) == 0;
}

// An entry whose hardware address was confirmed at some time; a stale one is still the
// host's address as last heard, as an ARP cache answers.
bool Usable(const NeighbourAnswer &answer) {
    constexpr uint16_t kKnown = NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE | NUD_PERMANENT;
    return answer.found && answer.has_mac && (answer.state & kKnown) != 0;
}

// An empty datagram to the discard port: sending it makes the kernel resolve the address.
bool PromptResolution(IPAddr destination, IPAddr source) {
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = true;
    if (source != 0) {
        ::sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = source;
        ok = ::bind(fd, reinterpret_cast<const ::sockaddr *>(&from), sizeof(from)) == 0;
    }
    ::sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kDiscardPort);
    to.sin_addr.s_addr = destination;
    ok = ok && ::sendto(fd, "", 0, 0, reinterpret_cast<const ::sockaddr *>(&to), sizeof(to)) == 0;
    ::close(fd);
    return ok;
}

DWORD Deliver(const uint8_t *mac, void *out, ULONG *length) {
    std::memcpy(out, mac, kMacLength);
    *length = kMacLength;
    return kNoError;
}

}  // namespace

DWORD SendARP(IPAddr destination, IPAddr source, void *mac, ULONG *length) {
    if (mac == nullptr || length == nullptr) return kErrorInvalidParameter;
    if (*length < kMacLength) return kErrorBufferOverflow;
    if (source != 0 && !LocalAddressMac(source, nullptr)) return kErrorNotFound;
    RouteAnswer route;
    if (!LookUpRoute(destination, &route)) return kErrorBadNetName;
    uint8_t found[kMacLength];
    if (route.type == RTN_LOCAL) {
        return LocalAddressMac(destination, found) ? Deliver(found, mac, length) : kErrorBadNetName;
    }
    // Only hosts on a local link answer ARP; anything beyond a gateway, and broadcast or
    // multicast addresses, have no entry of their own.
    if (route.type != RTN_UNICAST || route.via_gateway || route.interface <= 0) return kErrorBadNetName;
    NeighbourAnswer answer;
    if (LookUpNeighbour(destination, route.interface, &answer) && Usable(answer)) return Deliver(answer.mac, mac, length);
    if (!PromptResolution(destination, source)) return kErrorBadNetName;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kResolveLimitMs) {
        Sleep(kPollMs);
        if (!LookUpNeighbour(destination, route.interface, &answer)) continue;
        if (Usable(answer)) return Deliver(answer.mac, mac, length);
        if (answer.found && (answer.state & (NUD_FAILED | NUD_NOARP)) != 0) break;  // the kernel gave up
    }
    return kErrorBadNetName;
}

}  // namespace win
