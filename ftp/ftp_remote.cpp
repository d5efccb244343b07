// ftp_remote.cpp -- the remote file and directory commands: CWD, MKD, RMD, rename, DELE, SIZE, MDTM.
#include "ftp/ftp_remote.h"

#include <cstring>

#include "ftp/ftp_exchange.h"
#include "ftp/ftp_session.h"
#include "ftp/ftp_text.h"

namespace {

bool SessionGiven(FtpSession *session) {
    if (session != nullptr) return true;
    FtpLastError = ZK_FTP_BAD_SESSION;
    return false;
}

// One exchange; a reply without the expected code takes the operation's own code.
int SingleA(FtpSession *session, const char *verb, const char *argument, const char *expected, uint32_t code) {
    if (!SessionGiven(session)) return 0;
    int ok = FtpCommandA(session, verb, argument, expected, nullptr, 0);
    if (!ok && FtpLastError == ZK_FTP_REFUSED) FtpLastError = code;
    return ok;
}

int SingleW(FtpSession *session, const zk_wchar_t *verb, const zk_wchar_t *argument, const zk_wchar_t *expected,
            uint32_t code) {
    if (!SessionGiven(session)) return 0;
    int ok = FtpCommandW(session, verb, argument, expected, nullptr, 0);
    if (!ok && FtpLastError == ZK_FTP_REFUSED) FtpLastError = code;
    return ok;
}

bool SizeFromReply(const char *reply, uint64_t *size) {
    char text[kFtpReplySize];
    TextAfterFirstSpaceA(reply, text, kFtpReplySize);
    return ParseFileSize(text, size);
}

// The query's 32-bit result: sizes of 2 GiB and more saturate at 2147483647.
int32_t SizeResult(int ok, uint64_t size) {
    if (!ok) return 0;
    return size > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(size);
}

int DateFromReply(const char *reply, FtpFileDate *date, uint32_t shift) {
    char text[kFtpReplySize];
    TextAfterFirstSpaceA(reply, text, kFtpReplySize);
    if (!ParseFtpTime(text, date)) {
        FtpLastError = ZK_FTP_FILE_FAILED;
        return 0;
    }
    if (shift == 1) ShiftNineHours(date);
    return 1;
}

void ClearDate(FtpFileDate *date) {
    if (date != nullptr) std::memset(date, 0, sizeof(*date));
}

}  // namespace

bool ParseFileSize(const char *text, uint64_t *size) {
    *size = 0;
    if (text == nullptr) return false;
    const char *p = text;
    while (*p == ' ' || *p == '\t') ++p;
    constexpr uint64_t kLimit = 9223372036854775807ULL;
    uint64_t value = 0;
    const char *digits = p;
    for (; *p >= '0' && *p <= '9'; ++p) {
        uint64_t digit = static_cast<uint64_t>(*p - '0');
        if (value > (kLimit - digit) / 10) return false;
        value = value * 10 + digit;
    }
    if (p == digits || (*p != '\0' && *p != ' ' && *p != '\t')) return false;
    *size = value;
    return true;
}

int FtpQueryFileSize(FtpSession *session, const char *file_a, const zk_wchar_t *file_w, bool wide, uint64_t *size) {
    *size = 0;
    if (!SessionGiven(session) || !FtpSetType(session, 1)) return 0;
    int ok;
    if (wide) {
        ok = FtpCommandW(session, ZK_WTEXT("SIZE"), file_w, ZK_WTEXT("213"), nullptr, 0);
    } else {
        char reply[kFtpReplySize];
        ok = FtpCommandA(session, "SIZE", file_a, "213", reply, kFtpReplySize);
    }
    if (!ok) {
        if (FtpLastError == ZK_FTP_REFUSED) FtpLastError = ZK_FTP_FILE_FAILED;
        return 0;
    }
    // The W form judges the reply as converted; the number is read from the reply as it came, in
    // the ANSI code page. A size that cannot be read is no size: "213 file: 213, Size =51"
    // must not pass for an empty file.
    if (!SizeFromReply(FtpLastResponse, size)) {
        FtpLastError = ZK_FTP_FILE_FAILED;
        return 0;
    }
    return 1;
}

bool ParseFtpTime(const char *text, FtpFileDate *date) {
    if (text == nullptr || date == nullptr) return false;
    for (int i = 0; i < 14; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    auto slice = [text](int from, int count) {
        uint16_t v = 0;
        for (int i = from; i < from + count; ++i) v = static_cast<uint16_t>(v * 10 + (text[i] - '0'));
        return v;
    };
    date->year = slice(0, 4);
    date->month = slice(4, 2);
    date->day = slice(6, 2);
    date->hour = slice(8, 2);
    date->minute = slice(10, 2);
    date->second = slice(12, 2);
    return true;
}

void ShiftNineHours(FtpFileDate *date) {
    date->hour = static_cast<uint16_t>(date->hour + 9);
    if (date->hour >= 24) {
        date->hour = static_cast<uint16_t>(date->hour % 24);
        date->day = static_cast<uint16_t>(date->day + 1);
    }
}

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_FtpSetDirectoryA(FtpSession *session, const char *directory) {
    return SingleA(session, "CWD", directory, "250", ZK_FTP_CWD_FAILED);
}
ZK_EXPORT int32_t ZK_API ZK_FtpSetDirectoryW(FtpSession *session, const zk_wchar_t *directory) {
    return SingleW(session, ZK_WTEXT("CWD"), directory, ZK_WTEXT("250"), ZK_FTP_CWD_FAILED);
}

ZK_EXPORT int32_t ZK_API ZK_FtpCreateDirectoryA(FtpSession *session, const char *directory) {
    return SingleA(session, "MKD", directory, "257", ZK_FTP_MKD_FAILED);
}
ZK_EXPORT int32_t ZK_API ZK_FtpCreateDirectoryW(FtpSession *session, const zk_wchar_t *directory) {
    return SingleW(session, ZK_WTEXT("MKD"), directory, ZK_WTEXT("257"), ZK_FTP_MKD_FAILED);
}

ZK_EXPORT int32_t ZK_API ZK_FtpDeleteDirectoryA(FtpSession *session, const char *directory) {
    return SingleA(session, "RMD", directory, "250", ZK_FTP_RMD_FAILED);
}
ZK_EXPORT int32_t ZK_API ZK_FtpDeleteDirectoryW(FtpSession *session, const zk_wchar_t *directory) {
    return SingleW(session, ZK_WTEXT("RMD"), directory, ZK_WTEXT("250"), ZK_FTP_RMD_FAILED);
}

ZK_EXPORT int32_t ZK_API ZK_FtpDeleteFileA(FtpSession *session, const char *file) {
    return SingleA(session, "DELE", file, "250", ZK_FTP_FILE_FAILED);
}
ZK_EXPORT int32_t ZK_API ZK_FtpDeleteFileW(FtpSession *session, const zk_wchar_t *file) {
    return SingleW(session, ZK_WTEXT("DELE"), file, ZK_WTEXT("250"), ZK_FTP_FILE_FAILED);
}

// A failed RNFR never sends RNTO; a failed RNTO leaves the server mid-rename, nothing undone.
ZK_EXPORT int32_t ZK_API ZK_FtpRenameFileA(FtpSession *session, const char *old_name, const char *new_name) {
    if (!SessionGiven(session)) return 0;
    if (!FtpCommandA(session, "RNFR", old_name, "350", nullptr, 0)) {
        FtpLastError = ZK_FTP_FILE_FAILED;
        return 0;
    }
    return SingleA(session, "RNTO", new_name, "250", ZK_FTP_RMD_FAILED);
}
ZK_EXPORT int32_t ZK_API ZK_FtpRenameFileW(FtpSession *session, const zk_wchar_t *old_name,
                                           const zk_wchar_t *new_name) {
    if (!SessionGiven(session)) return 0;
    if (!FtpCommandW(session, ZK_WTEXT("RNFR"), old_name, ZK_WTEXT("350"), nullptr, 0)) {
        FtpLastError = ZK_FTP_FILE_FAILED;
        return 0;
    }
    return SingleW(session, ZK_WTEXT("RNTO"), new_name, ZK_WTEXT("250"), ZK_FTP_RMD_FAILED);
}

ZK_EXPORT int32_t ZK_API ZK_FtpGetFileSizeA(FtpSession *session, const char *file) {
    uint64_t size = 0;
    int ok = FtpQueryFileSize(session, file, nullptr, false, &size);
    return SizeResult(ok, size);
}
ZK_EXPORT int32_t ZK_API ZK_FtpGetFileSizeW(FtpSession *session, const zk_wchar_t *file) {
    uint64_t size = 0;
    int ok = FtpQueryFileSize(session, nullptr, file, true, &size);
    return SizeResult(ok, size);
}

// The whole size, for files of 2 GiB and more; -1 on failure, with the same codes.
ZK_EXPORT int64_t ZK_API ZK_FtpGetFileSize64A(FtpSession *session, const char *file) {
    uint64_t size = 0;
    return FtpQueryFileSize(session, file, nullptr, false, &size) ? static_cast<int64_t>(size) : -1;
}
ZK_EXPORT int64_t ZK_API ZK_FtpGetFileSize64W(FtpSession *session, const zk_wchar_t *file) {
    uint64_t size = 0;
    return FtpQueryFileSize(session, nullptr, file, true, &size) ? static_cast<int64_t>(size) : -1;
}

ZK_EXPORT int32_t ZK_API ZK_FtpGetFileDateA(FtpSession *session, const char *file, FtpFileDate *date,
                                            uint32_t shift) {
    if (!SessionGiven(session)) return 0;
    ClearDate(date);
    char reply[kFtpReplySize];
    if (date == nullptr || !FtpCommandA(session, "MDTM", file, "213", reply, kFtpReplySize)) {
        FtpLastError = ZK_FTP_FILE_FAILED;
        return 0;
    }
    return DateFromReply(reply, date, shift);
}
ZK_EXPORT int32_t ZK_API ZK_FtpGetFileDateW(FtpSession *session, const zk_wchar_t *file, FtpFileDate *date,
                                            uint32_t shift) {
    if (!SessionGiven(session)) return 0;
    ClearDate(date);
    if (date == nullptr ||
        !FtpCommandW(session, ZK_WTEXT("MDTM"), file, ZK_WTEXT("213"), nullptr, 0)) {
        FtpLastError = ZK_FTP_FILE_FAILED;
        return 0;
    }
    return DateFromReply(FtpLastResponse, date, shift);
}

}  // extern "C"
