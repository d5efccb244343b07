// header_fields.cpp -- the session's X-Mailer and Content-Type header fields: their defaults, the
// exported setters, and the charset the Content-Type names. Both are stored as the lines they
// become, each ending in LF.
#include <cstring>
#include <string>
#include <vector>

#include "mail/mail_text.h"
#include "mail/send/smtp.h"
#include "platform/platform.h"
#include "socket/cut_text.h"
#include "socket/text_helpers.h"

namespace {

const char kDefaultMailer[] = "X-Mailer: ZK_Library Mail Function 1.0.0\n";
const char kDefaultContentType[] =
    "Content-Type: text/plain;\n\tformat=fixed;\n\tcharset=\"iso-2022-jp\";\n\treply-type=original\n";
const char kContentTypeFormat[] = "Content-Type: %s;\n\tformat=%s;\n\tcharset=\"%s\";\n\treply-type=%s\n";
// What the field leaves for the values: 260 bytes less the terminator and the fixed text.
constexpr size_t kMailerText = kMailFieldSize - 1 - (sizeof("X-Mailer: \n") - 1);
constexpr size_t kContentTypeValues = kMailFieldSize - 1 - (sizeof(kContentTypeFormat) - 1 - 4 * 2);

bool SameNoCase(const char *a, const char *b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != b[i]) return false;  // b is lower case
    }
    return true;
}

void SetMailer(MailHandle *handle, const char *text) {
    if (handle == nullptr) return;
    std::string line = MailOneLineA(text);
    // A name too long for the field is cut at a character boundary: it only describes the sender.
    char cut[kMailerText + 1];
    CopyCutA(cut, sizeof(cut), line.c_str());
    std::memset(handle->xMailer, 0, sizeof(handle->xMailer));
    win::FormatA(handle->xMailer, kMailFieldSize, "X-Mailer: %s\n", cut);
}

void SetContentType(MailHandle *handle, const char *type, const char *charset, const char *format,
                    const char *reply_type) {
    if (handle == nullptr || type == nullptr || type[0] == '\0') return;
    std::string values[4] = {MailOneLineA(type), MailOneLineA(format != nullptr ? format : "fixed"),
                             MailOneLineA(charset != nullptr ? charset : "iso-2022-jp"),
                             MailOneLineA(reply_type != nullptr ? reply_type : "original")};
    // A cut type or charset would name something else: values that do not fit change nothing.
    size_t total = 0;
    for (const std::string &v : values) total += v.size();
    if (total > kContentTypeValues) return;
    std::memset(handle->contentType, 0, sizeof(handle->contentType));
    win::FormatA(handle->contentType, kMailFieldSize, kContentTypeFormat, values[0].c_str(), values[1].c_str(),
                 values[2].c_str(), values[3].c_str());
}

// UTF-16 text in ANSI; null stays null. Two bytes a unit always suffice.
struct Narrow {
    explicit Narrow(const zk_wchar_t *text) : null(text == nullptr) {
        if (null) return;
        int32_t units = WideLength(text);
        if (units > (INT32_MAX - 1) / 2) units = 0;
        bytes.assign(static_cast<size_t>(units) * 2 + 1, '\0');
        if (units > 0) WideToAnsi(text, bytes.data(), static_cast<int32_t>(bytes.size()));
    }
    const char *get() const { return null ? nullptr : bytes.data(); }
    bool null;
    std::vector<char> bytes;
};

}  // namespace

MailCharset MessageCharset(const MailHandle *handle) {
    // The block is of our own making: "charset=" and the value in quotes, on a line of its own.
    const char *field = handle->contentType;
    size_t length = strnlen(field, kMailFieldSize);
    static const char kKey[] = "charset=\"";
    const size_t key_length = sizeof(kKey) - 1;
    for (size_t i = 0; i + key_length <= length; ++i) {
        if (!SameNoCase(field + i, kKey, key_length)) continue;
        const char *value = field + i + key_length;
        size_t rest = length - i - key_length;
        static const char kUtf8[] = "utf-8\"";
        bool utf8 = rest >= sizeof(kUtf8) - 1 && SameNoCase(value, kUtf8, sizeof(kUtf8) - 1);
        return utf8 ? MailCharset::kUtf8 : MailCharset::kIso2022Jp;
    }
    return MailCharset::kIso2022Jp;
}

void MailSetDefaultFields(MailHandle *handle) {
    std::memset(handle->xMailer, 0, sizeof(handle->xMailer));
    std::memset(handle->contentType, 0, sizeof(handle->contentType));
    std::memcpy(handle->xMailer, kDefaultMailer, sizeof(kDefaultMailer));
    std::memcpy(handle->contentType, kDefaultContentType, sizeof(kDefaultContentType));
}

extern "C" {

ZK_EXPORT void ZK_API ZK_MailSetXMailerA(MailHandle *handle, const char *text) {
    try {
        SetMailer(handle, text);
    } catch (...) {
    }
}

ZK_EXPORT void ZK_API ZK_MailSetXMailerW(MailHandle *handle, const zk_wchar_t *text) {
    if (handle == nullptr) return;
    try {
        Narrow narrow(text);
        SetMailer(handle, narrow.get());
    } catch (...) {
    }
}

ZK_EXPORT void ZK_API ZK_MailSetContentTypeA(MailHandle *handle, const char *type, const char *charset,
                                             const char *format, const char *reply_type) {
    try {
        SetContentType(handle, type, charset, format, reply_type);
    } catch (...) {
    }
}

ZK_EXPORT void ZK_API ZK_MailSetContentTypeW(MailHandle *handle, const zk_wchar_t *type, const zk_wchar_t *charset,
                                             const zk_wchar_t *format, const zk_wchar_t *reply_type) {
    if (handle == nullptr) return;
    try {
        Narrow t(type), c(charset), f(format), r(reply_type);
        SetContentType(handle, t.get(), c.get(), f.get(), r.get());
    } catch (...) {
    }
}

}  // extern "C"
