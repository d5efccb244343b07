// transfer_charset.h -- a transfer encoding and a character-set conversion in one step: the
// texts of encoded words decoded to Shift_JIS, and UTF-16 encoded as Base64 of ISO-2022-JP.
#ifndef ZK_TEXT_TRANSFER_CHARSET_H
#define ZK_TEXT_TRANSFER_CHARSET_H

#include <cstdint>

#include "zknet/zkconf.h"

// UTF-16 text as Base64 of its ISO-2022-JP form. Length of the Base64 text; -1 (output
// untouched) when WideToJis gives -1; otherwise as Base64Encode.
int32_t WideToJisBase64(const zk_wchar_t *input, char *output, int32_t size);

// Base64 of ISO-2022-JP, EUC-JP or UTF-8 text to Shift_JIS (ANSI). -1 when the Base64 text does
// not decode within twice `size` or decodes to nothing; otherwise the result of JisToSjis,
// EucToSjis or Utf8ToAnsi on the decoded bytes.
int32_t Base64JisToSjis(const char *text, char *output, int32_t size);
int32_t Base64EucToSjis(const char *text, char *output, int32_t size);
int32_t Base64Utf8ToAnsi(const char *text, char *output, int32_t size);

// Quoted-printable ISO-2022-JP to Shift_JIS: -1 when QpDecode fails or gives nothing, otherwise
// the result of JisToSjis.
int32_t QpJisToSjis(const char *text, char *output, int32_t size);

#endif  // ZK_TEXT_TRANSFER_CHARSET_H
