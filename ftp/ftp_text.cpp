// ftp_text.cpp -- small text steps of the FTP operations.
#include "ftp/ftp_text.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "socket/text_helpers.h"

int32_t TextAfterFirstSpaceA(const char *reply, char *out, int32_t size) {
    if (out == nullptr || size <= 0) return 0;
    out[0] = '\0';
    const char *blank = reply != nullptr ? std::strchr(reply, ' ') : nullptr;
    return blank != nullptr ? CopyCutA(out, size, blank + 1) : 0;
}

int32_t TextAfterFirstSpaceW(const zk_wchar_t *reply, zk_wchar_t *out, int32_t units) {
    if (out == nullptr || units <= 0) return 0;
    out[0] = 0;
    if (reply == nullptr) return 0;
    for (const zk_wchar_t *p = reply; *p != 0; ++p) {
        if (*p == u' ') return CopyCutW(out, units, p + 1);
    }
    return 0;
}
