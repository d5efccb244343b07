// bounds_test.cpp -- every operation, every output size from 1 up: nothing is written past the
// size and what is left in the output is a terminated text. (The fuzz targets do the same with
// AddressSanitizer on random input; this runs in the Windows build too.)
#include <gtest/gtest.h>

#include <string>

#include "text/base64.h"
#include "text/charset.h"
#include "text/encoded_words.h"
#include "text/quoted_printable.h"
#include "text/transfer_charset.h"
#include "text_checks.h"

namespace {
using Narrowing = int32_t (*)(const char *, char *, int32_t);
using Widening = int32_t (*)(const char *, zk_wchar_t *, int32_t);

struct NarrowOp {
    const char *name;
    Narrowing f;
    std::string input;
};

const NarrowOp kNarrow[] = {
    {"SjisToJis", SjisToJis, "a\x88\x9F" "b\xB1\x88\x9F\x88\xA0 c"},
    {"JisToSjis", JisToSjis, "a\x1B$B0!0\"\x1B(Bb\x1B$B0!"},
    {"EucToJis", EucToJis, "a\xB0\xA1" "b\x8E\xB1\x8F\xB0\xA1\xB0\xA1"},
    {"EucToSjis", EucToSjis, "a\xB0\xA1" "b\x8E\xB1\x8F\xB0\xA1\xB0\xA1"},
    {"Utf8ToAnsi", Utf8ToAnsi, "a\xE4\xBA\x9C\xF0\x9F\x98\x80z"},
    {"Base64Decode", Base64Decode, "YWJjZGVmZ2hpams="},
    {"QpDecode", QpDecode, "a=3Db=\r\nc=88d"},
    {"Base64JisToSjis", Base64JisToSjis, "GyRCMCEwIjAjGyhCYWJj"},
    {"Base64EucToSjis", Base64EucToSjis, "sKGwosH4YWJj"},
    {"Base64Utf8ToAnsi", Base64Utf8ToAnsi, "5Lqc5ZSW5aiDYWJj"},
    {"QpJisToSjis", QpJisToSjis, "=1B$B0!0\"=1B(Babc"},
    {"DecodeEncodedWords", DecodeEncodedWords, "Re: =?UTF-8?B?5Lqc5ZSW?= =?ISO-2022-JP?B?GyRCMCEbKEI=?= tail \x88\x9F"},
};

TEST(Bounds, NarrowOutputsEverySize) {
    for (const NarrowOp &op : kNarrow) {
        for (int32_t size = 1; size <= 72; ++size) {
            SCOPED_TRACE(std::string(op.name) + " size " + std::to_string(size));
            Narrow out(size, '\x77');
            int32_t r = op.f(op.input.c_str(), out.data(), size);
            ASSERT_TRUE(out.GuardIntact());
            ASSERT_GE(r, -1);
            ASSERT_LT(r, size);
            bool terminated = false;
            for (int32_t i = 0; i < size && !terminated; ++i) terminated = out.storage[static_cast<size_t>(i)] == 0;
            ASSERT_TRUE(terminated);
            // Nothing of the caller's old contents is left behind the text.
            for (int32_t i = static_cast<int32_t>(out.Text().size()); i < size; ++i) {
                ASSERT_EQ(out.storage[static_cast<size_t>(i)], 0);
            }
        }
    }
}

TEST(Bounds, WideOutputsEverySize) {
    struct {
        const char *name;
        Widening f;
        std::string input;
    } ops[] = {
        {"JisToWide", JisToWide, "a\x1B$B0!0\"\x1B(Bb"},
        {"EucToWide", EucToWide, "a\xB0\xA1" "b\x8E\xB1"},
        {"Utf8ToWide", Utf8ToWide, "a\xE4\xBA\x9C\xF0\x9F\x98\x80z"},
    };
    for (const auto &op : ops) {
        for (int32_t units = 1; units <= 24; ++units) {
            SCOPED_TRACE(std::string(op.name) + " units " + std::to_string(units));
            Wide out(units, 0x7777);
            int32_t r = op.f(op.input.c_str(), out.data(), units);
            ASSERT_TRUE(out.GuardIntact());
            ASSERT_GE(r, -1);
            ASSERT_LE(r, units);
            if (r > 0) {
                ASSERT_EQ(out.storage[static_cast<size_t>(r - 1)], 0);
            } else {
                ASSERT_TRUE(out.AllZero());
            }
        }
    }
}

TEST(Bounds, EncodersEverySize) {
    for (int32_t size = 1; size <= 40; ++size) {
        SCOPED_TRACE(size);
        Narrow out(size, '\x77');
        int32_t r = WideToJis(Wz(u"a亜b亜亜c"), out.data(), size);
        ASSERT_TRUE(out.GuardIntact());
        ASSERT_LT(r, size);
        Narrow b64(size, '\x77');
        r = WideToJisBase64(Wz(u"a亜b亜亜c"), b64.data(), size);
        ASSERT_TRUE(b64.GuardIntact());
        ASSERT_LT(r, size);
        Narrow enc(size, '\x77');
        r = Base64Encode("abcdefghij", 10, enc.data(), size);
        ASSERT_TRUE(enc.GuardIntact());
        ASSERT_LT(r, size);
    }
}
}  // namespace
