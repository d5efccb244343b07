// demo_ftp.cpp -- the ZK_Ftp family in the demonstration program: log in to the local vsftpd
// (tests/ftp/start.sh), upload a file, list the folder, read the file's size, time and
// permission, download it again and compare, then clean up; the same over FTPS.
// Usage: zknet demo ftp [host] [port] [user] [password] [4|6] [passive|active]
//        zknet demo ftps [host] [port] [user] [password] [ca-file]
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

struct Server {
    const char *host;
    int port;
    const char *user;
    const char *password;
    uint16_t family;
    uint32_t passive;
    uint32_t security;
    const char *ca_file;
};

int RunDemo(const Server &server) {
    std::printf("%s to %s port %d as %s over %s, %s mode\n", server.security == ZK_SECURE_NONE ? "FTP" : "FTPS (AUTH TLS)",
                server.host, server.port, server.user, server.family == ZK_AF_INET6 ? "IPv6" : "IPv4",
                server.passive ? "passive" : "active");
    FtpSession *session = ZK_FtpConnectSecureA(server.host, server.user, server.password, server.passive, server.port,
                                               server.family, server.security, server.ca_file);
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

}  // namespace

int DemoFtp(int argc, char **argv) {
    Server server{Arg(argc, argv, 0, "zknet-test"), std::atoi(Arg(argc, argv, 1, "2121")), Arg(argc, argv, 2, "zkftp"),
                  Arg(argc, argv, 3, "zkftp-pass"), ZK_AF_INET, 1, ZK_SECURE_NONE, nullptr};
    if (std::strcmp(Arg(argc, argv, 4, "4"), "6") == 0) server.family = ZK_AF_INET6;
    if (std::strcmp(Arg(argc, argv, 5, "passive"), "active") == 0) server.passive = 0;
    return RunDemo(server);
}

// The CA file defaults to the one tools/demo.sh names: the test CA of the local servers.
int DemoFtps(int argc, char **argv) {
    const char *ca = std::getenv("ZK_DEMO_FTP_CA");
    Server server{Arg(argc, argv, 0, "zknet-test"), std::atoi(Arg(argc, argv, 1, "2131")), Arg(argc, argv, 2, "zkftp"),
                  Arg(argc, argv, 3, "zkftp-pass"), ZK_AF_INET, 1, ZK_SECURE_EXPLICIT, Arg(argc, argv, 4, ca)};
    int rc = RunDemo(server);
    if (rc == 0 && server.ca_file != nullptr) {
        // And what a certificate check refuses: the same server judged by the system's trust.
        std::printf("FTPS to %s port %d trusting only the system's CAs\n", server.host, server.port);
        FtpSession *refused = ZK_FtpConnectSecureA(server.host, server.user, server.password, 1, server.port, ZK_AF_INET,
                                                   ZK_SECURE_EXPLICIT, nullptr);
        if (!Step("refused, as it should be", refused == nullptr && ZK_FtpQueryLastErrorCode() == ZK_FTP_CERTIFICATE)) rc = 1;
        if (refused != nullptr) ZK_FtpDisconnect(refused);
    }
    return rc;
}
