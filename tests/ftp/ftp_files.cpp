// ftp_files.cpp -- files for the FTP tests.
#include "ftp_files.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/files.h"

namespace fs = std::filesystem;

const char *const kFtpUser = "zkftp";
const char *const kFtpPassword = "zkftp-pass";

namespace {

// The build folder as this program reaches it: under Wine the Linux root is drive Z:.
std::string BuildDir() {
#if defined(_WIN32)
    std::string dir = std::string("Z:") + ZK_BINARY_DIR;
    for (char &c : dir) {
        if (c == '/') c = '\\';
    }
    return dir;
#else
    return ZK_BINARY_DIR;
#endif
}

constexpr uint64_t kFnvOffset = 1469598103934665603ULL;
constexpr uint64_t kFnvPrime = 1099511628211ULL;

uint64_t Fnv(uint64_t hash, const char *bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= kFnvPrime;
    }
    return hash;
}

}  // namespace

std::string Join(const std::string &dir, const std::string &name) {
#if defined(_WIN32)
    return dir + "\\" + name;
#else
    return dir + "/" + name;
#endif
}

std::string LocalDir() {
    static const std::string dir = [] {
        std::string d = Join(BuildDir(), "ftp-local");
        std::error_code ec;
        fs::remove_all(d, ec);
        fs::create_directories(d, ec);
        return d;
    }();
    return dir;
}

std::string ServerDir(const std::string &home) { return Join(Join(BuildDir(), "ftp-peers"), home); }

std::string PeerFile(const std::string &relative) {
    std::string path = relative;
#if defined(_WIN32)
    for (char &c : path) {
        if (c == '/') c = '\\';
    }
#endif
    return Join(Join(BuildDir(), "ftp-peers"), path);
}

bool WriteBytes(const std::string &path, const std::string &bytes) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadBytes(const std::string &path, bool *ok) {
    std::ifstream in(path, std::ios::binary);
    if (ok != nullptr) *ok = static_cast<bool>(in);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes;
}

bool Exists(const std::string &path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

void RemoveTree(const std::string &path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

uint64_t WritePattern(const std::string &path, uint64_t size, uint32_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> block(1 << 16);
    uint64_t hash = kFnvOffset;
    uint32_t x = seed * 2654435761u + 1;
    for (uint64_t done = 0; done < size;) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(block.size(), size - done));
        for (size_t i = 0; i < n; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            block[i] = static_cast<char>(x >> 24);
        }
        out.write(block.data(), static_cast<std::streamsize>(n));
        hash = Fnv(hash, block.data(), n);
        done += n;
    }
    return out ? hash : 0;
}

uint64_t HashFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return 0;
    std::vector<char> block(1 << 16);
    uint64_t hash = kFnvOffset;
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        hash = Fnv(hash, block.data(), static_cast<size_t>(in.gcount()));
    }
    return hash;
}

uint64_t HashBytes(const std::string &bytes) { return Fnv(kFnvOffset, bytes.data(), bytes.size()); }

int64_t ModifiedSeconds(const std::string &path) {
    win::WIN32_FIND_DATAA found;
    win::HANDLE search = win::FindFirstFileA(path.c_str(), &found);
    if (search == win::InvalidHandle()) return -1;
    win::FindClose(search);
    uint64_t ticks = static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 | found.ftLastWriteTime.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

int64_t DateSeconds(const FtpFileDate &date) {
    win::SYSTEMTIME st{};
    st.wYear = date.year;
    st.wMonth = date.month;
    st.wDay = date.day;
    st.wHour = date.hour;
    st.wMinute = date.minute;
    st.wSecond = date.second;
    win::FILETIME ft;
    if (!win::SystemTimeToFileTime(&st, &ft)) return -1;
    uint64_t ticks = static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

// Unique across runs too: a test program run again against the same server keeps its folders
// apart from the last run's.
std::string Unique(const std::string &stem) {
    static std::atomic<int> counter{0};
    static const long long run = static_cast<long long>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count() % 1000000000000LL);
    return stem + "-" + std::to_string(run) + "-" + std::to_string(++counter);
}
