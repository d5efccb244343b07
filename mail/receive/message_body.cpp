// message_body.cpp -- the body of a single-part 7bit message, converted from the charset its
// Content-type names into ANSI or UTF-16 text.
#include <cstring>

#include "mail/receive/header_lines.h"
#include "socket/text_helpers.h"
#include "text/charset.h"
#include "zknet/mail.h"

namespace {
constexpr int32_t kFieldSize = 1024;

enum class BodyCharset { kIso2022Jp, kShiftJis, kEucJp, kUtf8, kOther };

// The first charset name the Content-type value holds anywhere, in this order.
BodyCharset CharsetOf(const char *content_type) {
    if (ContainsNoCaseA(content_type, "iso-2022-jp")) return BodyCharset::kIso2022Jp;
    if (ContainsNoCaseA(content_type, "shift_jis")) return BodyCharset::kShiftJis;
    if (ContainsNoCaseA(content_type, "euc-jp")) return BodyCharset::kEucJp;
    if (ContainsNoCaseA(content_type, "utf-8")) return BodyCharset::kUtf8;
    return BodyCharset::kOther;
}

// Where the body of a 7bit message starts (with the CR LF of the empty line that ends the
// header), and its charset; null for an empty text and for any other transfer encoding. A
// message that names none is 7bit, as MIME has it (many phones' messages name none).
const char *SevenBitBody(const char *text, BodyCharset *charset) {
    if (text == nullptr || text[0] == '\0') return nullptr;
    char encoding[kFieldSize];
    if (ZK_MailGetTransferEncodeA(text, encoding, kFieldSize) != 0 && !ContainsNoCaseA(encoding, "7bit")) return nullptr;
    char type[kFieldSize];
    ZK_MailGetContentTypeA(text, type, kFieldSize);
    *charset = CharsetOf(type);
    return text + FindHeaderEnd(text);
}
}  // namespace

// A body that does not fit the output is not cut (a cut body reads as a complete one): the
// output is left empty and the result is -1. A body fits when it is shorter than `size` bytes
// as it stands in the message.
ZK_EXPORT int32_t ZK_API ZK_MailGetBodyA(const char *text, char *out, int32_t size) {
    BodyCharset charset;
    const char *body = SevenBitBody(text, &charset);
    if (body == nullptr) return -2;
    if (out == nullptr || size <= 0) return -1;
    std::memset(out, 0, static_cast<size_t>(size));
    size_t length = std::strlen(body);
    if (length >= static_cast<size_t>(size)) return -1;
    if (length == 0) return 0;
    int32_t converted;
    switch (charset) {
        case BodyCharset::kIso2022Jp: converted = JisToSjis(body, out, size); break;
        case BodyCharset::kEucJp: converted = EucToSjis(body, out, size); break;
        case BodyCharset::kUtf8: converted = Utf8ToAnsi(body, out, size); break;
        default:
            std::memcpy(out, body, length);
            converted = static_cast<int32_t>(length);
    }
    if (converted <= 0) {
        std::memset(out, 0, static_cast<size_t>(size));
        return 0;
    }
    return static_cast<int32_t>(std::strlen(out));
}

ZK_EXPORT int32_t ZK_API ZK_MailGetBodyW(const char *text, zk_wchar_t *out, int32_t size) {
    BodyCharset charset;
    const char *body = SevenBitBody(text, &charset);
    if (body == nullptr) return -2;
    if (out == nullptr || size <= 0) return -1;
    std::memset(out, 0, static_cast<size_t>(size) * sizeof(zk_wchar_t));
    size_t length = std::strlen(body);
    if (length >= static_cast<size_t>(size)) return -1;
    if (length == 0) return 0;
    int32_t converted;
    switch (charset) {
        case BodyCharset::kIso2022Jp: converted = JisToWide(body, out, size); break;
        case BodyCharset::kEucJp: converted = EucToWide(body, out, size); break;
        case BodyCharset::kUtf8: converted = Utf8ToWide(body, out, size); break;
        default: converted = AnsiToWide(body, out, size);  // Shift_JIS is the ANSI code page's text
    }
    if (converted <= 0) {
        out[0] = 0;
        return 0;
    }
    return WideLength(out);
}
