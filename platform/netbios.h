// netbios.h -- the NetBIOS adapter queries and the ARP look-up the adapter utilities rely on.
//
// On Windows these are the real Netbios (NETAPI32) and SendARP (IPHLPAPI) with the records of
// nb30.h. On Linux they are stand-ins with the same record layouts: the adapters are the
// interfaces that have a 6-byte hardware address (loopback excluded), numbered 0, 1, ... in
// interface-index order, and SendARP answers from the kernel's neighbour table, prompting a
// resolution on the local link when the entry is missing.
#ifndef ZK_PLATFORM_NETBIOS_H
#define ZK_PLATFORM_NETBIOS_H

#include "platform/platform.h"

namespace win {

// NetBIOS commands and return codes, the same numbers on both platforms.
enum : uint8_t {
    kNcbReset = 0x32,
    kNcbAstat = 0x33,
    kNcbEnum = 0x37,
    kNrcGoodRet = 0x00,
    kNrcBufLen = 0x01,
    kNrcIllCmd = 0x03,
    kNrcCmdTmo = 0x05,
    kNrcBridge = 0x23,
    kNrcInvAddress = 0x39,
};
constexpr int kNcbNameSize = 16;

// SendARP results the library or its tests look at.
enum : DWORD {
    kNoError = 0,
    kErrorNotSupported = 50,
    kErrorBadNetName = 67,
    kErrorInvalidParameter = 87,
    kErrorBufferOverflow = 111,
    kErrorNotFound = 1168,
};

#if defined(_WIN32)
using ::ADAPTER_STATUS;
using ::IPAddr;
using ::LANA_ENUM;
using ::NAME_BUFFER;
using ::NCB;
using ::UCHAR;
using ::ULONG;

using ::Netbios;
using ::SendARP;
#else
typedef uint8_t UCHAR;
typedef uint32_t ULONG;
typedef uint32_t IPAddr;  // an IPv4 address in network order

// The network control block, field for field as nb30.h has it.
struct NCB {
    UCHAR ncb_command;
    UCHAR ncb_retcode;
    UCHAR ncb_lsn;
    UCHAR ncb_num;
    UCHAR *ncb_buffer;
    WORD ncb_length;
    UCHAR ncb_callname[kNcbNameSize];
    UCHAR ncb_name[kNcbNameSize];
    UCHAR ncb_rto;
    UCHAR ncb_sto;
    void (*ncb_post)(NCB *);
    UCHAR ncb_lana_num;
    UCHAR ncb_cmd_cplt;
    UCHAR ncb_reserve[10];
    void *ncb_event;
};

// The adapter numbers NCBENUM lists: a count, then up to 255 numbers.
struct LANA_ENUM {
    UCHAR length;
    UCHAR lana[255];
};

// What NCBASTAT reports of an adapter; the MAC address comes first.
struct ADAPTER_STATUS {
    UCHAR adapter_address[6];
    UCHAR rev_major;
    UCHAR reserved0;
    UCHAR adapter_type;
    UCHAR rev_minor;
    WORD duration;
    WORD frmr_recv;
    WORD frmr_xmit;
    WORD iframe_recv_err;
    WORD xmit_aborts;
    DWORD xmit_success;
    DWORD recv_success;
    WORD iframe_xmit_err;
    WORD recv_buff_unavail;
    WORD t1_timeouts;
    WORD ti_timeouts;
    DWORD reserved1;
    WORD free_ncbs;
    WORD max_cfg_ncbs;
    WORD max_ncbs;
    WORD xmit_buf_unavail;
    WORD max_dgram_size;
    WORD pending_sess;
    WORD max_cfg_sess;
    WORD max_sess;
    WORD max_sess_pkt_size;
    WORD name_count;
};

// One registered name in the list that may follow ADAPTER_STATUS.
struct NAME_BUFFER {
    UCHAR name[kNcbNameSize];
    UCHAR name_num;
    UCHAR name_flags;
};

// Runs one synchronous NetBIOS command: NCBENUM, NCBRESET and NCBASTAT of the local adapter
// ("*" as call name). Returns the NRC code, also stored in ncb_retcode and ncb_cmd_cplt.
UCHAR Netbios(NCB *ncb);

// The hardware address of an IPv4 host on a local link (or of a local address itself), at most
// *length bytes into `mac`, *length set to 6. Returns 0 or a Windows error code: 67 when nobody
// answers within about four seconds or the host is not on a local link.
DWORD SendARP(IPAddr destination, IPAddr source, void *mac, ULONG *length);
#endif

static_assert(sizeof(LANA_ENUM) == 256, "LANA_ENUM is a count byte and 255 adapter numbers");
static_assert(sizeof(ADAPTER_STATUS) == 60, "ADAPTER_STATUS keeps its published layout");
static_assert(sizeof(NAME_BUFFER) == 18, "NAME_BUFFER keeps its published layout");

}  // namespace win

#endif  // ZK_PLATFORM_NETBIOS_H
