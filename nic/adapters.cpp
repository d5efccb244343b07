// adapters.cpp -- the number of local adapters and their MAC addresses, as NetBIOS lists them.
#include <cstring>

#include "platform/netbios.h"
#include "zknet/nic.h"

namespace {

constexpr uint32_t kMaxSlots = 16;
constexpr int kMacLength = 6;
constexpr char kLocalAdapterName[] = "*               ";  // the wildcard: the adapter itself

// The status of an adapter followed by room for its registered names: 600 bytes in all.
struct AdapterStatusBlock {
    win::ADAPTER_STATUS adapter;
    win::NAME_BUFFER names[30];
};
static_assert(sizeof(AdapterStatusBlock) == 600, "the status buffer holds 600 bytes");

bool EnumerateAdapters(win::LANA_ENUM *lanas) {
    win::NCB ncb;
    std::memset(&ncb, 0, sizeof(ncb));
    std::memset(lanas, 0, sizeof(*lanas));
    ncb.ncb_command = win::kNcbEnum;
    ncb.ncb_buffer = reinterpret_cast<win::UCHAR *>(lanas);
    ncb.ncb_length = sizeof(*lanas);
    return win::Netbios(&ncb) == win::kNrcGoodRet;
}

bool ResetAdapter(win::UCHAR lana) {
    win::NCB ncb;
    std::memset(&ncb, 0, sizeof(ncb));
    ncb.ncb_command = win::kNcbReset;
    ncb.ncb_lana_num = lana;
    return win::Netbios(&ncb) == win::kNrcGoodRet;
}

bool ReadAdapterStatus(win::UCHAR lana, AdapterStatusBlock *status) {
    win::NCB ncb;
    std::memset(&ncb, 0, sizeof(ncb));
    std::memset(status, 0, sizeof(*status));
    ncb.ncb_command = win::kNcbAstat;
    ncb.ncb_lana_num = lana;
    std::memcpy(ncb.ncb_callname, kLocalAdapterName, win::kNcbNameSize);
    ncb.ncb_buffer = reinterpret_cast<win::UCHAR *>(status);
    ncb.ncb_length = sizeof(*status);
    return win::Netbios(&ncb) == win::kNrcGoodRet;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_NicGetNicNumber(void) {
    win::LANA_ENUM lanas;
    if (!EnumerateAdapters(&lanas)) return -1;
    return lanas.length;
}

// A failure part-way keeps the slots filled so far, with their count, for the caller to use.
ZK_EXPORT int32_t ZK_API ZK_NicGetMacAddress(MacAddressList *list) {
    if (list == nullptr) return 0;
    std::memset(list, 0, sizeof(*list));
    win::LANA_ENUM lanas;
    if (!EnumerateAdapters(&lanas)) return 0;
    uint32_t count = lanas.length < kMaxSlots ? lanas.length : kMaxSlots;
    for (uint32_t i = 0; i < count; ++i) {
        AdapterStatusBlock status;
        if (!ResetAdapter(lanas.lana[i]) || !ReadAdapterStatus(lanas.lana[i], &status)) return 0;
        list->count += 1;
        std::memcpy(list->addresses[i], status.adapter.adapter_address, kMacLength);
    }
    return 1;
}

}  // extern "C"
