// address_list.h -- the From and To texts of a composed message: the addresses they list, for
// the envelope (MAIL FROM, one RCPT TO each), and the header fields they make, display names
// kept and, where they hold more than ASCII, sent as encoded words.
#ifndef ZK_MAIL_SEND_ADDRESS_LIST_H
#define ZK_MAIL_SEND_ADDRESS_LIST_H

#include <cstddef>
#include <string>
#include <vector>

#include "mail/send/header_words.h"
#include "zknet/zkconf.h"

// One entry of an address list, as positions in its text.
struct AddressEntry {
    size_t start;  // the entry, without the blanks around it
    size_t end;
    size_t open;   // its "<" and the ">" after it; both kNoBracket when it has no such pair
    size_t close;
};
constexpr size_t kNoBracket = static_cast<size_t>(-1);

// The entries of a list separated by commas. A comma inside a quoted display name, a comment or
// angle brackets separates nothing; empty entries are left out. With `double_byte` the text is
// ANSI and a double-byte character is stepped over whole (its second byte may look like "\" or
// "@"). The UTF-16 form serves the W calls' envelope.
std::vector<AddressEntry> SplitAddresses(const char *text, size_t length, bool double_byte);
std::vector<AddressEntry> SplitAddresses(const zk_wchar_t *text, size_t length);

// What the envelope names for an entry: "<address>" where it has one in angle brackets, otherwise
// the entry as it stands.
template <typename Text>
Text EnvelopeAddress(const Text &text, const AddressEntry &entry) {
    if (entry.open != kNoBracket) return text.substr(entry.open, entry.close + 1 - entry.open);
    return text.substr(entry.start, entry.end - entry.start);
}

// The From or To field ("From:", "To:") for a text in the charset's form. A text of plain ASCII
// stands as it is, on one line. Otherwise each entry keeps its display name, as encoded words
// where it holds more than ASCII ("=?...?= <address>": quotes around such a name are dropped, and
// an entry without angle brackets puts the word holding "@" in them), the entries are separated
// by ", " and the field is folded between them where a line would pass 76 characters.
std::string AddressField(const char *name_with_colon, const std::string &text, MailCharset charset);

#endif  // ZK_MAIL_SEND_ADDRESS_LIST_H
