// ftp_progress.cpp -- the caller's progress callback for a session's transfers and listings.
#include "ftp/ftp_session.h"

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_FtpSetProgressCallback(FtpSession *session, ZkProgressProc callback, void *user) {
    if (session == nullptr) {
        FtpLastError = ZK_FTP_BAD_SESSION;
        return 0;
    }
    session->progress = callback;
    session->progressUser = callback != nullptr ? user : nullptr;
    return 1;
}

}  // extern "C"
