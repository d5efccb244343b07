// charset.h -- conversions between the Japanese text forms mail carries: Shift_JIS (the ANSI
// text), ISO-2022-JP, EUC-JP, UTF-8 and UTF-16, and the tests they are built on.
#ifndef ZK_TEXT_CHARSET_H
#define ZK_TEXT_CHARSET_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "zknet/zkconf.h"

// Every conversion takes a zero-terminated input and an output buffer with its size (bytes, or
// 16-bit units for UTF-16 output, terminator included), never writes past that size and
// returns -1 for an empty input; the other results are given with each one.

// Shift_JIS to ISO-2022-JP. Length written; -1 when the input is longer than `size` bytes, when
// a double-byte character has no JIS code (the output keeps the text before it) or when the
// result with its closing escape and terminator does not fit (the output is left empty).
int32_t SjisToJis(const char *input, char *output, int32_t size);

// UTF-16 to ISO-2022-JP through the ANSI code page. As SjisToJis; 0 when the text does not
// convert to ANSI within `size` bytes; -1 when it has more than `size` units.
int32_t WideToJis(const zk_wchar_t *input, char *output, int32_t size);

// ISO-2022-JP to Shift_JIS. Length written; -1 when the input is longer than `size` bytes or
// the result and terminator do not fit. A JIS code with no Shift_JIS form is copied as it is;
// after ESC ( I the JIS X 0201 katakana become Shift_JIS's half-width katakana.
int32_t JisToSjis(const char *input, char *output, int32_t size);

// ISO-2022-JP to UTF-16. Units written including the terminator; -1 for an input longer than
// `units`; 0 when the UTF-16 text does not fit.
int32_t JisToWide(const char *input, zk_wchar_t *output, int32_t units);

// Converts a text holding an ESC byte anywhere from ISO-2022-JP to Shift_JIS in its own buffer
// of `size` bytes; any other text is left alone.
void JisToSjisInPlace(char *text, int32_t size);

// EUC-JP to ISO-2022-JP (entered with ESC $ @, left open at the end). Length written; -1 when
// the input is longer than `size` bytes or the result and terminator do not fit (output empty).
int32_t EucToJis(const char *input, char *output, int32_t size);

// EUC-JP to Shift_JIS. Length written; -1 when the input is longer than `size` bytes.
// Half-width katakana keep their byte; JIS X 0212 characters become the geta mark.
int32_t EucToSjis(const char *input, char *output, int32_t size);

// EUC-JP to UTF-16. Units written including the terminator; -1 as EucToSjis; 0 when the
// UTF-16 text does not fit.
int32_t EucToWide(const char *input, zk_wchar_t *output, int32_t units);

// UTF-8 to UTF-16. Units written including the terminator; 0 when they do not fit.
int32_t Utf8ToWide(const char *input, zk_wchar_t *output, int32_t units);

// Appends `units` units of UTF-16 text to `out` as UTF-8; a surrogate without its other half
// becomes U+FFFD.
void AppendUtf8(std::string &out, const zk_wchar_t *text, size_t units);

// UTF-8 to ANSI. Length written; 0 when the text does not fit in `size` units of UTF-16 or in
// `size` bytes of ANSI. Characters the ANSI code page lacks become its default character.
int32_t Utf8ToAnsi(const char *input, char *output, int32_t size);

// Whether the byte at `position` and the one after it form one double-byte character of the
// ANSI code page (a lead byte followed by a trail byte, which is never the terminator).
bool IsDoubleByteChar(const char *position);

// Length of the ISO-2022-JP escape sequence at `position` that enters double-byte mode
// (ESC $ @, ESC $ B, ESC & @ ESC $ B, ESC $ ( D), or 0 when none starts there.
int32_t IsKanjiInEscape(const char *position);

// Length of the escape sequence at `position` that leaves double-byte mode (ESC ( B, ESC ( J,
// ESC ( I), or 0.
int32_t IsKanjiOutEscape(const char *position);

#endif  // ZK_TEXT_CHARSET_H
