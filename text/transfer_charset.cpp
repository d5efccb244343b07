// transfer_charset.cpp -- Base64 or quoted-printable and a character-set conversion in one step.
#include "text/transfer_charset.h"

#include <cstring>

#include "text/base64.h"
#include "text/charset.h"
#include "text/decode_span.h"
#include "text/output_buffer.h"
#include "text/scratch.h"

namespace {
using Decoder = int64_t (*)(const char *, size_t, char *, int64_t);
using Converter = int32_t (*)(const char *, char *, int32_t);

// The decoded bytes get twice the output's room: the conversion, not the decoding, decides
// whether the text fits. They go into working memory that is never cleared as a whole, so a
// large buffer costs only the pages the text fills.
int32_t DecodeThenConvert(const char *text, char *output, int32_t size, Decoder decode, Converter convert) {
    if (output == nullptr || size <= 0) return -1;
    int64_t scratch_size = static_cast<int64_t>(size) * 2;
    std::unique_ptr<char[]> bytes = NewScratch(scratch_size);
    size_t length = text == nullptr ? 0 : std::strlen(text);
    if (!bytes || decode(text, length, bytes.get(), scratch_size) < 0) {
        ClearOutput(output, size);
        return -1;
    }
    return convert(bytes.get(), output, size);  // nothing decoded gives -1 for the empty text
}
}  // namespace

int32_t WideToJisBase64(const zk_wchar_t *input, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return -1;
    std::unique_ptr<char[]> jis = NewScratch(static_cast<int64_t>(size) * 2);
    if (!jis) return -1;
    int32_t n = WideToJis(input, jis.get(), size);
    if (n == -1) return -1;  // the caller's output stays as it was
    return Base64Encode(jis.get(), n, output, size);
}

int32_t Base64JisToSjis(const char *text, char *output, int32_t size) {
    return DecodeThenConvert(text, output, size, Base64DecodeSpan, JisToSjis);
}

int32_t Base64EucToSjis(const char *text, char *output, int32_t size) {
    return DecodeThenConvert(text, output, size, Base64DecodeSpan, EucToSjis);
}

int32_t Base64Utf8ToAnsi(const char *text, char *output, int32_t size) {
    return DecodeThenConvert(text, output, size, Base64DecodeSpan, Utf8ToAnsi);
}

int32_t QpJisToSjis(const char *text, char *output, int32_t size) {
    return DecodeThenConvert(text, output, size, QpDecodeSpan, JisToSjis);
}
