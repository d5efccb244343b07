// ftp_local_file.cpp -- the workers' file loops: a local file out to a data connection, and a
// data connection into a local file.
#include <cstdlib>

#include "ftp/ftp_data.h"
#include "platform/files.h"
#include "platform/platform.h"

namespace {

constexpr int32_t kBlockSize = 4096;

win::HANDLE OpenLocal(const char *path_a, const zk_wchar_t *path_w, bool wide, DWORD access, DWORD disposition) {
    return wide ? win::CreateFileW(reinterpret_cast<const WCHAR *>(path_w), access, 0, nullptr, disposition,
                                   win::kFileAttributeArchive, nullptr)
                : win::CreateFileA(path_a, access, 0, nullptr, disposition, win::kFileAttributeArchive, nullptr);
}

// ZK_SocketSend may take only part of a block; the rest follows, never skipped.
bool SendAllOf(SocketHandle *connection, const char *bytes, int32_t length) {
    int32_t done = 0;
    while (done < length) {
        int32_t n = ZK_SocketSend(connection, bytes + done, length - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

bool LocalFileReadable(const char *path_a, const zk_wchar_t *path_w, bool wide) {
    win::HANDLE file = OpenLocal(path_a, path_w, wide, win::kGenericRead, win::kOpenExisting);
    if (file == win::InvalidHandle()) return false;
    win::CloseHandle(file);
    return true;
}


// Reads the file to its end rather than to the size it had when opened, so a file past 4 GiB
// is not cut at the low 32 bits of its size.
int SendLocalFile(SocketHandle *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                  const std::atomic<bool> *cancel) {
    win::HANDLE file = OpenLocal(path_a, path_w, wide, win::kGenericRead, win::kOpenExisting);
    if (file == win::InvalidHandle()) return 0;
    char *block = static_cast<char *>(std::malloc(kBlockSize));
    int result = block != nullptr ? 1 : 0;
    while (result == 1) {
        DWORD read = 0;
        if (!win::ReadFile(file, block, kBlockSize, &read, nullptr)) {
            result = 0;
            break;
        }
        if (read == 0) break;
        if ((cancel != nullptr && cancel->load()) || !SendAllOf(connection, block, static_cast<int32_t>(read))) {
            result = 0;
        }
    }
    std::free(block);
    win::CloseHandle(file);
    return result;
}

// The local file is made (or emptied) only once the server is seen sending: at the first bytes,
// or at the close that ends an empty file. A transfer called off before that (the server refused
// it after the data connection was already open) leaves a local file of that name as it was.
int ReceiveLocalFile(SocketHandle *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                     uint32_t expected, uint32_t binary, const std::atomic<bool> *cancel) {
    char *block = static_cast<char *>(std::malloc(kBlockSize));
    if (block == nullptr) return 0;
    win::HANDLE file = win::InvalidHandle();
    int result = 0;
    uint64_t received = 0;
    uint64_t target = expected;
    DWORD quiet_since = win::GetTickCount();
    for (;;) {
        if (cancel != nullptr && cancel->load()) break;
        win::WSASetLastError(0);
        int32_t n = ZK_SocketRecv(connection, block, kBlockSize, kFtpReceiveSliceMs, nullptr, 1);
        bool timed_out = n == 0 && win::WSAGetLastError() == win::kWsaeTimedOut;
        if (timed_out && win::GetTickCount() - quiet_since < kFtpDataTimeoutMs) continue;
        // A call-off shuts the socket down, which looks like the server's close.
        if (cancel != nullptr && cancel->load()) break;
        if (n <= 0) {
            // The data ended (or stalled) before the expected count: incomplete. In ASCII type a
            // server that does not turn LF into CR LF sends the file as it is, so there a close
            // once the file's own size has arrived is a complete transfer. An empty file ends
            // with the close alone.
            bool complete = n == 0 && !timed_out && (received >= target || (binary == 0 && received >= expected));
            if (complete && file == win::InvalidHandle()) {
                file = OpenLocal(path_a, path_w, wide, win::kGenericWrite, win::kCreateAlways);
            }
            result = complete && file != win::InvalidHandle() ? 1 : 0;
            break;
        }
        quiet_since = win::GetTickCount();
        if (file == win::InvalidHandle()) {
            file = OpenLocal(path_a, path_w, wide, win::kGenericWrite, win::kCreateAlways);
            if (file == win::InvalidHandle()) break;
        }
        // An empty file was announced: the local file is emptied and nothing is taken.
        if (target == 0) {
            result = 1;
            break;
        }
        DWORD written = 0;
        if (!win::WriteFile(file, block, static_cast<DWORD>(n), &written, nullptr) ||
            written != static_cast<DWORD>(n)) {
            break;
        }
        received += static_cast<uint64_t>(n);
        if (binary == 0) {
            for (int32_t i = 0; i < n; ++i) {
                if (block[i] == '\r') ++target;
            }
        }
        if (received >= target) {
            result = 1;
            break;
        }
    }
    std::free(block);
    if (file != win::InvalidHandle() && !win::CloseHandle(file)) result = 0;
    return result;
}
