// trace_test.cpp -- the protocol trace of mail sessions: SMTP AUTH shows its mechanism and nothing
// of the credentials (PLAIN's initial response, LOGIN's answers), a message only as its byte
// count; POP3's PASS masked, a retrieved message only as its byte count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pop3_support.h"
#include "send_support.h"
#include "support/trace_capture.h"

namespace {

TEST(MailTrace, CredentialsMaskedMessagesCounted) {
    if (!InPrivateNetwork()) GTEST_SKIP() << "needs tools/netns.sh and the mail-peers fixture";
    FillPop3Box("pop/zkpop", {"Subject: traced\n\nbody\n"});
    std::string path = StartTrace("mail");
    std::string ca = MailWork("certs/ca.pem");
    MailHandle *smtp = ZK_MailConnectSmtpSecureA(kTestHost, 2570, ZK_AF_INET, ZK_SECURE_EXPLICIT, ca.c_str(),
                                                 "client.zknet-test", "zkmail", "zkmail-pass");
    ASSERT_NE(nullptr, smtp) << LastReply();
    EXPECT_EQ(1, ZK_MailSendA(smtp, nullptr, "<a@zknet-test>", "<b@zknet-test>", "s", "\nsecret body", -1));
    ZK_MailDisconnectSmtp(smtp);
    MailHandle *login = ZK_MailConnectSmtpSecureA(kTestHost, 2564, ZK_AF_INET,
                                                  ZK_SECURE_NONE | ZK_SECURE_ALLOW_PLAIN_AUTH, nullptr,
                                                  "client.zknet-test", "zkmail", "zkmail-pass");
    ASSERT_NE(nullptr, login) << LastReply();
    ZK_MailDisconnectSmtp(login);
    MailHandle *pop3 = ZK_MailConnectPop3A(kTestHost, kPop3User, kPop3Password, kPop3Port, ZK_AF_INET);
    ASSERT_NE(nullptr, pop3);
    EXPECT_EQ(CrLf("Subject: traced\n\nbody\n"), TakeMessage(ZK_MailRecv(pop3, 1)));
    ZK_MailDisconnectPop3(pop3);
    ExpectTrace(path,
                {
                    "SMTP #[0-9]+ \\* connected to [^ ]+ port 2570",
                    "SMTP #[0-9]+ > EHLO client\\.zknet-test",
                    "SMTP #[0-9]+ < 250-STARTTLS|SMTP #[0-9]+ < 250 STARTTLS",
                    "SMTP #[0-9]+ \\* TLS TLSv1\\.[23], .*",
                    "SMTP #[0-9]+ > AUTH PLAIN \\*\\*\\*\\*",
                    "SMTP #[0-9]+ < 235 .*",
                    "SMTP #[0-9]+ \\* message data: [1-9][0-9]* bytes",
                    "SMTP #[0-9]+ > AUTH LOGIN",
                    "SMTP #[0-9]+ > \\*\\*\\*\\*",
                    "POP3 #[0-9]+ > USER zkpop",
                    "POP3 #[0-9]+ > PASS \\*\\*\\*\\*",
                    "POP3 #[0-9]+ > RETR 1",
                    "POP3 #[0-9]+ \\* message data: 25 bytes",
                },
                {"zkmail-pass", "AHprbWFp", "emttYWlsLXBhc3M", "secret body", "zkpop-pass"});
}

}  // namespace
