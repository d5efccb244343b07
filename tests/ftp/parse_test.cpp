// parse_test.cpp -- the FTP client's text steps without a server: permission words, PASV and EPSV
// replies, quoted names, numbers and times, bounded copies, and the calls on a null session.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "ftp/ftp_data.h"
#include "ftp/ftp_parse.h"
#include "ftp/ftp_remote.h"
#include "ftp/ftp_session.h"
#include "ftp/ftp_text.h"
#include "ftp_files.h"
#include "support/net_peer.h"

namespace {

TEST(PermissionFromLine, ReadsTheFirstPermissionWord) {
    EXPECT_EQ(0x644u, PermissionFromLine("-rw-r--r--    1 1000 1000   5 Jan 01 12:00 a.txt"));
    EXPECT_EQ(0x1755u, PermissionFromLine("drwxr-xr-x 2 u g 4096 Jan 1 00:00 sub"));
    EXPECT_EQ(0x4777u, PermissionFromLine("lrwxrwxrwx 1 u g 3 Jan 1 00:00 l -> x"));
    EXPECT_EQ(0x5644u, PermissionFromLine("prw-r--r-- 1 u g 0 Jan 1 00:00 fifo"));
    EXPECT_EQ(0x655u, PermissionFromLine("-rwsr-xr-x 1 u g 0 Jan 1 00:00 setuid"));  // s is not x
    EXPECT_EQ(0x600u, PermissionFromLine("-rw x"));  // positions past a short word add nothing
}

TEST(PermissionFromLine, WithoutAPermissionWordIsFFFF) {
    EXPECT_EQ(0xFFFFu, PermissionFromLine("-rw-r--r--"));          // no blank: no words at all
    EXPECT_EQ(0xFFFFu, PermissionFromLine(" -rw-r--r-- 1 u g"));   // an empty first word qualifies
    EXPECT_EQ(0xFFFFu, PermissionFromLine("total 12"));
    EXPECT_EQ(0xFFFFu, PermissionFromLine("xrw-r--r-- 1 u g"));     // x is no file type
    EXPECT_EQ(0xFFFFu, PermissionFromLine(""));
    EXPECT_EQ(0xFFFFu, PermissionFromLine(nullptr));
    // Only the first twenty words count; a permission word after them is not read.
    std::string line;
    for (int i = 0; i < 20; ++i) line += "w0rd ";
    EXPECT_EQ(0xFFFFu, PermissionFromLine((line + "-rw-r--r-- x").c_str()));
    // A word far longer than the table's 519 characters is held cut, never past its end.
    EXPECT_EQ(0x700u, PermissionFromLine(("-rwx" + std::string(5000, '-') + " name").c_str()));
}

TEST(PassiveReplies, PortsAndHostsAreRead) {
    char host[32];
    uint32_t port = 0;
    ASSERT_EQ(1, ParsePassiveV4("192,168,0,10,195,80).", host, sizeof(host), &port));
    EXPECT_STREQ("192.168.0.10", host);
    EXPECT_EQ(50000u, port);
    EXPECT_EQ(0, ParsePassiveV4("garbage)", host, sizeof(host), &port));
    EXPECT_EQ(0, ParsePassiveV4("1,2,3,4,5)", host, sizeof(host), &port));
    EXPECT_EQ(0, ParsePassiveV4("1,2,3,4,256,1)", host, sizeof(host), &port));
    // EPSV: any printable delimiter, the same four times.
    const struct {
        const char *text;
        uint32_t port;  // 0: refused
    } kEpsv[] = {{"|||6446|)", 6446}, {"|||41202|).", 41202}, {"!!!1234!)", 1234}, {"###65535#)", 65535},
                 {"|||x|)", 0},       {"|||99999|)", 0},      {"||!80|)", 0},       {"|||80!)", 0},
                 {"1112221)", 0},     {" 80 )", 0},           {"", 0}};
    for (const auto &c : kEpsv) {
        port = 0;
        EXPECT_EQ(c.port != 0 ? 1 : 0, ParsePassiveV6(c.text, &port)) << c.text;
        EXPECT_EQ(c.port, port) << c.text;
    }
}

TEST(Ipv6Text, TheStandardShortForm) {
    const struct {
        uint16_t groups[8];
        const char *text;
    } kCases[] = {
        {{0, 0, 0, 0, 0, 0, 0, 1}, "::1"},
        {{0, 0, 0, 0, 0, 0, 0, 0}, "::"},
        {{0x2001, 0xdb8, 0, 0, 1, 0, 0, 1}, "2001:db8::1:0:0:1"},      // the first of equal runs
        {{0x2001, 0xdb8, 0, 1, 1, 1, 1, 1}, "2001:db8:0:1:1:1:1:1"},   // one zero group stays
        {{0xfe80, 0, 0, 0, 0xabcd, 0xEF, 0, 0}, "fe80::abcd:ef:0:0"},
        {{1, 0, 0, 2, 0, 0, 0, 3}, "1:0:0:2::3"},                      // the longest run
        {{0x2001, 0xdb8, 0, 0, 0, 0, 0, 0}, "2001:db8::"},
    };
    for (const auto &c : kCases) {
        char text[kIpv6TextSize];
        EXPECT_EQ(static_cast<int32_t>(std::strlen(c.text)), FormatIpv6Text(c.groups, text, sizeof(text)));
        EXPECT_STREQ(c.text, text);
    }
    const uint16_t longest[8] = {0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff, 0xffff};
    char text[kIpv6TextSize];
    EXPECT_EQ(39, FormatIpv6Text(longest, text, sizeof(text)));
}

TEST(QuotedName, BetweenTheFirstAndTheLastQuote) {
    char out[64];
    EXPECT_EQ(13, ExtractQuotedNameA(out, "257 \"/pub/incoming\" is the current directory", sizeof(out)));
    EXPECT_STREQ("/pub/incoming", out);
    EXPECT_EQ(8, ExtractQuotedNameA(out, "257 \"/a \"\"b\"\"\" created", sizeof(out)));
    EXPECT_STREQ("/a \"\"b\"\"", out);  // doubled quotes stay as they are
    EXPECT_EQ(-1, ExtractQuotedNameA(out, "257 one \" quote", sizeof(out)));  // cut before its end
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, ExtractQuotedNameA(out, "257 \"\" empty", sizeof(out)));
    char small[5];
    EXPECT_EQ(-1, ExtractQuotedNameA(small, "257 \"/long/name\"", sizeof(small)));
    EXPECT_STREQ("", small);
    zk_wchar_t wide[8];
    EXPECT_EQ(3, ExtractQuotedNameW(wide, W(U16("257 \"/ab\" ok")), 8));
    EXPECT_EQ(U16("/ab"), std::u16string(reinterpret_cast<const char16_t *>(wide)));
}

TEST(QuotedName, NoRoomAtAllAndLoneLeadBytes) {
    // A missing or empty buffer cannot take any name, so it must not count as delivered.
    EXPECT_EQ(-1, ExtractQuotedNameA(nullptr, "257 \"/abcd\"", 100));
    char out[16] = "x";
    EXPECT_EQ(-1, ExtractQuotedNameA(out, "257 \"/abcd\"", 0));
    EXPECT_EQ(-1, ExtractQuotedNameA(out, "257 \"/abcd\"", -1));
    EXPECT_EQ(-1, ExtractQuotedNameW(nullptr, W(U16("257 \"/abcd\"")), 100));
    // A lead byte of code page 932 with no trail byte after it does not swallow the closing quote.
    EXPECT_EQ(4, ExtractQuotedNameA(out, "257 \"/\x82\xA0\x82\" ok", sizeof(out)));
    EXPECT_STREQ("/\x82\xA0\x82", out);
    EXPECT_EQ(1, ExtractQuotedNameA(out, "257 \"\x82\"", sizeof(out)));
    EXPECT_STREQ("\x82", out);
    // A quote-like trail byte is still part of its character: 0x5C never ends the name either.
    EXPECT_EQ(3, ExtractQuotedNameA(out, "257 \"\x95\x5C\x41\"", sizeof(out)));
}

TEST(Numbers, SizesAreReadOrRefusedAndTimesAreSliced) {
    // A size is the number alone: anything else is no size, never a 0 that looks like one.
    const struct {
        const char *text;
        bool readable;
        uint64_t size;
    } kSizes[] = {{"1048576", true, 1048576}, {"  42", true, 42}, {"42 bytes", true, 42},
                  {"9223372036854775807", true, 9223372036854775807ULL}, {"0", true, 0},
                  {"9223372036854775808", false, 0}, {"file: 213, Size =51", false, 0}, {"", false, 0},
                  {"-5", false, 0}, {"+5", false, 0}, {"12abc", false, 0}, {"Size=51", false, 0}};
    for (const auto &c : kSizes) {
        uint64_t size = 7;
        EXPECT_EQ(c.readable, ParseFileSize(c.text, &size)) << c.text;
        EXPECT_EQ(c.size, size) << c.text;
    }
    char after[16];
    EXPECT_EQ(0, TextAfterFirstSpaceA("213", after, sizeof(after)));
    EXPECT_EQ(4, TextAfterFirstSpaceA("213 1234", after, sizeof(after)));

    FtpFileDate date{};
    ASSERT_TRUE(ParseFtpTime("20240131203000", &date));
    EXPECT_EQ((FtpFileDate{2024, 1, 31, 20, 30, 0}).hour, date.hour);
    EXPECT_EQ(31, date.day);
    FtpFileDate fraction{};
    ASSERT_TRUE(ParseFtpTime("20240131203000.123", &fraction));
    EXPECT_EQ(0, std::memcmp(&date, &fraction, sizeof(date)));
    ShiftNineHours(&date);
    EXPECT_EQ(32, date.day);
    EXPECT_EQ(5, date.hour);
    FtpFileDate afternoon{2024, 1, 31, 14, 0, 0};
    ShiftNineHours(&afternoon);
    EXPECT_EQ(23, afternoon.hour);
    EXPECT_EQ(31, afternoon.day);
    EXPECT_FALSE(ParseFtpTime("2024013120", &date));
}

TEST(LocalFileTime, InvalidDatesLeaveTheFileAlone) {
    std::string path = Join(LocalDir(), "stamp.txt");
    ASSERT_TRUE(WriteBytes(path, "x"));
    FtpFileDate date{2001, 2, 3, 4, 5, 6};
    ASSERT_NE(0, SetLocalFileTimeA(path.c_str(), &date));
    EXPECT_EQ(DateSeconds(date), ModifiedSeconds(path));
    FtpFileDate day32{2024, 1, 32, 5, 30, 0};
    EXPECT_EQ(0, SetLocalFileTimeA(path.c_str(), &day32));
    FtpFileDate zero{};
    EXPECT_EQ(0, SetLocalFileTimeW(W(U16(path.c_str())), &zero));
    EXPECT_EQ(DateSeconds(date), ModifiedSeconds(path));
    EXPECT_EQ(0, SetLocalFileTimeA(Join(LocalDir(), "absent.txt").c_str(), &date));
}

TEST(BoundedCopies, NeverSplitACharacterOrPassTheBuffer) {
    char out[4];
    EXPECT_EQ(2, CopyCutA(out, sizeof(out), "\x93\xfa\x96\x7b"));  // two double-byte characters
    EXPECT_STREQ("\x93\xfa", out);
    FtpRecordResponse("213 12345");
    char small[4] = "zzz";
    EXPECT_EQ(3, ZK_FtpQueryLastResponseMessageA(small, sizeof(small)));
    EXPECT_STREQ("213", small);
    zk_wchar_t wide[4];
    EXPECT_EQ(3, ZK_FtpQueryLastResponseMessageW(wide, 4));
    EXPECT_EQ(U16("213"), std::u16string(reinterpret_cast<const char16_t *>(wide)));
    EXPECT_EQ(0, ZK_FtpQueryLastResponseMessageA(nullptr, 10));
    FtpRecordResponse("");
    EXPECT_EQ(0, ZK_FtpQueryLastResponseMessageW(wide, 4));
    EXPECT_EQ(0, wide[0]);
}

TEST(ActivePort, AlwaysWithinTheRange) {
    FtpSession *session = new FtpSession();
    for (int i = 0; i < 200; ++i) {
        NewActivePort(session);
        EXPECT_GE(session->activePort, 40000u);
        EXPECT_LE(session->activePort, 40099u);
    }
    delete session;
}

TEST(NullSession, EveryOperationSaysCode1) {
    auto expect1 = [](int32_t result, int32_t failure) {
        EXPECT_EQ(failure, result);
        EXPECT_EQ(1u, ZK_FtpQueryLastErrorCode());
        ZK_FtpClearLastErrorCode();
    };
    ZK_FtpClearLastErrorCode();
    ZK_FtpDisconnect(nullptr);
    EXPECT_EQ(1u, ZK_FtpQueryLastErrorCode());
    ZK_FtpClearLastErrorCode();
    EXPECT_EQ(0u, ZK_FtpQueryLastErrorCode());
    MStringList list{3, nullptr};
    FtpFileDate date{};
    char name[8];
    expect1(ZK_FtpGetFileA(nullptr, "r", "l", 1), 0);
    expect1(ZK_FtpPutFileW(nullptr, W(U16("l")), W(U16("r")), 1), 0);
    expect1(ZK_FtpSetDirectoryA(nullptr, "d"), 0);
    expect1(ZK_FtpCreateDirectoryW(nullptr, W(U16("d"))), 0);
    expect1(ZK_FtpDeleteDirectoryA(nullptr, "d"), 0);
    expect1(ZK_FtpRenameFileA(nullptr, "a", "b"), 0);
    expect1(ZK_FtpDeleteFileW(nullptr, W(U16("f"))), 0);
    expect1(ZK_FtpGetFileSizeA(nullptr, "f"), 0);
    expect1(ZK_FtpGetFileDateW(nullptr, W(U16("f")), &date, 0), 0);
    expect1(ZK_FtpListFileA(nullptr, &list, "LIST"), 0);
    expect1(ZK_FtpGetDirectoryA(nullptr, name, sizeof(name), "PWD"), 0);
    expect1(ZK_FtpSetPermissionA(nullptr, "f", 0x644), 0);
    EXPECT_EQ(3, list.count);
    // The permission asks for a listing first; its failure is reported as code 3.
    EXPECT_EQ(0xFFFFu, ZK_FtpGetPermissionA(nullptr, "f"));
    EXPECT_EQ(3u, ZK_FtpQueryLastErrorCode());
}

}  // namespace
