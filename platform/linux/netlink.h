// netlink.h -- one request to the kernel's routing service (rtnetlink) and its replies.
#ifndef ZK_PLATFORM_LINUX_NETLINK_H
#define ZK_PLATFORM_LINUX_NETLINK_H

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <cstddef>

namespace win {

// Called for each reply message; returning false stops reading further replies.
typedef bool (*NetlinkVisitor)(const nlmsghdr *message, void *context);

// Sends `request` (its nlmsg_len filled in) and passes every reply to `visit` until the kernel
// ends the reply. Returns 0, or an errno value: the kernel's own refusal or a socket failure.
// Each wait for a reply is bounded, so a silent kernel cannot hold the caller.
int NetlinkExchange(nlmsghdr *request, NetlinkVisitor visit, void *context);

// Appends an attribute to a request whose buffer has `capacity` bytes; false if it does not fit.
bool NetlinkAddAttribute(nlmsghdr *request, size_t capacity, unsigned short type, const void *data, size_t length);

// The attribute of the given type among a message's attributes, or null.
const rtattr *NetlinkFindAttribute(const rtattr *first, int length, unsigned short type);

}  // namespace win

#endif  // ZK_PLATFORM_LINUX_NETLINK_H
