// stored_message_test.cpp -- ZK_MailSendFromFileA/W against a scripted SMTP server: the envelope
// from the stored From and To, the header lines rebuilt, the body as stored; CR LF on the wire
// whatever line ends the file has, dot-stuffing, the end of the data, and the final reply (read to
// its last line) deciding the result. Table-driven: the file, the server's steps, the data block
// as it arrived (dot-stuffed) and the commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "mail/send/stored_message.h"
#include "send_support.h"
#include "support/line_peer.h"

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

const std::string kGreeting = "220 scripted peer ready\r\n";

std::vector<LineStep> Transaction(const std::string &from, const std::string &to, const std::string &final_reply) {
    return {{kNoLine, kGreeting},
            {"HELO me", "250 hello\r\n"},
            {"MAIL FROM: " + from, "250 ok\r\n"},
            {"RCPT TO: " + to, "250 ok\r\n"},
            {"DATA", "354 go ahead\r\n"},
            {kData, final_reply},
            {"QUIT", "221 bye\r\n"}};
}

const Lines kEnvelope = {"HELO me", "MAIL FROM: a@x", "RCPT TO: b@y", "DATA", "QUIT"};

struct StoredCase {
    const char *name;
    std::string file;
    std::string data;  // the data block as it arrived, without the end mark (empty: none)
    std::string final_reply = "250 queued\r\n";
    int result = 1;
    uint32_t code = 0;
    std::vector<LineStep> steps = {};  // empty: a whole transaction that ends in the final reply
    Lines commands = kEnvelope;
    std::string last_reply = "";  // empty: the final reply's last line
};

void PrintTo(const StoredCase &c, std::ostream *os) { *os << c.name; }

// The last line of a reply, without its CR LF.
std::string LastLine(const std::string &reply) {
    std::string lines = reply.substr(0, reply.size() - 2);
    return lines.substr(lines.rfind('\n') + 1);  // npos + 1 is 0
}

const std::string kHead = "From: A <a@x>\r\nTo: B <b@y>\r\n";

const StoredCase kCases[] = {
    {"BareLineFeedsGoOutAsCrLf",
     "From: A <a@x>\nTo: B <b@y>\nSubject: hi\nContent-Transfer-Encoding: 7bit\n\nline\n.dot\n",
     kHead + "Subject: hi\r\nDate: \r\nContent-Transfer-Encoding: 7bit\r\n\r\nline\r\n..dot\r\n"},
    {"CrLfFileWithEveryRebuiltField",
     "Received: from somewhere\r\nFrom: A <a@x>\r\nTo: B <b@y>\r\nCc: c@z\r\nSubject: all\r\n"
     "Date: Tue, 15 Nov 1994 08:12:31 +0900\r\nMessage-ID: <1@x>\r\nMIME-Version: 1.0\r\n"
     "Content-Type: text/plain;\r\n\tcharset=\"iso-2022-jp\"\r\nContent-Transfer-Encoding: 7bit\r\nX-Priority: 3\r\n"
     "X-MSMail-Priority: Normal\r\nImportance: Normal\r\nX-Unsent: 1\r\nX-MimeOLE: Produced\r\nX-Mailer: other\r\n"
     "\r\nbody\r\n",
     kHead + "Subject: all\r\nDate: Tue, 15 Nov 1994 08:12:31 +0900\r\nMIME-Version: 1.0\r\n"
             "Content-Type: text/plain;\r\n\tcharset=\"iso-2022-jp\"\r\nContent-Transfer-Encoding: 7bit\r\nX-Priority: 3\r\n"
             "X-MSMail-Priority: Normal\r\nImportance: Normal\r\nX-Unsent: 1\r\nX-MimeOLE: Produced\r\n\r\nbody\r\n"},
    // The body is sent as stored (ISO-2022-JP here, as its Content-Type says), the subject in its
    // own encoded words.
    {"JapaneseBodyStaysAsStored",
     "From: A <a@x>\nTo: B <b@y>\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\n"
     "Content-Type: text/plain; charset=ISO-2022-JP\nContent-Transfer-Encoding: 7bit\n\n\x1b$BF|K\\8l\x1b(B\n",
     kHead + "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\nDate: \r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"
             "Content-Transfer-Encoding: 7bit\r\n\r\n\x1b$BF|K\\8l\x1b(B\r\n"},
    // A field goes whole, its folding kept; repeated, it goes as one field.
    {"RepeatedFieldsAreOneField",
     "From: A <a@x>\r\nTo: B <b@y>\r\nSubject: one\r\nSubject: two\r\n\tthree\r\nContent-Transfer-Encoding: 7bit\r\n\r\nb\r\n",
     kHead + "Subject: one\r\n two\r\n\tthree\r\nDate: \r\nContent-Transfer-Encoding: 7bit\r\n\r\nb\r\n"},
    // Encoded words go on as stored, UTF-8 ones and folded ones included; a value on the line after
    // its name, or right after the colon, moves to the field's own line.
    {"StoredEncodedWordsGoAsTheyStand",
     "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <a@x>\nTo: B <b@y>\nSubject:\n =?UTF-8?B?5Lu25ZCNIMOp8J+YgA==?=\n"
     "\t=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\nDate:Tue, 15 Nov 1994 08:12:31 +0900\n\n",
     "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <a@x>\r\nTo: B <b@y>\r\nSubject: =?UTF-8?B?5Lu25ZCNIMOp8J+YgA==?=\r\n"
     "\t=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\nDate: Tue, 15 Nov 1994 08:12:31 +0900\r\n"},
    // A mailer that wrote Shift_JIS straight into the header: encoded again, never sent raw.
    {"RawEightBitFieldsAreEncodedAgain",
     "From: \x8eR\x93" "c <a@x>\nTo: B <b@y>\nSubject: \x93\xfa\x96{\x8c\xea\n\n",
     "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <a@x>\r\nTo: B <b@y>\r\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n"
     "Date: \r\n"},
    // A last line without its line break gets one; a space after the last break is dropped.
    {"LastLineWithoutBreak", "From: A <a@x>\nTo: B <b@y>\nContent-Transfer-Encoding: 7bit\n\nend",
     kHead + "Subject: \r\nDate: \r\nContent-Transfer-Encoding: 7bit\r\n\r\nend\r\n"},
    {"SpaceAfterTheLastBreak", "From: A <a@x>\rTo: B <b@y>\rContent-Transfer-Encoding: 7bit\r\rend\n ",
     kHead + "Subject: \r\nDate: \r\nContent-Transfer-Encoding: 7bit\r\n\r\nend\r\n"},
    // Not 7bit: the rebuilt header lines alone.
    {"Base64BodyIsNotSent",
     "From: A <a@x>\nTo: B <b@y>\nContent-Transfer-Encoding: base64\n\naGVsbG8=\n",
     kHead + "Subject: \r\nDate: \r\nContent-Transfer-Encoding: base64\r\n"},
    {"HeaderOnlyFile", "From: A <a@x>\nTo: B <b@y>\nContent-Transfer-Encoding: 7bit\n",
     kHead + "Subject: \r\nDate: \r\nContent-Transfer-Encoding: 7bit\r\n"},
    {"RefusalThatSays250Inside", "From: A <a@x>\nTo: B <b@y>\n\n",
     kHead + "Subject: \r\nDate: \r\n", "550-250 was said here\r\n550 but this is a refusal\r\n", 0, 11},
    // No angle brackets: the command goes out without an address and the server refuses it.
    {"FromWithoutBrackets", "From: a@x\nTo: B <b@y>\n\nbody\n", "", "", 0, 9,
     {{kNoLine, kGreeting}, {"HELO me", "250 hi\r\n"}, {"MAIL FROM:", "501 syntax\r\n"}, {"QUIT", "221 bye\r\n"}},
     {"HELO me", "MAIL FROM:", "QUIT"}, "501 syntax"},
    {"NoToHeader", "From: A <a@x>\n\nbody\n", "", "", 0, 0, {{kNoLine, kGreeting}, {"QUIT", "221 bye\r\n"}}, {"QUIT"},
     "220 scripted peer ready"},
    // The lookup sees the lines of a bare-LF file: From and To are found after a long first line.
    {"BareLfFileWithLongLines",
     "X-Long: " + std::string(3000, 'x') + "\nFrom: A <a@x>\nTo: B <b@y>\nContent-Transfer-Encoding: 7bit\n\n" +
         std::string(5000, 'y') + "\n",
     kHead + "Subject: \r\nDate: \r\nContent-Transfer-Encoding: 7bit\r\n\r\n" + std::string(5000, 'y') + "\r\n"},
};

fs::path FileFolder() {
    fs::path folder = MailWork("stored-files");
    fs::create_directories(folder);
    return folder;
}

fs::path WriteStored(const fs::path &name, const std::string &bytes) {
    fs::path path = FileFolder() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return path;
}

class StoredSend : public ::testing::TestWithParam<StoredCase> {
  protected:
    void SetUp() override {
        if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    }
    void TearDown() override { FinishLinePeer(peer_); }
    LinePeer peer_;
};

TEST_P(StoredSend, Transcript) {
    const StoredCase &c = GetParam();
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "W" : "A");
        // The W form reads a file of a Japanese name (保存-...).
        fs::path path = WriteStored(wide ? fs::path(u"\u4FDD\u5B58-" + Utf16(c.name) + u".eml")
                                         : fs::path(std::string(c.name) + ".eml"),
                                    c.file);
        StartLinePeer(peer_, ZK_AF_INET, c.steps.empty() ? Transaction("a@x", "b@y", c.final_reply) : c.steps);
        MailHandle *h = ZK_MailConnectSmtpA(Loopback(ZK_AF_INET), peer_.listener.port, ZK_AF_INET);
        ASSERT_NE(nullptr, h) << ZK_MailQueryLastErrorCode();
        EXPECT_EQ(c.result, wide ? ZK_MailSendFromFileW(h, Wz(u"me"), Wz(path.u16string()))
                                 : ZK_MailSendFromFileA(h, "me", path.string().c_str()));
        EXPECT_EQ(c.code, ZK_MailQueryLastErrorCode());
        EXPECT_EQ(c.last_reply.empty() ? LastLine(c.final_reply) : c.last_reply, LastReply());
        ZK_MailDisconnectSmtp(h);
        FinishLinePeer(peer_);
        EXPECT_EQ(c.commands, peer_.link.commands);
        EXPECT_EQ(Lines(), peer_.link.mismatches);
        EXPECT_FALSE(peer_.link.bare_line_end);
        if (!c.data.empty()) {
            ASSERT_EQ(1u, peer_.link.messages.size());
            EXPECT_EQ(c.data, peer_.link.messages[0]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredSend, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<StoredCase> &info) { return info.param.name; });

// Files that cannot be sent: nothing goes to the server and the code stays.
TEST(StoredSendFiles, MissingEmptyAndFolder) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh";
    LinePeer peer;
    StartLinePeer(peer, ZK_AF_INET6, std::vector<LineStep>{{kNoLine, kGreeting}, {"QUIT", "221 bye\r\n"}});
    MailHandle *h = ZK_MailConnectSmtpW(Wz(u"::1"), peer.listener.port, ZK_AF_INET6);
    ASSERT_NE(nullptr, h);
    MailLastError = 7;
    const std::string empty = WriteStored("empty.eml", "").string();
    EXPECT_EQ(0, ZK_MailSendFromFileA(h, "me", (FileFolder() / "missing.eml").string().c_str()));
    EXPECT_EQ(0, ZK_MailSendFromFileA(h, "me", empty.c_str()));
    EXPECT_EQ(0, ZK_MailSendFromFileA(h, "me", FileFolder().string().c_str()));
    EXPECT_EQ(0, ZK_MailSendFromFileW(h, Wz(u"me"), Wz(u"")));
    EXPECT_EQ(0, ZK_MailSendFromFileA(h, "me", nullptr));
    EXPECT_EQ(0, ZK_MailSendFromFileW(h, nullptr, nullptr));
    EXPECT_EQ(7u, ZK_MailQueryLastErrorCode());
    ZK_MailDisconnectSmtp(h);
    FinishLinePeer(peer);
    EXPECT_EQ(Lines{"QUIT"}, peer.link.commands);
}

TEST(StoredMessageText, LineEndsAndTheLastSpace) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"a\nb\rc\r\nd", "a\r\nb\r\nc\r\nd"},
        {"a\n ", "a\r\n"},
        {"a \n  ", "a \r\n  "},  // the space follows a space, not a line break
        {"\r\r\n\n", "\r\n\r\n\r\n"},
        {std::string("x\0y", 3), "x"},
        {"", ""},
    };
    for (const auto &c : cases) EXPECT_EQ(c.text, StoredMessageText(c.bytes.data(), c.bytes.size())) << c.bytes;
}

}  // namespace
