// ftp_file_time.cpp -- stamping a downloaded file with the server's modification time.
#include "ftp/ftp_remote.h"
#include "platform/files.h"

namespace {

int Stamp(win::HANDLE file, const FtpFileDate *date) {
    if (file == win::InvalidHandle()) return 0;
    win::SYSTEMTIME st{};
    st.wYear = date->year;
    st.wMonth = date->month;
    st.wDayOfWeek = 0;
    st.wDay = date->day;
    st.wHour = date->hour;
    st.wMinute = date->minute;
    st.wSecond = date->second;
    st.wMilliseconds = 0;
    win::FILETIME ft;
    int result = 0;
    if (win::SystemTimeToFileTime(&st, &ft)) result = win::SetFileTime(file, nullptr, &ft, &ft) ? 1 : 0;
    win::CloseHandle(file);
    return result;
}

}  // namespace

int SetLocalFileTimeA(const char *path, const FtpFileDate *date) {
    if (path == nullptr || date == nullptr) return 0;
    return Stamp(win::CreateFileA(path, win::kGenericWrite, 0, nullptr, win::kOpenExisting, win::kFileAttributeArchive,
                                  nullptr),
                 date);
}

int SetLocalFileTimeW(const zk_wchar_t *path, const FtpFileDate *date) {
    if (path == nullptr || date == nullptr) return 0;
    return Stamp(win::CreateFileW(reinterpret_cast<const WCHAR *>(path), win::kGenericWrite, 0, nullptr,
                                  win::kOpenExisting, win::kFileAttributeArchive, nullptr),
                 date);
}
