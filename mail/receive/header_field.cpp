// header_field.cpp -- the raw value of one header field, gathered line by line.
#include "mail/receive/header_field.h"

#include <cstring>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

unsigned char Fold(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c; }

bool BeginsWithTag(const HeaderLine &line, const char *tag, size_t tag_length) {
    if (line.length < tag_length) return false;
    const auto *a = reinterpret_cast<const unsigned char *>(line.start);
    const auto *b = reinterpret_cast<const unsigned char *>(tag);
    for (size_t i = 0; i < tag_length; ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

void Append(ValueAccumulator *acc, const char *bytes, size_t n) {
    std::memcpy(acc->text + acc->length, bytes, n);
    acc->length += n;
    acc->text[acc->length] = '\0';
}
}  // namespace

int32_t MatchTagLine(const HeaderLine &line, const char *tag, size_t tag_length, ValueAccumulator *acc) {
    if (!BeginsWithTag(line, tag, tag_length)) return 0;
    size_t start = tag_length;
    while (start < line.length && IsBlank(line.start[start])) ++start;
    size_t value_length = line.length - start;
    if (acc->length + value_length + 2 >= acc->capacity) return -1;
    if (acc->length > 0) Append(acc, "\r\n", 2);
    Append(acc, line.start + start, value_length);
    acc->value_begun = value_length > 0;
    return 1;
}

bool AppendContinuation(ValueAccumulator *acc, const HeaderLine &line) {
    if (acc->length + line.length >= acc->capacity) return false;
    size_t skip = 0;
    if (!acc->value_begun) {
        while (skip < line.length && IsBlank(line.start[skip])) ++skip;
        acc->value_begun = skip < line.length;
    }
    Append(acc, line.start + skip, line.length - skip);
    return true;
}

int32_t GatherHeaderField(const char *text, const char *tag, ValueAccumulator *acc) {
    if (text == nullptr) return 0;
    size_t tag_length = std::strlen(tag);
    bool in_field = false;  // the line before belonged to the wanted field
    HeaderLine line;
    for (const char *p = text; *p != '\0' && CopyHeaderLine(p, &line) > 0; p = line.next) {
        if (in_field && IsBlank(line.start[0])) {
            if (!AppendContinuation(acc, line)) return -1;
            continue;
        }
        int32_t matched = MatchTagLine(line, tag, tag_length, acc);
        if (matched < 0) return -1;
        in_field = matched > 0;
    }
    return static_cast<int32_t>(acc->length);
}
