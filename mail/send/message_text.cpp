// message_text.cpp -- the body and the subject as they go out: ISO-2022-JP, CR LF, dot-stuffed.
#include "mail/send/message_text.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "text/base64.h"
#include "text/charset.h"
#include "text/jis_ready.h"
#include "text/scratch.h"

const char kEndOfData[] = "\r\n.\r\n";

namespace {

// The subject's conversion buffer, terminator included.
constexpr int32_t kSubjectSize = 512;
// The most ISO-2022-JP bytes whose Base64 text still fits that buffer: 127 groups of four.
constexpr int32_t kEncodedSubjectBytes = 381;

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
        std::unique_ptr<char[]> folded;
        const char *text = body;
        size_t text_length = length;
        if (length > 0) {
            size_t size = (width != -1 ? FoldedBound(length) : length) + 1;
            folded = NewScratch(static_cast<int64_t>(size));
            if (!folded) return false;
            if (width != -1) {
                if (!FoldText(body, length, folded.get(), size, width, &text_length)) return false;
            } else {
                std::memcpy(folded.get(), body, length);
                folded[length] = '\0';
            }
            MakeJisReady(folded.get());
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

std::string SubjectLineA(const std::string &subject) {
    std::string line = "Subject: ";
    if (!subject.empty() && subject.size() < static_cast<size_t>(kSubjectSize)) {
        char ready[kSubjectSize];
        std::memcpy(ready, subject.c_str(), subject.size() + 1);
        MakeJisReady(ready);
        char jis[kSubjectSize];
        if (SjisToJis(ready, jis, kSubjectSize) > 0) line += jis;
    }
    return line + "\r\n";
}

namespace {
// The ISO-2022-JP form of the longest start of `ansi` (whole characters) that fits `limit`
// bytes; empty when even the whole text does not convert within kSubjectSize.
std::string FittingJis(const char *ansi, size_t length, int32_t limit) {
    char jis[kSubjectSize];
    if (SjisToJis(ansi, jis, kSubjectSize) <= 0) return std::string();
    if (static_cast<int32_t>(std::strlen(jis)) <= limit) return jis;
    // Where each character starts: the text is cut only there.
    std::vector<size_t> starts;
    for (size_t i = 0; i < length; i += IsDoubleByteChar(ansi + i) ? 2 : 1) starts.push_back(i);
    std::string prefix(ansi, length);
    for (size_t k = starts.size(); k-- > 1;) {
        prefix.resize(starts[k]);
        if (SjisToJis(prefix.c_str(), jis, limit + 1) > 0) return jis;
    }
    return std::string();
}
}  // namespace

std::string SubjectLineW(const std::string &ansi_subject) {
    std::string line = "Subject: =?ISO-2022-JP?B?";
    if (!ansi_subject.empty() && ansi_subject.size() < static_cast<size_t>(kSubjectSize)) {
        char ready[kSubjectSize];
        std::memcpy(ready, ansi_subject.c_str(), ansi_subject.size() + 1);
        MakeJisReady(ready);
        std::string jis = FittingJis(ready, ansi_subject.size(), kEncodedSubjectBytes);
        char base64[kSubjectSize];
        if (!jis.empty() && Base64Encode(jis.data(), static_cast<int32_t>(jis.size()), base64, kSubjectSize) > 0) {
            line += base64;
        }
    }
    return line + "?=\r\n";
}
