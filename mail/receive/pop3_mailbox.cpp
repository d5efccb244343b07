// pop3_mailbox.cpp -- the mailbox listing: LIST read into an array of entries (number and size of
// each message), and on request every message retrieved whole with RETR (never TOP) to fill in its
// decoded From and Subject. The array grows by doubling, so a long listing is not copied per line.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "mail/mail_exchange.h"
#include "mail/receive/pop3.h"
#include "proto/line_reader.h"
#include "socket/cut_text.h"
#include "socket/number_text.h"

namespace {

// A listing line is read with this capacity.
constexpr int32_t kListLineSize = 998;
// The entry array never grows beyond this (about 400,000 ANSI or 200,000 UTF-16 entries).
constexpr size_t kMostArrayBytes = 1024u * 1024 * 1024;
constexpr int32_t kFromUnits = 640;
constexpr int32_t kSubjectUnits = 2048;

// The array being filled; `capacity` entries are allocated, `list->count` of them used.
template <typename Entry>
struct EntryArray {
    MailList *list;
    size_t capacity;
};

// A new, zero-filled entry at the end; null when the array cannot grow.
template <typename Entry>
Entry *AddEntry(EntryArray<Entry> *array) {
    MailList *list = array->list;
    size_t count = static_cast<size_t>(list->count);
    if (count == array->capacity) {
        size_t room = array->capacity == 0 ? 1 : array->capacity * 2;
        if (room > kMostArrayBytes / sizeof(Entry)) room = kMostArrayBytes / sizeof(Entry);
        if (room <= count) return nullptr;
        void *grown = std::realloc(list->entries, room * sizeof(Entry));
        if (grown == nullptr) return nullptr;
        list->entries = grown;
        array->capacity = room;
    }
    Entry *entry = static_cast<Entry *>(list->entries) + count;
    std::memset(entry, 0, sizeof(Entry));
    ++list->count;
    return entry;
}

// "number size": the message number read whole, so that a deletion can never name another
// message; false when it is no number or does not fit. The size after it is held at the 32-bit
// limit (0 when there is none).
template <typename Entry>
bool ParseListLine(const char *line, Entry *entry) {
    const char *p = line;
    int64_t number = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        number = number * 10 + (*p - '0');
        if (number > INT32_MAX) return false;
    }
    if (p == line || (*p != '\0' && *p != ' ')) return false;
    entry->number = static_cast<int32_t>(number);
    entry->size = ParseSaturatedInt32(p);
    return true;
}

template <typename Entry>
int ReadMailList(ProtoTransport *connection, MailList *list) {
    if (!Pop3ReadStatus(connection, nullptr, 0)) return 0;
    EntryArray<Entry> array{list, 0};
    for (;;) {
        char line[kListLineSize + 1];
        int32_t n = ProtoReadLine(connection, line, sizeof(line), kMailReplyTimeoutMs, nullptr);
        if (n < 1) return 0;  // no line, or an empty one: the listing is broken
        if (std::strcmp(line, ".") == 0) return 1;
        Entry *entry = AddEntry(&array);
        if (entry == nullptr) {
            std::free(list->entries);
            list->entries = nullptr;
            list->count = 0;
            return 0;
        }
        if (!ParseListLine(line, entry)) {
            --list->count;  // the entries before it stay, as after any broken listing
            return 0;
        }
    }
}

void FillHeaders(const char *text, MailListEntryA *entry) {
    ZK_MailGetHeaderTagA(text, "From:", entry->from, kFromUnits);
    ZK_MailGetHeaderTagA(text, "Subject:", entry->subject, kSubjectUnits);
}

void FillHeaders(const char *text, MailListEntryW *entry) {
    ZK_MailGetHeaderTagW(text, ZK_WTEXT("From:"), entry->from, kFromUnits);
    ZK_MailGetHeaderTagW(text, ZK_WTEXT("Subject:"), entry->subject, kSubjectUnits);
}

// Retrieves each listed message in turn, holding one text at a time. A retrieval that fails
// ends the fetch; the entries not reached stay empty.
template <typename Entry>
int FetchListHeaders(MailHandle *handle, ProtoTransport *connection, MailList *list) {
    for (int32_t i = 0; i < list->count; ++i) {
        Entry *entry = static_cast<Entry *>(list->entries) + i;
        if (!Pop3SendNumbered(connection, "RETR", entry->number)) {
            MailRecordResponse("");
            return 0;
        }
        char status[kPop3StatusSize];
        ProtoProgress progress = Pop3Progress(handle);
        char *text = ReadPop3Message(connection, status, kPop3StatusSize, kMailReplyTimeoutMs, &progress);
        if (progress.cancelled) MailLastError = ZK_MAIL_CANCELLED;
        if (text == nullptr) return 0;
        FillHeaders(text, entry);
        std::free(text);
    }
    return 1;
}

template <typename Entry>
int32_t MailBox(MailHandle *handle, MailList *list, int32_t fetch) {
    ProtoTransport *connection = Pop3Socket(handle);
    if (connection == nullptr) {
        MailLastError = ZK_MAIL_NO_SESSION;
        return 0;
    }
    if (list == nullptr) return 0;
    list->count = 0;
    list->entries = nullptr;
    try {
        static const char kList[] = "LIST\r\n";
        Pop3Send(connection, kList, sizeof(kList) - 1);  // a failed send shows as a missing status
        if (!ReadMailList<Entry>(connection, list)) return 0;
        return fetch == 0 ? 1 : FetchListHeaders<Entry>(handle, connection, list);
    } catch (...) {
        return 0;
    }
}

void ListFree(MailList *list) {
    if (list == nullptr) return;
    std::free(list->entries);
    // Emptied, so that a second release (or a look at the list) finds nothing left.
    list->entries = nullptr;
    list->count = 0;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_MailBoxA(MailHandle *handle, MailList *list, int32_t fetch) {
    return MailBox<MailListEntryA>(handle, list, fetch);
}

ZK_EXPORT int32_t ZK_API ZK_MailBoxW(MailHandle *handle, MailList *list, int32_t fetch) {
    return MailBox<MailListEntryW>(handle, list, fetch);
}

ZK_EXPORT void ZK_API ZK_MailListFreeA(MailList *list) { ListFree(list); }

ZK_EXPORT void ZK_API ZK_MailListFreeW(MailList *list) { ListFree(list); }

}  // extern "C"
