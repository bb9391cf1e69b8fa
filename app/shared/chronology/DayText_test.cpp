#include <shared/chronology/DayText.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string U8(const CString& str)
{
    std::string strUtf8;
    EXPECT_TRUE(Cp932ToUtf8(str.View(), strUtf8));
    return strUtf8;
}

SEventData Event(std::int32_t lYear, int nMonth, int nDay, bool bLeap = false)
{
    SEventData data;
    data.Initialize();
    data.lYear = lYear;
    data.nMonth = static_cast<std::int16_t>(nMonth);
    data.nDay = static_cast<std::int16_t>(nDay);
    data.bLeapMonth = bLeap;
    return data;
}

} // namespace

TEST(DayText, WesternDayOfAnEvent)
{
    const struct {
        SEventData data;
        const char* pszWestern;
    } kCases[] = {
        {Event(1582, 6, 2), "1582-06-21(ユリウス暦)"},      // 本能寺の変
        {Event(1582, 9, 18), "1582-10-04(ユリウス暦)"},     // the last Julian day
        {Event(1582, 9, 19), "1582-10-15"},
        {Event(1600, 9, 15), "1600-10-21"},
        {Event(1868, 4, 1, true), "1868-05-22"},
        {Event(1989, 1, 8), "1989-01-08"},
        {Event(701, 1, 1), "0701-02-13(ユリウス暦)"},
        {Event(645, 6, 12), ""},                            // before 701: no day number
        {Event(1868, 4, 30, true), ""},                     // never was (kept as written)
        {Event(1600, 9, -1), ""},                           // a month alone
        {Event(1600, -1, -1), ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.pszWestern, U8(CDayText::WesternDay(c.data))) << c.data.lYear << "-" << c.data.nMonth << "-" << c.data.nDay;
}

TEST(DayText, DayInfoGivesWeekdayAndSexagenaryDay)
{
    EXPECT_EQ("1582-06-21(ユリウス暦) 木曜日 戊子", U8(CDayText::DayInfo({1582, 6, false, 2})));
    EXPECT_EQ("2000-01-01 土曜日 戊午", U8(CDayText::DayInfo({2000, 1, false, 1})));
    EXPECT_EQ("", U8(CDayText::DayInfo({2000, 1, false, 0})));
    EXPECT_EQ("", U8(CDayText::DayInfo({700, 1, false, 1})));
    EXPECT_EQ("", U8(CDayText::DayInfo({1872, 12, false, 3})));
}

TEST(DayText, DaysBetweenTwoEvents)
{
    std::int64_t nDays = 7;
    ASSERT_TRUE(CDayText::DaysBetween(Event(1582, 6, 2), Event(1600, 9, 15), nDays));
    EXPECT_EQ(6687, nDays);   // 1582-07-01 to 1600-10-21, Gregorian
    ASSERT_TRUE(CDayText::DaysBetween(Event(1873, 1, 1), Event(1872, 12, 2), nDays));
    EXPECT_EQ(-1, nDays);
    nDays = 7;
    EXPECT_FALSE(CDayText::DaysBetween(Event(1600, 9, 15), Event(1600, 9, -1), nDays));
    EXPECT_FALSE(CDayText::DaysBetween(Event(645, 6, 12), Event(1600, 9, 15), nDays));
    EXPECT_EQ(7, nDays);
    EXPECT_EQ("2つの出来事の間は6,687日です", U8(CDayText::DaysBetweenText(Event(1600, 9, 15), Event(1582, 6, 2))));
    EXPECT_EQ("2つの出来事の間は0日です", U8(CDayText::DaysBetweenText(Event(1600, 9, 15), Event(1600, 9, 15))));
    EXPECT_EQ("日数は701年からの月日のある出来事の間でだけ数えられます",
              U8(CDayText::DaysBetweenText(Event(645, 6, 12), Event(1600, 9, 15))));
}
