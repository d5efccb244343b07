// fuzz_encoded_words.cpp -- header values with encoded words: DecodeEncodedWords.
#include "fuzz_case.h"
#include "text/encoded_words.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    auto out = Exactly<char>(c.size);
    int32_t r = DecodeEncodedWords(c.text.get(), out.get(), c.size);
    if (r < -1 || r >= c.size) FuzzFail("DecodeEncodedWords", r);
    if (r >= 0 && static_cast<int32_t>(strnlen(out.get(), static_cast<size_t>(c.size))) != r) {
        FuzzFail("DecodeEncodedWords length", r);
    }
    return 0;
}
