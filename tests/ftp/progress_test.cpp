// progress_test.cpp -- progress reports and cancelling against the real servers: reports come on
// the caller's thread and end with the whole size; a 1 GiB download or upload cancelled at its
// first report stops with code 33, and the session goes on to its next command as if nothing
// happened, on each server's own way of answering ABOR.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ftp_files.h"
#include "ftp_peer.h"
#include "support/progress_record.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kGiB = 1ull << 30;

bool MakeSparse(const std::string &path, uint64_t size) {
    { std::ofstream create(path, std::ios::binary | std::ios::trunc); }
    std::error_code ec;
    fs::resize_file(path, size, ec);
    return !ec;
}

int64_t SizeOf(const std::string &path) {
    std::error_code ec;
    uintmax_t size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
}

FtpSession *Open(int port, uint32_t passive) {
    FtpSession *session = ZK_FtpConnectA(kTestHost, kFtpUser, kFtpPassword, passive, port, ZK_AF_INET);
    EXPECT_NE(nullptr, session) << "port " << port << ": code " << ZK_FtpQueryLastErrorCode() << ": " << LastReply();
    return session;
}

TEST(FtpProgress, ReportsOnTheCallersThreadEndingWithTheWholeSize) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the ftp-peers fixture";
    const std::string name = Unique("progress.bin");
    const std::string local = Join(LocalDir(), name), back = Join(LocalDir(), name + ".back");
    const uint64_t size = 24u << 20;
    uint64_t hash = WritePattern(local, size, 7);
    FtpSession *session = Open(kFtpPort, 1);
    ASSERT_NE(nullptr, session);
    const std::string whole = std::to_string(size) + "/" + std::to_string(size);

    ProgressRecord put, get, list;
    ASSERT_EQ(1, ZK_FtpSetProgressCallback(session, RecordProgress, &put));
    ASSERT_EQ(1, ZK_FtpPutFileA(session, local.c_str(), name.c_str(), 1)) << LastReply();
    ZK_FtpSetProgressCallback(session, RecordProgress, &get);
    ASSERT_EQ(1, ZK_FtpGetFileA(session, name.c_str(), back.c_str(), 1)) << LastReply();
    EXPECT_EQ(hash, HashFile(back));
    ZK_FtpSetProgressCallback(session, RecordProgress, &list);
    MStringList lines{0, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileA(session, &lines, "LIST"));
    ZK_SocketDeleteMStringA(&lines);
    for (ProgressRecord *record : {&put, &get}) {
        EXPECT_EQ(0, record->foreign_calls);
        EXPECT_TRUE(record->Steady());
        EXPECT_EQ(whole, record->Last());
    }
    EXPECT_EQ(static_cast<int64_t>(size), get.total.front());  // known from the start: SIZE
    EXPECT_EQ(-1, list.total.back());
    EXPECT_GT(list.done.back(), 0);
    ZK_FtpSetProgressCallback(session, nullptr, nullptr);
    EXPECT_EQ(1, ZK_FtpDeleteFileA(session, name.c_str()));
    ZK_FtpDisconnect(session);
    EXPECT_EQ(0, ZK_FtpSetProgressCallback(nullptr, RecordProgress, nullptr));
    EXPECT_EQ(static_cast<uint32_t>(ZK_FTP_BAD_SESSION), ZK_FtpQueryLastErrorCode());
}

struct CancelCase {
    const char *server;
    int port;
    const char *home;
    uint32_t passive;
    bool upload;
};

class FtpCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(FtpCancel, LeavesTheSessionUsable) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the ftp-peers fixture";
    const CancelCase &c = GetParam();
    const std::string big = Unique("gib.bin"), small = Unique("small.txt");
    const std::string server_big = Join(ServerDir(c.home), big), local_big = Join(LocalDir(), big);
    ASSERT_TRUE(MakeSparse(c.upload ? local_big : server_big, kGiB));
    ASSERT_TRUE(WriteBytes(Join(ServerDir(c.home), small), "still in step\r\n"));
    FtpSession *session = Open(c.port, c.passive);
    ASSERT_NE(nullptr, session);

    ProgressRecord cancelling;
    cancelling.cancel = true;
    ZK_FtpSetProgressCallback(session, RecordProgress, &cancelling);
    int32_t result = c.upload ? ZK_FtpPutFileA(session, local_big.c_str(), big.c_str(), 1)
                              : ZK_FtpGetFileA(session, big.c_str(), local_big.c_str(), 1);
    EXPECT_EQ(0, result);
    EXPECT_EQ(static_cast<uint32_t>(ZK_FTP_CANCELLED), ZK_FtpQueryLastErrorCode()) << LastReply();
    EXPECT_EQ(1u, cancelling.done.size());
    EXPECT_EQ(0, cancelling.foreign_calls);
    EXPECT_EQ(static_cast<int64_t>(kGiB), cancelling.total.front());
    EXPECT_LT(SizeOf(c.upload ? server_big : local_big), static_cast<int64_t>(kGiB));

    // The next commands get their own replies.
    ZK_FtpSetProgressCallback(session, nullptr, nullptr);
    EXPECT_EQ(15, ZK_FtpGetFileSizeA(session, small.c_str())) << LastReply();
    const std::string back = Join(LocalDir(), small);
    EXPECT_EQ(1, ZK_FtpGetFileA(session, small.c_str(), back.c_str(), 1)) << LastReply();
    EXPECT_EQ("still in step\r\n", ReadBytes(back));
    char directory[256];
    EXPECT_EQ(1, ZK_FtpGetDirectoryA(session, directory, sizeof(directory), "PWD")) << LastReply();
    ZK_FtpDisconnect(session);
    fs::remove(server_big);
    fs::remove(local_big);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, FtpCancel,
    ::testing::Values(CancelCase{"vsftpd_get", kFtpPort, "home", 1, false},
                      CancelCase{"vsftpd_put", kFtpPort, "home", 1, true},
                      CancelCase{"vsftpd_active_get", kFtpPort, "home", 0, false},
                      CancelCase{"pyftpdlib_get", 2122, "pyftpd-home", 1, false},
                      CancelCase{"pyftpdlib_put", 2122, "pyftpd-home", 1, true},
                      CancelCase{"proftpd_get", 2123, "proftpd-home", 1, false},
                      CancelCase{"proftpd_put", 2123, "proftpd-home", 1, true}),
    [](const ::testing::TestParamInfo<CancelCase> &info) { return std::string(info.param.server); });

}  // namespace
