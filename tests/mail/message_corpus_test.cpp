// message_corpus_test.cpp -- messages written by Python's email package and in the styles of other
// mailers, taken apart by the library in both text forms and compared with how they must read
// (make_message_cases.py, checked against Python's email package and nkf): the header block,
// every field, the Date field and the body; each output also at the size where its text just fits
// and one less.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "extract_checks.h"
#include "zknet/mail.h"

namespace {
using namespace mailtest;

struct FieldCase {
    const char *tag;
    const char *ansi;       // the A form's value
    const char16_t *wide;   // the W form's value
    int32_t raw_length;     // the gathered value before decoding: 3 bytes more always hold it
};

struct MessageCase {
    const char *name;
    const char *text;
    const char *header;
    FieldCase fields[10];
    uint16_t date[6];
    int32_t body_length;    // as the body stands in the text, with the CR LF of the empty line
    const char *body_a;     // null: the transfer encoding is not 7bit
    const char16_t *body_w;
};

const MessageCase kMessages[] = {
#include "message_cases.inc"
};

using NarrowGetter = int32_t(ZK_API *)(const char *, char *, int32_t);
using WideGetter = int32_t(ZK_API *)(const char *, zk_wchar_t *, int32_t);

struct Shortcut {
    const char *tag;
    NarrowGetter a;
    WideGetter w;
};

const Shortcut kShortcuts[] = {
    {"From:", ZK_MailGetFromA, ZK_MailGetFromW},
    {"Subject:", ZK_MailGetSubjectA, ZK_MailGetSubjectW},
    {"Content-Type:", ZK_MailGetContentTypeA, ZK_MailGetContentTypeW},
    {"Content-Transfer-Encoding:", ZK_MailGetTransferEncodeA, ZK_MailGetTransferEncodeW},
};

// Every size up to the one where the raw value surely fits, and a large one.
std::vector<int32_t> SizesFor(const FieldCase &f) {
    std::vector<int32_t> sizes;
    for (int32_t size = 1; size <= f.raw_length + 3; ++size) sizes.push_back(size);
    sizes.push_back(4096);
    return sizes;
}

// At each size either the whole value or -1 with nothing written (A: an all-zero output; W: the
// caller's output as it was); never a part of it.
void CheckNarrowValue(const MessageCase &m, const FieldCase &f, NarrowGetter shortcut) {
    std::string expected = f.ansi;
    for (int32_t size : SizesFor(f)) {
        SCOPED_TRACE("A size " + std::to_string(size));
        Narrow out(size);
        int32_t r = shortcut ? shortcut(m.text, out.data(), size) : ZK_MailGetHeaderTagA(m.text, f.tag, out.data(), size);
        ASSERT_TRUE(out.GuardIntact());
        if (r == -1) {
            ASSERT_LT(size, f.raw_length + 3);
            ASSERT_TRUE(out.AllZero());
            continue;
        }
        ASSERT_EQ(r, static_cast<int32_t>(expected.size()));
        ASSERT_EQ(Hex(out.Text()), Hex(expected));
        ASSERT_TRUE(out.Terminated());
    }
}

void CheckWideValue(const MessageCase &m, const FieldCase &f, WideGetter shortcut) {
    WideText expected = W(f.wide);
    WideText tag = Widen(f.tag);
    for (int32_t size : SizesFor(f)) {
        SCOPED_TRACE("W size " + std::to_string(size));
        Wide out(size);
        int32_t r = shortcut ? shortcut(m.text, out.data(), size)
                             : ZK_MailGetHeaderTagW(m.text, tag.c_str(), out.data(), size);
        ASSERT_TRUE(out.GuardIntact());
        if (r == -1 || expected.empty()) {
            ASSERT_TRUE(r == -1 ? size < f.raw_length + 3 : r == 0) << r;
            ASSERT_TRUE(out.Untouched());
            continue;
        }
        ASSERT_EQ(r, static_cast<int32_t>(expected.size()) + 1);
        ASSERT_EQ(HexW(out.Text()), HexW(expected));
    }
}

class Corpus : public ::testing::TestWithParam<size_t> {
  protected:
    const MessageCase &M() const { return kMessages[GetParam()]; }
};

TEST_P(Corpus, Header) {
    const MessageCase &m = M();
    int32_t length = static_cast<int32_t>(std::strlen(m.header));
    Narrow a(length + 1);
    EXPECT_EQ(ZK_MailGetHeaderA(m.text, a.data(), a.size), length);
    EXPECT_EQ(a.Text(), m.header);
    Narrow short_a(length);
    EXPECT_EQ(ZK_MailGetHeaderA(m.text, short_a.data(), short_a.size), -1);
    EXPECT_TRUE(short_a.AllZero());
    EXPECT_TRUE(a.GuardIntact() && short_a.GuardIntact());

    Wide w(length + 1);
    EXPECT_EQ(ZK_MailGetHeaderW(m.text, w.data(), w.size), length + 1);
    EXPECT_EQ(HexW(w.Text()), HexW(Widen(m.header)));
    Wide short_w(length);
    EXPECT_EQ(ZK_MailGetHeaderW(m.text, short_w.data(), short_w.size), -1);
    EXPECT_EQ(short_w.storage[0], 0);
    EXPECT_TRUE(w.GuardIntact() && short_w.GuardIntact());
}

TEST_P(Corpus, Fields) {
    const MessageCase &m = M();
    for (const FieldCase &f : m.fields) {
        SCOPED_TRACE(f.tag);
        CheckNarrowValue(m, f, nullptr);
        CheckWideValue(m, f, nullptr);
        for (const Shortcut &s : kShortcuts) {
            if (std::strcmp(s.tag, f.tag) != 0) continue;
            SCOPED_TRACE("shortcut");
            CheckNarrowValue(m, f, s.a);
            CheckWideValue(m, f, s.w);
        }
    }
}

TEST_P(Corpus, Date) {
    const MessageCase &m = M();
    const FieldCase *date_field = nullptr;
    for (const FieldCase &f : m.fields) {
        if (std::strcmp(f.tag, "Date:") == 0) date_field = &f;
    }
    ASSERT_NE(date_field, nullptr);
    MailDate date;
    std::memset(&date, 0x77, sizeof(date));
    // A Date field that is no date gives -1 and no fields.
    int32_t length = static_cast<int32_t>(std::strlen(date_field->ansi));
    EXPECT_EQ(ZK_MailGetDate(m.text, &date), length > 0 && m.date[1] == 0 ? -1 : length);
    uint16_t got[6] = {date.year, date.month, date.day, date.hour, date.minute, date.second};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(got[i], m.date[i]) << "field " << i;
}

TEST_P(Corpus, Body) {
    const MessageCase &m = M();
    int32_t fits = m.body_length + 1;
    if (m.body_a == nullptr) {
        Narrow a(fits + 8);
        Wide w(fits + 8);
        EXPECT_EQ(ZK_MailGetBodyA(m.text, a.data(), a.size), -2);
        EXPECT_EQ(ZK_MailGetBodyW(m.text, w.data(), w.size), -2);
        EXPECT_TRUE(a.Untouched() && w.Untouched());
        return;
    }
    WideText wide = W(m.body_w);
    for (int32_t size : {fits, fits + 100}) {
        SCOPED_TRACE("size " + std::to_string(size));
        Narrow a(size);
        EXPECT_EQ(ZK_MailGetBodyA(m.text, a.data(), size), static_cast<int32_t>(std::strlen(m.body_a)));
        EXPECT_EQ(Hex(a.Text()), Hex(m.body_a));
        Wide w(size);
        EXPECT_EQ(ZK_MailGetBodyW(m.text, w.data(), size), static_cast<int32_t>(wide.size()));
        EXPECT_EQ(HexW(w.Text()), HexW(wide));
        EXPECT_TRUE(a.GuardIntact() && w.GuardIntact());
    }
    if (m.body_length > 0) {
        // One short: refused whole, nothing cut.
        Narrow a(fits - 1);
        Wide w(fits - 1);
        EXPECT_EQ(ZK_MailGetBodyA(m.text, a.data(), a.size), -1);
        EXPECT_EQ(ZK_MailGetBodyW(m.text, w.data(), w.size), -1);
        EXPECT_TRUE(a.AllZero() && w.AllZero());
        EXPECT_TRUE(a.GuardIntact() && w.GuardIntact());
    }
}

std::string CaseName(const ::testing::TestParamInfo<size_t> &info) { return kMessages[info.param].name; }

INSTANTIATE_TEST_SUITE_P(WrittenByPython, Corpus,
                         ::testing::Range<size_t>(0, sizeof(kMessages) / sizeof(kMessages[0])), CaseName);

}  // namespace
