// base64.h -- Base64 (the MIME alphabet, no line breaks) in both directions.
#ifndef ZK_TEXT_BASE64_H
#define ZK_TEXT_BASE64_H

#include <cstdint>

// Encodes `length` bytes into `output` (cleared first). Length of the text; -1 when the next
// group of four characters and the terminator do not fit (the groups before it stay).
int32_t Base64Encode(const void *data, int32_t length, char *output, int32_t size);

// Decodes a zero-terminated Base64 text into `output` (cleared first). Bytes written; 0 for an
// empty text; -1 when a group's three bytes and the terminator might not fit (the bytes before
// it stay). Characters outside the alphabet are passed over and a short last group gives the
// bytes it holds.
int32_t Base64Decode(const char *text, char *output, int32_t size);

#endif  // ZK_TEXT_BASE64_H
