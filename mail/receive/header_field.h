// header_field.h -- gathering the raw value of one named header field: its occurrences joined by
// CR LF, each with its folded continuation lines.
#ifndef ZK_MAIL_RECEIVE_HEADER_FIELD_H
#define ZK_MAIL_RECEIVE_HEADER_FIELD_H

#include <cstddef>
#include <cstdint>

#include "mail/receive/header_lines.h"

// The raw value gathered so far, kept terminated inside its capacity (the caller's output size,
// terminator included). `text` has room for at least one byte even when the capacity is 0.
struct ValueAccumulator {
    char *text;
    size_t length;
    size_t capacity;
    bool value_begun;  // the current occurrence's value has begun: blanks before it are not kept
};

// Whether the line begins with the tag (colon included), letters compared without case. On a
// match the value, which starts after the blanks that follow the colon, is appended after a CR
// LF when the accumulator already holds text. Returns 0 for no match, 1 for a match (its value
// may be empty and begin on a continuation line), or -1 when the value does not fit.
int32_t MatchTagLine(const HeaderLine &line, const char *tag, size_t tag_length, ValueAccumulator *acc);

// Appends a folded continuation line: unfolding removes the line break alone, so the line comes
// with its leading blanks (the blanks between two encoded words go when they are decoded), unless
// the value has not begun yet. False when the whole line would not fit.
bool AppendContinuation(ValueAccumulator *acc, const HeaderLine &line);

// Gathers the raw value of the field named by `tag` from the header of `text` (the lines before
// the first empty line). Returns the gathered length, or -1 when it does not fit the capacity.
int32_t GatherHeaderField(const char *text, const char *tag, ValueAccumulator *acc);

#endif  // ZK_MAIL_RECEIVE_HEADER_FIELD_H
