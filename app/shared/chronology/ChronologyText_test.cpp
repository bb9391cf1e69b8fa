#include <shared/chronology/ChronologyText.h>

#include <string>

#include "testing/Cp932Literal.h"
#include "testing/DatedEraTable.h"

#include <gtest/gtest.h>

#include <framework/Cp932.h>

namespace {

std::string U8(const CString& str)
{
    std::string strUtf8;
    EXPECT_TRUE(Cp932ToUtf8(str.View(), strUtf8));
    return strUtf8;
}

SEventData Event(std::int32_t lYear, int nMonth, int nDay, const char* pszText, const char* pszNote = "")
{
    SEventData data;
    data.lYear = lYear;
    data.nMonth = static_cast<std::int16_t>(nMonth);
    data.nDay = static_cast<std::int16_t>(nDay);
    data.strEvent = CString(Cp932(pszText));
    data.strNote = CString(Cp932(pszNote));
    return data;
}

class ChronologyTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_eras.SetData(CString(Cp932("<b>昭和</b>")), 1926, 1989, ""));
        ASSERT_TRUE(m_eras.SetData(CString(Cp932("平成")), 1989, 2019, ""));
        // Overlapping periods: the later record in the table is the one shown.
        ASSERT_TRUE(m_periods.SetData(CString(Cp932("昭和時代")), 1926, 1989, ""));
        ASSERT_TRUE(m_periods.SetData(CString(Cp932("<i>戦後</i>")), 1945, 1989, ""));
        m_base.SetBaseWesternYear(1900);
    }
    CGengouEra m_eras;
    CGengouEra m_periods;
    CBaseYear m_base;
};

TEST_F(ChronologyTextTest, RowOfADatedLinkedEvent)
{
    const CChronologyText text(&m_eras, &m_periods, &m_base);
    const SChronologyRow row =
        text.MakeRow(Event(1984, 4, 10, "記念の<A HREF=\"https://example.org/a?b=1\">式典</A>を行う", "備考\r\n二行目"));
    EXPECT_EQ("1984", U8(row.strYear));
    EXPECT_EQ("昭和59年", U8(row.strEraYear));
    EXPECT_EQ("戦後", U8(row.strPeriod));
    EXPECT_EQ("84", U8(row.strBaseYear));
    EXPECT_EQ("4月10日 ", U8(row.strDate));
    EXPECT_EQ("記念の式典を行う", U8(row.strText));
    EXPECT_EQ("備考\r\n二行目", U8(row.strNote));
    EXPECT_EQ("https://example.org/a?b=1", U8(row.strLink));
}

TEST_F(ChronologyTextTest, ColumnsByYear)
{
    const CChronologyText text(&m_eras, &m_periods, &m_base);
    struct SCase {
        std::int32_t lYear;
        const char* pszEraYear;
        const char* pszPeriod;
        const char* pszLabel;
    } const cases[] = {
        {1989, "昭和64年", "戦後", "89"},   // the first era in table order, as Tamber shows it
        {1990, "平成2年", "", "90"},
        {1926, "昭和元年", "昭和時代", "26"},
        {1800, "", "", ""},                 // before the base year: no label
        {-660, "", "", ""},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.lYear);
        EXPECT_EQ(c.pszEraYear, U8(text.EraYear(c.lYear)));
        EXPECT_EQ(c.pszPeriod, U8(text.Period(c.lYear)));
        EXPECT_EQ(c.pszLabel, U8(text.BaseYearLabel(c.lYear)));
    }
}

// With an era table that has days, an event is labelled by its date; without a day or month, by
// every era of its month or year.
TEST(ChronologyText, EraYearByDate)
{
    CGengouEra eras;
    testing_eras::FillDatedEras(eras);
    const CChronologyText text(&eras, nullptr, nullptr);
    const struct {
        std::int32_t lYear;
        int nMonth;
        int nDay;
        const char* pszEraYear;
    } kCases[] = {
        {1989, 4, 1, "平成元年"},   {1989, 1, 7, "昭和64年"},  {1989, 1, 8, "平成元年"},
        {2019, 5, 1, "令和元年"},   {2019, 4, 30, "平成31年"}, {1868, 9, 8, "明治元年"},
        {1989, 1, -1, "昭和64年・平成元年"}, {1989, -1, -1, "昭和64年・平成元年"},
        {1337, 5, 1, "建武4年・延元2年"},    {1200, 1, 1, ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.pszEraYear, U8(text.MakeRow(Event(c.lYear, c.nMonth, c.nDay, "")).strEraYear)) << c.lYear;

    // A table without days answers by year, as before: the first era of the year.
    CGengouEra byYear;
    byYear.SetData(CString(Cp932("昭和")), 1926, 1989, "");
    byYear.SetData(CString(Cp932("平成")), 1989, 2019, "");
    EXPECT_EQ("昭和64年", U8(CChronologyText(&byYear, nullptr, nullptr).MakeRow(Event(1989, 4, 1, "")).strEraYear));
}

// A day before the first era of a table with days has no era: no fall back to the year.
TEST(ChronologyText, NoEraBeforeTheFirstDay)
{
    CGengouEra eras;
    eras.SetData(CString(Cp932("大化")), 645, 650, "");
    eras.SetData(CString(Cp932("朱鳥")), 686, 686, "");
    eras.SetData(CString(Cp932("大宝")), 701, 704, "");
    CGengouEraArray& records = eras.GetGengoEraTable();
    records[0].nBeginMonth = 6, records[0].nBeginDay = 19, records[0].nEndMonth = 2, records[0].nEndDay = 14;
    records[1].nBeginMonth = 7, records[1].nBeginDay = 20;
    records[2].nBeginMonth = 3, records[2].nBeginDay = 21, records[2].nEndMonth = 5, records[2].nEndDay = 9;
    const CChronologyText text(&eras, nullptr, nullptr);
    const struct {
        std::int32_t lYear;
        int nMonth;
        int nDay;
        const char* pszEraYear;
    } kCases[] = {
        {645, 6, 12, ""},  {645, 6, 19, "大化元年"}, {645, 6, -1, "大化元年"}, {645, -1, -1, "大化元年"},
        {686, 7, 1, ""},   {686, 7, 20, "朱鳥元年"}, {701, 2, -1, ""},        {701, 3, 21, "大宝元年"},
        {700, 1, 1, ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(c.pszEraYear, U8(text.MakeRow(Event(c.lYear, c.nMonth, c.nDay, "")).strEraYear)) << c.lYear << "-" << c.nMonth << "-" << c.nDay;
}

TEST(ChronologyText, NoTablesGiveEmptyColumns)
{
    const CChronologyText text(nullptr, nullptr, nullptr);
    const SChronologyRow row = text.MakeRow(Event(-660, -1, -1, "<a href=\"broken>x</a>"));
    EXPECT_EQ("-660", U8(row.strYear));
    EXPECT_TRUE(row.strEraYear.IsEmpty() && row.strPeriod.IsEmpty() && row.strBaseYear.IsEmpty());
    EXPECT_TRUE(row.strDate.IsEmpty());
    EXPECT_TRUE(row.strLink.IsEmpty());
}

} // namespace
