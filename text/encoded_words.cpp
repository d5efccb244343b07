// encoded_words.cpp -- header values with MIME encoded words turned into ANSI (Shift_JIS) text.
#include "text/encoded_words.h"

#include <cstring>

#include "text/charset.h"
#include "text/decode_span.h"
#include "text/scratch.h"

namespace {
using SpanDecoder = int64_t (*)(const char *, size_t, char *, int64_t);
using Converter = int32_t (*)(const char *, char *, int32_t);

// Shift_JIS text is the ANSI text already; like the conversions, it must fit with its terminator.
int32_t CopyAnsi(const char *input, char *output, int32_t size) {
    size_t n = std::strlen(input);
    if (n == 0 || n >= static_cast<size_t>(size)) return -1;
    std::memcpy(output, input, n + 1);
    return static_cast<int32_t>(n);
}

struct Charset {
    const char *name;
    Converter convert;
};

// The charsets read, by the names mailers give them; a word of any other is plain text.
const Charset kCharsets[] = {
    {"ISO-2022-JP", JisToSjis}, {"Shift_JIS", CopyAnsi}, {"CP932", CopyAnsi}, {"windows-31j", CopyAnsi},
    {"EUC-JP", EucToSjis},      {"UTF-8", Utf8ToAnsi},
};
constexpr size_t kLongestName = 11;

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int CharsetNamed(const char *name, size_t length) {
    for (int i = 0; i < static_cast<int>(sizeof(kCharsets) / sizeof(kCharsets[0])); ++i) {
        const char *known = kCharsets[i].name;
        if (std::strlen(known) != length) continue;
        size_t k = 0;
        while (k < length && Fold(name[k]) == Fold(known[k])) ++k;
        if (k == length) return i;
    }
    return -1;
}

// An encoded word's opening: "=?" charset "?" B or Q (any case) "?".
struct Opening {
    int charset;
    SpanDecoder decode;
    size_t text;  // where its encoded text starts
};

bool OpeningAt(const char *value, size_t p, size_t n, Opening *o) {
    if (n - p < 2 || value[p] != '=' || value[p + 1] != '?') return false;
    size_t name = p + 2, mark = name;
    while (mark < n && mark - name <= kLongestName && value[mark] != '?') ++mark;
    if (n - mark < 3 || value[mark] != '?' || value[mark + 2] != '?') return false;
    char encoding = Fold(value[mark + 1]);
    if (encoding != 'B' && encoding != 'Q') return false;
    o->charset = CharsetNamed(value + name, mark - name);
    o->decode = encoding == 'B' ? Base64DecodeSpan : QDecodeSpan;
    o->text = mark + 3;
    return o->charset >= 0;
}

size_t NextOpening(const char *value, size_t from, size_t n) {
    Opening o;
    while (from < n) {
        const void *eq = std::memchr(value + from, '=', n - from);
        if (eq == nullptr) return n;
        size_t at = static_cast<size_t>(static_cast<const char *>(eq) - value);
        if (OpeningAt(value, at, n, &o)) return at;
        from = at + 1;
    }
    return n;
}

size_t SkipBlanks(const char *value, size_t p, size_t n) {
    while (p < n && (value[p] == ' ' || value[p] == '\t')) ++p;
    return p;
}

struct Word {
    Opening opening;
    size_t length;  // of the encoded text
    size_t next;    // where decoding goes on after the word
    bool closed;
};

// The words of one value. A word runs to the first "?=" after its opening; without one its text
// is empty and the two characters after the opening go with it. Once a search has found no "?="
// up to the end, no later one looks again, so a value full of open words costs a single pass.
struct Words {
    const char *value;
    size_t n;
    size_t open_from;  // no "?=" from here on

    bool At(size_t p, Word *w) {
        Opening o;
        if (!OpeningAt(value, p, n, &o)) return false;
        size_t text = o.text;
        *w = Word{o, 0, text + 2 < n ? text + 2 : n, false};
        for (size_t i = text; i < open_from && i + 1 < n; ++i) {
            if (value[i] == '?' && value[i + 1] == '=') {
                *w = Word{o, i - text, i + 2, true};
                return true;
            }
        }
        if (text < open_from) open_from = text;
        return true;
    }
};

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
    Words words{value, n, n};
    Output out{output, size, 0, false};
    size_t p = 0;
    Word word;
    while (p < n && !out.full) {
        if (!words.At(p, &word)) {
            size_t q = NextOpening(value, p + 1, n);
            Append(out, value + p, q - p);
            p = q;
            continue;
        }
        p = word.next;
        const Opening &first = word.opening;
        if (first.decode(value + first.text, word.length, bytes.get(), bytes_size) >= 0) {
            // The words of the same charset that follow across blanks are joined as bytes before
            // the conversion, as senders split text between words without regard to characters.
            // The joined text stays within what the conversion accepts from one word.
            size_t joined = std::strlen(bytes.get());
            Word next;
            while (joined > 0) {
                size_t q = SkipBlanks(value, p, n);
                if (q >= n || !words.At(q, &next) || !next.closed || next.opening.charset != first.charset) break;
                char *tail = bytes.get() + joined;
                int64_t got = next.opening.decode(value + next.opening.text, next.length, tail,
                                                  bytes_size - static_cast<int64_t>(joined));
                size_t more = got > 0 ? std::strlen(tail) : 0;
                if (more == 0 || static_cast<int64_t>(joined + more) >= size) {
                    *tail = '\0';  // that word is taken on its own
                    break;
                }
                joined += more;
                p = next.next;
            }
            if (joined > 0 && kCharsets[first.charset].convert(bytes.get(), converted.get(), size) > 0) {
                Append(out, converted.get(), std::strlen(converted.get()));
            }
        }
        // White space between two encoded words is no part of the text; before or after plain
        // text it is.
        size_t q = SkipBlanks(value, p, n);
        Opening after;
        if (q > p && q < n && OpeningAt(value, q, n, &after)) p = q;
    }
    JisToSjisInPlace(output, size);
    return static_cast<int32_t>(std::strlen(output));
}
