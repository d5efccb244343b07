// copy_text.h -- copying result texts into caller buffers that come with their size.
#ifndef ZK_SOCKET_COPY_TEXT_H
#define ZK_SOCKET_COPY_TEXT_H

#include <cstdint>

#include "zknet/zkconf.h"

// Clears `dest` (when it has room) to the empty text.
void ClearText(char *dest, int32_t size);
void ClearTextW(zk_wchar_t *dest, int32_t units);

// Copies a whole text with its terminator. A text that does not fit is not cut short (a cut name
// or address would be a wrong one): the buffer is left empty and the result is false.
bool CopyText(char *dest, int32_t size, const char *text);
bool CopyTextW(zk_wchar_t *dest, int32_t units, const zk_wchar_t *text);

#endif  // ZK_SOCKET_COPY_TEXT_H
