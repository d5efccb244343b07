// netbios.cpp -- the NetBIOS commands the adapter utilities use, answered from the local
// interfaces: adapter number i is the i-th interface with a hardware address.
#include <cstring>
#include <vector>

#include "platform/linux/adapters.h"
#include "platform/netbios.h"

namespace win {

namespace {

constexpr size_t kMaxAdapters = sizeof(LANA_ENUM::lana);
constexpr UCHAR kAsynchFlag = 0x80;
constexpr UCHAR kEthernetAdapter = 0xFE;
constexpr UCHAR kNrcSystem = 0x40;  // the interfaces could not be read

UCHAR Finish(NCB *ncb, UCHAR code) {
    ncb->ncb_retcode = code;
    ncb->ncb_cmd_cplt = code;
    return code;
}

// The adapters as numbered for NetBIOS: never more than a LANA_ENUM can list.
bool Adapters(std::vector<HardwareAdapter> *adapters) {
    if (!ListHardwareAdapters(adapters)) return false;
    if (adapters->size() > kMaxAdapters) adapters->resize(kMaxAdapters);
    return true;
}

UCHAR Enumerate(NCB *ncb) {
    if (ncb->ncb_buffer == nullptr || ncb->ncb_length < sizeof(LANA_ENUM)) return kNrcBufLen;
    std::vector<HardwareAdapter> adapters;
    if (!Adapters(&adapters)) return kNrcSystem;
    LANA_ENUM lanas{};
    lanas.length = static_cast<UCHAR>(adapters.size());
    for (size_t i = 0; i < adapters.size(); ++i) lanas.lana[i] = static_cast<UCHAR>(i);
    std::memcpy(ncb->ncb_buffer, &lanas, sizeof(lanas));
    ncb->ncb_length = sizeof(lanas);
    return kNrcGoodRet;
}

// The adapter behind an adapter number, or false (NRC_BRIDGE) for a number nothing answers to.
bool FindAdapter(UCHAR lana, HardwareAdapter *adapter) {
    std::vector<HardwareAdapter> adapters;
    if (!Adapters(&adapters) || lana >= adapters.size()) return false;
    *adapter = adapters[lana];
    return true;
}

UCHAR Reset(NCB *ncb) {
    HardwareAdapter adapter;
    return FindAdapter(ncb->ncb_lana_num, &adapter) ? kNrcGoodRet : kNrcBridge;
}

// Only the local adapter ("*") is answered: a remote one would need a NetBIOS name query on the
// network, which the stand-in never sends, so it reports the time-out such a query would meet.
UCHAR AdapterStatus(NCB *ncb) {
    HardwareAdapter adapter;
    if (!FindAdapter(ncb->ncb_lana_num, &adapter)) return kNrcBridge;
    if (ncb->ncb_callname[0] != '*') return kNrcCmdTmo;
    if (ncb->ncb_buffer == nullptr || ncb->ncb_length < sizeof(ADAPTER_STATUS)) return kNrcBufLen;
    ADAPTER_STATUS status{};
    std::memcpy(status.adapter_address, adapter.mac, sizeof(status.adapter_address));
    status.rev_major = 3;
    status.adapter_type = kEthernetAdapter;
    status.name_count = 0;  // no NetBIOS names are registered here
    std::memcpy(ncb->ncb_buffer, &status, sizeof(status));
    ncb->ncb_length = sizeof(status);
    return kNrcGoodRet;
}

}  // namespace

UCHAR Netbios(NCB *ncb) {
    if (ncb == nullptr) return kNrcInvAddress;
    if (ncb->ncb_command & kAsynchFlag) return Finish(ncb, kNrcIllCmd);  // only waiting calls are offered
    switch (ncb->ncb_command) {
        case kNcbEnum: return Finish(ncb, Enumerate(ncb));
        case kNcbReset: return Finish(ncb, Reset(ncb));
        case kNcbAstat: return Finish(ncb, AdapterStatus(ncb));
        default: return Finish(ncb, kNrcIllCmd);
    }
}

}  // namespace win
