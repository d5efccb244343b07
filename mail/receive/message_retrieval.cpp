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

struct Retrieval {
    MessageGather gather;
    ProtoProgress *progress;
    int64_t done;
};

size_t GatherBlock(void *context, const char *bytes, size_t count, bool *end) {
    auto *retrieval = static_cast<Retrieval *>(context);
    size_t used = GatherMessageBytes(&retrieval->gather, bytes, count);
    *end = retrieval->gather.done;
    retrieval->done += static_cast<int64_t>(used);
    // A cancel leaves the rest of the message to be read and dropped: the session stays in step.
    if (!*end && ProtoReportProgress(retrieval->progress, retrieval->done, false) && !retrieval->gather.overflow) {
        DropGatheredText(&retrieval->gather);
    }
    return used;
}

// The size a status line announces ("+OK 1234 octets", as most servers say it), else -1.
int64_t AnnouncedSize(const char *status) {
    const char *p = status + 3;
    while (*p == ' ') ++p;
    int64_t size = 0;
    const char *digits = p;
    while (*p >= '0' && *p <= '9' && p - digits < 12) size = size * 10 + (*p++ - '0');
    if (p == digits || *p != ' ') return -1;
    static const char kOctets[] = "octets";
    for (int i = 0; kOctets[i] != '\0'; ++i) {
        if ((p[1 + i] | 0x20) != kOctets[i]) return -1;
    }
    return size;
}

}  // namespace

ProtoProgress Pop3Progress(MailHandle *handle) {
    return ProtoStartProgress(handle->progress, handle->progressUser, -1);
}

char *ReadPop3Message(ProtoTransport *connection, char *status, int32_t size, uint32_t timeout_ms,
                      ProtoProgress *progress) {
    if (!Pop3ReadStatus(connection, status, size)) return nullptr;
    if (progress != nullptr) progress->total = AnnouncedSize(status);
    Retrieval retrieval{MessageGather(), progress, 0};
    if (!ProtoReadBlocks(connection, timeout_ms, GatherBlock, &retrieval)) {
        ReleaseGather(&retrieval.gather);
        return nullptr;
    }
    char *text = TakeGatheredMessage(&retrieval.gather);
    if (text != nullptr) ProtoReportProgress(progress, retrieval.done, true);
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
    ProtoProgress progress = Pop3Progress(handle);
    char *text = ReadPop3Message(connection, status, kPop3StatusSize, kMailReplyTimeoutMs, &progress);
    if (progress.cancelled) MailLastError = ZK_MAIL_CANCELLED;
    return text;
}

}  // extern "C"
