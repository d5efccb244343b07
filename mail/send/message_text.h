// message_text.h -- the text of a message on its way to the wire: the body folded, converted to
// ISO-2022-JP, its line ends made CR LF and its lines dot-stuffed, the end of the data after it;
// the subject in its two forms. No sockets here, so that all of it can be tested and fuzzed alone.
#ifndef ZK_MAIL_SEND_MESSAGE_TEXT_H
#define ZK_MAIL_SEND_MESSAGE_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "zknet/zkconf.h"

// The end of the data: after the body's last line, a line holding a single period.
extern const char kEndOfData[];  // "\r\n.\r\n"

// Folds `length` bytes (at most: the text ends at a zero byte) of a zero-terminated ANSI text into `output` (`size` bytes, terminator
// included) as ZK_MailJustifiedText does; `*written` gets the length. False when the output
// filled up first (what was folded stays, terminated). Never writes past `size`.
bool FoldText(const char *text, size_t length, char *output, size_t size, int32_t width, size_t *written);

// The most bytes folding `length` bytes can give, the terminator not counted.
constexpr size_t FoldedBound(size_t length) { return 3 * length; }

// Appends text to `wire` as it must go out inside the data: a bare CR or bare LF becomes CR LF
// (an existing CR LF stays one), and a line that begins with a period gets a second one.
// `*line_start` carries whether the next byte begins a line (true at the start of the data).
void AppendWireText(std::string &wire, const char *text, size_t length, bool *line_start);
// The same line ends without the doubling: a stored message made CR LF before it is read.
void AppendCrLfText(std::string &out, const char *text, size_t length, bool *line_start);
// Appends the end of the data after wire text; `line_start` as AppendWireText left it.
void AppendEndOfData(std::string &wire, bool line_start);

// The body (ANSI, Shift_JIS) as it goes out: folded to `width` unless it is -1, converted to
// ISO-2022-JP (characters without a JIS code as their twins or the geta mark), made wire text,
// followed by the end of the data. False when memory runs out or the body is too large to fold
// (over 700 MB).
bool PrepareBody(const char *body, size_t length, int32_t width, std::string *wire);

// The Subject header line (with CR LF) of the A form: the text in ISO-2022-JP as it stands;
// empty after "Subject: " when its conversion does not fit 511 bytes.
std::string SubjectLineA(const std::string &subject);
// Of the W form: the text (already in ANSI) as one "=?ISO-2022-JP?B?...?=" encoded word whose
// Base64 text holds at most 511 characters: cut at the last whole character that fits, with
// ISO-2022-JP's closing escape; empty when the ANSI text or its conversion does not fit 511 bytes.
std::string SubjectLineW(const std::string &ansi_subject);

#endif  // ZK_MAIL_SEND_MESSAGE_TEXT_H
