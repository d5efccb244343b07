// mail_date.h -- the Date field of a message taken apart into numbers.
#ifndef ZK_MAIL_RECEIVE_MAIL_DATE_H
#define ZK_MAIL_RECEIVE_MAIL_DATE_H

#include <cstdint>

#include "zknet/mail.h"

// 1 to 12 for the English month names, short (Jan) or full (January), the whole token compared
// without case; -1 for anything else.
int32_t MonthNumber(const char *token);

// Reads a Date value such as "Tue, 15 Nov 1994 08:12:31 +0900": an optional weekday (short or
// full name, a comma after it or not), a day of one or two digits, the month's name, a year of
// two to four digits (stored as written: a two-digit year stays two digits), hour and minute
// and optional seconds, then any zones and comments; blanks and comments of any length between
// the parts. Every field must lie in its range. False, with all fields 0, for anything else.
bool ReadDateValue(const char *value, MailDate *date);

#endif  // ZK_MAIL_RECEIVE_MAIL_DATE_H
