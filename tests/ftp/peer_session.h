// peer_session.h -- a client session against a scripted FTP server, for the data-phase tests: the
// server logs the client in, plays the test's script and takes QUIT; the commands after the login
// are what the client sent.
#ifndef ZK_TESTS_FTP_PEER_SESSION_H
#define ZK_TESTS_FTP_PEER_SESSION_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp_files.h"
#include "ftp_peer.h"

using Lines = std::vector<std::string>;

class PeerSession : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
        local_ = Join(LocalDir(), Unique("peer"));
        ASSERT_TRUE(WriteBytes(Join(local_, ".keep"), ""));
    }
    void TearDown() override {
        if (session_ != nullptr) ZK_FtpDisconnect(session_);
        session_ = nullptr;
        FinishFtpPeer(peer_);
    }
    void Start(uint16_t family, uint32_t passive, FtpScript script) {
        StartFtpPeer(peer_, family, [script](FtpPeerLink &link) {
            Login(link);
            script(link);
            if (link.control != nullptr) Quit(link);  // a script may have dropped the connection
        });
        session_ = ConnectToPeer(peer_, passive);
        ASSERT_NE(nullptr, session_) << ZK_FtpQueryLastErrorCode() << " " << LastReply();
    }
    // Ends the session and the script; the commands after the login.
    Lines Sent() {
        if (session_ != nullptr) ZK_FtpDisconnect(session_);
        session_ = nullptr;
        FinishFtpPeer(peer_);
        Lines lines = peer_.link.commands;
        if (lines.size() >= 2) lines.erase(lines.begin(), lines.begin() + 2);
        if (!lines.empty() && lines.back() == "QUIT") lines.pop_back();
        return lines;
    }
    std::string Local(const std::string &name) { return Join(local_, name); }

    FtpPeer peer_;
    FtpSession *session_ = nullptr;
    std::string local_;
};

#endif  // ZK_TESTS_FTP_PEER_SESSION_H
