// message_text.cpp -- the texts of a message made ready for their charset, and the body as it
// goes out: ISO-2022-JP (7bit) or UTF-8 (base64), CR LF, dot-stuffed.
#include "mail/send/message_text.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "socket/text_helpers.h"
#include "text/base64.h"
#include "text/charset.h"
#include "text/jis_ready.h"
#include "text/scratch.h"

const char kEndOfData[] = "\r\n.\r\n";

namespace {

// A large body is folded and converted in buffers of several times its size.
constexpr size_t kMostBody = 700u * 1024 * 1024;

// CR LF line ends for any mix of CR LF, bare LF and bare CR; with `stuff`, a period that begins a
// line is doubled.
void AppendLines(std::string &out, const char *text, size_t length, bool *line_start, bool stuff) {
    bool start = *line_start;
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < length && text[i + 1] == '\n') ++i;
            start = true;
            continue;
        }
        if (stuff && start && c == '.') out += '.';
        out += c;
        start = false;
    }
    *line_start = start;
}
}  // namespace

void AppendWireText(std::string &wire, const char *text, size_t length, bool *line_start) {
    // A period at a line's start is doubled, so that no line of the text can end the data.
    AppendLines(wire, text, length, line_start, true);
}

void AppendCrLfText(std::string &out, const char *text, size_t length, bool *line_start) {
    AppendLines(out, text, length, line_start, false);
}

void AppendEndOfData(std::string &wire, bool line_start) {
    // The end mark needs a line of its own; a text that already ends its last line gets no
    // empty line added.
    wire.append(line_start ? kEndOfData + 2 : kEndOfData);
}

bool PrepareBody(const char *body, size_t length, int32_t width, std::string *wire) {
    wire->clear();
    length = body == nullptr ? 0 : strnlen(body, length);  // the text ends at its terminator
    if (length > kMostBody) return false;
    try {
        // Half-width katakana become full-width before folding, so that they count the two
        // columns they will take.
        std::unique_ptr<char[]> ready = NewScratch(2 * static_cast<int64_t>(length) + 1);
        if (!ready) return false;
        length = WidenKana(body, length, ready.get());
        ready[length] = '\0';
        MakeJisReady(ready.get());
        std::unique_ptr<char[]> folded;
        const char *text = ready.get();
        size_t text_length = length;
        if (length > 0 && width != -1) {
            size_t size = FoldedBound(length) + 1;
            folded = NewScratch(static_cast<int64_t>(size));
            if (!folded) return false;
            if (!FoldText(ready.get(), length, folded.get(), size, width, &text_length)) return false;
            text = folded.get();
        }
        std::unique_ptr<char[]> jis;
        size_t jis_length = 0;
        if (text_length > 0) {
            // A character costs at most its two bytes and a pair of escapes: 4 bytes a byte in all.
            int64_t size = static_cast<int64_t>(text_length) * 4 + 8;
            if (size > INT32_MAX) return false;
            jis = NewScratch(size);
            if (!jis) return false;
            int32_t n = SjisToJis(text, jis.get(), static_cast<int32_t>(size));
            if (n < 0) return false;
            jis_length = static_cast<size_t>(n);
        }
        folded.reset();
        ready.reset();
        // Every byte may become two (a bare line end, a doubled period), then the end of the data.
        wire->reserve(jis_length + jis_length / 8 + sizeof(kEndOfData));
        bool line_start = true;
        AppendWireText(*wire, jis.get(), jis_length, &line_start);
        AppendEndOfData(*wire, line_start);
        return true;
    } catch (...) {
        wire->clear();
        return false;
    }
}

std::string JisReadyText(const char *ansi, size_t length) {
    length = ansi == nullptr ? 0 : strnlen(ansi, length);
    std::string ready(2 * length, '\0');
    ready.resize(WidenKana(ansi, length, &ready[0]));
    MakeJisReady(&ready[0]);
    return ready;
}

std::string Utf8OfAnsi(const char *ansi, size_t length) {
    length = ansi == nullptr ? 0 : strnlen(ansi, length);
    std::string utf8;
    if (length == 0 || length > static_cast<size_t>(INT32_MAX) - 1) return utf8;
    // A byte never gives more than one unit.
    std::vector<zk_wchar_t> wide(length + 1, 0);
    std::string copy(ansi, length);
    int32_t units = AnsiToWide(copy.c_str(), wide.data(), static_cast<int32_t>(wide.size()));
    if (units > 1) AppendUtf8(utf8, wide.data(), static_cast<size_t>(units - 1));
    return utf8;
}

std::string Utf8OfWide(const zk_wchar_t *wide, size_t units) {
    std::string utf8;
    if (wide != nullptr) AppendUtf8(utf8, wide, units);
    return utf8;
}

bool PrepareUtf8Body(const std::string &utf8, int32_t width, std::string *wire) {
    wire->clear();
    if (utf8.size() > kMostBody) return false;
    try {
        // The body's first line break is the empty line that ends the header block, as it is in
        // the 7bit form: it is written here, outside the Base64 text.
        size_t skip = utf8.compare(0, 2, "\r\n") == 0                                 ? 2
                      : !utf8.empty() && (utf8[0] == '\r' || utf8[0] == '\n') ? 1
                                                                              : 0;
        std::string text = utf8.substr(skip);
        if (width != -1) text = FoldUtf8(text, width);
        std::string lines;
        bool line_start = true;
        AppendCrLfText(lines, text.data(), text.size(), &line_start);
        text = std::string();
        // Base64 in lines of 76 characters: 57 bytes each.
        constexpr size_t kLineBytes = 57;
        wire->reserve(lines.size() / kLineBytes * 78 + 84 + sizeof(kEndOfData));
        *wire = "\r\n";
        char encoded[80];
        for (size_t at = 0; at < lines.size(); at += kLineBytes) {
            size_t n = lines.size() - at < kLineBytes ? lines.size() - at : kLineBytes;
            if (Base64Encode(lines.data() + at, static_cast<int32_t>(n), encoded, sizeof(encoded)) < 0) return false;
            *wire += encoded;
            *wire += "\r\n";
        }
        AppendEndOfData(*wire, true);
        return true;
    } catch (...) {
        wire->clear();
        return false;
    }
}
