// demo_ftp.cpp -- the ZK_Ftp family in the demonstration program: log in to the local vsftpd
// (tests/ftp/start.sh), upload a file, list the folder, read the file's size, time and
// permission, download it again and compare, then clean up.
// Usage: zknet demo ftp [host] [port] [user] [password] [4|6] [passive|active]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo.h"
#include "zknet/zknet.h"

namespace {

const char *Arg(int argc, char **argv, int i, const char *fallback) { return i < argc ? argv[i] : fallback; }

std::string LastReply() {
    char text[1024];
    ZK_FtpQueryLastResponseMessageA(text, sizeof(text));
    std::string reply = text;
    while (!reply.empty() && (reply.back() == '\r' || reply.back() == '\n')) reply.pop_back();
    return reply;
}

// Prints the outcome of a step; false when it failed.
bool Step(const char *what, bool ok) {
    if (ok) {
        std::printf("  %-28s ok   (%s)\n", what, LastReply().c_str());
    } else {
        std::printf("  %-28s FAILED, code %u: %s\n", what, ZK_FtpQueryLastErrorCode(), LastReply().c_str());
    }
    return ok;
}

bool WriteText(const char *path, const std::string &text) {
    FILE *f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadText(const char *path) {
    std::string text;
    FILE *f = std::fopen(path, "rb");
    if (f == nullptr) return text;
    char block[4096];
    size_t n;
    while ((n = std::fread(block, 1, sizeof(block), f)) > 0) text.append(block, n);
    std::fclose(f);
    return text;
}

}  // namespace

int DemoFtp(int argc, char **argv) {
    const char *host = Arg(argc, argv, 0, "zknet-test");
    int port = std::atoi(Arg(argc, argv, 1, "2121"));
    const char *user = Arg(argc, argv, 2, "zkftp");
    const char *password = Arg(argc, argv, 3, "zkftp-pass");
    uint16_t family = std::strcmp(Arg(argc, argv, 4, "4"), "6") == 0 ? ZK_AF_INET6 : ZK_AF_INET;
    uint32_t passive = std::strcmp(Arg(argc, argv, 5, "passive"), "active") == 0 ? 0 : 1;
    std::printf("FTP to %s port %d as %s over %s, %s mode\n", host, port, user, family == ZK_AF_INET6 ? "IPv6" : "IPv4",
                passive ? "passive" : "active");

    FtpSession *session = ZK_FtpConnectA(host, user, password, passive, port, family);
    if (!Step("connect and log in", session != nullptr)) {
        std::printf("  (is the server running? tests/ftp/start.sh WORK_FOLDER starts the local vsftpd)\n");
        return 1;
    }
    bool ok = true;
    char folder[512];
    ok &= Step("PWD", ZK_FtpGetDirectoryA(session, folder, sizeof(folder), "PWD") == 1);
    std::printf("  current folder: %s\n", folder);

    const char *up = "demo-upload.txt";
    const char *down = "demo-download.txt";
    const char *remote = "demo.txt";
    std::string text = "Hello from the zknet demonstration.\r\nA second line.\r\n";
    if (!WriteText(up, text)) {
        std::printf("  cannot write the local file %s\n", up);
        ZK_FtpDisconnect(session);
        return 1;
    }
    ok &= Step("upload (STOR)", ZK_FtpPutFileA(session, up, remote, 1) == 1);

    MStringList list{0, nullptr};
    if (Step("list (LIST)", ZK_FtpListFileA(session, &list, "LIST") == 1)) {
        for (int32_t i = 0; i < list.count; ++i) std::printf("    %s\n", static_cast<const char *>(list.items[i]));
        ZK_SocketDeleteMStringA(&list);
    } else {
        ok = false;
    }

    int32_t size = ZK_FtpGetFileSizeA(session, remote);
    ok &= Step("size (SIZE)", ZK_FtpQueryLastErrorCode() == 0);
    std::printf("    %s: %d bytes\n", remote, size);
    FtpFileDate date{};
    ok &= Step("time (MDTM)", ZK_FtpGetFileDateA(session, remote, &date, 0) == 1);
    std::printf("    %04u-%02u-%02u %02u:%02u:%02u UTC\n", date.year, date.month, date.day, date.hour, date.minute,
                date.second);
    uint32_t mode = ZK_FtpGetPermissionA(session, remote);
    ok &= Step("permission (from LIST)", mode != 0xFFFF);
    std::printf("    0x%03x\n", mode);

    ok &= Step("download (RETR)", ZK_FtpGetFileA(session, remote, down, 1) == 1);
    bool same = ReadText(down) == text;
    std::printf("  downloaded copy %s the uploaded file\n", same ? "matches" : "DIFFERS FROM");
    ok &= same;

    ok &= Step("delete (DELE)", ZK_FtpDeleteFileA(session, remote) == 1);
    ZK_FtpDisconnect(session);
    std::remove(up);
    std::remove(down);
    return ok ? 0 : 1;
}
