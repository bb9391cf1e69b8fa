// corvane date: the lines for the forms people write, the strict errors, both courts, and each
// era's first day on the test table with days and on the shipped era file (as far as it has days).
#include "DateCommand.h"

#include "CorvaneTool.h"

#include <corvane/EraDateText.h>
#include <framework/Cp932.h>

#include "testing/DatedEraTable.h"

#include <gtest/gtest.h>

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

SPrinted Print(const CGengouEra& eras, const std::vector<std::string>& texts)
{
    std::ostringstream out;
    std::ostringstream err;
    const int nStatus = CDateCommand::Print(eras, texts, out, err);
    return {nStatus, out.str(), err.str()};
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
    EXPECT_EQ("1989-01-08\t平成元年1月8日\n"
              "1989-01-08\t平成元年1月8日\n"
              "1989-01-08\t平成元年1月8日\n"
              "1989-01-07\t昭和64年1月7日\n"
              "1868-閏04-01\t慶応4年閏4月1日\n"
              "1989\t昭和64年\t平成元年\n"
              "1989-01\t昭和64年1月\t平成元年1月\n"
              "1338-08-01\t建武5年8月1日\t延元3年8月1日\n"
              "1338-08-28\t延元3年8月28日\t暦応元年8月28日\n"
              "1392-閏10-06\t明徳3年閏10月6日\n",
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
    EXPECT_EQ("2019-04-30\t平成31年4月30日\n", printed.strOut);
    std::istringstream lines(printed.strErr);
    std::string strLine;
    for (const std::string& strText : kInvalid) {
        ASSERT_TRUE(std::getline(lines, strLine));
        EXPECT_EQ(0u, strLine.find("corvane date: " + strText + ": ")) << strLine;
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
    EXPECT_EQ("1989\t昭和64年\t平成元年\n", shipped.strOut);
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

} // namespace
