// The era-name and period files shipped in data/ﾗｲﾌﾞﾗﾘ: readable by the library and by readers of
// the four-field records of old, complete, and (the era names and days) in agreement with ICU's
// Japanese era data.
#include <corvane/Calendar.h>
#include <corvane/GengouEra.h>

#include "testing/FakeHostUi.h"
#include "testing/TempDir.h"

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifdef TAMBER_HAVE_ICU
#include <unicode/unistr.h>
#include <unicode/ures.h>
#endif

// Dates in failure messages as year-month-day, 閏 before a leap month.
static void PrintTo(const SEraDate& date, std::ostream* pOut)
{
    *pOut << date.lYear << '-' << (date.bLeap ? "閏" : "") << date.nMonth << '-' << date.nDay;
}

namespace {

std::string ShippedFile(const char* pszName)
{
    const char* pszSource = std::getenv("TAMBER_SOURCE_DIR");
    return std::string(pszSource ? pszSource : ".") + "/data/ﾗｲﾌﾞﾗﾘ/" + pszName;
}

// Reads a shipped file into the table; fails the test on any message.
void ReadShipped(const char* pszName, EHeaderType eType, CGengouEra& era)
{
    CString strName;
    ASSERT_TRUE(Utf8ToCp932(ShippedFile(pszName), strName));
    CFakeHostUi ui;
    ASSERT_TRUE(era.ReadFile(strName, eType, true)) << ui.LastMessageUtf8();
}

std::string Utf8(const CString& str)
{
    std::string out;
    EXPECT_TRUE(Cp932ToUtf8(str.View(), out));
    return out;
}

void ExpectCp932WithCrLf(const char* pszName)
{
    const std::string strFile = ShippedFile(pszName);   // UTF-8, also where narrow names are not
    std::ifstream in(std::filesystem::path(std::u8string(strFile.begin(), strFile.end())), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    std::string utf8;
    EXPECT_TRUE(Cp932ToUtf8(bytes, utf8));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
    }
    EXPECT_EQ('\n', bytes.back());
}

TEST(ShippedEraFileTest, EraNamesFromTaikaToReiwaWithBothCourts)
{
    ExpectCp932WithCrLf("元号.lgn");
    CGengouEra era;
    ReadShipped("元号.lgn", HEADER_GENGOU, era);
    EXPECT_FALSE(era.GetTableName().IsEmpty());
    EXPECT_FALSE(era.GetExplanation().IsEmpty());
    ASSERT_GT(era.GetSize(), 200);
    EXPECT_EQ("大化", Utf8(era.GetAt(0).strGengou));
    EXPECT_EQ(645, era.GetAt(0).lBeginYear);
    const SGengouEraTable last = era.GetAt(era.GetSize() - 1);
    EXPECT_EQ("令和", Utf8(last.strGengou));
    EXPECT_EQ(2019, last.lBeginYear);
    EXPECT_EQ(32767, last.lEndYear);

    // Every era has its first day; outside the years of the two courts each ends before the next
    // begins, in the year it begins unless that begins on 1月1日, except where years without an
    // era follow (no last day: the era runs to the end of its year).
    const std::set<std::string> gaps = {"白雉", "朱鳥"};
    for (int i = 0; i + 1 < era.GetSize(); ++i) {
        const SGengouEraTable rec = era.GetAt(i);
        const SGengouEraTable next = era.GetAt(i + 1);
        EXPECT_NE(0, rec.nBeginMonth) << Utf8(rec.strGengou);
        EXPECT_EQ(gaps.count(Utf8(rec.strGengou)) == 0, rec.nEndMonth != 0) << Utf8(rec.strGengou);
        EXPECT_LT(rec.BeginDate(), rec.nEndMonth != 0 ? rec.EndDate() : SEraDate{rec.lEndYear + 1}) << Utf8(rec.strGengou);
        if (rec.lBeginYear >= 1329 && rec.lBeginYear <= 1392)
            continue;
        if (gaps.count(Utf8(rec.strGengou))) {
            EXPECT_LT(rec.lEndYear, next.lBeginYear) << Utf8(rec.strGengou);
        } else {
            EXPECT_LT(rec.EndDate(), next.BeginDate()) << Utf8(rec.strGengou);
            EXPECT_EQ(rec.lEndYear, next.lBeginYear - (next.nBeginMonth == 1 && next.nBeginDay == 1)) << Utf8(rec.strGengou);
        }
    }

    // Every first day from 701 on is a day of the calendar; every last day is the day before the
    // first day of an era that follows it (of its own court), but for the ends no era's start gives.
    const std::set<std::string> endsOfTheirOwn = {"正慶", "元中"};
    std::set<std::int64_t> firstDays;
    for (const SGengouEraTable& rec : era.GetGengouEraTable()) {
        std::int64_t nJdn = 0;
        if (rec.lBeginYear >= CCalendar::FIRST_LUNISOLAR_YEAR) {
            EXPECT_TRUE(CCalendar::JdnOfDate(rec.BeginDate(), nJdn)) << Utf8(rec.strGengou);
            firstDays.insert(nJdn);
        }
    }
    for (const SGengouEraTable& rec : era.GetGengouEraTable()) {
        std::int64_t nJdn = 0;
        if (rec.lEndYear < CCalendar::FIRST_LUNISOLAR_YEAR || rec.nEndMonth == 0 || endsOfTheirOwn.count(Utf8(rec.strGengou)))
            continue;
        ASSERT_TRUE(CCalendar::JdnOfDate(rec.EndDate(), nJdn)) << Utf8(rec.strGengou);
        EXPECT_TRUE(firstDays.count(nJdn + 1)) << Utf8(rec.strGengou);
    }

    // The days of the modern changes, and of the ends the next era's start does not give.
    const std::map<std::string, std::pair<SEraDate, SEraDate>> days = {
        {"慶応", {{1865, 4, false, 7}, {1868, 9, false, 7}}},      {"明治", {{1868, 9, false, 8}, {1912, 7, false, 29}}},
        {"大正", {{1912, 7, false, 30}, {1926, 12, false, 24}}},   {"昭和", {{1926, 12, false, 25}, {1989, 1, false, 7}}},
        {"平成", {{1989, 1, false, 8}, {2019, 4, false, 30}}},     {"令和", {{2019, 5, false, 1}, {32767, 0, false, 0}}},
        {"正慶", {{1332, 4, false, 28}, {1333, 5, false, 24}}},    {"元中", {{1384, 4, false, 28}, {1392, 10, true, 4}}},
        {"延喜", {{901, 7, false, 15}, {923, 4, true, 10}}},       {"宝亀", {{770, 10, false, 1}, {780, 12, false, 30}}},
    };
    for (const SGengouEraTable& rec : era.GetGengouEraTable()) {
        const auto it = days.find(Utf8(rec.strGengou));
        if (it != days.end()) {
            EXPECT_EQ(it->second.first, rec.BeginDate()) << it->first;
            EXPECT_EQ(it->second.second, rec.EndDate()) << it->first;
        }
    }

    // 1336-1392: an era of each court covers every year.
    for (std::int32_t lYear = 1336; lYear <= 1392; ++lYear) {
        CGengouEraArray covering;
        era.GetData(lYear, covering);
        EXPECT_GE(covering.size(), 2u) << lYear;
    }
    EXPECT_EQ(1384, era.GetWesternYear(CP932("元中"), 1));
    EXPECT_EQ(1384, era.GetWesternYear(CP932("至徳"), 1));
    EXPECT_EQ(1392, era.GetWesternYear(CP932("明徳"), 3));
    EXPECT_EQ(1332, era.GetWesternYear(CP932("正慶"), 1));
}

// A reader of the record lines of old takes four fields: the name, the two years (as by atoi,
// between the commas) and the note, and ignores the rest of the line. It reads a file written
// with days as the table holds it.
TEST(ShippedEraFileTest, AFourFieldReaderReadsTheFileWithDays)
{
    CGengouEra era;
    ReadShipped("元号.lgn", HEADER_GENGOU, era);
    CTempDir dir;
    ASSERT_TRUE(era.Save(dir.Name("new.lgn"), HEADER_GENGOU).Ok());
    std::istringstream file(dir.Read("new.lgn"));
    std::string strLine;
    for (int i = 0; i < 3; ++i)
        std::getline(file, strLine);
    std::size_t nRecords = 0;
    std::size_t nWithDays = 0;
    while (std::getline(file, strLine)) {
        ASSERT_LT(nRecords, era.GetGengouEraTable().size());
        const SGengouEraTable& rec = era.GetGengouEraTable()[nRecords++];
        const CString strRecord(std::string_view(strLine).substr(0, strLine.size() - 1));   // without the CR
        CString strName, strNote;
        const int nNameEnd = CTableBase::GetElementFromCSV(strRecord, 0, strName);
        const int nComma1 = strRecord.Find(',', nNameEnd + 1);
        const int nComma2 = strRecord.Find(',', nComma1 + 1);
        ASSERT_TRUE(nNameEnd >= 0 && nComma1 >= 0 && nComma2 >= 0) << strLine;
        CTableBase::GetElementFromCSV(strRecord, nComma2 + 1, strNote);
        strNote.Replace("\\r\\n", "\r\n");
        EXPECT_EQ(rec.strGengou, strName);
        EXPECT_EQ(rec.lBeginYear, std::atoi(strRecord.Mid(nNameEnd + 1, nComma1 - nNameEnd - 1).GetString()));
        EXPECT_EQ(rec.lEndYear, std::atoi(strRecord.Mid(nComma1 + 1, nComma2 - nComma1 - 1).GetString()));
        EXPECT_EQ(rec.strNote, strNote);
        nWithDays += rec.nBeginMonth != 0;
    }
    EXPECT_EQ(era.GetGengouEraTable().size(), nRecords);
    EXPECT_EQ(nRecords, nWithDays);
}

#ifdef TAMBER_HAVE_ICU
struct SIcuEra {
    std::string strName;
    SEraDate begin;   // ICU's data has no leap months
};

// ICU's eras in its order, read from its era data as the generator of the file reads them.
std::vector<SIcuEra> IcuEras()
{
    std::vector<SIcuEra> eras;
    UErrorCode status = U_ZERO_ERROR;
    UResourceBundle* pStarts = ures_openDirect(nullptr, "supplementalData", &status);
    for (const char* pszKey : {"calendarData", "japanese", "eras"})
        pStarts = ures_getByKey(pStarts, pszKey, pStarts, &status);
    UResourceBundle* pNames = ures_open(nullptr, "ja", &status);
    for (const char* pszKey : {"calendar", "japanese", "eras", "abbreviated"})
        pNames = ures_getByKey(pNames, pszKey, pNames, &status);
    for (std::int32_t n = 0; U_SUCCESS(status) && n < ures_getSize(pStarts); ++n) {
        UResourceBundle* pStart = ures_getByKey(pStarts, std::to_string(n).c_str(), nullptr, &status);
        pStart = ures_getByKey(pStart, "start", pStart, &status);
        std::int32_t nLength = 0;
        const std::int32_t* pDay = ures_getIntVector(pStart, &nLength, &status);
        std::int32_t nNameLength = 0;
        const UChar* pName = ures_getStringByIndex(pNames, n, &nNameLength, &status);
        if (U_SUCCESS(status) && nLength == 3) {
            std::string strName;
            icu::UnicodeString(pName, nNameLength).toUTF8String(strName);
            eras.push_back({strName, {pDay[0], pDay[1], false, pDay[2]}});
        }
        ures_close(pStart);
    }
    ures_close(pNames);
    ures_close(pStarts);
    if (U_FAILURE(status))
        eras.clear();
    return eras;
}

// Each era's first day is ICU's, and its last day the day before ICU's next era begins (by the
// calendar from 701; before, the 30th of the month before when that era begins on the 1st), except
// where ICU differs from the historical era lists.
TEST(ShippedEraFileTest, DaysAgreeWithIcu)
{
    const std::vector<SIcuEra> icu = IcuEras();
    ASSERT_GT(icu.size(), 200u);
    const std::map<std::string, const char*> firstDays = {
        {"白鳳", "a private era name of the chronicles, not an official era: not in the file"},
        {"延長", "began on 延喜23年閏4月11日; ICU's data has no leap months"},
        {"至徳", "began on 永徳4年2月27日 (1384); ICU gives 1387, a day before 嘉慶"},
        {"応仁", "began on 文正2年3月5日; ICU gives the 3rd"},
        {"長享", "began on 文明19年7月20日; ICU gives the 29th"},
    };
    // ICU keeps one line of eras through 1331-1392; the file ends each era in its own court.
    const std::map<std::string, const char*> lastDays = {
        {"白雉", "years without an era follow (ICU: 白鳳)"},
        {"朱鳥", "years without an era follow"},
        {"延喜", "延長 began in the leap fourth month"},
        {"文正", "応仁 began on the 5th"},
        {"文明", "長享 began on the 20th"},
        {"元徳", "the northern court kept it until 正慶 (1332)"},
        {"建武", "the northern court kept it until 暦応 (1338)"},
        {"天授", "its court's next era is 弘和; ICU puts the northern 康暦 between"},
        {"康暦", "a northern era; its court's next era is 永徳, not the southern 弘和"},
        {"元中", "ended with the union of the courts on 明徳3年閏10月5日; ICU goes on with the northern 至徳"},
    };
    const std::set<std::string> notInIcu = {"正慶", "暦応", "康永", "貞和", "観応", "文和",
                                            "延文", "康安", "貞治", "応安", "永和", "永徳"};

    CGengouEra era;
    ReadShipped("元号.lgn", HEADER_GENGOU, era);
    std::map<std::string, SGengouEraTable> file;
    for (const SGengouEraTable& rec : era.GetGengouEraTable())
        file.emplace(Utf8(rec.strGengou), rec);
    for (std::size_t i = 0; i < icu.size(); ++i) {
        const std::string& strName = icu[i].strName;
        const auto it = file.find(strName);
        if (it == file.end()) {
            EXPECT_TRUE(firstDays.count(strName)) << strName << " is missing";
            continue;
        }
        const SGengouEraTable& rec = it->second;
        if (!firstDays.count(strName)) {
            EXPECT_EQ(icu[i].begin, rec.BeginDate()) << strName;
        }
        if (i + 1 == icu.size() || lastDays.count(strName))
            continue;
        SEraDate last = icu[i + 1].begin;
        std::int64_t nJdn = 0;
        if (CCalendar::JdnOfDate(last, nJdn)) {
            ASSERT_TRUE(CCalendar::DateOfJdn(nJdn - 1, last));
        } else if (last.nDay > 1) {
            --last.nDay;
        } else {
            last.lYear -= last.nMonth == 1;
            last.nMonth = last.nMonth == 1 ? 12 : last.nMonth - 1;
            last.nDay = 30;
        }
        EXPECT_EQ(last, rec.EndDate()) << strName;
    }
    for (const auto& [strName, rec] : file) {
        const bool bInIcu = std::any_of(icu.begin(), icu.end(), [&](const SIcuEra& e) { return e.strName == strName; });
        EXPECT_TRUE(bInIcu || notInIcu.count(strName)) << strName;
    }
}
#endif

TEST(ShippedEraFileTest, PeriodsFromThePalaeolithicToThePresent)
{
    ExpectCp932WithCrLf("時代.ler");
    CGengouEra period;
    ReadShipped("時代.ler", HEADER_JIDAI, period);
    EXPECT_FALSE(period.GetTableName().IsEmpty());
    ASSERT_GE(period.GetSize(), 10);
    EXPECT_EQ("旧石器時代", Utf8(period.GetAt(0).strGengou));
    EXPECT_LT(period.GetAt(0).lBeginYear, 0);
    EXPECT_EQ("現代", Utf8(period.GetAt(period.GetSize() - 1).strGengou));
    for (const SGengouEraTable& rec : period.GetGengouEraTable()) {
        EXPECT_FALSE(rec.strNote.IsEmpty()) << Utf8(rec.strGengou);
        EXPECT_LT(rec.lBeginYear, rec.lEndYear) << Utf8(rec.strGengou);
    }
    EXPECT_EQ(CP932("江戸時代"), period.GetAt(period.GetIndexFromYear(1700)).strGengou);
}

} // namespace
