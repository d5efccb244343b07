// last_state.cpp -- the family's last error code and last response, and their exported queries.
#include <cstring>

#include "socket/copy_text.h"
#include "socket/text_helpers.h"
#include "telnet/telnet_session.h"

int32_t TelnetLastError = ZK_TELNET_OK;
char TelnetLastResponse[kTelnetResponseSize];

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_TelnetQueryLastErrorCode(void) { return TelnetLastError; }

ZK_EXPORT void ZK_API ZK_TelnetClearLastErrorCode(void) { TelnetLastError = ZK_TELNET_OK; }

// A response cut to fit would look complete to the caller, so it is copied whole or not at all.
ZK_EXPORT int32_t ZK_API ZK_TelnetQueryLastResponseMessageA(char *out, int32_t size) {
    if (!CopyText(out, size, TelnetLastResponse)) return -1;
    return static_cast<int32_t>(std::strlen(out));
}

ZK_EXPORT int32_t ZK_API ZK_TelnetQueryLastResponseMessageW(zk_wchar_t *out, int32_t size) {
    if (out == nullptr || size <= 0) return -1;
    int32_t units = AnsiToWide(TelnetLastResponse, out, size);
    if (units < 0) return 0;  // an empty store gives an empty text
    if (units == 0) {
        out[0] = 0;  // a failed conversion may have left a part without its terminator
        return -1;
    }
    return units - 1;
}

}  // extern "C"
