#include <corvane/GengouEra.h>

#include <framework/Cp932.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::int32_t kMax = 2147483647;
constexpr std::int32_t kMin = -2147483647 - 1;

SGengouEraTable Rec(const CString& strName, std::int32_t lBegin, std::int32_t lEnd, const CString& strNote = CString())
{
    SGengouEraTable rec;
    rec.strGengou = strName;
    rec.lBeginYear = lBegin;
    rec.lEndYear = lEnd;
    rec.strNote = strNote;
    return rec;
}

const CString& Meiji() { return CP932("明治"); }
const CString& Taisho() { return CP932("大正"); }
const CString& Showa() { return CP932("昭和"); }
const CString& Heisei() { return CP932("平成"); }

// Four modern eras, in table order.
CGengouEraArray Modern()
{
    return {Rec(Meiji(), 1868, 1912), Rec(Taisho(), 1912, 1926), Rec(Showa(), 1926, 1989), Rec(Heisei(), 1989, 2019)};
}

void Fill(CGengouEra& era, const CGengouEraArray& recs)
{
    for (const SGengouEraTable& rec : recs)
        ASSERT_TRUE(era.SetData(rec.strGengou, rec.lBeginYear, rec.lEndYear, rec.strNote));
}

TEST(GengouEraTest, DefaultRecordAndEmptyTable)
{
    const SGengouEraTable rec;
    EXPECT_TRUE(rec.strGengou.IsEmpty());
    EXPECT_TRUE(rec.strNote.IsEmpty());
    EXPECT_EQ(0, rec.lBeginYear);
    EXPECT_EQ(0, rec.lEndYear);

    const CGengouEra era;
    EXPECT_EQ(0, era.GetSize());
    EXPECT_FALSE(era.GetModified());
    EXPECT_TRUE(era.GetTableName().IsEmpty());
}

TEST(GengouEraTest, SetDataSortsInAnyOrder)
{
    std::array<int, 4> order = {0, 1, 2, 3};
    do {
        CGengouEra era;
        for (int i : order)
            ASSERT_TRUE(era.SetData(Modern()[i].strGengou, Modern()[i].lBeginYear, Modern()[i].lEndYear, ""));
        EXPECT_EQ(Modern(), era.GetGengouEraTable());
        EXPECT_TRUE(era.GetModified());
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(GengouEraTest, SetDataNameCheck)
{
    CGengouEra era;
    Fill(era, Modern());
    era.SetModified(false);

    EXPECT_TRUE(era.SetData(Showa(), 1926, 1989, "other note"));   // identical: nothing changes
    EXPECT_FALSE(era.SetData(Showa(), 1926, 1990, ""));
    EXPECT_FALSE(era.SetData(Showa(), 1927, 1989, ""));
    EXPECT_EQ(Modern(), era.GetGengouEraTable());
    EXPECT_FALSE(era.GetModified());

    // Equal begin years: the new record goes after the existing ones.
    EXPECT_TRUE(era.SetData("A", 1912, 1913, nullptr));
    EXPECT_TRUE(era.SetData("B", 1912, 1914, nullptr));
    EXPECT_EQ(CString("A"), era.GetAt(2).strGengou);
    EXPECT_EQ(CString("B"), era.GetAt(3).strGengou);
    EXPECT_EQ(Taisho(), era.GetAt(1).strGengou);
    EXPECT_TRUE(era.GetModified());

    // The name check ends at the insertion point: a record of the same name beyond it is not seen.
    CGengouEra partial;
    EXPECT_TRUE(partial.SetData("X", 6, 7, ""));
    EXPECT_TRUE(partial.SetData("N", 10, 20, ""));
    EXPECT_TRUE(partial.SetData("N", 5, 7, ""));
    EXPECT_EQ(3, partial.GetSize());
    EXPECT_EQ(5, partial.GetAt(0).lBeginYear);
    // The record at the insertion point itself is checked.
    CGengouEra atPoint;
    EXPECT_TRUE(atPoint.SetData("N", 10, 20, ""));
    EXPECT_FALSE(atPoint.SetData("N", 5, 7, ""));
    // Years are stored as given.
    EXPECT_TRUE(atPoint.SetData("R", kMax, kMin, nullptr));
    EXPECT_EQ(Rec("R", kMax, kMin), atPoint.GetAt(1));
}

TEST(GengouEraTest, GetAtBothForms)
{
    CGengouEra era;
    Fill(era, Modern());
    SGengouEraTable rec = Rec("untouched", 1, 2);
    EXPECT_FALSE(era.GetAt(10, rec));
    EXPECT_FALSE(era.GetAt(-1, rec));
    EXPECT_EQ(Rec("untouched", 1, 2), rec);
    EXPECT_TRUE(era.GetAt(3, rec));
    EXPECT_EQ(Modern()[3], rec);

    EXPECT_EQ(Modern()[0], era.GetAt(0));
    EXPECT_THROW(era.GetAt(4), std::invalid_argument);
    EXPECT_THROW(era.GetAt(-1), std::invalid_argument);
}

TEST(GengouEraTest, SetAtRemoveAtClearAll)
{
    CGengouEra era;
    Fill(era, Modern());
    era.SetModified(false);

    EXPECT_FALSE(era.SetAt(2, Modern()[2]));
    EXPECT_FALSE(era.GetModified());
    EXPECT_TRUE(era.SetAt(2, Rec(Showa(), 1926, 1989, "note")));
    EXPECT_TRUE(era.GetModified());
    EXPECT_THROW(era.SetAt(-1, Rec("x", 1, 1)), std::invalid_argument);
    EXPECT_EQ(4, era.GetSize());

    // Growing: default records fill the gap; no order is kept.
    EXPECT_TRUE(era.SetAt(6, Rec("late", 1, 2)));
    ASSERT_EQ(7, era.GetSize());
    EXPECT_EQ(SGengouEraTable(), era.GetAt(4));
    EXPECT_EQ(SGengouEraTable(), era.GetAt(5));
    EXPECT_EQ(Rec("late", 1, 2), era.GetAt(6));

    era.SetModified(false);
    EXPECT_THROW(era.RemoveAt(7), std::invalid_argument);
    EXPECT_THROW(era.RemoveAt(-1), std::invalid_argument);
    EXPECT_FALSE(era.GetModified());
    EXPECT_TRUE(era.RemoveAt(0));
    EXPECT_TRUE(era.GetModified());
    EXPECT_EQ(Taisho(), era.GetAt(0).strGengou);

    era.SetFileName("f.lgn");
    era.SetTableName("t");
    era.SetExplanation("e");
    era.SetTodayDate(true);
    era.ClearAll();
    EXPECT_EQ(0, era.GetSize());
    EXPECT_TRUE(era.GetFileName().IsEmpty());
    EXPECT_TRUE(era.GetTableName().IsEmpty());
    EXPECT_TRUE(era.GetExplanation().IsEmpty());
    EXPECT_FALSE(era.GetModified());
    EXPECT_FALSE(era.GetTodayDate());
}

TEST(GengouEraTest, AssignmentCopiesEverythingAndSelfAssignmentKeepsTheTable)
{
    CGengouEra src;
    Fill(src, Modern());
    src.GetGengoEraTable().push_back(Rec("unordered", 1, 2));   // copied without the checks of SetData
    src.SetFileName("f.lgn");
    src.SetTableName("t");
    src.SetExplanation("e");
    src.SetTodayDate(true);

    CGengouEra dst;
    Fill(dst, {Rec("gone", 1, 1)});
    dst = src;
    EXPECT_EQ(src.GetGengouEraTable(), dst.GetGengouEraTable());
    EXPECT_EQ(CString("f.lgn"), dst.GetFileName());
    EXPECT_EQ(CString("t"), dst.GetTableName());
    EXPECT_EQ(CString("e"), dst.GetExplanation());
    EXPECT_TRUE(dst.GetModified());
    EXPECT_TRUE(dst.GetTodayDate());

    CGengouEra& self = dst;
    dst = self;
    EXPECT_EQ(src.GetGengouEraTable(), dst.GetGengouEraTable());
    EXPECT_EQ(CString("t"), dst.GetTableName());
}

TEST(GengouEraTest, LookupsByYear)
{
    CGengouEra era;
    CGengouEraArray found;
    EXPECT_FALSE(era.GetData(1800, found));
    Fill(era, Modern());

    EXPECT_EQ(1, era.GetIndexFromYear(1912));   // both 明治 and 大正 cover it: the later wins
    EXPECT_EQ(0, era.GetIndexFromYear(1868));
    EXPECT_EQ(3, era.GetIndexFromYear(2019));
    EXPECT_EQ(-1, era.GetIndexFromYear(1800));
    EXPECT_EQ(-1, era.GetIndexFromYear(kMax));

    EXPECT_TRUE(era.GetData(1989, found));
    EXPECT_EQ((CGengouEraArray{Modern()[2], Modern()[3]}), found);
    EXPECT_TRUE(era.GetData(1800, found));   // the array was not emptied
    EXPECT_EQ(2u, found.size());
}

TEST(GengouEraTest, GetWesternYear)
{
    CGengouEra era;
    Fill(era, Modern());
    Fill(era, {Rec("<b>" + CP932("慶応") + "</b>", 1865, 1868), Rec("Low", kMin, kMin + 10),
               Rec("High", kMax - 1, kMax), Rec("Open", 0, kMax)});
    const struct {
        CString strName;
        std::int32_t lEraYear;
        std::int32_t lExpected;
    } cases[] = {
        {Heisei(), 1, 1989},
        {Heisei(), 31, 2019},
        {Heisei(), 32, kMax},
        {Heisei(), 0, 1988},
        {Heisei(), -5, 1983},
        {CP932("令和"), 1, kMax},
        {CP932("慶応"), 4, 1868},                   // markup removed before comparing
        {"<b>" + CP932("慶応") + "</b>", 1, kMax},   // the given name is plain
        {"Low", 1, kMin},
        {"Low", 0, kMax},                            // below the 32-bit range
        {"Low", kMin, kMax},
        {"High", kMax, kMax},                        // beyond the era and the range
        {"High", 2, kMax},
        {"Open", kMax, kMax - 1},
        {"Open", kMin, kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.lExpected, era.GetWesternYear(c.strName, c.lEraYear))
            << Cp932ToUtf8Lossy(c.strName.View()) << " " << c.lEraYear;

    // The first record of the name decides.
    CGengouEra twice;
    twice.GetGengoEraTable() = {Rec("<i>X</i>", 100, 110), Rec("X", 200, 210)};
    EXPECT_EQ(100, twice.GetWesternYear("X", 1));
    EXPECT_EQ(kMax, twice.GetWesternYear("X", 20));
}

TEST(GengouEraTest, SearchStr)
{
    CGengouEra era;
    Fill(era, Modern());
    SGengouEraTable rec;
    std::int32_t lYear = 5;

    EXPECT_EQ(1, era.SearchStr(CP932("大"), &rec, lYear, 0, false));
    EXPECT_EQ(Modern()[1], rec);
    EXPECT_EQ(kMax, lYear);

    EXPECT_EQ(2, era.SearchStr("64", &rec, lYear, 0, true));
    EXPECT_EQ(Showa(), rec.strGengou);
    EXPECT_EQ(1989, lYear);
    lYear = 5;
    EXPECT_EQ(-1, era.SearchStr("64", &rec, lYear, 0, false));
    EXPECT_EQ(Modern()[3], rec);   // the last record examined
    EXPECT_EQ(5, lYear);

    // Finding every match by going on from the index after the last one.
    std::vector<int> indexes;
    for (int i = era.SearchStr("1", &rec, lYear, 0, true); i >= 0; i = era.SearchStr("1", &rec, lYear, i + 1, true))
        indexes.push_back(i);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), indexes);

    rec = Rec("untouched", 1, 1);
    EXPECT_EQ(-1, era.SearchStr(CP932("明"), &rec, lYear, 4, true));
    EXPECT_EQ(Rec("untouched", 1, 1), rec);
    // An empty text is contained in every name, as a substring search finds it.
    lYear = 0;
    EXPECT_EQ(1, era.SearchStr("", &rec, lYear, 1, true));
    EXPECT_EQ(NO_YEAR, lYear);
    EXPECT_EQ(0, era.SearchStr(nullptr, &rec, lYear, 0, true));
    EXPECT_THROW(era.SearchStr("x", &rec, lYear, -1, true), std::invalid_argument);
    EXPECT_THROW(era.SearchStr("x", nullptr, lYear, 0, true), std::invalid_argument);

    // A match never begins on the second byte of a double-byte character: 表 is 95 5C.
    Fill(era, {Rec(CP932("表"), 3000, 3001)});
    EXPECT_EQ(-1, era.SearchStr("\\", &rec, lYear, 0, false));
}

TEST(GengouEraTest, SearchStrInEndlessErasAnswersAtOnce)
{
    CGengouEra era;
    era.GetGengoEraTable() = {Rec("A", 1, kMax), Rec("B", kMin, kMax), Rec("C", kMax, kMin)};
    SGengouEraTable rec;
    std::int32_t lYear = 0;
    const struct {
        const char* pszText;
        int nIndex;
        std::int32_t lYear;
    } cases[] = {
        {"2147483647", 0, kMax},
        {"2147483648", 1, -1},           // era year 2147483648 of an era that began in kMin
        {"4294967296", 1, kMax},         // its last era year
        {"4294967297", -1, 0},
        {"99999999999", -1, 0},
        {"0", 0, 10},
        {"00", 0, 100},
        {"000000000", 0, 1000000000},
        {"1", 0, 1},
        {"9", 0, 9},
        {"19", 0, 19},
        {"91", 0, 91},
        {"x1", -1, 0},
        {"1 ", -1, 0},
        {"-1", -1, 0},
    };
    for (const auto& c : cases) {
        lYear = 0;
        EXPECT_EQ(c.nIndex, era.SearchStr(c.pszText, &rec, lYear, 0, true)) << c.pszText;
        EXPECT_EQ(c.lYear, lYear) << c.pszText;
    }
}

// The era-year search of SearchStr against the plain count through every era year, on random
// small eras and random texts (digits with and without leading zeros, and texts that are not
// numbers).
TEST(GengouEraTest, SearchStrYearsMatchThePlainCount)
{
    std::mt19937 rng(20240607);
    const auto plain = [](const std::string& text, std::int32_t lBegin, std::int32_t lEnd) -> std::optional<std::int64_t> {
        for (std::int64_t n = 1; n <= std::int64_t{lEnd} - lBegin + 1; ++n) {
            if (std::to_string(n).find(text) != std::string::npos)
                return lBegin + n - 1;
        }
        return std::nullopt;
    };
    for (int i = 0; i < 1500; ++i) {
        const std::int32_t lBegin = static_cast<std::int32_t>(rng() % 4001) - 2000;
        const std::int32_t lEnd = lBegin + static_cast<std::int32_t>(rng() % 1300) - 20;
        std::string text;
        const int nLength = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < nLength; ++k)
            text += static_cast<char>('0' + rng() % 10);
        if (rng() % 20 == 0)
            text[rng() % text.size()] = "a -+"[rng() % 4];
        CGengouEra era;
        era.GetGengoEraTable() = {Rec("E", lBegin, lEnd)};
        SGengouEraTable rec;
        std::int32_t lYear = 0;
        const int nIndex = era.SearchStr(text.c_str(), &rec, lYear, 0, true);
        const std::optional<std::int64_t> lExpected = plain(text, lBegin, lEnd);
        ASSERT_EQ(lExpected ? 0 : -1, nIndex) << text << " " << lBegin << ".." << lEnd;
        if (lExpected) {
            ASSERT_EQ(*lExpected, lYear) << text << " " << lBegin << ".." << lEnd;
        }
    }
}

} // namespace
