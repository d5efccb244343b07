// ftp_permission.cpp -- a file's permission read from its listing line, and SITE CHMOD.
#include <cstring>

#include "ftp/ftp_exchange.h"
#include "ftp/ftp_parse.h"
#include "ftp/ftp_text.h"
#include "platform/platform.h"
#include "socket/text_helpers.h"

namespace {

constexpr uint32_t kNoPermission = 0xFFFF;
constexpr int kMaxWords = 20;
constexpr int kMaxWordLength = 519;

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

bool EqualNoCase(const char *a, const char *b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

// The line of the listing that names the file: the one whose name field is the name exactly,
// else the one whose name field differs from it only in case, when no other line does too (asked
// for "readme", a directory holding README and ReadMe cannot tell which is meant). Null when none.
const char *LineNamingFile(const MStringList &list, const char *name) {
    size_t name_length = std::strlen(name);
    if (name_length == 0) return nullptr;
    const char *no_case = nullptr;
    int no_case_count = 0;
    for (int32_t i = 0; i < list.count; ++i) {
        const char *line = static_cast<const char *>(list.items[i]);
        size_t offset = 0;
        size_t length = 0;
        if (line == nullptr || !ListingNameField(line, &offset, &length) || length != name_length) continue;
        if (std::memcmp(line + offset, name, length) == 0) return line;
        if (EqualNoCase(line + offset, name, length)) {
            no_case = line;
            ++no_case_count;
        }
    }
    return no_case_count == 1 ? no_case : nullptr;
}

uint32_t TypeDigit(char c) {
    switch (c) {
        case '-': return 0x0000;
        case 'd': return 0x1000;
        case 'b': return 0x2000;
        case 'c': return 0x3000;
        case 'l': return 0x4000;
        case 'p': return 0x5000;
        case 's': return 0x6000;
        default: return kNoPermission;
    }
}

bool IsPermissionLetter(char c) { return c != '\0' && std::strchr("-dbclpsrwx", c) != nullptr; }

uint32_t PermissionFromWord(const char *word) {
    uint32_t value = TypeDigit(word[0]);
    if (value == kNoPermission) return kNoPermission;
    static const char kLetters[] = "rwxrwxrwx";
    static const uint32_t kBits[] = {0x400, 0x200, 0x100, 0x40, 0x20, 0x10, 0x4, 0x2, 0x1};
    size_t length = std::strlen(word);
    for (size_t i = 1; i <= 9 && i < length; ++i) {  // positions past the word's end add nothing
        if (word[i] == kLetters[i - 1]) value |= kBits[i - 1];
    }
    return value;
}

int SetPermission(FtpSession *session, const char *file_a, const zk_wchar_t *file_w, bool wide, uint32_t mode) {
    if (session == nullptr) {
        FtpLastError = ZK_FTP_BAD_SESSION;
        return 0;
    }
    char head[32];
    win::FormatA(head, sizeof(head), "SITE CHMOD %3x ", mode & 0xFFF);
    int ok;
    bool no_such;
    if (wide) {
        // "SITE CHMOD xxx " then the name, as one UTF-16 line with no separate argument.
        int32_t name_units = WideLength(file_w);
        int32_t head_units = static_cast<int32_t>(std::strlen(head));
        zk_wchar_t line[kFtpReplySize + 1];
        if (head_units + name_units > kFtpReplySize) {
            FtpLastError = ZK_FTP_CHMOD_FAILED;
            return 0;
        }
        for (int32_t i = 0; i < head_units; ++i) line[i] = static_cast<zk_wchar_t>(head[i]);
        for (int32_t i = 0; i < name_units; ++i) line[head_units + i] = file_w[i];
        line[head_units + name_units] = 0;
        zk_wchar_t reply[kFtpReplySize];
        ok = FtpCommandW(session, line, nullptr, ZK_WTEXT("200"), reply, kFtpReplySize);
        no_such = ContainsNoCaseW(reply, ZK_WTEXT("No such")) != 0;
    } else {
        char line[kFtpReplySize + 32];
        win::FormatA(line, sizeof(line), "%s%s", head, file_a != nullptr ? file_a : "");
        if (std::strlen(head) + (file_a != nullptr ? std::strlen(file_a) : 0) > static_cast<size_t>(kFtpReplySize)) {
            FtpLastError = ZK_FTP_CHMOD_FAILED;
            return 0;
        }
        char reply[kFtpReplySize];
        ok = FtpCommandA(session, line, nullptr, "200", reply, kFtpReplySize);
        no_such = ContainsNoCaseA(reply, "No such") != 0;
    }
    if (!ok) FtpLastError = no_such ? ZK_FTP_FILE_FAILED : ZK_FTP_CHMOD_FAILED;
    return ok;
}

uint32_t GetPermission(FtpSession *session, const char *file) {
    MStringList list{0, nullptr};
    if (ZK_FtpListFileA(session, &list, "LIST") != 1) {
        FtpLastError = ZK_FTP_NO_REPLY;
        return kNoPermission;
    }
    const char *line = LineNamingFile(list, file);
    uint32_t result = kNoPermission;
    if (line == nullptr) {
        FtpLastError = ZK_FTP_FILE_FAILED;
    } else {
        result = PermissionFromLine(line);
        if (result == kNoPermission) FtpLastError = ZK_FTP_NO_PERMISSION;
    }
    ZK_SocketDeleteMStringA(&list);
    return result;
}

}  // namespace

// The first of the line's first twenty words that is made only of the letters of a permission
// word; each blank ends the word before it, a run of blanks ends one word, and the text after
// the last blank is no word.
uint32_t PermissionFromLine(const char *line) {
    if (line == nullptr) return kNoPermission;
    char word[kMaxWordLength + 1];
    int words = 0;
    size_t length = 0;
    bool in_run = false;
    for (const char *p = line; *p != '\0' && words < kMaxWords; ++p) {
        if (*p == ' ') {
            if (in_run) continue;
            in_run = true;
            word[length] = '\0';
            ++words;
            bool letters_only = true;
            for (size_t i = 0; i < length; ++i) letters_only = letters_only && IsPermissionLetter(word[i]);
            if (letters_only) return PermissionFromWord(word);
            length = 0;
            continue;
        }
        in_run = false;
        if (length < static_cast<size_t>(kMaxWordLength)) word[length++] = *p;
    }
    return kNoPermission;
}

extern "C" {

ZK_EXPORT uint32_t ZK_API ZK_FtpGetPermissionA(FtpSession *session, const char *file) {
    return GetPermission(session, file != nullptr ? file : "");
}

ZK_EXPORT uint32_t ZK_API ZK_FtpGetPermissionW(FtpSession *session, const zk_wchar_t *file) {
    char name[kFtpPathUnits];
    if (WideToAnsi(file, name, sizeof(name)) == 0) {
        FtpLastError = ZK_FTP_FILE_FAILED;  // a name that does not convert names no line
        return kNoPermission;
    }
    return GetPermission(session, name);
}

ZK_EXPORT int32_t ZK_API ZK_FtpSetPermissionA(FtpSession *session, const char *file, uint32_t mode) {
    return SetPermission(session, file, nullptr, false, mode);
}

ZK_EXPORT int32_t ZK_API ZK_FtpSetPermissionW(FtpSession *session, const zk_wchar_t *file, uint32_t mode) {
    return SetPermission(session, nullptr, file, true, mode);
}

}  // extern "C"
