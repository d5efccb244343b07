// fuzz_utf8.cpp -- UTF-8 decoding: Utf8ToWide, Utf8ToAnsi.
#include "fuzz_case.h"
#include "text/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    auto wide = Exactly<zk_wchar_t>(c.size);
    CheckWide("Utf8ToWide", Utf8ToWide(c.text.get(), wide.get(), c.size), wide.get(), c.size);
    auto out = Exactly<char>(c.size);
    CheckNarrow("Utf8ToAnsi", Utf8ToAnsi(c.text.get(), out.get(), c.size), out.get(), c.size);
    return 0;
}
