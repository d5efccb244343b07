// jis_ready.h -- Shift_JIS text made ready for ISO-2022-JP. The IBM extension characters of code
// page 932 (lead bytes 0xFA to 0xFC) have no JIS code; each has a twin of the same character
// among the NEC-selected IBM extensions, NEC row 13 or JIS X 0208 that has one, and Windows
// itself writes that twin when it encodes such text as ISO-2022-JP. What has no JIS code at all
// (the user-defined area) becomes the geta mark, so that the text after it is not lost.
#ifndef ZK_TEXT_JIS_READY_H
#define ZK_TEXT_JIS_READY_H

#include <cstddef>
#include <cstdint>

// Rewrites, in place, each double-byte character of a zero-terminated ANSI text that SjisToJis
// could not map: an IBM extension as its twin, anything else as the geta mark (always two bytes,
// so the length stays). Only under code page 932; returns how many characters were replaced.
int32_t MakeJisReady(char *text);

// The twin of one IBM extension character; false (out untouched) for any other pair.
bool IbmExtensionTwin(unsigned lead, unsigned trail, unsigned char out[2]);

// ISO-2022-JP as mail uses it has no half-width katakana: copies `length` bytes of an ANSI text
// (at most: it ends at a zero byte) into `out` (room for 2 * length bytes), each half-width
// katakana as its full-width character, a voiced or semi-voiced mark after it joined to it where
// the two make one character (ｶﾞ is ガ, ﾊﾟ is パ). A byte of 0x80 or above that begins no
// character is left out, as folding leaves it out. Only under code page 932; any other code page's
// text is copied as it is. Returns the bytes written; no terminator is added.
size_t WidenKana(const char *text, size_t length, char *out);

#endif  // ZK_TEXT_JIS_READY_H
