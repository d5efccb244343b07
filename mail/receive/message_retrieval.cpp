// message_retrieval.cpp -- one message retrieved with RETR into an allocated text: the status line
// read as a line, the message itself in large blocks up to its lone period.
#include <cstring>
#include <string>

#include "mail/mail_exchange.h"
#include "mail/receive/message_gather.h"
#include "mail/receive/pop3.h"
#include "proto/block_reader.h"
#include "socket/trace.h"

namespace {
size_t GatherBlock(void *context, const char *bytes, size_t count, bool *end) {
    auto *gather = static_cast<MessageGather *>(context);
    size_t used = GatherMessageBytes(gather, bytes, count);
    *end = gather->done;
    return used;
}
}  // namespace

char *ReadPop3Message(ProtoTransport *connection, char *status, int32_t size, uint32_t timeout_ms) {
    if (!Pop3ReadStatus(connection, status, size)) return nullptr;
    MessageGather gather;
    if (!ProtoReadBlocks(connection, timeout_ms, GatherBlock, &gather)) {
        ReleaseGather(&gather);
        return nullptr;
    }
    char *text = TakeGatheredMessage(&gather);
    if (text != nullptr && TraceOn()) {
        ProtoTraceEvent(connection, ("message data: " + std::to_string(std::strlen(text)) + " bytes").c_str());
    }
    return text;
}

extern "C" {

ZK_EXPORT char *ZK_API ZK_MailRecv(MailHandle *handle, int32_t number) {
    ProtoTransport *connection = Pop3Socket(handle);
    if (connection == nullptr) return nullptr;
    if (!Pop3SendNumbered(connection, "RETR", number)) {
        MailRecordResponse("");
        return nullptr;
    }
    char status[kPop3StatusSize];
    return ReadPop3Message(connection, status, kPop3StatusSize, kMailReplyTimeoutMs);
}

}  // extern "C"
