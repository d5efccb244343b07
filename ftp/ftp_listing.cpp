// ftp_listing.cpp -- directory listings over a data connection, returned as line lists.
#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "ftp/ftp_text.h"

namespace {

int Fail(uint32_t code) {
    FtpLastError = code;
    return 0;
}

bool Prepare(FtpSession *session) {
    if (session->passive == 0) {
        if (FtpAnnounceActive(session, 0)) return true;
        session->state.store(kFtpFailed, std::memory_order_release);
        return false;
    }
    char host[kFtpPassiveHostSize];
    uint32_t port = 0;
    if (!FtpPreparePassive(session, 0, host, sizeof(host), &port)) return false;
    session->passivePort = port;
    CopyCutA(session->passiveHost, kFtpPassiveHostSize, host);
    return true;
}

// The command is the whole line; any reply is taken, but one that refuses (4xx, 5xx) means no
// listing will come: that is a failure, not an empty directory.
int SendListCommand(FtpSession *session, const char *command_a, const zk_wchar_t *command_w, bool wide,
                    bool *refused) {
    if (wide) {
        zk_wchar_t reply[kFtpReplySize];
        int ok = FtpCommandW(session->control, command_w, nullptr, ZK_WTEXT(""), reply, kFtpReplySize, false);
        *refused = FtpIsNegativeReplyW(reply);
        return ok;
    }
    char reply[kFtpReplySize];
    int ok = FtpCommandA(session->control, command_a, nullptr, "", reply, kFtpReplySize, false);
    *refused = FtpIsNegativeReplyA(reply);
    return ok;
}

int ReadCompletion(FtpSession *session, bool wide) {
    if (wide) {
        zk_wchar_t reply[kFtpReplySize];
        return FtpReadReplyW(session->control, reply, kFtpReplySize, ZK_WTEXT("226"), kFtpReplyTimeoutMs, false);
    }
    char reply[kFtpReplySize];
    return FtpReadReplyA(session->control, reply, kFtpReplySize, "226", kFtpReplyTimeoutMs, false);
}

int List(FtpSession *session, MStringList *list, const char *command_a, const zk_wchar_t *command_w, bool wide) {
    FtpLastError = 0;
    session->state.store(kFtpPreparing, std::memory_order_release);
    if (!Prepare(session)) return 0;
    bool active = session->passive == 0;
    if (FtpStartWorker(session, FtpJob::kList, wide) == 0) return Fail(12);
    bool refused = false;
    if (!SendListCommand(session, command_a, command_w, wide, &refused)) {
        FtpAbandonWorker(session);
        return 0;
    }
    bool finished = FtpAwaitWorker(session, refused);
    if (refused) return Fail(12);
    int completion;
    if (active) {
        FtpCloseData(session);
        NewActivePort(session);
        completion = ReadCompletion(session, wide);
    } else {
        completion = ReadCompletion(session, wide);
        FtpCloseData(session);
    }
    // A missing completion line still lets the listing stand; a different one does not, and
    // neither does a listing whose data connection had to be called off (it is not complete).
    if (completion == 5 || !finished) return Fail(12);
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
    if (session == nullptr || list == nullptr) return Fail(1);
    if (session->passive > 1) return Fail(1);
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
