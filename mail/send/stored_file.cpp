// stored_file.cpp -- ZK_MailSendFromFileA/W: the stored message read whole from its file, then
// sent by SendStoredMessage.
#include <string>
#include <vector>

#include "mail/send/stored_message.h"
#include "platform/files.h"
#include "socket/text_helpers.h"

namespace {

// A stored message is read whole and held about three times over while it is prepared.
constexpr DWORD kMostFileBytes = 512u * 1024 * 1024;

// The file's bytes; false when it cannot be opened or read, is empty or is too large.
bool ReadWhole(const char *path, std::string *bytes) {
    win::HANDLE file = win::CreateFileA(path, win::kGenericRead, 0, nullptr, win::kOpenExisting,
                                        win::kFileAttributeArchive, nullptr);
    if (file == win::InvalidHandle()) return false;
    DWORD high = 0;
    DWORD size = win::GetFileSize(file, &high);
    bool ok = size != win::kInvalidFileSize && high == 0 && size > 0 && size <= kMostFileBytes;
    if (ok) {
        bytes->assign(size, '\0');
        DWORD done = 0;
        while (ok && done < size) {
            DWORD read = 0;
            ok = win::ReadFile(file, &(*bytes)[done], size - done, &read, nullptr) != 0;
            if (read == 0) break;  // the file ended sooner than its size said: what was read counts
            done += read;
        }
        bytes->resize(done);
        ok = ok && done > 0;
    }
    win::CloseHandle(file);
    return ok;
}

// UTF-16 text in the ANSI code page (two bytes a unit suffice); null stays null.
const char *Narrow(const zk_wchar_t *text, std::vector<char> *narrow) {
    if (text == nullptr) return nullptr;
    narrow->assign(static_cast<size_t>(WideLength(text)) * 2 + 2, '\0');
    WideToAnsi(text, narrow->data(), static_cast<int32_t>(narrow->size()));
    return narrow->data();
}

}  // namespace

extern "C" {

ZK_EXPORT int32_t ZK_API ZK_MailSendFromFileA(MailHandle *handle, const char *helo, const char *file) {
    if (handle == nullptr || file == nullptr) return 0;
    try {
        std::string bytes;
        if (!ReadWhole(file, &bytes)) return 0;
        std::string text = StoredMessageText(bytes.data(), bytes.size());
        bytes = std::string();
        return SendStoredMessage(handle, helo, text.c_str(), text.size());
    } catch (...) {
        return 0;
    }
}

ZK_EXPORT int32_t ZK_API ZK_MailSendFromFileW(MailHandle *handle, const zk_wchar_t *helo, const zk_wchar_t *file) {
    if (handle == nullptr || file == nullptr) return 0;
    try {
        std::vector<char> narrow_helo, narrow_file;
        return ZK_MailSendFromFileA(handle, Narrow(helo, &narrow_helo), Narrow(file, &narrow_file));
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
