#include <corvane/EraDateText.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include "testing/DatedEraTable.h"

#include <string>

namespace {

class EraDateTextTest : public ::testing::Test {
protected:
    void SetUp() override { testing_eras::FillDatedEras(m_eras); }

    // The Western date read from a UTF-8 text, then the era it names ("-" for none), or "error:"
    // and the message.
    std::string Read(const char* pszUtf8) const
    {
        CString strText;
        if (!Utf8ToCp932(pszUtf8, strText))
            return "bad test text";
        SParsedEraDate parsed;
        CString strError;
        if (!ParseEraDateText(m_eras, strText, parsed, strError))
            return "error: " + Cp932ToUtf8Lossy(strError.View());
        const std::string strWestern = Cp932ToUtf8Lossy(FormatWesternDate(parsed.date).View());
        if (parsed.nEra < 0)
            return strWestern;
        return strWestern + " " + Cp932ToUtf8Lossy(m_eras.GetEraDateText(parsed.nEra, parsed.date).View());
    }

    CGengouEra m_eras;
};

TEST_F(EraDateTextTest, WesternForms)
{
    const std::pair<const char*, const char*> kCases[] = {
        {"1989-01-08", "1989-01-08"},  {"1989/1/8", "1989-01-08"},   {"1989年1月8日", "1989-01-08"},
        {"１９８９年１月８日", "1989-01-08"}, {"1868-閏4-1", "1868-閏04-01"}, {"1868年閏4月1日", "1868-閏04-01"},
        {"1868-閏04-01", "1868-閏04-01"}, {"1989-01", "1989-01"},     {"1989年1月", "1989-01"},
        {"1989", "1989"},              {"1989年", "1989"},           {" 1989-1-8 ", "1989-01-08"},
        {"-0660", "-0660"},            {"645", "0645"},              {"二〇一九年五月一日", "2019-05-01"},
    };
    for (const auto& [pszText, pszExpected] : kCases)
        EXPECT_EQ(pszExpected, Read(pszText)) << pszText;
}

TEST_F(EraDateTextTest, EraForms)
{
    const std::pair<const char*, const char*> kCases[] = {
        {"平成元年1月8日", "1989-01-08 平成元年1月8日"},
        {"平成1年1月8日", "1989-01-08 平成元年1月8日"},
        {"平成１年１月８日", "1989-01-08 平成元年1月8日"},
        {"昭和六十四年一月七日", "1989-01-07 昭和64年1月7日"},
        {"令和元年十二月七日", "2019-12-07 令和元年12月7日"},
        {"令和二〇年", "2038 令和20年"},
        {"令和二十年", "2038 令和20年"},
        {"H1.1.8", "1989-01-08 平成元年1月8日"},
        {"H01.01.08", "1989-01-08 平成元年1月8日"},
        {"h1.1.8", "1989-01-08 平成元年1月8日"},
        {"S64.1.7", "1989-01-07 昭和64年1月7日"},
        {"R7.12.7", "2025-12-07 令和7年12月7日"},
        {"M45.7.29", "1912-07-29 明治45年7月29日"},
        {"T1.7.30", "1912-07-30 大正元年7月30日"},
        {"H1", "1989 平成元年"},
        {"H1.1", "1989-01 平成元年1月"},
        {"平成元年", "1989 平成元年"},
        {"平成元", "1989 平成元年"},
        {"平成31", "2019 平成31年"},
        {"平成元年1月", "1989-01 平成元年1月"},
        {"慶応4年閏4月1日", "1868-閏04-01 慶応4年閏4月1日"},
        {"慶應4年閏4月1日", "1868-閏04-01 慶応4年閏4月1日"},
        {"延元3年8月1日", "1338-08-01 延元3年8月1日"},
        {"建武5年8月1日", "1338-08-01 建武5年8月1日"},
    };
    for (const auto& [pszText, pszExpected] : kCases)
        EXPECT_EQ(pszExpected, Read(pszText)) << pszText;
}

TEST_F(EraDateTextTest, DatesThatDoNotExist)
{
    const std::pair<const char*, const char*> kCases[] = {
        {"昭和64年1月8日", "error: 昭和64年1月8日はありません(昭和は昭和64年1月7日で終わりました)"},
        {"平成32年", "error: 平成32年はありません(平成は31年(2019年)までです)"},
        {"平成0年", "error: 平成0年はありません(最初の年は元年です)"},
        {"2019-02-29", "error: 2019年2月29日はありません(2月は28日までです)"},
        {"1872-12-15", "error: 1872年12月15日はありません(改暦で明治5年12月2日の翌日が明治6年1月1日になりました)"},
        {"1989-13-01", "error: 13月はありません(月は1から12までです)"},
        {"1989-00-01", "error: 0月はありません(月は1から12までです)"},
        {"1860年1月31日", "error: 1860年1月31日はありません(1873年より前は旧暦で、月は30日までです)"},
        {"2000年閏4月1日", "error: 2000年に閏月はありません(1873年からはグレゴリオ暦です)"},
        {"元中9年閏9月1日", "error: 元中9年閏9月1日: 1392年に閏9月はありません(1392年の閏月は閏10月です)"},
        {"平成元年1月8日です", "error: 日付のあとに読めない文字があります: です"},
        {"1989-01-08x", "error: 日付のあとに読めない文字があります: x"},
        {"大化元年", "error: 元号表にない元号です"},
        {"X1.1.1", "error: 元号表にない元号です"},
        {"", "error: 日付がありません"},
        {"平成年", "error: 日付として読めません"},
        {"十百年", "error: 日付として読めません"},
        {"99999999999999999999", "error: 年が大きすぎます"},
    };
    for (const auto& [pszText, pszExpected] : kCases)
        EXPECT_EQ(pszExpected, Read(pszText)) << pszText;
}

} // namespace
