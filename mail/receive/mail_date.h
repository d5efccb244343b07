// mail_date.h -- the Date field of a message taken apart into numbers.
#ifndef ZK_MAIL_RECEIVE_MAIL_DATE_H
#define ZK_MAIL_RECEIVE_MAIL_DATE_H

#include <cstdint>

#include "zknet/mail.h"

// 1 to 12 for the English month abbreviations (Jan to Dec), the whole token compared without
// case; -1 for anything else.
int32_t MonthNumber(const char *token);

// Reads a Date value of the form "Tue, 15 Nov 1994 08:12:31 +0900" by position: weekday (passed
// over), day, month name, year up to blanks, then hour, minute and second up to colons. The
// numbers are stored as they come (a two-digit year stays two digits, a month that is no month
// name is 65535); a value of another form gives whatever its tokens at those places read as.
void ReadDateValue(const char *value, MailDate *date);

#endif  // ZK_MAIL_RECEIVE_MAIL_DATE_H
