// token.h -- taking fixed-form values apart: the Date field, and the number and size of a
// mailbox listing line (their numbers read by socket/number_text.h).
#ifndef ZK_MAIL_RECEIVE_TOKEN_H
#define ZK_MAIL_RECEIVE_TOKEN_H

#include <cstdint>

// Copies `source` into `destination` up to the delimiter, the end of the text or `limit` bytes,
// and terminates it; `destination` holds limit + 1 bytes. A double-byte character is copied
// whole (its bytes are never taken for the delimiter) or, when it would pass the limit, not at
// all. Returns the length copied; a negative limit gives an empty destination.
int32_t CopyToken(char *destination, const char *source, char delimiter, int32_t limit);

#endif  // ZK_MAIL_RECEIVE_TOKEN_H
