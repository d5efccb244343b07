// decode_span.h -- the Base64 and quoted-printable decoders over a stretch of text given by its
// start and length, so that encoded words can be decoded where they stand in a header value.
#ifndef ZK_TEXT_DECODE_SPAN_H
#define ZK_TEXT_DECODE_SPAN_H

#include <cstddef>
#include <cstdint>

// They decode `length` bytes of `text` into `output`, which has room for `size` bytes, end what
// they wrote with a terminator and return the number of bytes decoded, or -1 (what was decoded
// stays, terminated) under the rules of Base64Decode and QpDecode. `output` is not cleared.
// QDecodeSpan is the Q encoding of encoded words: QpDecodeSpan with "_" read as a space.
int64_t Base64DecodeSpan(const char *text, size_t length, char *output, int64_t size);
int64_t QpDecodeSpan(const char *text, size_t length, char *output, int64_t size);
int64_t QDecodeSpan(const char *text, size_t length, char *output, int64_t size);

#endif  // ZK_TEXT_DECODE_SPAN_H
