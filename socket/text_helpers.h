// text_helpers.h -- the conversions between the ANSI code page and UTF-16 that every W operation
// uses, and the case-blind containment test by which every client judges server replies.
#ifndef ZK_SOCKET_TEXT_HELPERS_H
#define ZK_SOCKET_TEXT_HELPERS_H

#include <cstdint>

#include "zknet/zkconf.h"

// Units written including the terminator; -1 for an empty source (destination left empty);
// 0 when the text does not convert or does not fit.
int32_t AnsiToWide(const char *source, zk_wchar_t *dest, int32_t dest_units);

// Bytes written without the terminator, into a destination first filled with zeros; -1 for an
// empty source; 0 when the text does not convert or does not fit.
int32_t WideToAnsi(const zk_wchar_t *source, char *dest, int32_t dest_bytes);

// 1 when `text` holds `pattern` anywhere, A to Z compared without case; an empty pattern is
// always contained. Null texts count as empty.
int32_t ContainsNoCaseA(const char *text, const char *pattern);
int32_t ContainsNoCaseW(const zk_wchar_t *text, const zk_wchar_t *pattern);

// Length of a UTF-16 text in units, not counting the terminator; 0 for null.
int32_t WideLength(const zk_wchar_t *text);

#endif  // ZK_SOCKET_TEXT_HELPERS_H
