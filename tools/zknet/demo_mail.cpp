// demo_mail.cpp -- the ZK_Mail family in the demonstration program: a Japanese message, folded,
// through an SMTP server (the local Postfix of tests/mail), one that shows what the server's
// refusal looks like to the caller, then the mailbox it was delivered to listed over POP3 (the
// local dovecot) with the Japanese subjects decoded, and the message read back. `mails` does the
// same as a provider's user would: through the submission port with STARTTLS and a login, and
// back over POP3S.
// Usage: zknet demo mail [host [port [4|6 [to [pop3-port [user [password]]]]]]]
//        defaults: zknet-test 2525 4 <zkmail@zknet-test> 2110 zkmail zkmail-pass (tests/mail)
//        zknet demo mails [host [submission-port [pop3s-port [user [password [ca-file]]]]]]
//        defaults: zknet-test 2587 2995 zkmail zkmail-pass $ZK_DEMO_MAIL_CA
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "demo.h"
#include "local_text.h"
#include "zknet/zknet.h"

namespace {

// The demonstration's texts are written here in UTF-8; what it prints goes out in the local form.
WideText Wide(const char *utf8) { return Utf8ToWide(utf8); }
const zk_wchar_t *Z(const WideText &text) { return text.c_str(); }
std::string Local(const zk_wchar_t *text) { return WideForOutput(text, "the demonstration"); }

void ShowReply() {
    char reply[ZK_MAIL_RESPONSE_SIZE];
    ZK_MailQueryLastResponseMessageA(reply, sizeof(reply));
    std::printf("  server: %s\n", reply);
}

// A POP3 server and how to reach it.
struct Pop3Target {
    const char *host;
    int port;
    uint16_t family;
    WideText user, password;
    uint32_t security;
    WideText ca_file;
};

MailHandle *OpenPop3(const Pop3Target &t) {
    return ZK_MailConnectPop3SecureW(Z(Wide(t.host)), Z(t.user), Z(t.password), t.port, t.family, t.security,
                                     t.ca_file.empty() ? nullptr : Z(t.ca_file));
}

// The mailbox over POP3: listed with the header fetch until the message just sent has arrived
// (Postfix delivers in the background), then that message read back and taken apart.
int ReadMailbox(const Pop3Target &target, const WideText &subject) {
    std::printf("list the mailbox over %s at %s port %d\n", target.security == ZK_SECURE_NONE ? "POP3" : "POP3S",
                target.host, target.port);
    MailHandle *pop3 = OpenPop3(target);
    if (pop3 == nullptr) {
        std::printf("  failed: code %u\n", ZK_MailQueryLastErrorCode());
        ShowReply();
        return 1;
    }
    ShowReply();
    MailList list{0, nullptr};
    int32_t number = 0;
    // The session sees the mailbox as it was at login: look again in a new one while waiting.
    for (int round = 0; number == 0 && round < 40; ++round) {
        if (round > 0) {
            ZK_MailDisconnectPop3(pop3);
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            pop3 = OpenPop3(target);
            if (pop3 == nullptr) break;
        }
        if (ZK_MailBoxW(pop3, &list, 1) != 1) break;
        const auto *entries = static_cast<const MailListEntryW *>(list.entries);
        for (int32_t i = 0; i < list.count; ++i) {
            if (WideText(entries[i].subject) == subject &&
                Local(entries[i].from).find("demo@") != std::string::npos) {
                number = entries[i].number;
            }
        }
        if (number == 0) ZK_MailListFreeW(&list);
    }
    if (pop3 == nullptr || number == 0) {
        std::printf("  the message did not arrive (code %u)\n", ZK_MailQueryLastErrorCode());
        ShowReply();
        if (pop3 != nullptr) ZK_MailDisconnectPop3(pop3);
        return 1;
    }
    const auto *entries = static_cast<const MailListEntryW *>(list.entries);
    std::printf("  %d message(s):\n", static_cast<int>(list.count));
    for (int32_t i = 0; i < list.count; ++i) {
        std::printf("  %3d %7d bytes  %-34s %s\n", static_cast<int>(entries[i].number), static_cast<int>(entries[i].size),
                    Local(entries[i].from).c_str(), Local(entries[i].subject).c_str());
    }
    ZK_MailListFreeW(&list);

    std::printf("read message %d back\n", static_cast<int>(number));
    char *text = ZK_MailRecv(pop3, number);
    int rc = 1;
    if (text != nullptr) {
        std::vector<zk_wchar_t> wide(8192);
        MailDate date{};
        ZK_MailGetFromW(text, wide.data(), 8192);
        std::printf("  From:    %s\n", Local(wide.data()).c_str());
        ZK_MailGetSubjectW(text, wide.data(), 8192);
        std::printf("  Subject: %s\n", Local(wide.data()).c_str());
        if (ZK_MailGetHeaderTagW(text, Z(Wide("Date:")), wide.data(), 8192) > 0) {
            // Read as mailers write it: Postfix pads the days 1 to 9 with a blank.
            ZK_MailGetDate(text, &date);
            std::printf("  Date:    %s  (ZK_MailGetDate: year %u, month %u, day %u, %02u:%02u:%02u)\n",
                        Local(wide.data()).c_str(), date.year, date.month, date.day, date.hour, date.minute, date.second);
        }
        if (ZK_MailGetBodyW(text, wide.data(), 8192) > 0) {
            std::string body = Local(wide.data());
            std::printf("  Body:\n");
            for (size_t start = 0; start < body.size();) {
                size_t end = body.find("\r\n", start);
                if (end == std::string::npos) end = body.size();
                if (start > 0 || end > start) std::printf("  | %s\n", body.substr(start, end - start).c_str());
                start = end + 2;
            }
            rc = 0;
        }
        ZK_MailRecvFree(text);
    } else {
        ShowReply();
    }
    ZK_MailDisconnectPop3(pop3);
    return rc;
}

}  // namespace

int DemoMail(int argc, char **argv) {
    const char *host = argc > 0 ? argv[0] : "zknet-test";
    int port = argc > 1 ? std::atoi(argv[1]) : 2525;
    uint16_t family = argc > 2 && std::strcmp(argv[2], "6") == 0 ? ZK_AF_INET6 : ZK_AF_INET;
    WideText to = Wide(argc > 3 ? argv[3] : "<zkmail@zknet-test>");

    std::printf("connect to %s port %d over IPv%d\n", host, port, family == ZK_AF_INET6 ? 6 : 4);
    MailHandle *mail = ZK_MailConnectSmtpW(Z(Wide(host)), port, family);
    if (mail == nullptr) {
        std::printf("  failed: code %u\n", ZK_MailQueryLastErrorCode());
        ShowReply();
        return 1;
    }
    ShowReply();
    ZK_MailSetXMailerA(mail, "zknet demo");

    WideText subject = Wide("zknet のお知らせ ① 髙橋さんへ");
    WideText body = Wide(
        "\nこんにちは。これは zknet の送信機能の見本です。本文は ISO-2022-JP に変換され、"
        "四十バイトごとに折り返されます。\n.で始まる行も、そのまま届きます。\n以上。\n");
    std::printf("send a Japanese message (folded at 40 bytes) to %s\n", "the test user");
    int sent = ZK_MailSendW(mail, Z(Wide("zknet-test")), Z(Wide("<demo@zknet-test>")), Z(to), Z(subject), Z(body), 40);
    std::printf("  %s (code %u)\n", sent ? "sent" : "NOT sent", ZK_MailQueryLastErrorCode());
    ShowReply();

    std::printf("send to a recipient the server does not know\n");
    int refused = ZK_MailSendA(mail, "zknet-test", "<demo@zknet-test>", "<nobody-here@zknet-test>", "refused",
                               "\nnot delivered", -1);
    std::printf("  %s (code %u: the RCPT TO step)\n", refused ? "sent?" : "refused", ZK_MailQueryLastErrorCode());
    ShowReply();

    ZK_MailDisconnectSmtp(mail);
    std::printf("disconnected\n");
    ShowReply();
    if (sent != 1 || refused != 0) return 1;

    int pop3_port = argc > 4 ? std::atoi(argv[4]) : 2110;
    Pop3Target target{host, pop3_port, family, Wide(argc > 5 ? argv[5] : "zkmail"),
                      Wide(argc > 6 ? argv[6] : "zkmail-pass"), ZK_SECURE_NONE, WideText()};
    return ReadMailbox(target, subject);
}

int DemoMails(int argc, char **argv) {
    const char *host = argc > 0 ? argv[0] : "zknet-test";
    int port = argc > 1 ? std::atoi(argv[1]) : 2587;
    const char *ca = argc > 5 ? argv[5] : std::getenv("ZK_DEMO_MAIL_CA");
    Pop3Target target{host, argc > 2 ? std::atoi(argv[2]) : 2995, ZK_AF_INET, Wide(argc > 3 ? argv[3] : "zkmail"),
                      Wide(argc > 4 ? argv[4] : "zkmail-pass"), ZK_SECURE_IMPLICIT, Wide(ca != nullptr ? ca : "")};
    std::printf("connect to the submission port %s:%d: STARTTLS, then log in as %s\n", host, port,
                Local(Z(target.user)).c_str());
    MailHandle *mail = ZK_MailConnectSmtpSecureW(Z(Wide(host)), port, ZK_AF_INET, ZK_SECURE_EXPLICIT,
                                                 target.ca_file.empty() ? nullptr : Z(target.ca_file),
                                                 Z(Wide("zknet-test")), Z(target.user), Z(target.password));
    if (mail == nullptr) {
        std::printf("  failed: code %u\n", ZK_MailQueryLastErrorCode());
        ShowReply();
        return 1;
    }
    ShowReply();
    WideText subject = Wide("TLS で届いたお知らせ");
    std::printf("send a message as the logged-in user\n");
    int sent = ZK_MailSendW(mail, nullptr, Z(Wide("<demo@zknet-test>")), Z(Wide("<zkmail@zknet-test>")), Z(subject),
                            Z(Wide("\n提出ポートから STARTTLS と認証を経て送りました。\n")), -1);
    std::printf("  %s (code %u)\n", sent ? "sent" : "NOT sent", ZK_MailQueryLastErrorCode());
    ShowReply();
    ZK_MailDisconnectSmtp(mail);
    if (sent != 1) return 1;

    std::printf("a wrong password\n");
    MailHandle *refused = ZK_MailConnectSmtpSecureW(Z(Wide(host)), port, ZK_AF_INET, ZK_SECURE_EXPLICIT,
                                                    target.ca_file.empty() ? nullptr : Z(target.ca_file),
                                                    Z(Wide("zknet-test")), Z(target.user), Z(Wide("wrong")));
    std::printf("  %s (code %u: authentication failed)\n", refused ? "logged in?" : "refused",
                ZK_MailQueryLastErrorCode());
    ShowReply();
    if (refused != nullptr) {
        ZK_MailDisconnectSmtp(refused);
        return 1;
    }
    return ReadMailbox(target, subject);
}
