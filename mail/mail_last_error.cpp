// mail_last_error.cpp -- the mail family's process-wide last error and last reply, and the four
// exports that read and clear them. Sessions on several threads store and read them at once:
// the code is atomic, the reply is stored and copied under a lock.
#include <cstring>
#include <mutex>

#include "mail/mail_session.h"
#include "socket/cut_text.h"

std::atomic<uint32_t> MailLastError{ZK_MAIL_OK};

namespace {
std::mutex response_lock;
char MailLastResponse[kMailReplySize] = {0};
}  // namespace

void MailRecordResponse(const char *text) {
    // Cut into a copy of its own first, so that the lock is held only for the store.
    char cut[kMailReplySize];
    int32_t length = CopyCutA(cut, kMailReplySize, text);
    std::lock_guard<std::mutex> hold(response_lock);
    std::memcpy(MailLastResponse, cut, static_cast<size_t>(length) + 1);
}

int32_t MailCopyResponse(char *dest, int32_t size) {
    char copy[kMailReplySize];
    {
        std::lock_guard<std::mutex> hold(response_lock);
        std::memcpy(copy, MailLastResponse, std::strlen(MailLastResponse) + 1);
    }
    return CopyCutA(dest, size, copy);
}

extern "C" {

ZK_EXPORT uint32_t ZK_API ZK_MailQueryLastErrorCode(void) { return MailLastError; }

ZK_EXPORT void ZK_API ZK_MailClearLastErrorCode(void) { MailLastError = ZK_MAIL_OK; }

// A buffer smaller than the reply gets as much as fits: the start of a reply is its useful part.
ZK_EXPORT int32_t ZK_API ZK_MailQueryLastResponseMessageA(char *buffer, int32_t size) {
    return MailCopyResponse(buffer, size);
}

ZK_EXPORT int32_t ZK_API ZK_MailQueryLastResponseMessageW(zk_wchar_t *buffer, int32_t size) {
    char copy[kMailReplySize];
    MailCopyResponse(copy, kMailReplySize);
    return AnsiToWideCut(copy, buffer, size);
}

}  // extern "C"
