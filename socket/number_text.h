// number_text.h -- decimal numbers in server replies and message fields, read as atoi reads them
// but never past what the result can hold (a server's number is not to be trusted with overflow).
#ifndef ZK_SOCKET_NUMBER_TEXT_H
#define ZK_SOCKET_NUMBER_TEXT_H

#include <cstdint>

// Leading white space, an optional sign, the digits up to the first other character; 0 without
// digits or for null. Held at the 32-bit limits where it would pass them.
int32_t ParseSaturatedInt32(const char *text);

#endif  // ZK_SOCKET_NUMBER_TEXT_H
