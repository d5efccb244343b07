// ftp_text.h -- bounded copies and small text steps the FTP operations share.
#ifndef ZK_FTP_FTP_TEXT_H
#define ZK_FTP_FTP_TEXT_H

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

// The text after the first blank of a reply; empty when there is none. Returns its length.
int32_t TextAfterFirstSpaceA(const char *reply, char *out, int32_t size);
int32_t TextAfterFirstSpaceW(const zk_wchar_t *reply, zk_wchar_t *out, int32_t units);

// Whether a text holds a CR or LF (which would end a command line early).
bool HasLineBreakA(const char *text);
bool HasLineBreakW(const zk_wchar_t *text);

#endif  // ZK_FTP_FTP_TEXT_H
