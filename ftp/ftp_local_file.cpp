// ftp_local_file.cpp -- the workers' loops over a data connection: a local file out, a local file
// in, a listing in. The connection is non-blocking; each loop waits for it through the platform
// (together with the caller's call-off) and moves a large block per call. A secure connection's
// TLS lies underneath the same calls.
#include <cstdlib>
#include <cstring>

#include "ftp/ftp_data.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

// Room for a listing text grows by at least this much at a time.
constexpr int32_t kListingStep = 64 * 1024;

win::HANDLE OpenLocal(const char *path_a, const zk_wchar_t *path_w, bool wide, DWORD access, DWORD disposition) {
    return wide ? win::CreateFileW(reinterpret_cast<const WCHAR *>(path_w), access, 0, nullptr, disposition,
                                   win::kFileAttributeArchive, nullptr)
                : win::CreateFileA(path_a, access, 0, nullptr, disposition, win::kFileAttributeArchive, nullptr);
}

// One receive: the count, 0 at the server's end of the stream, -1 on failure (a time-out
// included) or when the caller called the phase off.
int32_t ReceiveSome(ProtoTransport *connection, char *block, int32_t size, win::WakeSignal *cancel) {
    return ProtoReceive(connection, block, size, ProtoDeadline::After(kFtpDataTimeoutMs), cancel);
}

// Sends all of a block: each wait for room lasts at most the data time-out and ends when the
// caller calls the phase off.
bool SendAllOf(ProtoTransport *connection, const char *bytes, int32_t length, win::WakeSignal *cancel) {
    return ProtoSend(connection, bytes, length, kFtpDataTimeoutMs, cancel);
}

}  // namespace

bool LocalFileReadable(const char *path_a, const zk_wchar_t *path_w, bool wide) {
    win::HANDLE file = OpenLocal(path_a, path_w, wide, win::kGenericRead, win::kOpenExisting);
    if (file == win::InvalidHandle()) return false;
    win::CloseHandle(file);
    return true;
}

// Reads the file to its end rather than to the size it had when opened, so a file past 4 GiB is
// not cut at the low 32 bits of its size.
int SendLocalFile(ProtoTransport *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                  win::WakeSignal *cancel, std::atomic<int64_t> *moved, std::atomic<int64_t> *size) {
    win::HANDLE file = OpenLocal(path_a, path_w, wide, win::kGenericRead, win::kOpenExisting);
    if (file == win::InvalidHandle()) return 0;
    DWORD high = 0;
    DWORD low = win::GetFileSize(file, &high);
    if (low != 0xFFFFFFFFu || high != 0) {  // all ones: the size is unknown (or that one odd size)
        size->store(static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low), std::memory_order_relaxed);
    }
    char *block = static_cast<char *>(std::malloc(kFtpSendBlockSize));
    int result = block != nullptr ? 1 : 0;
    while (result == 1) {
        DWORD read = 0;
        if (!win::ReadFile(file, block, kFtpSendBlockSize, &read, nullptr)) {
            result = 0;
            break;
        }
        if (read == 0) break;
        if (!SendAllOf(connection, block, static_cast<int32_t>(read), cancel)) result = 0;
        moved->fetch_add(read, std::memory_order_relaxed);
    }
    std::free(block);
    win::CloseHandle(file);
    return result;
}

// The download ends at the server's close, never at a count: the size the server announced may be
// out of date. Fewer bytes than announced is an incomplete file; more is the file as it now is.
// The local file is made (or emptied) only once the server is seen sending: at the first bytes, or
// at the close that ends an empty file. A transfer called off before that leaves a local file of
// that name as it was.
int ReceiveLocalFile(ProtoTransport *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                     uint64_t expected, win::WakeSignal *cancel, std::atomic<int64_t> *moved) {
    uint64_t received = 0;
    char *block = static_cast<char *>(std::malloc(kFtpBlockSize));
    if (block == nullptr) return 0;
    win::HANDLE file = win::InvalidHandle();
    int result = 0;
    for (;;) {
        int32_t n = ReceiveSome(connection, block, kFtpBlockSize, cancel);
        if (n < 0) break;
        if (n == 0) {
            bool complete = received >= expected;
            if (complete && file == win::InvalidHandle()) {
                file = OpenLocal(path_a, path_w, wide, win::kGenericWrite, win::kCreateAlways);
            }
            result = complete && file != win::InvalidHandle() ? 1 : 0;
            break;
        }
        if (file == win::InvalidHandle()) {
            file = OpenLocal(path_a, path_w, wide, win::kGenericWrite, win::kCreateAlways);
            if (file == win::InvalidHandle()) break;
        }
        DWORD written = 0;
        if (!win::WriteFile(file, block, static_cast<DWORD>(n), &written, nullptr) || written != static_cast<DWORD>(n)) {
            break;
        }
        received += static_cast<uint64_t>(n);
        moved->fetch_add(n, std::memory_order_relaxed);
    }
    std::free(block);
    if (file != win::InvalidHandle() && !win::CloseHandle(file)) result = 0;
    return result;
}

int ReceiveListing(ProtoTransport *connection, win::WakeSignal *cancel, char **text, std::atomic<int64_t> *moved) {
    *text = nullptr;
    char *buffer = nullptr;
    int64_t used = 0;
    int64_t room = 0;
    int result = 0;
    for (;;) {
        if (room - used < kListingStep + 1) {
            int64_t grown_room = room + (room / 2 > kListingStep ? room / 2 : kListingStep) + 1;
            if (grown_room > 0x7FFFFFF0LL) break;  // no text of ours grows past 2 GiB
            char *grown = static_cast<char *>(std::realloc(buffer, static_cast<size_t>(grown_room)));
            if (grown == nullptr) break;
            buffer = grown;
            room = grown_room;
        }
        int32_t n = ReceiveSome(connection, buffer + used, static_cast<int32_t>(room - used - 1), cancel);
        if (n < 0) break;
        if (n == 0) {
            result = 1;
            break;
        }
        used += n;
        moved->fetch_add(n, std::memory_order_relaxed);
    }
    if (result == 1 && used > 0) {
        buffer[used] = '\0';
        *text = buffer;
    } else {
        std::free(buffer);
    }
    return result;
}
