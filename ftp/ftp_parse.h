// ftp_parse.h -- reading listing lines and 257 replies.
#ifndef ZK_FTP_FTP_PARSE_H
#define ZK_FTP_FTP_PARSE_H

#include <cstddef>
#include <cstdint>

#include "zknet/zkconf.h"

// The permission value of a LIST line (0x755 for rwxr-xr-x, plus the file-type digit), or 0xFFFF.
uint32_t PermissionFromLine(const char *line);

// The name field of a LIST line: where it begins and how long it is. Unix-style lines name the
// file after their date and time (or year), DOS-style lines after the size or <DIR>; a link's
// name ends before " -> ". False when the line has no such field.
bool ListingNameField(const char *line, size_t *offset, size_t *length);

// The name between the first double quote of a reply and the last one after it into `out`.
// Returns its length (0 with fewer than two quotes), or -1 when it does not fit with its
// terminator (`out` empty; a null or empty buffer fits nothing).
int32_t ExtractQuotedNameA(char *out, const char *reply, int32_t size);
int32_t ExtractQuotedNameW(zk_wchar_t *out, const zk_wchar_t *reply, int32_t size);

#endif  // ZK_FTP_FTP_PARSE_H
