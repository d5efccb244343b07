// fuzz_base64.cpp -- Base64 decoding alone and with each conversion, and the encoder's round trip.
#include "fuzz_case.h"
#include "text/base64.h"
#include "text/transfer_charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    auto out = Exactly<char>(c.size);
    int32_t r = Base64Decode(c.text.get(), out.get(), c.size);
    if (r < -1 || r >= c.size || (r >= 0 && out[r] != 0)) FuzzFail("Base64Decode", r);
    CheckNarrow("Base64JisToSjis", Base64JisToSjis(c.text.get(), out.get(), c.size), out.get(), c.size);
    CheckNarrow("Base64EucToSjis", Base64EucToSjis(c.text.get(), out.get(), c.size), out.get(), c.size);
    CheckNarrow("Base64Utf8ToAnsi", Base64Utf8ToAnsi(c.text.get(), out.get(), c.size), out.get(), c.size);

    // The raw bytes encoded and decoded again are the same bytes.
    int32_t e = Base64Encode(data + 2, static_cast<int32_t>(c.length), out.get(), c.size);
    if (e < -1 || e >= c.size) FuzzFail("Base64Encode", e);
    if (e > 0) {
        auto back = Exactly<char>(static_cast<int32_t>(c.length) + 4);
        int32_t d = Base64Decode(out.get(), back.get(), static_cast<int32_t>(c.length) + 4);
        if (d != static_cast<int32_t>(c.length) || std::memcmp(back.get(), data + 2, c.length) != 0) {
            FuzzFail("Base64 round trip", d);
        }
    }
    return 0;
}
