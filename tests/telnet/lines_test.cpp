// lines_test.cpp -- received bytes made into lines, the last response with its arrows, line lists,
// search and release, without a connection.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "telnet/line_text.h"
#include "telnet/scripted_peer.h"

namespace {

using Lines = std::vector<std::string>;

// What a receive makes of `raw`: the split text and its count.
struct Split {
    std::string text;
    int32_t count;
};

Split StripAndSplit(const std::string &raw) {
    std::string buffer = raw + '\0';
    int32_t kept = StripNulBytes(&buffer[0], static_cast<int32_t>(raw.size()));
    int32_t count = kept > 0 ? SplitLines(&buffer[0], kept) : 0;
    return {buffer, count};
}

Lines BuildA(const Split &split) {
    TelnetLineList list{0, nullptr};
    EXPECT_EQ(1, BuildLineListA(split.text.data(), split.count, &list));
    Lines lines = LinesA(list);
    ZK_TelnetDelListA(&list);
    return lines;
}

TEST(TelnetLines, NulBytesGoAndLineBreakRunsBecomeOneSeparator) {
    Split s = StripAndSplit(std::string("a\r\n\r\nb\r\0c", 9));
    EXPECT_EQ(6, s.count);
    EXPECT_EQ(0, std::memcmp("a\0b\0c\0", s.text.data(), 6));
    EXPECT_EQ((Lines{"a", "b", "c"}), BuildA(s));
    SetTelnetLastResponse(s.text.data(), s.count);
    EXPECT_EQ("a\x81\xab" "b\x81\xab" "c", LastResponseA());
}

TEST(TelnetLines, LeadingBreaksGoTrailingBreakShowsAsAnArrow) {
    Split s = StripAndSplit("\r\n\n\rprompt> \r\n");
    EXPECT_EQ(10, s.count);  // "prompt> ", separator, terminator
    EXPECT_EQ((Lines{"prompt> "}), BuildA(s));
    SetTelnetLastResponse(s.text.data(), s.count);
    EXPECT_EQ("prompt> \x81\xab", LastResponseA());
}

TEST(TelnetLines, BreaksAloneGiveAnEmptyListNulsAloneGiveCode8) {
    Split breaks = StripAndSplit("\r\n\r\n");
    EXPECT_EQ(1, breaks.count);
    TelnetLineList list{5, nullptr};
    EXPECT_EQ(1, BuildLineListA(breaks.text.data(), breaks.count, &list));
    EXPECT_EQ(0, list.count);
    ZK_TelnetDelListA(&list);
    SetTelnetLastResponse(breaks.text.data(), breaks.count);
    EXPECT_EQ("", LastResponseA());

    Split nuls = StripAndSplit(std::string(3, '\0'));
    EXPECT_EQ(0, nuls.count);
    ZK_TelnetClearLastErrorCode();
    EXPECT_EQ(0, BuildLineListA(nuls.text.data(), nuls.count, &list));
    EXPECT_EQ(ZK_TELNET_NO_LINE, ZK_TelnetQueryLastErrorCode());
    EXPECT_EQ(1, BuildLineListA(nuls.text.data(), nuls.count, nullptr));  // no list, nothing to build
}

TEST(TelnetLines, WideListsHoldUtf16) {
    Split s = StripAndSplit("\x93\xfa\x96\x7b\r\nabc");
    TelnetLineList list{0, nullptr};
    ASSERT_EQ(1, BuildLineListW(s.text.data(), s.count, &list));
    EXPECT_EQ((std::vector<std::u16string>{u"日本", u"abc"}), LinesW(list));
    ZK_TelnetDelListW(&list);
    EXPECT_EQ(0, list.count);
    EXPECT_EQ(nullptr, list.items);
}

TEST(TelnetLastResponse, LongTextIsCutWithRoomForTheTerminatorAndWholeCharacters) {
    Split plain = StripAndSplit(std::string(5000, 'x'));
    SetTelnetLastResponse(plain.text.data(), plain.count);
    EXPECT_EQ(std::string(4095, 'x'), LastResponseA());

    // A line break whose arrow would not fit is left out, not half written.
    Split mark = StripAndSplit(std::string(4094, 'x') + "\r\nyy");
    SetTelnetLastResponse(mark.text.data(), mark.count);
    EXPECT_EQ(std::string(4094, 'x'), LastResponseA());

    // Nor is a double-byte character cut in two.
    Split kanji = StripAndSplit(std::string(4094, 'x') + "\x93\xfa");
    SetTelnetLastResponse(kanji.text.data(), kanji.count);
    EXPECT_EQ(std::string(4094, 'x'), LastResponseA());

    SetTelnetLastResponse("a", 1);
    EXPECT_EQ("", LastResponseA());
}

TEST(TelnetLastResponse, QueriesCopyWholeOrNothing) {
    Split s = StripAndSplit("ab\r\ncd");
    SetTelnetLastResponse(s.text.data(), s.count);  // "ab", arrow, "cd": 6 bytes
    char small[6] = "zzzzz";
    EXPECT_EQ(-1, ZK_TelnetQueryLastResponseMessageA(small, sizeof(small)));
    EXPECT_EQ('\0', small[0]);
    char exact[7];
    EXPECT_EQ(6, ZK_TelnetQueryLastResponseMessageA(exact, sizeof(exact)));
    EXPECT_EQ("ab\x81\xab" "cd", std::string(exact));
    EXPECT_EQ(-1, ZK_TelnetQueryLastResponseMessageA(nullptr, 10));

    zk_wchar_t wide[6];
    EXPECT_EQ(5, ZK_TelnetQueryLastResponseMessageW(wide, 6));
    EXPECT_EQ(0x2193, wide[2]);
    zk_wchar_t tight[5] = {'z', 'z', 'z', 'z', 'z'};
    EXPECT_EQ(-1, ZK_TelnetQueryLastResponseMessageW(tight, 5));
    EXPECT_EQ(0, tight[0]);

    SetTelnetLastResponse("", 0);
    EXPECT_EQ(0, ZK_TelnetQueryLastResponseMessageW(wide, 6));
    EXPECT_EQ(0, wide[0]);
    EXPECT_EQ(0, ZK_TelnetQueryLastResponseMessageA(exact, sizeof(exact)));
}

TEST(TelnetSearch, ContainmentWithoutCaseWithinOneLine) {
    Split s = StripAndSplit("Last LOGIN: today\r\nab\r\ncd");
    TelnetLineList list{0, nullptr};
    ASSERT_EQ(1, BuildLineListA(s.text.data(), s.count, &list));
    EXPECT_EQ(1, ZK_TelnetSearchStringA(&list, "login"));
    EXPECT_EQ(1, ZK_TelnetSearchStringA(&list, ""));
    EXPECT_EQ(0, ZK_TelnetSearchStringA(&list, "bc"));  // never across a line break
    EXPECT_EQ(0, ZK_TelnetSearchStringA(&list, "today!"));
    ZK_TelnetDelListA(&list);
    EXPECT_EQ(0, ZK_TelnetSearchStringA(&list, ""));  // an empty list holds nothing
    EXPECT_EQ(0, ZK_TelnetSearchStringA(nullptr, "x"));
    std::u16string x = U16("x");
    EXPECT_EQ(0, ZK_TelnetSearchStringW(nullptr, W(x)));
}

TEST(TelnetRelease, NullListSetsCode3) {
    ZK_TelnetClearLastErrorCode();
    ZK_TelnetDelListA(nullptr);
    EXPECT_EQ(ZK_TELNET_NO_SESSION, ZK_TelnetQueryLastErrorCode());
}

}  // namespace
