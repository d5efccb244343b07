// header_tag.cpp -- the decoded value of one named header field, as ANSI and as UTF-16 text.
#include <cstring>

#include "mail/receive/header_field.h"
#include "socket/text_helpers.h"
#include "text/encoded_words.h"
#include "text/scratch.h"
#include "zknet/mail.h"

ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderTagA(const char *text, const char *tag, char *out, int32_t size) {
    int32_t room = out != nullptr && size > 0 ? size : 0;
    if (room > 0) std::memset(out, 0, static_cast<size_t>(room));
    // An empty tag names no field (every line would begin with it).
    if (tag == nullptr || tag[0] == '\0') return -1;
    std::unique_ptr<char[]> gathered = NewScratch(room > 0 ? room : 1);
    if (!gathered) return -1;
    gathered[0] = '\0';
    ValueAccumulator acc{gathered.get(), 0, static_cast<size_t>(room), false};
    int32_t length = GatherHeaderField(text, tag, &acc);
    if (length <= 0) return length;
    // The raw value is shorter than the output, and decoding never lengthens it (every encoded
    // word is longer than its text), so the decoded value is never cut here.
    return DecodeEncodedWords(acc.text, out, room);
}

ZK_EXPORT int32_t ZK_API ZK_MailGetHeaderTagW(const char *text, const zk_wchar_t *tag, zk_wchar_t *out, int32_t size) {
    int64_t tag_bytes = 2 * static_cast<int64_t>(WideLength(tag)) + 2;  // room for double-byte ANSI
    if (tag_bytes > 0x7FFFFFFF) return 0;
    std::unique_ptr<char[]> ansi_tag = NewScratch(tag_bytes);
    if (!ansi_tag) return -1;
    int32_t converted = WideToAnsi(tag, ansi_tag.get(), static_cast<int32_t>(tag_bytes));
    if (converted <= 0) return converted;
    int32_t room = out != nullptr && size > 0 ? size : 0;
    std::unique_ptr<char[]> value = NewScratch(room > 0 ? room : 1);
    if (!value) return -1;
    int32_t result = ZK_MailGetHeaderTagA(text, ansi_tag.get(), room > 0 ? value.get() : nullptr, room);
    // A value of fewer than `room` bytes always converts into `room` units. On 0 or -1 the
    // caller's output is left as it was.
    if (result > 0) result = AnsiToWide(value.get(), out, room);
    return result;
}
