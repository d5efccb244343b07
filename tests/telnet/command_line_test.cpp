// command_line_test.cpp -- how a command goes out: a 0xFF data byte doubled, so the host does not
// take it for a Telnet command; a CR or LF inside the command refused, so the caller's text can
// never start a second command line; nothing sent for a refused command.
#include <gtest/gtest.h>

#include <string>

#include "telnet/command_line.h"
#include "telnet/scripted_peer.h"

namespace {

struct LineCase {
    std::string command;
    std::string line;  // empty: refused
};

const LineCase kLines[] = {
    {"ls", "ls\r\n"},
    {"", "\r\n"},
    {"echo \xff", "echo \xff\xff\r\n"},
    {"\xff\xff", "\xff\xff\xff\xff\r\n"},
    {"\x83\x5c\xff", "\x83\x5c\xff\xff\r\n"},  // a Shift_JIS character, then a 0xFF
    {"rm x\r\nrm -rf y", ""},
    {"ls\n", ""},
    {"ls\r", ""},
    {std::string(1021, 'a'), std::string(1021, 'a') + "\r\n"},
    {std::string(1020, 'a') + "\xff", ""},  // doubled, it no longer fits the line
    {std::string(1019, 'a') + "\xff", std::string(1019, 'a') + "\xff\xff\r\n"},
};

TEST(TelnetCommandLine, DoublesIacAndRefusesLineBreaks) {
    for (const LineCase &c : kLines) {
        SCOPED_TRACE(c.command.substr(0, 40));
        char line[1030];
        int32_t n = TelnetCommandLine(c.command.c_str(), line, static_cast<int32_t>(sizeof(line)));
        if (c.line.empty()) {
            EXPECT_EQ(-1, n);
        } else {
            ASSERT_EQ(static_cast<int32_t>(c.line.size()), n);
            EXPECT_EQ(c.line, std::string(line, static_cast<size_t>(n)));
        }
    }
}

// Against a host: the doubled byte goes out and its echo (doubled as well) is taken back; a
// command with a line break is refused with code 5 and nothing reaches the host.
TEST(TelnetCommandLine, HostSeesOneCommandWithItsByteDoubled) {
    ScriptedPeer peer;
    StartPeer(peer, ZK_AF_INET, [](PeerLink &link) {
        Put(link, "login:");
        Take(link, 9);
        Put(link, "echo \xff\xff\r\n\xff\r\n$ ");
    });
    TelnetLineList list{0, nullptr};
    TelnetHandle *h = ZK_TelnetConnectA(Loopback(ZK_AF_INET), &list, peer.listener.port, ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    ZK_TelnetDelListA(&list);
    ZK_TelnetClearLastErrorCode();
    EXPECT_EQ(0, ZK_TelnetCommandSendA(h, "ls\r\nrm -rf /tmp/x"));
    EXPECT_EQ(ZK_TELNET_NOT_SENT, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ(0, ZK_TelnetCommandSendW(h, W(U16("ls\nrm"))));
    EXPECT_EQ(ZK_TELNET_NOT_SENT, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ(1, ZK_TelnetCommandSendA(h, "echo \xff"));
    EXPECT_EQ(1, ZK_TelnetCommandRecvA(h, &list));
    ASSERT_EQ(2, list.count);
    EXPECT_STREQ("\xff", static_cast<const char *>(list.items[0]));  // the echo is gone, the output stays
    ZK_TelnetDelListA(&list);
    ZK_TelnetDisconnect(h);
    FinishPeer(peer);
    EXPECT_EQ("echo \xff\xff\r\n", peer.link.received);
}

}  // namespace
