// listing_test.cpp -- listings read to the server's close, and the permission lookup that finds a
// file's own line by the listing's name field.
#include <gtest/gtest.h>

#include <string>

#include "ftp/ftp_parse.h"
#include "peer_session.h"

namespace {

// ---- The name field of a listing line ----

struct NameCase {
    const char *line;
    const char *name;  // null: the line names no file
};

const NameCase kNameCases[] = {
    {"-rw-r--r--    1 1000     1000         1234 Jan 31 20:30 readme", "readme"},
    {"-rw-r--r--    1 1000     1000         1234 Jan  3  2023 README", "README"},
    {"-rw-r--r--    1 ftp      ftp             0 Dec  1 09:05 old report", "old report"},
    {"-rw-r--r--    1 ftp      ftp             0 Dec  1 09:05  leading blank", " leading blank"},
    {"lrwxrwxrwx    1 ftp      ftp             6 Mar  9 10:00 alias -> target", "alias"},
    {"-rw-r--r--    1 ftp      ftp             9 Mar  9 10:00 a -> b.txt", "a -> b.txt"},  // not a link
    {"drwxr-xr-x    2 ftp      ftp          4096 Feb 29  2024 sub dir", "sub dir"},
    {"-rw-r--r-- 1 owner 42 Sep 9 9:05 no group", "no group"},
    {"-rw-r--r--    1 jan      feb            12 Jan  1 00:00 Jan  1 00:00 x", "Jan  1 00:00 x"},
    {"01-31-24  08:30PM       <DIR>          Windows Folder", "Windows Folder"},
    {"01-31-2024  08:30PM                 1234 dos file.txt", "dos file.txt"},
    {"total 12", nullptr},
    {"-rw-r--r--    1 ftp      ftp             0 Dec  1 09:05", nullptr},
    {"-rw-r--r--    1 ftp      ftp             0 Dec  1 09:05 ", nullptr},
    {"", nullptr},
};

TEST(ListingNameField, TakesTheNameAfterTheDateAndTime) {
    for (const NameCase &c : kNameCases) {
        SCOPED_TRACE(c.line);
        size_t offset = 0;
        size_t length = 0;
        bool found = ListingNameField(c.line, &offset, &length);
        ASSERT_EQ(c.name != nullptr, found);
        if (found) {
            EXPECT_EQ(c.name, std::string(c.line + offset, length));
        }
    }
}

class Listing : public PeerSession {};

// Serves `count` passive listings of `text`; with a pause, the data stops for it at `pause_at`.
void ServeListings(FtpPeerLink &link, int count, const std::string &text, size_t pause_at = 0,
                   uint32_t pause_ms = 0) {
    for (int i = 0; i < count; ++i) {
        Expect(link);  Reply(link, "200 Switching to ASCII mode.");
        if (link.passive.handle != nullptr) ZK_SocketClose(link.passive.handle);
        link.passive.handle = nullptr;
        Expect(link);  Reply(link, OpenPassive(link));
        SocketHandle *d = AcceptData(link);
        Expect(link);
        Reply(link, "150 Here comes the directory listing.");
        if (pause_ms > 0) {
            SendAll(d, text.substr(0, pause_at));
            Pause(pause_ms);
            SendAll(d, text.substr(pause_at));
        } else {
            SendAll(d, text);
        }
        ZK_SocketClose(d);
        Reply(link, "226 Directory send OK.");
    }
}

// ---- Listings are read to the close ----

// 200 lines with a pause of more than a second in the middle of one of them: every line arrives,
// whole, and the lookup still finds the last file.
TEST_F(Listing, PauseInsideAListingLosesNoLine) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        text += "-rw-r--r--    1 ftp      ftp           " + std::to_string(100 + i) + " Jan 31 20:30 file-" +
                std::to_string(i) + ".txt\r\n";
    }
    size_t middle = text.find("file-101.txt");
    Start(ZK_AF_INET, 1, [&](FtpPeerLink &link) { ServeListings(link, 2, text, middle + 5, 1200); });
    MStringList list{0, nullptr};
    ASSERT_EQ(1, ZK_FtpListFileA(session_, &list, "LIST")) << LastReply();
    ASSERT_EQ(200, list.count);
    EXPECT_EQ("-rw-r--r--    1 ftp      ftp           201 Jan 31 20:30 file-101.txt",
              std::string(static_cast<const char *>(list.items[101])));
    ZK_SocketDeleteMStringA(&list);
    EXPECT_EQ(0x644u, ZK_FtpGetPermissionA(session_, "file-199.txt"));
}

// ---- The permission lookup ----

const char kDirectory[] =
    "-rwxrwxrwx    1 ftp      ftp           10 Jan 31 20:30 README\r\n"
    "-rw-------    1 ftp      ftp           10 Jan 31 20:30 readme\r\n"
    "lrwxrwxrwx    1 ftp      ftp            6 Jan 31 20:30 alias -> target\r\n"
    "-rw-r-----    1 ftp      ftp           10 Jan 31 20:30 target\r\n"
    "-rwxr-xr-x    1 ftp      ftp           10 Jan 31 20:30 old report\r\n"
    "-rw-rw-r--    1 ftp      ftp           10 Jan 31 20:30 report\r\n"
    "-r--r--r--    1 ftp      ftp           10 Jan 31 20:30 My Notes.txt\r\n"
    "drwx--x--x    2 ftp      ftp         4096 Jan 31 20:30 Shared\r\n"
    "drwxr-x---    2 ftp      ftp         4096 Jan 31 20:30 SHARED\r\n";

struct PermissionCase {
    const char *name;
    uint32_t value;
    uint32_t code;  // 0: found
};

const PermissionCase kPermissions[] = {
    {"readme", 0x600, 0},          // not README's bits: the exact name first
    {"README", 0x777, 0},
    {"target", 0x640, 0},          // not the link that points to it
    {"alias", 0x4777, 0},          // the link itself
    {"report", 0x664, 0},          // not "old report"
    {"old report", 0x755, 0},      // names with blanks
    {"my notes.txt", 0x444, 0},    // no exact name: the only one that matches without case
    {"shared", 0xFFFF, ZK_FTP_FILE_FAILED},  // two match without case: neither is taken
    {"Shared", 0x1711, 0},
    {"notes.txt", 0xFFFF, ZK_FTP_FILE_FAILED},
    {"ME", 0xFFFF, ZK_FTP_FILE_FAILED},
};

TEST_F(Listing, PermissionIsReadFromTheFilesOwnLine) {
    const int count = static_cast<int>(sizeof(kPermissions) / sizeof(kPermissions[0]));
    Start(ZK_AF_INET6, 1, [](FtpPeerLink &link) { ServeListings(link, 11, kDirectory); });
    for (const PermissionCase &c : kPermissions) {
        SCOPED_TRACE(c.name);
        ZK_FtpClearLastErrorCode();
        EXPECT_EQ(c.value, ZK_FtpGetPermissionA(session_, c.name));
        EXPECT_EQ(c.code, ZK_FtpQueryLastErrorCode());
    }
    EXPECT_EQ(static_cast<size_t>(3 * count), Sent().size());
}

}  // namespace
