// mail_text.h -- texts that go into one command or header line: a CR or LF inside them would
// start a line of the caller's making (a second command, a forged header, an early end of the
// data), so each becomes a space.
#ifndef ZK_MAIL_MAIL_TEXT_H
#define ZK_MAIL_MAIL_TEXT_H

#include <string>

#include "zknet/zkconf.h"

using MailWideText = std::basic_string<zk_wchar_t>;

// The text with every CR and LF turned into a space; a null text gives the empty text.
std::string MailOneLineA(const char *text);
MailWideText MailOneLineW(const zk_wchar_t *text);

#endif  // ZK_MAIL_MAIL_TEXT_H
