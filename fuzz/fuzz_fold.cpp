// fuzz_fold.cpp -- folding in place (ZK_MailJustifiedText) at any width and buffer size: the
// text stays inside its buffer, terminated, and no line it folded is wider than the width.
#include "fuzz_case.h"
#include "text/charset.h"
#include "zknet/mail.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    const int32_t width = c.size % 50 - 6;  // -6 to 43
    const size_t block = c.length + 1 > static_cast<size_t>(c.size) ? c.length + 1 : static_cast<size_t>(c.size);
    auto text = Exactly<char>(static_cast<int32_t>(block));
    std::memcpy(text.get(), c.text.get(), c.length + 1);
    int32_t r = ZK_MailJustifiedText(text.get(), c.size, width);
    if (r != 0 && r != 1) FuzzFail("result", r);
    size_t length = strnlen(text.get(), static_cast<size_t>(c.size));
    if (length == static_cast<size_t>(c.size)) FuzzFail("terminator", r);
    if (width < 2) return 0;
    // Columns since the last line end; a double-byte character counts two.
    int32_t column = 0;
    for (size_t i = 0; i < length;) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (b == '\r' || b == '\n') {
            column = 0;
            ++i;
            continue;
        }
        if (b < 0x20 && b != '\t') {
            ++i;
            continue;
        }
        size_t step = b >= 0x80 && IsDoubleByteChar(text.get() + i) ? 2 : 1;
        column += static_cast<int32_t>(step);
        if (column > width) FuzzFail("line wider than the width", column);
        i += step;
    }
    return 0;
}
