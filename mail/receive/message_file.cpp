// message_file.cpp -- a retrieved message saved as FOLDER\NAME.eml. The folder is tested where it
// stands (the process's current directory is never changed: another thread may be resolving a
// relative path at that moment), the path must fit 260 bytes, and the whole text is written.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mail/mail_session.h"
#include "platform/files.h"
#include "socket/text_helpers.h"

namespace {

constexpr size_t kPathSize = 260;
// What one write is given at most (a write's length is a 32-bit count).
constexpr size_t kMostPerWrite = 1u << 30;

bool IsFolder(const char *folder) {
    DWORD attributes = win::GetFileAttributesA(folder);
    return attributes != win::kInvalidFileAttributes && (attributes & win::kFileAttributeDirectory) != 0;
}

// FOLDER "\" NAME ".eml" into `path`; false when it does not fit with its terminator. The
// separator is always added: the file system reads a doubled one as one.
bool BuildPath(char *path, const char *folder, const char *name) {
    static const char kExtension[] = ".eml";
    size_t folder_length = std::strlen(folder), name_length = std::strlen(name);
    if (folder_length + 1 + name_length + sizeof(kExtension) > kPathSize) return false;
    std::memcpy(path, folder, folder_length);
    path[folder_length] = '\\';
    std::memcpy(path + folder_length + 1, name, name_length);
    std::memcpy(path + folder_length + 1 + name_length, kExtension, sizeof(kExtension));
    return true;
}

// Writes all of the text, continuing after a write that took only part of it; false when a write
// fails or takes nothing.
bool WriteWhole(win::HANDLE file, const char *text, size_t length) {
    while (length > 0) {
        DWORD piece = static_cast<DWORD>(length < kMostPerWrite ? length : kMostPerWrite);
        DWORD written = 0;
        if (!win::WriteFile(file, text, piece, &written, nullptr) || written == 0 || written > piece) return false;
        text += written;
        length -= written;
    }
    return true;
}

// UTF-16 text in the ANSI code page (two bytes a unit always suffice); empty for an empty text,
// and `ok` false when it does not convert.
std::vector<char> Narrow(const zk_wchar_t *text, bool *ok) {
    size_t units = static_cast<size_t>(WideLength(text));
    std::vector<char> narrow(units * 2 + 1, '\0');
    *ok = units == 0 || WideToAnsi(text, narrow.data(), static_cast<int32_t>(narrow.size())) > 0;
    return narrow;
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_MailRecvToFileA(MailHandle *handle, int32_t number, const char *folder, const char *name) {
    if (handle == nullptr || folder == nullptr || name == nullptr) return 0;
    if (!IsFolder(folder)) {
        MailLastError = ZK_MAIL_NO_FOLDER;
        return 0;
    }
    char path[kPathSize];
    if (!BuildPath(path, folder, name)) {
        MailLastError = ZK_MAIL_FILE_FAILED;
        return 0;
    }
    char *text = ZK_MailRecv(handle, number);
    if (text == nullptr) return 0;
    win::HANDLE file = win::CreateFileA(path, win::kGenericWrite, 0, nullptr, win::kCreateAlways,
                                        win::kFileAttributeArchive, nullptr);
    bool written = false;
    if (file != win::InvalidHandle()) {
        written = WriteWhole(file, text, std::strlen(text));
        if (!win::CloseHandle(file)) written = false;
    }
    std::free(text);
    if (!written) {
        MailLastError = ZK_MAIL_FILE_FAILED;
        return 0;
    }
    return 1;
}

ZK_EXPORT int32_t ZK_API ZK_MailRecvToFileW(MailHandle *handle, int32_t number, const zk_wchar_t *folder,
                                           const zk_wchar_t *name) {
    if (handle == nullptr || folder == nullptr || name == nullptr) return 0;
    try {
        bool folder_ok = false, name_ok = false;
        std::vector<char> narrow_folder = Narrow(folder, &folder_ok), narrow_name = Narrow(name, &name_ok);
        if (!folder_ok) {
            MailLastError = ZK_MAIL_NO_FOLDER;
            return 0;
        }
        if (!name_ok) {
            MailLastError = ZK_MAIL_FILE_FAILED;
            return 0;
        }
        return ZK_MailRecvToFileA(handle, number, narrow_folder.data(), narrow_name.data());
    } catch (...) {
        MailLastError = ZK_MAIL_FILE_FAILED;
        return 0;
    }
}

}  // extern "C"
