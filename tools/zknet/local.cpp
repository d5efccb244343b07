// local.cpp -- terminal and file questions, answered by the C runtime of each system.
#include "local.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#  include <io.h>
#else
#  include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
using StatRecord = struct _stati64;
bool StatPath(const std::string &path, StatRecord *record) { return _stati64(path.c_str(), record) == 0; }
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
    FILE *file = std::fopen(path.c_str(), "rb");
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
    FILE *file = std::fopen(path.c_str(), existed ? "r+b" : "wb");
    if (file == nullptr) {
        *why = std::strerror(errno);
        return false;
    }
    std::fclose(file);
    if (!existed) std::remove(path.c_str());
    return true;
}
