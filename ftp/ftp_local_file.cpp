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

int ReceiveLocalFile(SocketHandle *connection, const char *path_a, const zk_wchar_t *path_w, bool wide,
                     uint32_t expected, uint32_t binary, const std::atomic<bool> *cancel) {
    win::HANDLE file = OpenLocal(path_a, path_w, wide, win::kGenericWrite, win::kCreateAlways);
    if (file == win::InvalidHandle()) return 0;
    char *block = static_cast<char *>(std::malloc(kBlockSize));
    int result = block != nullptr ? 1 : 0;
    uint64_t received = 0;
    uint64_t target = expected;
    DWORD quiet_since = win::GetTickCount();
    while (result == 1 && received < target) {
        if (cancel != nullptr && cancel->load()) {
            result = 0;
            break;
        }
        win::WSASetLastError(0);
        int32_t n = ZK_SocketRecv(connection, block, kBlockSize, kFtpReceiveSliceMs, nullptr, 1);
        bool timed_out = n == 0 && win::WSAGetLastError() == win::kWsaeTimedOut;
        if (timed_out && win::GetTickCount() - quiet_since < kFtpDataTimeoutMs) continue;
        if (n <= 0) {
            // The data ended (or stalled) before the expected count: incomplete. In ASCII type a
            // server that does not turn LF into CR LF sends the file as it is, so there a close
            // once the file's own size has arrived is a complete transfer.
            result = binary == 0 && n == 0 && !timed_out && received >= expected ? 1 : 0;
            break;
        }
        quiet_since = win::GetTickCount();
        DWORD written = 0;
        if (!win::WriteFile(file, block, static_cast<DWORD>(n), &written, nullptr) ||
            written != static_cast<DWORD>(n)) {
            result = 0;
            break;
        }
        received += static_cast<uint64_t>(n);
        if (binary == 0) {
            for (int32_t i = 0; i < n; ++i) {
                if (block[i] == '\r') ++target;
            }
        }
    }
    std::free(block);
    if (!win::CloseHandle(file)) result = 0;
    return result;
}
