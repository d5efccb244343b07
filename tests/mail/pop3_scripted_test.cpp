// pop3_scripted_test.cpp -- the POP3 client against a scripted server, for what dovecot will not
// do: "+ok" in lower case, odd listings, refusals, stuffed and overlong lines, a message split
// anywhere or cut off by a close, a QUIT never answered, a message of 100 MB, and a retrieval's
// progress reports and cancel. Table-driven:
// the server's steps after the login, one client call whose outcome is written as text, and the
// last reply and command transcript it must give.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "mail/mail_exchange.h"
#include "pop3_support.h"
#include "send_support.h"
#include "support/line_peer.h"
#include "support/progress_record.h"

namespace {

using Lines = std::vector<std::string>;

const std::vector<LineStep> kLogin = {
    {kNoLine, "+OK scripted POP3 ready\r\n"}, {"USER u", "+OK\r\n"}, {"PASS p", "+OK logged in\r\n"}};

std::vector<LineStep> Session(std::vector<LineStep> steps, const std::string &quit_reply = "+OK bye\r\n") {
    std::vector<LineStep> all = kLogin;
    all.insert(all.end(), steps.begin(), steps.end());
    if (!quit_reply.empty()) all.push_back({"QUIT", quit_reply});
    return all;
}

std::string BoxA(MailHandle *h, int32_t fetch) {
    MailList list{-1, nullptr};
    int32_t r = ZK_MailBoxA(h, &list, fetch);
    std::string out = std::to_string(r) + ": " + ListingA(list, fetch != 0);
    ZK_MailListFreeA(&list);
    return out;
}

std::string BoxW(MailHandle *h, int32_t fetch) {
    MailList list{-1, nullptr};
    int32_t r = ZK_MailBoxW(h, &list, fetch);
    std::string out = std::to_string(r) + ": " + ListingW(list, fetch != 0);
    ZK_MailListFreeW(&list);
    return out;
}

std::string Recv1(MailHandle *h) { return TakeMessage(ZK_MailRecv(h, 1)); }

const std::string kShort = "From: Taro <taro@x>\r\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n\r\nhi\r\n.\r\n";

struct Pop3Case {
    const char *name;
    std::vector<LineStep> steps;  // a whole session
    std::function<std::string(MailHandle *)> call;
    std::string outcome;
    std::string last_reply;
    Lines commands;  // after the login, QUIT included
};

void PrintTo(const Pop3Case &c, std::ostream *os) { *os << c.name; }

const std::string kLongLine(5000, 'L');

const Pop3Case kCases[] = {
    {"ListingInLowerCase", Session({{"LIST", "+ok 2 messages\r\n1 120\r\n2 4711\r\n.\r\n"}}),
     [](MailHandle *h) { return BoxA(h, 0); }, "1: 1/120 2/4711", "+OK bye", {"LIST", "QUIT"}},
    {"SevenDigitNumberReadWhole", Session({{"LIST", "+OK\r\n1234567 4711\r\n2147483647 7\r\n.\r\n"}}),
     [](MailHandle *h) { return BoxA(h, 0); }, "1: 1234567/4711 2147483647/7", "+OK bye", {"LIST", "QUIT"}},
    // A number that does not fit, or is no number, fails the listing: a deletion could name
    // another message.
    {"NumberPastTheLimitFailsTheListing", Session({{"LIST", "+OK\r\n1 10\r\n2147483648 5\r\n3 7\r\n.\r\n"}}),
     [](MailHandle *h) { return BoxW(h, 0); }, "0: 1/10", "+OK bye", {"LIST", "QUIT"}},
    {"NoNumberFailsTheListing", Session({{"LIST", "+OK\r\n12x 10\r\n.\r\n"}}),
     [](MailHandle *h) { return BoxA(h, 0); }, "0: ", "+OK bye", {"LIST", "QUIT"}},
    {"LineWithoutSize", Session({{"LIST", "+OK\r\n5\r\n.\r\n"}}), [](MailHandle *h) { return BoxA(h, 0); },
     "1: 5/0", "+OK bye", {"LIST", "QUIT"}},
    // The rest of the broken listing is left on the connection; it does not answer QUIT.
    {"EmptyLineInsideTheListing", Session({{"LIST", "+OK\r\n1 120\r\n\r\n2 5\r\n.\r\n"}}),
     [](MailHandle *h) { return BoxA(h, 0); }, "0: 1/120", "+OK bye", {"LIST", "QUIT"}},
    {"ListingRefused", Session({{"LIST", "-ERR not now\r\n"}}), [](MailHandle *h) { return BoxW(h, 0); }, "0: ",
     "+OK bye", {"LIST", "QUIT"}},
    {"HeaderFetchByRetr",
     Session({{"LIST", "+OK\r\n1 10\r\n2 20\r\n.\r\n"}, {"RETR 1", "+OK\r\n" + kShort},
              {"RETR 2", "+OK\r\nFROM: <b@y>\r\n\r\n.\r\n"}}),
     [](MailHandle *h) { return BoxA(h, 1); },
     "1: 1/10 Taro <taro@x>|" + AnsiOf(u"\u65E5\u672C\u8A9E") + " 2/20 <b@y>|", "+OK bye",
     {"LIST", "RETR 1", "RETR 2", "QUIT"}},
    {"HeaderFetchStopsAtARefusedRetr",
     Session({{"LIST", "+OK\r\n1 10\r\n2 20\r\n3 30\r\n.\r\n"}, {"RETR 1", "+OK\r\n" + kShort},
              {"RETR 2", "-ERR gone\r\n"}}),
     [](MailHandle *h) { return BoxA(h, 1); }, "0: 1/10 Taro <taro@x>|" + AnsiOf(u"\u65E5\u672C\u8A9E") + " 2/20 | 3/30 |",
     "+OK bye", {"LIST", "RETR 1", "RETR 2", "QUIT"}},
    {"RetrRefused", Session({{"RETR 1", "-ERR no such message\r\n"}}), Recv1, "(null)", "+OK bye", {"RETR 1", "QUIT"}},
    // Stuffed periods, a CR inside a line and a long line, as one message through RETR.
    {"MessageComesAsSent",
     Session({{"RETR 1", "+OK\r\nSubject: dots\r\n\r\n..\r\n...\r\n..x\r\none\rtwo\r\n" + kLongLine + "\r\n.\r\n"}}),
     Recv1, "Subject: dots\r\n\r\n.\r\n..\r\n.x\r\none\rtwo\r\n" + kLongLine + "\r\n", "+OK bye", {"RETR 1", "QUIT"}},
    {"BareLineFeedsBecomeCrLf", Session({{"RETR 1", "+OK\nA: b\n\nbody\n.\n"}}), Recv1, "A: b\r\n\r\nbody\r\n",
     "+OK bye", {"RETR 1", "QUIT"}},
    {"MessageWithoutLines", Session({{"RETR 1", "+OK 0 octets\r\n.\r\n"}}), Recv1, "(null)", "+OK bye",
     {"RETR 1", "QUIT"}},
    // Pieces that split the end mark, each after a pause.
    {"EndMarkInPieces",
     Session({{"RETR 1", "+OK\r\nline\r", 0}, {kNoLine, "\n.", 60}, {kNoLine, "\r", 60}, {kNoLine, "\n", 60}}), Recv1,
     "line\r\n", "+OK bye", {"RETR 1", "QUIT"}},
    {"CloseInTheMiddleOfAMessage", Session({{"RETR 1", "+OK\r\nSubject: x\r\n\r\nhal"}, {kNoLine, kCloseNow}}, ""),
     Recv1, "(null)", "", {"RETR 1"}},
};

class ScriptedPop3 : public ::testing::TestWithParam<Pop3Case> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override { FinishLinePeer(peer_); }
    LinePeer peer_;
};

TEST_P(ScriptedPop3, Transcript) {
    const Pop3Case &c = GetParam();
    StartLinePeer(peer_, ZK_AF_INET, c.steps);
    MailHandle *h = ZK_MailConnectPop3A(Loopback(ZK_AF_INET), "u", "p", peer_.listener.port, ZK_AF_INET);
    ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode() << " " << LastReply();
    ZK_MailClearLastErrorCode();
    EXPECT_EQ(c.outcome, c.call(h));
    EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
    ZK_MailDisconnectPop3(h);
    EXPECT_EQ(c.last_reply, LastReply());
    FinishLinePeer(peer_);
    Lines commands(peer_.link.commands.begin() + std::min<size_t>(2, peer_.link.commands.size()),
                   peer_.link.commands.end());
    EXPECT_EQ(c.commands, commands);
    EXPECT_EQ(Lines(), peer_.link.mismatches);
    EXPECT_FALSE(peer_.link.bare_line_end);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptedPop3, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Pop3Case> &info) { return info.param.name; });

// ---- Logging in ----

struct LoginCase {
    const char *name;
    std::vector<LineStep> steps;
    bool connects;
    uint32_t code;
    std::string last_reply;
};

void PrintTo(const LoginCase &c, std::ostream *os) { *os << c.name; }

const LoginCase kLoginCases[] = {
    {"LowerCaseOkEverywhere",
     {{kNoLine, "+ok hello\r\n"}, {"USER u", "+ok\r\n"}, {"PASS p", "+ok in\r\n"}, {"QUIT", "+ok bye\r\n"}}, true, 0,
     "+ok bye"},
    // A refusal that quotes "+OK" is still a refusal.
    {"GreetingRefusalQuotingOk", {{kNoLine, "-ERR busy, +OK later\r\n"}}, false, 3, "-ERR busy, +OK later"},
    {"UserRefusalQuotingOk", {{kNoLine, "+OK\r\n"}, {"USER u", "-ERR no +OK for u\r\n"}}, false, 6,
     "-ERR no +OK for u"},
    {"PassRefusalQuotingOk",
     {{kNoLine, "+OK\r\n"}, {"USER u", "+OK\r\n"}, {"PASS p", "-ERR [AUTH] +OK is not the password\r\n"}}, false, 6,
     "-ERR [AUTH] +OK is not the password"},
    {"CloseAfterUser", {{kNoLine, "+OK\r\n"}, {"USER u", kCloseNow}}, false, 3, ""},
};

class LoginPop3 : public ::testing::TestWithParam<LoginCase> {};

TEST_P(LoginPop3, Outcome) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    const LoginCase &c = GetParam();
    for (uint16_t family : {ZK_AF_INET, ZK_AF_INET6}) {
        SCOPED_TRACE(family);
        LinePeer peer;
        std::vector<LineStep> steps = c.steps;
        if (!c.connects) steps.push_back({kClientCloses, "", 0, 2000});  // the connection is closed again
        StartLinePeer(peer, family, steps);
        MailLastError = 9;
        MailHandle *h = family == ZK_AF_INET
                            ? ZK_MailConnectPop3A(Loopback(family), "u", "p", peer.listener.port, family)
                            : ZK_MailConnectPop3W(Wz(u"::1"), Wz(u"u"), Wz(u"p"), peer.listener.port, family);
        EXPECT_EQ(c.connects, h != nullptr);
        EXPECT_EQ(c.code, ZK_MailQueryLastErrorCode());
        if (h != nullptr) ZK_MailDisconnectPop3(h);
        EXPECT_EQ(c.last_reply, LastReply());
        FinishLinePeer(peer);
        EXPECT_EQ(Lines(), peer.link.mismatches);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LoginPop3, ::testing::ValuesIn(kLoginCases),
                         [](const ::testing::TestParamInfo<LoginCase> &info) { return info.param.name; });

// ---- What tables do not hold ----

class ScriptedPop3Session : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override { FinishLinePeer(peer_); }
    MailHandle *Connect(LineScript script) {
        StartLinePeer(peer_, ZK_AF_INET6, [script](LinePeerLink &link) {
            RunSteps(link, kLogin);
            script(link);
        });
        return ZK_MailConnectPop3A("::1", "u", "p", peer_.listener.port, ZK_AF_INET6);
    }
    LinePeer peer_;
};

// No answer to QUIT: the session still ends, after the 8 s wait and not much later.
TEST_F(ScriptedPop3Session, QuitNeverAnswered) {
    MailHandle *h = Connect([](LinePeerLink &link) {
        ExpectLine(link);
        AwaitClose(link, 15000);
    });
    ASSERT_NE(nullptr, h);
    uint32_t start = Now();
    ZK_MailDisconnectPop3(h);
    uint32_t spent = Since(start);
    EXPECT_GE(spent, 7500u);
    EXPECT_LT(spent, 13000u);
    EXPECT_EQ("", LastReply());
    FinishLinePeer(peer_);
    EXPECT_EQ((Lines{"USER u", "PASS p", "QUIT"}), peer_.link.commands);
}

// A message that stops coming: the wait for each block ends after 8 s.
TEST_F(ScriptedPop3Session, MessageThatStopsComing) {
    MailHandle *h = Connect([](LinePeerLink &link) {
        ExpectLine(link);
        SendRaw(link, "+OK\r\nSubject: slow\r\n\r\nfirst lines");
        ExpectLine(link, 15000);  // QUIT
        SendLine(link, "+OK bye");
    });
    ASSERT_NE(nullptr, h);
    uint32_t start = Now();
    EXPECT_EQ("(null)", TakeMessage(ZK_MailRecv(h, 4)));
    EXPECT_GE(Since(start), 7500u);
    EXPECT_LT(Since(start), 13000u);
    ZK_MailDisconnectPop3(h);
    EXPECT_EQ("+OK bye", LastReply());
}

// 100 MB for one message, in lines of 76 bytes with stuffed periods: all of it arrives, as sent.
TEST_F(ScriptedPop3Session, HundredMegabyteMessage) {
    std::string lines;
    for (int i = 0; i < 64; ++i) lines += (i % 8 == 0 ? ".." : "") + std::string(74, static_cast<char>('a' + i % 26)) + "\r\n";
    const size_t repeats = 100 * 1024 * 1024 / lines.size();
    MailHandle *h = Connect([lines, repeats](LinePeerLink &link) {
        ExpectLine(link);
        std::string wire = "+OK big\r\nSubject: big\r\n\r\n";
        wire.reserve(wire.size() + repeats * lines.size() + 8);
        for (size_t i = 0; i < repeats; ++i) wire += lines;
        wire += ".\r\n";
        SendRaw(link, wire);
        ExpectLine(link, 60000);  // QUIT
        SendLine(link, "+OK bye");
    });
    ASSERT_NE(nullptr, h);
    char *text = ZK_MailRecv(h, 1);
    ASSERT_NE(nullptr, text);
    std::string sent;
    for (int i = 0; i < 64; ++i) sent += (i % 8 == 0 ? "." : "") + std::string(74, static_cast<char>('a' + i % 26)) + "\r\n";
    const std::string head = "Subject: big\r\n\r\n";
    size_t length = strlen(text);
    EXPECT_EQ(head.size() + repeats * sent.size(), length);
    bool same = length == head.size() + repeats * sent.size() && std::string(text, head.size()) == head;
    for (size_t i = 0; same && i < repeats; ++i) same = sent.compare(0, sent.size(), text + head.size() + i * sent.size(), sent.size()) == 0;
    EXPECT_TRUE(same);
    ZK_MailRecvFree(text);
    ZK_MailDisconnectPop3(h);
    EXPECT_EQ("+OK bye", LastReply());
}

}  // namespace

// The progress callback of a retrieval: called on the caller's thread with the size the status
// announced, last with the whole message; a cancel drops the rest of the message (read to its
// end, so the next command gets its own answer) and fails with code 33.
TEST_F(ScriptedPop3Session, ProgressAndCancel) {
    const std::string piece = "Subject: slow\r\n\r\n" + std::string(2000, 'x') + "\r\n";
    MailHandle *h = Connect([piece](LinePeerLink &link) {
        for (int message = 0; message < 2; ++message) {
            ExpectLine(link);  // RETR 1, twice
            SendRaw(link, "+OK " + std::to_string(3 * piece.size()) + " octets\r\n");
            for (int i = 0; i < 3; ++i) {
                SendRaw(link, piece);
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            }
            SendRaw(link, ".\r\n");
        }
        RunSteps(link, {{"RETR 2", "+OK\r\nSubject: next\r\n\r\nsmall\r\n.\r\n"}, {"QUIT", "+OK bye\r\n"}});
    });
    ASSERT_NE(nullptr, h);
    ProgressRecord whole;
    ASSERT_EQ(1, ZK_MailSetProgressCallback(h, RecordProgress, &whole));
    std::string text = TakeMessage(ZK_MailRecv(h, 1));
    EXPECT_EQ(3 * piece.size(), text.size());
    EXPECT_EQ(0, whole.foreign_calls);
    EXPECT_TRUE(whole.Steady());
    EXPECT_GE(whole.done.size(), 2u);  // as the pieces come, and at the end
    EXPECT_EQ(std::to_string(3 * piece.size() + 3) + "/" + std::to_string(3 * piece.size() + 3), whole.Last());
    EXPECT_EQ(static_cast<int64_t>(3 * piece.size()), whole.total.front());

    ProgressRecord cancelling;
    cancelling.cancel = true;
    ZK_MailSetProgressCallback(h, RecordProgress, &cancelling);
    ZK_MailClearLastErrorCode();
    EXPECT_EQ("(null)", TakeMessage(ZK_MailRecv(h, 1)));
    EXPECT_EQ(static_cast<uint32_t>(ZK_MAIL_CANCELLED), ZK_MailQueryLastErrorCode());
    EXPECT_EQ(1u, cancelling.done.size());  // nothing is reported after the cancel
    ZK_MailSetProgressCallback(h, nullptr, nullptr);
    EXPECT_EQ("Subject: next\r\n\r\nsmall\r\n", TakeMessage(ZK_MailRecv(h, 2)));
    ZK_MailDisconnectPop3(h);
    EXPECT_EQ("+OK bye", LastReply());
    EXPECT_EQ(0, ZK_MailSetProgressCallback(nullptr, RecordProgress, nullptr));
}
