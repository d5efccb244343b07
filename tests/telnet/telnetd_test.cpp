// telnetd_test.cpp -- sessions with a real host: inetutils telnetd on port 2323 of the private
// network, running zk-login.sh (user zkuser, password zkpass, prompt "zk$ "), started by the
// telnet-peers fixture of peers.cmake.
#include <gtest/gtest.h>

#include <string>

#include "support/trace_capture.h"
#include "telnet/scripted_peer.h"

namespace {

using Lines = std::vector<std::string>;
using WideLines = std::vector<std::u16string>;

constexpr int32_t kPort = 2323;
const char *const kPrompt = "zk$";

class TelnetHost : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the telnet-peers fixture";
    }
    void TearDown() override {
        ZK_TelnetDelListA(&list_);
        if (handle_ != nullptr) ZK_TelnetDisconnect(handle_);
    }

    // Connects over the family and logs in; the login's final lines stay in list_.
    void LogIn(uint16_t family = ZK_AF_INET) {
        handle_ = ZK_TelnetConnectA(kTestHost, &list_, kPort, family);
        ASSERT_NE(nullptr, handle_) << "code " << ZK_TelnetQueryLastErrorCode();
        // The whole prompt: the byte that ended the negotiation is not lost.
        ASSERT_EQ(Lines{"login: "}, LinesA(list_));
        ZK_TelnetDelListA(&list_);
        ASSERT_EQ(1, ZK_TelnetLoginA(handle_, "zkuser", "zkpass", &list_, kPrompt))
            << "code " << ZK_TelnetQueryLastErrorCode() << ", last response " << LastResponseA();
    }

    Lines Run(const char *command) {
        ZK_TelnetDelListA(&list_);
        EXPECT_EQ(1, ZK_TelnetCommandSendA(handle_, command));
        EXPECT_EQ(1, ZK_TelnetCommandRecvA(handle_, &list_));
        return LinesA(list_);
    }

    TelnetHandle *handle_ = nullptr;
    TelnetLineList list_{0, nullptr};
};

TEST_F(TelnetHost, LogsInWithoutLosingTheFirstOutput) {
    LogIn();
    // The password is not echoed; all that followed it arrives.
    EXPECT_EQ((Lines{"Welcome to zknet-test", "zk$ "}), LinesA(list_));
    EXPECT_EQ("Welcome to zknet-test\x81\xabzk$ ", LastResponseA());
    EXPECT_EQ(1, ZK_TelnetSearchStringA(&list_, "WELCOME"));
}

// The trace shows the dialogue line by line, the password masked.
TEST_F(TelnetHost, TraceMasksThePassword) {
    std::string path = StartTrace("telnet");
    LogIn();
    Run("echo traced");
    ExpectTrace(path,
                {"TELNET #[0-9]+ \\* connected, options negotiated", "TELNET #[0-9]+ < login: ",
                 "TELNET #[0-9]+ > zkuser", "TELNET #[0-9]+ > \\*\\*\\*\\*", "TELNET #[0-9]+ > echo traced",
                 "TELNET #[0-9]+ < traced.*"},
                {"zkpass"});
}

TEST_F(TelnetHost, RunsCommandsAndReadsTheirOutputAsLines) {
    LogIn();
    EXPECT_EQ((Lines{"hello world", "zk$ "}), Run("echo hello   world"));
    EXPECT_EQ((Lines{"zkuser", "zk$ "}), Run("whoami"));
    EXPECT_EQ((Lines{"line 1", "line 2", "line 3", "zk$ "}), Run("lines 3"));
    EXPECT_EQ("line 1\x81\xabline 2\x81\xabline 3\x81\xabzk$ ", LastResponseA());
    EXPECT_EQ((Lines{"zk$ "}), Run(""));
    EXPECT_EQ((Lines{"frobnicate: not found", "zk$ "}), Run("frobnicate"));
}

TEST_F(TelnetHost, OutputAfterAPauseComesWithTheNextReceive) {
    LogIn();
    EXPECT_EQ(Lines{"working"}, Run("pause"));
    EXPECT_EQ(0, ZK_TelnetSearchStringA(&list_, kPrompt));
    ZK_TelnetDelListA(&list_);
    ASSERT_EQ(1, ZK_TelnetCommandRecvA(handle_, &list_));
    EXPECT_EQ((Lines{"done", "zk$ "}), LinesA(list_));

    // A blank line alone is a receive with no lines.
    EXPECT_EQ(Lines{}, Run("blank"));
    ZK_TelnetDelListA(&list_);
    ASSERT_EQ(1, ZK_TelnetCommandRecvA(handle_, &list_));
    EXPECT_EQ(Lines{"zk$ "}, LinesA(list_));
}

TEST_F(TelnetHost, LongOutputFillsTheListAndIsCutInTheLastResponse) {
    LogIn();
    Lines lines = Run("lines 600");
    ASSERT_EQ(601u, lines.size());
    EXPECT_EQ("line 600", lines[599]);
    std::string last = LastResponseA();
    EXPECT_LE(last.size(), 4095u);
    EXPECT_GT(last.size(), 4000u);
    EXPECT_EQ(0u, last.rfind("line 1\x81\xabline 2\x81\xab", 0));
    char small[100];
    EXPECT_EQ(-1, ZK_TelnetQueryLastResponseMessageA(small, sizeof(small)));
}

TEST_F(TelnetHost, WrongPasswordIsCode10WithTheHostsWords) {
    handle_ = ZK_TelnetConnectA(kTestHost, nullptr, kPort, ZK_AF_INET);
    ASSERT_NE(nullptr, handle_);
    EXPECT_EQ(0, ZK_TelnetLoginA(handle_, "zkuser", "wrong", &list_, kPrompt));
    EXPECT_EQ(ZK_TELNET_NO_PROMPT, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ((Lines{"Login incorrect", "login: "}), LinesA(list_));
    // The host asks again, and the right password still gets in.
    ZK_TelnetDelListA(&list_);
    EXPECT_EQ(1, ZK_TelnetLoginA(handle_, "zkuser", "zkpass", &list_, kPrompt));
}

TEST_F(TelnetHost, PromptThatNeverComesIsCode10) {
    handle_ = ZK_TelnetConnectA(kTestHost, nullptr, kPort, ZK_AF_INET);
    ASSERT_NE(nullptr, handle_);
    EXPECT_EQ(0, ZK_TelnetLoginA(handle_, "zkuser", "zkpass", &list_, "C:\\>"));
    EXPECT_EQ(ZK_TELNET_NO_PROMPT, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ((Lines{"Welcome to zknet-test", "zk$ "}), LinesA(list_));
    // The session itself is fine: the caller may go on with the prompt it did get.
    EXPECT_EQ((Lines{"zkuser", "zk$ "}), Run("whoami"));
}

TEST_F(TelnetHost, ExitEndsTheSession) {
    LogIn();
    // The command goes out either way; whether its echo still arrives before the close is a race
    // that telnetd decides (it may end without passing on the terminal's last output).
    int sent = ZK_TelnetCommandSendA(handle_, "exit");
    if (sent == 0) {
        EXPECT_EQ(ZK_TELNET_NOTHING_RECEIVED, ZK_TelnetQueryLastErrorCode());
    }
    ZK_TelnetDelListA(&list_);
    EXPECT_EQ(0, ZK_TelnetCommandRecvA(handle_, &list_));
    EXPECT_EQ(ZK_TELNET_NOTHING_RECEIVED, ZK_TelnetQueryLastErrorCode());
    ZK_TelnetDisconnect(handle_);
    handle_ = nullptr;
    EXPECT_EQ(ZK_TELNET_NO_SESSION, ZK_TelnetQueryLastErrorCode());
}

TEST_F(TelnetHost, WideFormsOverIPv6) {
    std::u16string host = U16(kTestHost);
    handle_ = ZK_TelnetConnectW(W(host), &list_, kPort, ZK_AF_INET6);
    ASSERT_NE(nullptr, handle_) << "code " << ZK_TelnetQueryLastErrorCode();
    EXPECT_EQ(WideLines{u"login: "}, LinesW(list_));
    ZK_TelnetDelListW(&list_);
    std::u16string user = U16("zkuser"), password = U16("zkpass"), prompt = U16("ZK$");
    ASSERT_EQ(1, ZK_TelnetLoginW(handle_, W(user), W(password), &list_, W(prompt)));
    EXPECT_EQ((WideLines{u"Welcome to zknet-test", u"zk$ "}), LinesW(list_));
    ZK_TelnetDelListW(&list_);

    // The host writes Shift_JIS; the W lines are UTF-16.
    std::u16string nihon = U16("nihon");
    ASSERT_EQ(1, ZK_TelnetCommandSendW(handle_, W(nihon)));
    ASSERT_EQ(1, ZK_TelnetCommandRecvW(handle_, &list_));
    EXPECT_EQ((WideLines{u"日本語", u"zk$ "}), LinesW(list_));
    std::u16string kanji = u"本";
    EXPECT_EQ(1, ZK_TelnetSearchStringW(&list_, W(kanji)));
    EXPECT_EQ(u"日本語\u2193zk$ ", LastResponseW());
    ZK_TelnetDelListW(&list_);
}

}  // namespace
