// fuzz_quoted_printable.cpp -- quoted-printable decoding: QpDecode, QpJisToSjis.
#include "fuzz_case.h"
#include "text/quoted_printable.h"
#include "text/transfer_charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    auto out = Exactly<char>(c.size);
    int32_t r = QpDecode(c.text.get(), out.get(), c.size);
    if (r < -1 || r >= c.size || (r >= 0 && out[r] != 0)) FuzzFail("QpDecode", r);
    if (r > static_cast<int32_t>(c.length)) FuzzFail("QpDecode grew the text", r);
    CheckNarrow("QpJisToSjis", QpJisToSjis(c.text.get(), out.get(), c.size), out.get(), c.size);
    return 0;
}
