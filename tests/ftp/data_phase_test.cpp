// data_phase_test.cpp -- the data phase against scripted servers: downloads that end at the
// server's close whatever SIZE said, data connections that cannot be opened and are called off,
// refusals noticed while the server is expected to connect, connections from strangers turned
// away, and workers that have ended when their call returns.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ftp_files.h"
#include "peer_session.h"
#include "support/progress_record.h"
#include "platform/platform.h"
#include "socket/socket_handle.h"

#if defined(_WIN32)
#  include <tlhelp32.h>
#else
#  include <dirent.h>
#endif

namespace {

// Data that shows where a piece went missing.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
    return bytes;
}

// The threads of this process.
int ThreadCount() {
#if defined(_WIN32)
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry;
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snapshot);
    return count;
#else
    DIR *tasks = opendir("/proc/self/task");
    int count = 0;
    while (dirent *e = readdir(tasks)) {
        if (e->d_name[0] != '.') ++count;
    }
    closedir(tasks);
    return count;
#endif
}

// After the completion reply of a download that succeeded: MDTM.
void AnswerMdtm(FtpPeerLink &link) {
    Expect(link);
    Reply(link, "213 20240131203000");
}

// One passive download: SIZE is answered with `size_reply`; the data goes out in two halves with
// `pause_ms` between them, and its close is followed by 226.
void ServePassiveGet(FtpPeerLink &link, const std::string &size_reply, const std::string &data, uint32_t pause_ms,
                     bool whole = true) {
    Answer(link, {"200 I", size_reply, "200 I"});
    SocketHandle *d = ServePassive(link, "150 Opening BINARY mode data connection");
    size_t half = data.size() / 2;
    SendAll(d, data.substr(0, half));
    if (pause_ms > 0) Pause(pause_ms);
    SendAll(d, data.substr(half));
    ZK_SocketClose(d);
    Reply(link, "226 Transfer complete");
    if (whole) AnswerMdtm(link);
}

class DataPhase : public PeerSession {};

// A download that pauses halfway: the caller's thread reports while it waits, no more than ten
// times a second, the half that came, and last the whole.
TEST_F(DataPhase, ProgressWhileTheDataPauses) {
    const std::string data = Pattern(20000);
    Start(ZK_AF_INET, 1, [data](FtpPeerLink &link) { ServePassiveGet(link, "213 20000", data, 800); });
    ProgressRecord record;
    ASSERT_EQ(1, ZK_FtpSetProgressCallback(session_, RecordProgress, &record));
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "f", Join(LocalDir(), "paused.bin").c_str(), 1)) << LastReply();
    EXPECT_EQ(0, record.foreign_calls);
    EXPECT_TRUE(record.Steady());
    ASSERT_GE(record.done.size(), 4u);
    EXPECT_EQ(10000, record.done[1]);
    EXPECT_GE(record.ShortestGapMs(), 90);
    EXPECT_EQ("20000/20000", record.Last());
}

// ---- Downloads end at the server's close, never at the SIZE count ----

struct SizeCase {
    const char *name;
    const char *size_reply;
    size_t sent;
    int result;
    uint32_t code;
};

const SizeCase kSizeCases[] = {
    {"file grew after SIZE", "213 4096", 10000, 1, 0},
    {"SIZE of zero, data after all", "213 0", 5000, 1, 0},
    {"exactly as announced", "213 3000", 3000, 1, 0},
    {"fewer bytes than announced", "213 9000", 4000, 0, ZK_FTP_TRANSFER_FAILED},
    {"announced past 4 GiB, a few bytes came", "213 5000000000", 10, 0, ZK_FTP_TRANSFER_FAILED},
};

TEST_F(DataPhase, DownloadsRunToTheServersCloseWhateverSizeSaid) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        for (const SizeCase &c : kSizeCases) ServePassiveGet(link, c.size_reply, Pattern(c.sent), 0, c.result == 1);
    });
    for (const SizeCase &c : kSizeCases) {
        SCOPED_TRACE(c.name);
        std::string path = Local(std::string("size-") + c.size_reply + ".bin");
        ZK_FtpClearLastErrorCode();
        EXPECT_EQ(c.result, ZK_FtpGetFileA(session_, "f", path.c_str(), 1)) << LastReply();
        EXPECT_EQ(c.code, ZK_FtpQueryLastErrorCode());
        if (c.result == 1) {
            std::string got = ReadBytes(path);
            EXPECT_EQ(c.sent, got.size());
            EXPECT_EQ(HashBytes(Pattern(c.sent)), HashBytes(got));
        }
    }
}

// A pause of more than a second inside the data does not cut the file.
TEST_F(DataPhase, PauseInsideTheDataKeepsTheFileWhole) {
    const std::string data = Pattern(600 * 1024);
    Start(ZK_AF_INET6, 1, [&data](FtpPeerLink &link) { ServePassiveGet(link, "213 614400", data, 1200); });
    std::string path = Local("paused.bin");
    ASSERT_EQ(1, ZK_FtpGetFileW(session_, W(U16("f")), W(U16(path.c_str())), 1)) << LastReply();
    std::string got = ReadBytes(path);
    EXPECT_EQ(data.size(), got.size());
    EXPECT_EQ(HashBytes(data), HashBytes(got));
}

// ---- Passive data connections that cannot be opened ----

// A listener whose queue is full: the system drops further connection attempts without an answer,
// as a firewall that drops them would.
struct SilentPort {
    SocketHandle *listener = nullptr;
    SocketHandle *filler = nullptr;
    int port = -1;
    ~SilentPort() {
        ZK_SocketClose(filler);
        ZK_SocketClose(listener);
    }
};

void OpenSilentPort(SilentPort &silent) {
    silent.listener = ZK_SocketOpen(ZK_AF_INET, ZK_SOCK_STREAM);
    ASSERT_NE(nullptr, silent.listener);
    win::sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = win::kAfInet;
    address.sin_addr.s_addr = win::inet_addr("127.0.0.1");
    ASSERT_EQ(0, win::bind(silent.listener->socket, reinterpret_cast<win::sockaddr *>(&address), sizeof(address)));
    ASSERT_EQ(0, win::listen(silent.listener->socket, 0));
    silent.port = LocalPort(silent.listener);
    silent.filler = ZK_SocketOpenClientA(ZK_SOCK_STREAM, "127.0.0.1", silent.port, ZK_AF_INET);
    ASSERT_NE(nullptr, silent.filler);
}

std::string PasvFor(int port) {
    return "227 Entering Passive Mode (127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256) + ").";
}

// The server refuses RETR at once because the data connection never came: the connect still
// under way is called off, and the call ends in moments instead of after the system's own
// connect time-out (over two minutes).
TEST_F(DataPhase, PassiveConnectIsCalledOffByARefusal) {
    SilentPort silent;
    OpenSilentPort(silent);
    int port = silent.port;
    Start(ZK_AF_INET, 1, [port](FtpPeerLink &link) {
        Answer(link, {"200 I", "213 100", "200 I", PasvFor(port), "425 Failed to establish connection.", "200 A",
                      PasvFor(port), "150 Here comes the directory listing."});
        ZK_SocketClose(link.control);  // and the control connection drops before any data
        link.control = nullptr;
    });
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "f", Local("never.bin").c_str(), 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ("425 Failed to establish connection.", LastReply());
    EXPECT_FALSE(Exists(Local("never.bin")));
    EXPECT_LT(Since(start), 9000u);
    MStringList list{7, nullptr};
    start = Now();
    EXPECT_EQ(0, ZK_FtpListFileA(session_, &list, "LIST"));
    EXPECT_EQ(7, list.count);
    EXPECT_LT(Since(start), 9000u);
}

// ---- Active mode ----

// RETR is answered by 150, then the server finds it cannot connect and says so (or gives up on
// the session): the refusal ends the wait for its connection at once, not after 20 s.
struct RefusalCase {
    const char *name;
    const char *refusal;
    bool close_control;
};

const RefusalCase kRefusals[] = {
    {"425 after 150", "425 Failed to establish connection.", false},
    {"421 after 150, then the close", "421 Timeout.", true},
};

TEST_F(DataPhase, ActiveRefusalEndsTheWaitAtOnce) {
    for (const RefusalCase &c : kRefusals) {
        SCOPED_TRACE(c.name);
        Start(ZK_AF_INET, 0, [c](FtpPeerLink &link) {
            Answer(link, {"200 I", "213 5", "200 I", "200 PORT command successful."});
            Expect(link);
            Reply(link, "150 Opening BINARY mode data connection for f (5 bytes).");
            Pause(100);
            Reply(link, c.refusal);
            if (c.close_control) {
                ZK_SocketClose(link.control);
                link.control = nullptr;
            }
        });
        uint32_t start = Now();
        EXPECT_EQ(0, ZK_FtpGetFileA(session_, "f", Local("refused.bin").c_str(), 1));
        EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
        EXPECT_EQ(c.refusal, LastReply());
        EXPECT_LT(Since(start), 8000u);
        Sent();
    }
}

// Someone other than the server connects to the announced port first (from 127.0.0.2): that
// connection is closed unread, and the server's own is taken.
TEST_F(DataPhase, ActiveConnectionFromAnotherHostIsTurnedAway) {
    Start(ZK_AF_INET, 0, [](FtpPeerLink &link) {
        for (int round = 0; round < 2; ++round) {
            bool listing = round == 1;
            Expect(link);  Reply(link, "200 Type set");
            if (!listing) {
                Answer(link, {"213 9", "200 Type set"});
            }
            std::string port = Expect(link);
            Reply(link, "200 PORT command successful.");
            Expect(link);
            Reply(link, "150 Opening data connection.");
            SocketHandle *stranger = ZK_SocketOpen(ZK_AF_INET, ZK_SOCK_STREAM);
            win::sockaddr_in from;
            std::memset(&from, 0, sizeof(from));
            from.sin_family = win::kAfInet;
            from.sin_addr.s_addr = win::inet_addr("127.0.0.2");
            win::bind(stranger->socket, reinterpret_cast<win::sockaddr *>(&from), sizeof(from));
            if (ZK_SocketConnectClientA(stranger, "127.0.0.1", AnnouncedPort(port)) == 1) {
                SendAll(stranger, listing ? "-rw-r--r-- 1 u g 6 Jan 1 00:00 planted\r\n" : "EVIL DATA");
            }
            Pause(200);
            SocketHandle *data = ConnectActive(link, port);
            SendAll(data, listing ? "-rw-r--r-- 1 u g 6 Jan 1 00:00 real\r\n" : "good data");
            ZK_SocketClose(data);
            ZK_SocketClose(stranger);
            Reply(link, "226 Transfer complete.");
            if (!listing) AnswerMdtm(link);
        }
    });
    std::string path = Local("mine.bin");
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "f", path.c_str(), 1)) << LastReply();
    EXPECT_EQ("good data", ReadBytes(path));
    MStringList list{0, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileA(session_, &list, "LIST")) << LastReply();
    ASSERT_EQ(1, list.count);
    EXPECT_STREQ("-rw-r--r-- 1 u g 6 Jan 1 00:00 real", static_cast<const char *>(list.items[0]));
    ZK_SocketDeleteMStringA(&list);
}

// ---- Workers end with their call ----

// Whatever way a data phase ends (whole, refused, called off by a dropped connection), no worker
// thread is left running when the call returns: a program may unload the library right after.
TEST_F(DataPhase, NoWorkerOutlivesItsCall) {
    Start(ZK_AF_INET, 1, [](FtpPeerLink &link) {
        for (int round = 0; round < 20; ++round) {
            Expect(link);  Reply(link, "200 A");
            bool refused = round % 2 == 1;
            SocketHandle *d =
                ServePassive(link, refused ? "550 Permission denied." : "150 Here comes the directory listing.");
            if (refused) {
                ZK_SocketClose(d);
                continue;
            }
            SendAll(d, "one\r\ntwo\r\n");
            ZK_SocketClose(d);
            Reply(link, "226 Directory send OK.");
        }
    });
    int before = ThreadCount();
    for (int round = 0; round < 20; ++round) {
        MStringList list{0, nullptr};
        int result = ZK_FtpListFileA(session_, &list, "NLST");
        int after = ThreadCount();
        EXPECT_EQ(round % 2 == 0 ? 1 : 0, result) << round;
        EXPECT_EQ(before, after) << "round " << round;
        if (result == 1) ZK_SocketDeleteMStringA(&list);
    }
}

}  // namespace
