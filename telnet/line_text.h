// line_text.h -- turning a received burst of bytes into lines: NUL removal, splitting at line
// breaks, the last-response copy and the caller's line lists.
#ifndef ZK_TELNET_LINE_TEXT_H
#define ZK_TELNET_LINE_TEXT_H

#include <cstdint>

#include "zknet/telnet.h"

// Removes every NUL byte from the first `length` bytes (Telnet pads a bare CR with NUL), ends the
// text with NUL there and returns its new length. `text` must have room for length + 1 bytes.
int32_t StripNulBytes(char *text, int32_t length);

// Rewrites the first `length` bytes so that lines are separated by single NUL bytes: leading CR
// and LF bytes go, every run of CR and LF after text becomes one NUL (so empty lines vanish), the
// rest up to `length` is zeroed. Returns the rewritten bytes + 1 (the terminating NUL), 1 for a
// text of line breaks only. `text` must have room for length + 1 bytes.
int32_t SplitLines(char *text, int32_t length);

// Stores the first min(count, 4096) - 1 bytes of a split text as the last response, each separator
// NUL shown as 0x81 0xAB; stops before a character (or a mark) that would leave no room for the
// terminator. A count below 2 gives an empty store.
void SetTelnetLastResponse(const char *text, int32_t count);

// Fills `list` with the non-empty lines among the first `count` bytes of a split text: narrow
// copies, or UTF-16 conversions for the W form. A null list gives 1 at once. Returns 1, or 0 with
// code 8 (no separator, count below 1) or 7 (no memory; the list is left empty).
int32_t BuildLineListA(const char *text, int32_t count, TelnetLineList *list);
int32_t BuildLineListW(const char *text, int32_t count, TelnetLineList *list);

// Releases the lines and the array and empties the list; sets no error code.
void ReleaseLineList(TelnetLineList *list);

#endif  // ZK_TELNET_LINE_TEXT_H
