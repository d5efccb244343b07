// fuzz_mail_header.cpp -- the header block and the field lookup on any text: ZK_MailGetHeaderA/W
// and ZK_MailGetHeaderTagA/W. Besides the bounds, a value that fits a small output must be the
// very value a large one gets: the lookup never hands back a cut text as a whole one.
#include "fuzz_case.h"
#include "mail/receive/header_lines.h"
#include "socket/text_helpers.h"
#include "zknet/mail.h"

namespace {
const char *const kTags[] = {"Subject:", "From:", "Received:", "X:", ":"};
const zk_wchar_t kSubjectW[] = {'s', 'U', 'B', 'J', 'E', 'C', 'T', ':', 0};

void CheckHeader(const FuzzCase &c) {
    auto out = Exactly<char>(c.size);
    int32_t r = ZK_MailGetHeaderA(c.text.get(), out.get(), c.size);
    if (r != -1) {
        CheckNarrow("ZK_MailGetHeaderA", r, out.get(), c.size);
        if (r != FindHeaderEnd(c.text.get()) || std::memcmp(out.get(), c.text.get(), static_cast<size_t>(r)) != 0) {
            FuzzFail("ZK_MailGetHeaderA is not the start of the text", r);
        }
    }
    auto wide = Exactly<zk_wchar_t>(c.size);
    CheckWide("ZK_MailGetHeaderW", ZK_MailGetHeaderW(c.text.get(), wide.get(), c.size), wide.get(), c.size);
}

void CheckTag(const FuzzCase &c, const char *tag) {
    auto out = Exactly<char>(c.size);
    int32_t r = ZK_MailGetHeaderTagA(c.text.get(), tag, out.get(), c.size);
    CheckNarrow("ZK_MailGetHeaderTagA", r, out.get(), c.size);
    for (int32_t i = r > 0 ? r : 0; i < c.size; ++i) {
        if (out[static_cast<size_t>(i)] != 0) FuzzFail("ZK_MailGetHeaderTagA leaves bytes behind", r);
    }
    if (r >= 0) {
        int32_t big_size = static_cast<int32_t>(c.length) + 8;
        auto big = Exactly<char>(big_size);
        int32_t big_r = ZK_MailGetHeaderTagA(c.text.get(), tag, big.get(), big_size);
        if (big_r != r || std::memcmp(big.get(), out.get(), static_cast<size_t>(r) + 1) != 0) {
            FuzzFail("ZK_MailGetHeaderTagA gives a value that differs from the one a larger output gets", r);
        }
    }
}

void CheckTagW(const FuzzCase &c) {
    auto narrow = Exactly<char>(c.size);
    int32_t r = ZK_MailGetHeaderTagA(c.text.get(), "Subject:", narrow.get(), c.size);
    auto out = Exactly<zk_wchar_t>(c.size);
    for (int32_t i = 0; i < c.size; ++i) out[static_cast<size_t>(i)] = 0x7777;
    int32_t w = ZK_MailGetSubjectW(c.text.get(), out.get(), c.size);
    if (r <= 0) {
        if (w != r) FuzzFail("ZK_MailGetSubjectW differs from the A form", w);
        for (int32_t i = 0; i < c.size; ++i) {
            if (out[static_cast<size_t>(i)] != 0x7777) FuzzFail("ZK_MailGetSubjectW wrote on 0 or -1", w);
        }
        return;
    }
    CheckWide("ZK_MailGetSubjectW", w, out.get(), c.size);
    if (w <= 0) FuzzFail("ZK_MailGetSubjectW lost a value the A form found", w);
    auto tagged = Exactly<zk_wchar_t>(c.size);
    if (ZK_MailGetHeaderTagW(c.text.get(), kSubjectW, tagged.get(), c.size) != w ||
        std::memcmp(tagged.get(), out.get(), static_cast<size_t>(w) * sizeof(zk_wchar_t)) != 0) {
        FuzzFail("the tag is not compared without case", w);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    CheckHeader(c);
    for (const char *tag : kTags) CheckTag(c, tag);
    CheckTagW(c);
    return 0;
}
