// mail_last_error.cpp -- the mail family's process-wide last error and last reply, and the four
// exports that read and clear them.
#include <cstring>

#include "mail/mail_session.h"
#include "socket/cut_text.h"

uint32_t MailLastError = ZK_MAIL_OK;
char MailLastResponse[kMailReplySize] = {0};

void MailRecordResponse(const char *text) {
    std::memset(MailLastResponse, 0, sizeof(MailLastResponse));
    CopyCutA(MailLastResponse, kMailReplySize, text);
}

extern "C" {

ZK_EXPORT uint32_t ZK_API ZK_MailQueryLastErrorCode(void) { return MailLastError; }

ZK_EXPORT void ZK_API ZK_MailClearLastErrorCode(void) { MailLastError = ZK_MAIL_OK; }

// A buffer smaller than the reply gets as much as fits: the start of a reply is its useful part.
ZK_EXPORT int32_t ZK_API ZK_MailQueryLastResponseMessageA(char *buffer, int32_t size) {
    return CopyCutA(buffer, size, MailLastResponse);
}

ZK_EXPORT int32_t ZK_API ZK_MailQueryLastResponseMessageW(zk_wchar_t *buffer, int32_t size) {
    return AnsiToWideCut(MailLastResponse, buffer, size);
}

}  // extern "C"
