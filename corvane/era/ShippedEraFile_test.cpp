// The era-name and period files shipped in data/ﾗｲﾌﾞﾗﾘ: readable by the library, complete, and
// (the era names) in agreement with ICU's Japanese era data.
#include <corvane/GengouEra.h>

#include "testing/FakeHostUi.h"

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>

#ifdef TAMBER_HAVE_ICU
#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#endif

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

    // Outside the years of the two courts each era ends in the year the next one begins, except
    // where years without an era follow.
    const std::set<std::string> gaps = {"白雉", "朱鳥"};
    for (int i = 0; i + 1 < era.GetSize(); ++i) {
        const SGengouEraTable rec = era.GetAt(i);
        EXPECT_LE(rec.lBeginYear, rec.lEndYear) << Utf8(rec.strGengou);
        if (rec.lBeginYear >= 1329 && rec.lBeginYear <= 1392)
            continue;
        if (gaps.count(Utf8(rec.strGengou))) {
            EXPECT_LT(rec.lEndYear, era.GetAt(i + 1).lBeginYear) << Utf8(rec.strGengou);
        } else {
            EXPECT_EQ(rec.lEndYear, era.GetAt(i + 1).lBeginYear) << Utf8(rec.strGengou);
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

#ifdef TAMBER_HAVE_ICU
// ICU's eras: name and Western year of the first day.
std::map<std::string, std::int32_t> IcuEras()
{
    std::map<std::string, std::int32_t> eras;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale("ja_JP@calendar=japanese");
    std::unique_ptr<icu::Calendar> japanese(
        icu::Calendar::createInstance(icu::TimeZone::createTimeZone("UTC"), locale, status));
    icu::GregorianCalendar gregorian(icu::TimeZone::createTimeZone("UTC"), icu::Locale::getRoot(), status);
    icu::SimpleDateFormat format(icu::UnicodeString("GGGG"), locale, status);
    if (U_FAILURE(status))
        return eras;
    format.setCalendar(*japanese);
    format.setTimeZone(*icu::TimeZone::getGMT());
    for (std::int32_t nEra = 0; nEra <= japanese->getMaximum(UCAL_ERA); ++nEra) {
        japanese->clear();
        japanese->set(UCAL_ERA, nEra);
        japanese->set(UCAL_YEAR, 1);
        const UDate date = japanese->getTime(status);
        gregorian.setTime(date, status);
        icu::UnicodeString strName;
        format.format(date, strName);
        std::string strUtf8;
        strName.toUTF8String(strUtf8);
        eras.emplace(strUtf8, gregorian.get(UCAL_EXTENDED_YEAR, status));
    }
    if (U_FAILURE(status))
        eras.clear();
    return eras;
}

TEST(ShippedEraFileTest, FirstYearsAgreeWithIcu)
{
    const std::map<std::string, std::int32_t> icu = IcuEras();
    ASSERT_GT(icu.size(), 200u);
    // Kept by hand: the northern-court eras that ICU lacks, and 至徳, whose first year ICU gives
    // as 1387 (it began in 1384). 白鳳, a private era name, is left out of the file.
    const std::set<std::string> handKept = {"正慶", "暦応", "康永", "貞和", "観応", "文和", "延文",
                                            "康安", "貞治", "応安", "永和", "永徳", "至徳"};
    const std::set<std::string> omitted = {"白鳳"};

    CGengouEra era;
    ReadShipped("元号.lgn", HEADER_GENGOU, era);
    std::set<std::string> names;
    for (const SGengouEraTable& rec : era.GetGengouEraTable()) {
        const std::string strName = Utf8(rec.strGengou);
        names.insert(strName);
        if (handKept.count(strName))
            continue;
        const auto it = icu.find(strName);
        ASSERT_NE(icu.end(), it) << strName << " is not an era of ICU";
        EXPECT_EQ(it->second, rec.lBeginYear) << strName;
    }
    for (const auto& [strName, lYear] : icu) {
        if (!omitted.count(strName)) {
            EXPECT_TRUE(names.count(strName)) << strName << " (" << lYear << ") is missing";
        }
    }
    for (const std::string& strName : handKept)
        EXPECT_TRUE(names.count(strName)) << strName << " is missing";
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
