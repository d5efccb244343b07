// address_list.cpp -- address lists taken apart and made into header fields.
#include "mail/send/address_list.h"

#include "text/charset.h"

namespace {

bool IsBlank(unsigned c) { return c == ' ' || c == '\t'; }

size_t Step(const char *text, size_t i, size_t length, bool double_byte) {
    return double_byte && i + 1 < length && IsDoubleByteChar(text + i) ? 2 : 1;
}
size_t Step(const zk_wchar_t *, size_t, size_t, bool) { return 1; }

template <typename Unit>
unsigned At(const Unit *text, size_t i) {
    return static_cast<unsigned>(static_cast<typename std::make_unsigned<Unit>::type>(text[i]));
}

template <typename Unit>
void Close(const Unit *text, size_t start, size_t end, size_t open, size_t close, std::vector<AddressEntry> *out) {
    while (start < end && IsBlank(At(text, start))) ++start;
    while (end > start && IsBlank(At(text, end - 1))) --end;
    if (start == end) return;
    if (close == kNoBracket) open = kNoBracket;
    out->push_back(AddressEntry{start, end, open, close});
}

template <typename Unit>
std::vector<AddressEntry> Split(const Unit *text, size_t length, bool double_byte) {
    std::vector<AddressEntry> entries;
    bool quoted = false;
    bool angle = false;
    int comment = 0;
    size_t start = 0, open = kNoBracket, close = kNoBracket;
    for (size_t i = 0; i < length;) {
        size_t step = Step(text, i, length, double_byte);
        unsigned c = step == 1 ? At(text, i) : 0x80;
        if (c == '\\' && (quoted || comment > 0) && i + 1 < length) {
            step += Step(text, i + 1, length, double_byte);  // the escaped character is text
        } else if (c == '"' && comment == 0 && !angle) {
            quoted = !quoted;
        } else if (!quoted && !angle && c == '(') {
            ++comment;
        } else if (!quoted && !angle && c == ')' && comment > 0) {
            --comment;
        } else if (!quoted && comment == 0 && c == '<' && !angle && close == kNoBracket) {
            angle = true;
            open = i;
        } else if (angle && c == '>') {
            angle = false;
            close = i;
        } else if (!quoted && comment == 0 && !angle && c == ',') {
            Close(text, start, i, open, close, &entries);
            start = i + 1;
            open = close = kNoBracket;
        }
        i += step;
    }
    Close(text, start, length, open, close, &entries);
    return entries;
}

// A display name written as one quoted string, without its quotes and escapes; any other name
// as it stands.
std::string Unquoted(const std::string &name, bool double_byte) {
    if (name.size() < 2 || name.front() != '"' || name.back() != '"') return name;
    std::string out;
    for (size_t i = 1; i + 1 < name.size();) {
        size_t step = Step(name.c_str(), i, name.size() - 1, double_byte);
        if (step == 1 && name[i] == '"') return name;  // more than one quoted string
        if (step == 1 && name[i] == '\\' && i + 2 < name.size()) {
            ++i;
            step = Step(name.c_str(), i, name.size() - 1, double_byte);
        }
        out.append(name, i, step);
        i += step;
    }
    return out;
}

std::string Trimmed(const std::string &text) {
    size_t a = 0, b = text.size();
    while (a < b && IsBlank(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && IsBlank(static_cast<unsigned char>(text[b - 1]))) --b;
    return text.substr(a, b - a);
}

// The tokens of one entry that holds more than ASCII.
void PutEntry(HeaderField &field, const std::string &entry, const AddressEntry &at, MailCharset charset,
              bool last) {
    const bool double_byte = charset == MailCharset::kIso2022Jp;
    std::string name, address;
    if (at.open != kNoBracket) {
        name = Trimmed(entry.substr(0, at.open - at.start));
        address = entry.substr(at.open - at.start);
    } else {
        // The word holding "@" is the address; the words around it, the name.
        size_t word = 0;
        for (size_t i = 0; i <= entry.size(); ++i) {
            if (i < entry.size() && !IsBlank(static_cast<unsigned char>(entry[i]))) continue;
            std::string candidate = entry.substr(word, i - word);
            if (address.empty() && candidate.find('@') != std::string::npos && !HasEightBit(candidate)) {
                address = "<" + candidate + ">";
                name = Trimmed(entry.substr(0, word) + " " + entry.substr(i < entry.size() ? i : entry.size()));
            }
            word = i + 1;
        }
    }
    if (address.empty() || HasEightBit(address)) {
        name = entry;  // no address to keep apart: the whole entry is text
        address.clear();
    }
    if (!name.empty()) PutWords(field, Unquoted(name, double_byte), charset);
    if (!address.empty()) PutToken(field, address + (last ? "" : ","));
    if (address.empty() && !last) PutToken(field, ",");
}

}  // namespace

std::vector<AddressEntry> SplitAddresses(const char *text, size_t length, bool double_byte) {
    return Split(text, length, double_byte);
}

std::vector<AddressEntry> SplitAddresses(const zk_wchar_t *text, size_t length) { return Split(text, length, false); }

std::string AddressField(const char *name_with_colon, const std::string &text, MailCharset charset) {
    if (!HasEightBit(text)) return std::string(name_with_colon) + " " + text + "\r\n";
    std::vector<AddressEntry> entries = SplitAddresses(text.data(), text.size(), charset == MailCharset::kIso2022Jp);
    HeaderField field = StartField(name_with_colon);
    for (size_t k = 0; k < entries.size(); ++k) {
        const AddressEntry &at = entries[k];
        std::string entry = text.substr(at.start, at.end - at.start);
        bool last = k + 1 == entries.size();
        if (HasEightBit(entry)) {
            PutEntry(field, entry, at, charset, last);
        } else {
            PutToken(field, last ? entry : entry + ",");
        }
    }
    return EndField(field);
}
