// netlink.cpp -- one rtnetlink request and its replies, for the ARP stand-in's route and
// neighbour queries.
#include "platform/linux/netlink.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace win {

namespace {

constexpr int kReplyWaitSeconds = 1;
constexpr size_t kReplyBufferBytes = 32768;

// Reads replies until the kernel says it is done. Returns 0 or an errno value.
int ReadReplies(int fd, unsigned sequence, NetlinkVisitor visit, void *context) {
    alignas(nlmsghdr) char buffer[kReplyBufferBytes];
    for (;;) {
        ssize_t n = recv(fd, buffer, sizeof(buffer), 0);
        if (n < 0) return errno == EAGAIN ? ETIMEDOUT : errno;
        int left = static_cast<int>(n);
        for (const nlmsghdr *m = reinterpret_cast<const nlmsghdr *>(buffer); NLMSG_OK(m, left); m = NLMSG_NEXT(m, left)) {
            if (m->nlmsg_seq != sequence) continue;
            if (m->nlmsg_type == NLMSG_DONE) return 0;
            if (m->nlmsg_type == NLMSG_ERROR) {
                if (m->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr))) return EPROTO;
                return -static_cast<const nlmsgerr *>(NLMSG_DATA(m))->error;  // 0 acknowledges
            }
            if (!visit(m, context)) return 0;
            if ((m->nlmsg_flags & NLM_F_MULTI) == 0) return 0;  // a single answer
        }
    }
}

}  // namespace

int NetlinkExchange(nlmsghdr *request, NetlinkVisitor visit, void *context) {
    int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (fd < 0) return errno;
    timeval wait{kReplyWaitSeconds, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
    static unsigned next_sequence = 1;
    request->nlmsg_seq = __atomic_fetch_add(&next_sequence, 1, __ATOMIC_RELAXED);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    int rc = 0;
    if (sendto(fd, request, request->nlmsg_len, 0, reinterpret_cast<const sockaddr *>(&kernel), sizeof(kernel)) < 0) {
        rc = errno;
    } else {
        rc = ReadReplies(fd, request->nlmsg_seq, visit, context);
    }
    close(fd);
    return rc;
}

bool NetlinkAddAttribute(nlmsghdr *request, size_t capacity, unsigned short type, const void *data, size_t length) {
    size_t at = NLMSG_ALIGN(request->nlmsg_len);
    size_t size = RTA_LENGTH(length);
    if (at + RTA_ALIGN(size) > capacity) return false;
    rtattr *attribute = reinterpret_cast<rtattr *>(reinterpret_cast<char *>(request) + at);
    attribute->rta_type = type;
    attribute->rta_len = static_cast<unsigned short>(size);
    std::memcpy(RTA_DATA(attribute), data, length);
    request->nlmsg_len = static_cast<unsigned>(at + RTA_ALIGN(size));
    return true;
}

const rtattr *NetlinkFindAttribute(const rtattr *first, int length, unsigned short type) {
    for (const rtattr *a = first; RTA_OK(a, length); a = RTA_NEXT(a, length)) {
        if (a->rta_type == type) return a;
    }
    return nullptr;
}

}  // namespace win
