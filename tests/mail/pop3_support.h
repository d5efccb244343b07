// pop3_support.h -- what the POP3 tests share: the real servers of tests/mail/start.sh and the
// Maildirs the tests fill, and listings turned into text for table comparisons.
#ifndef ZK_TESTS_MAIL_POP3_SUPPORT_H
#define ZK_TESTS_MAIL_POP3_SUPPORT_H

#include <string>
#include <vector>

#include "zknet/zknet.h"

constexpr int32_t kPop3Port = 2110;       // dovecot
extern const char *const kPop3User;      // zkpop: the Maildir the tests fill
extern const char *const kPop3Password;
extern const char *const kMaildirUser;   // zkmail: the Maildir Postfix delivers to
extern const char *const kMaildirPassword;

// Empties a Maildir of the servers' work folder ("pop/zkpop" for dovecot's zkpop): messages and
// the server's own files. Then puts the messages into new/, in this order (the servers number
// them so). Messages are given with LF line ends, as Maildir files hold them.
void FillPop3Box(const std::string &box, const std::vector<std::string> &messages);

// A message as it travels and as ZK_MailRecv returns it: every LF made CR LF.
std::string CrLf(const std::string &lf_text);

// "number/size" of each entry, and with headers "number/size from|subject" (ANSI or UTF-8).
std::string ListingA(const MailList &list, bool headers);
std::string ListingW(const MailList &list, bool headers);

// The text of a message ZK_MailRecv returned, released; "(null)" for none.
std::string TakeMessage(char *text);

#endif  // ZK_TESTS_MAIL_POP3_SUPPORT_H
