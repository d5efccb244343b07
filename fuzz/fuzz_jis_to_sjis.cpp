// fuzz_jis_to_sjis.cpp -- ISO-2022-JP decoding: JisToSjis, JisToWide, JisToSjisInPlace.
#include "fuzz_case.h"
#include "text/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    auto out = Exactly<char>(c.size);
    int32_t r = JisToSjis(c.text.get(), out.get(), c.size);
    CheckNarrow("JisToSjis", r, out.get(), c.size);
    if (r > static_cast<int32_t>(c.length)) FuzzFail("JisToSjis grew the text", r);

    auto wide = Exactly<zk_wchar_t>(c.size);
    CheckWide("JisToWide", JisToWide(c.text.get(), wide.get(), c.size), wide.get(), c.size);

    // In place, in a buffer just long enough for the text.
    auto own = Exactly<char>(static_cast<int32_t>(c.length + 1));
    std::memcpy(own.get(), c.text.get(), c.length + 1);
    JisToSjisInPlace(own.get(), static_cast<int32_t>(c.length + 1));
    if (std::memchr(own.get(), 0, c.length + 1) == nullptr) FuzzFail("JisToSjisInPlace", 0);
    return 0;
}
