// ftp_exchange.cpp -- one command line out, one reply in: the control-channel engine of every FTP
// operation, on the line-protocol engine below it. A reply is judged by the code its final line
// begins with: servers quote names and numbers freely in the rest, so "550 file 226.txt" must
// not pass for a 226. A multi-line reply is read to its final line, which is the one judged and
// kept.
#include "ftp/ftp_exchange.h"

#include <cstring>
#include <vector>

#include "ftp/ftp_text.h"
#include "proto/command.h"
#include "proto/reply.h"
#include "socket/text_helpers.h"

namespace {

// Reads the reply into `buffer` and the last-response store; the length of its final line,
// below 1 when nothing arrived. The login replies (`whole`) wait without a limit.
int32_t ReceiveReply(SocketHandle *control, char *buffer, int32_t size, uint32_t timeout_ms, bool whole) {
    std::memset(buffer, 0, static_cast<size_t>(size));
    int32_t length = ProtoReadReply(control, buffer, size, whole ? 0 : timeout_ms, kProtoCodedLines);
    FtpRecordResponse(buffer);
    return length;
}

// Sends a formatted line (-1: refused by the formatter) and reads the reply; the family's code.
int Exchange(SocketHandle *control, const char *line, int32_t length, char *work, int32_t size, const char *expected,
             bool whole) {
    if (length < 0 || !ProtoSendCommand(control, line, length)) return ZK_FTP_NOT_SENT;
    return FtpReadReplyA(control, work, size, expected, kFtpReplyTimeoutMs, whole);
}

}  // namespace

int FtpReadReplyA(SocketHandle *control, char *buffer, int32_t size, const char *expected, uint32_t timeout_ms,
                  bool whole) {
    char fallback[kFtpReplySize];
    if (buffer == nullptr || size <= 0) {
        buffer = fallback;
        size = kFtpReplySize;
    }
    if (ReceiveReply(control, buffer, size, timeout_ms, whole) < 1) return ZK_FTP_NO_REPLY;
    return ProtoReplyIsA(buffer, expected) ? ZK_FTP_OK : ZK_FTP_REFUSED;
}

int FtpReadReplyW(SocketHandle *control, zk_wchar_t *buffer, int32_t size, const zk_wchar_t *expected,
                  uint32_t timeout_ms, bool whole) {
    zk_wchar_t fallback[kFtpReplySize];
    if (buffer == nullptr || size <= 0) {
        buffer = fallback;
        size = kFtpReplySize;
    }
    buffer[0] = 0;
    std::vector<char> narrow(static_cast<size_t>(size) * 2, '\0');
    if (ReceiveReply(control, narrow.data(), static_cast<int32_t>(narrow.size()), timeout_ms, whole) < 1) return ZK_FTP_NO_REPLY;
    // Judged on the whole converted reply; the caller's buffer gets as much of it as fits.
    std::vector<zk_wchar_t> wide(narrow.size() + 1, 0);
    AnsiToWideCut(narrow.data(), wide.data(), static_cast<int32_t>(wide.size()));
    CopyCutW(buffer, size, wide.data());
    return ProtoReplyIsW(wide.data(), expected) ? ZK_FTP_OK : ZK_FTP_REFUSED;
}

int FtpCommandA(SocketHandle *control, const char *verb, const char *argument, const char *expected, char *reply,
                int32_t reply_size, bool whole) {
    if (reply != nullptr && reply_size > 0) reply[0] = '\0';
    char line[kProtoLineBytes];
    char work[kFtpReplySize];
    int rc = Exchange(control, line, ProtoFormatCommandA(line, verb, argument), work, kFtpReplySize, expected, whole);
    if (rc != ZK_FTP_OK) FtpLastError = static_cast<uint32_t>(rc);
    if (reply != nullptr && rc != ZK_FTP_NOT_SENT) CopyCutA(reply, reply_size, work);
    return rc == ZK_FTP_OK ? 1 : 0;
}

int FtpCommandW(SocketHandle *control, const zk_wchar_t *verb, const zk_wchar_t *argument,
                const zk_wchar_t *expected, zk_wchar_t *reply, int32_t reply_units, bool whole) {
    if (reply != nullptr && reply_units > 0) reply[0] = 0;
    char line[kProtoLineBytes];
    int32_t length = ProtoFormatCommandW(line, verb, argument);
    int rc = ZK_FTP_NOT_SENT;
    zk_wchar_t work[kFtpReplySize];
    if (length >= 0 && ProtoSendCommand(control, line, length)) {
        rc = FtpReadReplyW(control, work, kFtpReplySize, expected, kFtpReplyTimeoutMs, whole);
        if (reply != nullptr) CopyCutW(reply, reply_units, work);
    }
    if (rc != ZK_FTP_OK) FtpLastError = static_cast<uint32_t>(rc);
    return rc == ZK_FTP_OK ? 1 : 0;
}

int FtpSetType(FtpSession *session, uint32_t binary) {
    int ok = FtpCommandA(session->control, "TYPE", binary != 0 ? "I" : "A", "200", nullptr, 0, false);
    if (!ok && FtpLastError == ZK_FTP_REFUSED) FtpLastError = ZK_FTP_TYPE_REFUSED;
    return ok;
}

namespace {
template <typename Unit>
bool IsNegative(const Unit *reply) {
    if (reply == nullptr) return false;
    for (int i = 0; i < 3; ++i) {
        if (reply[i] < '0' || reply[i] > '9') return false;
    }
    return reply[0] == '4' || reply[0] == '5';
}
}  // namespace

bool FtpIsNegativeReplyA(const char *reply) { return IsNegative(reply); }
bool FtpIsNegativeReplyW(const zk_wchar_t *reply) { return IsNegative(reply); }
