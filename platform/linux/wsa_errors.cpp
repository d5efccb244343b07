// wsa_errors.cpp -- errno and resolver failures as the WSA error codes Windows would report.
#include <netdb.h>

#include <cerrno>

#include "platform/linux/winsock_map.h"

namespace win {

int WsaFromErrno(int error) {
    switch (error) {
        case EINTR: return 10004;
        case EBADF: return 10038;  // a closed descriptor is "not a socket" to Winsock
        case EACCES: return 10013;
        case EPERM: return 10013;
        case EFAULT: return 10014;
        case EINVAL: return 10022;
        case EMFILE: case ENFILE: return 10024;
        case EAGAIN: return 10035;
        case EINPROGRESS: return 10036;
        case EALREADY: return 10037;
        case ENOTSOCK: return 10038;
        case EDESTADDRREQ: return 10039;
        case EMSGSIZE: return 10040;
        case EPROTOTYPE: return 10041;
        case ENOPROTOOPT: return 10042;
        case EPROTONOSUPPORT: return 10043;
        case ESOCKTNOSUPPORT: return 10044;
        case EOPNOTSUPP: return 10045;
        case EPFNOSUPPORT: return 10046;
        case EAFNOSUPPORT: return 10047;
        case EADDRINUSE: return 10048;
        case EADDRNOTAVAIL: return 10049;
        case ENETDOWN: return 10050;
        case ENETUNREACH: return 10051;
        case ENETRESET: return 10052;
        case ECONNABORTED: return 10053;
        case ECONNRESET: case EPIPE: return 10054;
        case ENOBUFS: case ENOMEM: return 10055;
        case EISCONN: return 10056;
        case ENOTCONN: return 10057;
        case ESHUTDOWN: return 10058;
        case ETIMEDOUT: return 10060;
        case ECONNREFUSED: return 10061;
        case ELOOP: return 10062;
        case ENAMETOOLONG: return 10063;
        case EHOSTDOWN: return 10064;
        case EHOSTUNREACH: return 10065;
        default: return 10022;
    }
}

int WsaFromGai(int error) {
    switch (error) {
        case 0: return 0;
        case EAI_NONAME: return 11001;  // WSAHOST_NOT_FOUND
        case EAI_AGAIN: return 11002;   // WSATRY_AGAIN
        case EAI_FAIL: return 11003;    // WSANO_RECOVERY
#ifdef EAI_NODATA
        case EAI_NODATA: return 11001;
#endif
#ifdef EAI_ADDRFAMILY
        case EAI_ADDRFAMILY: return 11001;
#endif
        case EAI_FAMILY: return 10047;   // WSAEAFNOSUPPORT
        case EAI_SOCKTYPE: return 10044; // WSAESOCKTNOSUPPORT
        case EAI_SERVICE: return 10109;  // WSATYPE_NOT_FOUND
        case EAI_MEMORY: return 8;       // WSA_NOT_ENOUGH_MEMORY
        case EAI_BADFLAGS: return 10022;
        case EAI_OVERFLOW: return 10014;
        case EAI_SYSTEM: return WsaFromErrno(errno);
        default: return 11003;
    }
}

}  // namespace win
