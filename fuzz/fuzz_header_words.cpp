// fuzz_header_words.cpp -- the header fields of a composed message made from any text: subjects
// and address lists in ISO-2022-JP and UTF-8 are 7-bit, every line ends in CR LF and every line
// after the first begins with a blank, no encoded word passes 75 characters, and a subject's
// words read back as its text.
#include <string>

#include "fuzz_case.h"
#include "mail/send/address_list.h"
#include "mail/send/header_words.h"
#include "mail/send/message_text.h"
#include "text/base64.h"
#include "text/charset.h"

namespace {

void CheckField(const std::string &field) {
    if (field.size() < 2 || field.compare(field.size() - 2, 2, "\r\n") != 0) FuzzFail("field end", 0);
    size_t word_start = std::string::npos;
    for (size_t i = 0; i < field.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(field[i]);
        if (c >= 0x80) FuzzFail("8-bit byte", static_cast<int32_t>(i));
        if (c == '\r' && (field[i + 1] != '\n' || (i + 2 < field.size() && field[i + 2] != ' ')))
            FuzzFail("line break", static_cast<int32_t>(i));
        if (c == '\n' && field[i - 1] != '\r') FuzzFail("bare LF", static_cast<int32_t>(i));
        if (field.compare(i, 16, "=?ISO-2022-JP?B?") == 0 || field.compare(i, 10, "=?UTF-8?B?") == 0) word_start = i;
        if (c == '=' && i > word_start + 10 && field[i - 1] == '?' && word_start != std::string::npos) {
            if (i + 1 - word_start > kMostWordLength) FuzzFail("long word", static_cast<int32_t>(i + 1 - word_start));
            word_start = std::string::npos;
        }
    }
}

// The text of a field of ISO-2022-JP encoded words, read back as Shift_JIS.
std::string ReadWords(const std::string &field) {
    std::string text;
    for (size_t at = field.find("=?ISO-2022-JP?B?"); at != std::string::npos; at = field.find("=?ISO-2022-JP?B?", at)) {
        at += 16;
        size_t end = field.find("?=", at);
        std::string base64 = field.substr(at, end - at);
        char jis[128] = {0}, sjis[128] = {0};
        if (Base64Decode(base64.c_str(), jis, sizeof(jis)) > 0) JisToSjis(jis, sjis, sizeof(sjis));
        text += sjis;
        at = end;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t n) {
    FuzzCase c;
    if (!ReadFuzzCase(data, n, &c)) return 0;
    // The callers make a header text one line first.
    for (size_t i = 0; i < c.length; ++i) {
        if (c.text[i] == '\r' || c.text[i] == '\n') c.text[i] = ' ';
    }
    std::string ready = JisReadyText(c.text.get(), c.length);
    std::string encoded = SubjectField(ready, MailCharset::kIso2022Jp, true);
    CheckField(encoded);
    if (ready.find('\x1B') == std::string::npos && ReadWords(encoded) != ready) FuzzFail("subject read back", 0);
    CheckField(SubjectField(ready, MailCharset::kIso2022Jp, false));
    CheckField(AddressField("To:", ready, MailCharset::kIso2022Jp));
    std::string utf8 = Utf8OfAnsi(c.text.get(), c.length);
    CheckField(SubjectField(utf8, MailCharset::kUtf8, c.size % 2 == 0));
    CheckField(AddressField("From:", utf8, MailCharset::kUtf8));
    // Bytes that are no UTF-8 at all are still split and carried whole.
    CheckField(SubjectField(std::string(c.text.get(), strnlen(c.text.get(), c.length)), MailCharset::kUtf8, true));
    return 0;
}
