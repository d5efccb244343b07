// local_stream.cpp -- the temporary file behind "-", and the copies between it and standard input
// or output.
#include "local_stream.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#  include <fcntl.h>
#  include <io.h>
#  include <windows.h>
#else
#  include <unistd.h>
#endif

#include "local.h"
#include "local_text.h"

namespace {

// The path of the temporary file there is, kept where a signal handler may read it (on Windows
// in UTF-16 beside it).
char g_temporary[4096];
#if defined(_WIN32)
wchar_t g_temporary_wide[4096];
#endif
bool g_handlers_installed = false;

void Remember(const std::string &path) {
    if (path.size() >= sizeof(g_temporary)) return;
    std::memcpy(g_temporary, path.c_str(), path.size() + 1);
#if defined(_WIN32)
    WideText wide = Utf8ToWide(path);
    if (wide.size() < 4096) std::memcpy(g_temporary_wide, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
#endif
}

void Forget(const std::string &path) {
    if (path == g_temporary) g_temporary[0] = '\0';
}

#if defined(_WIN32)

// The console's events are interrupt.cpp's, which removes the file too.
void InstallHandlers() {}

void UseBinary(FILE *stream) { _setmode(_fileno(stream), _O_BINARY); }

bool MakeTemporary(std::string *path, std::string *why) {
    wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    if (n == 0 || n > MAX_PATH || GetTempFileNameW(folder, L"zkn", 0, name) == 0) {
        *why = "no temporary file (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    *path = WideToUtf8(name);
    return true;
}

#else

void OnSignal(int signal_number) {
    RemoveTemporaryFileNow();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// SIGINT is interrupt.cpp's, which removes the file too.
void InstallHandlers() {
    for (int s : {SIGTERM, SIGHUP}) {
        // A signal the caller ignores (nohup) stays ignored.
        if (std::signal(s, OnSignal) == SIG_IGN) std::signal(s, SIG_IGN);
    }
}

void UseBinary(FILE *) {}

bool MakeTemporary(std::string *path, std::string *why) {
    const char *folder = std::getenv("TMPDIR");
    std::string name = std::string(folder != nullptr && folder[0] != '\0' ? folder : "/tmp") + "/zknet-XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0) {
        *why = "no temporary file in " + name.substr(0, name.rfind('/')) + ": " + std::strerror(errno);
        return false;
    }
    close(fd);
    *path = name;
    return true;
}

#endif

// Copies everything; false with the reason when reading or writing fails.
bool Copy(FILE *in, FILE *out, const char *in_name, const char *out_name, std::string *why) {
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof(block), in)) > 0) {
        if (std::fwrite(block, 1, n, out) != n) {
            *why = std::string("cannot write ") + out_name + ": " + std::strerror(errno);
            return false;
        }
    }
    if (std::ferror(in)) {
        *why = std::string("cannot read ") + in_name + ": " + std::strerror(errno);
        return false;
    }
    if (std::fflush(out) != 0) {
        *why = std::string("cannot write ") + out_name + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

TemporaryFile::~TemporaryFile() {
    // Only while it is still there: once gone, its name may be another program's.
    if (!path_.empty() && path_ == g_temporary) RemoveTemporaryFileNow();
}

bool TemporaryFile::Create(std::string *why) {
    if (!g_handlers_installed) {
        InstallHandlers();
        g_handlers_installed = true;
    }
    if (!MakeTemporary(&path_, why)) return false;
    Remember(path_);
    return true;
}

void RemoveTemporaryFileNow() {
    if (g_temporary[0] == '\0') return;
#if defined(_WIN32)
    DeleteFileW(g_temporary_wide);
#else
    unlink(g_temporary);
#endif
    g_temporary[0] = '\0';
}

bool SaveStandardInput(const std::string &path, std::string *why) {
    UseBinary(stdin);
    FILE *out = OpenLocalFile(path, "wb");
    if (out == nullptr) {
        *why = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = Copy(stdin, out, "standard input", path.c_str(), why);
    if (std::fclose(out) != 0 && ok) {
        *why = "cannot write " + path + ": " + std::strerror(errno);
        ok = false;
    }
    return ok;
}

bool SendToStandardOutput(const std::string &path, std::string *why) {
    FILE *in = OpenLocalFile(path, "rb");
    if (in == nullptr) {
        *why = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
#if !defined(_WIN32)
    // Gone while it is read: a reader that stops early ends the tool with SIGPIPE, mid-copy.
    Forget(path);
    unlink(path.c_str());
#endif
    UseBinary(stdout);
    bool ok = Copy(in, stdout, path.c_str(), "standard output", why);
    std::fclose(in);
#if defined(_WIN32)
    Forget(path);
    RemoveLocalFile(path);
#endif
    return ok;
}
