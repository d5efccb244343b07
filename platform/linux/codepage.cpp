// codepage.cpp -- MultiByteToWideChar/WideCharToMultiByte for the ANSI code page, fixed at 932
// (tables taken once from glibc iconv's CP932), and for UTF-8 (65001), with Windows' results.
#include <iconv.h>

#include <cstring>

#include "platform/platform.h"

namespace win {

namespace {
constexpr DWORD kMbErrInvalidChars = 0x8;
constexpr WCHAR kCp932Default = 0x30FB;  // what Windows puts for a byte sequence 932 does not define
constexpr WCHAR kReplacement = 0xFFFD;

struct Cp932Tables {
    WCHAR single[256];        // 0 where the byte is a lead byte or undefined
    WCHAR pair[0x10000];      // by lead << 8 | trail; 0 where undefined
    uint16_t encode[0x10000]; // UTF-16 unit to code (< 0x100 single byte); 0 where unmappable
};

bool IsLead(BYTE b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(BYTE b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

size_t Iconv1(iconv_t cd, const char *in, size_t in_length, char *out, size_t out_size) {
    char *ip = const_cast<char *>(in);
    char *op = out;
    size_t in_left = in_length;
    size_t out_left = out_size;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &in_left, &op, &out_left) == static_cast<size_t>(-1) || in_left != 0) return 0;
    return out_size - out_left;
}

Cp932Tables *BuildTables() {
    auto *t = new Cp932Tables();
    std::memset(t, 0, sizeof(*t));
    iconv_t to16 = iconv_open("UTF-16LE", "CP932");
    iconv_t from16 = iconv_open("CP932", "UTF-16LE");
    for (int b = 0; b < 0x80; ++b) t->single[b] = static_cast<WCHAR>(b);
    if (to16 == reinterpret_cast<iconv_t>(-1) || from16 == reinterpret_cast<iconv_t>(-1)) {
        for (int b = 0; b < 0x80; ++b) t->encode[b] = static_cast<uint16_t>(b);
        return t;  // without CP932 in the C library only ASCII converts
    }
    char out[8];
    for (int b = 0x80; b < 0x100; ++b) {
        if (IsLead(static_cast<BYTE>(b))) continue;
        char in = static_cast<char>(b);
        if (Iconv1(to16, &in, 1, out, sizeof(out)) == 2) {
            t->single[b] = static_cast<WCHAR>(static_cast<BYTE>(out[0]) | static_cast<BYTE>(out[1]) << 8);
        }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLead(static_cast<BYTE>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrail(static_cast<BYTE>(trail))) continue;
            char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            if (Iconv1(to16, in, 2, out, sizeof(out)) == 2) {
                t->pair[lead << 8 | trail] = static_cast<WCHAR>(static_cast<BYTE>(out[0]) | static_cast<BYTE>(out[1]) << 8);
            }
        }
    }
    // Encoding asks iconv for each unit, so that where several codes decode to one character the
    // code page's preferred code is the one written.
    for (int u = 0; u < 0x10000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF) continue;
        char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
        size_t n = Iconv1(from16, in, 2, out, sizeof(out));
        if (n == 1) t->encode[u] = static_cast<BYTE>(out[0]);
        else if (n == 2) t->encode[u] = static_cast<uint16_t>(static_cast<BYTE>(out[0]) << 8 | static_cast<BYTE>(out[1]));
    }
    iconv_close(to16);
    iconv_close(from16);
    return t;
}

const Cp932Tables &Tables() {
    static const Cp932Tables *tables = BuildTables();
    return *tables;
}

bool IsAnsi(UINT cp) { return cp == kCpAcp || cp == kCp932; }

// Where converted units go: the caller's buffer as far as it reaches, and a count of all of them,
// so that one pass both converts and tells the size a text needs.
template <typename T>
struct Sink {
    T *dest;
    size_t capacity;
    size_t count;
    void push_back(T unit) {
        if (count < capacity) dest[count] = unit;
        ++count;
    }
};

void DecodeCp932(const BYTE *s, size_t n, Sink<WCHAR> &out) {
    const Cp932Tables &t = Tables();
    for (size_t i = 0; i < n; ++i) {
        BYTE b = s[i];
        if (b < 0x80) {
            out.push_back(b);
        } else if (IsLead(b)) {
            if (i + 1 < n && IsTrail(s[i + 1])) {
                WCHAR w = t.pair[b << 8 | s[i + 1]];
                out.push_back(w ? w : kCp932Default);
                ++i;
            } else {
                out.push_back(kCp932Default);  // the byte after it is read on its own
            }
        } else {
            out.push_back(t.single[b] ? t.single[b] : kCp932Default);
        }
    }
}

bool DecodeUtf8(const BYTE *s, size_t n, bool strict, Sink<WCHAR> &out) {
    size_t i = 0;
    while (i < n) {
        BYTE b = s[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra;
        uint32_t cp;
        BYTE low = 0x80, high = 0xBF;  // the second byte's range; narrower where it rules out
                                       // overlong forms, surrogates and values past U+10FFFF
        if (b >= 0xC2 && b <= 0xDF) { extra = 1; cp = b & 0x1F; }
        else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2; cp = b & 0x0F;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3; cp = b & 0x07;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            if (strict) return false;
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t j = 1;
        bool ok = true;
        for (; j <= static_cast<size_t>(extra); ++j) {
            BYTE c = i + j < n ? s[i + j] : 0;
            bool fits = j == 1 ? (c >= low && c <= high) : (c & 0xC0) == 0x80;
            if (i + j >= n || !fits) { ok = false; break; }
            cp = cp << 6 | (c & 0x3F);
        }
        if (!ok) {
            if (strict) return false;
            out.push_back(kReplacement);
            i += j;  // the maximal valid prefix becomes one replacement
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<WCHAR>(0xD800 | (cp >> 10)));
            out.push_back(static_cast<WCHAR>(0xDC00 | (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<WCHAR>(cp));
        }
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

void EncodeCp932(const WCHAR *s, size_t n, char replacement, BOOL *used_default, Sink<char> &out) {
    const Cp932Tables &t = Tables();
    for (size_t i = 0; i < n; ++i) {
        WCHAR w = s[i];
        uint16_t code = w < 0x80 ? w : t.encode[w];
        if (w != 0 && code == 0) {
            out.push_back(replacement);
            if (used_default) *used_default = 1;
            // A surrogate pair is one character and so one replacement.
            if (w >= 0xD800 && w <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) ++i;
        } else if (code > 0xFF) {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        } else {
            out.push_back(static_cast<char>(code));
        }
    }
}

void EncodeUtf8(const WCHAR *s, size_t n, Sink<char> &out) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | cp >> 6));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | cp >> 12));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | cp >> 18));
            out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
}

// The result as Windows gives it: the units needed when asked with size 0, 0 when they did not
// fit (the buffer then holds what did), otherwise the units written.
template <typename T>
int Result(const Sink<T> &sink, int dest_size) {
    if (sink.count > 0x7FFFFFFF) return 0;
    if (dest_size != 0 && sink.count > sink.capacity) return 0;  // ERROR_INSUFFICIENT_BUFFER
    return static_cast<int>(sink.count);
}
}  // namespace

UINT GetACP() { return kCp932; }

BOOL IsDBCSLeadByteEx(UINT code_page, BYTE byte) { return IsAnsi(code_page) && IsLead(byte) ? 1 : 0; }

int MultiByteToWideChar(UINT code_page, DWORD flags, const char *source, int source_length, WCHAR *dest,
                        int dest_size) {
    if (source == nullptr || source_length == 0 || source_length < -1 || dest_size < 0) return 0;
    size_t n = source_length == -1 ? std::strlen(source) + 1 : static_cast<size_t>(source_length);
    const BYTE *s = reinterpret_cast<const BYTE *>(source);
    if (dest == nullptr && dest_size > 0) return 0;
    Sink<WCHAR> converted{dest, static_cast<size_t>(dest_size), 0};
    if (IsAnsi(code_page)) {
        DecodeCp932(s, n, converted);
    } else if (code_page == kCpUtf8) {
        if (!DecodeUtf8(s, n, (flags & kMbErrInvalidChars) != 0, converted)) return 0;
    } else {
        return 0;
    }
    return Result(converted, dest_size);
}

int WideCharToMultiByte(UINT code_page, DWORD flags, const WCHAR *source, int source_length, char *dest,
                        int dest_size, const char *default_char, BOOL *used_default) {
    if (source == nullptr || source_length == 0 || source_length < -1 || dest_size < 0) return 0;
    size_t n = source_length;
    if (source_length == -1) {
        n = 0;
        while (source[n] != 0) ++n;
        ++n;
    }
    if (dest == nullptr && dest_size > 0) return 0;
    Sink<char> converted{dest, static_cast<size_t>(dest_size), 0};
    if (used_default) *used_default = 0;
    if (IsAnsi(code_page)) {
        EncodeCp932(source, n, default_char ? *default_char : '?', used_default, converted);
    } else if (code_page == kCpUtf8) {
        if (default_char != nullptr || used_default != nullptr) return 0;  // ERROR_INVALID_PARAMETER
        EncodeUtf8(source, n, converted);
    } else {
        return 0;
    }
    return Result(converted, dest_size);
}

}  // namespace win
