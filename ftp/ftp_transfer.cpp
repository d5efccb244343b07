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

int Fail(uint32_t code) {
    FtpLastError = code;
    return 0;
}

FtpPhase TransferPhase(FtpJob job, const Names &names, uint32_t binary) {
    static const zk_wchar_t kRetr[] = {'R', 'E', 'T', 'R', 0};
    static const zk_wchar_t kStor[] = {'S', 'T', 'O', 'R', 0};
    bool get = job == FtpJob::kGet;
    FtpPhase phase{};
    phase.job = job;
    phase.wide = names.wide;
    phase.binary = binary;
    phase.verb_a = get ? "RETR" : "STOR";
    phase.argument_a = names.remote_a;
    phase.verb_w = get ? kRetr : kStor;
    phase.argument_w = names.remote_w;
    return phase;
}

int Download(FtpSession *session, const Names &names, uint32_t binary) {
    // The size is asked for (and a refusal ends the download) as before, but it only tells how
    // much must arrive at least: the download runs to the server's close.
    uint64_t size = 0;
    if (!FtpQueryFileSize(session, names.remote_a, names.remote_w, names.wide, &size)) return 0;
    session->expectedSize = size;
    session->binary = binary;
    bool active = session->passive == 0;
    FtpPhase phase = TransferPhase(FtpJob::kGet, names, binary);
    // A refused RETR is code 5 in the W form of an active download, which also gives up on a
    // worker that failed before the command (with the transfer's code rather than none); 12
    // elsewhere.
    phase.refusal_code = active && names.wide ? ZK_FTP_REFUSED : ZK_FTP_TRANSFER_FAILED;
    phase.stop_on_failed_worker = active && names.wide;
    if (!FtpRunDataPhase(session, phase)) return 0;
    FtpFileDate date;
    bool dated = names.wide ? ZK_FtpGetFileDateW(session, names.remote_w, &date, 0) == 1
                            : ZK_FtpGetFileDateA(session, names.remote_a, &date, 0) == 1;
    bool stamped = dated && (names.wide ? SetLocalFileTimeW(session->localPathW, &date)
                                        : SetLocalFileTimeA(session->localPathA, &date)) != 0;
    if (!stamped) return Fail(ZK_FTP_DATE_FAILED);
    return 1;
}

int Upload(FtpSession *session, const Names &names, uint32_t binary) {
    session->binary = binary;
    FtpPhase phase = TransferPhase(FtpJob::kPut, names, binary);
    phase.refusal_code = session->passive == 0 ? ZK_FTP_REFUSED : ZK_FTP_TRANSFER_FAILED;
    return FtpRunDataPhase(session, phase);
}

int GetFile(FtpSession *session, const Names &names, const char *local_a, const zk_wchar_t *local_w,
            uint32_t binary) {
    if (session == nullptr) return Fail(ZK_FTP_BAD_SESSION);
    if (session->passive > 1) return Fail(ZK_FTP_BAD_SESSION);
    FtpLastError = ZK_FTP_OK;
    int result = StorePath(session, local_a, local_w, names.wide) ? Download(session, names, binary)
                                                                    : Fail(ZK_FTP_TRANSFER_FAILED);
    FtpResetDataPhase(session);
    return result;
}

int PutFile(FtpSession *session, const Names &names, const char *local_a, const zk_wchar_t *local_w,
            uint32_t binary) {
    if (session == nullptr) return Fail(ZK_FTP_BAD_SESSION);
    // Nothing is sent for a local file that is not there.
    if (!StorePath(session, local_a, local_w, names.wide) || !LocalFileExists(local_a, local_w, names.wide)) {
        return Fail(ZK_FTP_FILE_FAILED);
    }
    if (session->passive > 1) return Fail(ZK_FTP_BAD_SESSION);
    // Once STOR has gone out the server replaces its file, so a local file that cannot be read is
    // found out before anything is sent.
    if (!LocalFileReadable(local_a, local_w, names.wide)) return Fail(ZK_FTP_TRANSFER_FAILED);
    FtpLastError = ZK_FTP_OK;
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
