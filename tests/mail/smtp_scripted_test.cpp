// smtp_scripted_test.cpp -- the SMTP client against a scripted server that answers as real
// servers do: refusals at every step (421 at the greeting and mid-session, 450 and 452 at RCPT and
// DATA, 552 and 554 after the data with numbers like 250 in their words), multi-line replies,
// replies split into segments and with bare LF line ends, stray and late lines, replies that come
// late or never, closes, overlong lines, named and several recipients, and a server that stops
// reading. Table-driven: the server's steps, one client call, and the result, code, last reply and
// command transcript it must give.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "send_support.h"
#include "support/line_peer.h"

namespace {

using Lines = std::vector<std::string>;

std::string Reply(const Lines &lines) {
    std::string out;
    for (const std::string &line : lines) out += line + "\r\n";
    return out;
}

const std::string kGreeting = "220 scripted peer ready\r\n";

// The steps of a whole transaction with the given final reply (kNoLine steps stand for silence).
std::vector<LineStep> Transaction(const std::string &final_reply, uint32_t quit_limit_ms = 5000) {
    return {{kNoLine, kGreeting},       {"HELO me", "250 hello\r\n"}, {"MAIL FROM: <a@x>", "250 ok\r\n"},
            {"RCPT TO: <b@y>", "250 ok\r\n"}, {"DATA", "354 go ahead\r\n"},   {kData, final_reply},
            {"QUIT", "221 bye\r\n", 0, quit_limit_ms}};
}

int SendA(MailHandle *h) { return ZK_MailSendA(h, "me", "<a@x>", "<b@y>", "Hello", "\nHi.\n", -1); }

struct ScriptedCase {
    const char *name;  // or null, with the label made up
    std::vector<LineStep> steps;
    std::function<int(MailHandle *)> call;
    int result;
    uint32_t code;
    std::string last_reply;
    Lines commands;  // every line the client sent, QUIT included
    uint32_t most_ms = 8000;
    std::string label = "";
};

void PrintTo(const ScriptedCase &c, std::ostream *os) { *os << c.label; }

std::vector<LineStep> With(std::vector<LineStep> steps, size_t index, const std::string &reply, uint32_t pause_ms = 0,
                           uint32_t drip_ms = 0) {
    steps[index].reply = reply;
    steps[index].pause_ms = pause_ms;
    steps[index].drip_ms = drip_ms;
    return steps;
}

// The steps of a transaction up to the one at `index`, which gets `reply`; then QUIT, or nothing
// more when the reply closes the connection.
std::vector<LineStep> RefusedAt(size_t index, const std::string &reply, bool closes = false) {
    std::vector<LineStep> steps = Transaction("");
    steps.resize(index + 1);
    steps[index].reply = reply;
    if (closes) {
        steps.push_back({kNoLine, kCloseNow});
    } else {
        steps.push_back({"QUIT", "221 bye\r\n"});
    }
    return steps;
}

// The commands of a transaction up to the step at `index` (the greeting is step 0), then QUIT.
Lines CommandsTo(size_t index, bool quit = true) {
    const Lines all = {"HELO me", "MAIL FROM: <a@x>", "RCPT TO: <b@y>", "DATA"};
    Lines commands(all.begin(), all.begin() + static_cast<long>(index < 4 ? index : 4));
    if (quit) commands.push_back("QUIT");
    return commands;
}

const ScriptedCase kFixedCases[] = {
    {"PlainTransaction", Transaction("250 queued as 1\r\n"), SendA, 1, 0, "250 queued as 1", CommandsTo(4)},
    {"MultiLineGreetingIsReadToItsEnd",
     With(Transaction("250 queued\r\n"), 0, Reply({"220-first line", "220-second line", "220 ready"})), SendA, 1, 0,
     "250 queued", CommandsTo(4)},
    {"MultiLineFinalReplyKeepsItsLastLine", Transaction(Reply({"250-message taken", "250 queued as 7"})), SendA, 1,
     0, "250 queued as 7", CommandsTo(4)},
    {"MultiLineRefusalIsJudgedOnItsLastLine", RefusedAt(1, Reply({"550-250 is said here", "550 but this is a refusal"})),
     SendA, 0, 8, "550 but this is a refusal", CommandsTo(1)},
    {"AStrayLineDoesNotAnswerDATA",
     With(Transaction("250 queued\r\n"), 3, "250 ok\r\n250 a stray line nobody asked for\r\n"), SendA, 1, 0,
     "250 queued", CommandsTo(4)},
    {"AnOverlongReplyLineIsReadToItsEnd",
     With(Transaction("250 queued\r\n"), 1, "250 " + std::string(3000, 'x') + "\r\n"), SendA, 1, 0, "250 queued",
     CommandsTo(4)},
    {"AnOverlongRefusalIsKeptCut", RefusedAt(1, "501 " + std::string(3000, 'y') + "\r\n"), SendA, 0, 8,
     "501 " + std::string(507, 'y'), CommandsTo(1)},
    // A server that checks the message at length before it answers: the final reply is waited
    // for longer than any other.
    {"FinalReplyAfterNineSeconds", With(Transaction(""), 5, "250 queued at last\r\n", 9000), SendA, 1, 0,
     "250 queued at last", CommandsTo(4), 20000},
    {"NoReplyToHelo", {{kNoLine, kGreeting}, {"HELO me", ""}, {"QUIT", "221 bye\r\n", 0, 12000}}, SendA, 0, 8, "",
     CommandsTo(1), 12500},
    // The server goes away soon after it said 354, reading none of the message, or once it took
    // the data: no reply, so the message counts as not sent.
    {"CloseAfterData", With(RefusedAt(4, "354 go ahead\r\n", true), 5, kCloseNow, 200), SendA, 0, 11, "",
     CommandsTo(4, false)},
    {"CloseAfterTheDataWithoutReply", RefusedAt(5, kCloseNow, true), SendA, 0, 11, "", CommandsTo(4, false)},
    // Each message says HELO again; no RSET is sent between them.
    {"TwoMessagesOnOneSession",
     {{kNoLine, kGreeting}, {"HELO me", "250 hi\r\n"}, {"MAIL FROM: <a@x>", "250 ok\r\n"},
      {"RCPT TO: <b@y>", "250 ok\r\n"}, {"DATA", "354 go\r\n"}, {kData, "250 one\r\n"}, {"HELO me", "250 hi\r\n"},
      {"MAIL FROM: <a@x>", "250 ok\r\n"}, {"RCPT TO: <b@y>", "250 ok\r\n"}, {"DATA", "354 go\r\n"},
      {kData, "250 two\r\n"}, {"QUIT", "221 bye\r\n"}},
     [](MailHandle *h) { return SendA(h) * 10 + SendA(h); }, 11, 0, "250 two",
     {"HELO me", "MAIL FROM: <a@x>", "RCPT TO: <b@y>", "DATA", "HELO me", "MAIL FROM: <a@x>", "RCPT TO: <b@y>", "DATA",
      "QUIT"}},
    // CR and LF in the texts of the command lines cannot start a command of their own.
    {"LineBreaksInTheTextsBecomeSpaces",
     {{kNoLine, kGreeting}, {"HELO me  RSET", "250 hi\r\n"}, {"MAIL FROM: <a@x>", "250 ok\r\n"},
      {"RCPT TO: no bracket  DATA", "250 ok\r\n"}, {"DATA", "354 go\r\n"}, {kData, "250 queued\r\n"},
      {"QUIT", "221 bye\r\n"}},
     [](MailHandle *h) {
         return ZK_MailSendA(h, "me\r\nRSET", "<a@x>\nRCPT TO: <evil@x>", "no bracket\r\nDATA", "s\r\n.", "", -1);
     },
     1, 0, "250 queued", {"HELO me  RSET", "MAIL FROM: <a@x>", "RCPT TO: no bracket  DATA", "DATA", "QUIT"}},
    {"WideRcptRefused", RefusedAt(3, Reply({"550-no", "550 such user"})),
     [](MailHandle *h) { return ZK_MailSendW(h, Wz(u"me"), Wz(u"<a@x>"), Wz(u"<b@y>"), Wz(u"s"), Wz(u""), 72); }, 0,
     10, "550 such user", CommandsTo(3)},
    // A refusal that quotes the code of an acceptance is still a refusal.
    {"SizeRefusalQuoting250", Transaction("552 5.3.4 Message size 2500000 exceeds limit 250000\r\n"), SendA, 0, 11,
     "552 5.3.4 Message size 2500000 exceeds limit 250000", CommandsTo(4)},
    {"MultiLineRefusalOfTheMessage",
     Transaction(Reply({"550-5.7.1 250 is the limit of this host", "550 5.7.1 Rejected (ref 12504)"})), SendA, 0, 11,
     "550 5.7.1 Rejected (ref 12504)", CommandsTo(4)},
    // Replies in segments, a byte each, a line end split between its CR and LF; and bare LF ends.
    {"RepliesSplitIntoSegments",
     With(With(Transaction("250 queued\r\n"), 1, Reply({"250-zknet", "250 HELP"}), 0, 15), 5, "250 queued\r\n", 0, 15),
     SendA, 1, 0, "250 queued", CommandsTo(4)},
    {"BareLineFeeds",
     {{kNoLine, "220-first\n220 ready\n"}, {"HELO me", "250-zknet\n250 ok\n"}, {"MAIL FROM: <a@x>", "250 ok\n"},
      {"RCPT TO: <b@y>", "250 ok\n"}, {"DATA", "354 go\n"}, {kData, "250 queued\n"}, {"QUIT", "221 bye\n"}},
     SendA, 1, 0, "250 queued", CommandsTo(4)},
    // The server closes right after it took the message: it was taken.
    {"CloseRightAfterTheFinal250", RefusedAt(5, "250 queued\r\n", true), SendA, 1, 0, "250 queued",
     CommandsTo(4, false)},
    // Named addresses: the envelope takes the address in angle brackets; each address of the to
    // text gets its own RCPT TO, commas in quoted names and comments separating nothing.
    {"NamedSenderAndSeveralRecipients",
     {{kNoLine, kGreeting}, {"HELO me", "250 hi\r\n"}, {"MAIL FROM: <taro@example.jp>", "250 ok\r\n"},
      {"RCPT TO: <b@y>", "250 ok\r\n"}, {"RCPT TO: <c@z>", "250 ok\r\n"}, {"RCPT TO: d@w", "250 ok\r\n"},
      {"DATA", "354 go\r\n"}, {kData, "250 queued\r\n"}, {"QUIT", "221 bye\r\n"}},
     [](MailHandle *h) {
         std::string from = AnsiOf(Utf16("山田 太郎 <taro@example.jp>"));
         return ZK_MailSendA(h, "me", from.c_str(), "\"Sato, Jiro\" <b@y>, C (Chief, Ops) <c@z>,, d@w", "s", "", -1);
     },
     1, 0, "250 queued",
     {"HELO me", "MAIL FROM: <taro@example.jp>", "RCPT TO: <b@y>", "RCPT TO: <c@z>", "RCPT TO: d@w", "DATA", "QUIT"}},
    {"OneRecipientRefusedFailsBeforeTheData",
     {{kNoLine, kGreeting}, {"HELO me", "250 hi\r\n"}, {"MAIL FROM: <a@x>", "250 ok\r\n"},
      {"RCPT TO: <b@y>", "250 ok\r\n"}, {"RCPT TO: <c@z>", "550 5.1.1 <c@z>: unknown\r\n"}, {"QUIT", "221 bye\r\n"}},
     [](MailHandle *h) {
         return ZK_MailSendW(h, Wz(u"me"), Wz(Utf16("山田 <a@x>")), Wz(Utf16("佐藤 <b@y>, 鈴木 <c@z>")), Wz(u"s"), Wz(u""), -1);
     },
     0, 10, "550 5.1.1 <c@z>: unknown", {"HELO me", "MAIL FROM: <a@x>", "RCPT TO: <b@y>", "RCPT TO: <c@z>", "QUIT"}},
};

// At each step a lasting refusal and 421, with which a server ends the session mid-way; at RCPT
// and DATA a transient refusal.
std::vector<ScriptedCase> Cases() {
    std::vector<ScriptedCase> cases(std::begin(kFixedCases), std::end(kFixedCases));
    const struct {
        const char *step;
        size_t index;
        uint32_t code;
        const char *refusal;
    } steps[] = {{"Helo", 1, 8, "550 go away"},
                 {"MailFrom", 2, 9, "553 no such sender"},
                 {"RcptTo", 3, 10, "550 unknown user"},
                 {"Data", 4, 11, "554 no valid recipients"}};
    for (const auto &step : steps) {
        cases.push_back({nullptr, RefusedAt(step.index, std::string(step.refusal) + "\r\n"), SendA, 0, step.code,
                         step.refusal, CommandsTo(step.index)});
        cases.back().label = std::string("Refused") + step.step;
        const std::string reply = "421 4.3.2 zknet-test closing: 250 connections now\r\n";
        cases.push_back({nullptr, RefusedAt(step.index, reply, true), SendA, 0, step.code, reply.substr(0, reply.size() - 2),
                         CommandsTo(step.index, false)});
        cases.back().label = std::string("Closing421At") + step.step;
        if (step.index < 3) continue;
        const char *refusal = step.index == 3 ? "450 4.2.0 mailbox busy" : "452 4.5.3 too many 250s";
        cases.push_back({nullptr, RefusedAt(step.index, std::string(refusal) + "\r\n"), SendA, 0, step.code, refusal,
                         CommandsTo(step.index)});
        cases.back().label = std::string("Refused") + std::string(refusal, 3) + "At" + step.step;
    }
    for (ScriptedCase &c : cases) {
        if (c.name != nullptr) c.label = c.name;
    }
    return cases;
}

class ScriptedSmtp : public ::testing::TestWithParam<ScriptedCase> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override {
        if (handle_ != nullptr) ZK_MailDisconnectSmtp(handle_);
        FinishLinePeer(peer_);
    }
    LinePeer peer_;
    MailHandle *handle_ = nullptr;
};

TEST_P(ScriptedSmtp, Transcript) {
    const ScriptedCase &c = GetParam();
    StartLinePeer(peer_, ZK_AF_INET, c.steps);
    handle_ = ZK_MailConnectSmtpA(Loopback(ZK_AF_INET), peer_.listener.port, ZK_AF_INET);
    ASSERT_NE(nullptr, handle_) << ZK_MailQueryLastErrorCode() << " " << LastReply();
    uint32_t start = Now();
    EXPECT_EQ(c.result, c.call(handle_));
    EXPECT_LT(Since(start), c.most_ms);
    EXPECT_EQ(c.code, ZK_MailQueryLastErrorCode());
    EXPECT_EQ(c.last_reply, LastReply());
    ZK_MailDisconnectSmtp(handle_);
    handle_ = nullptr;
    FinishLinePeer(peer_);
    EXPECT_EQ(c.commands, peer_.link.commands);
    EXPECT_EQ(Lines(), peer_.link.mismatches);
    EXPECT_FALSE(peer_.link.bare_line_end);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptedSmtp, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ScriptedCase> &info) { return info.param.label; });

// ---- Connecting ----

struct ConnectCase {
    const char *name;
    std::vector<LineStep> steps;
    bool connects;
    uint32_t code;
    std::string last_reply;
};

void PrintTo(const ConnectCase &c, std::ostream *os) { *os << c.name; }

const ConnectCase kConnectCases[] = {
    {"MultiLineGreeting", {{kNoLine, Reply({"220-a", "220-b", "220 c"})}}, true, 0, "220 c"},
    {"RefusalQuoting220", {{kNoLine, "554 5.7.1 192.0.2.220 has no 220 for you\r\n"}}, false, 3,
     "554 5.7.1 192.0.2.220 has no 220 for you"},
    {"Busy421", {{kNoLine, "421 4.3.2 zknet-test busy, try later\r\n"}}, false, 3, "421 4.3.2 zknet-test busy, try later"},
    {"NoGreetingAtAll", {{kNoLine, kCloseNow}}, false, 3, ""},
    {"EmptyGreetingLine", {{kNoLine, "\r\n"}}, false, 3, ""},
};

class ConnectSmtp : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectSmtp, Greeting) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    const ConnectCase &c = GetParam();
    for (uint16_t family : {ZK_AF_INET, ZK_AF_INET6}) {
        LinePeer peer;
        std::vector<LineStep> steps = c.steps;
        if (c.connects) steps.push_back({"QUIT", "221 bye\r\n"});
        StartLinePeer(peer, family, steps);
        ZK_MailClearLastErrorCode();
        MailHandle *h = family == ZK_AF_INET
                            ? ZK_MailConnectSmtpA(Loopback(family), peer.listener.port, family)
                            : ZK_MailConnectSmtpW(Wz(u"::1"), peer.listener.port, family);
        EXPECT_EQ(c.connects, h != nullptr);
        EXPECT_EQ(c.code, ZK_MailQueryLastErrorCode());
        EXPECT_EQ(c.last_reply, LastReply());
        if (h != nullptr) {
            ZK_MailDisconnectSmtp(h);
            EXPECT_EQ("221 bye", LastReply());
        }
        FinishLinePeer(peer);
        EXPECT_EQ(Lines(), peer.link.mismatches);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ConnectSmtp, ::testing::ValuesIn(kConnectCases),
                         [](const ::testing::TestParamInfo<ConnectCase> &info) { return info.param.name; });

TEST(ConnectSmtpFails, NoServerIsCode2AndAConnectClearsAnEarlierCode) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    Listener unused = ListenAnyPort(ZK_AF_INET);
    int port = unused.port;
    ZK_SocketClose(unused.handle);
    EXPECT_EQ(nullptr, ZK_MailConnectSmtpA("127.0.0.1", port, ZK_AF_INET));
    EXPECT_EQ(2u, ZK_MailQueryLastErrorCode());
    LinePeer peer;
    StartLinePeer(peer, ZK_AF_INET, std::vector<LineStep>{{kNoLine, "220 ok\r\n"}, {"QUIT", "221 bye\r\n"}});
    MailHandle *h = ZK_MailConnectSmtpA("127.0.0.1", peer.listener.port, ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(0u, ZK_MailQueryLastErrorCode());
    ZK_MailDisconnectSmtp(h);
    FinishLinePeer(peer);
}

// A greeting dripped a byte at a time gets one deadline as a whole, not one per line: the connect
// gives up after the reply's 8 s, however the server spreads its lines (this one would take 20 s).
TEST(ConnectSmtpFails, DrippedGreetingIsBoundedAsAWhole) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    std::string greeting;
    for (int i = 0; i < 20; ++i) greeting += "220-still greeting\r\n";
    greeting += "220 ready\r\n";
    LinePeer peer;
    StartLinePeer(peer, ZK_AF_INET, std::vector<LineStep>{{kNoLine, greeting, 0, 5000, 50}});
    uint32_t start = Now();
    MailHandle *h = ZK_MailConnectSmtpA("127.0.0.1", peer.listener.port, ZK_AF_INET);
    uint32_t spent = Since(start);
    EXPECT_EQ(nullptr, h);
    EXPECT_EQ(3u, ZK_MailQueryLastErrorCode());
    EXPECT_LT(spent, 15000u);
    if (h != nullptr) ZK_MailDisconnectSmtp(h);
    FinishLinePeer(peer);
}

// A server that says 354 and then reads nothing more cannot hold the send: it gives up once the
// connection has taken nothing for 8 s, with code 11, not when the server lets go (here after
// 60 s, unless the test releases it first).
TEST(ScriptedSmtpData, ServerThatStopsReadingCannotHoldTheSend) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    std::atomic<bool> released{false};
    LinePeer peer;
    StartLinePeer(peer, ZK_AF_INET, [&released](LinePeerLink &link) {
        RunSteps(link, {{kNoLine, kGreeting}, {"HELO me", "250 hi\r\n"}, {"MAIL FROM: <a@x>", "250 ok\r\n"},
                        {"RCPT TO: <b@y>", "250 ok\r\n"}, {"DATA", "354 go ahead\r\n"}});
        for (int i = 0; i < 1200 && !released; ++i) SleepMs(50);
    });
    MailHandle *h = ZK_MailConnectSmtpA("127.0.0.1", peer.listener.port, ZK_AF_INET);
    ASSERT_NE(nullptr, h);
    std::string body;
    const std::string line = std::string(78, 'x') + "\n";
    while (body.size() < 32 * 1024 * 1024) body += line;  // more than the connection holds unread
    uint32_t start = Now();
    EXPECT_EQ(0, ZK_MailSendA(h, "me", "<a@x>", "<b@y>", "s", body.c_str(), -1));
    uint32_t spent = Since(start);
    released = true;
    EXPECT_EQ(11u, ZK_MailQueryLastErrorCode());
    EXPECT_LT(spent, 45000u);  // bounded; formatting 32 MiB takes long under a sanitizer on a busy machine
    ZK_MailDisconnectSmtp(h);
    FinishLinePeer(peer);
}

}  // namespace
