// local_text.cpp -- UTF-8 (or the ANSI code page on Windows) to UTF-16 and back.
#include "local_text.h"

#if defined(_WIN32)
#  include <windows.h>
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
}  // namespace

WideText Utf8ToWide(const std::string &text) {
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
            Append(&out, 0xFFFD);
            ++i;
            continue;
        }
        Append(&out, c);
        i += more + 1;
    }
    return out;
}

std::string WideToUtf8(const zk_wchar_t *text) {
    std::string out;
    if (text == nullptr) return out;
    for (size_t i = 0; text[i] != 0; ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<uint16_t>(text[++i]) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = '?';
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

#if defined(_WIN32)

WideText LocalToWide(const std::string &text) {
    if (text.empty()) return WideText();
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    WideText out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
    return out;
}

std::string WideToLocal(const zk_wchar_t *text) {
    if (text == nullptr || text[0] == 0) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

#else

WideText LocalToWide(const std::string &text) { return Utf8ToWide(text); }
std::string WideToLocal(const zk_wchar_t *text) { return WideToUtf8(text); }

#endif
