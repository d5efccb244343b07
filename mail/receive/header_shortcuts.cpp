// header_shortcuts.cpp -- the usual header fields by their fixed tags.
#include "zknet/mail.h"

namespace {
const char kFrom[] = "From:";
const char kSubject[] = "Subject:";
const char kContentType[] = "Content-type:";
const char kTransferEncode[] = "Content-transfer-encoding:";
const zk_wchar_t kFromW[] = {'F', 'r', 'o', 'm', ':', 0};
const zk_wchar_t kSubjectW[] = {'S', 'u', 'b', 'j', 'e', 'c', 't', ':', 0};
const zk_wchar_t kContentTypeW[] = {'C', 'o', 'n', 't', 'e', 'n', 't', '-', 't', 'y', 'p', 'e', ':', 0};
const zk_wchar_t kTransferEncodeW[] = {'C', 'o', 'n', 't', 'e', 'n', 't', '-', 't', 'r', 'a', 'n', 's', 'f',
                                       'e', 'r', '-', 'e', 'n', 'c', 'o', 'd', 'i', 'n', 'g', ':', 0};
}  // namespace

ZK_EXPORT int32_t ZK_API ZK_MailGetFromA(const char *text, char *out, int32_t size) {
    return ZK_MailGetHeaderTagA(text, kFrom, out, size);
}
ZK_EXPORT int32_t ZK_API ZK_MailGetFromW(const char *text, zk_wchar_t *out, int32_t size) {
    return ZK_MailGetHeaderTagW(text, kFromW, out, size);
}
ZK_EXPORT int32_t ZK_API ZK_MailGetSubjectA(const char *text, char *out, int32_t size) {
    return ZK_MailGetHeaderTagA(text, kSubject, out, size);
}
ZK_EXPORT int32_t ZK_API ZK_MailGetSubjectW(const char *text, zk_wchar_t *out, int32_t size) {
    return ZK_MailGetHeaderTagW(text, kSubjectW, out, size);
}
ZK_EXPORT int32_t ZK_API ZK_MailGetContentTypeA(const char *text, char *out, int32_t size) {
    return ZK_MailGetHeaderTagA(text, kContentType, out, size);
}
ZK_EXPORT int32_t ZK_API ZK_MailGetContentTypeW(const char *text, zk_wchar_t *out, int32_t size) {
    return ZK_MailGetHeaderTagW(text, kContentTypeW, out, size);
}
ZK_EXPORT int32_t ZK_API ZK_MailGetTransferEncodeA(const char *text, char *out, int32_t size) {
    return ZK_MailGetHeaderTagA(text, kTransferEncode, out, size);
}
ZK_EXPORT int32_t ZK_API ZK_MailGetTransferEncodeW(const char *text, zk_wchar_t *out, int32_t size) {
    return ZK_MailGetHeaderTagW(text, kTransferEncodeW, out, size);
}
