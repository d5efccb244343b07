/* record_layout.c -- the records that cross the interface, checked when a C caller compiles:
   callers in other languages lay them out by hand, so a size or an offset must never drift.
   Fixed-width fields stay where they are on every build; a pointer takes 4 bytes on 32-bit
   Windows and 8 (naturally aligned) on 64-bit Windows and Linux. */
#include <stddef.h>

#include "zknet/zknet.h"

#define ZK_CHECK(condition) _Static_assert(condition, #condition)
#define ZK_PTR ((size_t)sizeof(void *))

ZK_CHECK(sizeof(void *) == 4 || sizeof(void *) == 8);

ZK_CHECK(offsetof(MStringList, count) == 0);
ZK_CHECK(offsetof(MStringList, items) == ZK_PTR);
ZK_CHECK(sizeof(MStringList) == 2 * ZK_PTR);

ZK_CHECK(offsetof(TelnetLineList, count) == 0);
ZK_CHECK(offsetof(TelnetLineList, items) == ZK_PTR);
ZK_CHECK(sizeof(TelnetLineList) == 2 * ZK_PTR);

ZK_CHECK(sizeof(FtpFileDate) == 12);
ZK_CHECK(offsetof(FtpFileDate, year) == 0);
ZK_CHECK(offsetof(FtpFileDate, month) == 2);
ZK_CHECK(offsetof(FtpFileDate, day) == 4);
ZK_CHECK(offsetof(FtpFileDate, hour) == 6);
ZK_CHECK(offsetof(FtpFileDate, minute) == 8);
ZK_CHECK(offsetof(FtpFileDate, second) == 10);

ZK_CHECK(sizeof(MacAddressList) == 100);
ZK_CHECK(offsetof(MacAddressList, count) == 0);
ZK_CHECK(offsetof(MacAddressList, addresses) == 4);

ZK_CHECK(sizeof(MailDate) == 12);
ZK_CHECK(offsetof(MailDate, year) == 0);
ZK_CHECK(offsetof(MailDate, month) == 2);
ZK_CHECK(offsetof(MailDate, day) == 4);
ZK_CHECK(offsetof(MailDate, hour) == 6);
ZK_CHECK(offsetof(MailDate, minute) == 8);
ZK_CHECK(offsetof(MailDate, second) == 10);

/* Callers index the entry arrays by these widths. */
ZK_CHECK(offsetof(MailList, count) == 0);
ZK_CHECK(offsetof(MailList, entries) == ZK_PTR);
ZK_CHECK(sizeof(MailList) == 2 * ZK_PTR);

ZK_CHECK(sizeof(MailListEntryA) == 2696);
ZK_CHECK(offsetof(MailListEntryA, number) == 0);
ZK_CHECK(offsetof(MailListEntryA, from) == 4);
ZK_CHECK(offsetof(MailListEntryA, subject) == 644);
ZK_CHECK(offsetof(MailListEntryA, size) == 2692);

ZK_CHECK(sizeof(MailListEntryW) == 5384);
ZK_CHECK(offsetof(MailListEntryW, number) == 0);
ZK_CHECK(offsetof(MailListEntryW, from) == 4);
ZK_CHECK(offsetof(MailListEntryW, subject) == 1284);
ZK_CHECK(offsetof(MailListEntryW, size) == 5380);

/* The interface's 16-bit text unit. */
ZK_CHECK(sizeof(zk_wchar_t) == 2);
