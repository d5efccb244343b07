// fuzz_mail_date.cpp -- the Date field and the token reader on any text: ZK_MailGetDate,
// ReadDateValue and CopyToken, whose tokens hold whole characters only.
#include "fuzz_case.h"
#include "mail/receive/mail_date.h"
#include "mail/receive/token.h"
#include "text/charset.h"
#include "zknet/mail.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    MailDate date;
    int32_t r = ZK_MailGetDate(c.text.get(), &date);
    // The value fits the 1024-byte field buffer with its terminator (a first line alone leaves room
    // for a repeated field's CR LF as well, continuation lines need not).
    if (r < -1 || r > 1023) FuzzFail("ZK_MailGetDate", r);
    if (r <= 0 && (date.year | date.month | date.day | date.hour | date.minute | date.second) != 0) {
        FuzzFail("ZK_MailGetDate fields without a value", r);
    }
    ReadDateValue(c.text.get(), &date);

    // The size bytes choose the limit (some negative) and the first byte of the text the delimiter.
    int32_t limit = c.size % 300 - 20;
    char delimiter = c.length > 0 ? c.text[0] : ' ';
    const char *source = c.length > 0 ? c.text.get() + 1 : c.text.get();
    auto token = Exactly<char>(limit >= 0 ? limit + 1 : 1);
    int32_t length = CopyToken(token.get(), source, delimiter, limit);
    if (length < 0 || length > (limit > 0 ? limit : 0) || token[static_cast<size_t>(length)] != '\0' ||
        std::memcmp(token.get(), source, static_cast<size_t>(length)) != 0) {
        FuzzFail("CopyToken", length);
    }
    int32_t at = 0;
    while (at < length) at += IsDoubleByteChar(source + at) ? 2 : 1;
    if (at != length) FuzzFail("CopyToken cut a double-byte character", length);
    return 0;
}
