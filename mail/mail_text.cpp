// mail_text.cpp -- texts made safe for one command or header line.
#include "mail/mail_text.h"

namespace {
template <typename Text>
Text OneLine(const typename Text::value_type *text) {
    Text out;
    if (text == nullptr) return out;
    out = text;
    for (auto &c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}
}  // namespace

std::string MailOneLineA(const char *text) { return OneLine<std::string>(text); }

MailWideText MailOneLineW(const zk_wchar_t *text) { return OneLine<MailWideText>(text); }
