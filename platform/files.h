// files.h -- the file calls the library makes (transfers, stored and saved messages): on Windows
// the real Win32 calls; on Linux stand-ins with their behaviour. Narrow paths are in the ANSI code
// page (932) and wide paths in UTF-16; the Linux stand-ins turn both into UTF-8 file names, so a
// Japanese name reaches the same file through either form.
#ifndef ZK_PLATFORM_FILES_H
#define ZK_PLATFORM_FILES_H

#include "platform/platform.h"

namespace win {

#if defined(_WIN32)
using ::FILETIME;
using ::HANDLE;
using ::SYSTEMTIME;
using ::WIN32_FIND_DATAA;
using ::WIN32_FIND_DATAW;

using ::CloseHandle;
using ::CreateFileA;
using ::CreateFileW;
using ::FindClose;
using ::FindFirstFileA;
using ::FindFirstFileW;
using ::GetCurrentDirectoryA;
using ::GetFileAttributesA;
using ::GetFileSize;
using ::ReadFile;
using ::SetCurrentDirectoryA;
using ::SetFileTime;
using ::SystemTimeToFileTime;
using ::WriteFile;

inline HANDLE InvalidHandle() { return INVALID_HANDLE_VALUE; }
#else
typedef void *HANDLE;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

constexpr int kMaxPath = 260;

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[kMaxPath];
    char cAlternateFileName[14];
};

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[kMaxPath];
    WCHAR cAlternateFileName[14];
};

inline HANDLE InvalidHandle() { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)); }

// `security` and `template_file` are accepted and ignored, as the library always passes null.
HANDLE CreateFileA(const char *path, DWORD access, DWORD share, void *security, DWORD disposition, DWORD flags,
                   HANDLE template_file);
HANDLE CreateFileW(const WCHAR *path, DWORD access, DWORD share, void *security, DWORD disposition, DWORD flags,
                   HANDLE template_file);
BOOL ReadFile(HANDLE file, void *buffer, DWORD size, DWORD *read, void *overlapped);
BOOL WriteFile(HANDLE file, const void *data, DWORD size, DWORD *written, void *overlapped);
DWORD GetFileSize(HANDLE file, DWORD *high);
BOOL CloseHandle(HANDLE handle);
HANDLE FindFirstFileA(const char *pattern, WIN32_FIND_DATAA *found);
HANDLE FindFirstFileW(const WCHAR *pattern, WIN32_FIND_DATAW *found);
BOOL FindClose(HANDLE search);
BOOL SetFileTime(HANDLE file, const FILETIME *creation, const FILETIME *access, const FILETIME *write);
BOOL SystemTimeToFileTime(const SYSTEMTIME *system_time, FILETIME *file_time);
DWORD GetCurrentDirectoryA(DWORD size, char *buffer);
// The attributes of a file or folder (kFileAttributeDirectory for a folder), or
// kInvalidFileAttributes when there is none; a path of kMaxPath bytes or more is refused, as the
// ANSI form does on Windows.
DWORD GetFileAttributesA(const char *path);
BOOL SetCurrentDirectoryA(const char *path);
#endif

// Win32 numbers for the calls above, the same in both builds.
constexpr DWORD kGenericRead = 0x80000000u;
constexpr DWORD kGenericWrite = 0x40000000u;
constexpr DWORD kCreateNew = 1;
constexpr DWORD kCreateAlways = 2;
constexpr DWORD kOpenExisting = 3;
constexpr DWORD kOpenAlways = 4;
constexpr DWORD kTruncateExisting = 5;
constexpr DWORD kFileAttributeDirectory = 0x10;
constexpr DWORD kFileAttributeArchive = 0x20;
constexpr DWORD kInvalidFileSize = 0xFFFFFFFFu;
constexpr DWORD kInvalidFileAttributes = 0xFFFFFFFFu;

}  // namespace win

#endif  // ZK_PLATFORM_FILES_H
