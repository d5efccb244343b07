// header_words.h -- header fields that hold more than plain ASCII: the text as RFC 2047 encoded
// words, each a whole piece of the text in the message's charset, the field folded onto
// continuation lines so that no line of it passes 76 characters.
#ifndef ZK_MAIL_SEND_HEADER_WORDS_H
#define ZK_MAIL_SEND_HEADER_WORDS_H

#include <cstddef>
#include <string>
#include <vector>

// The charset a composed message goes out in.
enum class MailCharset {
    kIso2022Jp,  // the default: texts in Shift_JIS, made ready (JisReadyText), sent as ISO-2022-JP
    kUtf8,       // asked for with the Content-Type setters: texts in UTF-8
};

// No line of a field that holds encoded words may pass this many characters (RFC 2047).
constexpr size_t kHeaderLineLimit = 76;
// Nor may an encoded word.
constexpr size_t kMostWordLength = 75;

// Encoded words ("=?ISO-2022-JP?B?...?=" or "=?UTF-8?B?...?=") that together carry `text`, given in
// the charset's form (Shift_JIS made ready, or UTF-8). The text is split only between characters;
// in ISO-2022-JP each word is a whole sequence that ends in ASCII. The first word is at most
// `first_room` characters long (but room for one character is always made), every other one at
// most kMostWordLength. An empty text gives one empty word.
std::vector<std::string> EncodeWords(const std::string &text, MailCharset charset, size_t first_room);

// A header field as it is built: "Name:" and tokens, each after a blank; a token that would take
// its line past kHeaderLineLimit starts a continuation line, except the first, which always
// stands on the field's first line.
struct HeaderField {
    std::string text;
    size_t column;
    bool empty;
};
HeaderField StartField(const char *name_with_colon);
void PutToken(HeaderField &field, const std::string &token);
// Puts `text` as encoded words, the first of them filling what is left of the current line.
void PutWords(HeaderField &field, const std::string &text, MailCharset charset);
// The field's lines with the CR LF that ends the last one.
std::string EndField(const HeaderField &field);

// The Subject field of a composed message. `text` is in the charset's form. With `always_encode`
// (the W form) it is encoded words whatever it holds, one empty word for an empty subject;
// otherwise (the A form) the text stands as it is (ISO-2022-JP with its escapes, or ASCII) when
// that is 7-bit and the line fits 78 characters, and becomes encoded words when it does not.
std::string SubjectField(const std::string &text, MailCharset charset, bool always_encode);

// Whether a text holds a byte of 0x80 or above.
bool HasEightBit(const std::string &text);

#endif  // ZK_MAIL_SEND_HEADER_WORDS_H
