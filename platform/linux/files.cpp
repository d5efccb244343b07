// files.cpp -- CreateFile, ReadFile, WriteFile, FindFirstFile, GetFileAttributes, SetFileTime and
// their companions over POSIX files, with Win32 results. Paths come as code page 932 or UTF-16
// and become UTF-8 names; a backslash separates folders as it does on Windows.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/linux/native_path.h"

namespace win {

namespace {

enum class Kind { kFile, kSearch };

// What a HANDLE points to: an open descriptor, or a finished search that only FindClose accepts.
struct FileRecord {
    Kind kind;
    int fd;
};

// Seconds between 1601-01-01 (the FILETIME epoch) and 1970-01-01.
constexpr int64_t kEpochDifference = 11644473600LL;
constexpr int64_t kTicksPerSecond = 10000000LL;

FileRecord *Record(HANDLE h, Kind kind) {
    if (h == nullptr || h == InvalidHandle()) return nullptr;
    auto *record = static_cast<FileRecord *>(h);
    return record->kind == kind ? record : nullptr;
}

std::string Utf8FromWide(const WCHAR *wide) {
    if (wide == nullptr) return std::string();
    int n = WideCharToMultiByte(kCpUtf8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kCpUtf8, 0, wide, -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

std::vector<WCHAR> WideFromCodePage(UINT code_page, const char *text) {
    std::vector<WCHAR> wide;
    if (text == nullptr || text[0] == '\0') return wide;
    int n = MultiByteToWideChar(code_page, 0, text, -1, nullptr, 0);
    if (n <= 1) return wide;
    wide.resize(static_cast<size_t>(n));
    MultiByteToWideChar(code_page, 0, text, -1, wide.data(), n);
    return wide;
}

// A Windows path as the UTF-8 name Linux knows it by; empty when it does not convert.
std::string NativePath(std::string utf8) {
    for (char &c : utf8) {
        if (c == '\\') c = '/';
    }
    return utf8;
}

std::string NativePathA(const char *path) {
    std::vector<WCHAR> wide = WideFromCodePage(kCpAcp, path);
    return wide.empty() ? std::string() : NativePath(Utf8FromWide(wide.data()));
}

std::string NativePathW(const WCHAR *path) { return NativePath(Utf8FromWide(path)); }

// UTF-8 (from the file system) to the ANSI code page, for results handed to narrow callers.
bool AnsiFromUtf8(const std::string &utf8, char *out, int size) {
    std::vector<WCHAR> wide = WideFromCodePage(kCpUtf8, utf8.c_str());
    if (wide.empty()) return false;
    int n = WideCharToMultiByte(kCpAcp, 0, wide.data(), -1, out, size, nullptr, nullptr);
    return n > 0;
}

bool WideFromUtf8(const std::string &utf8, WCHAR *out, int units) {
    return MultiByteToWideChar(kCpUtf8, 0, utf8.c_str(), -1, out, units) > 0;
}

FILETIME FileTimeFrom(const timespec &ts) {
    int64_t ticks = (static_cast<int64_t>(ts.tv_sec) + kEpochDifference) * kTicksPerSecond + ts.tv_nsec / 100;
    if (ticks < 0) ticks = 0;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return ft;
}

timespec TimespecFrom(const FILETIME &ft) {
    uint64_t ticks = static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
    timespec ts;
    ts.tv_sec = static_cast<time_t>(static_cast<int64_t>(ticks / kTicksPerSecond) - kEpochDifference);
    ts.tv_nsec = static_cast<long>(ticks % kTicksPerSecond) * 100;
    return ts;
}

HANDLE OpenNative(const std::string &path, DWORD access, DWORD disposition) {
    if (path.empty()) return InvalidHandle();
    int flags = O_CLOEXEC;
    bool read = (access & kGenericRead) != 0;
    bool write = (access & kGenericWrite) != 0;
    flags |= read && write ? O_RDWR : (write ? O_WRONLY : O_RDONLY);
    switch (disposition) {
        case kCreateNew: flags |= O_CREAT | O_EXCL; break;
        case kCreateAlways: flags |= O_CREAT | O_TRUNC; break;
        case kOpenExisting: break;
        case kOpenAlways: flags |= O_CREAT; break;
        case kTruncateExisting:
            if (!write) return InvalidHandle();  // Windows wants write access to truncate
            flags |= O_TRUNC;
            break;
        default: return InvalidHandle();
    }
    // A folder is not a file to CreateFile without backup semantics; refuse it before O_TRUNC
    // or O_WRONLY could matter.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return InvalidHandle();
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return InvalidHandle();
    auto *record = new (std::nothrow) FileRecord{Kind::kFile, fd};
    if (record == nullptr) {
        ::close(fd);
        return InvalidHandle();
    }
    return record;
}

// Fills the parts of a find record that do not depend on the text form.
template <typename FindData>
void FillFindData(const struct stat &st, FindData *found) {
    std::memset(found, 0, sizeof(*found));
    found->dwFileAttributes = S_ISDIR(st.st_mode) ? kFileAttributeDirectory : kFileAttributeArchive;
    found->ftCreationTime = FileTimeFrom(st.st_mtim);
    found->ftLastAccessTime = FileTimeFrom(st.st_atim);
    found->ftLastWriteTime = FileTimeFrom(st.st_mtim);
    uint64_t size = static_cast<uint64_t>(st.st_size);
    found->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    found->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
}

// Finds the first entry matching a path whose last part may hold * and ?. Returns its name
// (the last part) and its status.
bool FindFirst(const std::string &pattern, std::string *name, struct stat *st) {
    if (pattern.empty()) return false;
    size_t slash = pattern.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : pattern.substr(0, slash));
    std::string last = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (last.empty()) return false;
    if (last.find_first_of("*?") == std::string::npos) {
        if (::stat(pattern.c_str(), st) != 0) return false;
        *name = last;
        return true;
    }
    if (last == "*.*") last = "*";  // Windows' spelling of "everything"
    DIR *dir = ::opendir(folder.c_str());
    if (dir == nullptr) return false;
    bool found = false;
    while (dirent *entry = ::readdir(dir)) {
        if (::fnmatch(last.c_str(), entry->d_name, 0) != 0) continue;
        std::string full = folder + "/" + entry->d_name;
        if (::stat(full.c_str(), st) != 0) continue;
        *name = entry->d_name;
        found = true;
        break;
    }
    ::closedir(dir);
    return found;
}

HANDLE NewSearch() {
    auto *record = new (std::nothrow) FileRecord{Kind::kSearch, -1};
    return record != nullptr ? static_cast<HANDLE>(record) : InvalidHandle();
}

bool ValidSystemTime(const SYSTEMTIME &t) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12) return false;
    bool leap = (t.wYear % 4 == 0 && t.wYear % 100 != 0) || t.wYear % 400 == 0;
    int days = kDays[t.wMonth - 1] + (t.wMonth == 2 && leap ? 1 : 0);
    return t.wDay >= 1 && t.wDay <= days && t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60 &&
           t.wMilliseconds < 1000;
}

// Days from 1970-01-01 to a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

}  // namespace

std::string LinuxPathW(const WCHAR *path) { return NativePathW(path); }

HANDLE CreateFileA(const char *path, DWORD access, DWORD, void *, DWORD disposition, DWORD, HANDLE) {
    return OpenNative(NativePathA(path), access, disposition);
}

HANDLE CreateFileW(const WCHAR *path, DWORD access, DWORD, void *, DWORD disposition, DWORD, HANDLE) {
    return OpenNative(NativePathW(path), access, disposition);
}

BOOL ReadFile(HANDLE file, void *buffer, DWORD size, DWORD *read, void *) {
    if (read != nullptr) *read = 0;
    FileRecord *record = Record(file, Kind::kFile);
    if (record == nullptr || (buffer == nullptr && size > 0)) return 0;
    ssize_t n;
    do {
        n = ::read(record->fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return 0;
    if (read != nullptr) *read = static_cast<DWORD>(n);
    return 1;
}

// A synchronous WriteFile on a disk file writes everything or fails; so does this one.
BOOL WriteFile(HANDLE file, const void *data, DWORD size, DWORD *written, void *) {
    if (written != nullptr) *written = 0;
    FileRecord *record = Record(file, Kind::kFile);
    if (record == nullptr || (data == nullptr && size > 0)) return 0;
    const char *bytes = static_cast<const char *>(data);
    DWORD done = 0;
    while (done < size) {
        ssize_t n = ::write(record->fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        if (n == 0) return 0;
        done += static_cast<DWORD>(n);
        if (written != nullptr) *written = done;
    }
    return 1;
}

DWORD GetFileSize(HANDLE file, DWORD *high) {
    FileRecord *record = Record(file, Kind::kFile);
    struct stat st;
    if (record == nullptr || ::fstat(record->fd, &st) != 0) {
        if (high != nullptr) *high = 0;
        return kInvalidFileSize;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (high != nullptr) *high = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL CloseHandle(HANDLE handle) {
    FileRecord *record = Record(handle, Kind::kFile);
    if (record == nullptr) return 0;
    int rc = ::close(record->fd);
    delete record;
    return rc == 0 ? 1 : 0;
}

HANDLE FindFirstFileA(const char *pattern, WIN32_FIND_DATAA *found) {
    if (found == nullptr) return InvalidHandle();
    std::string name;
    struct stat st;
    if (!FindFirst(NativePathA(pattern), &name, &st)) return InvalidHandle();
    FillFindData(st, found);
    if (!AnsiFromUtf8(name, found->cFileName, kMaxPath)) std::memset(found->cFileName, 0, sizeof(found->cFileName));
    return NewSearch();
}

HANDLE FindFirstFileW(const WCHAR *pattern, WIN32_FIND_DATAW *found) {
    if (found == nullptr) return InvalidHandle();
    std::string name;
    struct stat st;
    if (!FindFirst(NativePathW(pattern), &name, &st)) return InvalidHandle();
    FillFindData(st, found);
    if (!WideFromUtf8(name, found->cFileName, kMaxPath)) std::memset(found->cFileName, 0, sizeof(found->cFileName));
    return NewSearch();
}

BOOL FindClose(HANDLE search) {
    FileRecord *record = Record(search, Kind::kSearch);
    if (record == nullptr) return 0;
    delete record;
    return 1;
}

// Linux keeps no creation time; a creation time given here is accepted and not stored.
BOOL SetFileTime(HANDLE file, const FILETIME *, const FILETIME *access, const FILETIME *write) {
    FileRecord *record = Record(file, Kind::kFile);
    if (record == nullptr) return 0;
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = times[0];
    if (access != nullptr) times[0] = TimespecFrom(*access);
    if (write != nullptr) times[1] = TimespecFrom(*write);
    return ::futimens(record->fd, times) == 0 ? 1 : 0;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME *system_time, FILETIME *file_time) {
    if (system_time == nullptr || file_time == nullptr || !ValidSystemTime(*system_time)) return 0;
    const SYSTEMTIME &t = *system_time;
    int64_t days = DaysFromCivil(t.wYear, t.wMonth, t.wDay);
    int64_t seconds = days * 86400 + t.wHour * 3600 + t.wMinute * 60 + t.wSecond + kEpochDifference;
    uint64_t ticks = static_cast<uint64_t>(seconds) * kTicksPerSecond + static_cast<uint64_t>(t.wMilliseconds) * 10000u;
    file_time->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    file_time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return 1;
}

// Windows' contract: the length without the terminator when it fits, otherwise the size needed
// with the terminator; 0 on failure.
DWORD GetCurrentDirectoryA(DWORD size, char *buffer) {
    std::vector<char> cwd(4096);
    if (::getcwd(cwd.data(), cwd.size()) == nullptr) return 0;
    std::vector<WCHAR> wide = WideFromCodePage(kCpUtf8, cwd.data());
    if (wide.empty()) return 0;
    int needed = WideCharToMultiByte(kCpAcp, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return 0;
    if (buffer == nullptr || size < static_cast<DWORD>(needed)) return static_cast<DWORD>(needed);
    WideCharToMultiByte(kCpAcp, 0, wide.data(), -1, buffer, needed, nullptr, nullptr);
    return static_cast<DWORD>(needed - 1);
}

DWORD GetFileAttributesA(const char *path) {
    if (path == nullptr || std::strlen(path) >= static_cast<size_t>(kMaxPath)) return kInvalidFileAttributes;
    std::string native = NativePathA(path);
    struct stat st;
    if (native.empty() || ::stat(native.c_str(), &st) != 0) return kInvalidFileAttributes;
    return S_ISDIR(st.st_mode) ? kFileAttributeDirectory : kFileAttributeArchive;
}

BOOL SetCurrentDirectoryA(const char *path) {
    std::string native = NativePathA(path);
    return !native.empty() && ::chdir(native.c_str()) == 0 ? 1 : 0;
}

}  // namespace win
