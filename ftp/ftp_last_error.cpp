// ftp_last_error.cpp -- the FTP family's process-wide last error and last reply, and the four
// exports that read and clear them.
#include <cstring>

#include "ftp/ftp_session.h"
#include "ftp/ftp_text.h"

uint32_t FtpLastError = ZK_FTP_OK;
char FtpLastResponse[kFtpReplySize] = {0};

void FtpRecordResponse(const char *text) {
    std::memset(FtpLastResponse, 0, sizeof(FtpLastResponse));
    CopyCutA(FtpLastResponse, kFtpReplySize, text);
}

extern "C" {

ZK_EXPORT uint32_t ZK_API ZK_FtpQueryLastErrorCode(void) { return FtpLastError; }

ZK_EXPORT void ZK_API ZK_FtpClearLastErrorCode(void) { FtpLastError = ZK_FTP_OK; }

// A buffer smaller than the reply gets as much as fits: the start of a reply is its useful part.
ZK_EXPORT int32_t ZK_API ZK_FtpQueryLastResponseMessageA(char *buffer, int32_t size) {
    return CopyCutA(buffer, size, FtpLastResponse);
}

ZK_EXPORT int32_t ZK_API ZK_FtpQueryLastResponseMessageW(zk_wchar_t *buffer, int32_t size) {
    return AnsiToWideCut(FtpLastResponse, buffer, size);
}

}  // extern "C"
