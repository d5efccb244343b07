// header_words.cpp -- encoded words and folded header fields.
#include "mail/send/header_words.h"

#include <cstring>

#include "text/base64.h"
#include "text/charset.h"

namespace {

const char kJisPrefix[] = "=?ISO-2022-JP?B?";
const char kUtf8Prefix[] = "=?UTF-8?B?";
const char kSuffix[] = "?=";
// A subject that stands as it is keeps to the line length RFC 5322 recommends.
constexpr size_t kPlainLineLimit = 78;
// Less room than this on a line is not worth a word: the word goes on the next line.
constexpr size_t kLeastRoom = 30;
// ISO-2022-JP's escapes into and out of JIS X 0208.
constexpr size_t kEscapeLength = 3;

// The most bytes of text a word of `room` characters carries in Base64 (whole groups of four).
size_t BytesFor(size_t room, size_t prefix_length) {
    size_t overhead = prefix_length + sizeof(kSuffix) - 1;
    return room > overhead ? (room - overhead) / 4 * 3 : 0;
}

std::string Word(const char *prefix, const std::string &bytes) {
    std::string base64(bytes.size() / 3 * 4 + 8, '\0');
    int32_t n = Base64Encode(bytes.data(), static_cast<int32_t>(bytes.size()), &base64[0],
                             static_cast<int32_t>(base64.size()));
    base64.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return prefix + base64 + kSuffix;
}

// The ISO-2022-JP form of a piece of ready Shift_JIS text.
std::string JisOf(const std::string &sjis) {
    if (sjis.empty()) return std::string();
    std::string jis(sjis.size() * 4 + 8, '\0');
    int32_t n = SjisToJis(sjis.c_str(), &jis[0], static_cast<int32_t>(jis.size()));
    jis.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return jis;
}

// Splits ready Shift_JIS text into pieces whose ISO-2022-JP form, escapes included, fits the
// words: the first `first` bytes, the others `rest`.
std::vector<std::string> JisWords(const std::string &text, size_t first, size_t rest) {
    std::vector<std::string> words;
    size_t limit = first;
    size_t start = 0;
    size_t bytes = 0;  // the piece's ISO-2022-JP bytes so far, without its closing escape
    bool kanji = false;
    for (size_t i = 0; i < text.size();) {
        bool pair = IsDoubleByteChar(text.c_str() + i);
        size_t cost = pair ? (kanji ? 0 : kEscapeLength) + 2 : (kanji ? kEscapeLength : 0) + 1;
        size_t closing = pair ? kEscapeLength : 0;
        if (i > start && bytes + cost + closing > limit) {
            words.push_back(Word(kJisPrefix, JisOf(text.substr(start, i - start))));
            start = i;
            bytes = 0;
            kanji = false;
            limit = rest;
            continue;
        }
        bytes += cost;
        kanji = pair;
        i += pair ? 2 : 1;
    }
    words.push_back(Word(kJisPrefix, JisOf(text.substr(start))));
    return words;
}

size_t Utf8SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

// Splits UTF-8 text between characters into pieces of at most `first` bytes, then `rest`.
std::vector<std::string> Utf8Words(const std::string &text, size_t first, size_t rest) {
    std::vector<std::string> words;
    size_t limit = first;
    size_t start = 0;
    for (size_t i = 0; i < text.size();) {
        size_t n = Utf8SequenceLength(static_cast<unsigned char>(text[i]));
        if (i + n > text.size()) n = text.size() - i;
        if (i > start && i + n - start > limit) {
            words.push_back(Word(kUtf8Prefix, text.substr(start, i - start)));
            start = i;
            limit = rest;
            continue;
        }
        i += n;
    }
    words.push_back(Word(kUtf8Prefix, text.substr(start)));
    return words;
}

}  // namespace

bool HasEightBit(const std::string &text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

std::vector<std::string> EncodeWords(const std::string &text, MailCharset charset, size_t first_room) {
    const char *prefix = charset == MailCharset::kUtf8 ? kUtf8Prefix : kJisPrefix;
    size_t prefix_length = std::strlen(prefix);
    size_t rest = BytesFor(kMostWordLength, prefix_length);
    size_t first = BytesFor(first_room, prefix_length);
    return charset == MailCharset::kUtf8 ? Utf8Words(text, first, rest) : JisWords(text, first, rest);
}

HeaderField StartField(const char *name_with_colon) {
    HeaderField field{name_with_colon, std::strlen(name_with_colon), true};
    return field;
}

void PutToken(HeaderField &field, const std::string &token) {
    if (!field.empty && field.column + 1 + token.size() > kHeaderLineLimit) {
        field.text += "\r\n";
        field.column = 0;
    }
    field.text += ' ';
    field.text += token;
    field.column += 1 + token.size();
    field.empty = false;
}

void PutWords(HeaderField &field, const std::string &text, MailCharset charset) {
    size_t used = field.column + 1;
    size_t room = used < kHeaderLineLimit ? kHeaderLineLimit - used : 0;
    // Too little room left: the first word starts the next line (PutToken puts it there).
    if (room < kLeastRoom && !field.empty) room = kMostWordLength;
    if (room > kMostWordLength) room = kMostWordLength;
    for (const std::string &word : EncodeWords(text, charset, room)) PutToken(field, word);
}

std::string EndField(const HeaderField &field) { return field.text + "\r\n"; }

std::string SubjectField(const std::string &text, MailCharset charset, bool always_encode) {
    static const char kName[] = "Subject:";
    if (!always_encode) {
        std::string plain = charset == MailCharset::kIso2022Jp ? JisOf(text) : text;
        if (!HasEightBit(plain) && sizeof(kName) + plain.size() <= kPlainLineLimit) {
            return std::string(kName) + " " + plain + "\r\n";
        }
    }
    HeaderField field = StartField(kName);
    PutWords(field, text, charset);
    return EndField(field);
}
