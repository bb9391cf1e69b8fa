// The calendar: the compiled months against the data file, every day of 701-1872 both ways, the
// Julian and Gregorian days, the edges of the covered span and the reasons a date is refused.
#include <corvane/Calendar.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

static void PrintTo(const SEraDate& date, std::ostream* pOut)
{
    *pOut << date.lYear << '-' << (date.bLeap ? "閏" : "") << date.nMonth << '-' << date.nDay;
}

static void PrintTo(const SWesternDate& date, std::ostream* pOut)
{
    *pOut << date.lYear << '-' << date.nMonth << '-' << date.nDay;
}

namespace {

struct SMonthLine {
    int nMonth;
    bool bLeap;
    int nDays;
};

struct SYearLine {
    std::int32_t lYear = 0;
    std::int64_t nJdn = 0;
    SWesternDate western;
    bool bJulian = false;
    std::vector<SMonthLine> months;
};

// The data file's lines, read independently of the generator that compiles them.
std::vector<SYearLine> ReadDataFile()
{
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    std::ifstream in(std::string(pszSource ? pszSource : ".") + "/data/calendar/lunisolar-701-1872.tsv");
    std::vector<SYearLine> years;
    std::string strLine;
    while (std::getline(in, strLine)) {
        if (strLine.empty() || strLine[0] == '#')
            continue;
        std::istringstream line(strLine);
        SYearLine year;
        std::string strWestern;
        line >> year.lYear >> year.nJdn >> strWestern;
        char c1 = 0, c2 = 0;
        std::istringstream western(strWestern);
        western >> year.western.lYear >> c1 >> year.western.nMonth >> c2 >> year.western.nDay;
        year.bJulian = strWestern.back() == 'J';
        std::string strMonth;
        while (line >> strMonth) {
            SMonthLine month{};
            month.bLeap = strMonth.rfind("閏", 0) == 0;
            if (month.bLeap)
                strMonth.erase(0, std::string("閏").size());
            month.nMonth = std::stoi(strMonth);
            month.nDays = std::stoi(strMonth.substr(strMonth.find(':') + 1));
            year.months.push_back(month);
        }
        years.push_back(year);
    }
    return years;
}

std::string Utf8(const CString& str)
{
    std::string out;
    EXPECT_TRUE(Cp932ToUtf8(str.View(), out));
    return out;
}

std::int64_t Jdn(const SEraDate& date)
{
    std::int64_t nJdn = -1;
    EXPECT_TRUE(CCalendar::JdnOfDate(date, nJdn)) << ::testing::PrintToString(date);
    return nJdn;
}

// The day after a Western date, by month lengths alone.
SWesternDate NextDay(SWesternDate date, bool bJulian)
{
    const bool bLeapYear = date.lYear % 4 == 0 && (bJulian || date.lYear % 100 != 0 || date.lYear % 400 == 0);
    static constexpr int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int nLength = date.nMonth == 2 && bLeapYear ? 29 : DAYS[date.nMonth - 1];
    if (++date.nDay > nLength) {
        date.nDay = 1;
        if (++date.nMonth > 12) {
            date.nMonth = 1;
            ++date.lYear;
        }
    }
    return date;
}

}   // namespace

TEST(CalendarTest, CompiledMonthsAreThoseOfTheDataFile)
{
    const std::vector<SYearLine> years = ReadDataFile();
    ASSERT_EQ(1872u - 701u + 1u, years.size());
    for (std::size_t i = 0; i < years.size(); ++i) {
        const SYearLine& year = years[i];
        SCOPED_TRACE(year.lYear);
        ASSERT_EQ(static_cast<std::int32_t>(701 + i), year.lYear);
        EXPECT_EQ(year.nJdn, Jdn({year.lYear, 1, false, 1}));
        SWesternDate western;
        bool bJulian = false;
        ASSERT_TRUE(CCalendar::WesternOfJdn(year.nJdn, western, bJulian));
        EXPECT_EQ(year.western, western);
        EXPECT_EQ(year.bJulian, bJulian);

        int nLeap = 0;
        std::int64_t nDays = 0;
        std::int64_t nCompiledDays = 0;
        for (const SMonthLine& month : year.months) {
            if (month.bLeap)
                nLeap = month.nMonth;
            const bool bCut = year.lYear == 1872 && month.nMonth == 12;   // the reform's two days
            EXPECT_EQ(bCut ? 2 : month.nDays, CCalendar::GetMonthLength(year.lYear, month.nMonth, month.bLeap))
                << (month.bLeap ? "閏" : "") << month.nMonth;
            EXPECT_EQ(year.nJdn + nDays, Jdn({year.lYear, month.nMonth, month.bLeap, 1}));
            nDays += month.nDays;
            nCompiledDays += CCalendar::GetMonthLength(year.lYear, month.nMonth, month.bLeap);
        }
        EXPECT_EQ(nLeap, CCalendar::GetLeapMonth(year.lYear));
        EXPECT_EQ(nLeap == 0 ? 12u : 13u, year.months.size());
        if (i + 1 < years.size()) {
            EXPECT_EQ(years[i + 1].nJdn, year.nJdn + nDays);
            EXPECT_EQ(years[i + 1].nJdn, year.nJdn + nCompiledDays);
        } else {
            EXPECT_EQ(CCalendar::GREGORIAN_JDN, year.nJdn + nCompiledDays);
        }
    }
}

// Every date of every month 701-1872, in order, is the day after the one before, and comes back
// from its day number; every day number of the span comes back from its date.
TEST(CalendarTest, EveryOldCalendarDayBothWays)
{
    std::int64_t nExpected = CCalendar::FIRST_JDN;
    for (std::int32_t lYear = 701; lYear <= 1872; ++lYear) {
        const int nLeap = CCalendar::GetLeapMonth(lYear);
        for (int nMonth = 1; nMonth <= 12; ++nMonth) {
            for (const bool bLeap : {false, true}) {
                if (bLeap && nLeap != nMonth)
                    continue;
                const int nLength = CCalendar::GetMonthLength(lYear, nMonth, bLeap);
                ASSERT_TRUE(nLength == 29 || nLength == 30 || (lYear == 1872 && nMonth == 12));
                for (int nDay = 1; nDay <= nLength; ++nDay, ++nExpected) {
                    const SEraDate date{lYear, nMonth, bLeap, nDay};
                    std::int64_t nJdn = 0;
                    ASSERT_TRUE(CCalendar::JdnOfDate(date, nJdn));
                    ASSERT_EQ(nExpected, nJdn) << ::testing::PrintToString(date);
                    SEraDate back;
                    ASSERT_TRUE(CCalendar::DateOfJdn(nJdn, back));
                    ASSERT_EQ(date, back);
                }
                SEraDate beyond{lYear, nMonth, bLeap, nLength + 1};
                ASSERT_FALSE(CCalendar::CheckDate(beyond));
            }
        }
    }
    EXPECT_EQ(CCalendar::GREGORIAN_JDN, nExpected);

    for (std::int64_t nJdn = CCalendar::FIRST_JDN; nJdn < CCalendar::GREGORIAN_JDN; ++nJdn) {
        SEraDate date;
        ASSERT_TRUE(CCalendar::DateOfJdn(nJdn, date));
        ASSERT_TRUE(CCalendar::CheckDate(date));
        std::int64_t nBack = 0;
        ASSERT_TRUE(CCalendar::JdnOfDate(date, nBack));
        ASSERT_EQ(nJdn, nBack);
    }
}

TEST(CalendarTest, KnownDaysBothWays)
{
    struct {
        SEraDate date;         // as chronologies write it
        SWesternDate julian;
        SWesternDate gregorian;
    } const cases[] = {
        {{701, 1, false, 1}, {701, 2, 13}, {701, 2, 17}},          // 大宝元年1月1日
        {{1582, 6, false, 2}, {1582, 6, 21}, {1582, 7, 1}},         // 天正10年6月2日
        {{1600, 9, false, 15}, {1600, 10, 11}, {1600, 10, 21}},     // 慶長5年9月15日
        {{1868, 9, false, 8}, {1868, 10, 11}, {1868, 10, 23}},      // 明治元年9月8日
        {{1868, 4, true, 1}, {1868, 5, 10}, {1868, 5, 22}},         // 慶応4年閏4月1日
        {{1872, 12, false, 2}, {1872, 12, 19}, {1872, 12, 31}},     // 明治5年12月2日
        {{1873, 1, false, 1}, {1872, 12, 20}, {1873, 1, 1}},
        {{2000, 1, false, 1}, {1999, 12, 19}, {2000, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.date));
        const std::int64_t nJdn = Jdn(c.date);
        SWesternDate date;
        ASSERT_TRUE(CCalendar::JdnToJulian(nJdn, date));
        EXPECT_EQ(c.julian, date);
        ASSERT_TRUE(CCalendar::JdnToGregorian(nJdn, date));
        EXPECT_EQ(c.gregorian, date);
        std::int64_t nBack = 0;
        ASSERT_TRUE(CCalendar::JulianToJdn(c.julian, nBack));
        EXPECT_EQ(nJdn, nBack);
        ASSERT_TRUE(CCalendar::GregorianToJdn(c.gregorian, nBack));
        EXPECT_EQ(nJdn, nBack);
        SEraDate back;
        ASSERT_TRUE(CCalendar::DateOfJdn(nJdn, back));
        EXPECT_EQ(c.date, back);
    }
    EXPECT_EQ(2451545, Jdn({2000, 1, false, 1}));
}

TEST(CalendarTest, WesternDaysFollowTheirMonthLengths)
{
    // Day by day over the reform and far back: each next day number is the next day, and back.
    for (const bool bJulian : {true, false}) {
        for (const std::int64_t nFrom : {std::int64_t{-10000}, std::int64_t{2299000}, std::int64_t{2451000}}) {
            SWesternDate date;
            ASSERT_TRUE(bJulian ? CCalendar::JdnToJulian(nFrom, date) : CCalendar::JdnToGregorian(nFrom, date));
            for (std::int64_t nJdn = nFrom; nJdn < nFrom + 2000; ++nJdn) {
                SWesternDate now;
                ASSERT_TRUE(bJulian ? CCalendar::JdnToJulian(nJdn, now) : CCalendar::JdnToGregorian(nJdn, now));
                ASSERT_EQ(date, now) << nJdn;
                std::int64_t nBack = 0;
                ASSERT_TRUE(bJulian ? CCalendar::JulianToJdn(now, nBack) : CCalendar::GregorianToJdn(now, nBack));
                ASSERT_EQ(nJdn, nBack);
                date = NextDay(now, bJulian);
            }
        }
    }
    SWesternDate date;
    ASSERT_TRUE(CCalendar::JdnToJulian(0, date));
    EXPECT_EQ((SWesternDate{-4712, 1, 1}), date);
    ASSERT_TRUE(CCalendar::JdnToGregorian(0, date));
    EXPECT_EQ((SWesternDate{-4713, 11, 24}), date);

    bool bJulian = false;
    ASSERT_TRUE(CCalendar::WesternOfJdn(CCalendar::GREGORIAN_REFORM_JDN - 1, date, bJulian));
    EXPECT_EQ((SWesternDate{1582, 10, 4}), date);
    EXPECT_TRUE(bJulian);
    ASSERT_TRUE(CCalendar::WesternOfJdn(CCalendar::GREGORIAN_REFORM_JDN, date, bJulian));
    EXPECT_EQ((SWesternDate{1582, 10, 15}), date);
    EXPECT_FALSE(bJulian);
}

TEST(CalendarTest, WesternDaysThatDoNotExistAreRefused)
{
    struct {
        SWesternDate date;
        bool bJulian;
        bool bGregorian;
    } const cases[] = {
        {{1900, 2, 29}, true, false},  {{2000, 2, 29}, true, true},   {{1999, 2, 29}, false, false},
        {{-4, 2, 29}, true, true},     {{-100, 2, 29}, true, false},  {{2000, 4, 31}, false, false},
        {{2000, 0, 1}, false, false},  {{2000, 13, 1}, false, false}, {{2000, 1, 0}, false, false},
        {{2000, 1, -1}, false, false}, {{2000, -1, 1}, false, false}, {{2000, 12, 31}, true, true},
    };
    for (const auto& c : cases) {
        std::int64_t nJdn = 42;
        EXPECT_EQ(c.bJulian, CCalendar::JulianToJdn(c.date, nJdn)) << ::testing::PrintToString(c.date);
        EXPECT_EQ(c.bGregorian, CCalendar::GregorianToJdn(c.date, nJdn)) << ::testing::PrintToString(c.date);
        if (!c.bJulian && !c.bGregorian) {
            EXPECT_EQ(42, nJdn);
        }
    }
}

TEST(CalendarTest, TheEndsOfTheThirtyTwoBitYears)
{
    constexpr std::int32_t lMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t lMin = std::numeric_limits<std::int32_t>::min();
    for (const bool bJulian : {true, false}) {
        const auto toJdn = bJulian ? &CCalendar::JulianToJdn : &CCalendar::GregorianToJdn;
        const auto toDate = bJulian ? &CCalendar::JdnToJulian : &CCalendar::JdnToGregorian;
        std::int64_t nLast = 0;
        std::int64_t nFirst = 0;
        ASSERT_TRUE(toJdn({lMax, 12, 31}, nLast));
        ASSERT_TRUE(toJdn({lMin, 1, 1}, nFirst));
        SWesternDate date;
        ASSERT_TRUE(toDate(nLast, date));
        EXPECT_EQ((SWesternDate{lMax, 12, 31}), date);
        ASSERT_TRUE(toDate(nFirst, date));
        EXPECT_EQ((SWesternDate{lMin, 1, 1}), date);
        const SWesternDate unchanged{1, 2, 3};
        for (const std::int64_t nBeyond : {nLast + 1, nFirst - 1, std::numeric_limits<std::int64_t>::max(),
                                           std::numeric_limits<std::int64_t>::min()}) {
            date = unchanged;
            EXPECT_FALSE(toDate(nBeyond, date)) << nBeyond;
            EXPECT_EQ(unchanged, date);
        }
    }
    SEraDate date{1, 2, false, 3};
    std::int64_t nLast = 0;
    ASSERT_TRUE(CCalendar::GregorianToJdn({lMax, 12, 31}, nLast));
    EXPECT_FALSE(CCalendar::DateOfJdn(nLast + 1, date));
    EXPECT_FALSE(CCalendar::DateOfJdn(std::numeric_limits<std::int64_t>::max(), date));
    EXPECT_EQ((SEraDate{1, 2, false, 3}), date);
    ASSERT_TRUE(CCalendar::DateOfJdn(nLast, date));
    EXPECT_EQ((SEraDate{lMax, 12, false, 31}), date);
}

TEST(CalendarTest, CoveredDaysBeginWithTaihoAndTheGregorianWithTheReform)
{
    SEraDate date{5, 5, false, 5};
    EXPECT_FALSE(CCalendar::DateOfJdn(CCalendar::FIRST_JDN - 1, date));
    EXPECT_FALSE(CCalendar::DateOfJdn(std::numeric_limits<std::int64_t>::min(), date));
    EXPECT_EQ((SEraDate{5, 5, false, 5}), date);
    ASSERT_TRUE(CCalendar::DateOfJdn(CCalendar::FIRST_JDN, date));
    EXPECT_EQ((SEraDate{701, 1, false, 1}), date);
    ASSERT_TRUE(CCalendar::DateOfJdn(CCalendar::GREGORIAN_JDN - 1, date));
    EXPECT_EQ((SEraDate{1872, 12, false, 2}), date);
    ASSERT_TRUE(CCalendar::DateOfJdn(CCalendar::GREGORIAN_JDN, date));
    EXPECT_EQ((SEraDate{1873, 1, false, 1}), date);

    // Before 701: dates without day numbers, checked by month and day alone.
    std::int64_t nJdn = 7;
    EXPECT_FALSE(CCalendar::JdnOfDate({700, 12, false, 30}, nJdn));
    EXPECT_FALSE(CCalendar::JdnOfDate({645, 6, false, 12}, nJdn));
    EXPECT_EQ(7, nJdn);
    EXPECT_EQ(-1, CCalendar::GetLeapMonth(700));
    EXPECT_EQ(30, CCalendar::GetMonthLength(700, 2, false));
    EXPECT_EQ(30, CCalendar::GetMonthLength(-660, 5, true));
    // Dates without a day have no day number.
    EXPECT_FALSE(CCalendar::JdnOfDate({1868, 9, false, 0}, nJdn));
    EXPECT_FALSE(CCalendar::JdnOfDate({1990, 0, false, 0}, nJdn));
    EXPECT_FALSE(CCalendar::JdnOfDate({1868, 4, true, 30}, nJdn));
    EXPECT_EQ(7, nJdn);
}

TEST(CalendarTest, WhichDatesExist)
{
    struct {
        SEraDate date;
        const char* pszReason;   // empty: the date exists
    } const cases[] = {
        {{1873, 1, false, 31}, ""},
        {{1873, 2, false, 28}, ""},
        {{1873, 2, false, 29}, "1873年2月29日はありません(2月は28日までです)"},
        {{1873, 2, false, 30}, "1873年2月30日はありません(2月は28日までです)"},
        {{1876, 2, false, 29}, ""},
        {{1873, 4, true, 1}, "1873年に閏月はありません(1873年からはグレゴリオ暦です)"},
        {{1873, 4, true, 0}, "1873年に閏月はありません(1873年からはグレゴリオ暦です)"},
        {{1872, 12, false, 2}, ""},
        {{1872, 12, false, 0}, ""},
        {{1872, 12, false, 3}, "1872年12月3日はありません(改暦で明治5年12月2日の翌日が明治6年1月1日になりました)"},
        {{1872, 12, false, 31}, "1872年12月31日はありません(改暦で明治5年12月2日の翌日が明治6年1月1日になりました)"},
        {{1868, 4, true, 29}, ""},
        {{1868, 4, true, 30}, "1868年閏4月30日はありません(1868年閏4月は29日までです)"},
        {{1868, 5, true, 0}, "1868年に閏5月はありません(1868年の閏月は閏4月です)"},
        {{1869, 1, true, 1}, "1869年に閏1月はありません(この年に閏月はありません)"},
        {{1868, 4, false, 31}, "1868年4月31日はありません(1873年より前は旧暦で、月は30日までです)"},
        {{701, 1, false, 30}, "701年1月30日はありません(701年1月は29日までです)"},
        {{701, 2, false, 30}, ""},
        {{700, 3, true, 30}, ""},
        {{700, 3, true, 31}, "700年閏3月31日はありません(1873年より前は旧暦で、月は30日までです)"},
        {{-5, 1, false, 30}, ""},
        {{1989, 0, false, 0}, ""},
        {{1989, 0, false, 5}, "月のない日付です"},
        {{1989, 0, true, 0}, "月のない日付です"},
        {{1989, 13, false, 1}, "13月はありません(月は1から12までです)"},
        {{1989, -1, false, 1}, "-1月はありません(月は1から12までです)"},
        {{1989, 1, false, -1}, "-1日はありません(日は1から31までです)"},
        {{1989, 1, false, 32}, "32日はありません(日は1から31までです)"},
        {{1989, 1, false, 0}, ""},
    };
    for (const auto& c : cases) {
        CString strReason = CP932("unchanged");
        const bool bExists = *c.pszReason == '\0';
        EXPECT_EQ(bExists, CCalendar::CheckDate(c.date, &strReason)) << ::testing::PrintToString(c.date);
        EXPECT_EQ(bExists ? "unchanged" : c.pszReason, Utf8(strReason)) << ::testing::PrintToString(c.date);
    }
    EXPECT_FALSE(CCalendar::CheckDate({1868, 4, true, 30}, nullptr));
    EXPECT_EQ(0, CCalendar::GetMonthLength(1868, 5, true));
    EXPECT_EQ(0, CCalendar::GetMonthLength(1868, 13, false));
    EXPECT_EQ(0, CCalendar::GetMonthLength(1990, 1, true));
    EXPECT_EQ(29, CCalendar::GetMonthLength(2000, 2, false));
    EXPECT_EQ(0, CCalendar::GetLeapMonth(1873));
}

TEST(CalendarTest, WeekdayAndSexagenaryDay)
{
    const std::int64_t nJdn = 2451545;   // 2000-01-01, a Saturday, 戊午
    EXPECT_EQ(5, CCalendar::Weekday(nJdn));
    EXPECT_EQ(54, CCalendar::SexagenaryDay(nJdn));
    EXPECT_EQ(0, CCalendar::Weekday(0));
    EXPECT_EQ(6, CCalendar::Weekday(-1));
    EXPECT_EQ(49, CCalendar::SexagenaryDay(0));
    EXPECT_EQ(48, CCalendar::SexagenaryDay(-1));
    EXPECT_EQ(0, CCalendar::SexagenaryDay(11));
    for (const std::int64_t nExtreme : {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
        EXPECT_GE(CCalendar::Weekday(nExtreme), 0);
        EXPECT_LT(CCalendar::Weekday(nExtreme), 7);
        EXPECT_GE(CCalendar::SexagenaryDay(nExtreme), 0);
        EXPECT_LT(CCalendar::SexagenaryDay(nExtreme), 60);
    }
    // 天正10年6月1日 was a 丁亥 day (23); the next, 1582-07-01 (Gregorian), a Thursday.
    EXPECT_EQ(23, CCalendar::SexagenaryDay(Jdn({1582, 6, false, 1})));
    EXPECT_EQ(3, CCalendar::Weekday(Jdn({1582, 6, false, 2})));
}
