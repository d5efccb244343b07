// real_servers_test.cpp -- the FTP client against three real servers on loopback (vsftpd,
// pyftpdlib, proftpd), in all four data-connection forms: PORT and PASV over IPv4, EPRT and EPSV
// over IPv6. Each test works in a folder of its own that it makes with MKD; what the server stored
// is read straight from its home folder. The servers differ where FTP leaves them free to, and
// each difference is named in the server's row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "ftp_files.h"
#include "ftp_peer.h"
#include "platform/files.h"
#include "socket/text_helpers.h"
#include "support/net_peer.h"

namespace {

struct Form {
    uint16_t family;
    uint32_t passive;
    const char *name;
};

const Form kForms[] = {
    {ZK_AF_INET, 0, "PortV4"},
    {ZK_AF_INET, 1, "PasvV4"},
    {ZK_AF_INET6, 0, "EprtV6"},
    {ZK_AF_INET6, 1, "EpsvV6"},
};

struct Server {
    const char *name;
    int port;
    const char *home;             // its folder under ftp-peers (tests/ftp/start.sh)
    bool rewrites_ascii;          // TYPE A stores CR LF as LF and sends LF as CR LF
    bool lists_missing_folder;    // "LIST no-such-folder" gives an empty listing, not a refusal
    uint32_t chmod_missing_code;  // SITE CHMOD of a missing file: 11 ("No such ...") or 22
    uint32_t security;            // ZK_SECURE_NONE, or how its FTPS begins (its certificate is the test CA's)
};

// vsftpd and proftpd greet with 31 lines and answer CWD into a folder with a .message with
// several; pyftpdlib with one line each. pyftpdlib reads file names as UTF-8. The FTPS servers
// require TLS for the login and every data connection, and refuse a data connection that does
// not resume the control connection's TLS session.
const Server kServers[] = {
    {"Vsftpd", kFtpPort, "home", false, true, 22, ZK_SECURE_NONE},
    {"Pyftpdlib", 2122, "pyftpd-home", true, false, 11, ZK_SECURE_NONE},
    {"Proftpd", 2123, "proftpd-home", true, false, 11, ZK_SECURE_NONE},
    {"VsftpdTls", 2131, "home", false, true, 22, ZK_SECURE_EXPLICIT},
    {"VsftpdTls12", 2132, "home", false, true, 22, ZK_SECURE_EXPLICIT},
    {"VsftpdImplicit", 2133, "home", false, true, 22, ZK_SECURE_IMPLICIT},
    {"ProftpdTls", 2134, "proftpd-home", true, false, 11, ZK_SECURE_EXPLICIT},
};

using Param = std::tuple<Server, Form>;

void PrintTo(const Server &server, std::ostream *os) { *os << server.name; }
void PrintTo(const Form &form, std::ostream *os) { *os << form.name; }

std::vector<std::string> Items(const MStringList &list) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.count; ++i) out.push_back(static_cast<const char *>(list.items[i]));
    return out;
}

bool AnyEndsWith(const std::vector<std::string> &lines, const std::string &name) {
    for (const std::string &line : lines) {
        if (line.size() > name.size() && line.compare(line.size() - name.size() - 1, std::string::npos, " " + name) == 0) {
            return true;
        }
    }
    return false;
}

// Whether the running test opens data connections: all but these.
bool OpensDataConnections() {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    for (const char *control_only : {"RemoteCommandsSucceedAndAreRefused", "MissingLocalFileIsNotUploaded",
                                     "MultiLineRepliesStayInStep"}) {
        if (name == control_only) return false;
    }
    return true;
}

class RealServer : public ::testing::TestWithParam<Param> {
  protected:
    const Server &server() const { return std::get<0>(GetParam()); }
    const Form &form() const { return std::get<1>(GetParam()); }
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the ftp-peers fixture";
        // FTPS data connections must resume the control connection's TLS session.
        if (server().security != ZK_SECURE_NONE && UnderWine() && OpensDataConnections()) {
            GTEST_SKIP() << kWineNoResumption;
        }
        const std::string ca = PeerFile("certs/ca.pem");
        session_ = ZK_FtpConnectSecureA(kTestHost, kFtpUser, kFtpPassword, form().passive, server().port,
                                        form().family, server().security, ca.c_str());
        ASSERT_NE(nullptr, session_) << "code " << ZK_FtpQueryLastErrorCode() << ": " << LastReply();
        folder_ = Unique(std::string("t-") + form().name);
        ASSERT_EQ(1, ZK_FtpCreateDirectoryA(session_, folder_.c_str())) << LastReply();
        ASSERT_EQ(1, ZK_FtpSetDirectoryA(session_, folder_.c_str())) << LastReply();
        server_ = Join(ServerDir(server().home), folder_);
        local_ = Join(LocalDir(), folder_);
        ASSERT_TRUE(WriteBytes(Join(local_, ".keep"), ""));
    }
    void TearDown() override {
        if (session_ != nullptr) ZK_FtpDisconnect(session_);
    }

    // Checks that the local file carries the server's modification time.
    void ExpectServerTime(const std::string &remote, const std::string &local) {
        FtpFileDate date;
        ASSERT_EQ(1, ZK_FtpGetFileDateA(session_, remote.c_str(), &date, 0));
        EXPECT_EQ(DateSeconds(date), ModifiedSeconds(local));
    }

    FtpSession *session_ = nullptr;
    std::string folder_, server_, local_;
};

TEST_P(RealServer, TransfersKeepBytesAndServerTime) {
    // Binary type: bytes of every kind, the line ends included, arrive as they were.
    std::string bytes("line one\r\nline two\nzero\0byte\r\r\n\xff\xfe", 34);
    std::string up = Join(local_, "up.bin");
    ASSERT_TRUE(WriteBytes(up, bytes));
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "data.bin", 1)) << LastReply();
    EXPECT_EQ(0u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(bytes, ReadBytes(Join(server_, "data.bin")));
    std::string down = Join(local_, "down.bin");
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "data.bin", down.c_str(), 1)) << LastReply();
    EXPECT_EQ(bytes, ReadBytes(down));
    ExpectServerTime("data.bin", down);

    // ASCII type: vsftpd does not rewrite line ends (ascii_*_enable is off), so the bytes stay as
    // they are; the others store lines with LF and send them with CR LF. Either way the download
    // must see the transfer through although the CR count grew its target.
    std::string text = "first\r\nsecond\r\nthird\n";
    std::string text_up = Join(local_, "up.txt");
    ASSERT_TRUE(WriteBytes(text_up, text));
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, text_up.c_str(), "notes.txt", 0)) << LastReply();
    EXPECT_EQ(server().rewrites_ascii ? "first\nsecond\nthird\n" : text, ReadBytes(Join(server_, "notes.txt")));
    std::string text_down = Join(local_, "down.txt");
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "notes.txt", text_down.c_str(), 0)) << LastReply();
    EXPECT_EQ(server().rewrites_ascii ? "first\r\nsecond\r\nthird\r\n" : text, ReadBytes(text_down));
    ExpectServerTime("notes.txt", text_down);

    // An empty file: nothing moves, an old local file is emptied and still dated.
    std::string empty_up = Join(local_, "empty.up");
    ASSERT_TRUE(WriteBytes(empty_up, ""));
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, empty_up.c_str(), "empty.dat", 1)) << LastReply();
    bool ok = false;
    EXPECT_EQ("", ReadBytes(Join(server_, "empty.dat"), &ok));
    EXPECT_TRUE(ok);
    std::string empty_down = Join(local_, "empty.down");
    ASSERT_TRUE(WriteBytes(empty_down, "old content to be truncated"));
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "empty.dat", empty_down.c_str(), 1)) << LastReply();
    EXPECT_EQ("", ReadBytes(empty_down, &ok));
    EXPECT_TRUE(ok);
    ExpectServerTime("empty.dat", empty_down);
}

// A download whose local file cannot be made, with more data than the connection buffers hold:
// the server is still sending when the worker gives up. The failure is reported, its 426 is read
// with it, and the next command gets its own reply, not that one.
TEST_P(RealServer, FailedLocalFileLeavesTheSessionInStep) {
    uint64_t hash = WritePattern(Join(server_, "big.bin"), 8u << 20, 5);
    std::string nowhere = Join(local_, "no-such-folder/big.bin");
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "big.bin", nowhere.c_str(), 1));
    EXPECT_EQ(12u, ZK_FtpQueryLastErrorCode());
    char name[512];
    ASSERT_EQ(1, ZK_FtpGetDirectoryA(session_, name, sizeof(name), "PWD")) << LastReply();
    EXPECT_EQ("/" + folder_, std::string(name).substr(std::string(name).rfind('/')));
    ASSERT_EQ(1, ZK_FtpSetDirectoryA(session_, "..")) << LastReply();
    ASSERT_EQ(1, ZK_FtpSetDirectoryA(session_, folder_.c_str())) << LastReply();
    std::string down = Join(local_, "big.down");
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "big.bin", down.c_str(), 1)) << LastReply();
    EXPECT_EQ(hash, HashFile(down));
}

// A download the server refuses (the file is not readable to it) leaves a local file of the
// same name as it was, in every mode: nothing arrived that could replace it.
TEST_P(RealServer, RefusedDownloadKeepsTheLocalFile) {
    std::string up = Join(local_, "locked.up");
    ASSERT_TRUE(WriteBytes(up, "server copy"));
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "locked.dat", 1)) << LastReply();
    ASSERT_EQ(1, ZK_FtpSetPermissionA(session_, "locked.dat", 0x200)) << LastReply();
    std::string mine = Join(local_, "mine.txt");
    ASSERT_TRUE(WriteBytes(mine, "the caller's own words"));
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "locked.dat", mine.c_str(), 1));
    EXPECT_NE(std::string::npos, LastReply().find("550")) << LastReply();
    EXPECT_EQ("the caller's own words", ReadBytes(mine));
    EXPECT_EQ(0, ZK_FtpGetFileA(session_, "locked.dat", mine.c_str(), 0));
    EXPECT_EQ("the caller's own words", ReadBytes(mine));
    char name[512];
    EXPECT_EQ(1, ZK_FtpGetDirectoryA(session_, name, sizeof(name), "PWD")) << LastReply();
}

class Commands : public RealServer {};
class Big : public RealServer {};
class Unicode : public RealServer {};

TEST_P(RealServer, ListingsOfEmptyAndPopulatedFolder) {
    MStringList list{-1, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileA(session_, &list, "LIST")) << LastReply();
    EXPECT_EQ(0, list.count);
    ZK_SocketDeleteMStringA(&list);

    ASSERT_TRUE(WriteBytes(Join(server_, "one.txt"), "1"));
    ASSERT_TRUE(WriteBytes(Join(server_, "two.txt"), "22"));
    ASSERT_EQ(1, ZK_FtpCreateDirectoryA(session_, "sub"));
    ASSERT_EQ(1, ZK_FtpListFileA(session_, &list, "LIST")) << LastReply();
    std::vector<std::string> lines = Items(list);
    ZK_SocketDeleteMStringA(&list);
    ASSERT_EQ(3u, lines.size());
    EXPECT_TRUE(AnyEndsWith(lines, "one.txt"));
    EXPECT_TRUE(AnyEndsWith(lines, "two.txt"));
    EXPECT_TRUE(AnyEndsWith(lines, "sub"));

    MStringList wide{-1, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileW(session_, &wide, W(U16("NLST"))));
    ASSERT_EQ(3, wide.count);
    std::vector<std::u16string> names;
    for (int32_t i = 0; i < wide.count; ++i) names.push_back(reinterpret_cast<const char16_t *>(wide.items[i]));
    ZK_SocketDeleteMStringW(&wide);
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), U16("one.txt")));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), U16("sub")));

    // Listing a folder that is not there gives an empty listing from vsftpd (its ls finds
    // nothing), a refusal from the others: a failure then, never an empty list.
    list.count = -1;
    EXPECT_EQ(server().lists_missing_folder ? 1 : 0, ZK_FtpListFileA(session_, &list, "LIST no-such-folder"))
        << LastReply();
    EXPECT_EQ(server().lists_missing_folder ? 0 : -1, list.count);
    ZK_SocketDeleteMStringA(&list);
}

TEST_P(Commands, PermissionsReadBackAfterSiteChmod) {
    std::string up = Join(local_, "perm.up");
    ASSERT_TRUE(WriteBytes(up, "x"));
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "data.txt", 1));
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "a.txt", 1));
    ASSERT_EQ(1, ZK_FtpSetPermissionA(session_, "data.txt", 0x600)) << LastReply();
    ASSERT_EQ(1, ZK_FtpSetPermissionA(session_, "a.txt", 0x751)) << LastReply();
    EXPECT_EQ(0x600u, ZK_FtpGetPermissionA(session_, "data.txt"));
    // data.txt is listed too and contains "a.txt"; only a.txt's own line counts.
    EXPECT_EQ(0x751u, ZK_FtpGetPermissionA(session_, "a.txt"));
    EXPECT_EQ(0x751u, ZK_FtpGetPermissionW(session_, W(U16("A.TXT"))));  // names compared without case

    ASSERT_EQ(1, ZK_FtpCreateDirectoryA(session_, "sub"));
    ASSERT_EQ(1, ZK_FtpSetPermissionW(session_, W(U16("sub")), 0x1750)) << LastReply();  // type digit masked off
    EXPECT_EQ(0x1750u, ZK_FtpGetPermissionA(session_, "sub"));

    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(0xFFFFu, ZK_FtpGetPermissionA(session_, "missing.txt"));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpSetPermissionA(session_, "missing.txt", 0x644));
    // vsftpd says "failed", the others "No such file".
    EXPECT_EQ(server().chmod_missing_code, ZK_FtpQueryLastErrorCode()) << LastReply();
}

TEST_P(Commands, RemoteCommandsSucceedAndAreRefused) {
    ASSERT_TRUE(WriteBytes(Join(server_, "f.txt"), std::string(1234, 'f')));

    EXPECT_EQ(1234, ZK_FtpGetFileSizeA(session_, "f.txt"));
    EXPECT_EQ(1234, ZK_FtpGetFileSizeW(session_, W(U16("f.txt"))));
    EXPECT_EQ(0, ZK_FtpGetFileSizeA(session_, "nope.txt"));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());

    FtpFileDate date{};
    ASSERT_EQ(1, ZK_FtpGetFileDateA(session_, "f.txt", &date, 0));
    EXPECT_EQ(DateSeconds(date), ModifiedSeconds(Join(server_, "f.txt")));
    FtpFileDate shifted{};
    ASSERT_EQ(1, ZK_FtpGetFileDateW(session_, W(U16("f.txt")), &shifted, 1));
    EXPECT_EQ((date.hour + 9) % 24, shifted.hour);
    EXPECT_EQ(0, ZK_FtpGetFileDateA(session_, "nope.txt", &date, 0));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());

    EXPECT_EQ(1, ZK_FtpRenameFileA(session_, "f.txt", "g.txt"));
    EXPECT_TRUE(Exists(Join(server_, "g.txt")));
    EXPECT_EQ(0, ZK_FtpRenameFileW(session_, W(U16("f.txt")), W(U16("h.txt"))));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpRenameFileA(session_, "g.txt", "no/such/dir/h.txt"));
    EXPECT_EQ(10u, ZK_FtpQueryLastErrorCode());

    EXPECT_EQ(1, ZK_FtpDeleteFileW(session_, W(U16("g.txt"))));
    EXPECT_FALSE(Exists(Join(server_, "g.txt")));
    EXPECT_EQ(0, ZK_FtpDeleteFileA(session_, "g.txt"));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());

    EXPECT_EQ(1, ZK_FtpCreateDirectoryW(session_, W(U16("d"))));
    EXPECT_EQ(0, ZK_FtpCreateDirectoryA(session_, "d"));
    EXPECT_EQ(9u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(1, ZK_FtpSetDirectoryW(session_, W(U16("d"))));
    char name[256];
    ASSERT_EQ(1, ZK_FtpGetDirectoryA(session_, name, sizeof(name), "PWD"));
    EXPECT_EQ("/" + folder_ + "/d", std::string(name).substr(std::string(name).rfind("/" + folder_ + "/d")));
    zk_wchar_t wname[256];
    ASSERT_EQ(1, ZK_FtpGetDirectoryW(session_, wname, 256, W(U16("PWD"))));
    EXPECT_EQ(U16(name), std::u16string(reinterpret_cast<const char16_t *>(wname)));
    char small[4];
    EXPECT_EQ(0, ZK_FtpGetDirectoryA(session_, small, sizeof(small), "PWD"));
    EXPECT_EQ(7u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ('\0', small[0]);
    EXPECT_EQ(0, ZK_FtpGetDirectoryA(session_, name, sizeof(name), "NOOP"));
    EXPECT_EQ(7u, ZK_FtpQueryLastErrorCode());

    EXPECT_EQ(0, ZK_FtpSetDirectoryA(session_, "missing"));
    EXPECT_EQ(8u, ZK_FtpQueryLastErrorCode());
    EXPECT_NE(std::string::npos, LastReply().find("550")) << LastReply();
    EXPECT_EQ(1, ZK_FtpSetDirectoryA(session_, ".."));
    EXPECT_EQ(1, ZK_FtpDeleteDirectoryA(session_, "d"));
    EXPECT_FALSE(Exists(Join(server_, "d")));
    EXPECT_EQ(0, ZK_FtpDeleteDirectoryW(session_, W(U16("d"))));
    EXPECT_EQ(10u, ZK_FtpQueryLastErrorCode());
}

TEST_P(Commands, MissingLocalFileIsNotUploaded) {
    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(0, ZK_FtpPutFileA(session_, Join(local_, "absent.bin").c_str(), "absent.bin", 1));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpPutFileA(session_, local_.c_str(), "folder.bin", 1));  // a folder is no file
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_FALSE(Exists(Join(server_, "absent.bin")));
    // The control connection is still in step.
    char name[512];
    EXPECT_EQ(1, ZK_FtpGetDirectoryA(session_, name, sizeof(name), "PWD"));
}

// 64 MiB each way: byte-identical on the server after the upload (hashed there) and locally
// after the download, which also carries the server's time.
TEST_P(Big, SixtyFourMebibytesBothWays) {
    const uint64_t size = 64ull << 20;
    std::string up = Join(local_, "big.up");
    uint64_t hash = WritePattern(up, size, 7);
    ASSERT_NE(0u, hash);
    ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "big.bin", 1)) << LastReply();
    EXPECT_EQ(hash, HashFile(Join(server_, "big.bin")));
    EXPECT_EQ(static_cast<int32_t>(size), ZK_FtpGetFileSizeA(session_, "big.bin"));
    std::string down = Join(local_, "big.down");
    ASSERT_EQ(1, ZK_FtpGetFileA(session_, "big.bin", down.c_str(), 1)) << LastReply();
    EXPECT_EQ(hash, HashFile(down));
    ExpectServerTime("big.bin", down);
    RemoveTree(up);
    RemoveTree(down);
}

namespace files {
// A file written and read through the W calls, so Japanese names work in both builds.
bool WriteWide(const std::u16string &path, const std::string &bytes) {
    win::HANDLE h = win::CreateFileW(reinterpret_cast<const WCHAR *>(path.c_str()), win::kGenericWrite, 0, nullptr,
                                     win::kCreateAlways, win::kFileAttributeArchive, nullptr);
    if (h == win::InvalidHandle()) return false;
    DWORD written = 0;
    bool ok = win::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    win::CloseHandle(h);
    return ok;
}

std::string ReadAnsi(const std::string &path) {
    win::HANDLE h = win::CreateFileA(path.c_str(), win::kGenericRead, 0, nullptr, win::kOpenExisting,
                                     win::kFileAttributeArchive, nullptr);
    if (h == win::InvalidHandle()) return "(cannot open)";
    std::string bytes(4096, '\0');
    DWORD read = 0;
    win::ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    win::CloseHandle(h);
    bytes.resize(read);
    return bytes;
}

std::u16string Widen(const std::string &ascii) { return U16(ascii.c_str()); }

std::string ToAnsi(const std::u16string &text) {
    char out[1024];
    WideToAnsi(reinterpret_cast<const zk_wchar_t *>(text.c_str()), out, sizeof(out));
    return out;
}
}  // namespace files

// Japanese names (all of them in code page 932) through the W forms: on the wire and on the
// server they are code page 932; locally the same file is reached by its UTF-16 and its ANSI name.
TEST_P(Unicode, JapaneseNamesThroughTheWideForms) {
    const std::u16string remote = u"\u65e5\u672c\u8a9e\u30d5\u30a1\u30a4\u30eb.txt";   // 日本語ファイル.txt
    const std::u16string renamed = u"\u540d\u524d\u5909\u66f4.txt";                        // 名前変更.txt
    const std::u16string folder = u"\u30d5\u30a9\u30eb\u30c0";                             // フォルダ
#if defined(_WIN32)
    const std::u16string sep = u"\\";
#else
    const std::u16string sep = u"/";
#endif
    const std::u16string up = files::Widen(local_) + sep + u"\u9001\u4fe1.txt";     // 送信.txt
    const std::u16string down = files::Widen(local_) + sep + u"\u53d7\u4fe1.txt";   // 受信.txt
    const std::string content = "\x93\xfa\x96\x7b content\r\n";
    ASSERT_TRUE(files::WriteWide(up, content));

    ASSERT_EQ(1, ZK_FtpPutFileW(session_, W(up), W(remote), 1)) << LastReply();
#if !defined(_WIN32)
    EXPECT_EQ(content, ReadBytes(Join(server_, files::ToAnsi(remote))));  // stored under its code page 932 name
#endif
    MStringList list{-1, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileW(session_, &list, W(U16("NLST"))));
    ASSERT_EQ(1, list.count);
    EXPECT_EQ(remote, std::u16string(static_cast<const char16_t *>(list.items[0])));
    ZK_SocketDeleteMStringW(&list);
    EXPECT_EQ(static_cast<int32_t>(content.size()), ZK_FtpGetFileSizeW(session_, W(remote)));

    ASSERT_EQ(1, ZK_FtpGetFileW(session_, W(remote), W(down), 1)) << LastReply();
    EXPECT_EQ(content, files::ReadAnsi(files::ToAnsi(down)));  // the ANSI name finds the same file
    ExpectServerTime(files::ToAnsi(remote), files::ToAnsi(down));

    ASSERT_EQ(1, ZK_FtpRenameFileW(session_, W(remote), W(renamed)));
    EXPECT_NE(0xFFFFu, ZK_FtpGetPermissionW(session_, W(renamed)));
    EXPECT_EQ(1, ZK_FtpDeleteFileW(session_, W(renamed)));
    ASSERT_EQ(1, ZK_FtpCreateDirectoryW(session_, W(folder)));
    ASSERT_EQ(1, ZK_FtpSetDirectoryW(session_, W(folder)));
    zk_wchar_t name[512];
    ASSERT_EQ(1, ZK_FtpGetDirectoryW(session_, name, 512, W(U16("PWD"))));
    std::u16string pwd(reinterpret_cast<const char16_t *>(name));
    EXPECT_EQ(folder, pwd.substr(pwd.size() - folder.size()));

    // A character code page 932 cannot hold would go out as "?" and name another file: refused.
    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(0, ZK_FtpPutFileW(session_, W(up), W(u"smile-\U0001F600.txt"), 1));
    EXPECT_EQ(4u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, ZK_FtpDeleteFileW(session_, W(u"caf\u00e9.txt")));
    EXPECT_EQ(4u, ZK_FtpQueryLastErrorCode());
}

// A folder with a .message file answers CWD with a multi-line 250 reply; the server's greeting
// is 31 lines long (the test server's banner). Every later command must meet its own reply.
TEST_P(Commands, MultiLineRepliesStayInStep) {
    ASSERT_EQ(1, ZK_FtpCreateDirectoryA(session_, "noticed")) << LastReply();
    std::string notice;
    for (int i = 0; i < 6; ++i) notice += "Line " + std::to_string(i) + " of the folder's notice\n";
    ASSERT_TRUE(WriteBytes(Join(Join(server_, "noticed"), ".message"), notice));
    ASSERT_EQ(1, ZK_FtpSetDirectoryA(session_, "noticed")) << LastReply();
    EXPECT_EQ(0, LastReply().rfind("250 ", 0)) << LastReply();  // the final line is the one kept

    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(0, ZK_FtpDeleteFileA(session_, "no-such-file"));
    EXPECT_EQ(11u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(0, LastReply().rfind("550 ", 0)) << LastReply();
    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(1, ZK_FtpCreateDirectoryA(session_, "made")) << LastReply();
    EXPECT_EQ(0u, ZK_FtpQueryLastErrorCode());
    EXPECT_EQ(1, ZK_FtpSetDirectoryA(session_, "..")) << LastReply();
    EXPECT_EQ(1, ZK_FtpSetDirectoryA(session_, "noticed")) << LastReply();
    EXPECT_EQ(1, ZK_FtpDeleteDirectoryA(session_, "made")) << LastReply();
}

// Uploads over an existing file, again and again, each checked byte for byte on the server's
// disk: a client that sends before the server has taken STOR loses the start of the file to a
// server that reads the data connection only then (pyftpdlib in passive mode).
TEST_P(RealServer, RepeatedUploadsOverAnExistingFileArriveWhole) {
    std::string up = Join(local_, "again.up");
    for (uint32_t round = 0; round < 10; ++round) {
        uint64_t hash = WritePattern(up, 300000, round + 11);
        ASSERT_EQ(1, ZK_FtpPutFileA(session_, up.c_str(), "again.bin", 1)) << "round " << round << ": " << LastReply();
        ASSERT_EQ(hash, HashFile(Join(server_, "again.bin"))) << "round " << round;
    }
}

std::string ParamName(const ::testing::TestParamInfo<Param> &info) {
    return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
}

const Form kOnePerFamily[] = {kForms[1], kForms[2]};
const Form kEachByName[] = {kForms[0], kForms[3]};

INSTANTIATE_TEST_SUITE_P(Forms, RealServer, ::testing::Combine(::testing::ValuesIn(kServers), ::testing::ValuesIn(kForms)),
                         ParamName);
// The commands without a data connection, and the permission (one listing each), once per family.
INSTANTIATE_TEST_SUITE_P(Families, Commands,
                         ::testing::Combine(::testing::ValuesIn(kServers), ::testing::ValuesIn(kOnePerFamily)), ParamName);
// The large files on each plain server and on one secure server of each make.
INSTANTIATE_TEST_SUITE_P(Families, Big,
                         ::testing::Combine(::testing::Values(kServers[0], kServers[1], kServers[2], kServers[3],
                                                              kServers[6]),
                                            ::testing::ValuesIn(kOnePerFamily)),
                         ParamName);
// Code page 932 names need a server that takes names as bytes; pyftpdlib reads them as UTF-8.
INSTANTIATE_TEST_SUITE_P(Families, Unicode,
                         ::testing::Combine(::testing::Values(kServers[0], kServers[2], kServers[3], kServers[6]),
                                            ::testing::ValuesIn(kEachByName)),
                         ParamName);

TEST(Login, WrongPasswordIsRefusedAndNoServerIsCode2) {
    if (!InPrivateNetwork()) GTEST_SKIP();
    EXPECT_EQ(nullptr, ZK_FtpConnectA(kTestHost, kFtpUser, "wrong", 1, kFtpPort, ZK_AF_INET));
    EXPECT_EQ(6u, ZK_FtpQueryLastErrorCode());
    EXPECT_NE(std::string::npos, LastReply().find("530")) << LastReply();
    Listener closed = ListenAnyPort(ZK_AF_INET);
    int port = closed.port;
    ZK_SocketClose(closed.handle);
    EXPECT_EQ(nullptr, ZK_FtpConnectA("127.0.0.1", kFtpUser, kFtpPassword, 1, port, ZK_AF_INET));
    EXPECT_EQ(2u, ZK_FtpQueryLastErrorCode());
}

}  // namespace
