// winsock_map.h -- translation between Windows and Linux socket numbering, shared by the Linux
// stand-ins for Winsock and its resolver.
#ifndef ZK_PLATFORM_LINUX_WINSOCK_MAP_H
#define ZK_PLATFORM_LINUX_WINSOCK_MAP_H

#include <sys/socket.h>

namespace win {

// Family numbers: Windows 23 is the host's AF_INET6. A value Linux would read as a family the
// interface does not mean (10, the host's own AF_INET6) is made unusable rather than reinterpreted.
inline int NativeFamily(int family) {
    if (family == 23) return AF_INET6;
    if (family == AF_INET6) return -1;
    return family;
}

inline int WindowsFamily(int family) { return family == AF_INET6 ? 23 : family; }

int WsaFromErrno(int error);
int WsaFromGai(int error);
bool Started();
void SetWsaError(int code);

}  // namespace win

#endif  // ZK_PLATFORM_LINUX_WINSOCK_MAP_H
