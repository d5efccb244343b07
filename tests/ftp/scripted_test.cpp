// scripted_test.cpp -- the FTP client against a scripted server: what vsftpd will not do (421
// greetings, USER answered by 230, no MDTM, RETR answered by 125, missing or garbled replies,
// connections that end early) and the exact command transcript the client sends.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "ftp_files.h"
#include "ftp_peer.h"
#include "peer_session.h"
#include "platform/platform.h"
#include "platform/socket_wait.h"
#include "socket/socket_handle.h"

namespace {

// A session against the scripted server: it logs the client in, plays the test's script and
// takes QUIT.
class ScriptedFtp : public PeerSession {};

// ---- Connecting ----

TEST_F(ScriptedFtp, GreetingWith421StillLogsIn) {
    StartFtpPeer(peer_, ZK_AF_INET, [](FtpPeerLink &link) {
        Reply(link, "421 too many users, but try anyway");
        if (Expect(link) == "USER user") Reply(link, "331 password please");
        if (Expect(link) == "PASS secret") Reply(link, "230 logged in");
        Quit(link);
    });
    session_ = ConnectToPeer(peer_, 1);
    ASSERT_NE(nullptr, session_);
    EXPECT_EQ(0u, ZK_FtpQueryLastErrorCode());
    ZK_FtpDisconnect(session_);
    session_ = nullptr;
    FinishFtpPeer(peer_);
    EXPECT_EQ((Lines{"USER user", "PASS secret", "QUIT"}), peer_.link.commands);
}

TEST_F(ScriptedFtp, UserAnsweredBy230FailsWithoutPassword) {
    StartFtpPeer(peer_, ZK_AF_INET6, [](FtpPeerLink &link) {
        Reply(link, "220 ready");
        Expect(link);
        Reply(link, "230 no password needed");
        Expect(link, 2000);  // the client closes instead of sending PASS
    });
    EXPECT_EQ(nullptr, ConnectToPeer(peer_, 0));
    EXPECT_EQ(6u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ("230 no password needed", LastReply());  // the final line, as every reply is kept
    FinishFtpPeer(peer_);
    EXPECT_EQ((Lines{"USER user"}), peer_.link.commands);
}

TEST_F(ScriptedFtp, NoGreetingIsCode3) {
    StartFtpPeer(peer_, ZK_AF_INET, [](FtpPeerLink &) {});  // accepts and closes at once
    EXPECT_EQ(nullptr, ConnectToPeer(peer_, 1));
    EXPECT_EQ(3u, ZK_FtpQueryLastErrorCode());
}

// ---- Downloads ----

// TYPE I, SIZE, TYPE A, PORT, RETR, (data), MDTM: an ASCII download expecting 10 bytes whose data
// holds two CRs reads 12; the PORT names the control connection's address and a port of the range.
TEST_F(ScriptedFtp, ActiveAsciiDownloadTranscript) {
    Start(ZK_AF_INET, 0, [](FtpPeerLink &link) {
        Answer(link, {"200 Type set to I", "213 10", "200 Type set to A"});
        std::string port = Expect(link);
        Reply(link, "200 PORT ok");
        Expect(link);
        Reply(link, "150 opening");
        SocketHandle *data = ConnectActive(link, port);
        SendAll(data, "ab\r\ncd\r\nefgh");
        Pause(300);
        Reply(link, "226 done");
        ZK_SocketClose(data);
        Expect(link);  Reply(link, "213 20240131203000");
    });
    std::string path = Local("ascii.txt");
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "f.txt", path.c_str(), 0)) << LastReply();
    EXPECT_EQ("ab\r\ncd\r\nefgh", ReadBytes(path));
    FtpFileDate date{2024, 1, 31, 20, 30, 0};
    EXPECT_EQ(DateSeconds(date), ModifiedSeconds(path));
    Lines sent = Sent();
    ASSERT_EQ(6u, sent.size());
    EXPECT_EQ("TYPE I", sent[0]);
    EXPECT_EQ("SIZE f.txt", sent[1]);
    EXPECT_EQ("TYPE A", sent[2]);
    EXPECT_EQ(0u, sent[3].rfind("PORT 127,0,0,1,", 0)) << sent[3];
    int port = AnnouncedPort(sent[3]);
    EXPECT_GE(port, 40000);
    EXPECT_LE(port, 40099);
    EXPECT_EQ("RETR f.txt", sent[4]);
    EXPECT_EQ("MDTM f.txt", sent[5]);
}

// Any preliminary reply starts a transfer (125 "data connection already open" as well as 150),
// in both modes and both forms. An upload sends nothing before that reply: a server that starts
// reading the data connection only once it has taken STOR would lose what came earlier. Like
// pyftpdlib, the server of the active cases connects as soon as PORT is taken.
struct PreliminaryCase {
    const char *name;
    uint16_t family;
    uint32_t passive;
    bool wide;
    bool put;
    const char *reply;
};

const PreliminaryCase kPreliminary[] = {
    {"ActiveWideDownload125", ZK_AF_INET, 0, true, false, "125 Data connection already open. Transfer starting."},
    {"ActiveDownload125", ZK_AF_INET6, 0, false, false, "125 Data connection already open. Transfer starting."},
    {"PassiveWideDownload125", ZK_AF_INET, 1, true, false, "125 go"},
    {"ActiveUpload125", ZK_AF_INET, 0, false, true, "125 Data connection already open. Transfer starting."},
    {"PassiveUpload150", ZK_AF_INET6, 1, true, true, "150 Ok to send data."},
    {"PassiveUpload125", ZK_AF_INET, 1, false, true, "125 go"},
};

class Preliminary : public PeerSession, public ::testing::WithParamInterface<PreliminaryCase> {};

TEST_P(Preliminary, StartsTheTransfer) {
    const PreliminaryCase c = GetParam();
    const std::string payload = "the upload's bytes, every one of them";
    auto early = std::make_shared<std::atomic<bool>>(false);
    auto stored = std::make_shared<std::string>();
    Start(c.family, c.passive, [c, early, stored](FtpPeerLink &link) {
        Expect(link);  Reply(link, "200 I");
        if (!c.put) {
            Answer(link, {"213 5", "200 I"});
        }
        SocketHandle *data = nullptr;
        if (c.passive) {
            Expect(link);  Reply(link, OpenPassive(link));
            data = AcceptData(link);
        } else {
            std::string port = Expect(link);
            Reply(link, "200 PORT ok");
            data = ConnectActive(link, port);
        }
        Expect(link);
        if (c.put) *early = win::WaitReadable(data->socket, 300) != 0;
        Reply(link, c.reply);
        if (c.put) {
            *stored = DrainData(data);
        } else {
            SendAll(data, "hello");
        }
        ZK_SocketClose(data);
        Reply(link, "226 done");
        if (!c.put) {
            Expect(link);  Reply(link, "213 20200101000000");
        }
    });
    std::string local = Local("file.bin");
    int ok;
    if (c.put) {
        ASSERT_TRUE(WriteBytes(local, payload));
        ok = c.wide ? ZK_FtpPutFileW(session_, W(U16(local.c_str())), W(U16("f")), 1)
                    : ZK_FtpPutFileA(session_, local.c_str(), "f", 1);
    } else {
        ok = c.wide ? ZK_FtpGetFileW(session_, W(U16("f")), W(U16(local.c_str())), 1)
                    : ZK_FtpGetFileA(session_, "f", local.c_str(), 1);
    }
    EXPECT_EQ(1, ok) << ZK_FtpQueryLastErrorCode() << " " << LastReply();
    Sent();
    if (c.put) {
        EXPECT_FALSE(*early) << "data went out before the server's reply";
        EXPECT_EQ(payload, *stored);
    } else {
        EXPECT_EQ("hello", ReadBytes(local));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Preliminary, ::testing::ValuesIn(kPreliminary),
                         [](const ::testing::TestParamInfo<PreliminaryCase> &info) { return std::string(info.param.name); });

// An upload whose completion reply never comes fails (12) within the reply bound, and the session
// is out of step: the late 226 would answer the next command, so nothing more is sent.
TEST_F(ScriptedFtp, UploadWithoutCompletionEndsTheSession) {
    std::string path = Local("up.bin");
    ASSERT_TRUE(WriteBytes(path, "payload"));
    Start(ZK_AF_INET6, 1, [](FtpPeerLink &link) {
        Expect(link);  Reply(link, "200 I");
        SocketHandle *data = ServePassive(link, "150 Ok to send data.", "127,0,0,1", '!');  // (!!!port!)
        DrainData(data);
        ZK_SocketClose(data);
        Pause(10500);
        Reply(link, "226 Transfer complete, too late.");
    });
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_FtpPutFileA(session_, path.c_str(), "up.bin", 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_LT(Since(start), 13000u);
    Pause(1000);  // the late reply arrives meanwhile
    EXPECT_EQ(0, ZK_FtpDeleteFileA(session_, "up.bin"));
    EXPECT_EQ(3u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ((Lines{"TYPE I", "EPSV", "STOR up.bin"}), Sent());
}

TEST_F(ScriptedFtp, ServerWithoutMdtmFailsWith13AfterTheData) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Answer(link, {"200 I", "213 5", "200 I"});
        SocketHandle *data = ServePassive(link, "150 go");
        SendAll(data, "hello");
        ZK_SocketClose(data);
        Reply(link, "226 done");
        Expect(link);  Reply(link, "500 MDTM not understood");
    });
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "f", Local("nomdtm.bin").c_str(), 1));
    EXPECT_EQ(13u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ("hello", ReadBytes(Local("nomdtm.bin")));
}

// The server closes the data connection after 40 of 100 bytes and still says 226: the file is
// incomplete, so the download fails (12) and no MDTM is asked for.
TEST_F(ScriptedFtp, DataClosedEarlyIsNoSuccess) {
    Start(ZK_AF_INET6, 1, [](FtpPeerLink &link) {
        Answer(link, {"200 I", "213 100", "200 I"});
        SocketHandle *data = ServePassive(link, "150 go");
        SendAll(data, std::string(40, 'x'));
        ZK_SocketClose(data);
        Reply(link, "226 done (not really)");
    });
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "f", Local("short.bin").c_str(), 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    Lines sent = Sent();
    EXPECT_EQ("RETR f", sent.back());
    EXPECT_EQ("EPSV", sent[3]);
}

TEST_F(ScriptedFtp, CompletionLineThatNeverComesIs12) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Answer(link, {"200 I", "213 3", "200 I"});
        SocketHandle *data = ServePassive(link, "150 go");
        SendAll(data, "abc");
        ZK_SocketClose(data);
        Pause(10500);  // no 226
    });
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "f", Local("nocompletion.bin").c_str(), 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ("", LastReply());  // the line that never came leaves the reply store empty
    EXPECT_LT(Since(start), 13000u);
}

// The control connection drops while the data connection stays open and silent: the download
// ends at once instead of waiting out the data time-out.
TEST_F(ScriptedFtp, ControlDroppedMidTransferEndsTheWait) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Answer(link, {"200 I", "213 100000", "200 I"});
        SocketHandle *data = ServePassive(link, "150 go");
        SendAll(data, std::string(1000, 'd'));
        ZK_SocketClose(link.control);
        link.control = nullptr;
        Pause(6000);
        ZK_SocketClose(data);
    });
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "f", Local("dropped.bin").c_str(), 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_LT(Since(start), 5000u);  // well before the peer closes the data connection
}

// The same for a listing: a listing whose data connection had to be called off is incomplete,
// so it fails rather than return the lines that happened to arrive.
TEST_F(ScriptedFtp, ControlDroppedMidListingFails) {
    Start(ZK_AF_INET6, 1, [](FtpPeerLink &link) {
        Expect(link);  Reply(link, "200 A");
        SocketHandle *data = ServePassive(link, "150 listing");
        ZK_SocketClose(link.control);
        link.control = nullptr;
        Pause(6000);
        SendAll(data, "late\r\n");
        ZK_SocketClose(data);
    });
    MStringList list{7, nullptr};
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_FtpListFileA(session_, &list, "LIST"));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(7, list.count);
    EXPECT_LT(Since(start), 5000u);
}

// ---- Passive replies ----

TEST_F(ScriptedFtp, GarbledPassiveRepliesFailWith17) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Answer(link, {"200 I", "213 3", "200 I", "227 Entering Passive Mode (somewhere, soon).", "200 A",
                      "500 PASV not now"});
    });
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "f", Local("garbled.bin").c_str(), 1));
    EXPECT_EQ(17u, ZK_FtpQueryLastErrorCode());
    MStringList list{7, nullptr};
    EXPECT_EQ(0, ZK_FtpListFileA(session_, &list, "LIST"));
    EXPECT_EQ(17u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(7, list.count);  // untouched
    EXPECT_EQ((Lines{"TYPE I", "SIZE f", "TYPE I", "PASV", "TYPE A", "PASV"}), Sent());
}

TEST_F(ScriptedFtp, GarbledEpsvReplyFailsWith17) {
    Start(ZK_AF_INET6, 1, [](FtpPeerLink &link) {
        Answer(link, {"200 A", "229 Entering Extended Passive Mode (|||port|)"});
    });
    MStringList list{7, nullptr};
    EXPECT_EQ(0, ZK_FtpListFileW(session_, &list, W(U16("LIST"))));
    EXPECT_EQ(17u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ((Lines{"TYPE A", "EPSV"}), Sent());
}

// A PASV reply naming another host: the data connection still goes to the control connection's
// peer (here loopback), never to the address the server names.
TEST_F(ScriptedFtp, PassiveConnectionGoesToTheControlPeer) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Expect(link);  Reply(link, "200 A");
        SocketHandle *data = ServePassive(link, "150 here it comes", "10,9,8,7");
        SendAll(data, data != nullptr ? "-rw-r--r-- 1 u g 1 Jan 1 00:00 x.txt\r\n" : "");
        ZK_SocketClose(data);
        Reply(link, "226 done");
    });
    MStringList list{0, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileA(session_, &list, "LIST"));
    ASSERT_EQ(1, list.count);
    EXPECT_STREQ("-rw-r--r-- 1 u g 1 Jan 1 00:00 x.txt", static_cast<const char *>(list.items[0]));
    ZK_SocketDeleteMStringA(&list);
}

// ---- Refusals that must not hang ----

// STOR refused where 150 is expected: code 5 at once; the worker waiting for the server's
// connection is called off, and the session goes on.
TEST_F(ScriptedFtp, RefusedActiveUploadEndsAtOnce) {
    std::string path = Local("up.bin");
    ASSERT_TRUE(WriteBytes(path, "payload"));
    Start(ZK_AF_INET6, 0, [](FtpPeerLink &link) {
        Answer(link, {"200 I", "200 EPRT ok", "553 Could not create file.",
                      "257 \"/pub/incoming\" is the current directory"});
    });
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_FtpPutFileA(session_, path.c_str(), "up.bin", 1));
    EXPECT_EQ(5u, ZK_FtpQueryLastErrorCode());
    EXPECT_LT(Since(start), 6000u);
    char name[64];
    EXPECT_EQ(1, ZK_FtpGetDirectoryA(session_, name, sizeof(name), "PWD"));
    EXPECT_STREQ("/pub/incoming", name);
    Lines sent = Sent();
    ASSERT_EQ(4u, sent.size());
    EXPECT_EQ(0u, sent[1].rfind("EPRT |2|::1|400", 0)) << sent[1];
    EXPECT_EQ("STOR up.bin", sent[2]);
}

// A listing command refused with 550 is a failure, not an empty directory, and ends at once.
TEST_F(ScriptedFtp, RefusedListingFailsAtOnce) {
    Start(ZK_AF_INET, 0, [](FtpPeerLink &link) {
        Answer(link, {"200 A", "200 PORT ok", "550 No such directory"});
    });
    MStringList list{7, nullptr};
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_FtpListFileA(session_, &list, "LIST nothere"));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(7, list.count);
    EXPECT_LT(Since(start), 6000u);
}

TEST_F(ScriptedFtp, PassiveListingWithoutCompletionLineStillReturnsItsList) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Expect(link);  Reply(link, "200 A");
        SocketHandle *data = ServePassive(link, "150 listing");
        SendAll(data, "a\r\nbc\r\n");
        ZK_SocketClose(data);
        Pause(10500);  // no 226
    });
    MStringList list{0, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileW(session_, &list, W(U16("NLST"))));
    ASSERT_EQ(2, list.count);
    EXPECT_EQ(U16("a"), std::u16string(static_cast<const char16_t *>(list.items[0])));
    EXPECT_EQ(U16("bc"), std::u16string(static_cast<const char16_t *>(list.items[1])));
    ZK_SocketDeleteMStringW(&list);
}

// ---- The active port range ----

// With 99 of the 100 ports taken the client listens on the one left; with all taken it announces
// nothing and fails.
TEST_F(ScriptedFtp, ActivePortFallsBackWithinTheRange) {
    // Released however the test ends: ports left taken would fail every later active test.
    struct Taken : std::vector<SocketHandle *> {
        ~Taken() {
            for (SocketHandle *h : *this) ZK_SocketClose(h);
        }
    } taken;
    for (int port = 40000; port <= 40099; ++port) {
        if (port == 40042) continue;
        SocketHandle *h = ZK_SocketOpenServer(ZK_SOCK_STREAM, port, ZK_AF_INET);
        if (h != nullptr) taken.push_back(h);
    }
    ASSERT_GE(taken.size(), 90u);  // a port still in TIME_WAIT is taken for the client as well
    Start(ZK_AF_INET, 0, [](FtpPeerLink &link) {
        Expect(link);  Reply(link, "200 A");
        std::string port = Expect(link);
        Reply(link, "200 PORT ok");
        Expect(link);
        Reply(link, "150 listing");
        SocketHandle *data = ConnectActive(link, port);
        SendAll(data, "only\r\n");
        ZK_SocketClose(data);
        Reply(link, "226 done");
        Expect(link);  Reply(link, "200 A");
    });
    MStringList list{0, nullptr};
    EXPECT_EQ(1, ZK_FtpListFileA(session_, &list, "LIST"));
    EXPECT_EQ(1, list.count);
    ZK_SocketDeleteMStringA(&list);
    SocketHandle *last = ZK_SocketOpenServer(ZK_SOCK_STREAM, 40042, ZK_AF_INET);
    ASSERT_NE(nullptr, last);
    taken.push_back(last);
    EXPECT_EQ(0, ZK_FtpListFileA(session_, &list, "LIST"));
    EXPECT_EQ(5u, ZK_FtpQueryLastErrorCode());
    for (SocketHandle *h : taken) ZK_SocketClose(h);
    taken.clear();
    Lines sent = Sent();
    ASSERT_EQ(4u, sent.size());
    EXPECT_EQ("PORT 127,0,0,1,156,106", sent[1]);  // 40042 = 156 * 256 + 106
    EXPECT_EQ("TYPE A", sent[3]);                  // and nothing after it
}

// ---- Command lines ----

// Lines that would break the dialogue are never sent: CR or LF inside an argument (a second
// command), and lines past the 1024-character limit (they would lose their CR LF).
TEST_F(ScriptedFtp, UnsafeCommandLinesAreNotSent) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Answer(link, {"200 SITE CHMOD ok", "200 SITE CHMOD ok", "550 No such file", "250 deleted"});
    });
    EXPECT_EQ(0, ZK_FtpDeleteFileA(session_, "a\r\nDELE b"));
    EXPECT_EQ(4u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpDeleteFileW(session_, W(U16("a\nb"))));
    EXPECT_EQ(4u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpSetDirectoryA(session_, std::string(1100, 'd').c_str()));
    EXPECT_EQ(4u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(1, ZK_FtpSetPermissionA(session_, "run.sh", 0x1755));
    EXPECT_EQ(1, ZK_FtpSetPermissionW(session_, W(U16("x")), 0x44));
    EXPECT_EQ(0, ZK_FtpSetPermissionA(session_, "gone", 0x644));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    // "DELE ", 1016 characters and CR LF: 1023, the longest line that fits with its terminator.
    EXPECT_EQ(1, ZK_FtpDeleteFileA(session_, std::string(1016, 'n').c_str()));
    Lines sent = Sent();
    ASSERT_EQ(4u, sent.size());
    EXPECT_EQ("SITE CHMOD 755 run.sh", sent[0]);
    EXPECT_EQ("SITE CHMOD  44 x", sent[1]);
    EXPECT_EQ("SITE CHMOD 644 gone", sent[2]);
}

// Replies are judged by the code they begin with; a refusal's words are read without case.
TEST_F(ScriptedFtp, RepliesAreJudgedByTheirCode) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Answer(link, {"550 NOTE: 250 follows", "550 NO SUCH FILE", "200 I", "213 99999999999", "213 20240131203000.123",
                      "213 2024", "257 one \" quote"});
    });
    EXPECT_EQ(0, ZK_FtpSetDirectoryA(session_, "x"));
    EXPECT_EQ(8u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpSetPermissionA(session_, "x", 0x644));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());  // "No such" found in capitals
    EXPECT_EQ(2147483647, ZK_FtpGetFileSizeA(session_, "x")) << LastReply();
    FtpFileDate date{};
    ASSERT_EQ(1, ZK_FtpGetFileDateA(session_, "x", &date, 1));
    EXPECT_EQ(2024, date.year);
    EXPECT_EQ(32, date.day);  // the shift does not carry into the month
    EXPECT_EQ(5, date.hour);
    EXPECT_EQ(0, ZK_FtpGetFileDateA(session_, "x", &date, 0));  // no full time in the reply
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    char name[16] = "junk";
    EXPECT_EQ(0, ZK_FtpGetDirectoryA(session_, name, sizeof(name), "PWD"));  // no name, not an empty one
    EXPECT_EQ(7u, ZK_FtpQueryLastErrorCode());
    EXPECT_STREQ("", name);
}

// ---- Sessions that must fail before anything is sent ----

TEST_F(ScriptedFtp, PassiveValueOtherThanZeroOrOneFailsEveryDataPhase) {
    std::string path = Local("two.bin");
    ASSERT_TRUE(WriteBytes(path, "2"));
    Start(ZK_AF_INET, 2, [](FtpPeerLink &) {});
    MStringList list{5, nullptr};
    EXPECT_EQ(0, ZK_FtpListFileA(session_, &list, "LIST"));
    EXPECT_EQ(1u, ZK_FtpQueryLastErrorCode());
    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "r", path.c_str(), 1));
    EXPECT_EQ(1u, ZK_FtpQueryLastErrorCode());
    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(0, ZK_FtpPutFileW(session_, W(U16(path.c_str())), W(U16("r")), 1));
    EXPECT_EQ(1u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(5, list.count);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ScriptedFtp, BadLocalPathsFailBeforeAnythingIsSent) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &) {});
    std::string long_path(300, 'p');
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "r", long_path.c_str(), 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "r", "", 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpGetFileW(session_, W(U16("r")), nullptr, 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpPutFileA(session_, long_path.c_str(), "r", 1));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpPutFileA(session_, nullptr, "r", 1));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpPutFileW(session_, W(U16(Local("nothing.bin").c_str())), W(U16("r")), 1));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_TRUE(Sent().empty());
}

}  // namespace

// A reply line longer than the reply buffer is read to its end, so the next command is judged on
// its own reply; the next reply's lines follow at both awkward lengths (the CR or the LF as the
// last byte the line buffer takes).
TEST_F(ScriptedFtp, OverlongReplyLinesKeepTheSessionInStep) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        Expect(link);  Reply(link, "550 " + std::string(2000, 'x'));
        Expect(link);  Reply(link, "250 " + std::string(1018, 'y'));  // 1022 characters before CR LF
        Answer(link, {"250 Delete operation successful.", "257 \"/abcd\" is the current directory",
                      "257 \"/abcd\" is the current directory"});
    });
    EXPECT_EQ(0, ZK_FtpSetDirectoryA(session_, "nowhere"));
    EXPECT_EQ(8u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(1, ZK_FtpSetDirectoryA(session_, "somewhere"));
    EXPECT_EQ(1, ZK_FtpDeleteFileA(session_, "gone.txt"));
    // A name buffer that cannot hold the name (none at all included) is a failure with code 7.
    char name[16] = "kept";
    EXPECT_EQ(0, ZK_FtpGetDirectoryA(session_, name, 0, "PWD"));
    EXPECT_EQ(7u, ZK_FtpQueryLastErrorCode());
    EXPECT_STREQ("kept", name);  // a size of 0 lets nothing be written
    EXPECT_EQ(0, ZK_FtpGetDirectoryA(session_, nullptr, 100, "PWD"));
    EXPECT_EQ(7u, ZK_FtpQueryLastErrorCode());
    Lines sent = Sent();
    EXPECT_EQ((Lines{"CWD nowhere", "CWD somewhere", "DELE gone.txt", "PWD", "PWD"}), sent);
}

// A local file another program holds exclusively cannot be read: nothing is sent, since STOR
// alone would already replace the server's file with an empty one. Windows enforces the holder's
// sharing, so the case exists only there.
TEST_F(ScriptedFtp, LocalFileHeldExclusivelyIsNotUploaded) {
#if defined(_WIN32)
    std::string path = Local("held.bin");
    ASSERT_TRUE(WriteBytes(path, "precious"));
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    Start(ZK_AF_INET, 1, [](FtpPeerLink &) {});
    EXPECT_EQ(0, ZK_FtpPutFileA(session_, path.c_str(), "held.bin", 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    CloseHandle(holder);
    EXPECT_EQ(Lines{}, Sent());
#else
    GTEST_SKIP() << "file sharing is enforced only on Windows";
#endif
}
