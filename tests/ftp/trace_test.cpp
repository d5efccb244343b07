// trace_test.cpp -- the protocol trace of FTP sessions (vsftpd): every command and reply line
// with its connection's number, the password masked, TLS described, a data connection summarized
// by its opening and its byte counts; nothing of the password anywhere.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp_files.h"
#include "support/net_peer.h"
#include "support/trace_capture.h"

namespace {

TEST(FtpTrace, CommandsRepliesTlsAndDataConnections) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the ftp-peers fixture";
    std::string path = StartTrace("ftp");
    // Over TLS (the control connection only: Wine's Schannel resumes no session for data).
    std::string ca = PeerFile("certs/ca.pem");
    FtpSession *secure = ZK_FtpConnectSecureA(kTestHost, kFtpUser, kFtpPassword, 1, 2131, ZK_AF_INET,
                                              ZK_SECURE_EXPLICIT, ca.c_str());
    ASSERT_NE(nullptr, secure);
    ZK_FtpDisconnect(secure);
    // An upload and a listing over a plain session: their data connections.
    FtpSession *plain = ZK_FtpConnectA(kTestHost, kFtpUser, kFtpPassword, 1, kFtpPort, ZK_AF_INET);
    ASSERT_NE(nullptr, plain);
    std::string local = Join(LocalDir(), Unique("traced") + ".txt"), remote = Unique("traced") + ".txt";
    ASSERT_TRUE(WriteBytes(local, "12345"));
    EXPECT_EQ(1, ZK_FtpPutFileA(plain, local.c_str(), remote.c_str(), 1));
    MStringList list{0, nullptr};
    EXPECT_EQ(1, ZK_FtpListFileA(plain, &list, "LIST"));
    ZK_SocketDeleteMStringA(&list);
    ZK_FtpDisconnect(plain);
    ExpectTrace(path,
                {
                    "FTP #[0-9]+ \\* connected to [^ ]+ port 2131",
                    "FTP #[0-9]+ < 220 .*",
                    "FTP #[0-9]+ > AUTH TLS",
                    "FTP #[0-9]+ \\* TLS TLSv1\\.[23], [^,]+, certificate .+",
                    "FTP #[0-9]+ > USER zkftp",
                    "FTP #[0-9]+ > PASS \\*\\*\\*\\*",
                    "FTP #[0-9]+ < 230 .*",
                    "FTP #[0-9]+ > PBSZ 0",
                    "FTP #[0-9]+ > PASV|FTP #[0-9]+ > EPSV",
                    "FTP #[0-9]+ \\* data connection of #[0-9]+, passive",
                    "FTP #[0-9]+ > STOR traced.*",
                    "FTP #[0-9]+ \\* closed: 5 bytes sent, 0 received",
                    "FTP #[0-9]+ \\* closed: 0 bytes sent, [1-9][0-9]* received",
                    "FTP #[0-9]+ > QUIT",
                },
                {kFtpPassword});
}

// A file that cannot be opened leaves the trace off and says so.
TEST(FtpTrace, AFileThatCannotBeOpenedIsRefused) { EXPECT_EQ(0, ZK_TraceToFileA("no-such-folder/trace.txt")); }

}  // namespace
