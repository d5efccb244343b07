// message_text.h -- the text of a message on its way to the wire: texts made ready for the
// message's charset; the body folded, converted to ISO-2022-JP (or UTF-8 in Base64), its line ends
// made CR LF and its lines dot-stuffed, the end of the data after it. No sockets here, so that all
// of it can be tested and fuzzed alone.
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
// ISO-2022-JP (made ready as JisReadyText makes it, before the folding), made wire text,
// followed by the end of the data. False when memory runs out or the body is too large to fold
// (over 700 MB).
bool PrepareBody(const char *body, size_t length, int32_t width, std::string *wire);

// A text of the caller's (ANSI, Shift_JIS) made ready for ISO-2022-JP: half-width katakana as
// their full-width characters, bytes that begin no character left out, characters without a
// JIS code as their twins or the geta mark (text/jis_ready.h). Ends at a zero byte.
std::string JisReadyText(const char *ansi, size_t length);

// Texts as UTF-8: from the ANSI code page (ending at a zero byte), or from UTF-16 with every
// character carried.
std::string Utf8OfAnsi(const char *ansi, size_t length);
std::string Utf8OfWide(const zk_wchar_t *wide, size_t units);

// Folds UTF-8 text to `width` as FoldText folds ANSI text: a character of ASCII or a half-width
// katakana takes one column, any other character two and is never split.
std::string FoldUtf8(const std::string &text, int32_t width);

// The body of a UTF-8 message as it goes out: the empty line that ends the header block (the
// body's own first line break, if it has one, is taken as that line), then the text folded to
// `width` unless it is -1, with CR LF line ends, as Base64 in lines of 76 characters, then the
// end of the data. False when memory runs out or the body is over 700 MB.
bool PrepareUtf8Body(const std::string &utf8, int32_t width, std::string *wire);

#endif  // ZK_MAIL_SEND_MESSAGE_TEXT_H
