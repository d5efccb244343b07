// fuzz_sjis_to_jis.cpp -- Shift_JIS to ISO-2022-JP, whose output grows: SjisToJis, and back.
#include "fuzz_case.h"
#include "text/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    auto out = Exactly<char>(c.size);
    int32_t r = SjisToJis(c.text.get(), out.get(), c.size);
    CheckNarrow("SjisToJis", r, out.get(), c.size);
    if (r > 0) {
        // What went out as ISO-2022-JP comes back as the same Shift_JIS.
        auto back = Exactly<char>(r + 1);
        int32_t b = JisToSjis(out.get(), back.get(), r + 1);
        CheckNarrow("JisToSjis", b, back.get(), r + 1);
        if (b != static_cast<int32_t>(std::strlen(c.text.get())) || std::memcmp(back.get(), c.text.get(), b) != 0) {
            // A text holding ESC itself does not survive, nor do lone bytes ISO-2022-JP reads
            // as escapes; only clean text must come back.
            if (std::memchr(c.text.get(), 0x1B, c.length) == nullptr) FuzzFail("round trip", b);
        }
    }
    return 0;
}
