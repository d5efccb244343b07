// vsftpd_volume_test.cpp -- against vsftpd: files past 2 GiB both ways (sparse files, so the test
// stays quick and small on disk until the copy is made), and a thousand active transfers in a
// row on one session. The uploads leave the active ports in TIME_WAIT for a minute, so this file
// is named to run after every other test of the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ftp_files.h"
#include "ftp_peer.h"

namespace {

namespace fs = std::filesystem;

// 2 GiB and 256 KiB: past every 32-bit signed count.
constexpr uint64_t kBigSize = (2ull << 30) + (256u << 10);
// Marks written where a cut file would lose them: across the 2 GiB line and at the very end.
const std::string kMiddleMark = "<across 2 GiB>";
const std::string kEndMark = "<the last bytes>";
constexpr uint64_t kMiddleAt = (2ull << 30) - 7;

// A sparse file of kBigSize bytes (as truncate makes it) with the two marks written into it.
bool MakeSparse(const std::string &path) {
    { std::ofstream create(path, std::ios::binary | std::ios::trunc); }
    std::error_code ec;
    fs::resize_file(path, kBigSize, ec);
    if (ec) return false;
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(kMiddleAt));
    f.write(kMiddleMark.data(), static_cast<std::streamsize>(kMiddleMark.size()));
    f.seekp(static_cast<std::streamoff>(kBigSize - kEndMark.size()));
    f.write(kEndMark.data(), static_cast<std::streamsize>(kEndMark.size()));
    return static_cast<bool>(f);
}

std::string ReadAt(const std::string &path, uint64_t at, size_t n) {
    std::ifstream f(path, std::ios::binary);
    f.seekg(static_cast<std::streamoff>(at));
    std::string bytes(n, '\0');
    f.read(&bytes[0], static_cast<std::streamsize>(n));
    bytes.resize(static_cast<size_t>(f.gcount()));
    return bytes;
}

uint64_t SizeOf(const std::string &path) {
    std::error_code ec;
    uintmax_t size = fs::file_size(path, ec);
    return ec ? 0 : static_cast<uint64_t>(size);
}

// A session of its own in a fresh folder of the server's home.
class Vsftpd64 : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the ftp-peers fixture";
        folder_ = Unique("large");
        server_ = Join(ServerDir(), folder_);
        local_ = Join(LocalDir(), folder_);
        ASSERT_TRUE(WriteBytes(Join(local_, ".keep"), ""));
    }
    void TearDown() override {
        if (session_ != nullptr) ZK_FtpDisconnect(session_);
        RemoveTree(local_);
        RemoveTree(server_);
    }
    void Open(uint16_t family, uint32_t passive, bool make_folder) {
        if (session_ != nullptr) ZK_FtpDisconnect(session_);
        session_ = ZK_FtpConnectA(kTestHost, kFtpUser, kFtpPassword, passive, kFtpPort, family);
        ASSERT_NE(nullptr, session_) << "code " << ZK_FtpQueryLastErrorCode() << ": " << LastReply();
        if (make_folder) {
            ASSERT_EQ(1, ZK_FtpCreateDirectoryA(session_, folder_.c_str())) << LastReply();
        }
        ASSERT_EQ(1, ZK_FtpSetDirectoryA(session_, folder_.c_str())) << LastReply();
    }
    FtpSession *session_ = nullptr;
    std::string folder_, server_, local_;
};

// Up over PASV, down over EPRT: each arrives whole, to its last byte. The size query's 32-bit
// result saturates for such a file.
TEST_F(Vsftpd64, FilesPastTwoGibibytesGoBothWaysWhole) {
    Open(ZK_AF_INET, 1, true);
    std::string up = Join(local_, "big.up");
    ASSERT_TRUE(MakeSparse(up));
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "big.bin", 1)) << LastReply();
    RemoveTree(up);
    std::string stored = Join(server_, "big.bin");
    EXPECT_EQ(kBigSize, SizeOf(stored));
    EXPECT_EQ(kMiddleMark, ReadAt(stored, kMiddleAt, kMiddleMark.size()));
    EXPECT_EQ(kEndMark, ReadAt(stored, kBigSize - kEndMark.size(), kEndMark.size()));
    EXPECT_EQ(2147483647, ZK_FtpGetFileSizeA(session_, "big.bin"));
    EXPECT_EQ(2147483647, ZK_FtpGetFileSizeW(session_, W(U16("big.bin"))));
    RemoveTree(stored);

    Open(ZK_AF_INET6, 0, false);
    ASSERT_TRUE(MakeSparse(Join(server_, "big.src")));
    std::string down = Join(local_, "big.down");
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "big.src", down.c_str(), 1)) << LastReply();
    EXPECT_EQ(kBigSize, SizeOf(down));
    EXPECT_EQ(kMiddleMark, ReadAt(down, kMiddleAt, kMiddleMark.size()));
    EXPECT_EQ(kEndMark, ReadAt(down, kBigSize - kEndMark.size(), kEndMark.size()));
    RemoveTree(down);
}

// A thousand active transfers in a row on one session, half of them uploads (whose data
// connection we close first, so each leaves its port in TIME_WAIT for a minute on our side): the
// hundred ports of the active range must serve them all.
TEST_F(Vsftpd64, ThousandActiveTransfersInARow) {
    Open(ZK_AF_INET, 0, true);
    std::string up = Join(local_, "small.up");
    std::string down = Join(local_, "small.down");
    for (int i = 0; i < 1000; ++i) {
        std::string content = "transfer " + std::to_string(i);
        if (i % 2 == 0) {
            ASSERT_TRUE(WriteBytes(up, content));
            ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "t.bin", 1))
                << "upload " << i << ": code " << ZK_FtpQueryLastErrorCode() << " " << LastReply();
        } else {
            ASSERT_EQ(1, ZK_FtpGetFileA(session_, "t.bin", down.c_str(), 1))
                << "download " << i << ": code " << ZK_FtpQueryLastErrorCode() << " " << LastReply();
            ASSERT_EQ("transfer " + std::to_string(i - 1), ReadBytes(down)) << i;
        }
    }
}

}  // namespace
