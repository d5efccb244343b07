// reply_framing_test.cpp -- replies that span several lines, come late or run long: each command
// must meet its own reply. Table-driven: the server's steps after the login, one client call, and
// what the call must return, leave as code and keep as the last reply.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ftp_peer.h"

namespace {

struct FramingCase {
    const char *name;
    std::vector<LineStep> steps;                 // after the login; then QUIT is answered
    std::function<int(FtpSession *)> call;       // the client's operations; returns the last result
    int result;
    uint32_t code;
    std::string last_reply;
    std::vector<std::string> sent = {};          // when given: every line after the login, QUIT too
};

void PrintTo(const FramingCase &c, std::ostream *os) { *os << c.name; }

std::string Lines(const std::vector<std::string> &lines) {
    std::string out;
    for (const std::string &line : lines) out += line + "\r\n";
    return out;
}

std::string Greeting(int lines) {
    std::vector<std::string> text;
    for (int i = 1; i < lines; ++i) text.push_back("220-Welcome, line " + std::to_string(i) + " of a long notice on this server.");
    text.push_back("220 ready");
    return Lines(text);
}

const FramingCase kCases[] = {
    {"ContinuationLinesAreNotTheNextReply",
     {{"CWD notes", Lines({"250-This folder holds notes.", "250-Read them.", "250 Directory changed."})},
      {"DELE missing", "550 No such file.\r\n"}},
     [](FtpSession *s) {
         ZK_FtpSetDirectoryA(s, "notes");
         return ZK_FtpDeleteFileA(s, "missing");
     },
     0, 11, "550 No such file."},
    {"InnerLinesThatLookLikeCodesDoNotEndTheReply",
     {{"MKD made", Lines({"257-\"made\" created", " 257 is said here but ends nothing", "2570 neither",
                          "257 done"})},
      {"RMD made", "250 removed\r\n"}},
     [](FtpSession *s) { return ZK_FtpCreateDirectoryA(s, "made") + ZK_FtpDeleteDirectoryA(s, "made"); },
     2, 0, "250 removed"},
    {"AStrayLineIsDroppedBeforeTheNextCommand",
     {{"MKD made", "257 \"made\" created\r\n550 a stray refusal nobody asked for\r\n"},
      {"SITE CHMOD 755 made", "200 SITE CHMOD command ok.\r\n"}},
     [](FtpSession *s) {
         int made = ZK_FtpCreateDirectoryA(s, "made");
         Pause(200);  // the stray is there before the next command goes out
         return made + ZK_FtpSetPermissionA(s, "made", 0x755);
     },
     2, 0, "200 SITE CHMOD command ok."},
    // A reply that comes after its time-out would answer the next command: the session sends
    // nothing more (not even waiting for QUIT's reply) once a reply did not come in time.
    {"AReplyAfterItsTimeOutEndsTheSession",
     {{"CWD d", "250 CWD command successful\r\n", 10300}},
     [](FtpSession *s) {
         int cwd = ZK_FtpSetDirectoryA(s, "d");
         if (cwd != 0 || ZK_FtpQueryLastErrorCode() != 3) return -1;
         Pause(1000);  // the late reply arrives meanwhile
         return ZK_FtpDeleteFileA(s, "f");
     },
     0, 3, "", {"CWD d", "QUIT"}},
    // The size is the number alone; one that cannot be read is no size, and no download uses it.
    {"AnUnreadableSizeIsAFailure",
     {{"TYPE I", "200 I\r\n"}, {"SIZE f", "213 file: 213, Size =51\r\n"},
      {"TYPE I", "200 I\r\n"}, {"SIZE f", "213 Size=51\r\n"}},
     [](FtpSession *s) {
         int size = ZK_FtpGetFileSizeA(s, "f");
         if (size != 0 || ZK_FtpQueryLastErrorCode() != 11) return -1;
         return ZK_FtpGetFileA(s, "f", "never-made.bin", 1);
     },
     0, 11, "213 Size=51", {"TYPE I", "SIZE f", "TYPE I", "SIZE f", "QUIT"}},
    // A directory name longer than the usual reply is read whole; one cut before its closing
    // quote names nothing (never an empty success).
    {"ALongDirectoryNameIsReadWhole",
     {{"PWD", "257 \"/" + std::string(1100, 'd') + "\" is the current directory\r\n"},
      {"PWD", "257 \"/" + std::string(20000, 'd') + "\" is the current directory\r\n"}},
     [](FtpSession *s) {
         std::vector<char> name(4096, 'x');
         if (ZK_FtpGetDirectoryA(s, name.data(), 4096, "PWD") != 1 || std::string(name.data()) != "/" + std::string(1100, 'd')) {
             return -1;
         }
         return ZK_FtpGetDirectoryA(s, name.data(), 4096, "PWD") * 10 + (name[0] == '\0' ? 1 : 0);
     },
     1, 7, "257 \"/" + std::string(1017, 'd')},
    {"AnOverlongReplyLineIsReadToItsEnd",
     {{"CWD long", "250 " + std::string(3000, 'x') + "\r\n"}, {"DELE f", "550 refused\r\n"}},
     [](FtpSession *s) { return ZK_FtpSetDirectoryA(s, "long") * 10 + ZK_FtpDeleteFileA(s, "f"); },
     10, 11, "550 refused"},
};

// The peer is finished however a test ends, so that a failed assertion cannot leave its thread.
class PeerTest {
  protected:
    ~PeerTest() {
        if (session != nullptr) ZK_FtpDisconnect(session);
        FinishFtpPeer(peer);
    }
    FtpPeer peer;
    FtpSession *session = nullptr;
};

class ReplyFraming : public ::testing::TestWithParam<FramingCase>, protected PeerTest {};
class ReplyFramingLogin : public ::testing::Test, protected PeerTest {};

TEST_P(ReplyFraming, EachCommandMeetsItsOwnReply) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    const FramingCase &c = GetParam();
    std::vector<LineStep> steps = c.steps;
    StartFtpPeer(peer, ZK_AF_INET, [steps](FtpPeerLink &link) {
        Login(link);
        RunSteps(link, steps);
        Quit(link);
    });
    session = ConnectToPeer(peer, 1);
    ASSERT_NE(nullptr, session) << LastReply();
    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(c.result, c.call(session));
    EXPECT_EQ(c.code, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(c.last_reply, LastReply());
    ZK_FtpDisconnect(session);
    session = nullptr;
    FinishFtpPeer(peer);
    EXPECT_TRUE(peer.link.mismatches.empty()) << peer.link.mismatches.front();
    if (!c.sent.empty()) {
        std::vector<std::string> after_login(peer.link.commands.begin() + 2, peer.link.commands.end());
        EXPECT_EQ(c.sent, after_login);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplyFraming, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FramingCase> &info) { return std::string(info.param.name); });

// A greeting of 31 lines (about 2 KB) and multi-line login replies: the login goes ahead.
TEST_F(ReplyFramingLogin, LongGreetingAndMultiLineLoginReplies) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    StartFtpPeer(peer, ZK_AF_INET6, [](FtpPeerLink &link) {
        RunSteps(link, {{kNoLine, Greeting(31)},
                        {"USER user", "331-Password required for user.\r\n331 Send it.\r\n"},
                        {"PASS secret", "230-Welcome.\r\n230-Your quota is large.\r\n230 Logged in.\r\n"},
                        {"PWD", "257 \"/home\" is the current directory\r\n"}});
        Quit(link);
    });
    session = ConnectToPeer(peer, 1);
    ASSERT_NE(nullptr, session) << ZK_FtpQueryLastErrorCode() << " " << LastReply();
    EXPECT_EQ("230 Logged in.", LastReply());
    char name[64];
    EXPECT_EQ(1, ZK_FtpGetDirectoryA(session, name, sizeof(name), "PWD"));
    EXPECT_STREQ("/home", name);
    ZK_FtpDisconnect(session);
    session = nullptr;
    FinishFtpPeer(peer);
    EXPECT_TRUE(peer.link.mismatches.empty()) << peer.link.mismatches.front();
    EXPECT_FALSE(peer.link.bare_line_end);
}

// A server that greets and then never answers USER does not hold the caller: the login's replies
// are bounded like every other, code 3.
TEST_F(ReplyFramingLogin, ASilentLoginIsBounded) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    StartFtpPeer(peer, ZK_AF_INET, [](FtpPeerLink &link) {
        RunSteps(link, {{kNoLine, "220 ready\r\n"}, {"USER user", ""}});
        AwaitClose(link, 25000);
    });
    uint32_t start = Now();
    EXPECT_EQ(nullptr, ConnectToPeer(peer, 1));
    EXPECT_EQ(3u, ZK_FtpQueryLastErrorCode());
    EXPECT_LT(Since(start), 18000u);
}

}  // namespace
