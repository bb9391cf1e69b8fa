#include <corvane/SexagenaryCycle.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "testing/PerYearSearch.h"
#include <framework/Cp932.h>

#ifdef TAMBER_HAVE_ICU
#include <chrono>
#include <memory>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#endif

namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

const char* const kStems[] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
const char* const kBranches[] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};

// The tables hold code page 932; the expectations are written in UTF-8.
std::string Utf8(const char* pszCp932)
{
    std::string str;
    if (pszCp932 == nullptr || !Cp932ToUtf8(pszCp932, str))
        return "<invalid>";
    return str;
}

std::vector<std::string> Utf8(const std::vector<const char*>& names)
{
    std::vector<std::string> result;
    for (const char* psz : names)
        result.push_back(Utf8(psz));
    return result;
}

int StemIndex(const std::string& str)
{
    return static_cast<int>(std::find(std::begin(kStems), std::end(kStems), str) -
                            std::begin(kStems));
}

int BranchIndex(const std::string& str)
{
    return static_cast<int>(std::find(std::begin(kBranches), std::end(kBranches), str) -
                            std::begin(kBranches));
}

std::vector<std::int32_t> List(int nStem, int nBranch, std::int32_t lStart, std::int32_t lEnd)
{
    std::vector<std::int32_t> years;
    CSexagenaryCycle().ListYears(nStem, nBranch, CYearRange(lStart, lEnd), years);
    return years;
}

const CSexagenaryCycle kCycle;

// ---- Year to stem and branch

TEST(SexagenaryCycleYear, KnownYears)
{
    struct {
        std::int32_t lYear;
        const char* pszStem;
        const char* pszBranch;
    } const cases[] = {
        {1984, "甲", "子"}, {2006, "丙", "戌"}, {2024, "甲", "辰"}, {4, "甲", "子"},
        {3, "癸", "亥"},    {1, "辛", "酉"},    {-1, "庚", "申"},   {-2, "己", "未"},
        {-660, "辛", "酉"}, {-57, "甲", "子"},  {1983, "癸", "亥"}, {1985, "乙", "丑"},
        // The bounds, far from 1984: computed in 64 bits, no wrap.
        {kMax, "丁", "卯"}, {kMax - 5, "壬", "戌"}, {kMin, "癸", "丑"}, {kMin + 3, "丙", "辰"},
    };
    for (const auto& c : cases) {
        int nStem = -9;
        int nBranch = -9;
        ASSERT_TRUE(kCycle.YearToStemBranch(c.lYear, nStem, nBranch)) << c.lYear;
        EXPECT_EQ(nStem, StemIndex(c.pszStem)) << c.lYear;
        EXPECT_EQ(nBranch, BranchIndex(c.pszBranch)) << c.lYear;
    }
}

TEST(SexagenaryCycleYear, YearZeroFailsAndLeavesOutputs)
{
    int nStem = 7;
    int nBranch = 5;
    EXPECT_FALSE(kCycle.YearToStemBranch(0, nStem, nBranch));
    EXPECT_EQ(nStem, 7);
    EXPECT_EQ(nBranch, 5);
}

// ---- Tables and name getters

TEST(SexagenaryCycleNames, AllTablesInBothForms)
{
    const char* const kStemReadings[] = {"きのえ", "きのと", "ひのえ", "ひのと", "つちのえ",
                                         "つちのと", "かのえ", "かのと", "みずのえ", "みずのと"};
    const char* const kBranchReadings[] = {"ね", "うし", "とら", "う", "たつ", "み",
                                           "うま", "ひつじ", "さる", "とり", "いぬ", "い"};
    const char* const kAnimals[] = {"ねずみ", "うし", "とら", "うさぎ", "たつ", "へび",
                                    "うま", "ひつじ", "さる", "とり", "いぬ", "いのしし"};
    for (int n = 0; n < CSexagenaryCycle::STEM_COUNT; ++n) {
        const char* psz = nullptr;
        EXPECT_TRUE(kCycle.GetStemName(n, psz));
        EXPECT_EQ(Utf8(psz), kStems[n]);
        EXPECT_TRUE(kCycle.GetStemReading(n, psz));
        EXPECT_EQ(Utf8(psz), kStemReadings[n]);
        CString str;
        kCycle.GetStemName(n, str);
        EXPECT_EQ(Utf8(str), kStems[n]);
    }
    for (int n = 0; n < CSexagenaryCycle::BRANCH_COUNT; ++n) {
        const char* psz = nullptr;
        EXPECT_TRUE(kCycle.GetBranchName(n, psz));
        EXPECT_EQ(Utf8(psz), kBranches[n]);
        EXPECT_TRUE(kCycle.GetBranchReading(n, psz));
        EXPECT_EQ(Utf8(psz), kBranchReadings[n]);
        EXPECT_TRUE(kCycle.GetAnimalName(n, psz));
        EXPECT_EQ(Utf8(psz), kAnimals[n]);
        CString str;
        kCycle.GetBranchName(n, str);
        EXPECT_EQ(Utf8(str), kBranches[n]);
    }
    // The pointers are the code page 932 bytes themselves, stable from call to call.
    const char* psz1 = nullptr;
    const char* psz2 = nullptr;
    kCycle.GetStemName(0, psz1);
    CSexagenaryCycle().GetStemName(0, psz2);
    EXPECT_EQ(psz1, psz2);
    EXPECT_EQ(CString(psz1), CP932("甲"));
}

TEST(SexagenaryCycleNames, NoStemAndOutOfRangeIndexes)
{
    for (int nStem : {-1, -2, 10, kMax}) {
        const char* psz = "untouched?";
        EXPECT_FALSE(kCycle.GetStemName(nStem, psz)) << nStem;
        EXPECT_EQ(psz, nullptr);
        psz = "untouched?";
        EXPECT_FALSE(kCycle.GetStemReading(nStem, psz)) << nStem;
        EXPECT_EQ(psz, nullptr);
        CString str("x");
        kCycle.GetStemName(nStem, str);
        EXPECT_TRUE(str.IsEmpty()) << nStem;
    }
    for (int nBranch : {-1, 12, kMin}) {
        const char* psz = "untouched?";
        EXPECT_FALSE(kCycle.GetBranchName(nBranch, psz)) << nBranch;
        EXPECT_EQ(psz, nullptr);
        EXPECT_FALSE(kCycle.GetBranchReading(nBranch, psz));
        EXPECT_FALSE(kCycle.GetAnimalName(nBranch, psz));
        CString str("x");
        kCycle.GetBranchName(nBranch, str);
        EXPECT_TRUE(str.IsEmpty()) << nBranch;
    }
}

TEST(SexagenaryCycleNames, FindBranchExactMatchOnly)
{
    int nBranch = -5;
    EXPECT_TRUE(kCycle.FindBranch(CP932("子"), nBranch));
    EXPECT_EQ(nBranch, 0);
    EXPECT_TRUE(kCycle.FindBranch(CP932("亥"), nBranch));
    EXPECT_EQ(nBranch, 11);

    nBranch = -5;
    for (const char* psz : {CP932("ね").GetString(), CP932("子 ").GetString(),
                            CP932(" 子").GetString(), CP932("ねずみ").GetString(),
                            CP932("甲").GetString(), "", static_cast<const char*>(nullptr)}) {
        EXPECT_FALSE(kCycle.FindBranch(psz, nBranch)) << Utf8(psz);
        EXPECT_EQ(nBranch, -5);
    }
    // A UTF-8 子 is not the code page 932 one.
    EXPECT_FALSE(kCycle.FindBranch("子", nBranch));
}

TEST(SexagenaryCycleNames, ListBranchesForStem)
{
    const std::vector<std::vector<std::string>> expected = {
        {"子", "寅", "辰", "午", "申", "戌"}, {"丑", "卯", "巳", "未", "酉", "亥"},
        {"寅", "辰", "午", "申", "戌", "子"}, {"卯", "巳", "未", "酉", "亥", "丑"},
        {"辰", "午", "申", "戌", "子", "寅"}, {"巳", "未", "酉", "亥", "丑", "卯"},
        {"午", "申", "戌", "子", "寅", "辰"}, {"未", "酉", "亥", "丑", "卯", "巳"},
        {"申", "戌", "子", "寅", "辰", "午"}, {"酉", "亥", "丑", "卯", "巳", "未"},
    };
    for (int nStem = 0; nStem < CSexagenaryCycle::STEM_COUNT; ++nStem) {
        std::vector<const char*> names;
        kCycle.ListBranchesForStem(nStem, names);
        EXPECT_EQ(Utf8(names), expected[nStem]) << kStems[nStem];
    }

    // Stem -1 appends all twelve, after what the list held.
    std::vector<const char*> names = {"kept"};
    kCycle.ListBranchesForStem(-1, names);
    ASSERT_EQ(names.size(), 13U);
    EXPECT_STREQ(names[0], "kept");
    EXPECT_EQ(Utf8(std::vector<const char*>(names.begin() + 1, names.end())),
              std::vector<std::string>(std::begin(kBranches), std::end(kBranches)));

    for (int nStem : {-2, 10, kMin}) {
        std::vector<const char*> none;
        kCycle.ListBranchesForStem(nStem, none);
        EXPECT_TRUE(none.empty()) << nStem;
    }
}

// ---- Listing the years of a pair

TEST(SexagenaryCycleList, KnownSpans)
{
    const int kKou = 0, kNe = 0, kUshi = 1, kHei = 2, kInu = 10;   // 甲 子 丑 丙 戌
    struct {
        int nStem, nBranch;
        std::int32_t lStart, lEnd;
        std::vector<std::int32_t> years;
    } const cases[] = {
        {kKou, kNe, 1900, 2000, {1924, 1984}},
        {-1, kNe, 1900, 2000, {1900, 1912, 1924, 1936, 1948, 1960, 1972, 1984, 1996}},
        {kKou, kNe, -100, 100, {-57, 4, 64}},
        {kKou, kNe, 1984, 1984, {1984}},
        {kHei, kInu, 2006, 2066, {2006, 2066}},
        {-1, kNe, -13, 13, {-9, 4}},            // -9 + 12 reaches 3: one more, 4
        {-1, kUshi, -12, 5, {-8, 5}},
        {kKou, kNe, 0, 0, {}},                   // year 0 does not exist
        {7, 9, -100, 0, {-60}},                  // 辛酉: an end at 0 stops at -1, before 1
        {7, 9, 0, 1, {1}},
        {6, 8, 0, 100, {60}},                    // 庚申: a start at 0 begins at 1, after -1
        {6, 8, -100, 0, {-61, -1}},
        {kKou, kNe, 2000, 1900, {}},             // start after end
        {kKou, kUshi, kMin, kMax, {}},             // different parity never matches
        {12, kNe, 1900, 2000, {}},              // indexes outside the tables
        {-2, kNe, 1900, 2000, {}},
        {kKou, 12, 1900, 2000, {}},
        {kKou, -1, 1900, 2000, {}},
        // At the bounds: the listing ends at INT32_MAX without wrapping.
        {3, 3, kMax - 200, kMax, {kMax - 180, kMax - 120, kMax - 60, kMax}},
        {9, 1, kMin, kMin + 200, {kMin, kMin + 60, kMin + 120, kMin + 180}},
        {-1, 3, kMax - 12, kMax, {kMax - 12, kMax}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(List(c.nStem, c.nBranch, c.lStart, c.lEnd), c.years)
            << c.nStem << "/" << c.nBranch << " " << c.lStart << ".." << c.lEnd;
    }
}

TEST(SexagenaryCycleList, ReplacesThePreviousList)
{
    std::vector<std::int32_t> years = {1, 2, 3};
    kCycle.ListYears(0, 0, CYearRange(2000, 1900), years);
    EXPECT_TRUE(years.empty());
    EXPECT_EQ(years.capacity(), 0U);

    years = {7, 8};
    kCycle.ListYears(0, 0, CYearRange(1900, 2000), years);
    EXPECT_EQ(years, (std::vector<std::int32_t>{1924, 1984}));
}

// ---- Nearest year of a pair

TEST(SexagenaryCycleNearest, KnownYears)
{
    struct {
        int nStem, nBranch;
        std::int32_t lBound;
        ENearestDirection eDirection;
        bool bFound;
        std::int32_t lYear;
    } const cases[] = {
        {0, 0, 2000, NEAREST_ON_OR_AFTER, true, 2044},
        {0, 0, 2000, NEAREST_BEFORE, true, 1984},
        {0, 0, 1984, NEAREST_BEFORE, true, 1924},
        {0, 0, 1984, NEAREST_ON_OR_AFTER, true, 1984},
        {-1, 0, 2000, NEAREST_ON_OR_AFTER, true, 2008},
        {-1, 0, 2008, NEAREST_BEFORE, true, 1996},
        // Across year 0 the window holds a year less: before a matching bound only the bound is
        // left in it.
        {0, 0, 4, NEAREST_BEFORE, true, 4},
        {0, 0, 3, NEAREST_BEFORE, true, -57},
        {0, 0, -58, NEAREST_ON_OR_AFTER, true, -57},
        {0, 0, -57, NEAREST_ON_OR_AFTER, true, -57},
        {0, 0, -56, NEAREST_ON_OR_AFTER, true, 4},
        {0, 0, 0, NEAREST_ON_OR_AFTER, true, 4},
        {0, 0, 0, NEAREST_BEFORE, true, -57},
        // Different parity, or an index outside its table: no year.
        {0, 1, 2000, NEAREST_ON_OR_AFTER, false, 0},
        {-2, 0, 2000, NEAREST_BEFORE, false, 0},
        {0, 12, 2000, NEAREST_ON_OR_AFTER, false, 0},
        // The window is clamped at the 32-bit bounds.
        {3, 3, kMax - 5, NEAREST_ON_OR_AFTER, true, kMax},
        {3, 3, kMax, NEAREST_ON_OR_AFTER, true, kMax},
        {4, 4, kMax - 5, NEAREST_ON_OR_AFTER, false, 0},   // next 戊辰 is past INT32_MAX
        {3, 3, kMax, NEAREST_BEFORE, true, kMax - 60},
        {9, 1, kMin + 5, NEAREST_BEFORE, true, kMin},
        {9, 1, kMin, NEAREST_BEFORE, true, kMin},
        {8, 0, kMin + 5, NEAREST_BEFORE, false, 0},        // the 壬子 before is below INT32_MIN
        {9, 1, kMin, NEAREST_ON_OR_AFTER, true, kMin},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.nStem << "/" << c.nBranch << " " << c.lBound << " "
                                        << (c.eDirection == NEAREST_BEFORE ? "before" : "on/after"));
        std::int32_t lYear = 12345;
        const bool bFound = kCycle.FindNearestYear(c.nStem, c.nBranch, c.lBound, c.eDirection, lYear);
        EXPECT_EQ(bFound, c.bFound);
        EXPECT_EQ(lYear, c.bFound ? c.lYear : 12345);
    }
}

// ---- Against the per-year search, on many small random spans

std::int32_t Clamp32(std::int64_t ll)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(ll, kMin, kMax));
}

TEST(SexagenaryCycleDifferential, MatchesThePerYearSearch)
{
    std::mt19937 rng(19840202);
    // Starts around year 0, near both bounds, and anywhere.
    const std::int64_t regions[][2] = {{-400, 400},
                                       {std::int64_t{kMax} - 400, kMax},
                                       {kMin, std::int64_t{kMin} + 400},
                                       {kMin, kMax}};
    std::uniform_int_distribution<int> stemDist(-2, 10);     // mostly valid, some outside
    std::uniform_int_distribution<int> branchDist(-1, 12);
    std::uniform_int_distribution<int> lengthDist(-5, 260);
    int nChecked = 0;
    for (const auto& region : regions) {
        std::uniform_int_distribution<std::int64_t> startDist(region[0], region[1]);
        for (int i = 0; i < 1500; ++i) {
            const int nStem = stemDist(rng);
            const int nBranch = branchDist(rng);
            const std::int32_t lStart = Clamp32(startDist(rng));
            const std::int32_t lEnd = Clamp32(std::int64_t{lStart} + lengthDist(rng));

            SCOPED_TRACE(testing::Message()
                         << nStem << "/" << nBranch << " " << lStart << ".." << lEnd);

            const CYearRange span(lStart, lEnd);
            std::vector<std::int32_t> fast, slow;
            kCycle.ListYears(nStem, nBranch, span, fast);
            cycle_testing::PerYearListYears(kCycle, nStem, nBranch, span, slow);
            ASSERT_EQ(fast, slow);

            // The start serves as the bound of both nearest-year searches.
            for (ENearestDirection eDirection : {NEAREST_ON_OR_AFTER, NEAREST_BEFORE}) {
                std::int32_t lFast = -7, lSlow = -7;
                ASSERT_EQ(kCycle.FindNearestYear(nStem, nBranch, lStart, eDirection, lFast),
                          cycle_testing::PerYearFindNearestYear(kCycle, nStem, nBranch, lStart,
                                                                eDirection, lSlow))
                    << eDirection;
                ASSERT_EQ(lFast, lSlow) << eDirection;
            }
            ++nChecked;
        }
    }
    EXPECT_EQ(nChecked, 6000);
}

// ---- Against ICU's Chinese calendar

#ifdef TAMBER_HAVE_ICU
TEST(SexagenaryCycleIcu, MatchesTheChineseCalendarsCyclicYear)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(
        *icu::TimeZone::getGMT(), icu::Locale("zh@calendar=chinese"), status));
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    ASSERT_STREQ(calendar->getType(), "chinese");

    // The Chinese year begins at the lunar new year (late January to February), so July 1 of a
    // Western year always lies in the Chinese year that carries its pair. ICU counts years
    // astronomically (1 BC is its year 0); July 1 is taken in the proleptic Gregorian calendar.
    int nCompared = 0;
    for (int nAstronomical = -1500; nAstronomical <= 2600; ++nAstronomical) {
        const std::chrono::sys_days day{std::chrono::year{nAstronomical} / std::chrono::July / 1};
        const UDate date = static_cast<UDate>(day.time_since_epoch().count()) * U_MILLIS_PER_DAY;
        calendar->setTime(date, status);
        const int nCyclicYear = calendar->get(UCAL_YEAR, status);   // 1..60, 1 is 甲子
        ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);

        const std::int32_t lYear = nAstronomical >= 1 ? nAstronomical : nAstronomical - 1;
        int nStem = -1;
        int nBranch = -1;
        ASSERT_TRUE(kCycle.YearToStemBranch(lYear, nStem, nBranch));
        ASSERT_EQ(nStem, (nCyclicYear - 1) % 10) << lYear;
        ASSERT_EQ(nBranch, (nCyclicYear - 1) % 12) << lYear;
        ++nCompared;
    }
    EXPECT_EQ(nCompared, 4101);
}
#endif

}  // namespace
