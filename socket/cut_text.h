// cut_text.h -- copies of reply texts into fixed stores and caller buffers, cut to fit at a
// character boundary: what the protocol families keep of a server's words.
#ifndef ZK_SOCKET_CUT_TEXT_H
#define ZK_SOCKET_CUT_TEXT_H

#include <cstdint>

#include "zknet/zkconf.h"

// A UTF-16 literal of the zk_wchar_t type of the build (wchar_t on Windows, char16_t elsewhere).
#if defined(_WIN32)
#  define ZK_WTEXT(text) L##text
#else
#  define ZK_WTEXT(text) u##text
#endif

// Copies as much of `text` as fits with its terminator, never splitting a double-byte character
// of the ANSI code page (or a UTF-16 surrogate pair). Returns the length copied.
int32_t CopyCutA(char *dest, int32_t size, const char *text);
int32_t CopyCutW(zk_wchar_t *dest, int32_t units, const zk_wchar_t *text);

// ANSI text to UTF-16, cut to the destination. Returns the units copied without the terminator.
int32_t AnsiToWideCut(const char *text, zk_wchar_t *dest, int32_t units);

#endif  // ZK_SOCKET_CUT_TEXT_H
