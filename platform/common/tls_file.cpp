// tls_file.cpp -- reading a CA file for either side of the TLS seam, through the file calls
// that know the system's names.
#include "platform/files.h"
#include "platform/tls.h"

namespace tls {

bool ReadSmallFile(const WCHAR *path, std::string *bytes) {
    constexpr DWORD kMostBytes = 4u * 1024 * 1024;
    bytes->clear();
    if (path == nullptr) return false;
    win::HANDLE file = win::CreateFileW(path, win::kGenericRead, 1 /* others may read */, nullptr, win::kOpenExisting,
                                        win::kFileAttributeArchive, nullptr);
    if (file == win::InvalidHandle()) return false;
    DWORD high = 0;
    DWORD size = win::GetFileSize(file, &high);
    bool ok = size != win::kInvalidFileSize && high == 0 && size > 0 && size <= kMostBytes;
    if (ok) {
        bytes->assign(size, '\0');
        DWORD read = 0;
        ok = win::ReadFile(file, &(*bytes)[0], size, &read, nullptr) != 0;
        bytes->resize(read);
    }
    win::CloseHandle(file);
    return ok && !bytes->empty();
}

}  // namespace tls
