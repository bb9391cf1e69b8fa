// corvane date: the lines for the forms people write, the strict errors, both courts, and each
// era's first day on the test table with days and on the shipped era file (as far as it has days).
#include "DateCommand.h"

#include "CorvaneTool.h"

#include <corvane/EraDateText.h>
#include <framework/Cp932.h>

#include "testing/DatedEraTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct SPrinted {
    int nStatus;
    std::string strOut;
    std::string strErr;
};

SPrinted CapturePrint(const CGengouEra& eras, const std::vector<std::string>& texts, const SDateStyle& style)
{
    std::ostringstream out;
    std::ostringstream err;
    const int nStatus = CDateCommand::Print(eras, texts, out, err, style);
    return {nStatus, out.str(), err.str()};
}

SPrinted Print(const CGengouEra& eras, const std::vector<std::string>& texts)
{
    return CapturePrint(eras, texts, SDateStyle());
}

SDateStyle JsonStyle()
{
    SDateStyle style;
    style.bJson = true;
    return style;
}

const CGengouEra& DatedEras()
{
    static CGengouEra s_eras;
    if (s_eras.GetSize() == 0)
        testing_eras::FillDatedEras(s_eras);
    return s_eras;
}

std::string Utf8(const CString& str) { return Cp932ToUtf8Lossy(str.View()); }

// A day shortly before date: the day before, or for a first day the 29th of the month before
// (every month has one; the old calendar's months end on the 29th or the 30th).
SEraDate DayBefore(const SEraDate& date)
{
    if (date.nDay > 1)
        return {date.lYear, date.nMonth, date.bLeap, date.nDay - 1};
    if (date.bLeap)
        return {date.lYear, date.nMonth, false, 29};
    return date.nMonth > 1 ? SEraDate{date.lYear, date.nMonth - 1, false, 29} : SEraDate{date.lYear - 1, 12, false, 29};
}

// For each era of the main line (every era but those of the northern court) with a first day:
// its first day gives its year 1, the day before does not give it but the era before (where that
// one lasts to then: the test table has gaps). The number of eras checked.
int CheckFirstDays(const CGengouEra& eras)
{
    int nChecked = 0;
    int nPrevious = -1;
    for (int i = 0; i < eras.GetSize(); ++i) {
        const SGengouEraTable rec = eras.GetAt(i);
        if (rec.strNote.View().starts_with(CP932("北朝").View()))
            continue;
        if (rec.nBeginDay != 0 && nPrevious >= 0) {
            const SEraDate first = rec.BeginDate();
            const SPrinted atFirst = Print(eras, {Utf8(FormatWesternDate(first))});
            EXPECT_NE(std::string::npos, atFirst.strOut.find('\t' + Utf8(eras.GetEraDateText(i, first))))
                << atFirst.strOut;
            EXPECT_NE(std::string::npos, Utf8(eras.GetEraDateText(i, first)).find("元年"));
            const SEraDate before = DayBefore(first);
            const SPrinted atBefore = Print(eras, {Utf8(FormatWesternDate(before))});
            if (eras.GetAt(nPrevious).EndDate() >= before) {
                EXPECT_NE(std::string::npos, atBefore.strOut.find('\t' + Utf8(eras.GetEraDateText(nPrevious, before))))
                    << atBefore.strOut << atBefore.strErr;
            }
            // (No text at all when the day lies before the era's first year.)
            const std::string strNotYet = Utf8(eras.GetEraDateText(i, before));
            if (!strNotYet.empty()) {
                EXPECT_EQ(std::string::npos, atBefore.strOut.find('\t' + strNotYet)) << atBefore.strOut;
            }

            ++nChecked;
        }
        nPrevious = i;
    }
    return nChecked;
}

TEST(DateCommandTest, FirstDaysOfTheMainLine)
{
    EXPECT_EQ(9, CheckFirstDays(DatedEras()));
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    ASSERT_NE(nullptr, pszSource);
    CGengouEra shipped;
    CString strName;
    ASSERT_TRUE(Utf8ToCp932(std::string(pszSource) + "/data/ﾗｲﾌﾞﾗﾘ/元号.lgn", strName));
    ASSERT_TRUE(shipped.Load(strName, HEADER_GENGOU).Ok());
    CheckFirstDays(shipped);   // every era the shipped file gives a first day
}

TEST(DateCommandTest, LinesOfTheFormsPeopleWrite)
{
    const SPrinted printed =
        Print(DatedEras(), {"平成元年1月8日", "H1.1.8", "平成１年１月８日", "昭和六十四年一月七日", "1868-閏4-1", "H1",
                            "1989年1月", "延元3年8月1日", "1338-08-28", "1392/閏10/6"});
    EXPECT_EQ(0, printed.nStatus);
    EXPECT_EQ("1989-01-08\t1989-01-08\t平成元年1月8日\n"
              "1989-01-08\t1989-01-08\t平成元年1月8日\n"
              "1989-01-08\t1989-01-08\t平成元年1月8日\n"
              "1989-01-07\t1989-01-07\t昭和64年1月7日\n"
              "1868-閏04-01\t1868-05-22\t慶応4年閏4月1日\n"
              "1989\t-\t昭和64年\t平成元年\n"
              "1989-01\t-\t昭和64年1月\t平成元年1月\n"
              "1338-08-01\t1338-09-14(ユリウス暦)\t延元3年8月1日\t建武5年8月1日\n"
              "1338-08-28\t1338-10-11(ユリウス暦)\t延元3年8月28日\t暦応元年8月28日\n"
              "1392-閏10-06\t1392-11-20(ユリウス暦)\t明徳3年閏10月6日\n",
              printed.strOut);
    EXPECT_EQ("", printed.strErr);
}

TEST(DateCommandTest, EachInvalidFormFailsWithItsReason)
{
    const std::vector<std::string> kInvalid = {"昭和64年1月8日", "平成32年", "平成0年", "2019-02-29", "1872-12-15",
                                               "1989-13-01", "1860年1月31日", "元中9年閏9月1日", "H1.1.8日"};
    std::vector<std::string> texts = kInvalid;
    texts.insert(texts.begin() + 3, "H31.4.30");
    const SPrinted printed = Print(DatedEras(), texts);
    EXPECT_EQ(1, printed.nStatus);
    EXPECT_EQ("2019-04-30\t2019-04-30\t平成31年4月30日\n", printed.strOut);
    std::istringstream lines(printed.strErr);
    std::string strLine;
    for (const std::string& strText : kInvalid) {
        ASSERT_TRUE(std::getline(lines, strLine));
        EXPECT_EQ(0u, strLine.find("corvane date: " + strText)) << strLine;
        // The text once, not twice.
        EXPECT_EQ(std::string::npos, strLine.find(strText, 15 + strText.size())) << strLine;
    }
    EXPECT_NE(std::string::npos, printed.strErr.find("(昭和は昭和64年1月7日で終わりました)"));
    EXPECT_NE(std::string::npos, printed.strErr.find("(改暦で明治5年12月2日の翌日が明治6年1月1日になりました)"));
}

// Through the command line: the options and the exit statuses, with the shipped file.
TEST(DateCommandTest, CommandLine)
{
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    ASSERT_NE(nullptr, pszSource);
    const std::string strShipped = std::string(pszSource) + "/data/ﾗｲﾌﾞﾗﾘ/元号.lgn";
    const auto run = [](std::vector<const char*> args) {
        std::ostringstream out;
        std::ostringstream err;
        args.insert(args.begin(), "corvane");
        const int nStatus = CCorvaneTool(out, err, false).Run(static_cast<int>(args.size()), args.data());
        return SPrinted{nStatus, out.str(), err.str()};
    };
    const SPrinted shipped = run({"date", "--eras", strShipped.c_str(), "1989"});
    EXPECT_EQ(0, shipped.nStatus);
    EXPECT_EQ("1989\t-\t昭和64年\t平成元年\n", shipped.strOut);
    const SPrinted help = run({"date", "--help"});
    EXPECT_EQ(0, help.nStatus);
    EXPECT_NE(std::string::npos, help.strOut.find("old Japanese calendar"));
    EXPECT_NE(std::string::npos, help.strOut.find("H1.1.8"));
    EXPECT_EQ(2, run({"date"}).nStatus);
    EXPECT_EQ(2, run({"date", "--nope", "1989"}).nStatus);
    const SPrinted missing = run({"date", "--eras", "/nonexistent/eras.lgn", "1989"});
    EXPECT_EQ(1, missing.nStatus);
    EXPECT_EQ("", missing.strOut);
}

// The days of the calendar beside the dates, with the shipped era file (which has days).
const CGengouEra& ShippedEras()
{
    static CGengouEra s_eras;
    if (s_eras.GetSize() == 0) {
        const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
        CString strName;
        if (pszSource && Utf8ToCp932(std::string(pszSource) + "/data/ﾗｲﾌﾞﾗﾘ/元号.lgn", strName))
            s_eras.Load(strName, HEADER_GENGOU);
    }
    return s_eras;
}

TEST(DateCommandTest, WesternDaysBesideTheDates)
{
    ASSERT_LT(0, ShippedEras().GetSize());
    const std::pair<const char*, const char*> kCases[] = {
        {"天正10年6月2日", "1582-06-02\t1582-06-21(ユリウス暦)\t天正10年6月2日\n"},
        {"慶長5年9月15日", "1600-09-15\t1600-10-21\t慶長5年9月15日\n"},
        {"明治元年9月8日", "1868-09-08\t1868-10-23\t明治元年9月8日\n"},
        {"明治5年12月2日", "1872-12-02\t1872-12-31\t明治5年12月2日\n"},
        {"慶応4年閏4月1日", "1868-閏04-01\t1868-05-22\t慶応4年閏4月1日\n"},
        {"ユリウス暦1582年6月21日", "1582-06-02\t1582-06-21(ユリウス暦)\t天正10年6月2日\n"},
        {"グレゴリオ暦1600年10月21日", "1600-09-15\t1600-10-21\t慶長5年9月15日\n"},
        {"1600-10-21(グレゴリオ暦)", "1600-09-15\t1600-10-21\t慶長5年9月15日\n"},
        {"JD2299161", "1582-09-19\t1582-10-15\t天正10年9月19日\n"},
        {"天正十年壬午六月二日", "1582-06-02\t1582-06-21(ユリウス暦)\t天正10年6月2日\n"},
        {"天正十年六月丁亥朔", "1582-06-01\t1582-06-20(ユリウス暦)\t天正10年6月1日\n"},
        {"延暦十三年十月辛酉", "0794-10-22\t0794-11-18(ユリウス暦)\t延暦13年10月22日\n"},
        {"慶応4年閏4月晦日", "1868-閏04-29\t1868-06-19\t慶応4年閏4月29日\n"},
        {"明治元年1月1日", "1868-01-01\t1868-01-25\t慶応4年1月1日\n"},
        {"0701-01-01", "0701-01-01\t0701-02-13(ユリウス暦)\n"},   // before 大宝 (3月21日)
        {"0700-12-01", "0700-12-01\t-\n"},
    };
    for (const auto& [pszText, pszLine] : kCases) {
        const SPrinted printed = Print(ShippedEras(), {pszText});
        EXPECT_EQ(pszLine, printed.strOut) << pszText << printed.strErr;
    }
    SDateStyle style;
    style.bLong = true;
    style.bGregorian = true;
    EXPECT_EQ("1582-06-02\t1582-07-01\t木曜日\t戊子\t天正10年6月2日\n",
              CapturePrint(ShippedEras(), {"天正10年6月2日"}, style).strOut);
    EXPECT_EQ("1989\t-\t-\t-\t昭和64年\t平成元年\n", CapturePrint(ShippedEras(), {"1989"}, style).strOut);
}

// The southern court first, whatever the table's order on the day.
TEST(DateCommandTest, CourtsInOrder)
{
    for (const char* pszText : {"1338-08-01", "1338-08-28", "1340-05-01", "1392-01-01"}) {
        const std::string strOut = Print(ShippedEras(), {pszText}).strOut;
        const std::string strJson = CapturePrint(ShippedEras(), {pszText}, JsonStyle()).strOut;
        EXPECT_NE(std::string::npos, strJson.find("\"courts\":[\"南朝\",\"北朝\"]")) << pszText << strJson;
        EXPECT_EQ(3, std::count(strOut.begin(), strOut.end(), '\t')) << strOut;
    }
    EXPECT_NE(std::string::npos, CapturePrint(ShippedEras(), {"1989-01-08"}, JsonStyle()).strOut.find("\"courts\":[]"));
}

TEST(DateCommandTest, Json)
{
    const SPrinted printed = CapturePrint(ShippedEras(), {"天正10年6月2日", "1989", "昭和64年1月8日"}, JsonStyle());
    EXPECT_EQ(1, printed.nStatus);
    EXPECT_EQ("{\"text\":\"天正10年6月2日\",\"date\":\"1582-06-02\",\"jdn\":2299055,\"julian\":\"1582-06-21\","
              "\"gregorian\":\"1582-07-01\",\"weekday\":3,\"sexagenary_day\":\"戊子\",\"eras\":[\"天正10年6月2日\"],"
              "\"courts\":[]}\n"
              "{\"text\":\"1989\",\"date\":\"1989\",\"jdn\":null,\"julian\":null,\"gregorian\":null,\"weekday\":null,"
              "\"sexagenary_day\":null,\"eras\":[\"昭和64年\",\"平成元年\"],\"courts\":[]}\n"
              "{\"text\":\"昭和64年1月8日\",\"date\":null,\"jdn\":null,\"julian\":null,\"gregorian\":null,"
              "\"weekday\":null,\"sexagenary_day\":null,\"eras\":[],\"courts\":[],"
              "\"error\":\"昭和64年1月8日はありません(昭和は昭和64年1月7日で終わりました)\"}\n",
              printed.strOut);
}

// The days of history both ways: each era date to its Western days (JSON) and each of those days,
// Julian, Gregorian and as a day number, back to the same era date.
TEST(DateCommandTest, JsonRoundTrip)
{
    const char* const kDates[][4] = {
        // era date, Julian, Gregorian, day number
        {"天正10年6月2日", "1582-06-21", "1582-07-01", "2299055"},
        {"慶長5年9月15日", "1600-10-11", "1600-10-21", "2305742"},
        {"明治元年9月8日", "1868-10-11", "1868-10-23", "2403629"},
        {"明治5年12月2日", "1872-12-19", "1872-12-31", "2405159"},
        {"慶応4年閏4月1日", "1868-05-10", "1868-05-22", "2403475"},
    };
    for (const auto& d : kDates) {
        const std::string strLine = CapturePrint(ShippedEras(), {d[0]}, JsonStyle()).strOut;
        EXPECT_NE(std::string::npos, strLine.find("\"julian\":\"" + std::string(d[1]) + "\",\"gregorian\":\"" +
                                                  d[2] + "\""))
            << strLine;
        EXPECT_NE(std::string::npos, strLine.find("\"jdn\":" + std::string(d[3]) + ",")) << strLine;
        const std::string strEras = "\"eras\":[\"" + std::string(d[0]) + "\"]";
        for (const std::string& strBack : {std::string(d[1]) + "(ユリウス暦)", "グレゴリオ暦" + std::string(d[2]),
                                           "JD" + std::string(d[3])}) {
            const std::string strAgain = CapturePrint(ShippedEras(), {strBack}, JsonStyle()).strOut;
            EXPECT_NE(std::string::npos, strAgain.find(strEras)) << strBack << ": " << strAgain;
        }
    }
}

// Texts from the standard input, and what the messages show of a text.
TEST(DateCommandTest, StandardInputAndMessages)
{
    std::istringstream in("平成元年1月8日\r\n1989\n\nH1.1.8.9\n");
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(1, CDateCommand::Print(DatedEras(), {"1989-01-07", "-"}, out, err, SDateStyle(), &in));
    EXPECT_EQ("1989-01-07\t1989-01-07\t昭和64年1月7日\n1989-01-08\t1989-01-08\t平成元年1月8日\n"
              "1989\t-\t昭和64年\t平成元年\n",
              out.str());
    EXPECT_EQ("corvane date: : 日付がありません\n"
              "corvane date: H1.1.8.9: 日付の後に余分な文字があります(「.9」)\n",
              err.str());
    const std::pair<std::string, std::string> kMessages[] = {
        {"1989\x01", "corvane date: 1989\\x01: 日付の後に余分な文字があります(「\\x01」)\n"},
        {"19\xff", "corvane date: 19\xff: UTF-8として正しくないバイトがあります\n"},
        {"1989-01-08☃", "corvane date: 1989-01-08☃: Shift_JIS(コードページ932)で表せない文字があります\n"},
        {std::string(70, 'x'), "corvane date: " + std::string(64, 'x') + "…: 元号表にない元号です\n"},
    };
    for (const auto& [strText, strErr] : kMessages)
        EXPECT_EQ(strErr, Print(DatedEras(), {strText}).strErr);
    EXPECT_EQ("2019-05-01\t2019-05-01\t令和元年5月1日\n", Print(DatedEras(), {"㋿元年5月1日"}).strOut);
}

// 10^6 lines through the standard input (no argument limit), in time linear in their number.
TEST(DateCommandTest, MillionLines)
{
    std::string strLines;
    for (int i = 0; i < 1000000; ++i)
        strLines += i % 2 ? "H1.1.8\n" : "1868-閏4-1\n";
    std::istringstream in(strLines);
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(0, CDateCommand::Print(DatedEras(), {"-"}, out, err, SDateStyle(), &in));
    const std::string strOut = out.str();
    EXPECT_EQ(1000000, std::count(strOut.begin(), strOut.end(), '\n'));
}

} // namespace
