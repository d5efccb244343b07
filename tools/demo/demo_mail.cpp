// demo_mail.cpp -- the ZK_Mail family in the demonstration program: a Japanese message, folded,
// through an SMTP server (the local Postfix of tests/mail), one that shows what the server's
// refusal looks like to the caller, then the mailbox it was delivered to listed over POP3 (the
// local dovecot) with the Japanese subjects decoded, and the message read back.
// Usage: zkdemo mail [host [port [4|6 [to [pop3-port [user [password]]]]]]]
//        defaults: zknet-test 2525 4 <zkmail@zknet-test> 2110 zkmail zkmail-pass (tests/mail)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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

// UTF-8 of UTF-16 text, for the terminal.
std::string Utf8(const zk_wchar_t *text) {
    std::string out;
    for (size_t i = 0; text[i] != 0; ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] != 0) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[++i]) - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void ShowReply() {
    char reply[ZK_MAIL_RESPONSE_SIZE];
    ZK_MailQueryLastResponseMessageA(reply, sizeof(reply));
    std::printf("  server: %s\n", reply);
}

// The mailbox over POP3: listed with the header fetch until the message just sent has arrived
// (Postfix delivers in the background), then that message read back and taken apart.
int ReadMailbox(const char *host, int port, uint16_t family, const std::u16string &user,
                const std::u16string &password, const std::u16string &subject) {
    std::printf("list the mailbox over POP3 at %s port %d\n", host, port);
    MailHandle *pop3 = ZK_MailConnectPop3W(Z(Wide(host)), Z(user), Z(password), port, family);
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
            pop3 = ZK_MailConnectPop3W(Z(Wide(host)), Z(user), Z(password), port, family);
            if (pop3 == nullptr) break;
        }
        if (ZK_MailBoxW(pop3, &list, 1) != 1) break;
        const auto *entries = static_cast<const MailListEntryW *>(list.entries);
        for (int32_t i = 0; i < list.count; ++i) {
            if (std::u16string(reinterpret_cast<const char16_t *>(entries[i].subject)) == subject &&
                Utf8(entries[i].from).find("zkdemo@") != std::string::npos) {
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
                    Utf8(entries[i].from).c_str(), Utf8(entries[i].subject).c_str());
    }
    ZK_MailListFreeW(&list);

    std::printf("read message %d back\n", static_cast<int>(number));
    char *text = ZK_MailRecv(pop3, number);
    int rc = 1;
    if (text != nullptr) {
        std::vector<zk_wchar_t> wide(8192);
        MailDate date{};
        ZK_MailGetFromW(text, wide.data(), 8192);
        std::printf("  From:    %s\n", Utf8(wide.data()).c_str());
        ZK_MailGetSubjectW(text, wide.data(), 8192);
        std::printf("  Subject: %s\n", Utf8(wide.data()).c_str());
        if (ZK_MailGetHeaderTagW(text, Z(Wide("Date:")), wide.data(), 8192) > 0) {
            // The fields are read at fixed places: a day written with two blanks before it (as
            // Postfix writes the days 1 to 9) shifts them, which the numbers then show.
            ZK_MailGetDate(text, &date);
            std::printf("  Date:    %s  (ZK_MailGetDate: year %u, month %u, day %u, %02u:%02u:%02u)\n",
                        Utf8(wide.data()).c_str(), date.year, date.month, date.day, date.hour, date.minute, date.second);
        }
        if (ZK_MailGetBodyW(text, wide.data(), 8192) > 0) {
            std::string body = Utf8(wide.data());
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
    if (sent != 1 || refused != 0) return 1;

    int pop3_port = argc > 4 ? std::atoi(argv[4]) : 2110;
    std::u16string user = Wide(argc > 5 ? argv[5] : "zkmail"), password = Wide(argc > 6 ? argv[6] : "zkmail-pass");
    return ReadMailbox(host, pop3_port, family, user, password, subject);
}
