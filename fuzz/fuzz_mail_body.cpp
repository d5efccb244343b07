// fuzz_mail_body.cpp -- the body extraction on any text: ZK_MailGetBodyA/W. A refused text
// leaves the output untouched, one that does not fit leaves it empty, and a body that fits a
// small output is the very body a large one gets.
#include "fuzz_case.h"
#include "zknet/mail.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    int32_t big_size = static_cast<int32_t>(c.length) + 8;

    auto out = Exactly<char>(c.size);
    std::memset(out.get(), 0x77, static_cast<size_t>(c.size));
    int32_t r = ZK_MailGetBodyA(c.text.get(), out.get(), c.size);
    if (r == -2) {
        for (int32_t i = 0; i < c.size; ++i) {
            if (out[static_cast<size_t>(i)] != 0x77) FuzzFail("ZK_MailGetBodyA wrote on -2", r);
        }
    } else {
        CheckNarrow("ZK_MailGetBodyA", r, out.get(), c.size);
        if (r >= 0) {
            auto big = Exactly<char>(big_size);
            if (ZK_MailGetBodyA(c.text.get(), big.get(), big_size) != r ||
                std::memcmp(big.get(), out.get(), static_cast<size_t>(r) + 1) != 0) {
                FuzzFail("ZK_MailGetBodyA gives a body that differs from the one a larger output gets", r);
            }
        }
    }

    auto wide = Exactly<zk_wchar_t>(c.size);
    for (int32_t i = 0; i < c.size; ++i) wide[static_cast<size_t>(i)] = 0x7777;
    int32_t w = ZK_MailGetBodyW(c.text.get(), wide.get(), c.size);
    if ((w == -2) != (r == -2) || (w == -1) != (r == -1)) FuzzFail("ZK_MailGetBodyW and A disagree", w);
    if (w == -2) {
        for (int32_t i = 0; i < c.size; ++i) {
            if (wide[static_cast<size_t>(i)] != 0x7777) FuzzFail("ZK_MailGetBodyW wrote on -2", w);
        }
    } else if (w >= 0) {
        if (w >= c.size || wide[static_cast<size_t>(w)] != 0) FuzzFail("ZK_MailGetBodyW", w);
        auto big = Exactly<zk_wchar_t>(big_size);
        if (ZK_MailGetBodyW(c.text.get(), big.get(), big_size) != w ||
            std::memcmp(big.get(), wide.get(), (static_cast<size_t>(w) + 1) * sizeof(zk_wchar_t)) != 0) {
            FuzzFail("ZK_MailGetBodyW gives a body that differs from the one a larger output gets", w);
        }
    }
    return 0;
}
