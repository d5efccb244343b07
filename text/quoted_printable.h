// quoted_printable.h -- decoding of quoted-printable text.
#ifndef ZK_TEXT_QUOTED_PRINTABLE_H
#define ZK_TEXT_QUOTED_PRINTABLE_H

#include <cstdint>

// Decodes a zero-terminated quoted-printable text into `output` (cleared first). Bytes written;
// 0 for an empty text; -1 on a control byte or a byte of 0x80 or above standing literally, or
// when the next byte and the terminator do not fit (what was decoded before stays). "=" CR LF
// and "=" LF are soft line breaks; an "=" not followed by two hex digits stands for itself.
// Underscores stay underscores.
int32_t QpDecode(const char *text, char *output, int32_t size);

#endif  // ZK_TEXT_QUOTED_PRINTABLE_H
