// ftp_directory.cpp -- the name a 257 reply quotes: the current directory (PWD) and the like.
#include <cstring>
#include <vector>

#include "ftp/ftp_exchange.h"
#include "ftp/ftp_parse.h"
#include "ftp/ftp_text.h"
#include "platform/platform.h"
#include "socket/copy_text.h"

namespace {
// Room for a 257 reply: a name as long as any system allows, twice over for its quoting.
constexpr int32_t kDirectoryReplySize = 16 * 1024;

// Whether a byte can end a double-byte character of code page 932; a quote (0x22) never can, so
// a lone lead byte before the closing quote does not hide it.
bool IsTrailByte(char c) {
    auto b = static_cast<unsigned char>(c);
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
}  // namespace

// The text between the first double quote and the last one after it; doubled quotes inside are
// left as they are. A byte that begins a double-byte character is never taken for a quote. A
// reply without the two quotes (one cut before its closing quote, say) names nothing, and a buffer
// without room for the name and its terminator (none at all included) takes nothing: -1.
int32_t ExtractQuotedNameA(char *out, const char *reply, int32_t size) {
    if (out != nullptr && size > 0) out[0] = '\0';
    if (reply == nullptr) return out == nullptr || size <= 0 ? -1 : 0;
    const char *first = nullptr;
    const char *last = nullptr;
    for (const char *p = reply; *p != '\0'; ++p) {
        if (win::IsDBCSLeadByteEx(win::kCpAcp, static_cast<BYTE>(*p)) && IsTrailByte(p[1])) {
            ++p;
            continue;
        }
        if (*p != '"') continue;
        if (first == nullptr) {
            first = p;
        } else {
            last = p;
        }
    }
    if (first == nullptr || last == nullptr) return -1;
    int32_t length = static_cast<int32_t>(last - first - 1);
    if (out == nullptr || length + 1 > size) return -1;
    if (length == 0) return 0;
    std::memcpy(out, first + 1, static_cast<size_t>(length));
    out[length] = '\0';
    return length;
}

int32_t ExtractQuotedNameW(zk_wchar_t *out, const zk_wchar_t *reply, int32_t size) {
    if (out != nullptr && size > 0) out[0] = 0;
    if (reply == nullptr) return out == nullptr || size <= 0 ? -1 : 0;
    const zk_wchar_t *first = nullptr;
    const zk_wchar_t *last = nullptr;
    for (const zk_wchar_t *p = reply; *p != 0; ++p) {
        if (*p != u'"') continue;
        if (first == nullptr) {
            first = p;
        } else {
            last = p;
        }
    }
    if (first == nullptr || last == nullptr) return -1;
    int32_t length = static_cast<int32_t>(last - first - 1);
    if (out == nullptr || length + 1 > size) return -1;
    if (length == 0) return 0;
    std::memcpy(out, first + 1, static_cast<size_t>(length) * sizeof(zk_wchar_t));
    out[length] = 0;
    return length;
}

namespace {
// A name that does not fit the caller's buffer is not handed back cut (that would be another
// directory), nor is an empty one for a reply that quotes none: the buffer stays empty and the
// call fails with the operation's code.
int NameDelivered(int32_t length, bool ok) {
    if (!ok) {
        if (FtpLastError == ZK_FTP_REFUSED) FtpLastError = ZK_FTP_PWD_FAILED;
        return 0;
    }
    if (length < 0) {
        FtpLastError = ZK_FTP_PWD_FAILED;
        return 0;
    }
    return 1;
}
}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_FtpGetDirectoryA(FtpSession *session, char *name, int32_t size, const char *command) {
    ClearText(name, size);
    if (session == nullptr) {
        FtpLastError = ZK_FTP_BAD_SESSION;
        return 0;
    }
    // A deep directory's name may be longer than most replies: the whole line is read for it.
    std::vector<char> reply(kDirectoryReplySize);
    int ok = FtpCommandA(session, command, nullptr, "257", reply.data(), kDirectoryReplySize);
    int32_t length = ok ? ExtractQuotedNameA(name, reply.data(), size) : 0;
    if (length < 0) ClearText(name, size);
    return NameDelivered(length, ok != 0);
}

ZK_EXPORT int32_t ZK_API ZK_FtpGetDirectoryW(FtpSession *session, zk_wchar_t *name, int32_t size,
                                             const zk_wchar_t *command) {
    ClearTextW(name, size);
    if (session == nullptr) {
        FtpLastError = ZK_FTP_BAD_SESSION;
        return 0;
    }
    std::vector<zk_wchar_t> reply(kDirectoryReplySize);
    int ok = FtpCommandW(session, command, nullptr, ZK_WTEXT("257"), reply.data(), kDirectoryReplySize);
    int32_t length = ok ? ExtractQuotedNameW(name, reply.data(), size) : 0;
    if (length < 0) ClearTextW(name, size);
    return NameDelivered(length, ok != 0);
}

}  // extern "C"
