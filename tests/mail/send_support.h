// send_support.h -- what the mail sending tests share: the servers of tests/mail/start.sh, the
// sink's records, texts in the three forms a test needs (UTF-16 for the W calls, ANSI for the A
// calls, UTF-8 for the files the delivery check reads), and the last reply.
#ifndef ZK_TESTS_MAIL_SEND_SUPPORT_H
#define ZK_TESTS_MAIL_SEND_SUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "support/net_peer.h"
#include "zknet/zknet.h"

constexpr int32_t kSinkPort = 2526;
constexpr int32_t kPostfixPort = 2525;

// The servers' work folder (the build's mail-peers) as this program reaches it, and paths in it.
std::string MailWork(const std::string &relative = "");

// One message the sink recorded.
struct SinkMessage {
    int connection = 0;
    std::string mail_from;
    std::vector<std::string> rcpt_to;
    std::string content;  // as aiosmtpd took it from the data: unstuffed, without the end mark
};
// How many messages the sink has recorded so far.
int SinkMessageCount();
// Message n (1-based); false when it is not there.
bool ReadSinkMessage(int n, SinkMessage *message);
// Everything the client sent on sink connection n.
std::string SinkWire(int n);

// Text forms. The ANSI code page is 932 in every build of the tests.
std::u16string Utf16(const char *utf8);
std::string AnsiOf(const std::u16string &text);
std::string Utf8Of(const std::u16string &text);
inline const zk_wchar_t *Wz(const std::u16string &text) { return reinterpret_cast<const zk_wchar_t *>(text.c_str()); }

// Records what a message sent through Postfix must decode to, for the delivery check
// (check_delivery.py): the tag stands in its From address; body as it must read after the
// header block (UTF-8, LF line ends); where given, the From field as it must read and the
// recipients that must each get a copy.
void ExpectDelivery(const std::string &tag, const std::u16string &subject, const std::u16string &body,
                    const std::u16string &from = u"", const std::vector<std::string> &recipients = {});

// The family's last reply and UTF-16 last reply.
std::string LastReply();
std::u16string LastReplyW();

// Milliseconds since `start` (a tick count) and now.
uint32_t Now();
uint32_t Since(uint32_t start);
void SleepMs(uint32_t ms);

// Raw bytes of a file (empty when missing); files of a folder.
std::string ReadFileBytes(const std::string &path);
std::vector<std::string> FilesIn(const std::string &folder);

#endif  // ZK_TESTS_MAIL_SEND_SUPPORT_H
