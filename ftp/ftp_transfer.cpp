// ftp_transfer.cpp -- downloads (with the remote time carried over) and uploads, each one data phase.
#include <cstring>

#include "ftp/ftp_data.h"
#include "ftp/ftp_exchange.h"
#include "ftp/ftp_remote.h"
#include "ftp/ftp_text.h"
#include "platform/files.h"
#include "socket/text_helpers.h"

namespace {

// The names of one transfer in the caller's form.
struct Names {
    bool wide;
    const char *remote_a;
    const zk_wchar_t *remote_w;
};

// Stores the local path for the worker; false when it is missing or longer than 259 characters
// (it would not fit the record, and a cut path would name another file).
bool StorePath(FtpSession *session, const char *path_a, const zk_wchar_t *path_w, bool wide) {
    std::memset(session->localPathA, 0, sizeof(session->localPathA));
    std::memset(session->localPathW, 0, sizeof(session->localPathW));
    if (wide) {
        int32_t units = WideLength(path_w);
        if (units == 0 || units >= kFtpPathUnits) return false;
        std::memcpy(session->localPathW, path_w, static_cast<size_t>(units) * sizeof(zk_wchar_t));
        return true;
    }
    size_t length = path_a != nullptr ? std::strlen(path_a) : 0;
    if (length == 0 || length >= static_cast<size_t>(kFtpPathUnits)) return false;
    std::memcpy(session->localPathA, path_a, length);
    return true;
}

// The local file exists and is a file (a folder cannot be uploaded).
bool LocalFileExists(const char *path_a, const zk_wchar_t *path_w, bool wide) {
    win::HANDLE search;
    DWORD attributes = 0;
    if (wide) {
        win::WIN32_FIND_DATAW found;
        search = win::FindFirstFileW(reinterpret_cast<const WCHAR *>(path_w), &found);
        attributes = found.dwFileAttributes;
    } else {
        win::WIN32_FIND_DATAA found;
        search = win::FindFirstFileA(path_a, &found);
        attributes = found.dwFileAttributes;
    }
    if (search == win::InvalidHandle()) return false;
    win::FindClose(search);
    return (attributes & win::kFileAttributeDirectory) == 0;
}

// TYPE and PORT/EPRT (active) or TYPE and PASV/EPSV (passive).
bool PrepareDataPhase(FtpSession *session, uint32_t binary) {
    if (session->passive == 0) {
        if (FtpAnnounceActive(session, binary)) return true;
        session->state.store(kFtpFailed, std::memory_order_release);
        return false;
    }
    char host[kFtpPassiveHostSize];
    uint32_t port = 0;
    if (!FtpPreparePassive(session, binary, host, sizeof(host), &port)) return false;
    session->passivePort = port;
    CopyCutA(session->passiveHost, kFtpPassiveHostSize, host);
    return true;
}

// Sends the transfer command. `refused` tells whether the accepted reply is nonetheless a
// refusal (where any reply is accepted): the server will then neither connect nor complete.
int TransferCommand(FtpSession *session, const char *verb, const Names &names, bool expect150, bool *refused) {
    if (names.wide) {
        zk_wchar_t reply[kFtpReplySize];
        zk_wchar_t verb_w[8] = {0};
        for (int i = 0; verb[i] != '\0' && i < 7; ++i) verb_w[i] = static_cast<zk_wchar_t>(verb[i]);
        int ok = FtpCommandW(session->control, verb_w, names.remote_w, expect150 ? ZK_WTEXT("150") : ZK_WTEXT(""),
                             reply, kFtpReplySize, false);
        *refused = FtpIsNegativeReplyW(reply);
        return ok;
    }
    char reply[kFtpReplySize];
    int ok = FtpCommandA(session->control, verb, names.remote_a, expect150 ? "150" : "", reply, kFtpReplySize, false);
    *refused = FtpIsNegativeReplyA(reply);
    return ok;
}

// The completion reply: 0 when it arrived and holds "226".
int ReadCompletion(FtpSession *session, bool wide) {
    if (wide) {
        zk_wchar_t reply[kFtpReplySize];
        return FtpReadReplyW(session->control, reply, kFtpReplySize, ZK_WTEXT("226"), kFtpReplyTimeoutMs, false);
    }
    char reply[kFtpReplySize];
    return FtpReadReplyA(session->control, reply, kFtpReplySize, "226", kFtpReplyTimeoutMs, false);
}

int Fail(uint32_t code) {
    FtpLastError = code;
    return 0;
}

int Download(FtpSession *session, const Names &names, uint32_t binary) {
    int32_t size = names.wide ? ZK_FtpGetFileSizeW(session, names.remote_w) : ZK_FtpGetFileSizeA(session, names.remote_a);
    if (FtpLastError != 0) return 0;
    session->expectedSize = static_cast<uint32_t>(size);
    session->binary = binary;
    session->state.store(kFtpPreparing, std::memory_order_release);
    if (!PrepareDataPhase(session, binary)) return 0;
    bool active = session->passive == 0;
    uint32_t seen = FtpStartWorker(session, FtpJob::kGet, names.wide);
    if (seen == 0) return Fail(12);
    // Only the W form of an active download gives up on a worker that failed before the data
    // connection was ready; it does so with the transfer's code rather than none.
    if (seen == kFtpFailed && active && names.wide) return Fail(12);
    bool refused = false;
    if (!TransferCommand(session, "RETR", names, active && names.wide, &refused)) {
        FtpAbandonWorker(session);
        return 0;
    }
    bool finished = FtpAwaitWorker(session, refused);
    // A worker that stopped short (its local file failed, or it was called off) leaves the server
    // sending into a connection nobody reads. Closing it first ends the transfer at once, so the
    // server's 426 is read here and not taken later for the reply to the next command.
    if (!refused && (!finished || session->fileResult != 1)) FtpCloseData(session);
    int completion = refused ? 5 : ReadCompletion(session, names.wide);
    FtpCloseData(session);
    if (active) NewActivePort(session);
    // The 226 alone does not prove the data arrived: the local file must be complete too.
    if (completion != 0 || session->fileResult != 1) return Fail(12);
    FtpFileDate date;
    bool dated = names.wide ? ZK_FtpGetFileDateW(session, names.remote_w, &date, 0) == 1
                            : ZK_FtpGetFileDateA(session, names.remote_a, &date, 0) == 1;
    bool stamped = dated && (names.wide ? SetLocalFileTimeW(session->localPathW, &date)
                                        : SetLocalFileTimeA(session->localPathA, &date)) != 0;
    if (!stamped) return Fail(13);
    return 1;
}

int Upload(FtpSession *session, const Names &names, uint32_t binary) {
    session->binary = binary;
    session->state.store(kFtpPreparing, std::memory_order_release);
    if (!PrepareDataPhase(session, binary)) return 0;
    bool active = session->passive == 0;
    if (FtpStartWorker(session, FtpJob::kPut, names.wide) == 0) return Fail(12);
    bool refused = false;
    if (!TransferCommand(session, "STOR", names, active, &refused)) {
        FtpAbandonWorker(session);
        return 0;
    }
    FtpAwaitWorker(session, refused);
    FtpCloseData(session);  // the server takes the close as the end of the file
    if (active) NewActivePort(session);
    if (refused) return Fail(12);
    int completion = ReadCompletion(session, names.wide);
    // A file that could not be read to its end was cut short on the server, whatever it says.
    if (completion != 0 || session->fileResult != 1) return Fail(12);
    return 1;
}

int GetFile(FtpSession *session, const Names &names, const char *local_a, const zk_wchar_t *local_w,
            uint32_t binary) {
    if (session == nullptr) return Fail(1);
    if (session->passive > 1) return Fail(1);
    FtpLastError = 0;
    int result = StorePath(session, local_a, local_w, names.wide) ? Download(session, names, binary) : Fail(12);
    FtpResetDataPhase(session);
    return result;
}

int PutFile(FtpSession *session, const Names &names, const char *local_a, const zk_wchar_t *local_w,
            uint32_t binary) {
    if (session == nullptr) return Fail(1);
    // Nothing is sent for a local file that is not there.
    if (!StorePath(session, local_a, local_w, names.wide) || !LocalFileExists(local_a, local_w, names.wide)) {
        return Fail(11);
    }
    if (session->passive > 1) return Fail(1);
    // Once STOR has gone out the server replaces its file, so a local file that cannot be read is
    // found out before anything is sent.
    if (!LocalFileReadable(local_a, local_w, names.wide)) return Fail(12);
    FtpLastError = 0;
    int result = Upload(session, names, binary);
    FtpResetDataPhase(session);
    return result;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_FtpGetFileA(FtpSession *session, const char *remote_name, const char *local_path,
                                        uint32_t binary) {
    return GetFile(session, Names{false, remote_name, nullptr}, local_path, nullptr, binary);
}

ZK_EXPORT int32_t ZK_API ZK_FtpGetFileW(FtpSession *session, const zk_wchar_t *remote_name,
                                        const zk_wchar_t *local_path, uint32_t binary) {
    return GetFile(session, Names{true, nullptr, remote_name}, nullptr, local_path, binary);
}

ZK_EXPORT int32_t ZK_API ZK_FtpPutFileA(FtpSession *session, const char *local_path, const char *remote_name,
                                        uint32_t binary) {
    return PutFile(session, Names{false, remote_name, nullptr}, local_path, nullptr, binary);
}

ZK_EXPORT int32_t ZK_API ZK_FtpPutFileW(FtpSession *session, const zk_wchar_t *local_path,
                                        const zk_wchar_t *remote_name, uint32_t binary) {
    return PutFile(session, Names{true, nullptr, remote_name}, nullptr, local_path, binary);
}

}  // extern "C"
