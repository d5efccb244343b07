// fuzz_euc.cpp -- EUC-JP decoding: EucToJis, EucToSjis, EucToWide.
#include "fuzz_case.h"
#include "text/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    auto out = Exactly<char>(c.size);
    CheckNarrow("EucToJis", EucToJis(c.text.get(), out.get(), c.size), out.get(), c.size);
    int32_t r = EucToSjis(c.text.get(), out.get(), c.size);
    CheckNarrow("EucToSjis", r, out.get(), c.size);
    if (r > static_cast<int32_t>(c.length)) FuzzFail("EucToSjis grew the text", r);
    auto wide = Exactly<zk_wchar_t>(c.size);
    CheckWide("EucToWide", EucToWide(c.text.get(), wide.get(), c.size), wide.get(), c.size);

    // One pass gives what the two stages give, for any text that holds no ESC (0x1B, or 0x9B
    // whose low seven bits are ESC), which the middle form would read as an escape.
    if (std::memchr(c.text.get(), 0x1B, c.length) == nullptr && std::memchr(c.text.get(), 0x9B, c.length) == nullptr) {
        int32_t room = static_cast<int32_t>(c.length * 3 + 16);
        auto jis = Exactly<char>(room), staged = Exactly<char>(room), direct = Exactly<char>(room);
        if (EucToJis(c.text.get(), jis.get(), room) >= 0) {
            JisToSjis(jis.get(), staged.get(), room);
            EucToSjis(c.text.get(), direct.get(), room);
            if (std::strcmp(staged.get(), direct.get()) != 0) FuzzFail("EucToSjis against EucToJis and JisToSjis", 0);
        }
    }
    return 0;
}
