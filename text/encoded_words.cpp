// encoded_words.cpp -- header values with MIME encoded words turned into ANSI (Shift_JIS) text.
#include "text/encoded_words.h"

#include <cstring>

#include "text/charset.h"
#include "text/decode_span.h"
#include "text/scratch.h"

namespace {
using SpanDecoder = int64_t (*)(const char *, size_t, char *, int64_t);
using Converter = int32_t (*)(const char *, char *, int32_t);

struct Form {
    const char *opening;
    size_t length;
    SpanDecoder decode;
    Converter convert;  // null: the decoded bytes are Shift_JIS already
};

// Tried in this order; a word of any other charset or encoding is plain text.
const Form kForms[] = {
    {"=?ISO-2022-JP?B?", 16, Base64DecodeSpan, JisToSjis},
    {"=?ISO-2022-JP?Q?", 16, QpDecodeSpan, JisToSjis},
    {"=?Shift_JIS?B?", 14, Base64DecodeSpan, nullptr},
    {"=?EUC-JP?B?", 11, Base64DecodeSpan, EucToSjis},
    {"=?UTF-8?B?", 10, Base64DecodeSpan, Utf8ToAnsi},
};
constexpr int kNoForm = -1;

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int FormAt(const char *value, size_t p, size_t n) {
    if (n - p < 10 || value[p] != '=' || value[p + 1] != '?') return kNoForm;
    for (int f = 0; f < static_cast<int>(sizeof(kForms) / sizeof(kForms[0])); ++f) {
        const Form &form = kForms[f];
        if (n - p < form.length) continue;
        size_t i = 2;
        while (i < form.length && Fold(value[p + i]) == Fold(form.opening[i])) ++i;
        if (i == form.length) return f;
    }
    return kNoForm;
}

size_t NextOpening(const char *value, size_t from, size_t n) {
    while (from < n) {
        const void *eq = std::memchr(value + from, '=', n - from);
        if (eq == nullptr) return n;
        size_t at = static_cast<size_t>(static_cast<const char *>(eq) - value);
        if (FormAt(value, at, n) != kNoForm) return at;
        from = at + 1;
    }
    return n;
}

size_t SkipBlanks(const char *value, size_t p, size_t n) {
    while (p < n && (value[p] == ' ' || value[p] == '\t')) ++p;
    return p;
}

struct Word {
    size_t text;    // where the encoded text starts
    size_t length;  // its length
    size_t next;    // where decoding goes on after the word
    bool closed;
};

// An encoded word runs to the first "?=" after its opening; without one its text is empty and
// the two characters after the opening go with it.
Word ReadWord(const char *value, size_t p, size_t n, const Form &form) {
    Word w{p + form.length, 0, p + form.length + 2, false};
    for (size_t i = w.text; i + 1 < n; ++i) {
        if (value[i] == '?' && value[i + 1] == '=') {
            w.length = i - w.text;
            w.next = i + 2;
            w.closed = true;
            break;
        }
    }
    return w;
}

struct Output {
    char *text;
    int64_t size;
    int64_t length;
    bool full;
};

// Appends within the output; what does not fit is cut after the last whole character and ends
// the decoding.
void Append(Output &out, const char *text, size_t length) {
    int64_t room = out.size - 1 - out.length;
    if (static_cast<int64_t>(length) > room) {
        size_t keep = 0;
        while (keep < length) {
            size_t step = IsDoubleByteChar(text + keep) && keep + 1 < length ? 2 : 1;
            if (static_cast<int64_t>(keep + step) > room) break;
            keep += step;
        }
        length = keep;
        out.full = true;
    }
    std::memcpy(out.text + out.length, text, length);
    out.length += static_cast<int64_t>(length);
}
}  // namespace

int32_t DecodeEncodedWords(const char *value, char *output, int32_t size) {
    if (output == nullptr || size <= 0) return 0;
    std::memset(output, 0, static_cast<size_t>(size));
    if (value == nullptr || value[0] == '\0') return 0;
    std::unique_ptr<char[]> converted = NewScratch(size);
    // Decoded bytes get twice the room, as each word would have on its own.
    int64_t bytes_size = static_cast<int64_t>(size) * 2;
    std::unique_ptr<char[]> bytes = NewScratch(bytes_size);
    if (!converted || !bytes) return -1;

    size_t n = std::strlen(value);
    Output out{output, size, 0, false};
    size_t p = 0;
    while (p < n && !out.full) {
        int f = FormAt(value, p, n);
        if (f == kNoForm) {
            size_t q = NextOpening(value, p + 1, n);
            Append(out, value + p, q - p);
            p = SkipBlanks(value, q, n);
            continue;
        }
        const Form &form = kForms[f];
        Word word = ReadWord(value, p, n, form);
        p = word.next;
        if (form.convert == nullptr) {
            if (form.decode(value + word.text, word.length, converted.get(), size) > 0) {
                Append(out, converted.get(), std::strlen(converted.get()));
                p = SkipBlanks(value, p, n);
            }
            continue;
        }
        if (form.decode(value + word.text, word.length, bytes.get(), bytes_size) < 0) continue;
        // The words of the same form that follow across blanks are joined as bytes before the
        // conversion, as senders split text between words without regard to characters. The
        // joined text stays within what the conversion accepts from one word.
        size_t joined = std::strlen(bytes.get());
        while (joined > 0) {
            size_t q = SkipBlanks(value, p, n);
            if (q >= n || FormAt(value, q, n) != f) break;
            Word next = ReadWord(value, q, n, form);
            if (!next.closed) break;
            char *tail = bytes.get() + joined;
            int64_t got = form.decode(value + next.text, next.length, tail, bytes_size - static_cast<int64_t>(joined));
            size_t more = got > 0 ? std::strlen(tail) : 0;
            if (more == 0 || static_cast<int64_t>(joined + more) >= size) {
                *tail = '\0';  // that word is taken on its own
                break;
            }
            joined += more;
            p = next.next;
        }
        if (form.convert(bytes.get(), converted.get(), size) > 0) {
            Append(out, converted.get(), std::strlen(converted.get()));
            p = SkipBlanks(value, p, n);
        }
    }
    JisToSjisInPlace(output, size);
    return static_cast<int32_t>(std::strlen(output));
}
