// ftp_parse.h -- reading listing lines and 257 replies.
#ifndef ZK_FTP_FTP_PARSE_H
#define ZK_FTP_FTP_PARSE_H

#include <cstdint>

#include "zknet/zkconf.h"

// The permission value of a LIST line (0x755 for rwxr-xr-x, plus the file-type digit), or 0xFFFF.
uint32_t PermissionFromLine(const char *line);

// The name between the first double quote of a reply and the last one after it into `out`.
// Returns its length (0 with fewer than two quotes), or -1 when it does not fit with its
// terminator (`out` empty; a null or empty buffer fits nothing).
int32_t ExtractQuotedNameA(char *out, const char *reply, int32_t size);
int32_t ExtractQuotedNameW(zk_wchar_t *out, const zk_wchar_t *reply, int32_t size);

#endif  // ZK_FTP_FTP_PARSE_H
