/* c_caller.c -- a plain C99 caller of the built library: the headers compile as C, the names link
   (on Windows through the import library's decorated stdcall names) and the calls behave. */
#include <stdio.h>
#include <string.h>

#include "zknet/zknet.h"

static int failures = 0;

static void check(int ok, const char *what)
{
    if (!ok) {
        printf("FAILED: %s\n", what);
        ++failures;
    }
}

int main(void)
{
    MStringList list;
    zk_wchar_t wide_host[] = {'1', '2', '7', '.', '0', '.', '0', '.', '1', 0};

    check(ZK_SocketInit() == 0, "ZK_SocketInit");
    check(ZK_SocketEditMStringA("one\r\ntwo\r\n", &list) == 1 && list.count == 2, "ZK_SocketEditMStringA");
    check(strcmp((const char *)list.items[1], "two") == 0, "second item");
    ZK_SocketDeleteMStringW(&list); /* the same entry under its other name */
    check(ZK_SocketOpenClientW(3, wide_host, 21, ZK_AF_INET) == NULL && ZK_SocketGetLastError() == 10022,
          "kind 3 is refused with WSAEINVAL");
    ZK_MailRecvFree(NULL);
    {
        const char *message = "Subject: hello\r\nDate: Tue, 15 Nov 1994 08:12:31 +0900\r\n"
                              "Content-Transfer-Encoding: 7bit\r\n\r\nbody\r\n";
        char subject[32];
        char body[32];
        MailDate date;
        check(ZK_MailGetSubjectA(message, subject, (int32_t)sizeof(subject)) == 5 && strcmp(subject, "hello") == 0,
              "ZK_MailGetSubjectA");
        check(ZK_MailGetDate(message, &date) == 31 && date.year == 1994 && date.month == 11 && date.second == 31,
              "ZK_MailGetDate");
        check(ZK_MailGetBodyA(message, body, (int32_t)sizeof(body)) == 8 && strcmp(body, "\r\nbody\r\n") == 0,
              "ZK_MailGetBodyA");
    }
    {
        char text[32] = "abcdefgh";
        char reply[8];
        check(ZK_MailSendA(NULL, "h", "f", "t", "s", "b", -1) == 0 && ZK_MailQueryLastErrorCode() == 1,
              "ZK_MailSendA without a session: code 1");
        ZK_MailClearLastErrorCode();
        check(ZK_MailQueryLastErrorCode() == 0, "ZK_MailClearLastErrorCode");
        check(ZK_MailJustifiedText(text, sizeof text, 3) == 1 && strcmp(text, "abc\r\ndef\r\ngh") == 0,
              "ZK_MailJustifiedText");
        check(ZK_MailQueryLastResponseMessageA(reply, sizeof reply) == 0 && reply[0] == 0,
              "ZK_MailQueryLastResponseMessageA before any reply");
    }
    {
        MailList box = {5, NULL};
        check(ZK_MailBoxW(NULL, &box, 1) == 0 && ZK_MailQueryLastErrorCode() == 1, "ZK_MailBoxW without a session: code 1");
        check(box.count == 5, "a listing without a session leaves the list alone");
        ZK_MailListFreeW(&box);
        check(box.count == 0 && box.entries == NULL, "ZK_MailListFreeW empties the list");
        check(ZK_MailRecv(NULL, 1) == NULL && ZK_MailDelete(NULL, 1) == 0, "ZK_MailRecv and ZK_MailDelete without a session");
        check(ZK_MailRecvToFileA(NULL, 1, ".", "m") == 0 && ZK_MailSendFromFileA(NULL, "h", "m.eml") == 0,
              "ZK_MailRecvToFileA and ZK_MailSendFromFileA without a session");
        ZK_MailDisconnectPop3(NULL);
        check(ZK_MailQueryLastErrorCode() == 1, "ZK_MailDisconnectPop3 without a session: code 1");
    }
    ZK_SocketDeleteString(NULL);
    check(ZK_SocketTerm() == 0, "ZK_SocketTerm");
    printf("%s\n", failures == 0 ? "c caller: all checks passed" : "c caller: checks failed");
    return failures == 0 ? 0 : 1;
}
