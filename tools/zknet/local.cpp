// local.cpp -- terminal and file questions, answered by the C runtime of each system.
#include "local.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "local_text.h"

#if defined(_WIN32)
#  include <io.h>
#  include <windows.h>
#else
#  include <sys/ioctl.h>
#  include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
using StatRecord = struct _stati64;
bool StatPath(const std::string &path, StatRecord *record) { return _wstati64(Utf8ToWide(path).c_str(), record) == 0; }
bool IsDirectoryMode(unsigned mode) { return (mode & _S_IFMT) == _S_IFDIR; }
#else
using StatRecord = struct stat;
bool StatPath(const std::string &path, StatRecord *record) { return stat(path.c_str(), record) == 0; }
bool IsDirectoryMode(unsigned mode) { return S_ISDIR(mode); }
#endif

}  // namespace

bool StderrIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

int TerminalColumns() {
#if defined(_WIN32)
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
        int columns = info.srWindow.Right - info.srWindow.Left + 1;
        if (columns > 0) return columns;
    }
#else
    struct winsize size {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
#endif
    const char *columns = std::getenv("COLUMNS");
    int value = columns != nullptr ? std::atoi(columns) : 0;
    return value > 0 ? value : 80;
}

FILE *OpenLocalFile(const std::string &path, const char *mode) {
#if defined(_WIN32)
    return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

int RemoveLocalFile(const std::string &path) {
#if defined(_WIN32)
    return _wremove(Utf8ToWide(path).c_str());
#else
    return std::remove(path.c_str());
#endif
}

int64_t LocalFileSize(const std::string &path) {
    StatRecord record;
    if (!StatPath(path, &record)) return -1;
    return static_cast<int64_t>(record.st_size);
}

bool IsLocalDirectory(const std::string &path) {
    StatRecord record;
    return StatPath(path, &record) && IsDirectoryMode(record.st_mode);
}

bool CanReadLocalFile(const std::string &path, std::string *why) {
    if (IsLocalDirectory(path)) {
        *why = "is a folder";
        return false;
    }
    FILE *file = OpenLocalFile(path, "rb");
    if (file == nullptr) {
        *why = std::strerror(errno);
        return false;
    }
    std::fclose(file);
    return true;
}

bool CanWriteLocalFile(const std::string &path, std::string *why) {
    bool existed = LocalFileSize(path) >= 0;
    // "r+b" opens an existing file for writing without emptying it.
    FILE *file = OpenLocalFile(path, existed ? "r+b" : "wb");
    if (file == nullptr) {
        *why = std::strerror(errno);
        return false;
    }
    std::fclose(file);
    if (!existed) RemoveLocalFile(path);
    return true;
}
