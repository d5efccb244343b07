// local_text.cpp -- UTF-8 and UTF-16 in both directions, the ANSI code page (932 on Linux, through
// iconv as the library's Linux build reads it), output in the user's encoding and the warnings
// for characters lost on the way.
#include "local_text.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <iconv.h>
#endif

namespace {
void Append(WideText *out, uint32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out->push_back(static_cast<zk_wchar_t>(0xD800 + (c >> 10)));
        out->push_back(static_cast<zk_wchar_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out->push_back(static_cast<zk_wchar_t>(c));
    }
}

// Every malformed sequence clears *valid.
WideText Decode(const std::string &text, bool *valid) {
    WideText out;
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        uint32_t c = s[i];
        size_t more = c < 0x80 ? 0 : c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 4;
        bool ok = more < 4 && i + more < n;
        if (ok) {
            c &= more == 3 ? 0x07 : more == 2 ? 0x0F : more == 1 ? 0x1F : 0x7F;
            for (size_t k = 1; k <= more; ++k) {
                ok = ok && (s[i + k] & 0xC0) == 0x80;
                c = (c << 6) | (s[i + k] & 0x3F);
            }
            // Overlong forms, surrogates and values past U+10FFFF are no characters.
            static const uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
            ok = ok && c >= kLeast[more] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        }
        if (!ok) {
            *valid = false;
            Append(&out, 0xFFFD);
            ++i;
            continue;
        }
        Append(&out, c);
        i += more + 1;
    }
    return out;
}

}  // namespace

WideText Utf8ToWide(const std::string &text) {
    bool valid = true;
    return Decode(text, &valid);
}

std::string WideToUtf8(const zk_wchar_t *text, size_t *replaced) {
    std::string out;
    if (text == nullptr) return out;
    for (size_t i = 0; text[i] != 0; ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[++i]) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?';
            if (replaced != nullptr) ++*replaced;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

bool IsValidUtf8(const std::string &text) {
    bool valid = true;
    Decode(text, &valid);
    return valid;
}

namespace {

struct Replaced {
    std::string what, how;
    size_t count;
};
std::vector<Replaced> g_replaced;

// The UTF-16 units of the code point at text[i]: one, or two for a surrogate pair.
size_t UnitsAt(const WideText &text, size_t i) {
    uint16_t c = static_cast<uint16_t>(text[i]);
    bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && static_cast<uint16_t>(text[i + 1]) >= 0xDC00 &&
                static_cast<uint16_t>(text[i + 1]) <= 0xDFFF;
    return pair ? 2 : 1;
}

}  // namespace

void NoteReplaced(const std::string &what, const std::string &how, size_t count) {
    if (count == 0 || what.empty()) return;
    for (Replaced &r : g_replaced) {
        if (r.what == what && r.how == how) {
            r.count += count;
            return;
        }
    }
    g_replaced.push_back({what, how, count});
}

#if defined(_WIN32)

WideText AnsiToWide(const std::string &bytes) {
    if (bytes.empty()) return WideText();
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    WideText out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

size_t CountUnmappableInAnsi(const WideText &text, bool best_fit) {
    size_t count = 0;
    char bytes[8];
    DWORD flags = best_fit ? 0 : WC_NO_BEST_FIT_CHARS;
    for (size_t i = 0; i < text.size();) {
        size_t units = UnitsAt(text, i);
        BOOL used_default = FALSE;
        WideCharToMultiByte(CP_ACP, flags, &text[i], static_cast<int>(units), bytes, sizeof(bytes), nullptr, &used_default);
        if (used_default) ++count;
        i += units;
    }
    return count;
}

std::string WideForOutput(const zk_wchar_t *text, const char *what) {
    if (text == nullptr || text[0] == 0) return std::string();
    WideText wide(text);
    NoteReplaced(what, "printed as ?", CountUnmappableInAnsi(wide, true));
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::string ForOutput(const std::string &utf8, const char *what) {
    bool ascii = true;
    for (char c : utf8) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return utf8;
    return WideForOutput(Utf8ToWide(utf8).c_str(), what);
}

bool EnvironmentText(const char *name, std::string *value) {
    const wchar_t *found = _wgetenv(Utf8ToWide(name).c_str());
    if (found == nullptr) return false;
    *value = WideToUtf8(found);
    return true;
}

#else

namespace {

// iconv from one encoding to another, whole; false when any byte does not convert.
bool Convert(const char *to, const char *from, const char *in, size_t length, std::string *out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    out->assign(length * 4 + 16, '\0');
    char *ip = const_cast<char *>(in);
    char *op = &(*out)[0];
    size_t in_left = length, out_left = out->size();
    bool ok = iconv(cd, &ip, &in_left, &op, &out_left) != static_cast<size_t>(-1) && in_left == 0;
    out->resize(out->size() - out_left);
    iconv_close(cd);
    return ok;
}

}  // namespace

WideText AnsiToWide(const std::string &bytes) {
    WideText out;
    // Byte by byte where a sequence does not convert, as the library's stand-in puts U+30FB for it.
    for (size_t i = 0; i < bytes.size();) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        size_t length = ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < bytes.size() ? 2 : 1;
        std::string utf16;
        if (Convert("UTF-16LE", "CP932", bytes.data() + i, length, &utf16) && utf16.size() >= 2) {
            for (size_t k = 0; k + 1 < utf16.size(); k += 2) {
                out.push_back(static_cast<zk_wchar_t>(static_cast<unsigned char>(utf16[k]) |
                                                      static_cast<unsigned char>(utf16[k + 1]) << 8));
            }
        } else {
            out.push_back(0x30FB);
        }
        i += length;
    }
    return out;
}

size_t CountUnmappableInAnsi(const WideText &text, bool) {
    size_t count = 0;
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
    for (size_t i = 0; i < text.size();) {
        size_t units = UnitsAt(text, i);
        char in[4], out[8];
        for (size_t k = 0; k < units; ++k) {
            in[2 * k] = static_cast<char>(text[i + k] & 0xFF);
            in[2 * k + 1] = static_cast<char>(text[i + k] >> 8);
        }
        char *ip = in, *op = out;
        size_t in_left = 2 * units, out_left = sizeof(out);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &ip, &in_left, &op, &out_left) == static_cast<size_t>(-1) || in_left != 0) ++count;
        i += units;
    }
    iconv_close(cd);
    return count;
}

std::string WideForOutput(const zk_wchar_t *text, const char *what) {
    size_t replaced = 0;
    std::string out = WideToUtf8(text, &replaced);
    NoteReplaced(what, "printed as ?", replaced);
    return out;
}

std::string ForOutput(const std::string &utf8, const char *) { return utf8; }

bool EnvironmentText(const char *name, std::string *value) {
    const char *found = std::getenv(name);
    if (found == nullptr) return false;
    *value = found;
    return true;
}

#endif

void ReportReplacements() {
    for (const Replaced &r : g_replaced) {
        std::fprintf(stderr, "zknet: warning: %s: %zu character%s %s\n", ForOutput(r.what, "").c_str(), r.count,
                     r.count == 1 ? "" : "s", r.how.c_str());
    }
    std::fflush(stderr);
    g_replaced.clear();
}
