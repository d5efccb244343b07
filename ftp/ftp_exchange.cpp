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
// below 1 when nothing arrived. A reply that does not come in time leaves the session out of
// step: it may still come, and would then answer the next command.
int32_t ReceiveReply(FtpSession *session, char *buffer, int32_t size, uint32_t timeout_ms) {
    std::memset(buffer, 0, static_cast<size_t>(size));
    int32_t length = ProtoReadReply(session->link, buffer, size, timeout_ms, kProtoCodedLines);
    FtpRecordResponse(buffer);
    if (length < 1) session->outOfStep = true;
    return length;
}

// Sends a formatted line (-1: refused by the formatter, nothing sent). A send that fails may have
// left part of the line on the wire: the session is out of step.
bool SendLine(FtpSession *session, const char *line, int32_t length) {
    if (length < 0) return false;
    if (ProtoSendCommand(session->link, line, length)) return true;
    session->outOfStep = true;
    return false;
}

// Room for a reply as the caller asked for it, at least the family's usual size.
int32_t ReplyRoom(int32_t asked) { return asked > kFtpReplySize ? asked : kFtpReplySize; }

// Nothing is sent on a session that is out of step: code 3, as for the reply that did not come.
bool InStep(FtpSession *session) {
    if (!session->outOfStep) return true;
    FtpLastError = ZK_FTP_NO_REPLY;
    return false;
}

}  // namespace

int FtpReadReplyA(FtpSession *session, char *buffer, int32_t size, const char *expected, uint32_t timeout_ms) {
    char fallback[kFtpReplySize];
    if (buffer == nullptr || size <= 0) {
        buffer = fallback;
        size = kFtpReplySize;
    }
    if (ReceiveReply(session, buffer, size, timeout_ms) < 1) return ZK_FTP_NO_REPLY;
    return ProtoReplyIsA(buffer, expected) ? ZK_FTP_OK : ZK_FTP_REFUSED;
}

int FtpReadReplyW(FtpSession *session, zk_wchar_t *buffer, int32_t size, const zk_wchar_t *expected,
                  uint32_t timeout_ms) {
    zk_wchar_t fallback[kFtpReplySize];
    if (buffer == nullptr || size <= 0) {
        buffer = fallback;
        size = kFtpReplySize;
    }
    buffer[0] = 0;
    std::vector<char> narrow(static_cast<size_t>(size) * 2, '\0');
    if (ReceiveReply(session, narrow.data(), static_cast<int32_t>(narrow.size()), timeout_ms) < 1) {
        return ZK_FTP_NO_REPLY;
    }
    // Judged on the whole converted reply; the caller's buffer gets as much of it as fits.
    std::vector<zk_wchar_t> wide(narrow.size() + 1, 0);
    AnsiToWideCut(narrow.data(), wide.data(), static_cast<int32_t>(wide.size()));
    CopyCutW(buffer, size, wide.data());
    return ProtoReplyIsW(wide.data(), expected) ? ZK_FTP_OK : ZK_FTP_REFUSED;
}

int FtpCommandA(FtpSession *session, const char *verb, const char *argument, const char *expected, char *reply,
                int32_t reply_size) {
    if (reply != nullptr && reply_size > 0) reply[0] = '\0';
    if (!InStep(session)) return 0;
    char line[kProtoLineBytes];
    int rc = ZK_FTP_NOT_SENT;
    if (SendLine(session, line, ProtoFormatCommandA(line, verb, argument))) {
        std::vector<char> work(static_cast<size_t>(ReplyRoom(reply_size)), '\0');
        rc = FtpReadReplyA(session, work.data(), static_cast<int32_t>(work.size()), expected, kFtpReplyTimeoutMs);
        if (reply != nullptr) CopyCutA(reply, reply_size, work.data());
    }
    if (rc != ZK_FTP_OK) FtpLastError = static_cast<uint32_t>(rc);
    return rc == ZK_FTP_OK ? 1 : 0;
}

int FtpCommandW(FtpSession *session, const zk_wchar_t *verb, const zk_wchar_t *argument,
                const zk_wchar_t *expected, zk_wchar_t *reply, int32_t reply_units) {
    if (reply != nullptr && reply_units > 0) reply[0] = 0;
    if (!InStep(session)) return 0;
    char line[kProtoLineBytes];
    int rc = ZK_FTP_NOT_SENT;
    if (SendLine(session, line, ProtoFormatCommandW(line, verb, argument))) {
        std::vector<zk_wchar_t> work(static_cast<size_t>(ReplyRoom(reply_units)), 0);
        rc = FtpReadReplyW(session, work.data(), static_cast<int32_t>(work.size()), expected, kFtpReplyTimeoutMs);
        if (reply != nullptr) CopyCutW(reply, reply_units, work.data());
    }
    if (rc != ZK_FTP_OK) FtpLastError = static_cast<uint32_t>(rc);
    return rc == ZK_FTP_OK ? 1 : 0;
}

int FtpSetType(FtpSession *session, uint32_t binary) {
    int ok = FtpCommandA(session, "TYPE", binary != 0 ? "I" : "A", "200", nullptr, 0);
    if (!ok && FtpLastError == ZK_FTP_REFUSED) FtpLastError = ZK_FTP_TYPE_REFUSED;
    return ok;
}

namespace {
template <typename Unit>
int ReplyClass(const Unit *reply) {
    if (reply == nullptr) return 0;
    for (int i = 0; i < 3; ++i) {
        if (reply[i] < '0' || reply[i] > '9') return 0;
    }
    if (reply[3] >= '0' && reply[3] <= '9') return 0;
    return reply[0] >= '1' && reply[0] <= '5' ? reply[0] - '0' : 0;
}
}  // namespace

int FtpReplyClassA(const char *reply) { return ReplyClass(reply); }
int FtpReplyClassW(const zk_wchar_t *reply) { return ReplyClass(reply); }
