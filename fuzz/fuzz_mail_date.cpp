// fuzz_mail_date.cpp -- the Date field on any text: ZK_MailGetDate and ReadDateValue give fields
// in their ranges, or none at all.
#include "fuzz_case.h"
#include "mail/receive/mail_date.h"
#include "zknet/mail.h"

namespace {
bool InRange(const MailDate &d) {
    return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31 && d.hour <= 23 && d.minute <= 59 &&
           d.second <= 60 && d.year <= 9999;
}
bool AllZero(const MailDate &d) { return (d.year | d.month | d.day | d.hour | d.minute | d.second) == 0; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    MailDate date;
    int32_t r = ZK_MailGetDate(c.text.get(), &date);
    // The value fits the 1024-byte field buffer with its terminator (a first line alone leaves room
    // for a repeated field's CR LF as well, continuation lines need not).
    if (r < -1 || r > 1023) FuzzFail("ZK_MailGetDate", r);
    if (r <= 0 && !AllZero(date)) FuzzFail("ZK_MailGetDate fields without a date", r);
    if (r > 0 && !InRange(date)) FuzzFail("ZK_MailGetDate fields out of range", r);
    bool read = ReadDateValue(c.text.get(), &date);
    if (read ? !InRange(date) : !AllZero(date)) FuzzFail("ReadDateValue", read);
    return 0;
}
