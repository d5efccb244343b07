// ftp_listing.cpp -- directory listings over a data connection, returned as line lists.
#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"

namespace {

int Fail(uint32_t code) {
    FtpLastError = code;
    return 0;
}

// The command is the whole line, sent as the verb; any reply is taken, but one that refuses
// (4xx, 5xx) means no listing will come: that is a failure, not an empty directory. The listing
// is read until the server closes the data connection, however long it pauses within the data
// time-out, and the lines are made only from a listing that came whole.
int List(FtpSession *session, MStringList *list, const char *command_a, const zk_wchar_t *command_w, bool wide) {
    FtpLastError = ZK_FTP_OK;
    FtpPhase phase{};
    phase.job = FtpJob::kList;
    phase.wide = wide;
    phase.binary = 0;
    phase.verb_a = command_a;
    phase.verb_w = command_w;
    phase.refusal_code = ZK_FTP_TRANSFER_FAILED;
    if (!FtpRunDataPhase(session, phase)) return 0;
    list->count = 0;
    list->items = nullptr;
    if (session->listingText != nullptr) {
        if (wide) {
            ZK_SocketEditMStringW(session->listingText, list);
        } else {
            ZK_SocketEditMStringA(session->listingText, list);
        }
    }
    return 1;
}

int ListFile(FtpSession *session, MStringList *list, const char *command_a, const zk_wchar_t *command_w, bool wide) {
    if (session == nullptr || list == nullptr) return Fail(ZK_FTP_BAD_SESSION);
    if (session->passive > 1) return Fail(ZK_FTP_BAD_SESSION);
    int result = List(session, list, command_a, command_w, wide);
    FtpResetDataPhase(session);  // releases the received text whatever happened
    return result;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_FtpListFileA(FtpSession *session, MStringList *list, const char *command) {
    return ListFile(session, list, command, nullptr, false);
}

ZK_EXPORT int32_t ZK_API ZK_FtpListFileW(FtpSession *session, MStringList *list, const zk_wchar_t *command) {
    return ListFile(session, list, nullptr, command, true);
}

}  // extern "C"
