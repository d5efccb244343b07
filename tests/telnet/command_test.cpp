// command_test.cpp -- command lines, echoes and received lines against scripted hosts: what is taken
// back as the echo, what is left for the receive, and the failures of each step.
#include <gtest/gtest.h>

#include "telnet/scripted_peer.h"

namespace {

using Lines = std::vector<std::string>;

// A session whose host greets with "login:" and then plays `script`; the test body runs `client`.
void WithSession(PeerScript script, const std::function<void(TelnetHandle *)> &client, ScriptedPeer &peer,
                 uint16_t family = ZK_AF_INET) {
    StartPeer(peer, family, [script](PeerLink &link) {
        Put(link, "login:");
        script(link);
    });
    TelnetLineList greeting{0, nullptr};
    TelnetHandle *handle = ZK_TelnetConnectA(Loopback(family), &greeting, peer.listener.port, family);
    ASSERT_NE(nullptr, handle);
    EXPECT_EQ(Lines{"login:"}, LinesA(greeting));
    ZK_TelnetDelListA(&greeting);
    client(handle);
    ZK_TelnetDisconnect(handle);
    FinishPeer(peer);
}

// Sends `command`, receives the next burst and returns its lines; the send must succeed.
Lines SendAndReceive(TelnetHandle *handle, const char *command) {
    EXPECT_EQ(1, ZK_TelnetCommandSendA(handle, command));
    TelnetLineList list{0, nullptr};
    EXPECT_EQ(1, ZK_TelnetCommandRecvA(handle, &list));
    Lines lines = LinesA(list);
    ZK_TelnetDelListA(&list);
    return lines;
}

TEST(TelnetCommand, EchoIsTakenBackAndOutputKept) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 4);
        Put(link, "ls\r\nfile1\r\nfile2\r\n$ ");
        Take(link, 9);
        Put(link, "echo hi\r" + Bytes({0}) + "\nhi\r\n$ ");  // an echo whose CR carries NUL padding
    }, [](TelnetHandle *h) {
        EXPECT_EQ((Lines{"file1", "file2", "$ "}), SendAndReceive(h, "ls"));
        EXPECT_EQ("file1\x81\xab" "file2\x81\xab$ ", LastResponseA());
        EXPECT_EQ((Lines{"hi", "$ "}), SendAndReceive(h, "echo hi"));
    }, peer);
    EXPECT_EQ("ls\r\necho hi\r\n", peer.link.received);  // each command once, with CR LF
}

TEST(TelnetCommand, LineThatIsNotEchoedLosesNoOutput) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 8);
        Put(link, Bytes({'\r', 0, '\r', '\n'}) + "Welcome\r\n$ ");  // a password is not echoed
    }, [](TelnetHandle *h) { EXPECT_EQ((Lines{"Welcome", "$ "}), SendAndReceive(h, "zkpass")); }, peer);
    EXPECT_EQ("zkpass\r\n", peer.link.received);
}

TEST(TelnetCommand, OutputThatOnlyStartsLikeTheCommandIsKept) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 4);
        Put(link, "lsof: not found\r\n$ ");
        Take(link, 5);
        Put(link, "ca");  // a prefix of the command, then a pause: not taken as an echo
        Pause(800);
        Put(link, "t\r\n$ ");
    }, [](TelnetHandle *h) {
        EXPECT_EQ((Lines{"lsof: not found", "$ "}), SendAndReceive(h, "ls"));
        EXPECT_EQ(1, ZK_TelnetCommandSendA(h, "cat"));
        TelnetLineList list{0, nullptr};
        EXPECT_EQ(1, ZK_TelnetCommandRecvA(h, &list));
        Lines lines = LinesA(list);
        ZK_TelnetDelListA(&list);
        // The receive ends at the pause or includes what followed; either way "ca" is still there.
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(0u, lines[0].rfind("ca", 0));
    }, peer);
}

TEST(TelnetCommand, EchoArrivingInPiecesIsStillTheEcho) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 9);
        Put(link, "ec");
        Pause(150);
        Put(link, "ho hi\r");
        Pause(150);
        Put(link, "\nhi\r\n$ ");
    }, [](TelnetHandle *h) { EXPECT_EQ((Lines{"hi", "$ "}), SendAndReceive(h, "echo hi")); }, peer);
}

TEST(TelnetCommand, BlankOutputGivesAnEmptyListNulOnlyGivesCode8) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 7);
        Put(link, "blank\r\n\r\n");  // echo, then one blank line of output
        Take(link, 3);
        Put(link, Bytes({'x', '\r', '\n', 0, 0, 0}));
    }, [](TelnetHandle *h) {
        EXPECT_EQ(1, ZK_TelnetCommandSendA(h, "blank"));
        TelnetLineList list{0, nullptr};
        EXPECT_EQ(1, ZK_TelnetCommandRecvA(h, &list));
        EXPECT_EQ(0, list.count);
        EXPECT_EQ("", LastResponseA());
        ZK_TelnetDelListA(&list);
        ZK_TelnetDelListA(&list);  // a second release finds nothing to release
        EXPECT_EQ(0, list.count);
        EXPECT_EQ(nullptr, list.items);

        EXPECT_EQ(1, ZK_TelnetCommandSendA(h, "x"));
        EXPECT_EQ(0, ZK_TelnetCommandRecvA(h, &list));
        EXPECT_EQ(ZK_TELNET_NO_LINE, ZK_TelnetQueryLastErrorCode());
        EXPECT_EQ(0, list.count);
        EXPECT_EQ(nullptr, list.items);
    }, peer);
}

TEST(TelnetCommand, HostThatClosesGivesCode6) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 6);
        ZK_SocketClose(link.connection);
        link.connection = nullptr;
    }, [](TelnetHandle *h) {
        EXPECT_EQ(0, ZK_TelnetCommandSendA(h, "exit"));
        EXPECT_EQ(ZK_TELNET_NOTHING_RECEIVED, ZK_TelnetQueryLastErrorCode());
        TelnetLineList list{0, nullptr};
        EXPECT_EQ(0, ZK_TelnetCommandRecvA(h, &list));
        EXPECT_EQ(ZK_TELNET_NOTHING_RECEIVED, ZK_TelnetQueryLastErrorCode());
    }, peer);
}

TEST(TelnetCommand, NullsAndOverlongCommandsAreRefused) {
    TelnetLineList list{0, nullptr};
    EXPECT_EQ(0, ZK_TelnetCommandSendA(nullptr, "ls"));
    EXPECT_EQ(ZK_TELNET_NO_SESSION, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ(0, ZK_TelnetCommandRecvW(nullptr, &list));
    EXPECT_EQ(ZK_TELNET_NO_SESSION, ZK_TelnetQueryLastErrorCode());

    ScriptedPeer peer;
    const std::string longest(1021, 'a');  // with CR LF exactly the 1023 characters a line may have
    WithSession([longest](PeerLink &link) {
        Take(link, 1023);
        Put(link, longest + "\r\nok\r\n");
    }, [longest](TelnetHandle *h) {
        ZK_TelnetClearLastErrorCode();
        EXPECT_EQ(0, ZK_TelnetCommandSendA(h, nullptr));
        EXPECT_EQ(ZK_TELNET_NOT_SENT, ZK_TelnetQueryLastErrorCode());
        EXPECT_EQ(0, ZK_TelnetCommandSendA(h, (longest + "b").c_str()));
        EXPECT_EQ(ZK_TELNET_NOT_SENT, ZK_TelnetQueryLastErrorCode());
        EXPECT_EQ(Lines{"ok"}, SendAndReceive(h, longest.c_str()));
    }, peer);
    EXPECT_EQ(longest + "\r\n", peer.link.received);  // the refused ones sent nothing
}

TEST(TelnetCommand, WideFormsCarryJapaneseInTheAnsiCodePage) {
    ScriptedPeer peer;
    const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea";  // 日本語 in Shift_JIS
    WithSession([sjis](PeerLink &link) {
        Take(link, 13);
        Put(link, "echo " + sjis + "\r\n" + sjis + "\r\n$ ");
    }, [](TelnetHandle *h) {
        std::u16string command = u"echo 日本語";
        EXPECT_EQ(1, ZK_TelnetCommandSendW(h, W(command)));
        TelnetLineList list{0, nullptr};
        EXPECT_EQ(1, ZK_TelnetCommandRecvW(h, &list));
        EXPECT_EQ((std::vector<std::u16string>{u"日本語", u"$ "}), LinesW(list));
        std::u16string part = u"本";
        std::u16string dollar = U16("$");
        EXPECT_EQ(1, ZK_TelnetSearchStringW(&list, W(part)));
        EXPECT_EQ(1, ZK_TelnetSearchStringW(&list, W(dollar)));
        EXPECT_EQ(u"日本語\u2193$ ", LastResponseW());
        ZK_TelnetDelListW(&list);
    }, peer);
    EXPECT_EQ("echo " + sjis + "\r\n", peer.link.received);
}

// Login against scripted hosts: the password prompt each form waits for, the final prompt.
TEST(TelnetLogin, NarrowFormWantsPasswordWithItsColon) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 6);
        Put(link, "user\r\nPassword");
    }, [](TelnetHandle *h) {
        TelnetLineList list{0, nullptr};
        EXPECT_EQ(0, ZK_TelnetLoginA(h, "user", "pw", &list, "$"));
        EXPECT_EQ(ZK_TELNET_NO_PROMPT, ZK_TelnetQueryLastErrorCode());
        EXPECT_EQ("Password", LastResponseA());
        EXPECT_EQ(0, list.count);
    }, peer);
    EXPECT_EQ("user\r\n", peer.link.received);  // the password was never sent
}

TEST(TelnetLogin, WideFormAcceptsPasswordWithoutColon) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 6);
        Put(link, "user\r\nPassword");
        Take(link, 4);
        Put(link, "\r\nLast LOGIN: today\r\nhost$ ");
    }, [](TelnetHandle *h) {
        TelnetLineList list{0, nullptr};
        std::u16string user = U16("user"), pw = U16("pw"), prompt = U16("HOST$");
        EXPECT_EQ(1, ZK_TelnetLoginW(h, W(user), W(pw), &list, W(prompt)));
        EXPECT_EQ((std::vector<std::u16string>{u"Last LOGIN: today", u"host$ "}), LinesW(list));
        ZK_TelnetDelListW(&list);
    }, peer);
    EXPECT_EQ("user\r\npw\r\n", peer.link.received);
}

TEST(TelnetLogin, MissingFinalPromptKeepsTheLines) {
    ScriptedPeer peer;
    WithSession([](PeerLink &link) {
        Take(link, 6);
        Put(link, "user\r\nPassword:");
        Take(link, 4);
        Put(link, "\r\nLogin incorrect\r\nlogin: ");
    }, [](TelnetHandle *h) {
        TelnetLineList list{0, nullptr};
        EXPECT_EQ(0, ZK_TelnetLoginA(h, "user", "pw", &list, "$"));
        EXPECT_EQ(ZK_TELNET_NO_PROMPT, ZK_TelnetQueryLastErrorCode());
        EXPECT_EQ((Lines{"Login incorrect", "login: "}), LinesA(list));
        ZK_TelnetDelListA(&list);
    }, peer);
}

}  // namespace
