// iconv_oracle_test.cpp -- the conversions checked against glibc's iconv on generated text: all
// of JIS X 0208 row by row, the extension rows of code page 932, half-width katakana and mixed
// lines. iconv exists only in the native build; the Windows run keeps the table-driven cases.
#if !defined(_WIN32)
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "text/base64.h"
#include "text/charset.h"
#include "text/transfer_charset.h"
#include "text_checks.h"

namespace {
const std::string kIn = "\x1B$B";
const std::string kOut = "\x1B(B";

// The whole text through iconv, with the closing shift flushed; false when iconv refuses it.
bool Iconv(const char *to, const char *from, const std::string &in, std::string *out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv has no " << from << " to " << to;
        return false;
    }
    out->assign(in.size() * 4 + 16, '\0');
    char *ip = const_cast<char *>(in.data());
    size_t in_left = in.size();
    char *op = &(*out)[0];
    size_t out_left = out->size();
    bool ok = iconv(cd, &ip, &in_left, &op, &out_left) != static_cast<size_t>(-1);
    ok = ok && iconv(cd, nullptr, nullptr, &op, &out_left) != static_cast<size_t>(-1);
    out->resize(out->size() - out_left);
    iconv_close(cd);
    return ok;
}

std::string Must(const char *to, const char *from, const std::string &in) {
    std::string out;
    EXPECT_TRUE(Iconv(to, from, in, &out)) << from << " to " << to << ": " << Hex(in);
    return out;
}

using Narrowing = int32_t (*)(const char *, char *, int32_t);
using Widening = int32_t (*)(const char *, zk_wchar_t *, int32_t);

std::string Convert(Narrowing f, const std::string &in, int32_t *result = nullptr) {
    int32_t size = static_cast<int32_t>(in.size() * 3 + 16);
    Narrow out(size);
    int32_t r = f(in.c_str(), out.data(), size);
    EXPECT_TRUE(out.GuardIntact());
    if (result) *result = r;
    else EXPECT_EQ(r, static_cast<int32_t>(out.Text().size())) << Hex(in);
    return out.Text();
}

// UTF-16 output as the little-endian bytes iconv gives.
std::string ConvertWide(Widening f, const std::string &in) {
    int32_t units = static_cast<int32_t>(in.size() + 16);
    Wide out(units);
    int32_t r = f(in.c_str(), out.data(), units);
    EXPECT_TRUE(out.GuardIntact());
    std::basic_string<zk_wchar_t> text = out.Text();
    EXPECT_EQ(r, static_cast<int32_t>(text.size() + 1)) << Hex(in);
    std::string bytes;
    for (zk_wchar_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

// iconv's SHIFT_JIS reads 0x5C and 0x7E as JIS X 0201 Roman (yen sign, overline) and so writes
// them after ESC ( J; code page 932 reads them as ASCII. The same text with ESC ( B for ESC ( J
// and without escapes that change nothing is what the library writes.
std::string AsciiForRoman(const std::string &jis) {
    std::string out;
    bool kanji = false;
    for (size_t i = 0; i < jis.size();) {
        if (jis.compare(i, 3, "\x1B(J") == 0 || jis.compare(i, 3, kOut) == 0) {
            if (kanji) out += kOut;
            kanji = false;
            i += 3;
        } else if (jis.compare(i, 3, kIn) == 0) {
            if (!kanji) out += kIn;
            kanji = true;
            i += 3;
        } else {
            out += jis[i++];
        }
    }
    return out;
}

std::string Jis(unsigned code) { return std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}; }

// Every code of JIS X 0208 that iconv's ISO-2022-JP knows.
const std::vector<unsigned> &JisX0208Codes() {
    static const std::vector<unsigned> codes = [] {
        std::vector<unsigned> all;
        std::string out;
        for (unsigned hi = 0x21; hi <= 0x7E; ++hi) {
            for (unsigned lo = 0x21; lo <= 0x7E; ++lo) {
                if (Iconv("UTF-16LE", "ISO-2022-JP", kIn + Jis(hi << 8 | lo) + kOut, &out)) all.push_back(hi << 8 | lo);
            }
        }
        return all;
    }();
    return codes;
}

// Where code page 932 reads a JIS X 0208 code as another Unicode character than JIS does.
// The library converts to UTF-16 through the ANSI code page, so it gives code page 932's.
const std::map<unsigned, std::pair<char16_t, char16_t>> kCp932Readings = {
    {0x2141, {u'\u301C', u'\uFF5E'}},  // WAVE DASH / FULLWIDTH TILDE
    {0x2142, {u'\u2016', u'\u2225'}},  // DOUBLE VERTICAL LINE / PARALLEL TO
    {0x215D, {u'\u2212', u'\uFF0D'}},  // MINUS SIGN / FULLWIDTH HYPHEN-MINUS
    {0x2171, {u'\u00A2', u'\uFFE0'}},  // CENT SIGN / FULLWIDTH CENT SIGN
    {0x2172, {u'\u00A3', u'\uFFE1'}},  // POUND SIGN / FULLWIDTH POUND SIGN
    {0x224C, {u'\u00AC', u'\uFFE2'}},  // NOT SIGN / FULLWIDTH NOT SIGN
};

TEST(IconvOracle, JisX0208RowByRow) {
    const std::vector<unsigned> &codes = JisX0208Codes();
    ASSERT_GT(codes.size(), 6800u);
    std::map<unsigned, std::string> rows;
    for (unsigned code : codes) rows[code >> 8] += Jis(code);
    std::set<unsigned> differing;
    for (const auto &row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.first - 0x20));
        std::string jis = "row" + kIn + row.second + kOut + "\r\n";
        std::string sjis = Must("CP932", "ISO-2022-JP", jis);
        EXPECT_EQ(Hex(Convert(JisToSjis, jis)), Hex(sjis));
        EXPECT_EQ(Hex(Convert(SjisToJis, sjis)), Hex(jis));
        EXPECT_EQ(Hex(Convert(SjisToJis, sjis)), Hex(Must("ISO-2022-JP", "SHIFT_JIS", sjis)));
        std::string euc = Must("EUC-JP", "ISO-2022-JP", jis);
        EXPECT_EQ(Hex(Convert(EucToSjis, euc)), Hex(sjis));
        EXPECT_EQ(Hex(Convert(JisToSjis, Convert(EucToJis, euc))), Hex(sjis));

        // UTF-16: equal to iconv's reading of the JIS text but for the known characters.
        std::string wide = ConvertWide(JisToWide, jis);
        std::string jis_wide = Must("UTF-16LE", "ISO-2022-JP", jis);
        ASSERT_EQ(wide.size(), jis_wide.size());
        for (size_t i = 0; i < wide.size(); i += 2) {
            // Unit k of the line is "row" for k < 3, then the pairs after the escape.
            size_t k = i / 2;
            if (wide.compare(i, 2, jis_wide, i, 2) != 0 && k >= 3) {
                differing.insert(row.first << 8 | static_cast<unsigned char>(jis[6 + 2 * (k - 3) + 1]));
            }
        }
        EXPECT_EQ(Hex(wide), Hex(Must("UTF-16LE", "CP932", sjis)));
        EXPECT_EQ(Hex(ConvertWide(EucToWide, euc)), Hex(wide));

        std::string utf8 = Must("UTF-8", "CP932", sjis);
        EXPECT_EQ(Hex(Convert(Utf8ToAnsi, utf8)), Hex(sjis));
        EXPECT_EQ(Hex(ConvertWide(Utf8ToWide, utf8)), Hex(wide));
        // UTF-8 written from the JIS reading (U+301C and the like) comes back to the same codes.
        EXPECT_EQ(Hex(Convert(Utf8ToAnsi, Must("UTF-8", "ISO-2022-JP", jis))), Hex(sjis));
    }
    std::set<unsigned> expected;
    for (const auto &d : kCp932Readings) expected.insert(d.first);
    EXPECT_EQ(differing, expected);
}

TEST(IconvOracle, Cp932ReadingsOfTheDifferingCodes) {
    for (const auto &d : kCp932Readings) {
        std::string wide = ConvertWide(JisToWide, kIn + Jis(d.first) + kOut);
        ASSERT_EQ(wide.size(), 2u);
        EXPECT_EQ(static_cast<char16_t>(static_cast<unsigned char>(wide[0]) | static_cast<unsigned char>(wide[1]) << 8),
                  d.second.second);
        std::string jis_reading = Must("UTF-16LE", "ISO-2022-JP", kIn + Jis(d.first) + kOut);
        EXPECT_EQ(static_cast<char16_t>(static_cast<unsigned char>(jis_reading[0]) |
                                        static_cast<unsigned char>(jis_reading[1]) << 8),
                  d.second.first);
    }
}

// NEC row 13, the NEC-selected IBM extensions (ED, EE) and the IBM extensions (FA to FC).
TEST(IconvOracle, Cp932ExtensionRows) {
    int nec = 0, ibm = 0, iconv_jis = 0;
    for (unsigned lead : {0x87u, 0xEDu, 0xEEu, 0xFAu, 0xFBu, 0xFCu}) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            std::string sjis{static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf16;
            if (trail == 0x7F || !Iconv("UTF-16LE", "CP932", sjis, &utf16)) continue;
            SCOPED_TRACE(Hex(sjis));
            int32_t r;
            std::string jis = Convert(SjisToJis, sjis, &r);
            std::string by_iconv;
            if (Iconv("ISO-2022-JP", "CP932", sjis, &by_iconv)) ++iconv_jis;
            if (lead >= 0xFA) {
                // No JIS row holds them in the arithmetic: the conversion stops.
                EXPECT_EQ(r, -1);
                ++ibm;
                continue;
            }
            ++nec;
            ASSERT_EQ(r, 8);
            EXPECT_EQ(Hex(Convert(JisToSjis, jis)), Hex(sjis));
            EXPECT_EQ(Hex(ConvertWide(JisToWide, jis)), Hex(utf16));
            EXPECT_EQ(Hex(Convert(Utf8ToAnsi, Must("UTF-8", "CP932", sjis))), Hex(Must("CP932", "UTF-16LE", utf16)));
        }
    }
    EXPECT_EQ(nec, 83 + 374);
    EXPECT_EQ(ibm, 388);
    // ISO-2022-JP proper has none of these rows; iconv writes only the few that duplicate JIS X
    // 0208 characters (the not sign, because, the roman numerals...).
    EXPECT_LT(iconv_jis, 60);
}

TEST(IconvOracle, HalfWidthKatakana) {
    std::string kana;
    for (unsigned b = 0xA1; b <= 0xDF; ++b) kana += static_cast<char>(b);
    std::string out;
    // ISO-2022-JP has no half-width katakana: iconv refuses, the library sends the 8-bit bytes.
    EXPECT_FALSE(Iconv("ISO-2022-JP", "CP932", kana, &out));
    EXPECT_EQ(Hex(Convert(SjisToJis, kana)), Hex(kana));
    EXPECT_EQ(Hex(Convert(JisToSjis, kana)), Hex(kana));
    std::string euc = Must("EUC-JP", "CP932", kana);
    EXPECT_EQ(Hex(Convert(EucToSjis, euc)), Hex(kana));
    EXPECT_EQ(Hex(ConvertWide(EucToWide, euc)), Hex(Must("UTF-16LE", "CP932", kana)));
    EXPECT_EQ(Hex(Convert(Utf8ToAnsi, Must("UTF-8", "CP932", kana))), Hex(kana));
    // After ESC ( I the seven-bit bytes are katakana, as iconv's ISO-2022-JP-3 reads them.
    std::string seven;
    for (unsigned b = 0x21; b <= 0x5F; ++b) seven += static_cast<char>(b);
    std::string shifted = "\x1B(I" + seven + kOut;
    EXPECT_EQ(Hex(Must("CP932", "ISO-2022-JP-3", shifted)), Hex(kana));
    EXPECT_EQ(Hex(Convert(JisToSjis, shifted)), Hex(kana));
    EXPECT_EQ(Hex(ConvertWide(JisToWide, shifted)), Hex(Must("UTF-16LE", "ISO-2022-JP-3", shifted)));
}

// JIS X 0212 through EUC-JP: iconv finds no Shift_JIS code for most; the library writes the
// geta mark for every one and keeps the text around it.
TEST(IconvOracle, JisX0212InEucJp) {
    int refused = 0, total = 0;
    for (unsigned hi = 0xA2; hi <= 0xED; ++hi) {
        for (unsigned lo = 0xA1; lo <= 0xFE; ++lo) {
            std::string euc{'\x8F', static_cast<char>(hi), static_cast<char>(lo)};
            std::string utf16, sjis;
            if (!Iconv("UTF-16LE", "EUC-JP", euc, &utf16)) continue;
            ++total;
            if (!Iconv("CP932", "EUC-JP", euc, &sjis)) ++refused;
            EXPECT_EQ(Hex(Convert(EucToSjis, "a" + euc + "\xB0\xA1")), Hex("a\x81\xAC\x88\x9F"));
        }
    }
    EXPECT_GT(total, 5000);
    EXPECT_GT(refused, total - 400);
}

// Lines of ASCII, kana, kanji and symbols in every form, each conversion against iconv.
TEST(IconvOracle, MixedLines) {
    const std::vector<unsigned> &codes = JisX0208Codes();
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    std::string all_jis;
    for (int line = 0; line < 300; ++line) {
        std::string jis;
        int segments = 1 + static_cast<int>(next(8));
        for (int s = 0; s < segments; ++s) {
            if (next(2) == 0) {
                int n = 1 + static_cast<int>(next(12));
                for (int i = 0; i < n; ++i) jis += static_cast<char>(0x20 + next(0x5F));
            } else {
                jis += kIn;
                int n = 1 + static_cast<int>(next(10));
                for (int i = 0; i < n; ++i) {
                    unsigned pick = next(4);
                    unsigned code = pick == 0 ? 0x2421 + next(0x53)         // hiragana
                                    : pick == 1 ? 0x2521 + next(0x56)       // katakana
                                                : codes[next(static_cast<uint32_t>(codes.size()))];
                    jis += Jis(code);
                }
                jis += kOut;
            }
        }
        SCOPED_TRACE(Hex(jis));
        std::string sjis = Must("CP932", "ISO-2022-JP", jis);
        std::string euc = Must("EUC-JP", "ISO-2022-JP", jis);
        std::string utf8 = Must("UTF-8", "CP932", sjis);
        EXPECT_EQ(Hex(Convert(JisToSjis, jis)), Hex(sjis));
        EXPECT_EQ(Hex(Convert(SjisToJis, sjis)), Hex(AsciiForRoman(Must("ISO-2022-JP", "SHIFT_JIS", sjis))));
        EXPECT_EQ(Hex(Convert(EucToSjis, euc)), Hex(sjis));
        EXPECT_EQ(Hex(Convert(Utf8ToAnsi, utf8)), Hex(sjis));
        std::string wide = Must("UTF-16LE", "CP932", sjis);
        EXPECT_EQ(Hex(ConvertWide(JisToWide, jis)), Hex(wide));
        EXPECT_EQ(Hex(ConvertWide(EucToWide, euc)), Hex(wide));
        EXPECT_EQ(Hex(ConvertWide(Utf8ToWide, utf8)), Hex(Must("UTF-16LE", "UTF-8", utf8)));
        all_jis += jis + "\r\n";
    }
    // The whole text at once, and through Base64 as mail carries it.
    std::string sjis = Must("CP932", "ISO-2022-JP", all_jis);
    EXPECT_EQ(Hex(Convert(JisToSjis, all_jis)), Hex(sjis));
    std::string b64(all_jis.size() * 2, '\0');
    ASSERT_GT(Base64Encode(all_jis.data(), static_cast<int32_t>(all_jis.size()), &b64[0], static_cast<int32_t>(b64.size())), 0);
    EXPECT_EQ(Hex(Convert(Base64JisToSjis, b64.c_str())), Hex(sjis));
    std::string euc = Must("EUC-JP", "ISO-2022-JP", all_jis);
    ASSERT_GT(Base64Encode(euc.data(), static_cast<int32_t>(euc.size()), &b64[0], static_cast<int32_t>(b64.size())), 0);
    EXPECT_EQ(Hex(Convert(Base64EucToSjis, b64.c_str())), Hex(sjis));
}
}  // namespace
#endif
