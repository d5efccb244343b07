// header_lines.h -- walking the header of a message text line by line, and finding where it ends.
#ifndef ZK_MAIL_RECEIVE_HEADER_LINES_H
#define ZK_MAIL_RECEIVE_HEADER_LINES_H

#include <cstddef>
#include <cstdint>

// One line of a message text, looked at where it stands in the text.
struct HeaderLine {
    const char *start;
    size_t length;     // up to the CR that ends it, or to the end of the text
    const char *next;  // where the next line starts: past the CR and the LF after it, if any
};

// The line at `position` of a zero-terminated text. Lines are never copied into a buffer of
// their own, so a line of any length is taken whole and the text after a long line is never
// mistaken for a line of its own. Returns the line's length; 0 for an empty line or the end of
// the text.
size_t CopyHeaderLine(const char *position, HeaderLine *line);

// Length of the header: the lines before the first empty line, with the CR LF of the last one;
// the whole text when no empty line comes. -1 for a null or empty text.
int64_t FindHeaderEnd(const char *text);

#endif  // ZK_MAIL_RECEIVE_HEADER_LINES_H
