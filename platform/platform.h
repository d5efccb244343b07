// platform.h -- the one header that includes the operating system's headers; the library reaches
// Winsock, code pages, timing and formatting only through the names declared here.
//
// On Windows the names in namespace `win` are the real Win32 calls. On Linux they are stand-ins
// with the Win32 behaviour the library relies on: Winsock numbering (family 23 for IPv6, level
// 0xFFFF, SO_RCVTIMEO in milliseconds), a per-thread WSA error code, code page 932 as the ANSI
// code page. Library code uses the k-constants below, never the system's own macros, so the same
// numbers mean the same thing in both builds.
#ifndef ZK_PLATFORM_PLATFORM_H
#define ZK_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>

#include "zknet/zkconf.h"

#if defined(_WIN32)
#  include <winsock2.h>
#  include <ws2tcpip.h>
#  include <windows.h>
#  include <nb30.h>
#  include <iphlpapi.h>
#else
#  include <netdb.h>
#  include <netinet/in.h>
#  include <sys/socket.h>
#  include <sys/types.h>

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef unsigned int UINT;
typedef char16_t WCHAR;
typedef int SOCKET;
#endif

namespace win {

// Winsock numbers as the library's interface and Windows use them.
enum : int {
    kAfUnspec = 0,
    kAfInet = 2,
    kAfInet6 = 23,
    kSockStream = 1,
    kSockDgram = 2,
    kSolSocket = 0xFFFF,
    kIpprotoTcp = 6,
    kTcpNoDelay = 1,
    kSoReuseAddr = 4,
    kSoBroadcast = 0x20,
    kSoRcvTimeo = 0x1006,
    kSdSend = 1,
    kSdBoth = 2,
    kMsgPeek = 2,  // receive without taking the bytes (the same number on Linux)
    kAiPassive = 1,
    kAiCanonName = 2,
    kNiNoFqdn = 1,
    kNiNumericHost = 2,
    kNiNameReqd = 4,
    kSocketError = -1,
};
constexpr long kFionRead = 0x4004667FL;
constexpr int kSoMaxConn = 0x7FFFFFFF;
constexpr uint32_t kInaddrNone = 0xFFFFFFFFu;
constexpr UINT kCpAcp = 0;
constexpr UINT kCp932 = 932;
constexpr UINT kCpUtf8 = 65001;

// WSA error codes the library sets or tests for itself.
enum : int {
    kWsaeInval = 10022,
    kWsaeTimedOut = 10060,
    kWsaeConnRefused = 10061,
    kWsaNotInitialised = 10093,
};

#if defined(_WIN32)
constexpr SOCKET kInvalidSocket = INVALID_SOCKET;
using ::ADDRINFOW;
using ::addrinfo;
using ::hostent;
using ::sockaddr;
using ::sockaddr_in;
using ::sockaddr_in6;
using ::sockaddr_storage;
using ::WSADATA;

using ::accept;
using ::bind;
using ::closesocket;
using ::connect;
using ::freeaddrinfo;
using ::FreeAddrInfoW;
using ::getaddrinfo;
using ::GetAddrInfoW;
using ::gethostbyaddr;
using ::gethostbyname;
using ::gethostname;
using ::getnameinfo;
using ::GetNameInfoW;
using ::getpeername;
using ::getsockname;
using ::inet_addr;
using ::ioctlsocket;
using ::listen;
using ::recv;
using ::recvfrom;
using ::send;
using ::sendto;
using ::setsockopt;
using ::shutdown;
using ::socket;
using ::WSACleanup;
using ::WSAGetLastError;
using ::WSASetLastError;
using ::WSAStartup;

using ::GetACP;
using ::GetTickCount;
using ::IsDBCSLeadByteEx;
using ::MultiByteToWideChar;
using ::Sleep;
using ::WideCharToMultiByte;
#else
constexpr SOCKET kInvalidSocket = -1;
using ::addrinfo;
using ::hostent;
using ::sockaddr;
using ::sockaddr_in;
using ::sockaddr_in6;
using ::sockaddr_storage;

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
};

// The UTF-16 form of an address-info result, laid out as Windows lays it out.
struct ADDRINFOW {
    int ai_flags;
    int ai_family;
    int ai_socktype;
    int ai_protocol;
    size_t ai_addrlen;
    WCHAR *ai_canonname;
    sockaddr *ai_addr;
    ADDRINFOW *ai_next;
};

int WSAStartup(WORD version, WSADATA *data);
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int code);

SOCKET socket(int family, int kind, int protocol);
int closesocket(SOCKET s);
int shutdown(SOCKET s, int how);
int connect(SOCKET s, const sockaddr *address, int length);
int bind(SOCKET s, const sockaddr *address, int length);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, sockaddr *address, int *length);
int send(SOCKET s, const char *data, int length, int flags);
int sendto(SOCKET s, const char *data, int length, int flags, const sockaddr *to, int to_length);
int recv(SOCKET s, char *buffer, int length, int flags);
int recvfrom(SOCKET s, char *buffer, int length, int flags, sockaddr *from, int *from_length);
int setsockopt(SOCKET s, int level, int option, const char *value, int length);
int ioctlsocket(SOCKET s, long command, unsigned long *argument);
int getsockname(SOCKET s, sockaddr *address, int *length);
int getpeername(SOCKET s, sockaddr *address, int *length);

unsigned long inet_addr(const char *text);
hostent *gethostbyname(const char *name);
hostent *gethostbyaddr(const char *address, int length, int family);
int gethostname(char *name, int size);
int getaddrinfo(const char *host, const char *service, const addrinfo *hints, addrinfo **result);
void freeaddrinfo(addrinfo *result);
int getnameinfo(const sockaddr *address, int length, char *host, DWORD host_size, char *service,
                DWORD service_size, int flags);
int GetAddrInfoW(const WCHAR *host, const WCHAR *service, const ADDRINFOW *hints, ADDRINFOW **result);
void FreeAddrInfoW(ADDRINFOW *result);
int GetNameInfoW(const sockaddr *address, int length, WCHAR *host, DWORD host_size, WCHAR *service,
                 DWORD service_size, int flags);

UINT GetACP();
BOOL IsDBCSLeadByteEx(UINT code_page, BYTE byte);
int MultiByteToWideChar(UINT code_page, DWORD flags, const char *source, int source_length, WCHAR *dest,
                        int dest_size);
int WideCharToMultiByte(UINT code_page, DWORD flags, const WCHAR *source, int source_length, char *dest,
                        int dest_size, const char *default_char, BOOL *used_default);

void Sleep(DWORD milliseconds);
DWORD GetTickCount();
#endif

// Formats like wsprintfA into `out`, at most 1024 characters as wsprintf writes, and never more
// than `size` bytes including the terminator. Returns the length written.
int FormatA(char *out, int size, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// The same for UTF-16 output of an ASCII format (addresses, numbers); `size` in 16-bit units.
int FormatW(WCHAR *out, int size, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

}  // namespace win

#endif  // ZK_PLATFORM_PLATFORM_H
