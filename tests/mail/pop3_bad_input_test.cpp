// pop3_bad_input_test.cpp -- what callers get wrong on the receiving side: null handles, lists and
// texts, SMTP sessions given to POP3 operations (and the other way round), folders that do not
// exist or are files, paths longer than 260 bytes, files that cannot be written whole. Each gives
// its result and code, sends nothing it should not, and never overruns, crashes or hangs.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "mail/mail_session.h"
#include "pop3_support.h"
#include "send_support.h"
#include "support/line_peer.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

// A handle of the given kind whose socket was never connected.
struct LooseHandle {
    explicit LooseHandle(bool smtp) {
        handle = MailNewHandle();
        socket = ProtoOpenTransport(ZK_SocketOpen(ZK_AF_INET, ZK_SOCK_STREAM));
        (smtp ? handle->smtpSocket : handle->pop3Socket) = socket;
    }
    ~LooseHandle() {
        ProtoCloseTransport(socket);
        MailFreeHandle(handle);
    }
    MailHandle *handle;
    ProtoTransport *socket;
};

TEST(Pop3BadInput, NullHandlesListsAndTexts) {
    MailList list{3, &list};
    MailLastError = 0;
    EXPECT_EQ(0, ZK_MailBoxA(nullptr, &list, 0));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(3, list.count);  // not touched
    MailLastError = 0;
    EXPECT_EQ(0, ZK_MailBoxW(nullptr, nullptr, 1));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    // A session without a list: nothing sent, the code unchanged.
    LooseHandle pop3(false);
    MailLastError = 9;
    EXPECT_EQ(0, ZK_MailBoxA(pop3.handle, nullptr, 1));
    EXPECT_EQ(0, ZK_MailBoxW(pop3.handle, nullptr, 0));
    EXPECT_EQ(9u, ZK_MailQueryLastErrorCode());
    ZK_MailListFreeA(nullptr);
    ZK_MailListFreeW(nullptr);
    MailList empty{0, nullptr};
    ZK_MailListFreeA(&empty);
    ZK_MailListFreeW(&empty);
    EXPECT_EQ(0, ZK_MailDelete(nullptr, 1));
    EXPECT_EQ(nullptr, ZK_MailRecv(nullptr, 1));
    ZK_MailRecvFree(nullptr);
    EXPECT_EQ(0, ZK_MailRecvToFileA(nullptr, 1, ".", "m"));
    EXPECT_EQ(0, ZK_MailRecvToFileA(pop3.handle, 1, nullptr, "m"));
    EXPECT_EQ(0, ZK_MailRecvToFileA(pop3.handle, 1, ".", nullptr));
    EXPECT_EQ(0, ZK_MailRecvToFileW(nullptr, 1, Wz(u"."), Wz(u"m")));
    EXPECT_EQ(0, ZK_MailRecvToFileW(pop3.handle, 1, nullptr, Wz(u"m")));
    EXPECT_EQ(0, ZK_MailRecvToFileW(pop3.handle, 1, Wz(u"."), nullptr));
    EXPECT_EQ(9u, ZK_MailQueryLastErrorCode());
    ZK_MailDisconnectPop3(nullptr);
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(0, ZK_MailSendFromFileA(nullptr, "h", "x.eml"));
    EXPECT_EQ(0, ZK_MailSendFromFileW(nullptr, Wz(u"h"), Wz(u"x.eml")));
}

// Null texts at connect: no host is the local one (as the socket layer has it), no user or
// password sends the command word alone.
TEST(Pop3BadInput, NullTextsAtConnect) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    EXPECT_EQ(nullptr, ZK_MailConnectPop3A(nullptr, "u", "p", 2999, ZK_AF_INET));
    EXPECT_EQ(2u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(nullptr, ZK_MailConnectPop3W(nullptr, nullptr, nullptr, 2999, ZK_AF_INET6));
    EXPECT_EQ(2u, ZK_MailQueryLastErrorCode());
    for (bool wide : {false, true}) {
        LinePeer peer;
        StartLinePeer(peer, ZK_AF_INET, std::vector<LineStep>{{kNoLine, "+OK\r\n"}, {"USER", "+OK\r\n"},
                                                             {"PASS", "-ERR no password\r\n"}});
        EXPECT_EQ(nullptr, wide ? ZK_MailConnectPop3W(Wz(u"127.0.0.1"), nullptr, nullptr, peer.listener.port, ZK_AF_INET)
                                : ZK_MailConnectPop3A("127.0.0.1", nullptr, "", peer.listener.port, ZK_AF_INET));
        EXPECT_EQ(6u, ZK_MailQueryLastErrorCode());
        FinishLinePeer(peer);
        EXPECT_EQ(Lines(), peer.link.mismatches);
    }
}

// An SMTP session is no POP3 session, and a POP3 session no SMTP session.
TEST(Pop3BadInput, SessionsOfTheOtherProtocol) {
    LooseHandle smtp(true);
    MailList list{0, nullptr};
    MailLastError = 0;
    EXPECT_EQ(0, ZK_MailBoxA(smtp.handle, &list, 1));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    MailLastError = 0;
    EXPECT_EQ(0, ZK_MailBoxW(smtp.handle, &list, 0));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    MailLastError = 0;
    EXPECT_EQ(0, ZK_MailDelete(smtp.handle, 1));
    EXPECT_EQ(nullptr, ZK_MailRecv(smtp.handle, 1));
    EXPECT_EQ(0, ZK_MailRecvToFileA(smtp.handle, 1, MailWork().c_str(), "m"));
    EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
    ZK_MailDisconnectPop3(smtp.handle);
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(smtp.socket, smtp.handle->smtpSocket);  // nothing released

    fs::path file = fs::path(MailWork()) / "other-protocol.eml";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "From: A <a@x>\nTo: B <b@y>\n\nbody\n";
    }
    LooseHandle pop3(false);
    MailLastError = 0;
    EXPECT_EQ(0, ZK_MailSendFromFileA(pop3.handle, "h", file.string().c_str()));
    EXPECT_EQ(1u, ZK_MailQueryLastErrorCode());
}

// Folders and paths that cannot take the file are found before anything is retrieved.
class Pop3FileTargets : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
        folder_ = fs::path(MailWork("pop3-targets"));
        std::error_code ec;
        fs::remove_all(folder_, ec);
        fs::create_directories(folder_);
    }
    void TearDown() override { FinishLinePeer(peer_); }
    MailHandle *Connect(std::vector<LineStep> steps) {
        std::vector<LineStep> all = {{kNoLine, "+OK\r\n"}, {"USER u", "+OK\r\n"}, {"PASS p", "+OK\r\n"}};
        all.insert(all.end(), steps.begin(), steps.end());
        all.push_back({"QUIT", "+OK bye\r\n"});
        StartLinePeer(peer_, ZK_AF_INET, all);
        return ZK_MailConnectPop3A("127.0.0.1", "u", "p", peer_.listener.port, ZK_AF_INET);
    }
    Lines Finish(MailHandle *h) {
        ZK_MailDisconnectPop3(h);
        FinishLinePeer(peer_);
        EXPECT_EQ(Lines(), peer_.link.mismatches);
        return Lines(peer_.link.commands.begin() + 2, peer_.link.commands.end());
    }
    fs::path folder_;
    LinePeer peer_;
};

TEST_F(Pop3FileTargets, FoldersThatAreNoneOrFilesAndPathsTooLong) {
    MailHandle *h = Connect({});
    ASSERT_NE(nullptr, h);
    const std::string folder = folder_.string();
    {
        std::ofstream out(folder_ / "plain-file", std::ios::binary);
        out << "x";
    }
    const struct {
        std::string folder;
        std::string name;
        uint32_t code;
    } cases[] = {
        {folder + "/no-such-folder", "m", 12},
        {(folder_ / "plain-file").string(), "m", 12},
        {"", "m", 12},
        {folder + std::string(300, 'f'), "m", 12},
        {folder, std::string(260 - folder.size() - 5, 'n'), 13},  // one byte over with the terminator
        {folder, std::string(1000, 'n'), 13},
    };
    for (const auto &c : cases) {
        MailLastError = 0;
        EXPECT_EQ(0, ZK_MailRecvToFileA(h, 1, c.folder.c_str(), c.name.c_str())) << c.folder << " " << c.name.size();
        EXPECT_EQ(c.code, ZK_MailQueryLastErrorCode()) << c.folder << " " << c.name.size();
        MailLastError = 0;
        EXPECT_EQ(0, ZK_MailRecvToFileW(h, 1, Wz(Utf16(c.folder.c_str())), Wz(Utf16(c.name.c_str()))));
        EXPECT_EQ(c.code, ZK_MailQueryLastErrorCode());
    }
    EXPECT_EQ(1u, FilesIn(folder).size());  // only the plain file
    EXPECT_EQ(Lines{"QUIT"}, Finish(h));    // nothing was retrieved
}

TEST_F(Pop3FileTargets, LongestPathThatFits) {
    const std::string folder = folder_.string();
    const std::string name(260 - folder.size() - 6, 'n');  // folder, separator, name, ".eml", terminator: 260
    MailHandle *h = Connect({{"RETR 1", "+OK\r\nx\r\n.\r\n"}});
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(1, ZK_MailRecvToFileA(h, 1, folder.c_str(), name.c_str())) << ZK_MailQueryLastErrorCode();
    EXPECT_EQ("x\r\n", ReadFileBytes((folder_ / (name + ".eml")).string()));
    EXPECT_EQ(Lines({"RETR 1", "QUIT"}), Finish(h));
}

#if !defined(_WIN32)
// A device that takes nothing (the disk is full): 0 with code 13, never 1.
TEST_F(Pop3FileTargets, WriteThatFailsIsCode13) {
    fs::create_symlink("/dev/full", folder_ / "full.eml");
    MailHandle *h = Connect({{"RETR 1", "+OK\r\nhello\r\n.\r\n"}});
    ASSERT_NE(nullptr, h);
    MailLastError = 0;
    EXPECT_EQ(0, ZK_MailRecvToFileA(h, 1, folder_.string().c_str(), "full"));
    EXPECT_EQ(13u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(Lines({"RETR 1", "QUIT"}), Finish(h));
}

// The file may grow by only part of the message: what is written stops short, and that is no success.
TEST_F(Pop3FileTargets, ShortWriteIsCode13) {
    std::string message;
    for (int i = 0; i < 400; ++i) message += std::string(70, 'w') + "\r\n";
    MailHandle *h = Connect({{"RETR 1", "+OK\r\n" + message + ".\r\n"}});
    ASSERT_NE(nullptr, h);
    struct sigaction ignore {}, old {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit limit{}, saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    limit.rlim_cur = 10000;
    limit.rlim_max = saved.rlim_max;
    setrlimit(RLIMIT_FSIZE, &limit);
    MailLastError = 0;
    int32_t result = ZK_MailRecvToFileA(h, 1, folder_.string().c_str(), "short");
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);
    EXPECT_EQ(0, result);
    EXPECT_EQ(13u, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(10000u, fs::file_size(folder_ / "short.eml"));
    EXPECT_EQ(Lines({"RETR 1", "QUIT"}), Finish(h));
}
#endif

// The header fetch with headers that do not fit their fields: they stay empty, nothing overruns.
TEST_F(Pop3FileTargets, HeaderValuesTooLongForTheirFields) {
    const std::string from = "From: " + std::string(700, 'f') + "\r\n";
    const std::string subject = "Subject: " + std::string(3000, 's') + "\r\n";
    MailHandle *h = Connect({{"LIST", "+OK\r\n1 5\r\n.\r\n"}, {"RETR 1", "+OK\r\n" + from + subject + "\r\nb\r\n.\r\n"},
                             {"LIST", "+OK\r\n1 5\r\n.\r\n"}, {"RETR 1", "+OK\r\n" + from + subject + "\r\nb\r\n.\r\n"}});
    ASSERT_NE(nullptr, h);
    MailList list{0, nullptr};
    EXPECT_EQ(1, ZK_MailBoxA(h, &list, 1));
    EXPECT_EQ("1/5 |", ListingA(list, true));
    ZK_MailListFreeA(&list);
    ZK_MailListFreeA(&list);  // a second release finds nothing
    EXPECT_EQ(1, ZK_MailBoxW(h, &list, 1));
    EXPECT_EQ("1/5 |", ListingW(list, true));
    ZK_MailListFreeW(&list);
    EXPECT_EQ(Lines({"LIST", "RETR 1", "LIST", "RETR 1", "QUIT"}), Finish(h));
}

}  // namespace
