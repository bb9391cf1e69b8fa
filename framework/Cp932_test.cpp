#include <framework/Cp932.h>
#include <framework/Numbers.h>

#include "testing/Cp932Literal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(Cp932Test, RoundTripsJapaneseText)
{
    const std::string utf8 = "甲子(きのえね)ﾗｲﾌﾞﾗﾘ～";
    CString cp932;
    ASSERT_TRUE(Utf8ToCp932(utf8, cp932));
    EXPECT_EQ(CString("\x8d\x62\x8e\x71", 4), cp932.Left(4));
    std::string back;
    ASSERT_TRUE(Cp932ToUtf8(cp932.View(), back));
    EXPECT_EQ(utf8, back);
}

TEST(Cp932Test, ReportsBytesWithoutCounterpart)
{
    std::string out = "unchanged";
    EXPECT_FALSE(Cp932ToUtf8(std::string_view("a\x81", 2), out));     // lone lead byte
    EXPECT_FALSE(Cp932ToUtf8(std::string_view("\x81\x20", 2), out));   // invalid trail byte
    EXPECT_EQ("unchanged", out);
    CString str("unchanged");
    EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80", str));                 // an emoji has no form
    EXPECT_FALSE(Utf8ToCp932("\xC3", str));                             // broken UTF-8
    EXPECT_EQ(CString("unchanged"), str);
    EXPECT_EQ("a?", Cp932ToUtf8Lossy(std::string_view("a\x81", 2)));
}

TEST(Cp932Test, TakesOnlyExactFormsAndTheSixTwins)
{
    // A character with no exact form is refused, never stored as a stand-in.
    for (const char* pszNoForm : {"\u2039", "\u203A", "\u20AC", "\u00E9", "\u2014", "\u00A9"}) {
        CString str("unchanged");
        EXPECT_FALSE(Utf8ToCp932(std::string("a") + pszNoForm, str)) << pszNoForm;
        EXPECT_EQ(CString("unchanged"), str);
    }
    // The typed forms of the twins are stored as the twins and read back as them.
    const struct {
        const char* pszTyped;
        const char* pszTwin;
        const char* pszCode;
    } aTwins[] = {
        {"\u301C", "\uFF5E", "\x81\x60"}, {"\u2016", "\u2225", "\x81\x61"}, {"\u2212", "\uFF0D", "\x81\x7C"},
        {"\u00A2", "\uFFE0", "\x81\x91"}, {"\u00A3", "\uFFE1", "\x81\x92"}, {"\u00AC", "\uFFE2", "\x81\xCA"},
    };
    for (const auto& twin : aTwins) {
        for (const char* pszForm : {twin.pszTyped, twin.pszTwin}) {
            CString str;
            ASSERT_TRUE(Utf8ToCp932(std::string("1") + pszForm + "2", str)) << pszForm;
            EXPECT_EQ(std::string("1") + twin.pszCode + "2", str.Str());
            std::string back;
            ASSERT_TRUE(Cp932ToUtf8(str.View(), back));
            EXPECT_EQ(std::string("1") + twin.pszTwin + "2", back);
        }
    }
}

TEST(Cp932Test, HalfWidthKatakanaGrowToThreeBytesEach)
{
    // 40 one-byte characters become 120 bytes, more than the first output buffer holds.
    std::string cp932;
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        cp932 += static_cast<char>(0xB1 + i % 10);                        // ｱ .. ｺ
        expected += "\xEF\xBD" + std::string(1, static_cast<char>(0xB1 + i % 10));
    }
    std::string utf8;
    ASSERT_TRUE(Cp932ToUtf8(cp932, utf8));
    EXPECT_EQ(expected, utf8);
    CString back;
    ASSERT_TRUE(Utf8ToCp932(utf8, back));
    EXPECT_EQ(cp932, back.Str());
}

TEST(Cp932Test, LossyConversionSpoilsOnlyTheBadCharacter)
{
    // An undefined single byte, an unassigned double-byte code and a lead byte with a bad trail.
    for (const char* pszBad : {"\x80", "\xA0", "\xFD", "\xFF", "\x85\x40", "\x81\x7F"})
        EXPECT_EQ("?甲子", Cp932ToUtf8Lossy(std::string(pszBad) + Cp932("甲子"))) << pszBad;
}

TEST(Cp932Test, LiteralIsConvertedOnce)
{
    const CString& a = CP932("元号");
    EXPECT_EQ(4, a.GetLength());
    EXPECT_THROW(LiteralToCp932("\xF0\x9F\x98\x80"), std::logic_error);
}

TEST(NumbersTest, ReadsLikeAtoiAndSaturates)
{
    struct Case { const char* text; std::int32_t value; int consumed; };
    const Case cases[] = {
        {"123", 123, 3},           {"  -45x", -45, 5},        {"+7", 7, 2},
        {"\t\r\n 9", 9, 5},        {"", 0, 0},                {"abc", 0, 0},
        {"-", 0, 0},               {"2147483647", 2147483647, 10},
        {"2147483648", std::numeric_limits<std::int32_t>::max(), 10},
        {"-2147483648", std::numeric_limits<std::int32_t>::min(), 11},
        {"-99999999999999999999", std::numeric_limits<std::int32_t>::min(), 21},
        {"\"1868\"", 0, 0},
    };
    for (const Case& c : cases) {
        const char* pEnd = nullptr;
        EXPECT_EQ(c.value, Strtol32(c.text, &pEnd)) << c.text;
        EXPECT_EQ(c.consumed, pEnd - c.text) << c.text;
        EXPECT_EQ(c.value, Atoi32(c.text)) << c.text;
    }
    EXPECT_EQ(0, Atoi32(nullptr));
}

} // namespace
