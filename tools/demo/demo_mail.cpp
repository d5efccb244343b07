// demo_mail.cpp -- the ZK_Mail family's sending side in the demonstration program: a Japanese
// message, folded, through an SMTP server (the local Postfix of tests/mail), and one that shows
// what the server's refusal looks like to the caller.
// Usage: zkdemo mail [host [port [4|6 [to]]]]
//        defaults: zknet-test 2525 4 <zkmail@zknet-test> (the Postfix of tests/mail)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo.h"
#include "zknet/zknet.h"

namespace {

// UTF-16 of a UTF-8 literal (the demonstration's texts are Japanese).
std::u16string Wide(const char *utf8) {
    std::u16string out;
    const auto *s = reinterpret_cast<const unsigned char *>(utf8);
    while (*s != 0) {
        uint32_t c = *s++;
        int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
        for (; more > 0 && *s != 0; --more) c = (c << 6) | (*s++ & 0x3F);
        out.push_back(static_cast<char16_t>(c));
    }
    return out;
}

const zk_wchar_t *Z(const std::u16string &text) { return reinterpret_cast<const zk_wchar_t *>(text.c_str()); }

void ShowReply() {
    char reply[ZK_MAIL_RESPONSE_SIZE];
    ZK_MailQueryLastResponseMessageA(reply, sizeof(reply));
    std::printf("  server: %s\n", reply);
}

}  // namespace

int DemoMail(int argc, char **argv) {
    const char *host = argc > 0 ? argv[0] : "zknet-test";
    int port = argc > 1 ? std::atoi(argv[1]) : 2525;
    uint16_t family = argc > 2 && std::strcmp(argv[2], "6") == 0 ? ZK_AF_INET6 : ZK_AF_INET;
    std::u16string to = Wide(argc > 3 ? argv[3] : "<zkmail@zknet-test>");

    std::printf("connect to %s port %d over IPv%d\n", host, port, family == ZK_AF_INET6 ? 6 : 4);
    MailHandle *mail = ZK_MailConnectSmtpW(Z(Wide(host)), port, family);
    if (mail == nullptr) {
        std::printf("  failed: code %u\n", ZK_MailQueryLastErrorCode());
        ShowReply();
        return 1;
    }
    ShowReply();
    ZK_MailSetXMailerA(mail, "zkdemo");

    std::u16string subject = Wide("zknet のお知らせ ① 髙橋さんへ");
    std::u16string body = Wide(
        "\nこんにちは。これは zknet の送信機能の見本です。本文は ISO-2022-JP に変換され、"
        "四十バイトごとに折り返されます。\n.で始まる行も、そのまま届きます。\n以上。\n");
    std::printf("send a Japanese message (folded at 40 bytes) to %s\n", "the test user");
    int sent = ZK_MailSendW(mail, Z(Wide("zknet-test")), Z(Wide("<zkdemo@zknet-test>")), Z(to), Z(subject), Z(body), 40);
    std::printf("  %s (code %u)\n", sent ? "sent" : "NOT sent", ZK_MailQueryLastErrorCode());
    ShowReply();

    std::printf("send to a recipient the server does not know\n");
    int refused = ZK_MailSendA(mail, "zknet-test", "<zkdemo@zknet-test>", "<nobody-here@zknet-test>", "refused",
                               "\nnot delivered", -1);
    std::printf("  %s (code %u: the RCPT TO step)\n", refused ? "sent?" : "refused", ZK_MailQueryLastErrorCode());
    ShowReply();

    ZK_MailDisconnectSmtp(mail);
    std::printf("disconnected\n");
    ShowReply();
    return sent == 1 && refused == 0 ? 0 : 1;
}
