#include <corvane/GengouEra.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include "testing/DatedEraTable.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// The era date texts of every era in force at date, joined by '/', in UTF-8.
std::string InForce(const CGengouEra& eras, const SEraDate& date)
{
    std::string str;
    for (int nIndex : eras.GetIndicesInForce(date)) {
        if (!str.empty())
            str += '/';
        str += Cp932ToUtf8Lossy(eras.GetEraDateText(nIndex, date).View());
    }
    return str;
}

class GengouEraDatesTest : public ::testing::Test {
protected:
    void SetUp() override { testing_eras::FillDatedEras(m_eras); }
    CGengouEra m_eras;
};

TEST_F(GengouEraDatesTest, ErasInForce)
{
    const struct {
        SEraDate date;
        const char* pszExpected;
    } kCases[] = {
        {{1989, 1, false, 7}, "昭和64年1月7日"},
        {{1989, 1, false, 8}, "平成元年1月8日"},          // the day of the change: the new era
        {{1989, 1, false, 0}, "昭和64年1月/平成元年1月"},  // a month: every era of it
        {{1989, 0, false, 0}, "昭和64年/平成元年"},
        {{2019, 4, false, 30}, "平成31年4月30日"},
        {{2019, 5, false, 1}, "令和元年5月1日"},
        {{1912, 7, false, 29}, "明治45年7月29日"},
        {{1912, 7, false, 30}, "大正元年7月30日"},
        {{1868, 9, false, 7}, "慶応4年9月7日"},
        {{1868, 9, false, 8}, "明治元年9月8日"},          // 慶応 ends on the change day itself
        {{1868, 4, true, 1}, "慶応4年閏4月1日"},
        {{1338, 8, false, 28}, "延元3年8月28日/暦応元年8月28日"},   // both courts
        {{1337, 0, false, 0}, "建武4年/延元2年"},
        {{1392, 10, true, 5}, "元中9年閏10月5日/明徳3年閏10月5日"},
        {{1392, 10, true, 6}, "明徳3年閏10月6日"},
        {{1200, 1, false, 1}, ""},
        {{40000, 1, false, 1}, ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.pszExpected, InForce(m_eras, c.date)) << c.date.lYear << "-" << c.date.nMonth << "-" << c.date.nDay;
}

// The index against a walk over every record, on random overlapping tables with and without days.
TEST(GengouEraDatesRandomTest, IndexAgreesWithAWalk)
{
    std::mt19937 random(7);
    const auto draw = [&](int nLow, int nHigh) { return std::uniform_int_distribution<int>(nLow, nHigh)(random); };
    for (int nTable = 0; nTable < 200; ++nTable) {
        CGengouEra eras;
        const int nRecords = draw(0, 40);
        for (int i = 0; i < nRecords; ++i) {
            SGengouEraTable rec;
            rec.strGengou.Format("e%d", i);
            rec.lBeginYear = draw(0, 30);
            rec.lEndYear = rec.lBeginYear + draw(-1, 8);
            if (draw(0, 2) > 0) {
                rec.nBeginMonth = draw(1, 12);
                rec.nBeginDay = draw(0, 30);
            }
            if (draw(0, 2) > 0) {
                rec.nEndMonth = draw(1, 12);
                rec.bEndLeap = draw(0, 5) == 0;
                rec.nEndDay = draw(0, 30);
            }
            eras.SetAt(i, rec);
        }
        for (int nQuery = 0; nQuery < 50; ++nQuery) {
            const int nMonth = draw(0, 12);
            const SEraDate date{draw(-1, 40), nMonth, false, nMonth ? draw(0, 30) : 0};
            // A record covers [first, last] of its days; the query [first, last] of its own.
            const auto first = [](const SEraDate& d) { return SEraDate{d.lYear, d.nMonth, d.nMonth && d.bLeap, d.nMonth ? d.nDay : 0}; };
            const auto last = [](const SEraDate& d) {
                return SEraDate{d.lYear, d.nMonth ? d.nMonth : 99, d.nMonth ? d.bLeap : true, d.nMonth && d.nDay ? d.nDay : 99};
            };
            std::vector<int> expected;
            for (int i = 0; i < eras.GetSize(); ++i) {
                const SGengouEraTable rec = eras.GetAt(i);
                if (first(rec.BeginDate()) <= last(date) && first(date) <= last(rec.EndDate()) &&
                    first(rec.BeginDate()) <= last(rec.EndDate()))
                    expected.push_back(i);
            }
            // The day of a change belongs to the era that begins on it.
            if (date.nDay != 0) {
                const std::vector<int> found = expected;
                std::erase_if(expected, [&](int i) {
                    const SGengouEraTable rec = eras.GetAt(i);
                    return rec.nEndMonth && rec.nEndDay && rec.EndDate() == date &&
                           std::any_of(found.begin(), found.end(), [&](int j) {
                               const SGengouEraTable other = eras.GetAt(j);
                               return j != i && other.nBeginMonth && other.nBeginDay && other.BeginDate() == date &&
                                      rec.BeginDate() < date;
                           });
                });
            }
            ASSERT_EQ(expected, eras.GetIndicesInForce(date)) << nTable << " " << date.lYear << "-" << date.nMonth << "-" << date.nDay;
        }
    }
}

TEST_F(GengouEraDatesTest, RecordsWithoutDaysAnswerByYear)
{
    CGengouEra eras;
    eras.SetData(CP932("昭和"), 1926, 1989, "");
    eras.SetData(CP932("平成"), 1989, 2019, "");
    EXPECT_EQ("昭和64年1月8日/平成元年1月8日", InForce(eras, {1989, 1, false, 8}));
    EXPECT_EQ("昭和64年12月31日/平成元年12月31日", InForce(eras, {1989, 12, false, 31}));
    EXPECT_EQ("平成2年1月1日", InForce(eras, {1990, 1, false, 1}));
}

TEST_F(GengouEraDatesTest, IndexFollowsChanges)
{
    EXPECT_EQ("平成元年1月8日", InForce(m_eras, {1989, 1, false, 8}));
    SGengouEraTable rec = m_eras.GetAt(m_eras.GetIndexFromName(CP932("平成")));
    m_eras.RemoveAt(m_eras.GetIndexFromName(CP932("平成")));
    EXPECT_EQ("", InForce(m_eras, {1989, 1, false, 8}));
    EXPECT_EQ(-1, m_eras.GetIndexFromName(CP932("平成")));
    rec.nBeginDay = 9;
    m_eras.GetGengoEraTable().insert(m_eras.GetGengoEraTable().begin() + 12, rec);
    EXPECT_EQ("", InForce(m_eras, {1989, 1, false, 8}));
    EXPECT_EQ("平成元年1月9日", InForce(m_eras, {1989, 1, false, 9}));

    CGengouEra copy;
    copy = m_eras;
    copy.ClearAll();
    EXPECT_EQ("", InForce(copy, {1989, 1, false, 9}));
    EXPECT_EQ("平成元年1月9日", InForce(m_eras, {1989, 1, false, 9}));
}

TEST_F(GengouEraDatesTest, DateOfEraDate)
{
    const int nHeisei = m_eras.GetIndexFromName(CP932("平成"));
    const int nShowa = m_eras.GetIndexFromName(CP932("昭和"));
    SEraDate date;
    CString strError;
    ASSERT_TRUE(m_eras.GetDateOfEraDate(nHeisei, 1, 1, false, 8, date, &strError));
    EXPECT_EQ((SEraDate{1989, 1, false, 8}), date);
    ASSERT_TRUE(m_eras.GetDateOfEraDate(nHeisei, 31, 0, false, 0, date));
    EXPECT_EQ((SEraDate{2019, 0, false, 0}), date);

    const struct {
        int nIndex;
        std::int32_t lEraYear;
        int nMonth;
        int nDay;
        const char* pszError;
    } kFailures[] = {
        {nShowa, 64, 1, 8, "昭和64年1月8日はありません(昭和は昭和64年1月7日で終わりました)"},
        {nHeisei, 1, 1, 7, "平成元年1月7日はありません(平成は平成元年1月8日に始まりました)"},
        {nHeisei, 32, 0, 0, "平成32年はありません(平成は31年(2019年)までです)"},
        {nHeisei, 0, 0, 0, "平成0年はありません(最初の年は元年です)"},
        {nHeisei, 31, 2, 29, "平成31年2月29日: 2019年2月29日はありません(2月は28日までです)"},
        {-1, 1, 1, 1, "その元号は表にありません"},
    };
    for (const auto& f : kFailures) {
        date = {};
        EXPECT_FALSE(m_eras.GetDateOfEraDate(f.nIndex, f.lEraYear, f.nMonth, false, f.nDay, date, &strError));
        EXPECT_EQ(f.pszError, Cp932ToUtf8Lossy(strError.View()));
        EXPECT_EQ(SEraDate{}, date);
    }
}

TEST_F(GengouEraDatesTest, CalendarRules)
{
    const struct {
        SEraDate date;
        const char* pszError;   // empty: valid
    } kCases[] = {
        {{2020, 2, false, 29}, ""},
        {{2000, 2, false, 29}, ""},
        {{1900, 2, false, 29}, "1900年2月29日はありません(2月は28日までです)"},
        {{1989, 13, false, 1}, "13月はありません(月は1から12までです)"},
        {{1989, 1, false, 32}, "32日はありません(日は1から31までです)"},
        {{1989, 4, true, 1}, "1989年に閏月はありません(1873年からはグレゴリオ暦です)"},
        {{1872, 12, false, 2}, ""},
        {{1872, 12, false, 3}, "1872年12月3日はありません(改暦で明治5年12月2日の翌日が明治6年1月1日になりました)"},
        {{1860, 1, false, 30}, ""},
        {{1860, 1, false, 31}, "1860年1月31日はありません(1873年より前は旧暦で、月は30日までです)"},
        {{1860, 2, false, 30}, "1860年2月30日はありません(1860年2月は29日までです)"},
        {{1868, 4, true, 1}, ""},
        {{1868, 4, true, 30}, "1868年閏4月30日はありません(1868年閏4月は29日までです)"},
        {{1868, 5, true, 0}, "1868年に閏5月はありません(1868年の閏月は閏4月です)"},
        {{1869, 5, true, 1}, "1869年に閏5月はありません(この年に閏月はありません)"},
        {{1392, 10, true, 1}, ""},
        {{1392, 9, true, 1}, "1392年に閏9月はありません(1392年の閏月は閏10月です)"},
        // Before 701 the leap month the table's days place in a year is the year's only one.
        {{650, 5, true, 30}, ""},
        {{650, 6, true, 1}, "650年に閏6月はありません(650年の閏月は閏5月です)"},
        {{651, 6, true, 30}, ""},
        {{650, 6, false, 31}, "650年6月31日はありません(1873年より前は旧暦で、月は30日までです)"},
    };
    SGengouEraTable early;
    early.strGengou = CP932("試験");
    early.lBeginYear = early.lEndYear = 650;
    early.nBeginMonth = early.nEndMonth = 5;
    early.bBeginLeap = early.bEndLeap = true;
    early.nBeginDay = 1;
    early.nEndDay = 29;
    m_eras.GetGengoEraTable().push_back(early);
    for (const auto& c : kCases) {
        CString strError;
        EXPECT_EQ(*c.pszError == '\0', m_eras.IsValidDate(c.date, &strError)) << c.pszError;
        EXPECT_EQ(c.pszError, *c.pszError ? Cp932ToUtf8Lossy(strError.View()) : std::string());
    }
}

} // namespace
