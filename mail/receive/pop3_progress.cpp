// pop3_progress.cpp -- the caller's progress callback for a POP3 session's retrievals.
#include "mail/mail_session.h"

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_MailSetProgressCallback(MailHandle *handle, ZkProgressProc callback, void *user) {
    if (handle == nullptr || handle->pop3Socket == nullptr) {
        MailLastError = ZK_MAIL_NO_SESSION;
        return 0;
    }
    handle->progress = callback;
    handle->progressUser = callback != nullptr ? user : nullptr;
    return 1;
}

}  // extern "C"
