// encoded_words.h -- decoding a header value that carries MIME encoded words into ANSI text.
#ifndef ZK_TEXT_ENCODED_WORDS_H
#define ZK_TEXT_ENCODED_WORDS_H

#include <cstdint>

// Decodes the encoded words of a zero-terminated header value (B and Q form, any case, in
// ISO-2022-JP, Shift_JIS under that name or as CP932 or windows-31j, EUC-JP and UTF-8) into
// `output` (cleared first), copies the rest, and converts raw ISO-2022-JP in the result. White
// space between two encoded words is dropped, anywhere else it stays; adjacent words of one
// charset are converted together, so a character split between them comes out whole. A result
// longer than the output is cut after its last whole character. Length of the output text; -1
// when no working memory could be had.
int32_t DecodeEncodedWords(const char *value, char *output, int32_t size);

#endif  // ZK_TEXT_ENCODED_WORDS_H
